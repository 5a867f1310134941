// Listening tests: ostrak converts a paste and writes song.h, dasm assembles
// the engine with it, stella plays the ROM headless and the audio is measured.
// Run alone with --gtest_filter='EngineAudio*'.
#include "Listening.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>

using namespace engine_test;

namespace {

using EngineAudio = ListeningTest;

// Stella plays in real time and drops or pads audio fragments (about 10 ms)
// to keep up, more so on a busy machine, so times are only good to some per
// cent; each check is anchored on the nearest sound that starts.
constexpr double kTimeTolerance = 0.15;
// Clearly silent: a bit of the tail of the last note at most.
constexpr double kSilent = Audio::kSound / 8;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// C-4 up to E-6 in major thirds: the TIA frequency divider of each note.
struct Note {
    const char* name;
    int pitchCode;
};
constexpr Note kScale[] = {{"C-4", 31}, {"E-4", 27}, {"G#4", 23}, {"C-5", 19},
                           {"E-5", 15}, {"G#5", 11}, {"C-6", 7},  {"E-6", 3}};

TEST_F(EngineAudio, PlaysTheRowsInOrderAtTheTempoWithSilencesAndVolumeSteps)
{
    // Rows 0-15: the scale, each note followed by a silent row. Rows 16-21:
    // C-5 on slot 0 (volume step 0), slot 1 (step 6), slot 2 (step 10), two
    // rows each. Row 22 on is silent, and so is the second bar.
    std::vector<Row> rows;
    for (const Note& note : kScale) {
        rows.push_back({std::string(note.name) + "04", rows.empty() ? "...16" : "....."});
        rows.push_back({"...16", "....."});
    }
    for (const char* cell : {"C-504", ".....", "C-512", ".....", "C-513", ".....", "...16"})
        rows.push_back({cell, "....."});
    rows.resize(64, {".....", "....."});
    w().cmbTempo->setText8("6 - Slow");
    w().WaveMatrix[0]->setText8("4-Square");
    w().WaveVol[0]->setText8("0-MAX");
    w().WaveMatrix[1]->setText8("12");
    w().WaveVol[1]->setText8("6");
    w().WaveMatrix[2]->setText8("13");
    w().WaveVol[2]->setText8("10");
    playAndCheck(previewSong(trackerPaste(rows)), 4.5, [&](const std::vector<Sound>& sounds) {
        ASSERT_GE(sounds.size(), 9u) << "eight notes and the volume rows";

        std::vector<double> twoRows;
        for (int i = 0; i < 8; ++i)
            twoRows.push_back((sounds[i + 1].start - sounds[i].start) / 2);
        const double row = median(twoRows), expectedRow = 6 * kFrameSeconds;
        EXPECT_NEAR(row, expectedRow, 0.1 * expectedRow) << "tempo 6 holds a row for 6 frames";
        EXPECT_NEAR(sounds[8].start - sounds[0].start, 16 * row, 0.5 * row) << "row 16 starts out of step";

        for (int i = 0; i < 8; ++i) {
            SCOPED_TRACE(std::string("row ") + std::to_string(2 * i) + " (" + kScale[i].name + ")");
            const Sound& note = sounds[i];
            EXPECT_NEAR(note.stop - note.start, row, 0.25 * row) << "a note lasts one row";
            const double expected = pureTone(kScale[i].pitchCode);
            EXPECT_NEAR(audio.frequency(note.start + 0.2 * row, note.start + 0.8 * row), expected, 0.03 * expected);
            EXPECT_GT(audio.level(note.start + 0.2 * row, note.start + 0.8 * row), 10 * Audio::kSound);
            EXPECT_LT(audio.level(note.start + 1.3 * row, note.start + 1.9 * row), kSilent) << "the silent row after it";
        }

        // Rows 16-17 on AUDV 15, 18-19 on AUDV 8, 20-21 on AUDV 3; stella mixes
        // the TIA's levels a little less than proportionally, so only clear steps
        // are asked for.
        const double start = sounds[8].start;
        auto levelOfRow = [&](int r) { return audio.level(start + (r - 16 + 0.2) * row, start + (r - 16 + 0.8) * row); };
        const double loud = levelOfRow(16), middle = levelOfRow(18), soft = levelOfRow(20);
        EXPECT_NEAR(levelOfRow(17), loud, 0.05 * loud) << "a held note keeps its level";
        EXPECT_NEAR(levelOfRow(19), middle, 0.05 * middle);
        EXPECT_GT(loud, 1.3 * middle);
        EXPECT_GT(middle, 1.6 * soft);
        EXPECT_GT(soft, 3 * Audio::kSound) << "step 10 is soft, not silent";
        EXPECT_NEAR(sounds[8].stop - start, 6 * row, 0.5 * row) << "row 22 is silent";
        EXPECT_EQ(sounds.size(), 9u) << "rows 22-31 and the whole second bar are silent";
    });
}

TEST_F(EngineAudio, HiHatPlaysOnChannel2FromTheKickInBarOn)
{
    // Channel 1 marks the first row of every other bar; all else is silent but the hi-hat.
    std::vector<Row> rows{{"C-504", "...16"}, {"...16", "....."}};
    rows.resize(64, {".....", "....."});
    w().cmbTempo->setText8("2");
    w().cmdAutoHH2->click(); // "8ths": steps 0, 4, 8, ... 28
    w().hhKickIn->setText8("1");
    const std::string song = wholeSong(trackerPaste(rows), "song1\r\n\r\n\tbyte 1,2\r\n\tbyte 255\r\n"
                                                           "song2\r\n\r\n\tbyte 3,4\r\n\tbyte 255");
    playAndCheck(song, 4.0, [&](const std::vector<Sound>& sounds) {
        ASSERT_GE(sounds.size(), 9u) << "the marker and a bar of hi-hat";
        const double row = 2 * kFrameSeconds;

        // Bar 0 has hi-hat steps too, but the hi-hat waits for bar 1.
        EXPECT_NEAR(sounds[1].start - sounds[0].start, 32 * row, kTimeTolerance * 32 * row);
        // Bar 1: a short hit every fourth row, silence between them.
        std::vector<double> gaps;
        for (std::size_t i = 1; i < 9; ++i) {
            EXPECT_LT(sounds[i].stop - sounds[i].start, 2.5 * row) << "hit " << i << " dies away within a few frames";
            if (i > 1)
                gaps.push_back(sounds[i].start - sounds[i - 1].start);
        }
        EXPECT_NEAR(median(gaps), 4 * row, 0.1 * 4 * row) << "one hit per set step";
        EXPECT_NEAR(sounds[8].start - sounds[1].start, 28 * row, kTimeTolerance * 28 * row) << "eight hits in bar 1";
    });
}

TEST_F(EngineAudio, EmptyOrderAndEntriesPastTheTableStaySilentAndTheSongGoesOn)
{
    // Channel 1 holds C-5 for a bar, then a silent bar; channel 2 holds E-5 throughout.
    std::vector<Row> rows{{"C-504", "E-504"}};
    rows.resize(32, {".....", "....."});
    rows.push_back({"...16", "....."});
    rows.resize(64, {".....", "....."});
    w().cmbTempo->setText8("1");
    // Channel 1 plays entry 1, then 50 (the table ends at 4), then 1, and
    // wraps: bars 1, 50, 1, 1, 50, 1. An entry past the table plays a silent
    // bar. Channel 2's order is empty, so it stays silent: its E-5 never sounds.
    const std::string song = wholeSong(trackerPaste(rows), "song1\r\n\r\n\tbyte 1,50,1\r\n\tbyte 255\r\n"
                                                           "song2\r\n\r\n\tbyte 255");
    playAndCheck(song, 4.5, [&](const std::vector<Sound>& sounds) {
        ASSERT_GE(sounds.size(), 3u) << "the frame loop stopped";
        const double bar = 32 * kFrameSeconds;

        EXPECT_NEAR(sounds[0].stop - sounds[0].start, bar, kTimeTolerance * bar) << "bar 0 plays entry 1";
        EXPECT_NEAR(sounds[1].start - sounds[0].stop, bar, kTimeTolerance * bar) << "entry 50 is one silent bar";
        EXPECT_NEAR(sounds[1].stop - sounds[1].start, 2 * bar, kTimeTolerance * 2 * bar) << "bars 2 and 3 play entry 1";
        EXPECT_NEAR(sounds[2].start - sounds[1].stop, bar, kTimeTolerance * bar) << "the order wrapped to entry 50";
        for (const Sound& sound : sounds) {
            if (sound.stop - sound.start < 0.5 * bar)
                continue; // cut off by the end of the recording
            const double middle = (sound.start + sound.stop) / 2;
            EXPECT_NEAR(audio.frequency(middle - 0.2 * bar, middle + 0.2 * bar), pureTone(19), 0.03 * pureTone(19))
                << "only channel 1's C-5 may sound";
        }
    });
}

} // namespace
