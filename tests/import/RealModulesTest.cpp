// Real modules written by others, imported whole with the import window's
// defaults, then GEN All Code, SONG COMPILE and dasm. The modules are not in
// the repository (their licences differ from it): point OSTRAK_REAL_MODULES at
// a folder of them, e.g. the music of Debian's pingus-data and tecnoballz-data
// packages. Prints what each needed and how far the notes are off.
#include "OstrakFixture.h"
#include "import/FrmImport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

using namespace testing_support;

namespace {

std::string between(const std::string& text, const std::string& from, const std::string& to)
{
    const std::size_t a = text.rfind(from);
    if (a == std::string::npos)
        return "";
    const std::size_t b = text.find(to, a + from.size());
    return text.substr(a + from.size(), b == std::string::npos ? std::string::npos : b - a - from.size());
}

class RealModulesTest : public OstrakTest {};

} // namespace

TEST_F(RealModulesTest, EachImportsWithDefaultsAndEverySongThatFitsAssembles)
{
    const char* where = std::getenv("OSTRAK_REAL_MODULES");
    if (!where)
        GTEST_SKIP() << "OSTRAK_REAL_MODULES names no folder of modules";
    if (!missingTools({"dasm"}).empty())
        GTEST_SKIP() << "dasm is not installed";
    const QStringList files = QDir(QString::fromLocal8Bit(where))
                                  .entryList({"*.it", "*.xm", "*.s3m", "*.mod"}, QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty());
    const std::string engine = std::string(TEST_DATA_DIR) + "/../../engine/engine.asm";
    for (const QString& file : files) {
        const std::string name = file.toStdString();
        SCOPED_TRACE(name);
        app = std::make_unique<ostrak::OstrakApp>(ostrak::Seams{messages, clock, launcher, &audio});
        ostrak::FrmImport& imp = app->importer();
        click(w().cmdImport);
        imp.txtModule->setText(QString::fromLocal8Bit(where) + "/" + file);
        click(imp.cmdOpenModule);
        std::string types;
        for (int r = 0; r < imp.tblInstruments->rowCount(); ++r)
            types += (types.empty() ? "" : " ") + imp.tblInstruments->item(r, 0)->text().toStdString() + ">"
                     + std::to_string(std::atoi(imp.typeBox(r)->currentText().toLatin1().constData()));
        const std::string notesChoice = imp.cmbNotes->currentText().toStdString();
        const std::string transpose = imp.txtTranspose->text8();
        const std::size_t shown = messages.shown.size();
        click(imp.cmdImportSong);
        const std::string log = imp.txtImportLog->toPlainText().toStdString();
        if (messages.shown.size() > shown) { // too many patterns for the 66 positions: said, nothing changed
            std::printf("%-28s refused: %s\n", name.c_str(), messages.shown.back().c_str());
            EXPECT_NE(messages.shown.back().find("past 65"), std::string::npos);
            continue;
        }
        click(w().cmdGenAllCode);
        click(w().cmdCompileSong);
        QFile::remove(QString::fromStdString(folder.file("engine.asm")));
        ASSERT_TRUE(QFile::copy(QString::fromStdString(engine), QString::fromStdString(folder.file("engine.asm"))));
        const ProgramRun run = runProgram({"dasm", "engine.asm", "-f3", "-osong.bin"}, folder.path(), {}, 60000);
        const bool tooLarge = run.output.find("song.h is too large") != std::string::npos;
        std::printf("%-28s %s, transpose %s, map %s\n%-28s %s\n%-28s song.h %lld bytes: %s\n", name.c_str(),
                    notesChoice.c_str(), transpose.c_str(), types.c_str(), "",
                    between(log, "Notes: ", "\n").c_str(), "",
                    static_cast<long long>(QFileInfo(QString::fromStdString(folder.file("song.h"))).size()),
                    run.code == 0 ? "assembles, 4 KB"
                    : tooLarge    ? between(run.output, "the ROM is ", "\n").c_str()
                                  : "dasm fails");
        if (!tooLarge) {
            EXPECT_EQ(run.code, 0) << run.output;
        }
    }
}
