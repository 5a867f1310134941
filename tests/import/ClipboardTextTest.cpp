// The module rule against libopenmpt's own reading of modules written here.
#include "support/ModuleWriter.h"
#include "import/ModuleClipboard.h"

#include <libopenmpt/libopenmpt.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

using namespace testing_support;
using ostrak::TrackerModule;

namespace {

// Five channels; the first pattern (32 rows) fills every column kind, the
// others (64 and 128 rows, or 64 where the format has only those) are sparse.
// MOD and XM effects are 1 (0, arpeggio), 4 (3, portamento), 11 (A, volume
// slide) and 16 (F, speed): numbers of their own, letters of IT's.
ModSong richSong(bool modEffects, int maxNote)
{
    ModSong song;
    song.channels = 5;
    for (int rows : {32, 64, 128}) {
        ModPattern p;
        p.rows = rows;
        p.name = "rows " + std::to_string(rows);
        for (int r = 0; r < rows; r += rows == 32 ? 1 : 5) {
            std::vector<ModCell> row(5);
            for (int c = 0; c < 5; ++c) {
                ModCell& cell = row[std::size_t(c)];
                const int k = r * 5 + c;
                cell.note = k % 11 == 7 ? kNoteOff : k % 11 == 8 ? kNoteCut : k % 11 == 9 ? kNoteFade
                          : k % 11 == 10 ? 0 : 1 + (k * 7) % maxNote;
                cell.instr = k % 4 == 3 ? 0 : 1 + k % 16;
                if (k % 3 == 0) cell.vol = k % 65;
                else if (k % 3 == 1) cell.pan = (k * 4) % 65;
                static const int modFx[] = {0, 1, 4, 11, 16};
                cell.effect = modEffects ? modFx[k % 5] : k % 27; // IT and S3M: every letter
                cell.param = cell.effect ? (k * 13) % 256 : 0;
                if (cell.effect == 16 && modEffects) cell.param %= 32;
            }
            p.cells.resize(std::size_t(r) + 1);
            p.cells[std::size_t(r)] = row;
        }
        song.patterns.push_back(p);
    }
    song.order = {0, 1, 2};
    return song;
}

struct Format {
    const char* name;
    std::function<std::string(const ModSong&)> write;
    bool itLetters; // libopenmpt writes IT's effect letters for it
    bool modEffects;
    int maxNote;
};

const Format kFormats[] = {
    {"it", writeIt, true, false, 120},
    {"xm", writeXm, false, true, 96},
    {"s3m", writeS3m, true, false, 96},
    {"mod", writeMod, false, true, 36},
};

std::string decimal2(int v) { return {char('0' + v / 10), char('0' + v % 10)}; }

// IT's letter for the effects the MOD and XM songs use.
char itLetterOfModEffect(const std::string& modLetter)
{
    return modLetter == "0" ? 'J' : modLetter == "3" ? 'G' : modLetter == "A" ? 'D' : modLetter == "F" ? 'A' : '?';
}

} // namespace

TEST(ClipboardText, EveryCellMatchesLibopenmptsReadingInEveryFormat)
{
    for (const Format& f : kFormats) {
        SCOPED_TRACE(f.name);
        const std::string bytes = f.write(richSong(f.modEffects, f.maxNote));
        const TrackerModule module(bytes);
        std::ostringstream quiet;
        const openmpt::module lib(bytes.data(), bytes.size(), quiet);
        ASSERT_EQ(module.channels(), 5);

        int cellsWithEffect = 0, cellsWithVolume = 0, specialNotes = 0;
        for (int p = 0; p < lib.get_num_patterns(); ++p)
            for (auto [a, b] : {std::pair{0, 1}, std::pair{3, 4}}) {
                const int rows = lib.get_pattern_num_rows(p);
                const std::string text = module.clipboardText(p, 0, rows - 1, a, b);
                ASSERT_EQ(text.size(), 21u + std::size_t(rows) * 26);
                ASSERT_EQ(text.substr(0, 21), "ModPlug Tracker  IT\r\n");
                for (int r = 0; r < rows; ++r) {
                    const std::string line = text.substr(21 + std::size_t(r) * 26, 26);
                    ASSERT_EQ(line.substr(24), "\r\n");
                    for (int side = 0; side < 2; ++side) {
                        const int c = side ? b : a;
                        const std::string cell = line.substr(std::size_t(side) * 12, 12);
                        SCOPED_TRACE("pattern " + std::to_string(p) + " row " + std::to_string(r) + " channel "
                                     + std::to_string(c) + ": " + cell);
                        auto fmt = [&](int k) { return lib.format_pattern_row_channel_command(p, r, c, k); };
                        auto raw = [&](int k) { return int(lib.get_pattern_row_channel_command(p, r, c, k)); };
                        EXPECT_EQ(cell[0], '|');
                        EXPECT_EQ(cell.substr(1, 3), fmt(openmpt::module::command_note));
                        specialNotes += raw(openmpt::module::command_note) > 120;
                        const int instr = raw(openmpt::module::command_instrument);
                        EXPECT_EQ(cell.substr(4, 2), instr ? decimal2(instr) : "..");
                        const std::string volLetter = fmt(openmpt::module::command_volumeffect);
                        if (volLetter == " ") {
                            EXPECT_EQ(cell.substr(6, 3), "...");
                        } else {
                            ++cellsWithVolume;
                            EXPECT_EQ(cell.substr(6, 3), volLetter + decimal2(raw(openmpt::module::command_volume)));
                        }
                        const std::string letter = fmt(openmpt::module::command_effect);
                        if (letter == ".") {
                            EXPECT_EQ(cell.substr(9, 3), "...");
                        } else {
                            ++cellsWithEffect;
                            EXPECT_EQ(cell[9], f.itLetters ? letter[0] : itLetterOfModEffect(letter));
                            EXPECT_EQ(cell.substr(10, 2), fmt(openmpt::module::command_parameter));
                        }
                    }
                }
            }
        EXPECT_GT(cellsWithEffect, 20);
        EXPECT_GT(cellsWithVolume, std::string(f.name) == "mod" ? -1 : 20);
        EXPECT_GT(specialNotes, std::string(f.name) == "it" ? 10 : -1);
    }
}

TEST(ClipboardText, KnownCellsRowRangeAndMissingChannel)
{
    ModSong song;
    song.channels = 3;
    ModPattern p;
    p.rows = 32;
    p.cells = {{{61, 4, 64, -1, 1, 6}, {62, 16, -1, 32, 4, 0x0A}, {}},
               {{kNoteOff}, {kNoteCut}, {}},
               {{kNoteFade}, {}, {120, 9, 10, -1, 19, 0x31}}};
    song.patterns = {p};
    song.order = {0};
    const TrackerModule module(writeIt(song));
    EXPECT_EQ(module.clipboardText(0, 0, 2, 0, 1), "ModPlug Tracker  IT\r\n"
                                                   "|C-504v64A06|C#516p32D0A\r\n"
                                                   "|===........|^^^........\r\n"
                                                   "|~~~........|...........\r\n");
    EXPECT_EQ(module.clipboardText(0, 2, 2, 2, -1), "ModPlug Tracker  IT\r\n"
                                                    "|B-909v10S31|...........\r\n");
    EXPECT_THROW(module.clipboardText(0, 0, 32, 0, 1), ostrak::ModuleError);
    EXPECT_THROW(module.clipboardText(0, 0, 1, 0, 3), ostrak::ModuleError);
    EXPECT_THROW(module.clipboardText(1, 0, 1, 0, 1), ostrak::ModuleError);
}

TEST(ModuleOrder, SkipsSeparatorsEndsAtEndMarkAndListsWherePatternsPlay)
{
    ModSong song = distinctPatternSong(4, 32, 2);
    song.order = {1, 0, kSkipOrder, 1, 3, 9, kEndOrder, 2};
    const TrackerModule module(writeIt(song));
    const ostrak::SongOrderList order = module.firstSongOrder();
    ASSERT_EQ(order.entries.size(), 4u);
    EXPECT_EQ(order.entries[2].order, 3);
    EXPECT_EQ(order.entries[3].pattern, 3);
    EXPECT_EQ(order.namesNoPattern, 1); // pattern 9
    const std::vector<ostrak::OrderPattern> listed = module.orderPatterns();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].pattern, 1);
    EXPECT_EQ(listed[0].orders, (std::vector<int>{0, 3}));
    EXPECT_EQ(listed[0].name, "P1");
    EXPECT_EQ(listed[2].rows, 32);

    EXPECT_EQ(ostrak::rowsPastConverter(129), 0);
    EXPECT_EQ(ostrak::rowsPastConverter(200), 71);
}

TEST(ModuleBytes, WhatIsNoModuleIsRefusedAndACutModuleReadsNoFurtherThanItGoes)
{
    const std::string it = writeIt(distinctPatternSong(3));
    for (const std::string& bad : {std::string(), std::string("ModPlug Tracker  IT\r\n|C-504......\r\n"),
                                   it.substr(0, 100), std::string(4096, '\0')})
        EXPECT_THROW(TrackerModule{bad}, ostrak::ModuleError);
    // Cut inside the pattern data: libopenmpt opens what is there, as the
    // tracker would; every text can still be made.
    for (std::size_t keep : {it.size() / 2, it.size() - 7}) {
        const TrackerModule cut(it.substr(0, keep));
        for (const ostrak::OrderPattern& p : cut.orderPatterns())
            EXPECT_NO_THROW(cut.clipboardText(p.pattern, 0, p.rows - 1, 0, 1));
    }
}
