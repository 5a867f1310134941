// Importing modules not written for ostrak through the import window: the
// instrument map, the notes choice, the transpose, and what bad input does.
#include "ModuleWriter.h"
#include "OstrakFixture.h"
#include "import/FrmImport.h"
#include "store/FrmFiles.h"
#include "sound/Sound.h"

#include <regex>

using namespace testing_support;

namespace {

// Four channels over three 64-row patterns played 0 1 0 2: a melody on 21
// (B-4..A-6) and 24, a bass on 22 (A-1..E-2), a drum "Kick" on 23; note-offs,
// note cuts and empty first cells.
ModSong realLike(int instruments = 30, int lastInstrument = 24)
{
    ModSong song;
    song.instruments = instruments;
    for (int p = 0; p < 3; ++p) {
        ModPattern pattern;
        pattern.name = "P" + std::to_string(p);
        for (int r = 0; r < 64; ++r) {
            std::vector<ModCell> row(4);
            const int k = p * 64 + r;
            if (r % 8 == 7)
                row[0] = {k % 16 == 7 ? kNoteOff : kNoteCut};
            else
                row[0] = {60 + (k * 5) % 23, r % 16 ? 0 : (p == 1 ? lastInstrument : 21)};
            if (r % 4 == 0)
                row[1] = {22 + (k / 4) % 8, 22};
            if (r % 2 == 0)
                row[2] = {49, 23};
            if (r > 0 && r % 4 == 0)
                row[3] = {50 + (k * 3) % 30, 24};
            pattern.cells.push_back(row);
        }
        pattern.cells[0][0] = {};   // what sounds at each start comes from the order...
        pattern.cells[63][0] = {60}; // ...where the pattern before ends on a note
        song.patterns.push_back(pattern);
    }
    song.order = {0, 1, 0, 2};
    return song;
}

// Every pattern byte of a stored pattern carries all eight bits.
bool everyByteWhole(const std::string& pattern)
{
    static const std::regex line("\tbyte (%[01]{8})  ;.*");
    std::size_t at = 0, bytes = 0;
    while ((at = pattern.find("\tbyte", at)) != std::string::npos) {
        const std::string text = pattern.substr(at, pattern.find('\r', at) - at);
        if (!std::regex_match(text, line))
            return false;
        ++bytes;
        ++at;
    }
    return bytes > 0;
}

class ImportMapTest : public OstrakTest {
protected:
    ostrak::FrmImport& imp() { return app->importer(); }
    void open(const std::string& name, const std::string& bytes)
    {
        writeBytes(folder.file(name), bytes);
        click(w().cmdImport);
        imp().txtModule->setText(QString::fromStdString(folder.file(name)));
        click(imp().cmdOpenModule);
    }
    std::string importLog() const { return app->importer().txtImportLog->toPlainText().toStdString(); }
    std::string typeOf(int row) { return imp().typeBox(row)->currentText().toStdString(); }
    int row(int instrument)
    {
        for (int r = 0; r < imp().tblInstruments->rowCount(); ++r)
            if (imp().tblInstruments->item(r, 0)->text().toInt() == instrument)
                return r;
        return -1;
    }
};

} // namespace

TEST_F(ImportMapTest, AModuleNotWrittenForOstrakImportsWithDefaultsIntoASongThatAssembles)
{
    open("real.it", writeIt(realLike()));
    ASSERT_EQ(imp().tblInstruments->rowCount(), 3); // 21, 22 and 24 on channels 1 and 2
    EXPECT_EQ(imp().tblInstruments->item(row(22), 2)->text(), "48 (A-1..E-2)");
    for (int r = 0; r < 3; ++r) {
        const int type = std::stoi(typeOf(r));
        EXPECT_TRUE(type == 4 || type == 6 || type == 7 || type == 14 || type == 15 || type == 1) << typeOf(r);
        EXPECT_EQ(imp().typeBox(r)->objectName(), "cmbType" + imp().tblInstruments->item(r, 0)->text());
    }
    EXPECT_EQ(imp().cmbNotes->currentText(), "By pitch");
    EXPECT_EQ(std::stoi(imp().txtTranspose->text8()) % 12, 0);

    type(imp().txtStartPos, "2");
    click(imp().cmdImportSong);
    EXPECT_TRUE(messages.shown.empty());
    for (int position : {2, 3, 4}) {
        SCOPED_TRACE(position);
        EXPECT_TRUE(everyByteWhole(memory().StorePatternA[std::size_t(position)]));
        EXPECT_TRUE(everyByteWhole(memory().StorePatternB[std::size_t(position)]));
    }
    // Note-offs and cuts are silent; pattern 1 starts with the note pattern 0 ends on.
    EXPECT_NE(memory().StorePatternA[2].find("byte %11111111  ;7|===|16 - Silence"), std::string::npos);
    EXPECT_NE(memory().StorePatternA[2].find("byte %11111111  ;15|^^^|16 - Silence"), std::string::npos);
    EXPECT_NE(memory().StorePatternA[2].find(";0|...|16 - Silence"), std::string::npos); // nothing sounds yet
    EXPECT_EQ(memory().StorePatternA[3].find(";0|...|"), std::string::npos);
    EXPECT_NE(importLog().find("error median"), std::string::npos);

    click(w().cmdGenAllCode);
    click(w().cmdCompileSong);
    const ostrak::sound::ReadResult read = ostrak::sound::readSongH(readBytes(folder.file("song.h")));
    EXPECT_TRUE(read.problems.empty()) << (read.problems.empty() ? "" : read.problems.front());
}

TEST_F(ImportMapTest, NotesChoiceSetsItsTransposeAndPitchCodesKeepTheNames)
{
    open("real.it", writeIt(realLike()));
    const std::string byPitch = imp().txtTranspose->text8();
    imp().cmbNotes->setCurrentIndex(0);
    const std::string asCodes = imp().txtTranspose->text8();
    EXPECT_NE(asCodes, byPitch); // for this module the two rules differ
    EXPECT_EQ(std::stoi(asCodes) % 12, 0);
    imp().cmbNotes->setCurrentIndex(1);
    EXPECT_EQ(imp().txtTranspose->text8(), byPitch);
    imp().cmbNotes->setCurrentIndex(0);
    type(imp().txtTranspose, "0");
    imp().typeBox(row(21))->setCurrentText("4");
    type(w().txtPos, "5");
    imp().listPatterns->setCurrentItem(imp().listPatterns->topLevelItem(1));
    click(imp().cmdImportPattern);
    EXPECT_TRUE(messages.shown.empty());
    // Pattern 1, row 1: note 60 + (65 * 5) % 23 = 63, D-5, on instrument 24's type.
    EXPECT_NE(memory().StorePatternA[5].find("10001  ;1|D-5|4\r\n"), std::string::npos);
    EXPECT_NE(importLog().find("moved by octaves"), std::string::npos);
}

TEST_F(ImportMapTest, BadInputGetsAMessageOrASoundFallbackAndNeverHalfASong)
{
    struct Case {
        std::string what, bytes, typeOf21, transpose;
        bool refused;
        std::string logSays;
    };
    ModSong high = realLike();
    high.patterns[0].cells[3][0] = {120, 21}; // B-9
    ModSong mono = realLike();
    mono.channels = 1;
    ModSong silent = realLike(); // as a module cut short can read
    for (ModPattern& p : silent.patterns)
        for (auto& r : p.cells)
            r[0] = r[1] = {};
    const std::string it = writeIt(realLike());
    const std::vector<Case> cases = {
        {"type no slot has", it, "9", "", true, "which no slot has"},
        {"type no number", it, "Square", "", true, "is no sound type"},
        {"transpose abc", it, "", "abc", true, "whole number of semitones"},
        {"transpose 1000", it, "", "1000", true, "whole number of semitones"},
        {"B-9 transposed by 96", writeIt(high), "", "96", false, "moved by octaves"},
        {"200 instruments", writeIt(realLike(200, 199)), "", "", false, "error median"},
        {"one channel", writeXm(mono), "", "", false, "CH2 stays empty"},
        {"silent channels", writeIt(silent), "", "", false, "may be cut short"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ostrak::WorkingMemory before = memory();
        const std::size_t shown = messages.shown.size();
        open("bad.it", c.bytes);
        if (!c.typeOf21.empty())
            imp().typeBox(row(21))->setCurrentText(QString::fromStdString(c.typeOf21));
        if (!c.transpose.empty())
            type(imp().txtTranspose, c.transpose);
        type(imp().txtStartPos, "0");
        click(imp().cmdImportSong);
        EXPECT_NE(importLog().find(c.logSays), std::string::npos);
        if (c.refused) {
            ASSERT_GT(messages.shown.size(), shown);
            EXPECT_EQ(memory().StorePaste, before.StorePaste);
            EXPECT_EQ(memory().UndoPaste, before.UndoPaste);
            EXPECT_EQ(w().listCH1->count(), 0);
            continue;
        }
        EXPECT_EQ(messages.shown.size(), shown);
        for (int position = 0; position < 3; ++position) {
            EXPECT_TRUE(everyByteWhole(memory().StorePatternA[std::size_t(position)])) << position;
            EXPECT_TRUE(everyByteWhole(memory().StorePatternB[std::size_t(position)])) << position;
        }
        click(app->files().cmdUndo); // the memory as it was
        EXPECT_EQ(memory().StorePaste, before.StorePaste);
    }
}
