// compile.bat and copycart.bat as ostrak's working folder holds them, run by
// /bin/sh with a PATH that holds only the tools a test puts there; a
// stand-in stella records how it was started. Run alone with
// --gtest_filter='EngineScripts*'.
#include "EngineRig.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace engine_test;

namespace {

class EngineScripts : public EngineTest {
protected:
    void SetUp() override
    {
        if (!missingTools({"dasm"}).empty())
            GTEST_SKIP() << "dasm is not installed (tools/setup.sh installs it)";
        bin = subFolder("bin");
        for (const char* tool : {"dirname", "tee", "rm", "cp"})
            provide(tool);
        // The working folder as tools/run.sh fills it.
        for (const char* name : {"engine.asm", "player.asm", "example-game.asm", "compile.bat", "copycart.bat"})
            QFile::copy(QString::fromStdString(engineDir() + "/" + name), QString::fromStdString(folder.file(name)));
        // The example paste, converted and previewed as a new user would.
        previewSong(testing_support::readBytes(engineDir() + "/example-paste.txt"));
    }

    void provide(const std::string& tool)
    {
        const QString target = QStandardPaths::findExecutable(QString::fromStdString(tool));
        ASSERT_FALSE(target.isEmpty()) << tool;
        QFile::link(target, QString::fromStdString(bin + "/" + tool));
    }
    // A stella that only notes its arguments in stella-args.txt.
    void provideStandInStella()
    {
        const std::string path = bin + "/stella";
        testing_support::writeBytes(path, "#!/bin/sh\necho \"$@\" > stella-args.txt\n");
        QFile::setPermissions(QString::fromStdString(path), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    ProgramRun script(const std::string& name, std::map<std::string, std::string> env = {})
    {
        env["PATH"] = bin;
        return runProgram({"/bin/sh", name}, folder.path(), env);
    }
    std::string file(const std::string& name) const
    {
        return QFile::exists(QString::fromStdString(folder.file(name))) ? testing_support::readBytes(folder.file(name))
                                                                         : "(no " + name + ")";
    }
    long long size(const std::string& name) const { return QFileInfo(QString::fromStdString(folder.file(name))).size(); }

    std::string bin;
};

TEST_F(EngineScripts, CompileAssemblesTheExampleAndStartsStellaOrSaysWhatIsMissing)
{
    ProgramRun run = script("compile.bat");
    EXPECT_NE(run.code, 0);
    EXPECT_NE(run.output.find("dasm not found: install the assembler dasm (Debian: apt-get install dasm)"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(file("compile.log"), run.output) << "the log says the same as the window";

    provide("dasm");
    run = script("compile.bat");
    EXPECT_NE(run.code, 0);
    EXPECT_NE(file("compile.log").find("stella not found: install the emulator Stella (Debian: apt-get install stella)"),
              std::string::npos)
        << file("compile.log");

    provideStandInStella();
    run = script("compile.bat");
    EXPECT_EQ(run.code, 0) << file("compile.log");
    EXPECT_EQ(size("song.bin"), 4096);
    EXPECT_EQ(file("stella-args.txt"), "song.bin\n");
    // "compile.bat game" builds the example game around the same song.
    run = runProgram({"/bin/sh", "compile.bat", "game"}, folder.path(), {{"PATH", bin}});
    EXPECT_EQ(run.code, 0) << file("compile.log");
    EXPECT_EQ(size("game.bin"), 4096);
    EXPECT_EQ(file("stella-args.txt"), "game.bin\n");

    // song.h files that do not assemble: the failure and its cause are in
    // the log, and no ROM is left to play.
    const std::string song = file("song.h");
    for (const auto& [extra, cause] : {std::pair{"    byte noSuchLabel\r\n", "noSuchLabel"},
                                       std::pair{"    ds 4000, 255\r\n", "song.h is too large: the ROM is"}}) {
        testing_support::writeBytes(folder.file("song.h"), song + extra);
        QFile::remove(QString::fromStdString(folder.file("stella-args.txt")));
        EXPECT_NE(script("compile.bat").code, 0);
        EXPECT_NE(file("compile.log").find("compile.bat: ASSEMBLY FAILED"), std::string::npos) << file("compile.log");
        EXPECT_NE(file("compile.log").find(cause), std::string::npos) << file("compile.log");
        EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.file("song.bin"))));
        EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.file("stella-args.txt"))));
    }
}

TEST_F(EngineScripts, CopyCartCopiesTheRomIntoTheCardFolder)
{
    provide("dasm");
    ProgramRun run = script("copycart.bat");
    EXPECT_NE(run.code, 0);
    EXPECT_NE(file("copycart.log").find("OSTRAK_CART is not set"), std::string::npos) << file("copycart.log");

    run = script("copycart.bat", {{"OSTRAK_CART", folder.file("no-such-card")}});
    EXPECT_NE(run.code, 0);
    EXPECT_NE(file("copycart.log").find("OSTRAK_CART names no folder"), std::string::npos) << file("copycart.log");

    const std::string card = subFolder("card");
    run = script("copycart.bat", {{"OSTRAK_CART", card}});
    EXPECT_EQ(run.code, 0) << file("copycart.log");
    EXPECT_EQ(size("cart.bin"), 4096);
    EXPECT_EQ(testing_support::readBytes(card + "/ostrak.bin"), file("cart.bin"));
}

} // namespace
