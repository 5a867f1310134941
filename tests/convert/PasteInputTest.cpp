#include "ConvertFixture.h"

#include "PasteConverter.h"
#include "TextFile.h"

#include <chrono>

using ostrak::PasteLines;
using testing_support::ConvertTest;
using testing_support::dataFile;

TEST(PasteLinesTable, LinesFillRowsFromZeroAndEndWithEofCappedAtTheLastRow)
{
    PasteLines table;
    EXPECT_EQ(table.row(0), "0");
    EXPECT_EQ(table.row(PasteLines::kLastRow), "0");

    table.load("head\r\n|a\r|b\r\n\r\n");
    EXPECT_EQ(table.row(1), "|a");
    EXPECT_EQ(table.row(2), "|b");
    EXPECT_EQ(table.row(3), "");
    EXPECT_EQ(table.row(4), "EOF");
    EXPECT_EQ(table.row(5), "0");

    for (int lineCount : {1024, 1025, 5000}) {
        std::string text;
        for (int k = 0; k < lineCount; ++k)
            text += "L" + std::to_string(k) + "\r\n";
        table.reset();
        table.load(text);
        EXPECT_EQ(table.row(1023), "L1023") << lineCount;
        EXPECT_EQ(table.row(PasteLines::kLastRow), "EOF") << lineCount;
    }
}

// Two channels and lines 1 to 129 are all that may count.
TEST_F(ConvertTest, NoiseOutsideTheFirstTwoChannelsAndLine129ChangesNothing)
{
    const std::vector<std::string> full = common::splitLines(dataFile("pastes/it_64rows_4ch.txt"));
    std::vector<std::string> twoChannels;
    for (std::size_t k = 1; k < full.size(); ++k)
        twoChannels.push_back(full[k].substr(0, 24));
    convert(lines(twoChannels));
    const std::string expectedA = patternA(), expectedB = patternB(), expectedOrder = orderA();

    std::vector<std::string> noisy;
    for (std::size_t k = 1; k < full.size(); ++k)
        noisy.push_back(full[k] + std::string("\0\xff\xe9|C-516", 9) + std::string(100000, 'x'));
    while (noisy.size() < 129)
        noisy.push_back(std::string("\0\x01\x80 caf\xe9", 9));
    noisy.push_back("|C-516......|C-516......");
    for (int k = 0; k < 200000; ++k)
        noisy.push_back(k % 2 ? "|D-504......|D-504......" : "");
    const auto began = std::chrono::steady_clock::now();
    convert(lines(noisy));
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(10));
    EXPECT_EQ(patternA(), expectedA);
    EXPECT_EQ(patternB(), expectedB);
    EXPECT_EQ(orderA(), expectedOrder);
}

TEST_F(ConvertTest, OddBytesInTheCellsPassIntoTheCommentsUnchanged)
{
    convert(lines({std::string("|\0\xffZ04......|C-5\xe9\x01", 18), "|\x80", "|", "\rx|C-5"}));
    EXPECT_EQ(patternA(), "\r\nPos0_C1_0\r\n\tbyte %000  ;0|" + std::string("\0\xffZ", 3) +
                              "|4\r\n\tbyte %000  ;1|\x80|0\r\n\tbyte %000  ;2||0\r\n");
    EXPECT_EQ(patternB(), "\r\nPos0_C2_0\r\n\tbyte 10011  ;0|C-5|0\r\n\tbyte 10011  ;1||0\r\n"
                          "\tbyte 10011  ;2||0\r\n");
}
