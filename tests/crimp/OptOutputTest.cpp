// "Write SONGOPT.H" and the three table dumps through the window.
#include "common/AtomicFile.h"
#include "CrimpFixture.h"

#include <QDir>

using namespace crimp_testing;

namespace {

class OptOutput : public CrimpTest {
protected:
    void writeOptimised() { click(w().cmdMakeOpt); }
};

TEST_F(OptOutput, BeforeAnySearchListsEmptyEntriesAndWritesOnlyTheHeader)
{
    writeOptimised();
    std::string expected = "REPLACE WITH : ";
    for (int k = 0; k < 256; ++k)
        expected += "\r\n";
    EXPECT_EQ(report(), expected);
    EXPECT_EQ(fileBytes("songopt.h"), testing_support::dataFile("crimp/songopt-empty.h"));
}

TEST_F(OptOutput, AfterThreeOccurrencesTheRepeatsAreCommentedOut)
{
    writeSong(testing_support::dataFile("crimp/song3.h"));
    manualSearch();
    writeOptimised();
    EXPECT_EQ(report(), "REPLACE WITH : CA0\r\nCA2\r\nCA3\r\n");
    EXPECT_EQ(fileBytes("songopt.h"), testing_support::dataFile("crimp/songopt3.h"));

    // Written again later: only the time in the header differs; an auto
    // search in between marks nothing.
    autoSearch();
    clock.longTime = "23:59:58";
    writeOptimised();
    std::string expected = testing_support::dataFile("crimp/songopt3.h");
    expected.replace(expected.find("06:42:31"), 8, "23:59:58");
    EXPECT_EQ(fileBytes("songopt.h"), expected);
}

TEST_F(OptOutput, AfterNoOccurrenceTheSongIsCopiedUnchanged)
{
    const std::string song = "CB0\r\n\tbyte %00010011  ;0|C-5|4\r\nlast line";
    writeSong(song);
    manualSearch();
    writeOptimised();
    EXPECT_EQ(report(), "REPLACE WITH : ");
    EXPECT_EQ(fileBytes("songopt.h"), "; OPTIMISED OUTPUT (REM) at 06:42:31\r\n\r\n" + song + "\r\n");
}

TEST_F(OptOutput, UnwritableOutputIsReportedAfterTheListing)
{
    writeSong(testing_support::dataFile("crimp/song3.h"));
    manualSearch();
    ASSERT_TRUE(QDir(QString::fromStdString(folder.path())).mkdir(QStringLiteral("songopt.h")));
    writeOptimised();
    const std::vector<std::string> lines = common::splitLines(report());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "REPLACE WITH : CA0");
    EXPECT_EQ(lines[2], "CA3");
    EXPECT_NE(lines[3].find("songopt.h was not written"), std::string::npos);

    // A write failing part way leaves the songopt.h written before whole.
    ASSERT_TRUE(QDir(QString::fromStdString(folder.path())).rmdir(QStringLiteral("songopt.h")));
    writeOptimised();
    const std::string old = fileBytes("songopt.h");
    common::AtomicFile::injectFailureAfterLines(3);
    writeOptimised();
    common::AtomicFile::injectFailureAfterLines(std::nullopt);
    EXPECT_NE(report().find("songopt.h was not written"), std::string::npos);
    EXPECT_EQ(fileBytes("songopt.h"), old);
}

TEST_F(OptOutput, DumpSearchShowsTheNineKeysThenEightEmptyLines)
{
    writeSong(testing_support::dataFile("crimp/song3.h"));
    manualSearch();
    click(w().Command1);
    EXPECT_EQ(report(), "\tbyte %11000010 \r\n\tbyte %11000011 \r\n\tbyte %11000100 \r\n"
                        "\tbyte %00111001 \r\n\tbyte %00111001 \r\n\tbyte %00111001 \r\n"
                        "\tbyte %00111001 \r\n\tbyte %00111001 \r\n\tbyte %00000000 \r\n"
                        "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
}

TEST_F(OptOutput, MemoryAndMatchDumpsAppendToTheReport)
{
    std::vector<std::string> song;
    for (int k = 0; k < 100; ++k)
        song.push_back("line number " + std::to_string(k) + " with a comment");
    writeSong(crlfLines(song));
    manualSearch();
    const std::string before = report();

    click(w().cmdMemDump);
    const std::string afterMem = report();
    ASSERT_EQ(afterMem.substr(0, before.size()), before);
    const std::vector<std::string> keys = common::splitLines(afterMem.substr(before.size()));
    ASSERT_EQ(keys.size(), 100u);
    EXPECT_EQ(keys[0], "line number 0 wi");
    EXPECT_EQ(keys[99], "line number 99 w");

    click(w().Command2);
    const std::vector<std::string> matches = common::splitLines(report().substr(afterMem.size()));
    ASSERT_EQ(matches.size(), 256u);
    for (const std::string& entry : matches)
        EXPECT_EQ(entry, "0");
}

TEST_F(OptOutput, LongFileWritesOnlyTheStoredLines)
{
    std::string song;
    for (int k = 0; k < 33000; ++k)
        song += "L" + std::to_string(k) + "\r\n";
    writeSong(song);
    manualSearch();
    writeOptimised();
    const std::vector<std::string> lines = common::splitLines(fileBytes("songopt.h"));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(crimp::kTableSize) + 2);
    EXPECT_EQ(lines.back(), "L32768");
}

} // namespace
