// The auto search: its report through the window, and the grouping search
// against the plain pairwise comparison it replaces.
#include "CrimpFixture.h"
#include "support/SongMaker.h"

#include "search/RunSearch.h"

#include <random>

using namespace crimp_testing;

namespace {

class AutoSearch : public CrimpTest {};

TEST_F(AutoSearch, BeforeAnyManualSearchWritesOnlyWorking)
{
    w().BoxLoad->setBarWidth(123.0);
    autoSearch();
    EXPECT_EQ(report(), "Working...\r\n");
    EXPECT_DOUBLE_EQ(w().BoxLoad->barWidth(), 123.0);
}

TEST_F(AutoSearch, RunOccurringThreeTimesGivesItsThreePairs)
{
    std::vector<std::string> song = {"N0"};
    append(song, defaultRun(0));
    append(song, {"N1"});
    append(song, otherRun(1));
    append(song, {"N2 is a long label line"});
    append(song, defaultRun(8));
    append(song, {"N3"});
    append(song, otherRun(2));
    append(song, {"N4"});
    append(song, defaultRun(16));
    append(song, {"N5"});
    writeSong(crlfLines(song));
    w().txtSearch->setText8("nothing like it\r\n");
    manualSearch();
    const std::vector<std::string> marksBefore = tables().optMarks;
    const std::string labelBefore = caption(w().lblRepitions);

    autoSearch();
    // Pairs (1, 21), (1, 41), (21, 41): each names the later run and the key
    // of the line before it.
    EXPECT_EQ(report(), "Working...\r\n"
                        "Found  @ 21\r\nN2 is a long lab\r\n\r\n"
                        "Repeat @ 41\r\nN4\r\n\r\n"
                        "Repeat @ 41\r\nN4\r\n\r\n");
    EXPECT_DOUBLE_EQ(w().BoxLoad->barWidth(), 420.0);
    EXPECT_EQ(tables().optMarks, marksBefore);
    EXPECT_EQ(caption(w().lblRepitions), labelBefore);
}

TEST_F(AutoSearch, AllAlikeTablesAreCountedButListedOnlyUpToTheCap)
{
    std::string song;
    for (int k = 0; k < crimp::kTableSize; ++k)
        song += "\tbyte %00000000  ; same\r\n";
    writeSong(song);
    manualSearch();
    autoSearch();
    const std::uint64_t windows = crimp::kLastWindowStart; // positions 1 to 32760
    const std::uint64_t total = windows * (windows - 1) / 2;
    const std::string& r = report();
    EXPECT_EQ(r.rfind("Found  @ "), r.find("Found  @ "));
    EXPECT_NE(r.find("Found  @ 2\r\n"), std::string::npos);
    const std::string closing = "Listed " + std::to_string(crimp::kPairCap) + " of " + std::to_string(total)
        + " repeated pairs in all; the rest were not listed.\r\n";
    ASSERT_GE(r.size(), closing.size());
    EXPECT_EQ(r.substr(r.size() - closing.size()), closing);
    EXPECT_EQ(w().txtOut->rowCount(), static_cast<int>(1 + 3 * crimp::kPairCap + 2));
}

// ---- The grouping search against the pairwise comparison.

crimp::LineTables loaded(const std::vector<std::string>& lines)
{
    crimp::LineTables t;
    t.clearForSearch();
    t.loadLines(joinCrLf(lines));
    return t;
}

void expectSameSearch(const crimp::LineTables& t, std::size_t cap, const std::string& what)
{
    const int last = t.lastSearchPosition();
    const crimp::PairList reference = crimp::pairsByComparison(t.lineKeys, last, cap);
    const crimp::PairList fast = crimp::pairsByGrouping(t.lineKeys, last, cap);
    EXPECT_EQ(fast.total, reference.total) << what;
    ASSERT_EQ(fast.pairs.size(), reference.pairs.size()) << what;
    EXPECT_TRUE(fast.pairs == reference.pairs) << what;
    EXPECT_EQ(crimp::autoReport(fast, t.lineKeys), crimp::autoReport(reference, t.lineKeys)) << what;
}

TEST(AutoSearchAgreement, RandomTablesFromFewDistinctLines)
{
    std::mt19937 random(7);
    // Few distinct lines force many equal windows, overlapping ones included;
    // "0" lines also match the table filler past the last line read.
    const std::vector<std::string> alphabet = {"\tbyte %00000000  ; a", "\tbyte %00000000  ; b",
                                               "\tbyte %11111111", "0", ""};
    for (int round = 0; round < 200; ++round) {
        const int length = static_cast<int>(random() % 120);
        const int letters = 1 + static_cast<int>(random() % alphabet.size());
        std::vector<std::string> lines;
        for (int k = 0; k < length; ++k)
            lines.push_back(alphabet[random() % letters]);
        const crimp::LineTables t = loaded(lines);
        expectSameSearch(t, crimp::kPairCap, "round " + std::to_string(round));
        expectSameSearch(t, 5, "capped round " + std::to_string(round));
    }
}

TEST(AutoSearchAgreement, RealisticSongs)
{
    SongShape shape;
    shape.positions = 12;
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        shape.seed = seed;
        const crimp::LineTables t = loaded(makeSongLines(shape));
        const crimp::PairList fast = crimp::pairsByGrouping(t.lineKeys, t.lastSearchPosition());
        EXPECT_GT(fast.total, 100u); // the songs really repeat
        expectSameSearch(t, crimp::kPairCap, "seed " + std::to_string(seed));
    }
    crimp::LineTables golden;
    golden.clearForSearch();
    golden.loadLines(testing_support::dataFile("crimp/song3.h"));
    expectSameSearch(golden, crimp::kPairCap, "song3.h");
}

TEST(AutoSearchAgreement, CapBoundaryAddsTheClosingLineOnlyWhenPairsAreLeftOut)
{
    // Ten equal windows: 45 pairs.
    std::vector<std::string> lines(19, "same");
    const crimp::LineTables t = loaded(lines);
    const int last = 10; // windows 1 to 10 hold only real lines
    const crimp::PairList all = crimp::pairsByGrouping(t.lineKeys, last, 45);
    EXPECT_EQ(all.total, 45u);
    EXPECT_EQ(crimp::autoReport(all, t.lineKeys).find("Listed"), std::string::npos);
    const crimp::PairList cut = crimp::pairsByGrouping(t.lineKeys, last, 44);
    EXPECT_EQ(cut.pairs.size(), 44u);
    const std::string r = crimp::autoReport(cut, t.lineKeys);
    EXPECT_NE(r.find("Listed 44 of 45 repeated pairs in all"), std::string::npos);
}

TEST(AutoSearchAgreement, TooFewPositionsGiveNothing)
{
    const crimp::LineTables t = loaded({"a"});
    for (int last : {0, 1}) {
        EXPECT_EQ(crimp::pairsByGrouping(t.lineKeys, last).total, 0u);
        EXPECT_EQ(crimp::pairsByComparison(t.lineKeys, last).total, 0u);
    }
}

} // namespace
