#include "ConvertFixture.h"

#include "convert/PasteConverter.h"
#include "common/TextFile.h"

using ostrak::PasteLines;
using testing_support::ConvertTest;

TEST(PasteLinesTable, LinesFillRowsFromZeroAndEndWithEofCappedAtTheLastRow)
{
    PasteLines table;
    table.load("head\r\n|a\r|b\r\n\r\n");
    const std::vector<std::string> expected = {"head", "|a", "|b", "", "EOF", "0"};
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(table.row(r), expected[static_cast<std::size_t>(r)]) << r;
    // 1,024 lines just fit before the mark; from 1,025 on, the mark overwrites row 1024.
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

TEST_F(ConvertTest, NoiseOutsideTheFirstTwoChannelsAndLine129ChangesNothing)
{
    const auto full = common::splitLines(testing_support::dataFile("pastes/it_64rows_4ch.txt"));
    std::vector<std::string> clean, noisy;
    for (std::size_t k = 1; k < full.size(); ++k) {
        clean.push_back(full[k].substr(0, 24));
        noisy.push_back(full[k] + std::string("\0\xff\xe9|C-516", 9) + std::string(100000, 'x'));
    }
    convert(lines(clean));
    const std::string expected = patternA() + patternB() + orderA();
    while (noisy.size() < 129)
        noisy.push_back(std::string("\0\x01\x80 caf\xe9", 9));
    for (int k = 0; k < 200000; ++k)
        noisy.push_back(k % 2 ? "|D-516......|D-504......" : "");
    convert(lines(noisy));
    EXPECT_EQ(patternA() + patternB() + orderA(), expected);
}

TEST_F(ConvertTest, OddBytesInTheCellsPassIntoTheCommentsUnchanged)
{
    convert(lines({std::string("|\0\xffZ04......|C-5\xe9\x01", 18), "|\x80"}));
    EXPECT_EQ(patternA().substr(13), "\tbyte %000  ;0|" + std::string("\0\xffZ", 3) + "|4\r\n\tbyte %000  ;1|\x80|0\r\n");
    EXPECT_EQ(patternB().substr(13), "\tbyte 10011  ;0|C-5|0\r\n\tbyte 10011  ;1||0\r\n");
}
