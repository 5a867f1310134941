// The import window driven as a user would: against pasting by hand for a
// module written for ostrak, and with the instrument map, the notes choice
// and the transpose for one that is not.
#include "ImportFixture.h"
#include "support/ModuleWriter.h"
#include "import/ModuleClipboard.h"
#include "sound/Sound.h"
#include "store/FrmFiles.h"

#include <QFile>

#include <array>
#include <map>

#include <unistd.h>

using namespace testing_support;

namespace {

bool sameStores(const ostrak::WorkingMemory& a, const ostrak::WorkingMemory& b)
{
    return a.StoreNameA == b.StoreNameA && a.StoreNameB == b.StoreNameB && a.StorePatternA == b.StorePatternA
           && a.StorePatternB == b.StorePatternB && a.StoreOrderA == b.StoreOrderA && a.StoreOrderB == b.StoreOrderB
           && a.StorePaste == b.StorePaste;
}

// Every stored text and every undo text, so a refusal can be shown to change nothing.
bool sameMemory(const ostrak::WorkingMemory& a, const ostrak::WorkingMemory& b)
{
    return sameStores(a, b) && a.UndoNameA == b.UndoNameA && a.UndoNameB == b.UndoNameB
           && a.UndoPatternA == b.UndoPatternA && a.UndoPatternB == b.UndoPatternB && a.UndoOrderA == b.UndoOrderA
           && a.UndoOrderB == b.UndoOrderB && a.UndoPaste == b.UndoPaste;
}

std::vector<std::string> rows(const ostrak::ListBox* list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i)
        texts.push_back(list->rowText(i));
    return texts;
}

// Instruments that are the default slots' sound types and silence (16), so
// the module is written for ostrak and every paste's first row finds its slot.
ModSong slotInstruments(ModSong song)
{
    static const int slotTypes[] = {4, 6, 7, 8, 14, 15, 1, 16};
    for (ModPattern& p : song.patterns)
        for (auto& row : p.cells)
            for (ModCell& cell : row)
                if (cell.instr > 0)
                    cell.instr = slotTypes[(cell.instr - 1) % 8];
    return song;
}

// Patterns of 32, 64, 128 and 200 rows on three channels, played as
// 2 0 +++ 2 1 3 0 --- 1, written for ostrak.
ModSong songOfFourLengths()
{
    ModSong song = slotInstruments(distinctPatternSong(4, 200, 3));
    const int lengths[] = {32, 64, 128, 200};
    for (int p = 0; p < 4; ++p) {
        song.patterns[std::size_t(p)].rows = lengths[p];
        song.patterns[std::size_t(p)].cells.resize(std::size_t(lengths[p]));
    }
    song.patterns[0].cells[1][0] = {kNoteOff};
    song.patterns[0].cells[2][1] = {kNoteCut};
    song.patterns[0].cells[3][0] = {};
    song.order = {2, 0, kSkipOrder, 2, 1, 3, 0, kEndOrder, 1};
    return song;
}

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

} // namespace

TEST_F(ImportTest, WholeSongGivesWhatPastingItsPlayedRowsInRunsOf64AndAddingEachGives)
{
    const std::string bytes = writeIt(songOfFourLengths());
    const std::string path = save("song.it", bytes);
    memory().StoreNameA[5] = "kept by undo";

    type(w().txtPos, "7");
    open(path);
    ASSERT_TRUE(imp().isVisible());
    EXPECT_FALSE(imp().isModal());
    EXPECT_EQ(imp().txtStartPos->text8(), "7");
    ASSERT_EQ(imp().listPatterns->topLevelItemCount(), 4);
    const QTreeWidgetItem* first = imp().listPatterns->topLevelItem(0);
    EXPECT_EQ(first->text(0) + "|" + first->text(1) + "|" + first->text(2) + "|" + first->text(3), "2|P2|128|0, 3");
    imp().cmbChannelA->setCurrentIndex(0);
    imp().cmbChannelB->setCurrentIndex(1);
    EXPECT_TRUE(imp().cmbChannelA->currentText().startsWith("1: 422 notes, C-4..G-6, mostly "))
        << imp().cmbChannelA->currentText().toStdString();
    EXPECT_NE(importLog().find("written the ostrak way"), std::string::npos);

    type(imp().txtStartPos, "4");
    click(imp().cmdImportSong);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(w().cmbTempo->text8(), "7.2"); // speed 6 at 125 BPM

    // By hand, in a second ostrak: the rows the order plays (2 0 2 1 3 0,
    // 584 rows) in runs of 64, the last filled with silence; each new run
    // pasted at the next position and BANG, then ADD SEQ for each run. The
    // patterns repeat every 32 rows, so some runs repeat.
    RecordingMessages handMessages;
    ostrak::OstrakApp hand(ostrak::Seams{handMessages, clock, launcher});
    hand.state().memory.StoreNameA[5] = "kept by undo";
    const ostrak::TrackerModule module(bytes);
    std::vector<std::string> lines;
    for (int pattern : {2, 0, 2, 1, 3, 0})
        for (int r = 0; r < module.rows(pattern); ++r)
            lines.push_back(module.clipboardText(pattern, r, r, 0, 1).substr(21));
    lines.resize(640, "|...16......|...16......\r\n");
    std::map<std::string, int> stored;
    for (std::size_t run = 0; run < 10; ++run) {
        std::string paste = "ModPlug Tracker  IT\r\n";
        for (std::size_t r = 0; r < 64; ++r)
            paste += lines[run * 64 + r];
        const auto [at, added] = stored.emplace(paste, 4 + int(stored.size()));
        type(hand.main().txtPos, std::to_string(at->second));
        if (added) {
            hand.main().txtIn->setText8(paste);
            click(hand.main().cmdBang);
        }
        click(hand.main().cmdAdd);
    }
    EXPECT_EQ(stored.size(), 7u);

    EXPECT_TRUE(sameStores(memory(), hand.state().memory));
    EXPECT_EQ(rows(w().listCH1), rows(hand.main().listCH1));
    EXPECT_EQ(rows(w().listCH2), rows(hand.main().listCH2));
    EXPECT_EQ(rows(w().listCH1).front(), "4: Pos4_C1_");
    EXPECT_NE(importLog().find("the last position ends with 56 rows of silence"), std::string::npos);
    EXPECT_NE(importLog().find("Undo last load and restore"), std::string::npos);

    click(app->files().cmdUndo);
    EXPECT_EQ(memory().StoreNameA[5], "kept by undo");
    EXPECT_EQ(memory().StorePaste[4], "");
}

TEST_F(ImportTest, OnePatternFromAOneChannelModuleGoesToTheCurrentPositionWithChannel2Empty)
{
    ModSong song = slotInstruments(distinctPatternSong(2, 32, 1));
    for (ModPattern& p : song.patterns)
        for (auto& row : p.cells)
            row[0].note -= 12; // XM's notes read an octave higher, past G-6
    song.order = {1};
    const std::string path = save("mono.xm", writeXm(song));
    imp().chooseModuleFile = [&](QWidget*) { return QString::fromStdString(path); };
    click(w().cmdImport);
    click(imp().cmdBrowseModule);
    EXPECT_EQ(imp().cmbChannelB->currentText(), "none");
    EXPECT_NE(importLog().find("CH2 stays empty"), std::string::npos);

    type(w().txtPos, "9");
    click(imp().cmdImportPattern);
    const ostrak::TrackerModule module(readBytes(path));
    std::string pasted = module.clipboardText(1, 0, 31, 0, -1);
    pasted.replace(pasted.find("|..........."), 12, "|...16......"); // CH2 silent, not half a byte
    EXPECT_EQ(memory().StorePaste[9], pasted);
    EXPECT_EQ(memory().StoreNameA[9], "Pos9_C1_");
    EXPECT_NE(memory().StorePatternA[9].find("|C-"), std::string::npos);
    EXPECT_TRUE(everyByteWhole(memory().StorePatternB[9]));
    EXPECT_NE(memory().StorePatternB[9].find("byte %11111111  ;31|...|0\r\n"), std::string::npos);
    EXPECT_EQ(w().listCH1->count(), 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ImportTest, BadFilesAndSongsThatDoNotFitAreRefusedWithAMessageAndChangeNothing)
{
    // Something stored and in the song order, so a change would show.
    type(w().txtPos, "3");
    w().txtIn->setText8("ModPlug Tracker  IT\r\n|C-504......|G-606......\r\n");
    click(w().cmdBang);
    click(w().cmdAdd);
    memory().UndoNameA[1] = "undo copy";
    const ostrak::WorkingMemory before = memory();
    const std::vector<std::string> listBefore = rows(w().listCH1);

    // As pasted, so that no two runs of 64 rows read the same (mapped, the
    // instruments all take one type and runs a semitone apart can meet).
    ModSong manyPatterns = slotInstruments(distinctPatternSong(256, 32, 2));
    ModSong longOrder = distinctPatternSong(2, 64, 2); // a position each
    longOrder.order.assign(500, 1);
    ModSong noOrder = distinctPatternSong(2, 32, 2);
    noOrder.order = {kEndOrder, 0, 1};
    const std::string it = writeIt(distinctPatternSong(7, 64, 2));
    save("locked.it", it);
    QFile::setPermissions(QString::fromStdString(folder.file("locked.it")), QFileDevice::Permissions());

    struct Case {
        std::string what, path, startPos;
    };
    const std::vector<Case> cases = {
        {"missing", folder.file("nothing.it"), "0"},
        {"folder", folder.path(), "0"},
        {"empty", save("empty.it", ""), "0"},
        {"not a module", save("paste.it", "ModPlug Tracker  IT\r\n|C-504......\r\n"), "0"},
        {"truncated", save("cut.it", it.substr(0, 120)), "0"},
        {"256 patterns", save("many.it", writeIt(manyPatterns)), "0"},
        {"500 order entries", save("long.it", writeIt(longOrder)), "0"},
        {"no order", save("noorder.s3m", writeS3m(noOrder)), "0"},
        {"past position 62", save("seven.it", it), "57"},
        {"first position 63", save("seven3.it", it), "63"},
        {"start not a number", save("seven2.it", it), "x"},
    };
    std::vector<Case> all = cases;
    if (geteuid() != 0) // root reads any file
        all.push_back({"unreadable", folder.file("locked.it"), "0"});
    for (const Case& c : all) {
        SCOPED_TRACE(c.what);
        const std::size_t shown = messages.shown.size();
        open(c.path);
        type(imp().txtStartPos, c.startPos);
        click(imp().cmdImportSong);
        ASSERT_GT(messages.shown.size(), shown);
        EXPECT_GT(messages.shown[shown].size(), 20u); // says what is wrong, not only "Open a module first."
        EXPECT_TRUE(sameMemory(memory(), before));
        EXPECT_EQ(rows(w().listCH1), listBefore);
        EXPECT_EQ(rows(w().listCH2).size(), listBefore.size());
    }
    EXPECT_NE(importLog().find("would reach position 63, past 62"), std::string::npos);
    EXPECT_NE(importLog().find("at most 256 can be imported"), std::string::npos); // an hour of it
}

TEST_F(ImportTest, AModuleNotWrittenForOstrakImportsWithDefaultsIntoASongThatReadsAsDasmWould)
{
    open(save("real.it", writeIt(realLike())));
    ASSERT_EQ(imp().tblInstruments->rowCount(), 3); // 21, 22 and 24 on channels 1 and 2
    EXPECT_EQ(imp().tblInstruments->item(row(22), 2)->text(), "48 (A-1..E-2)");
    for (int r = 0; r < 3; ++r) {
        const int type = std::stoi(typeOf(r));
        EXPECT_TRUE(type == 4 || type == 6 || type == 7 || type == 14 || type == 15 || type == 1 || type == 12)
            << typeOf(r);
        EXPECT_EQ(imp().typeBox(r)->objectName(), "cmbType" + imp().tblInstruments->item(r, 0)->text());
        EXPECT_EQ(imp().octaveBox(r)->objectName(), "spnOctave" + imp().tblInstruments->item(r, 0)->text());
    }
    EXPECT_EQ(imp().cmbNotes->currentText(), "By pitch");
    EXPECT_LE(std::abs(std::stoi(imp().txtTuning->text8())), 50);

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

    // Each notes choice brings its own transpose; pitch codes keep the names.
    const std::string byPitch = imp().txtTranspose->text8();
    imp().cmbNotes->setCurrentIndex(0);
    EXPECT_NE(imp().txtTranspose->text8(), byPitch); // for this module the two rules differ
    imp().cmbNotes->setCurrentIndex(1);
    EXPECT_EQ(imp().txtTranspose->text8(), byPitch);
    imp().cmbNotes->setCurrentIndex(0);
    EXPECT_EQ(imp().txtTuning->text8(), "0");
    type(imp().txtTranspose, "0");
    imp().typeBox(row(21))->setCurrentText("4");
    imp().octaveBox(row(21))->setValue(0);
    type(w().txtPos, "5");
    imp().listPatterns->setCurrentItem(imp().listPatterns->topLevelItem(1));
    click(imp().cmdImportPattern);
    // Pattern 1, row 1: note 60 + (65 * 5) % 23 = 63, D-5, on instrument 21 (still sounding), type 4.
    EXPECT_NE(memory().StorePatternA[5].find("byte %00010001  ;1|D-5|4\r\n"), std::string::npos);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ImportTest, BadInputGetsAMessageOrASoundFallbackAndNeverHalfASong)
{
    struct Case {
        std::string what, bytes, typeOf21, transpose, tuning;
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
            r = {{}, {}, {}, {}};
    ModSong drums = realLike();
    for (ModPattern& p : drums.patterns)
        for (auto& r : p.cells)
            r = {r[2], r[2], {}, {}}; // the kick alone
    ModSong loops = realLike(); // the last pattern jumps back to the first for ever
    loops.patterns[2].cells[40][3] = {0, 0, -1, -1, 2, 0};
    const std::string it = writeIt(realLike());
    const std::vector<Case> cases = {
        {"type no slot has", it, "9", "", "", true, "which no slot has"},
        {"type no number", it, "Square", "", "", true, "is no sound type"},
        {"transpose abc", it, "", "abc", "", true, "whole number of semitones"},
        {"transpose 1000", it, "", "1000", "", true, "whole number of semitones"},
        {"tuning 51", it, "", "", "51", true, "whole number of cents"},
        {"B-9 transposed by 96", writeIt(high), "", "96", "", false, "moved by octaves"},
        {"200 instruments", writeIt(realLike(200, 199)), "", "", "", false, "error median"},
        {"one channel", writeXm(mono), "", "", "", false, "CH2 stays empty"},
        {"no notes", writeIt(silent), "", "", "", false, "may be cut short"},
        {"only drums", writeIt(drums), "", "", "", false, "Song order: 4 rows added"},
        {"cut short", it.substr(0, it.size() / 2), "", "", "", false, "Song order: 4 rows added"},
        {"a jump back for ever: played once", writeIt(loops), "", "", "", false, "Song order: 4 rows added"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ostrak::WorkingMemory before = memory();
        const std::size_t shown = messages.shown.size();
        const std::size_t listed = rows(w().listCH1).size();
        open(save("bad.it", c.bytes));
        if (!c.typeOf21.empty())
            imp().typeBox(row(21))->setCurrentText(QString::fromStdString(c.typeOf21));
        if (!c.transpose.empty())
            type(imp().txtTranspose, c.transpose);
        if (!c.tuning.empty())
            type(imp().txtTuning, c.tuning);
        type(imp().txtStartPos, "0");
        click(imp().cmdImportSong);
        EXPECT_NE(importLog().find(c.logSays), std::string::npos);
        if (c.refused) {
            ASSERT_GT(messages.shown.size(), shown);
            EXPECT_TRUE(sameMemory(memory(), before));
            EXPECT_EQ(w().listCH1->count(), 0);
            continue;
        }
        EXPECT_EQ(messages.shown.size(), shown);
        for (std::size_t row = listed; row < rows(w().listCH1).size(); ++row) { // this import's positions
            const int position = std::stoi(rows(w().listCH1)[row]);
            EXPECT_TRUE(everyByteWhole(memory().StorePatternA[std::size_t(position)])) << position;
            EXPECT_TRUE(everyByteWhole(memory().StorePatternB[std::size_t(position)])) << position;
        }
        click(app->files().cmdUndo); // the memory as it was
        EXPECT_EQ(memory().StorePaste, before.StorePaste);
    }
}

TEST_F(ImportTest, TheSongKeepsTheModulesTimeInSongHAndSongWavOnNtscAndPal)
{
    // Two channels, a note on every row of channel 1; effects in channel 2.
    auto module = [](std::vector<int> lengths, int speed, std::vector<std::array<int, 4>> effects) {
        ModSong song = slotInstruments(distinctPatternSong(int(lengths.size()), 64, 2));
        song.speed = speed;
        for (std::size_t p = 0; p < lengths.size(); ++p) {
            song.patterns[p].rows = lengths[p];
            song.patterns[p].cells.resize(std::size_t(lengths[p]));
            for (auto& row : song.patterns[p].cells)
                row[1] = {};
        }
        for (auto [p, r, effect, param] : effects)
            song.patterns[std::size_t(p)].cells[std::size_t(r)][1] = {0, 0, -1, -1, effect, param};
        return song;
    };
    struct Case {
        std::string what, file, bytes;
        bool pal;
        std::string tempo, tempoLines; // cmbTempo, the song.h lines that carry it
        int fillRows;                  // silence after the module's end
    };
    const std::vector<Case> cases = {
        {"48-row patterns at speed 6 and 125 BPM: 7.2 frames, no padding between them", "a.it",
         writeIt(module({48, 48, 48}, 6, {})), false, "7.2", "TEMPODELAY equ 7\r\nTEMPOFRAC equ 51\r\n", 48},
        {"speed 5 on PAL: 5 whole frames, no fraction", "b.it", writeIt(module({64}, 5, {})), true, "5",
         "TEMPODELAY equ 5\r\nPAL equ 1\r\n", 0},
        {"XM: speed 3 set in the pattern and a break to the next one", "c.xm",
         writeXm(module({64, 64}, 6, {{0, 0, 16, 3}, {0, 31, 14, 0}})), false, "3.6",
         "TEMPODELAY equ 3\r\nTEMPOFRAC equ 154\r\n", 32},
        {"MOD: speed 8, then 4: the slow rows as two of 4.8 frames", "d.mod",
         writeMod(module({64}, 6, {{0, 0, 16, 8}, {0, 32, 16, 4}})), false, "4.8",
         "TEMPODELAY equ 4\r\nTEMPOFRAC equ 205\r\n", 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        w().chkPal->setChecked(c.pal);
        const std::string path = save(c.file, c.bytes);
        open(path);
        type(imp().txtStartPos, "0");
        click(imp().cmdImportSong);
        ASSERT_TRUE(messages.shown.empty()) << messages.shown.front();
        EXPECT_EQ(w().cmbTempo->text8(), c.tempo);
        EXPECT_NE(importLog().find("cmbTempo set to " + c.tempo + ":"), std::string::npos);
        EXPECT_NE(importLog().find(c.fillRows ? "ends with " + std::to_string(c.fillRows) + " rows of silence"
                                              : "(100.0 %)."),
                  std::string::npos);

        click(w().cmdGenAllCode);
        click(w().cmdCompileSong);
        const std::string songH = readBytes(folder.file("song.h"));
        EXPECT_NE(songH.find(c.tempoLines), std::string::npos);
        const ostrak::sound::ReadResult read = ostrak::sound::readSongH(songH);
        EXPECT_TRUE(read.problems.empty()) << (read.problems.empty() ? "" : read.problems.front());

        // song.wav lasts as long as the module, and the silence after it.
        click(w().cmdSaveWav);
        const double wavSeconds = double(readBytes(folder.file("song.wav")).size() - 44) / 2 / 44100;
        const double moduleSeconds = ostrak::TrackerModule(c.bytes).durationSeconds();
        const double fillSeconds = c.fillRows * std::stod(c.tempo) / (c.pal ? 50 : 60);
        EXPECT_NEAR(wavSeconds / (moduleSeconds + fillSeconds), 1.0, 0.004);
        clearSong();
    }
}

TEST_F(ImportTest, ASelectedPatternImportsAsTheSongPlaysItAtTheSongsTempo)
{
    // Speed 3 throughout but 6 in pattern 1, which the song enters at row 8
    // and leaves by a break at row 23.
    ModSong song = slotInstruments(distinctPatternSong(3, 32, 2));
    song.speed = 3;
    for (ModPattern& p : song.patterns)
        for (auto& row : p.cells)
            row[1] = {};
    song.patterns[0].cells[31][1] = {0, 0, -1, -1, 3, 8};  // C08
    song.patterns[1].cells[8][1] = {0, 0, -1, -1, 1, 6};   // A06
    song.patterns[1].cells[23][1] = {0, 0, -1, -1, 3, 0};  // C00
    song.patterns[2].cells[0][1] = {0, 0, -1, -1, 1, 3};   // A03
    open(save("p.it", writeIt(song)));
    imp().listPatterns->setCurrentItem(imp().listPatterns->topLevelItem(1));
    type(w().txtPos, "3");
    click(imp().cmdImportPattern);
    EXPECT_EQ(w().cmbTempo->text8(), "3.6");
    EXPECT_NE(importLog().find("as order 1 plays it: rows 8 to 23, 32 rows at the song's tempo"), std::string::npos);
    // Rows 8 to 23, each followed by the row held on (row 8, the first,
    // with silence on channel 2, which has played nothing yet).
    const std::string paste = memory().StorePaste[3];
    const ostrak::TrackerModule module(writeIt(song));
    std::string rows = "ModPlug Tracker  IT\r\n";
    for (int r = 8; r <= 23; ++r)
        rows += module.clipboardText(1, r, r, 0, 1).substr(21) + "|...........|...........\r\n";
    rows.replace(rows.find("|........A06"), 12, "|...16...A06");
    EXPECT_EQ(paste, rows);
}
