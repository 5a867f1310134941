#include "SongFixture.h"

#include "sound/Sound.h"

#include <QComboBox>

namespace {

using song_tests::SongTest;

std::string hatLine(const char* bits)
{
    return std::string("    byte %") + bits;
}

std::string sameFourTimes(const char* bits)
{
    return hatLine(bits) + hatLine(bits) + hatLine(bits) + hatLine(bits);
}

TEST_F(SongTest, StartUpConfigurationReachesTheWriter)
{
    w().cmdCompile->click();
    EXPECT_EQ(songLine(5), "TEMPODELAY equ 3");
    EXPECT_EQ(songLine(8), "    byte 8,3,4,5");
    EXPECT_EQ(songLine(9), "    byte 0,6,4,3");
    EXPECT_EQ(songLine(12), "    byte 4,6,7,8");
    EXPECT_EQ(songLine(13), "    byte 14,15,1,3");
    for (std::size_t n = 16; n <= 19; ++n)
        EXPECT_EQ(songLine(n), hatLine("00000000"));
    EXPECT_EQ(songLine(21), "HATSTART equ 0");
}

TEST_F(SongTest, AnyTextInTheConfigurationIsWrittenAsItsLeadingNumber)
{
    w().WaveMatrix[1]->setText8("Square");     // no number: sound type 0
    w().WaveMatrix[6]->setText8("  1 2-Odd");  // blanks inside the number are skipped
    w().WaveVol[0]->setText8("-3");
    w().WaveVol[5]->setText8("1e6");
    w().WaveVol[7]->setText8("2.50-half");
    w().cmbTempo->setText8(std::string(5000, 'x'));
    w().cmdCompile->click();
    EXPECT_EQ(songLine(5), "TEMPODELAY equ 0");
    EXPECT_EQ(songLine(8), "    byte -3,3,4,5");
    EXPECT_EQ(songLine(9), "    byte 0,1000000,4,2.5");
    EXPECT_EQ(songLine(12), "    byte 4,0,7,8");
    EXPECT_EQ(songLine(13), "    byte 14,15,12,3");
    EXPECT_TRUE(messages.shown.empty());
}

// dasm reads no fractions: both writers put the whole frames into TEMPODELAY
// and the fraction, in 256ths, into TEMPOFRAC on the next line (above the PAL
// switch); a whole tempo writes the one line it always did.
TEST_F(SongTest, AFractionalTempoWritesWholeFramesAndTheFractionIn256ths)
{
    const struct {
        const char* tempo;
        const char* frames;
        const char* fraction; // null: no TEMPOFRAC line
    } cases[] = {
        {"3 - Tempo", "3", nullptr}, {"-3", "-3", nullptr},  {"7.2", "7", "51"},     {"2.5", "2", "128"},
        {"1.7", "1", "179"},         {"3.999", "4", nullptr}, {"3.001", "3", nullptr}, {"0.5", "1", nullptr},
        {"-2.5", "1", nullptr},      {"255.5", "255", "128"}, {"300.5", "300", nullptr},
    };
    w().cmdGenAllCode->click();
    for (const auto& c : cases) {
        for (QPushButton* writer : {w().cmdCompile, w().cmdCompileSong}) {
            SCOPED_TRACE(std::string(c.tempo) + (writer == w().cmdCompile ? ", preview" : ", whole song"));
            w().cmbTempo->setText8(c.tempo);
            w().chkPal->setChecked(writer == w().cmdCompileSong);
            writer->click();
            std::vector<std::string> expected = {std::string("TEMPODELAY equ ") + c.frames};
            if (c.fraction)
                expected.push_back(std::string("TEMPOFRAC equ ") + c.fraction);
            expected.push_back(writer == w().cmdCompileSong ? "PAL equ 1" : "");
            const auto lines = linesOf(songH());
            EXPECT_EQ(std::vector<std::string>(lines.begin() + 4, lines.begin() + 4 + long(expected.size())), expected);
            EXPECT_EQ(ostrak::sound::readSongH(songH()).problems, std::vector<std::string>{});
        }
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SongTest, ANumberPastTheDoubleRangeFailsOnlyItsOwnLine)
{
    w().WaveMatrix[4]->setText8("1e400");
    clearPatternFields();
    w().cmdCompile->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "Ahhh shit.  Looks like you got an error code 6");
    const auto lines = linesOf(songH());
    EXPECT_EQ(lines.size(), 66u);
    EXPECT_EQ(lines.at(11), "    byte 4,6,7,8");
    EXPECT_EQ(lines.at(12), ""); // line 13 is missing, the blank after it follows
    EXPECT_EQ(lines.back(), ";eof");
    EXPECT_EQ(launcher.started, std::vector<std::string>{"compile.bat"});
}

TEST_F(SongTest, AutoButtonsClearFirstThenSetTheirSteps)
{
    struct Case {
        QPushButton* button;
        const char* bits;
    };
    // Each button after one that leaves other steps set.
    const Case cases[] = {{w().cmdAutoHH3, "00001000"}, {w().cmdAutoHH1, "10101010"},
                          {w().cmdAutoHH2, "10001000"}, {w().cmdAutoHH3, "00001000"},
                          {w().cmdAutoHH4, "00000000"}};
    w().HH[31]->setChecked(true);
    for (const Case& c : cases) {
        c.button->click();
        EXPECT_EQ(hatDisplay(), sameFourTimes(c.bits)) << c.button->text().toStdString();
    }
    w().cmdAutoHH1->click();
    const std::vector<bool> boxes = hatBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i)
        EXPECT_EQ(boxes[i], i % 2 == 0) << "step " << i;
}

TEST_F(SongTest, SingleStepsLandInTheirLineAndBit)
{
    w().HH[7]->setChecked(true);
    EXPECT_EQ(hatDisplay(), hatLine("00000001") + sameFourTimes("00000000").substr(18));
    w().HH[7]->setChecked(false);
    w().HH[16]->setChecked(true);
    w().cmdCompile->click();
    EXPECT_EQ(songLine(16), hatLine("00000000"));
    EXPECT_EQ(songLine(17), hatLine("00000000"));
    EXPECT_EQ(songLine(18), hatLine("10000000"));
    EXPECT_EQ(songLine(19), hatLine("00000000"));
}

TEST_F(SongTest, HatDisplayAppendsToTheLastLogLine)
{
    w().cmdAutoHH2->click();
    w().txtLog->setText8("Saving Seq\r\nend");
    w().cmdNFO->click();
    EXPECT_EQ(w().txtLog->text8(), "Saving Seq\r\nend" + sameFourTimes("10001000"));
}

TEST_F(SongTest, FromModplugChangesNothing)
{
    w().HH[3]->setChecked(true);
    const std::string log = w().txtLog->text8();
    w().cmdAutoHH5->click();
    std::vector<bool> expected(32, false);
    expected[3] = true;
    EXPECT_EQ(hatBoxes(), expected);
    EXPECT_EQ(w().txtLog->text8(), log);
}

TEST_F(SongTest, TestTonesShowsSlotZeroVolumeAsTheWholeLog)
{
    w().cmdWriteInit->click();
    EXPECT_EQ(w().txtLog->text8(), "8");
    w().WaveVol[0]->setText8("10-16%");
    w().cmdWriteInit->click();
    EXPECT_EQ(w().txtLog->text8(), "10");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.file("song.h"))));
    EXPECT_TRUE(launcher.started.empty());
}

TEST_F(SongTest, KickInIsTidiedToItsLeadingNumberOnLeaving)
{
    showActive();
    const std::pair<const char*, const char*> cases[] = {
        {"", "0"}, {"3 bars", "3"}, {"abc", "0"}, {"2.5", "2.5"}, {"-4", "-4"}, {"007", "7"},
        {"1e20", "100000000000000000000"}, {"1e-7", "0.0000001"}};
    for (const auto& [typed, tidied] : cases) {
        type(w().hhKickIn, typed);
        w().txtPos->setFocus();
        EXPECT_EQ(w().hhKickIn->text8(), tidied) << typed;
    }
    // The preview never uses it.
    w().cmdCompile->click();
    EXPECT_EQ(songLine(21), "HATSTART equ 0");
}

TEST_F(SongTest, KickInKeepsItsFractionUnderADecimalCommaLocale)
{
    testing_support::CommaLocale comma;
    if (!comma.ok())
        GTEST_SKIP() << "no decimal-comma locale installed";
    showActive();
    type(w().hhKickIn, "2.5");
    w().txtPos->setFocus();
    EXPECT_EQ(w().hhKickIn->text8(), "2.5");
}

TEST_F(SongTest, LeavingAnySoundTypeFieldRefreshesTheSlotTable)
{
    showActive();
    w().WaveMatrix[2]->setFocus();
    w().WaveMatrix[2]->setText8("Square");
    w().WaveMatrix[7]->setText8("12-Lower Square");
    EXPECT_EQ(app->state().soundSlots.row(2).type, "7-Low Buzz Pitfall"); // not before leaving
    w().WaveMatrix[9]->setFocus();
    const char* expected[] = {"4", "6", "0", "8", "14", "15", "1", "12"};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(app->state().soundSlots.row(i).type, expected[i]) << i;
    EXPECT_EQ(app->state().soundSlots.row(8).type, "16");
    // Leaving the silence display refreshes too.
    w().WaveMatrix[0]->setText8("2-Low Dirty Bass");
    w().txtPos->setFocus();
    EXPECT_EQ(app->state().soundSlots.row(0).type, "2");
}

} // namespace
