// The manual search through the window: occurrences, marks, labels, edge files.
#include "CrimpFixture.h"

#include "search/RunSearch.h"

#include <QDir>

#include <algorithm>
#include <cstdio>

using namespace crimp_testing;

namespace {

int markedCount(const crimp::LineTables& t)
{
    return static_cast<int>(std::count(t.optMarks.begin(), t.optMarks.end(), "1"));
}

class ManualSearch : public CrimpTest {};

TEST_F(ManualSearch, ThreeOccurrencesGiveOneFoundTwoRepeatsAndTwentyMarks)
{
    writeSong(testing_support::dataFile("crimp/song3.h"));
    manualSearch();

    EXPECT_EQ(report(), "Working...\r\n"
                        "Found  @ 4\r\nCA0\r\n\r\n"
                        "Repeat @ 26\r\nCA2\r\n\r\n"
                        "Repeat @ 37\r\nCA3\r\n\r\n"
                        "\r\nSearch complete!\r\n");
    EXPECT_EQ(caption(w().lblOriginal), "CA0");
    EXPECT_EQ(caption(w().lblRepitions), "2");
    EXPECT_EQ(caption(w().lblBefore), "2");
    EXPECT_EQ(caption(w().lblAfter), "1");
    EXPECT_EQ(caption(w().lblLen), "Length: 59");

    const crimp::LineTables& t = tables();
    EXPECT_EQ(t.matchLines[0], "CA0");
    EXPECT_EQ(t.matchLines[1], "CA2");
    EXPECT_EQ(t.matchLines[2], "CA3");
    EXPECT_EQ(t.matchLines[3], "0");
    // The two repeats with their name lines; the first occurrence stays.
    EXPECT_EQ(markedCount(t), 20);
    for (int k = 25; k <= 34; ++k)
        EXPECT_EQ(t.optMarks[k], "1") << k;
    for (int k = 36; k <= 45; ++k)
        EXPECT_EQ(t.optMarks[k], "1") << k;
    for (int k = 3; k <= 12; ++k)
        EXPECT_EQ(t.optMarks[k], "0") << k;

    // The keys shown are the first sixteen characters of the search lines.
    EXPECT_EQ(w().Tline[0]->text8(), "\tbyte %11000010 ");
    EXPECT_EQ(w().Tline[8]->text8(), "\tbyte %00000000 ");
    EXPECT_EQ(fileBytes("search.txt"), std::string(crimp::kDefaultSearchText) + "\r\n");
}

TEST_F(ManualSearch, NoOccurrenceKeepsTheOriginalCaptionAndMarksNothing)
{
    writeSong(testing_support::dataFile("crimp/song3.h"));
    manualSearch();
    ASSERT_EQ(caption(w().lblOriginal), "CA0");

    std::vector<std::string> song = {"; other"};
    append(song, {"CB0"});
    append(song, otherRun(1));
    writeSong(crlfLines(song));
    manualSearch();

    EXPECT_EQ(report(), "Working...\r\n\r\nSearch complete!\r\n");
    EXPECT_EQ(caption(w().lblOriginal), "CA0");
    EXPECT_EQ(caption(w().lblBefore), "0");
    EXPECT_EQ(caption(w().lblRepitions), "0");
    EXPECT_EQ(markedCount(tables()), 0);
    EXPECT_EQ(tables().matchLines[0], "0");
}

TEST_F(ManualSearch, RunOnTheFirstLineIsNeverFound)
{
    std::vector<std::string> song = defaultRun();
    append(song, {"CA1"});
    append(song, defaultRun(8));
    writeSong(crlfLines(song));
    manualSearch();
    EXPECT_EQ(report(), "Working...\r\nFound  @ 10\r\nCA1\r\n\r\n\r\nSearch complete!\r\n");
    EXPECT_EQ(caption(w().lblRepitions), "0");
}

TEST_F(ManualSearch, FourSpacesInsteadOfATabDoNotMatch)
{
    std::vector<std::string> song = {"CA0"};
    append(song, defaultRun(0, "    "));
    writeSong(crlfLines(song));
    manualSearch();
    EXPECT_EQ(report(), "Working...\r\n\r\nSearch complete!\r\n");

    // The same lines typed as the search text do match.
    w().txtSearch->setText8(crlfLines(defaultRun(0, "    ")));
    manualSearch();
    EXPECT_EQ(report(), "Working...\r\nFound  @ 1\r\nCA0\r\n\r\n\r\nSearch complete!\r\n");
}

TEST_F(ManualSearch, ShortSearchTextLeavesEmptyKeysThatMatchOnlyEmptyLines)
{
    std::vector<std::string> run = defaultRun();
    std::vector<std::string> eight(run.begin(), run.begin() + 8);
    std::vector<std::string> song = {"A"};
    append(song, run); // ninth line is the close line: no match
    append(song, {"B"});
    append(song, eight);
    append(song, {""}); // ninth line empty: match
    writeSong(crlfLines(song));

    w().txtSearch->setText8(crlfLines(eight));
    manualSearch();
    EXPECT_EQ(tables().searchKeys[8], "");
    EXPECT_EQ(w().Tline[8]->text8(), "");
    EXPECT_EQ(report(), "Working...\r\nFound  @ 11\r\nB\r\n\r\n\r\nSearch complete!\r\n");
}

TEST_F(ManualSearch, LoadBarGrowsWithTheLinesThenFillsAndLengthIsShown)
{
    std::vector<std::string> song;
    for (int k = 0; k < 100; ++k)
        song.push_back("line " + std::to_string(k));
    writeSong(crlfLines(song));
    std::vector<double> widths;
    QObject::connect(w().BoxLoad, &crimp::LoadBar::barWidthChanged,
                     [&widths](double width) { widths.push_back(width); });
    manualSearch();
    ASSERT_GE(widths.size(), 2u);
    EXPECT_DOUBLE_EQ(widths[widths.size() - 2], 10.0);
    EXPECT_DOUBLE_EQ(w().BoxLoad->barWidth(), 420.0);
    EXPECT_EQ(caption(w().lblLen), "Length: 100");
}

TEST_F(ManualSearch, MissingSongStopsReadingAndSaysSoInTheReport)
{
    writeSong(testing_support::dataFile("crimp/song3.h"));
    manualSearch();
    ASSERT_EQ(tables().lineCount, 59);
    std::remove(folder.file("song.h").c_str());

    manualSearch();
    EXPECT_EQ(tables().lineCount, 0);
    EXPECT_EQ(caption(w().lblLen), "Length: 0");
    EXPECT_DOUBLE_EQ(w().BoxLoad->barWidth(), 0.0);
    const std::vector<std::string> lines = common::splitLines(report());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Working...");
    EXPECT_NE(lines[1].find("song.h"), std::string::npos);
    EXPECT_EQ(lines[3], "Search complete!");
    EXPECT_EQ(markedCount(tables()), 0);
    EXPECT_EQ(tables().fileLines[0], "0"); // nothing of the earlier file is left
}

TEST_F(ManualSearch, MoreThan255RepeatsAreAllReportedAndMarked)
{
    std::vector<std::string> song = {"; start"};
    for (int n = 0; n < 300; ++n) {
        append(song, {"C" + std::to_string(n)});
        append(song, defaultRun());
    }
    writeSong(crlfLines(song));
    manualSearch();

    EXPECT_EQ(caption(w().lblRepitions), "299");
    EXPECT_EQ(markedCount(tables()), 299 * 10);
    EXPECT_EQ(tables().matchLines[255], "C255");
    const std::string r = report();
    // Repeat 255 is stored; repeat 256 (name C256, position 1 + 256 * 10 + 1) is not.
    EXPECT_NE(r.find("Repeat @ 2552\r\nC255\r\n\r\nRepeat @ 2562"), std::string::npos);
    EXPECT_NE(r.find("Repeat @ 2562\r\nC256\r\n\r\nERROR!  Repeat @ 2572"), std::string::npos);
    std::size_t errors = 0;
    for (std::size_t at = r.find("ERROR!  "); at != std::string::npos; at = r.find("ERROR!  ", at + 1))
        ++errors;
    EXPECT_EQ(errors, 299u - 255u);
}

TEST_F(ManualSearch, FileLongerThanTheTablesIsCountedAndScannedUpToTheLastFullWindow)
{
    std::vector<std::string> song;
    for (int k = 0; k < 40000; ++k)
        song.push_back("filler " + std::to_string(k));
    // A run whose window ends on the last table index is found; one that
    // starts past the table is not.
    const int fits = crimp::kLastWindowStart;
    std::vector<std::string> run = defaultRun();
    std::copy(run.begin(), run.end(), song.begin() + fits);
    std::copy(run.begin(), run.end(), song.begin() + 35000);
    writeSong(crlfLines(song));
    manualSearch();

    EXPECT_EQ(tables().lineCount, 40000);
    EXPECT_EQ(caption(w().lblLen), "Length: 40000");
    EXPECT_EQ(tables().fileLines[crimp::kLastIndex], run.back());
    EXPECT_EQ(report(), "Working...\r\n" + crimp::overflowNote(40000) + "\r\n"
                            "Found  @ 32760\r\nfiller 32759\r\n\r\n\r\nSearch complete!\r\n");
    EXPECT_NE(crimp::overflowNote(40000).find("40000"), std::string::npos);

    // The auto search says the same and lists nothing: the one run in the
    // table and its copy past it are not a pair.
    autoSearch();
    EXPECT_EQ(report(), "Working...\r\n" + crimp::overflowNote(40000) + "\r\n");
}

TEST_F(ManualSearch, LinesAfterTheNinthOfTheSearchTextAreIgnored)
{
    writeSong(testing_support::dataFile("crimp/song3.h"));
    w().txtSearch->setText8(std::string(crimp::kDefaultSearchText) + "\tbyte %11111111  ;9|C-4|1\r\nmore");
    manualSearch();
    EXPECT_EQ(report().substr(0, 27), "Working...\r\nFound  @ 4\r\nCA0");
    EXPECT_EQ(caption(w().lblRepitions), "2");
}

TEST_F(ManualSearch, UnwritableSearchFileIsReportedAndTheTypedRunStillSearched)
{
    writeSong(testing_support::dataFile("crimp/song3.h"));
    ASSERT_TRUE(QDir(QString::fromStdString(folder.path())).mkdir(QStringLiteral("search.txt")));
    manualSearch();
    const std::vector<std::string> lines = common::splitLines(report());
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_NE(lines[1].find("search.txt"), std::string::npos);
    EXPECT_EQ(lines[2], "Found  @ 4");
    EXPECT_EQ(caption(w().lblRepitions), "2");
    EXPECT_EQ(w().Tline[0]->text8(), "\tbyte %11000010 ");
}

TEST_F(ManualSearch, ClickingTheSearchTextEmptiesIt)
{
    click(w().txtSearch->viewport());
    EXPECT_EQ(w().txtSearch->text8(), "");
    w().txtSearch->setText8("pasted");
    click(w().txtSearch->viewport());
    EXPECT_EQ(w().txtSearch->text8(), "");
}

TEST_F(ManualSearch, EmptySearchTextMatchesOnlyNineEmptyLines)
{
    writeSong(crlfLines({"x", "", "", "", "", "", "", "", "", "", "y"}));
    w().txtSearch->setText8("");
    manualSearch();
    EXPECT_EQ(fileBytes("search.txt"), "\r\n");
    EXPECT_EQ(report(), "Working...\r\nFound  @ 1\r\nx\r\n\r\n\r\nSearch complete!\r\n");
}

TEST_F(ManualSearch, OddFilesAreReadWithoutHarm)
{
    struct Case {
        const char* what;
        std::string bytes;
        int lines;
    };
    std::string binary;
    for (int b = 0; b < 256; ++b)
        binary += static_cast<char>(b);
    const std::vector<Case> cases = {
        {"empty", "", 0},
        {"one line without a break", "\tbyte %00000000", 1},
        {"lone CR breaks", "a\rb\rc\r", 3},
        {"LF is not a break", "a\nb\nc", 1},
        {"every byte value (byte 13 is a CR)", binary + "\r\n" + binary, 4},
        {"a 100,000-character line", std::string(100000, 'x') + "\r\nshort", 2},
    };
    for (const Case& c : cases) {
        writeSong(c.bytes);
        manualSearch();
        EXPECT_EQ(tables().lineCount, c.lines) << c.what;
        EXPECT_EQ(report().substr(0, 12), "Working...\r\n") << c.what;
        EXPECT_EQ(report().find("ERROR!"), std::string::npos) << c.what;
    }
    EXPECT_EQ(tables().lineKeys[0], std::string(16, 'x'));
    EXPECT_EQ(tables().fileLines[0].size(), 100000u);
}

} // namespace
