// The instrument map's rows and defaults, and the texts an import makes.
#include "support/ModuleWriter.h"
#include "import/ImportText.h"
#include "import/InstrumentMap.h"
#include "import/ModuleClipboard.h"
#include "sound/Sound.h"

#include <gtest/gtest.h>

#include <algorithm>

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

} // namespace

TEST(InstrumentMap, UseCountsNotesForTheChannelsLastInstrument)
{
    const ostrak::TrackerModule module(writeIt(tune()));
    const auto uses = ostrak::instrumentUse(module, {0, 1}, 0, 1);
    ASSERT_EQ(uses.size(), 2u); // 23 plays on channel 3, not picked
    EXPECT_EQ(uses[0].number, 21);
    EXPECT_EQ(uses[0].notes(), 2 * 32 - 8 - 1); // note-offs and the emptied first cell left out
    EXPECT_EQ(uses[1].notesText(), "15 (C-2..E-2)");
    EXPECT_EQ(ostrak::instrumentUse(module, {0}, -1, 2)[0].number, 23);
}

TEST(InstrumentMap, OstrakWayAndDrumNames)
{
    EXPECT_TRUE(ostrak::writtenTheOstrakWay({use(2, {{48, 1}}), use(16, {})})); // B-3 stays, as in a paste
    EXPECT_FALSE(ostrak::writtenTheOstrakWay({use(4, {{49, 3}})}));             // no silence
    EXPECT_FALSE(ostrak::writtenTheOstrakWay({use(17, {}), use(16, {})}));
    for (const char* drum : {"Kick 1", "BD", "open hat", "HiHat-c", "crash cymbal", "perc2"})
        EXPECT_TRUE(ostrak::drumName(drum)) << drum;
    for (const char* tune : {"", "bass", "what a lead", "pride", "shhh"})
        EXPECT_FALSE(ostrak::drumName(tune)) << tune;
}

TEST(InstrumentMap, DefaultsKeepSlotTypesGiveOthersAReachingTypeAndDrumsNoise)
{
    // 4 is a slot's type, 16 silence; 20 plays around A-5, 21 a bass at A-1,
    // 22 is named a snare.
    const std::vector<ostrak::InstrumentUse> uses = {use(4, {{70, 5}}), use(16, {{70, 1}}),
                                                     use(20, {{66, 4}, {70, 9}, {73, 3}}),
                                                     use(21, {{22, 8}, {27, 4}}), use(22, {{49, 9}}, "Snare")};
    const ostrak::MapChoice choice = ostrak::defaultChoice(uses, kDefaultSlots);
    EXPECT_FALSE(choice.ostrakWay);
    EXPECT_EQ(choice.mode, ostrak::NotesMode::ByPitch);
    ASSERT_EQ(choice.types.size(), 5u);
    EXPECT_EQ(choice.types[0], 4);
    EXPECT_EQ(choice.types[1], 16);
    EXPECT_EQ(choice.types[4], 8);
    for (int t : choice.types)
        EXPECT_TRUE(t == 16 || std::count(kDefaultSlots.begin(), kDefaultSlots.end(), t)) << t;
    // The bass on a type that reaches lower than the melody's.
    const auto lowest = [](int type) {
        return ostrak::sound::toneFrequency(type, 31, ostrak::sound::playbackClock());
    };
    EXPECT_LT(lowest(choice.types[3]), lowest(choice.types[2]));
    EXPECT_EQ(choice.transpose % 12, 0);
    // Every note of 20 and 21 within 50 cents without a move.
    for (std::size_t i : {2u, 3u}) {
        const ostrak::NoteMapper mapper(choice.types[i], ostrak::NotesMode::ByPitch);
        for (int note = 1; note <= 120; ++note)
            if (uses[i].noteCounts[std::size_t(note)]) {
                const ostrak::MappedNote m = mapper.map(note + choice.transpose);
                EXPECT_EQ(m.octavesMoved, 0) << note;
                EXPECT_LT(std::abs(m.cents), 50) << note;
            }
    }

    // With no tonal slot, everything that is not a slot's type takes the first slot.
    const ostrak::MapChoice noTone = ostrak::defaultChoice(uses, {8, 3, 8, 3, 8, 3, 8, 3});
    EXPECT_EQ(noTone.types, (std::vector<int>{8, 16, 8, 8, 8}));

    // Written the ostrak way: every number kept, pitch codes, no transpose.
    const ostrak::MapChoice own = ostrak::defaultChoice({use(2, {{20, 1}}), use(16, {})}, kDefaultSlots);
    EXPECT_TRUE(own.ostrakWay && own.mode == ostrak::NotesMode::PitchCodes && own.transpose == 0);
    EXPECT_EQ(own.types, (std::vector<int>{2, 16}));
}

TEST(InstrumentMap, TransposeDefaultPutsMostNotesInReach)
{
    const std::vector<ostrak::InstrumentUse> low = {use(20, {{25, 10}, {37, 2}, {52, 1}})};
    EXPECT_EQ(ostrak::defaultTranspose(low, {4}, ostrak::NotesMode::PitchCodes), 24);
    EXPECT_EQ(ostrak::defaultTranspose({use(20, {{60, 1}})}, {4}, ostrak::NotesMode::PitchCodes), 0); // tie: no shift
    const int t = ostrak::defaultTranspose(low, {4}, ostrak::NotesMode::ByPitch);
    const ostrak::NoteMapper square(4, ostrak::NotesMode::ByPitch);
    EXPECT_EQ(square.map(25 + t).octavesMoved, 0);
    EXPECT_EQ(square.map(25 + t - 12).octavesMoved, 1); // the lowest octave that reaches
}

TEST(ImportText, MapsInstrumentsSilencesNoteOffsAndStartsEachTextWithWhatSounds)
{
    const ostrak::TrackerModule module(writeIt(tune()));
    const ostrak::PlayedSong song = module.playedSong();
    ASSERT_EQ(song.rows.size(), 64u);
    const std::vector<ostrak::EngineRow> rows = ostrak::engineRows(std::vector<int>(64, 1));

    ostrak::ImportSettings s;
    s.typeOf = {{21, 4}, {22, 6}};
    s.mode = ostrak::NotesMode::PitchCodes;
    s.transpose = 0;
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

    // Written as it stands, for a module written the ostrak way; the first
    // row holds what the converter would still hold there: C-5 on 21, and
    // silence for 22, whose notes are all out of reach (half a byte else).
    s.asPasted = true;
    std::string own = module.clipboardText(1, 0, 31, 0, 1);
    own.replace(header.size(), 24, "|C-521......|...16......");
    EXPECT_EQ(ostrak::importTexts(module, song.rows, rows, {32, 64}, s, report).at(0), own);
}
