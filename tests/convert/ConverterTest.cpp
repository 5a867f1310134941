#include "ConvertFixture.h"

#include "common/Failure.h"

#include <filesystem>

using testing_support::ConvertTest;
using testing_support::dataFile;

namespace {
const std::string kWarning = "This may not be a paste from an IT from MODPlug";
std::string paste(const std::string& name) { return dataFile("pastes/" + name); }
} // namespace

TEST_F(ConvertTest, WorkedExampleGivesTheHandWorkedTextsLogsAndStoresThem)
{
    clock.date = "D";
    clock.time = "T";
    convert(paste("worked_example.txt"));
    EXPECT_EQ(w().txtNameA->text8(), "Pos0_C1_");
    EXPECT_EQ(patternA(), paste("worked_example.patternA"));
    EXPECT_EQ(patternB(), paste("worked_example.patternB"));
    EXPECT_EQ(orderA(), paste("worked_example.orderA"));
    EXPECT_EQ(orderB(), paste("worked_example.orderB"));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(testing_support::readBytes(folder.file("swap.txt")), paste("worked_example.txt") + "\r\n");
    EXPECT_EQ(memory().at(0).patternB, patternB());
    EXPECT_EQ(memory().at(0).paste, paste("worked_example.txt"));
    EXPECT_EQ(w().txtNameB->backColor(), ostrak::kColourStored);

    ASSERT_GE(logs.size(), 2u);
    EXPECT_EQ(logs.back(), "Saving Pattern");
    const std::string log = logs[logs.size() - 2];
    const std::string start = "Erasing temp memory... DT\r\n\r\nSwap file... DT\r\nProcessing... T\r\n"
                              "CH1 Note: C-5 Ins: 4 Vol:..CH2 Note: G-6 Ins: 6 Vol:..\r\n"
                              "BIN1: %00010011  BIN2: %00100000  [T]\r\n\r\n"
                              "CH1 Note: ... Ins: 0 Vol:..CH2 Note: ... Ins: 0 Vol:..\r\n";
    EXPECT_EQ(log.substr(0, start.size()), start);
    EXPECT_EQ(count(log, "BIN1: "), 8);
}

TEST_F(ConvertTest, RealSixtyFourRowPasteAndItsOtherHeaderForms)
{
    convert(paste("it_64rows_4ch.txt"));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(orderA(), "\r\n\tword Pos0_C1_0,Pos0_C1_1,Pos0_C1_2,Pos0_C1_3 ;1"
                        "\r\n\tword Pos0_C1_4,Pos0_C1_5,Pos0_C1_6,Pos0_C1_7 ;1");
    EXPECT_EQ(orderB(), "\r\n\tword Pos0_C2_0,Pos0_C2_1,Pos0_C2_2,Pos0_C2_3 ;3"
                        "\r\n\tword Pos0_C2_4,Pos0_C2_5,Pos0_C2_6,Pos0_C2_7 ;3");
    // Note-off and cut keep the last pitch; A-6 is out of range; 16 silences.
    for (const char* line : {"\tbyte %00111111  ;0|C-4|6\r\n", "\tbyte %00111100  ;30|===|0\r\n",
                             "\tbyte %00110101  ;46|^^^|0\r\n"})
        EXPECT_TRUE(has(patternA(), line)) << line;
    for (const char* line : {"\tbyte %11000111  ;14|A-6|1\r\n", "\tbyte %11111111  ;20|C-6|16 - Silence\r\n",
                             "\tbyte %11111111  ;21|...|0\r\n", "\tbyte %11000100  ;24|D#6|1\r\n"})
        EXPECT_TRUE(has(patternB(), line)) << line;
    EXPECT_TRUE(has(logs[logs.size() - 2], "CH1 Note: C-4 Ins: 6 Vol:06CH2 Note: G-5 Ins: 1 Vol:..\r\n"));

    const std::string expected = patternA();
    for (const char* name : {"xm_header_64rows.txt", "it_one_space_header.txt"}) {
        messages.shown.clear();
        convert(paste(name));
        EXPECT_EQ(messages.shown, std::vector<std::string>{kWarning}) << name;
        EXPECT_EQ(patternA(), expected.substr(0, patternA().size())) << name;
    }
}

TEST_F(ConvertTest, ChainsCloseEveryEighthRowAndOnlyClosedChainsAreListed)
{
    w().txtPos->setText8("3");
    convert(rows(7)); // no chain completed: the open chain 0 is still listed
    EXPECT_EQ(count(patternA(), "not imp yet"), 0);
    EXPECT_EQ(orderA(), "\r\n\tword Pos3_C1_0,");
    convert(rows(8));
    EXPECT_EQ(count(patternB(), "\tbyte %00000000  ; not imp yet\r\n"), 1);
    EXPECT_EQ(orderA(), "\r\n\tword Pos3_C1_0,");
    convert(rows(32));
    EXPECT_EQ(orderB(), "\r\n\tword Pos3_C2_0,Pos3_C2_1,Pos3_C2_2,Pos3_C2_3 ;15");
    convert(rows(33));
    const std::string tail = "not imp yet\r\n\r\nPos3_C1_4\r\n\tbyte %00011111  ;32|C-4|4\r\n";
    EXPECT_EQ(patternA().substr(patternA().size() - tail.size()), tail);
    EXPECT_EQ(orderA(), "\r\n\tword Pos3_C1_0,Pos3_C1_1,Pos3_C1_2,Pos3_C1_3 ;13");
    EXPECT_EQ(memory().at(3).orderA, orderA());
    messages.shown.clear();
    convert("");
    EXPECT_EQ(messages.shown, std::vector<std::string>{kWarning});
    EXPECT_EQ(patternA(), "");
    EXPECT_EQ(orderA(), "\r\n\tword Pos3_C1_0,");
}

TEST_F(ConvertTest, MissingCellPartsRepeatThePreviousRowAndSilenceHolds)
{
    convert(lines({"|...........|...........", "|C-5........|...01......", "|...04......|..........."}));
    EXPECT_EQ(patternA(), "\r\nPos0_C1_0\r\n\tbyte   ;0|...|0\r\n\tbyte 10011  ;1|C-5|0\r\n"
                          "\tbyte %00010011  ;2|...|4\r\n");
    EXPECT_EQ(patternB(), "\r\nPos0_C2_0\r\n\tbyte   ;0|...|0\r\n\tbyte %110  ;1|...|1\r\n\tbyte %110  ;2|...|0\r\n");

    convert(lines({"|C-516......|...16......", "|...........|...........", "|D-5........|...04......"}));
    EXPECT_EQ(patternA(), "\r\nPos0_C1_0\r\n\tbyte %11111111  ;0|C-5|16 - Silence\r\n"
                          "\tbyte %11111111  ;1|...|0\r\n\tbyte %11110001  ;2|D-5|0\r\n");
    EXPECT_EQ(patternB().substr(13), "\tbyte %11111111  ;0|...|16 - Silence\r\n"
                                     "\tbyte %11111111  ;1|...|0\r\n\tbyte %00011111  ;2|...|4\r\n");

    // A selection that starts at channel 1's volume column leaves its note blank.
    convert(paste("mid_row_selection.txt"));
    EXPECT_EQ(patternA().substr(13, 18), "\tbyte   ;0|   |0\r\n");
    EXPECT_TRUE(has(patternB(), "\tbyte %11001110  ;7|===|0\r\n"));
}

TEST_F(ConvertTest, RowIndexIsTheLineNumberAndOnlyLinesUpTo129Count)
{
    convert(lines({"|C-504......|C-504......", "", "not a row", "|D-504......|D-504......"}));
    EXPECT_EQ(patternA(), "\r\nPos0_C1_0\r\n\tbyte %00010011  ;0|C-5|4\r\n\tbyte %00010001  ;3|D-5|4\r\n");
    // A lone CR ends a line too, on its way through swap.txt.
    convert("ModPlug Tracker  IT\r|C-504......|C-504......\r\r|D-504......|D-504......");
    EXPECT_EQ(patternB(), "\r\nPos0_C2_0\r\n\tbyte %00010011  ;0|C-5|4\r\n\tbyte %00010001  ;2|D-5|4\r\n");

    convert(paste("it_256rows_3ch.txt"));
    EXPECT_TRUE(has(patternB(), "\r\nPos0_C2_16\r\n\tbyte %10010011  ;128|C-5|14\r\n"));
    EXPECT_FALSE(has(patternA(), "  ;129|"));
    EXPECT_EQ(count(orderA(), "Pos0_C1_"), 16);
}

TEST_F(ConvertTest, NamesStayAsTypedWithoutAutoName)
{
    w().chkAutoName->setChecked(false);
    convert(rows(8));
    EXPECT_EQ(patternA().substr(0, 7), "\r\nCA0\r\n");
    EXPECT_EQ(orderB(), "\r\n\tword CB0,");
    w().txtPos->setText8("5");
    w().chkAutoName->setChecked(true);
    convert(rows(32));
    EXPECT_EQ(memory().at(5).nameA, "Pos5_C1_");
    EXPECT_EQ(orderB(), "\r\n\tword Pos5_C2_0,Pos5_C2_1,Pos5_C2_2,Pos5_C2_3 ;23");
}

TEST_F(ConvertTest, UnusableSwapFileStopsBeforeTheFieldsOrTheMemoryChange)
{
    std::filesystem::create_directory(folder.file("swap.txt"));
    convert(paste("worked_example.txt"));
    EXPECT_EQ(messages.shown, std::vector<std::string>{common::genericFailureText(common::kPathAccess)});
    EXPECT_EQ(patternA(), ";Pattern notation for CH1\r\n");
    EXPECT_EQ(w().txtNameA->text8(), "CA");
    EXPECT_EQ(memory().at(0).patternA, "");

    std::filesystem::remove(folder.file("swap.txt"));
    convert(paste("worked_example.txt"));
    std::filesystem::remove(folder.file("swap.txt"));
    std::filesystem::create_directory(folder.file("swap.txt"));
    convert(rows(16));
    EXPECT_EQ(memory().at(0).patternA, paste("worked_example.patternA"));
    EXPECT_EQ(patternA(), paste("worked_example.patternA"));
}
