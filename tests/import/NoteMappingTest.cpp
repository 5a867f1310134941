// Pitch codes from module notes: by name within C-4..G-6, or by the
// console's own tones for an instrument's types, tuned, out-of-reach notes
// moved by octaves.
#include "import/NoteMapping.h"
#include "sound/Sound.h"

#include <gtest/gtest.h>

#include <cmath>

using ostrak::NoteMapper;
using ostrak::NotesMode;
using ostrak::Voicing;

namespace {
const std::vector<int> kDefaultSlots = {4, 6, 7, 8, 14, 15, 1, 3};
}

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
        for (NoteMapper mapper : {NoteMapper({{4}}, NotesMode::PitchCodes, kDefaultSlots),
                                  NoteMapper({{8}}, NotesMode::ByPitch, kDefaultSlots),
                                  NoteMapper({{16}}, NotesMode::ByPitch, kDefaultSlots)}) {
            const ostrak::MappedNote m = mapper.map(c.note);
            EXPECT_FALSE(m.byPitch);
            EXPECT_EQ(m.code, c.code);
            EXPECT_EQ(m.octavesMoved, c.moved);
        }
    }
    // The instrument's octave and the transpose move the name too.
    EXPECT_EQ(NoteMapper({{4}, -1}, NotesMode::PitchCodes, kDefaultSlots, 2).map(61).code, 31 - (61 + 2 - 12 - 49));
}

// Every note of C-0..B-9 through every tonal type alone, a family of two
// and a type in slot 7, at a tuning: the tone is the nearest of the set's
// tones to the tuned note; only a note more than a tritone from every tone
// moves, by the fewest octaves that bring it within reach.
TEST(NoteMapping, ByPitchTakesTheNearestToneAndMovesOnlyWhatIsOutOfReach)
{
    const ostrak::sound::Clock clock = ostrak::sound::playbackClock();
    struct Case {
        std::vector<int> types, slots;
    };
    const std::vector<int> squares = {4, 6, 7, 8, 14, 12, 1, 3};
    for (const Case& c : {Case{{1}, kDefaultSlots}, {{4}, kDefaultSlots}, {{6}, kDefaultSlots}, {{14}, kDefaultSlots},
                          {{3, 7}, {4, 6, 8, 8, 14, 15, 1, 7}}, {{4, 12}, squares}}) {
        std::vector<std::pair<double, int>> tones; // hz, type
        for (int type : c.types)
            for (int code = 0; code < 32; ++code)
                if (!(type == c.slots[7] && code == 31) && ostrak::sound::isTonal(type))
                    tones.push_back({ostrak::sound::toneFrequency(type, code, clock), type});
        const NoteMapper mapper({c.types, 1}, NotesMode::ByPitch, c.slots, -5, 30);
        ASSERT_TRUE(mapper.byPitch());
        for (int note = 1; note <= 120; ++note) {
            SCOPED_TRACE("types " + std::to_string(c.types.back()) + " note " + std::to_string(note));
            const ostrak::MappedNote m = mapper.map(note);
            ASSERT_TRUE(m.byPitch);
            EXPECT_FALSE(m.type == c.slots[7] && m.code == 31); // the engine's silence
            EXPECT_DOUBLE_EQ(m.hz, ostrak::sound::toneFrequency(m.type, m.code, clock));
            const double tuned = ostrak::notePitchHz(note - 5 + 12) * std::exp2(30.0 / 1200);
            const double target = tuned * std::exp2(m.octavesMoved);
            EXPECT_NEAR(m.cents, 1200 * std::log2(m.hz / target), 1e-6);
            double nearest = 1e9, nearestUnmoved = 1e9, lowest = 1e9, highest = 0;
            for (const auto& [hz, type] : tones) {
                nearest = std::min(nearest, std::abs(1200 * std::log2(hz / target)));
                nearestUnmoved = std::min(nearestUnmoved, std::abs(1200 * std::log2(hz / tuned)));
                lowest = std::min(lowest, hz);
                highest = std::max(highest, hz);
            }
            EXPECT_NEAR(std::abs(m.cents), nearest, 1e-6);
            EXPECT_EQ(m.octavesMoved != 0, nearestUnmoved > 600);
            const double half = std::exp2(0.5 / 12);
            if (m.octavesMoved > 0) {
                EXPECT_TRUE(target * half >= lowest && target / 2 * half < lowest);
            }
            if (m.octavesMoved < 0) {
                EXPECT_TRUE(target / half <= highest && target * 2 / half > highest);
            }
        }
    }
    EXPECT_TRUE(ostrak::sameFamily(4, 12) && ostrak::sameFamily(15, 7) && !ostrak::sameFamily(4, 6)
                && !ostrak::sameFamily(8, 0) && !ostrak::sameFamily(1, 9));
}

TEST(NoteMapping, ReportGivesMovedNotesMedianWorstAndTheIntervalsOfEachChannel)
{
    ostrak::PitchReport report;
    EXPECT_EQ(report.medianCents(), 0); // nothing by pitch yet
    ostrak::MappedNote m;
    m.byPitch = true;
    // Channel 0: instrument 1 at 100 Hz, then 200 Hz for its octave (0
    // off), instrument 2's 150 Hz a fourth down (2 cents off), a drum (by
    // name, no interval), and 450 Hz on instrument 2, an octave too high
    // (1200 off); the same note again on it is no interval.
    const double hz[] = {100, 200, 150, 0, 450, 450};
    const double cents[] = {-10, 30, 0, 0, 5, 5};
    const int notes[] = {40, 52, 47, 30, 54, 54};
    const int instruments[] = {1, 1, 2, 9, 2, 2};
    for (int i = 0; i < 6; ++i) {
        m.byPitch = hz[i] > 0;
        m.hz = hz[i];
        m.cents = cents[i];
        m.octavesMoved = i == 4;
        report.add(0, instruments[i], notes[i], m);
    }
    report.endPattern();
    ostrak::MappedNote byName; // channel 1, by name: counted, no cents
    report.add(1, 1, 50, byName);
    EXPECT_EQ(report.notes(), 7);
    EXPECT_EQ(report.moved(), 1);
    EXPECT_EQ(report.byPitch(), 5);
    EXPECT_DOUBLE_EQ(report.medianCents(), 5);
    EXPECT_DOUBLE_EQ(report.worstCents(), 30);
    ASSERT_EQ(report.intervals(), 3);
    const double fourthOff = std::abs(1200 * std::log2(150.0 / 200) + 500);
    EXPECT_NEAR(report.medianIntervalCents(), fourthOff, 1e-9);
    EXPECT_DOUBLE_EQ(report.intervalShare(50), 2.0 / 3);
    EXPECT_NE(report.logLine().find("7, 1 moved"), std::string::npos);
    EXPECT_NE(report.logLine().find("67 % within 50 cents, 33 % by 600 cents or more"), std::string::npos)
        << report.logLine();
}
