// What the channels play, the instrument map's defaults, and the texts an
// import makes.
#include "support/ModuleWriter.h"
#include "import/ImportText.h"
#include "import/InstrumentMap.h"
#include "import/ModuleClipboard.h"
#include "sound/PitchGuide.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace testing_support;

namespace {

const std::vector<int> kDefaultSlots = {4, 6, 7, 8, 14, 15, 1, 3};

ostrak::InstrumentUse use(int number, std::vector<std::pair<int, int>> notes, std::string name = "")
{
    ostrak::InstrumentUse u;
    u.number = number;
    u.name = std::move(name);
    for (auto [note, count] : notes)
        u.noteCounts[std::size_t(note)] = count;
    return u;
}

// Channel 0 plays instrument 21 (a melody around C-5), channel 1 instrument
// 22 (a bass around C-2) and a "Kick" (23); note-offs and empty first cells.
ModSong tune()
{
    ModSong song = distinctPatternSong(2, 32, 3);
    for (ModPattern& p : song.patterns)
        for (std::size_t r = 0; r < p.cells.size(); ++r) {
            const int step = int(r) % 8;
            p.cells[r][0] = step == 7 ? ModCell{kNoteOff} : ModCell{61 + (step * 2) % 12, step == 0 ? 21 : 0};
            p.cells[r][1] = step % 4 ? ModCell{} : ModCell{25 + step, 22};
            p.cells[r][2] = ModCell{49, 23};
        }
    song.patterns[1].cells[0][0] = {};
    song.patterns[1].cells[0][1] = {};
    song.instruments = 30;
    return song;
}

// The notes of a part, one after the other, as channelNotes counts them.
ostrak::ChannelNotes part(const std::vector<std::pair<int, std::vector<int>>>& melodies)
{
    ostrak::ChannelNotes notes;
    for (const auto& [instrument, melody] : melodies) {
        ostrak::InstrumentUse u = use(instrument, {});
        for (std::size_t i = 0; i < melody.size(); ++i) {
            ++u.noteCounts[std::size_t(melody[i])];
            if (i > 0)
                notes.steps.push_back({instrument, melody[i - 1], instrument, melody[i], 1});
        }
        notes.uses.push_back(u);
    }
    return notes;
}

// How far each step of the melodies is off once mapped as the choice says.
std::vector<double> intervalErrors(const ostrak::ChannelNotes& notes, const ostrak::MapChoice& choice,
                                   const std::vector<int>& slots)
{
    std::vector<double> errors;
    for (const ostrak::NoteStep& s : notes.steps) {
        auto mapped = [&](int instrument, int note) {
            for (std::size_t i = 0; i < notes.uses.size(); ++i)
                if (notes.uses[i].number == instrument)
                    return ostrak::NoteMapper(choice.voicings[i], choice.mode, slots, choice.transpose, choice.cents)
                        .map(note);
            return ostrak::MappedNote{};
        };
        const ostrak::MappedNote a = mapped(s.fromInstrument, s.fromNote), b = mapped(s.toInstrument, s.toNote);
        errors.push_back(std::abs(ostrak::sound::centsBetween(b.hz, a.hz) - 100.0 * (s.toNote - s.fromNote)));
    }
    return errors;
}

} // namespace

TEST(ChannelNotes, UsesAndStepsFollowTheChannelsLastInstrumentAndLeaveDrumsOut)
{
    const ostrak::TrackerModule module(writeIt(tune()));
    const auto notes = ostrak::channelNotes(module, {0, 1}, {0, 1, 7}, {}); // the module has no channel 8
    ASSERT_EQ(notes.uses.size(), 2u); // 23 plays on channel 3, not picked
    EXPECT_EQ(notes.uses[0].number, 21);
    EXPECT_EQ(notes.uses[0].notes(), 2 * 32 - 8 - 1); // note-offs and the emptied first cell left out
    EXPECT_EQ(notes.uses[1].notesText(), "15 (C-2..E-2)");
    int steps = 0;
    for (const ostrak::NoteStep& s : notes.steps)
        steps += s.count;
    EXPECT_EQ(steps, (28 - 1) + (27 - 1) + (8 - 1) + (7 - 1)); // within each pattern, over note-offs
    // The kick between the bass notes of channel 3 is a drum: no step ends on it.
    const auto withKick = ostrak::channelNotes(module, {0}, {2, 1}, {23});
    EXPECT_TRUE(std::none_of(withKick.steps.begin(), withKick.steps.end(),
                             [](const ostrak::NoteStep& s) { return s.toInstrument == 23 || s.fromInstrument == 23; }));
    EXPECT_EQ(withKick.uses[1].number, 23);
}

TEST(InstrumentMap, OstrakWayAndDrums)
{
    struct Case {
        std::vector<ostrak::InstrumentUse> uses;
        bool ostrakWay;
    };
    for (const Case& c : {Case{{use(4, {{49, 3}, {80, 1}}), use(16, {{20, 1}})}, true},
                          {{use(4, {{48, 1}}), use(16, {})}, false},  // B-3
                          {{use(12, {{60, 1}}), use(16, {})}, false}, // 12 is in no slot
                          {{use(4, {{49, 3}})}, false},               // no silence
                          {{use(17, {}), use(16, {})}, false}})
        EXPECT_EQ(ostrak::writtenTheOstrakWay(c.uses, kDefaultSlots), c.ostrakWay) << c.uses[0].number;
    for (const char* drum : {"Kick 1", "BD", "open hat", "HiHat-c", "crash cymbal", "perc2", "BassDrum"})
        EXPECT_TRUE(ostrak::drumName(drum)) << drum;
    for (const char* tune : {"", "bass", "what a lead", "pride", "shhh"})
        EXPECT_FALSE(ostrak::drumName(tune)) << tune;
    EXPECT_TRUE(ostrak::drumLike(use(5, {{61, 30}, {63, 2}})));    // struck at two pitches
    EXPECT_FALSE(ostrak::drumLike(use(5, {{61, 3}})));             // too few to tell
    EXPECT_FALSE(ostrak::drumLike(use(5, {{61, 3}, {62, 3}, {65, 1}})));
}

// Defaults keep the intervals: a melody, a bass and a snare on the default
// slots, with and without 12 offered; a module written for ostrak; slots
// with no tone. (A two-octave melody taking 12 beside 4 is TuneImportTest's.)
TEST(InstrumentMap, DefaultsKeepTheIntervals)
{
    const std::vector<int> scale = {61, 63, 65, 66, 68, 70, 72, 73, 72, 70, 68, 66, 65, 63, 61, 68, 61};
    ostrak::ChannelNotes band = part({{20, scale}, {21, {25, 32, 25, 30, 27, 25}}, {22, {49}}});
    band.uses[2].name = "Snare";
    ostrak::ModuleNotes module;
    module.instruments = band.uses;
    module.drums = {22};

    std::vector<int> offered = kDefaultSlots;
    offered[5] = 12;
    for (const ostrak::SlotOffer offer : {ostrak::SlotOffer{}, ostrak::SlotOffer{5, 12}}) {
        const ostrak::MapChoice choice = ostrak::defaultChoice(band, module, kDefaultSlots, offer);
        const std::vector<int>& slots = choice.takesOffer ? offered : kDefaultSlots;
        EXPECT_FALSE(choice.ostrakWay);
        EXPECT_EQ(choice.mode, ostrak::NotesMode::ByPitch);
        ASSERT_EQ(choice.voicings.size(), 3u);
        EXPECT_EQ(choice.voicings[2], ostrak::Voicing{{8}});
        for (const ostrak::Voicing& v : choice.voicings)
            for (int type : v.types)
                EXPECT_TRUE(std::count(slots.begin(), slots.end(), type)) << type;
        for (double error : intervalErrors(band, choice, slots))
            EXPECT_LT(error, 50);
    }

    // Written the ostrak way: every number kept, pitch codes, no transpose.
    const ostrak::ChannelNotes own = part({{4, {60, 62}}, {16, {}}});
    const ostrak::MapChoice kept = ostrak::defaultChoice(own, {{}, own.uses, {}}, kDefaultSlots, {5, 12});
    EXPECT_TRUE(kept.ostrakWay && kept.mode == ostrak::NotesMode::PitchCodes && kept.transpose == 0);
    EXPECT_EQ(kept.voicings, (std::vector<ostrak::Voicing>{{{4}}, {{16}}}));

    // With no tonal slot, every instrument but the drums takes the first slot.
    const ostrak::MapChoice noTone = ostrak::defaultChoice(band, module, {8, 3, 8, 3, 8, 3, 8, 3});
    EXPECT_EQ(noTone.voicings, (std::vector<ostrak::Voicing>{{{8}}, {{8}}, {{8}}}));
}

TEST(InstrumentMap, SlotOfferTakesTheDeepestTonalSlotNoStoredPatternPlays)
{
    const std::string played5 = "\r\nA0\r\n\tbyte %10100001  ;0|F#6|15\r\n\tbyte %11111111  ;1|...|16 - Silence\r\n";
    const std::array<bool, 8> five = ostrak::slotsPlayed({played5, "\tbyte %00000000  ; not imp yet"});
    EXPECT_EQ(five, (std::array<bool, 8>{true, false, false, false, false, true, false, false}));
    struct Case {
        std::vector<int> slots;
        std::array<bool, 8> played;
        int slot, type;
    };
    for (const Case& c : {Case{kDefaultSlots, {}, 5, 12},                  // 15 and 14 are deepest: the later one
                          {kDefaultSlots, five, 4, 12},                    // 15 is played
                          {{4, 6, 7, 8, 12, 15, 1, 3}, {}, -1, 0},         // 4 has 12 already
                          {{4, 6, 8, 8, 1, 1, 1, 3}, {}, 1, 12},           // 6 is deepest
                          {{6, 7, 8, 8, 14, 15, 1, 3}, {}, -1, 0},         // no square
                          {{8, 8, 8, 8, 8, 8, 4, 3}, {}, -1, 0}}) {        // no slot to give
        const ostrak::SlotOffer offer = ostrak::slotOffer(c.slots, c.played);
        EXPECT_EQ(offer.slot, c.slot);
        EXPECT_EQ(offer.type, c.type);
    }
}

TEST(InstrumentMap, TransposeByNamePutsMostNotesInReach)
{
    const std::vector<ostrak::InstrumentUse> low = {use(20, {{25, 10}, {37, 2}, {52, 1}})};
    EXPECT_EQ(ostrak::defaultTranspose(low, {{{4}}}), 24);
    EXPECT_EQ(ostrak::defaultTranspose(low, {{{4}, 1}}), 12); // its octave counts
    EXPECT_EQ(ostrak::defaultTranspose({use(20, {{60, 1}})}, {{{4}}}), 0); // tie: no shift
}

TEST(ImportText, MapsInstrumentsSilencesNoteOffsAndStartsEachTextWithWhatSounds)
{
    const ostrak::TrackerModule module(writeIt(tune()));
    const ostrak::PlayedSong song = module.playedSong();
    ASSERT_EQ(song.rows.size(), 64u);
    const std::vector<ostrak::EngineRow> rows = ostrak::engineRows(std::vector<int>(64, 1));

    ostrak::ImportSettings s;
    s.voicingOf = {{21, {{4}}}, {22, {{6}}}};
    s.mode = ostrak::NotesMode::PitchCodes;
    s.slotTypes = kDefaultSlots;
    ostrak::PitchReport report;
    // The second pattern alone: the first only tells what sounds where it starts.
    const std::vector<std::string> texts = ostrak::importTexts(module, song.rows, rows, {32, 64}, s, report);
    ASSERT_EQ(texts.size(), 1u);
    const std::string& p1 = texts[0];
    const std::string header = "ModPlug Tracker  IT\r\n";
    ASSERT_EQ(p1.substr(0, header.size()), header);
    // Row 0: silence on CH1 (it ends on a note-off), the still-sounding E-2 (folded to E-4) on CH2.
    EXPECT_EQ(p1.substr(header.size(), 26), "|...16......|E-406......\r\n");
    // Row 7: the note-off silent; row 8: a note without an instrument plays the channel's (21, type 4).
    EXPECT_EQ(p1.substr(header.size() + 7 * 26, 12), "|===16......");
    EXPECT_EQ(p1.substr(header.size() + 9 * 26, 12), "|D-504......");
    EXPECT_EQ(report.notes(), 27 + 7); // the first cell, filled in, is not counted
    EXPECT_EQ(report.moved(), 7); // the bass, up two octaves

    // By pitch, two types of a family: each note names the type that plays it.
    s.voicingOf[21] = {{4, 12}}; // D-5..C-6: C-6 on 4, whose lowest tone is B-5, the rest on 12
    s.transpose = 2;
    s.slotTypes[5] = 12;
    s.mode = ostrak::NotesMode::ByPitch;
    const std::string low = ostrak::importTexts(module, song.rows, rows, {0, 32}, s, report).at(0);
    EXPECT_NE(low.find("12......|"), std::string::npos);
    EXPECT_NE(low.find("04......|"), std::string::npos);

    // Written as it stands, for a module written the ostrak way; the first
    // row holds what the converter would still hold there: C-5 on 21, and
    // silence for 22, whose notes are all out of reach (half a byte else).
    s.asPasted = true;
    s.slotTypes.clear(); // any instrument has a slot
    std::string own = module.clipboardText(1, 0, 31, 0, 1);
    own.replace(header.size(), 24, "|C-521......|...16......");
    EXPECT_EQ(ostrak::importTexts(module, song.rows, rows, {32, 64}, s, report).at(0), own);
}
