#include "support/OstrakFixture.h"
#include "optimise/FrmSetup.h"

#include <QImage>

#include <chrono>
#include <cstdio>

using namespace ostrak;
using namespace std::string_literals;
using testing_support::dataFile;
using testing_support::OstrakTest;
using testing_support::writeBytes;

namespace {

// A block as ostrak writes it: a name line, eight rows and the closing row,
// every row carrying the given bits and a comment after them.
std::string block(const std::string& name, const std::string& bits)
{
    std::string text = name + "\r\n";
    for (int k = 0; k < 9; ++k)
        text += "\tbyte %" + bits + "  ;" + std::to_string(k) + "|C-5|4\r\n";
    return text;
}

std::string repeated(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

class Optimiser : public OstrakTest {
protected:
    FrmSetup& win() { return app->setup(); }
    const OptimiseTables& tables() { return win().tables(); }
    void openFile(const std::string& bytes)
    {
        writeBytes(folder.file("optimise.txt"), bytes);
        click(win().Command1);
    }
    QRgb pixelAt(int x, int y)
    {
        return win().grab().toImage().pixel(FrmSetup::surfacePoint(x, y).toPoint());
    }
};

TEST_F(Optimiser, ChannelTwoBlockIsCountedLoggedAndStored)
{
    openFile(dataFile("optimise/pos3_c2_4.txt"));
    EXPECT_EQ(win().txtCH1->text8(), "0");
    EXPECT_EQ(win().txtCH2->text8(), "1");
    EXPECT_EQ(win().txtIn->text8(), dataFile("optimise/pos3_c2_4.log"));
    EXPECT_EQ(tables().OptPattern(1, 2, 1), "00100000");
    EXPECT_EQ(tables().OptPattern(1, 2, 9), "00000000");
    EXPECT_TRUE(tables().OptPattern(1, 1, 1).empty());
    ASSERT_EQ(win().marks().size(), 1u);
    EXPECT_EQ(win().marks()[0], (OptMark{OptMark::Kind::Line, 220, 22, 250, 22, kOptLineColour}));
}

// Lines before and between blocks, ";eof", a two- and a three-digit position,
// a block of channel 0, and "eof" or a name line standing as a row.
TEST_F(Optimiser, SkipsStrayLinesAndStopsOnlyAtAnEofLineBetweenBlocks)
{
    openFile(dataFile("optimise/mixed.txt"));
    EXPECT_EQ(win().txtIn->text8(), dataFile("optimise/mixed.log"));
    EXPECT_EQ(win().txtCH1->text8(), "2");
    EXPECT_EQ(win().txtCH2->text8(), "1");
    EXPECT_EQ(tables().OptPattern(1, 2, 3), "11111111");
    EXPECT_EQ(tables().OptPattern(2, 1, 2), "");
    EXPECT_EQ(tables().OptPattern(2, 1, 6), "_0");
    for (int k = 0; k < OptimiseTables::kRows; ++k)
        EXPECT_EQ(tables().OptPattern(1, 0, k), "") << "channel 0 row " << k;
    EXPECT_EQ(win().marks().size(), 3u);
}

TEST_F(Optimiser, ListsEveryChainEntryButJoinsOnlyChannelOne)
{
    openFile(block("Pos0_C1_0", "00010011") + block("Pos0_C2_0", "11100000") +
             block("Pos1_C1_0", "01001101") + "eof\r\n");
    click(win().Command2);
    const std::string sep = "\r\n\r\n";
    EXPECT_EQ(win().txtOpt->text8(), sep + repeated("00010011", 9) + sep + repeated("01001101", 9) + sep +
                                         repeated(sep, 510));
    EXPECT_EQ(win().marks().back(), (OptMark{OptMark::Kind::Box, 260, 24, 290, 25, kOptBoxColour}));
    EXPECT_EQ(win().txtCh1opt->text8(), "");
}

TEST_F(Optimiser, ShorterSecondFileLeavesHigherPatternsAndUnsetChains)
{
    openFile(block("Pos0_C1_0", "00000001") + block("Pos1_C1_0", "00000010") + block("Pos2_C1_0", "00000011") + "eof\r\n");
    click(win().Command2);
    openFile(block("Pos0_C1_0", "11110000") + "eof\r\n");
    EXPECT_EQ(win().txtCH1->text8(), "1");
    EXPECT_EQ(tables().OptPattern(3, 1, 9), "00000011");
    click(win().Command2);
    EXPECT_EQ(tables().OptChain[1], repeated("11110000", 9));
    EXPECT_EQ(tables().OptChain[3], repeated("00000011", 9));
}

TEST_F(Optimiser, JoinsOnlyTheFirstThreeHundredPatterns)
{
    openFile(repeated(block("Pos0_C1_0", "10101010"), 301) + "eof\r\n");
    click(win().Command2);
    EXPECT_EQ(tables().OptChain[300].size(), 72u);
    EXPECT_EQ(tables().OptChain[301], "");
}

TEST_F(Optimiser, MarksArePaintedAndSurviveARepaint)
{
    win().show();
    openFile(block("Pos0_C1_0", "00000001") + "eof\r\n");
    click(win().Command2);
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(QColor(pixelAt(15, 22)), QColor(Qt::red));
        EXPECT_EQ(QColor(pixelAt(275, 22)), QColor(0, 1, 0));
    }
}

TEST_F(Optimiser, TablesAndLogOutliveClosingTheWindow)
{
    click(w().cmdOPT);
    EXPECT_TRUE(win().isVisible());
    openFile(dataFile("optimise/pos3_c2_4.txt"));
    win().close();
    click(w().cmdOPT);
    EXPECT_EQ(win().txtIn->text8(), dataFile("optimise/pos3_c2_4.log"));
    EXPECT_EQ(tables().OptPattern(1, 2, 4), "10001001");
}

TEST_F(Optimiser, MissingFileIsReportedAndChangesNothing)
{
    openFile(dataFile("optimise/pos3_c2_4.txt"));
    std::remove(folder.file("optimise.txt").c_str());
    click(win().Command1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "optimise.txt was not found in the working folder.");
    EXPECT_EQ(win().txtCH2->text8(), "1");
    EXPECT_EQ(win().txtIn->text8(), dataFile("optimise/pos3_c2_4.log"));
}

// Each of these gives a result within seconds and keeps every write inside the tables.
TEST_F(Optimiser, SurvivesBadInput)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();

    openFile("");
    EXPECT_EQ(win().txtIn->text8(), "");
    EXPECT_EQ(win().txtCH1->text8(), "0");

    std::string binary;
    for (int i = 0; i < 20000; ++i)
        binary += static_cast<char>((i * 7919) % 256);
    openFile(binary + "\rPos1_C1_\0\r"s + binary);
    EXPECT_EQ(win().txtCH1->text8(), "1");

    openFile(repeated("Pos9_X\r\n", 200000));
    EXPECT_EQ(win().txtCH1->text8(), "0");
    EXPECT_EQ(win().txtIn->text8().substr(0, 17), "\r\nPos9_X\r\nCH0  0|");

    const std::string wide(100000, '1');
    openFile("Pos1_C1_" + wide + "\r\n" + repeated("\tbyte %" + wide + "\r\n", 9) + "eof\r\n");
    EXPECT_EQ(tables().OptPattern(1, 1, 9), "11111111");

    openFile(repeated(block("Pos1_C1_0", "00001111"), 600) + block("Pos1_C2_0", "1") + "eof\r\n");
    EXPECT_EQ(win().txtCH1->text8(), "512");
    EXPECT_EQ(win().txtCH2->text8(), "0");
    const std::string log = win().txtIn->text8();
    const std::string note = "\r\nStopped: channel 1 has no room beyond pattern 512.\r\n";
    EXPECT_EQ(log.substr(log.size() - note.size()), note);

    // A block cut short by the end of the file: its missing rows are empty.
    openFile("Pos1_C1_0\r\n\tbyte %11111111");
    EXPECT_EQ(tables().OptPattern(1, 1, 1), "11111111");
    EXPECT_EQ(tables().OptPattern(1, 1, 2), "");

    EXPECT_LT(Clock::now() - start, std::chrono::seconds(30));
}

} // namespace
