// Pitch codes from module notes: by name within C-4..G-6, or by the
// console's own tone for a sound type, out-of-reach notes moved by octaves.
#include "import/NoteMapping.h"
#include "sound/Sound.h"

#include <gtest/gtest.h>

#include <cmath>

using ostrak::NoteMapper;
using ostrak::NotesMode;

TEST(NoteMapping, ByNameFoldsIntoTheRangeByOctaves)
{
    EXPECT_EQ(ostrak::codeNoteName(31) + ostrak::codeNoteName(19) + ostrak::codeNoteName(0), "C-4C-5G-6");
    EXPECT_DOUBLE_EQ(ostrak::notePitchHz(70), 440.0);
    struct Case {
        int note, code, moved;
    };
    // C-4, G-6, C-3, G#6, B-9, C-0, far below (a transpose of -96 on C-0)
    for (const Case c : {Case{49, 31, 0}, {80, 0, 0}, {37, 31, 1}, {81, 11, -1}, {120, 8, -4}, {1, 31, 4},
                         {-95, 31, 12}}) {
        SCOPED_TRACE(c.note);
        for (NoteMapper mapper : {NoteMapper(4, NotesMode::PitchCodes), NoteMapper(8, NotesMode::ByPitch),
                                  NoteMapper(16, NotesMode::ByPitch)}) {
            const ostrak::MappedNote m = mapper.map(c.note);
            EXPECT_FALSE(m.byPitch);
            EXPECT_EQ(m.code, c.code);
            EXPECT_EQ(m.octavesMoved, c.moved);
        }
    }
}

// Every note of C-0..B-9 on every tonal type: the code is the nearest of
// the 32 tones to the note moved by whole octaves, and the move is the
// smallest that brings the note within half a semitone of the type's reach.
TEST(NoteMapping, ByPitchTakesTheNearestToneAndMovesOnlyWhatIsOutOfReach)
{
    const ostrak::sound::Clock clock = ostrak::sound::playbackClock();
    for (int type : {1, 4, 6, 7, 12, 14, 15}) {
        const NoteMapper mapper(type, NotesMode::ByPitch);
        ASSERT_TRUE(mapper.byPitch());
        const double lowest = ostrak::sound::toneFrequency(type, 31, clock);
        const double highest = ostrak::sound::toneFrequency(type, 0, clock);
        for (int note = 1; note <= 120; ++note) {
            SCOPED_TRACE("type " + std::to_string(type) + " note " + std::to_string(note));
            const ostrak::MappedNote m = mapper.map(note);
            ASSERT_TRUE(m.byPitch);
            const double target = ostrak::notePitchHz(note + 12 * m.octavesMoved);
            const double half = std::exp2(0.5 / 12); // half a semitone
            EXPECT_TRUE(target * half >= lowest && target / half <= highest);
            // One octave less of a move would still be out of reach.
            EXPECT_TRUE(m.octavesMoved <= 0 || target / 2 * half < lowest);
            EXPECT_TRUE(m.octavesMoved >= 0 || target * 2 / half > highest);
            EXPECT_DOUBLE_EQ(m.hz, ostrak::sound::toneFrequency(type, m.code, clock));
            EXPECT_NEAR(m.cents, 1200 * std::log2(m.hz / target), 1e-9);
            for (int other = 0; other < 32; ++other)
                EXPECT_LE(std::abs(m.cents),
                          std::abs(1200 * std::log2(ostrak::sound::toneFrequency(type, other, clock) / target)) + 1e-9);
        }
    }
}

TEST(NoteMapping, ReportGivesMovedNotesMedianWorstAndIntervals)
{
    ostrak::PitchReport report;
    EXPECT_EQ(report.medianCents(), 0); // nothing by pitch yet
    ostrak::MappedNote m;
    m.byPitch = true;
    // Channel 0, instrument 1: 100 Hz then 200 Hz for an octave (0 off), then
    // 300 Hz for a fifth (+2 cents off); instrument 2's note between them is
    // no interval of either.
    const double hz[] = {100, 200, 150, 300};
    const double cents[] = {-10, 30, 0, 5};
    const int notes[] = {40, 52, 30, 59};
    const int instruments[] = {1, 1, 2, 1};
    for (int i = 0; i < 4; ++i) {
        m.hz = hz[i];
        m.cents = cents[i];
        m.octavesMoved = i == 3;
        report.add(0, instruments[i], notes[i], m);
    }
    report.endPattern();
    ostrak::MappedNote byName; // channel 1, by name: counted, no cents
    report.add(1, 1, 50, byName);
    EXPECT_EQ(report.notes(), 5);
    EXPECT_EQ(report.moved(), 1);
    EXPECT_EQ(report.byPitch(), 4);
    EXPECT_DOUBLE_EQ(report.medianCents(), 7.5);
    EXPECT_DOUBLE_EQ(report.worstCents(), 30);
    const double fifthOff = std::abs(1200 * std::log2(1.5) - 700);
    EXPECT_NEAR(report.medianIntervalCents(), fifthOff / 2, 1e-9); // median of 0 and the fifth's error
    EXPECT_NE(report.logLine().find("5, 1 moved"), std::string::npos);
}
