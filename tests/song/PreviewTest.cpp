#include "SongFixture.h"

#include <QDir>

#include <filesystem>
#include <unistd.h>

namespace {

using song_tests::SongTest;

// The converter's text for one closed chain: blank line, label, rows, close line.
std::string chain(const char* label, std::initializer_list<const char*> rows)
{
    std::string text = std::string("\r\n") + label + "\r\n";
    for (const char* row : rows)
        text += std::string("\tbyte ") + row + "\r\n";
    return text + "\tbyte %00000000  ; not imp yet\r\n";
}

const std::string kProblemWriting = "Problem writing to file... you may need to press ok a few times!";
const std::string kMissing = "Compile.bat not found.  Please ensure it is in this directory.";

TEST_F(SongTest, PreviewMatchesTheHandWorkedFile)
{
    w().cmdAutoHH2->click();
    w().cmbTempo->setText8("5 - About 93.5");
    w().WaveVol[3]->setText8("12-0%");
    w().WaveMatrix[7]->setText8("12-Lower Square");
    w().hhKickIn->setText8("7"); // the preview keeps the hi-hat from the start
    w().txtOrderA->setText8("\r\n\tword Pos0_C1_0,");
    w().txtOrderB->setText8("\r\n\tword Pos0_C2_0,");
    w().txtPatternA->setText8(chain("Pos0_C1_0", {"%00010011  ;0|C-5|4", "%00010011  ;1|...|0",
                                                   "%11011100  ;2|D#4|1", "%11000111  ;3|C-6|1",
                                                   "%11000111  ;4|...|0", "%11100111  ;5|B-3|3",
                                                   "%11100111  ;6|===|0", "%01001101  ;7|F#5|7"}));
    w().txtPatternB->setText8(chain("Pos0_C2_0", {"%00100000  ;0|G-6|6", "%00100000  ;1|...|0",
                                                   "%11111111  ;2|...|16 - Silence",
                                                   "%10001001  ;3|A#5|14", "%00111111  ;4|C-4|6",
                                                   "%00111111  ;5|...|0", "%10100000  ;6|G-6|15",
                                                   "%01100011  ;7|E-6|8"}));
    w().cmdCompile->click();
    EXPECT_EQ(songH(), testing_support::dataFile("song/preview.h"));
    EXPECT_EQ(launcher.started, std::vector<std::string>{"compile.bat"});
    EXPECT_TRUE(messages.shown.empty());

    // Nothing edited: a second press writes the same bytes.
    const std::string first = songH();
    w().cmdCompile->click();
    EXPECT_EQ(songH(), first);
    EXPECT_EQ(launcher.started.size(), 2u);
}

TEST_F(SongTest, EmptyFieldsStillGiveTheWholeFrame)
{
    clearPatternFields();
    w().cmdCompile->click();
    const auto lines = linesOf(songH());
    ASSERT_EQ(lines.size(), 67u);
    for (std::size_t n : {46u, 49u, 56u, 59u})
        EXPECT_EQ(lines[n - 1], "") << n;
    EXPECT_EQ(lines[44], " ;Order Channel 1");
    EXPECT_EQ(lines[47], " ;Order Channel 1");
    EXPECT_EQ(lines[66], ";eof");
    EXPECT_EQ(songH().substr(songH().size() - 6), ";eof\r\n");
}

TEST_F(SongTest, AFieldEndingInALineBreakGivesAnExtraEmptyLine)
{
    // The start-up pattern texts end in a line break; the order texts are replaced.
    w().txtOrderA->setText8("A");
    w().txtOrderB->setText8("B");
    w().cmdCompile->click();
    const auto lines = linesOf(songH());
    ASSERT_EQ(lines.size(), 69u);
    EXPECT_EQ(lines[55], ";Pattern notation for CH1");
    EXPECT_EQ(lines[56], "");
    EXPECT_EQ(lines[57], "");
    EXPECT_EQ(lines[58], " ;------- Patterns Channel 2 ---------");
}

TEST_F(SongTest, MissingCompileScriptIsReportedOnceAfterACompleteFile)
{
    clearPatternFields();
    launcher.missing = {"compile.bat"};
    w().cmdCompile->click();
    EXPECT_EQ(messages.shown, std::vector<std::string>{kMissing});
    EXPECT_EQ(linesOf(songH()).size(), 67u);
}

TEST_F(SongTest, UncreatableSongFileReportsEveryLineAndStillBuilds)
{
    QDir().mkdir(QStringLiteral("song.h")); // a folder where the file should be
    w().cmdCompile->click();
    ASSERT_EQ(messages.shown.size(), 1u + 67u);
    EXPECT_EQ(messages.shown[0], "Ahhh shit.  Looks like you got an error code 75");
    for (std::size_t i = 1; i < messages.shown.size(); ++i)
        ASSERT_EQ(messages.shown[i], kProblemWriting) << i;
    EXPECT_EQ(launcher.started, std::vector<std::string>{"compile.bat"});

    // With the script missing as well, its message closes the command.
    messages.shown.clear();
    launcher.missing = {"compile.bat"};
    w().cmdCompile->click();
    EXPECT_EQ(messages.shown.size(), 1u + 67u + 1u);
    EXPECT_EQ(messages.shown.back(), kMissing);
}

TEST_F(SongTest, ReadOnlyFolderReportsThePermissionFailure)
{
    namespace fs = std::filesystem;
    const auto readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                          fs::perms::others_exec;
    fs::permissions(folder.path(), readOnly);
    // Root may write anywhere, so as root the command runs as an ordinary user.
    const bool root = ::geteuid() == 0;
    if (root && ::seteuid(65534) != 0) {
        fs::permissions(folder.path(), fs::perms::owner_all);
        GTEST_SKIP() << "cannot run as an ordinary user";
    }
    w().cmdCompile->click();
    const bool restored = !root || ::seteuid(0) == 0;
    fs::permissions(folder.path(), fs::perms::owner_all);
    ASSERT_TRUE(restored);
    ASSERT_EQ(messages.shown.size(), 68u);
    EXPECT_EQ(messages.shown[0], "Ahhh shit.  Looks like you got an error code 70");
    EXPECT_EQ(messages.shown[67], kProblemWriting);
    EXPECT_FALSE(fs::exists(folder.file("song.h")));
    EXPECT_EQ(launcher.started, std::vector<std::string>{"compile.bat"});
}

} // namespace
