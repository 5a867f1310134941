// Play Pattern, Play Song, Stop, Save song.wav and the pitch guide, through
// the real window on a stand-in sound card that plays only what a test pulls.
#include "PlayFixture.h"

#include "common/Failure.h"
#include "listen/FrmPitch.h"
#include "listen/PlayCommands.h"
#include "sound/PitchGuide.h"
#include "sound/Sound.h"

#include <QComboBox>
#include <QRegularExpression>
#include <QTableWidget>

namespace {

using namespace play_testing;

TEST_F(PlayTest, PlayPatternPlaysTheConvertedPasteFollowsTheRowAndStopEndsIt)
{
    convertExample();
    const std::string before = everything();
    const auto filesBefore = files();

    w().cmdPlayPattern->click();
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front();
    ASSERT_TRUE(audio.playing);
    EXPECT_GT(loudest(audio.pull(44100)), 1000) << "one second of the tune is not silent";
    const QRegularExpression position(QStringLiteral("^Step \\d+  Row \\d+$"));
    EXPECT_TRUE(position.match(QString::fromStdString(playing())).hasMatch()) << playing();

    // The label follows what the device has played.
    const std::string first = playing();
    audio.pull(3 * 44100);
    EXPECT_TRUE(QTest::qWaitFor([&] { return playing() != first; }, 2000)) << first;

    // A Play press while playing starts the new song from its start.
    w().cmdPlaySong->click(); // the start-up song order cannot be played
    EXPECT_FALSE(audio.playing);
    ASSERT_EQ(messages.shown.size(), 1u);
    messages.shown.clear();
    w().cmdPlayPattern->click();
    w().cmdPlayPattern->click();
    EXPECT_EQ(audio.starts, 3);
    EXPECT_EQ(playing(), "Step 0  Row 0");

    w().cmdStopPlay->click();
    EXPECT_FALSE(audio.playing);
    EXPECT_EQ(playing(), "");
    EXPECT_TRUE(audio.pull(16).empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(everything(), before);
    EXPECT_EQ(files(), filesBefore) << "playing writes no file";
}

TEST_F(PlayTest, BadSongsGiveAMessageOrSilenceAndChangeNothing)
{
    struct Case {
        const char* what;
        std::function<void()> edit;
        QPushButton* button;
        bool mustRefuse; // no image can be made: a message and no sound
    };
    const std::string startUpSong = w().txtSong->text8();
    convertExample();
    w().cmdGenAllCode->click();
    const std::string pattern = w().txtPatternA->text8();
    const std::string tempo = w().cmbTempo->text8();
    const Case cases[] = {
        {"start-up song order", [&] { w().txtSong->setText8(startUpSong); }, w().cmdPlaySong, true},
        {"pattern label deleted by hand",
         [&] { w().txtPatternA->setText8(pattern.substr(pattern.find('\n', pattern.find("Pos0_C1_0")) + 1)); },
         w().cmdPlayPattern, true},
        {"order entry above 255", [&] { w().txtSong->setText8("song1\r\n    byte 1,300,255\r\nsong2\r\n    byte 3,255\r\n"); },
         w().cmdPlaySong, false},
        {"tempo 0", [&] { w().cmbTempo->setText8("0"); }, w().cmdPlayPattern, false},
        {"tempo 2.5", [&] { w().cmbTempo->setText8("2.5"); }, w().cmdPlayPattern, false},
        {"5 MB pattern field",
         [&] {
             std::string big = pattern;
             while (big.size() < 5'000'000)
                 big += "\tbyte %00011111  ;0|C-4|4\r\n";
             w().txtPatternA->setText8(big);
         },
         w().cmdPlayPattern, false},
        {"100,000-line song order",
         [&] {
             std::string order = "song1\r\n";
             for (int i = 0; i < 100'000; ++i)
                 order += "    byte 1\r\n";
             w().txtSong->setText8(order + "    byte 255\r\nsong2\r\n    byte 3,255\r\n");
         },
         w().cmdPlaySong, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.edit();
        messages.shown.clear();
        const std::string before = everything();
        const auto filesBefore = files();
        c.button->click();
        if (c.mustRefuse || !audio.playing) {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].rfind("This song cannot be played:\r\n", 0), 0u) << messages.shown[0];
            EXPECT_LT(messages.shown[0].size(), 3000u);
            EXPECT_FALSE(audio.playing);
            EXPECT_EQ(playing(), "");
        } else {
            audio.pull(10 * 44100); // the model keeps going on bad data
        }
        w().cmdStopPlay->click();
        EXPECT_EQ(everything(), before);
        EXPECT_EQ(files(), filesBefore);
        w().txtPatternA->setText8(pattern);
        w().cmbTempo->setText8(tempo);
    }
}

TEST_F(PlayTest, WithoutASoundCardPlayingSaysSoAndSaveWavStillWritesTheSong)
{
    audio.rate = 0;
    convertExample();
    w().cmdPlayPattern->click();
    EXPECT_EQ(messages.shown, std::vector<std::string>{ostrak::kNoAudioDevice});
    EXPECT_EQ(playing(), "");

    messages.shown.clear();
    unlockSong(kOrder);
    w().cmdCompileSong->setEnabled(false); // Save song.wav does not need SONG COMPILE
    const std::string before = everything();
    w().cmdSaveWav->click();
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front();
    EXPECT_EQ(everything(), before);
    const std::string wav = readBytes(folder.file("song.wav"));
    ASSERT_GT(wav.size(), 44u);
    auto u32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = v << 8 | static_cast<unsigned char>(wav[at + static_cast<std::size_t>(i)]);
        return v;
    };
    // PCM, mono, 44,100 Hz, 88,200 bytes a second, 2-byte frames, 16 bits.
    EXPECT_EQ(wav.substr(0, 4) + wav.substr(8, 28) + wav.substr(36, 4),
              std::string("RIFFWAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xAC\0\0\x88\x58\x01\0\x02\0\x10\0data", 36));
    EXPECT_EQ(u32(4), wav.size() - 8);
    EXPECT_EQ(u32(40), wav.size() - 44);
    // Two steps of 32 rows at tempo 3: a few seconds, whatever the frame rate.
    const double seconds = (wav.size() - 44) / 2.0 / 44100;
    EXPECT_GT(seconds, 1.5);
    EXPECT_LT(seconds, 8.0);
    EXPECT_FALSE(fs::exists(folder.file("song.wav.part")));
    // At tempo 3.5 (rows of 3 and 4 frames) the pass lasts 3.5 / 3 as long.
    w().cmbTempo->setText8("3.5");
    w().cmdSaveWav->click();
    EXPECT_NEAR(double(readBytes(folder.file("song.wav")).size() - 44) / (wav.size() - 44), 3.5 / 3, 0.002);
}

TEST_F(PlayTest, SaveWavFailuresTellTheCodeAndKeepThePreviousFileWhole)
{
    convertExample();
    unlockSong(kOrder);
    writeBytes(folder.file("song.wav"), "previous song");

    // A read-only folder (as an ordinary user: root may write anywhere).
    fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
    const bool root = ::geteuid() == 0;
    if (!root || ::seteuid(65534) == 0) {
        w().cmdSaveWav->click();
        const bool restored = !root || ::seteuid(0) == 0;
        fs::permissions(folder.path(), fs::perms::owner_all);
        ASSERT_TRUE(restored);
        EXPECT_EQ(messages.shown, std::vector<std::string>{common::genericFailureText(common::kPermissionDenied)});
        EXPECT_EQ(readBytes(folder.file("song.wav")), "previous song");
    }
    fs::permissions(folder.path(), fs::perms::owner_all);

    // A folder named song.wav.
    messages.shown.clear();
    fs::remove(folder.file("song.wav"));
    fs::create_directory(folder.file("song.wav"));
    writeBytes(folder.file("song.wav") + "/inside", "kept");
    w().cmdSaveWav->click();
    EXPECT_EQ(messages.shown, std::vector<std::string>{common::genericFailureText(common::kPathAccess)});
    EXPECT_EQ(readBytes(folder.file("song.wav") + "/inside"), "kept");
    EXPECT_FALSE(fs::exists(folder.file("song.wav.part")));
}

TEST_F(PlayTest, SongProblemsAreAddedToTheLogAfterWhatTheWritersSay)
{
    convertExample();
    const std::string pattern = w().txtPatternA->text8();
    w().txtLog->setText8("Saving Pattern");
    w().cmdCompile->click();
    EXPECT_EQ(w().txtLog->text8(), "Saving Pattern") << "a good song leaves the log alone";

    // A label deleted by hand: compile.bat still starts, the log says why dasm will stop.
    w().txtPatternA->setText8(pattern.substr(pattern.find('\n', pattern.find("Pos0_C1_0")) + 1));
    w().cmdCompile->click();
    const std::string log = w().txtLog->text8();
    EXPECT_EQ(log.rfind("Saving Pattern\r\nsong.h: dasm will not accept this file:\r\nline ", 0), 0u) << log;
    EXPECT_NE(log.find("Pos0_C1_0"), std::string::npos) << log;
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(launcher.started, (std::vector<std::string>{"compile.bat", "compile.bat"}));
}

TEST(PitchArithmetic, NearestEqualTemperedNoteAndCents)
{
    using ostrak::sound::nearestNote;
    EXPECT_EQ(nearestNote(440).name, "A4");
    EXPECT_NEAR(nearestNote(440).cents, 0, 1e-9);
    EXPECT_EQ(nearestNote(261.6256).name, "C4");
    EXPECT_EQ(nearestNote(450).name, "A4");
    EXPECT_NEAR(nearestNote(450).cents, 38.91, 0.01);
    EXPECT_EQ(nearestNote(455).name, "A#4"); // past the half-way 452.89 Hz
    EXPECT_NEAR(nearestNote(455).cents, -41.96, 0.01);
    EXPECT_EQ(nearestNote(8.1758).name, "C-1");
    EXPECT_EQ(ostrak::sound::audcOfSoundType(20), 4);
    EXPECT_EQ(ostrak::sound::audcOfSoundType(2.5), std::nullopt);
    EXPECT_EQ(ostrak::sound::audcOfSoundType(256), std::nullopt);
}

TEST_F(PlayTest, PitchGuideShowsEverySlotsTuningAndFollowsTheSoundTypes)
{
    w().show();
    w().cmdPitchGuide->click();
    ostrak::FrmPitch& guide = app->pitch();
    ASSERT_TRUE(guide.isVisible());
    EXPECT_FALSE(guide.isModal());
    QTableWidget* table = guide.tblPitch;
    ASSERT_EQ(table->rowCount(), 8 * 32);
    auto cell = [&](int slot, int note, int column) {
        QTableWidgetItem* item = table->item(slot * 32 + note, column);
        return item ? item->text().toStdString() : std::string();
    };
    using F = ostrak::FrmPitch;
    const ostrak::sound::Clock clock = ostrak::sound::playbackClock();

    // Slot 0, "4-Square": a pure tone, C-4 is pitch code 31.
    EXPECT_EQ(cell(0, 0, F::Note), "C-4");
    EXPECT_EQ(cell(0, 0, F::PitchCode), "31 (11111)");
    EXPECT_EQ(cell(0, 31, F::PitchCode), "0 (00000)");
    const double hz = ostrak::sound::toneFrequency(4, 31, clock);
    EXPECT_EQ(cell(0, 0, F::Frequency), QString::number(hz, 'f', 2).toStdString());
    const auto near = ostrak::sound::nearestNote(hz);
    EXPECT_EQ(cell(0, 0, F::Nearest).rfind(near.name + " (", 0), 0u) << cell(0, 0, F::Nearest);
    const bool off = std::abs(near.cents) > ostrak::sound::kOutOfTuneCents;
    EXPECT_EQ(cell(0, 0, F::Cents).find("off") != std::string::npos, off) << cell(0, 0, F::Cents);

    // Slot 3, "8-Noise", plays no tone; typed "4" it follows at once.
    EXPECT_EQ(cell(3, 5, F::Frequency), "noise: no tone");
    EXPECT_EQ(cell(3, 5, F::Cents), "");
    w().WaveMatrix[3]->setEditText(QStringLiteral("4"));
    EXPECT_EQ(cell(3, 0, F::Frequency), cell(0, 0, F::Frequency));
    EXPECT_EQ(cell(3, 0, F::SoundType), "4 (AUDC 4)");
    EXPECT_EQ(cell(0, 0, F::SoundType), "4-Square (AUDC 4)");
}


} // namespace
