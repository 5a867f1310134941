// "PAL" in the Listen frame: the switch line in both song.h layouts, the PAL
// clock for song.wav and the pitch guide; and bad sound types and PAL songs
// that must play as the console plays them or not at all, never hang.
#include "support/OstrakFixture.h"

#include "listen/FrmPitch.h"
#include "sound/Sound.h"

#include <QTableWidget>

namespace {

using testing_support::readBytes;

class PalTest : public testing_support::OstrakTest {
protected:
    void convertExample()
    {
        w().txtIn->setText8(readBytes(TEST_DATA_DIR "/../../engine/example-paste.txt"));
        w().cmdBang->click();
    }
    // song.h as the preview or the whole-song writer leaves it.
    std::string written(bool wholeSong)
    {
        (wholeSong ? w().cmdCompileSong : w().cmdCompile)->click();
        return readBytes(folder.file("song.h"));
    }
    std::string savedWav()
    {
        w().cmdSaveWav->click();
        return readBytes(folder.file("song.wav"));
    }
};

TEST_F(PalTest, TickedBothWritersAddTheSwitchAndPlayInThePalClockUntickedIsAsBefore)
{
    EXPECT_FALSE(w().chkPal->isChecked()) << "unticked at start";
    EXPECT_EQ(w().chkPal->text(), QStringLiteral("PAL"));
    convertExample();
    w().cmdGenAllCode->click();
    w().txtSong->setText8("song1\r\n    byte 1,2,255\r\nsong2\r\n    byte 3,4,255\r\n");
    for (const bool wholeSong : {false, true}) {
        SCOPED_TRACE(wholeSong ? "whole song" : "preview");
        const std::string ntsc = written(wholeSong);
        w().chkPal->setChecked(true);
        const std::string pal = written(wholeSong);
        const std::size_t tempo = ntsc.find("TEMPODELAY equ ");
        ASSERT_NE(tempo, std::string::npos);
        const std::size_t lineEnd = ntsc.find("\r\n", tempo) + 2;
        EXPECT_EQ(pal, ntsc.substr(0, lineEnd) + "PAL equ 1\r\n" + ntsc.substr(lineEnd)) << "one line more";
        w().chkPal->setChecked(false);
        EXPECT_EQ(written(wholeSong), ntsc) << "unticked: byte for byte as before";
    }

    // song.wav: one pass, 59.92 / 49.86 times as long in the PAL clock.
    const auto ntscClock = ostrak::sound::playbackClock(false), palClock = ostrak::sound::playbackClock(true);
    const double ntscWav = double(savedWav().size() - 44);
    w().chkPal->setChecked(true);
    const double palWav = double(savedWav().size() - 44);
    EXPECT_NEAR(palWav / ntscWav, ntscClock.frameHz() / palClock.frameHz(), 0.002);
    EXPECT_NEAR(palClock.frameHz(), 49.86, 0.01);

    // The pitch guide: every tone 31,113 / 31,400 of its NTSC pitch (16 cents lower).
    w().show();
    w().cmdPitchGuide->click();
    QTableWidget* table = app->pitch().tblPitch;
    const double palHz = table->item(0, ostrak::FrmPitch::Frequency)->text().toDouble();
    w().chkPal->setChecked(false);
    const double ntscHz = table->item(0, ostrak::FrmPitch::Frequency)->text().toDouble();
    EXPECT_NEAR(1200 * std::log2(ntscHz / palHz), 15.9, 0.2);
}

TEST_F(PalTest, BadSoundTypesPalAtTempo0AndATenMinutePalSongPlayOrSaySoAndNeverHang)
{
    convertExample();
    w().chkPal->setChecked(true);
    for (const char* type : {"16", "99", "-1", "x"}) {
        SCOPED_TRACE(type);
        w().WaveMatrix[0]->setText8(type);
        messages.shown.clear();
        w().cmdPlayPattern->click();
        // The engine takes the low four bits (dasm writes -1 as 255): a tone, or
        // silence with no message.
        EXPECT_TRUE(messages.shown.empty()) << messages.shown.front();
        EXPECT_EQ(audio.pull(44100).size(), 44100u);
        w().cmdStopPlay->click();
    }
    w().WaveMatrix[0]->setText8("4");
    w().cmbTempo->setText8("0"); // the engine counts it as 1
    w().cmdPlayPattern->click();
    EXPECT_EQ(audio.pull(44100).size(), 44100u);
    w().cmdStopPlay->click();

    // 200 steps of 32 rows at tempo 6: 12.8 minutes on PAL, cut at 10.
    w().cmbTempo->setText8("6");
    w().cmdGenAllCode->click();
    std::string order = "song1\r\n";
    for (int i = 0; i < 200; ++i)
        order += "    byte 1\r\n";
    w().txtSong->setText8(order + "    byte 255\r\nsong2\r\n    byte 3,255\r\n");
    messages.shown.clear();
    const std::string wav = savedWav();
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front();
    EXPECT_NEAR(double(wav.size() - 44) / 2 / 44100, 600.0, 0.01);
}

} // namespace
