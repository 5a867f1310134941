// The engine model's register writes against the ROM run cycle by cycle.
// The songs take every path of the engine: both halves of the entry table,
// entries past its end, missing chains, orders that wrap, the hi-hat before
// and after it starts, chains and tables across page boundaries, and rows
// with and without a fraction of a frame (TEMPOFRAC). Every
// frame must last 262 lines (312 on PAL), and every AUDC, AUDF and AUDV
// write must land on the cycle, with the value, that the model says.
#include "EngineRig.h"
#include "RomRunner.h"
#include "sound/Sound.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace engine_test;
using namespace ostrak::sound;

namespace {

// A song.h of `steps` rows of entries, its bytes chosen by `seed`; `pad`
// bytes ahead of the tables move them against the page boundaries.
std::string pathsSong(unsigned seed, int tempo, int fraction, int pad, bool pal)
{
    auto next = [&seed](unsigned below) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % below;
    };
    std::ostringstream t;
    t << "TEMPODELAY equ " << tempo << "\r\n";
    if (fraction)
        t << "TEMPOFRAC equ " << fraction << "\r\n";
    if (pal)
        t << "PAL equ 1\r\n";
    for (int at = 0; at < pad; ++at)
        t << (at % 16 == 0 ? "\tbyte 0" : ",0") << (at % 16 == 15 || at == pad - 1 ? "\r\n" : "");
    t << "soundTurnArray\r\n\tbyte 0,3,8,12,1,14,5,2\r\n";
    t << "soundTypeArray\r\n\tbyte 4,6,7,8,14,15,1,12\r\n";
    t << "hatPattern\r\n\tbyte %10010001,%00100010,%11000000,%00000101\r\n";
    t << "HATSTART equ 2\r\nHATVOLUME equ 6\r\nHATPITCH equ 3\r\nHATSOUND equ 8\r\n";
    constexpr int kHigh = 3, kLow = 3, kChains = 16;
    // Entries: 0-2 from the high table, 3 past its end (silent), 128-130 low.
    const int entries[] = {0, 1, 2, 3, 128, 129, 130};
    for (int channel = 1; channel <= 2; ++channel) {
        t << "song" << channel << "\r\n\tbyte ";
        for (int step = 0; step < 4 + channel; ++step)
            t << entries[next(7)] << ",";
        t << "255\r\n";
    }
    const auto chains = [&](int count) {
        for (int entry = 0; entry < count; ++entry) {
            t << "\tword ";
            for (int chain = 0; chain < 4; ++chain) {
                const unsigned pick = next(kChains + 2);
                t << (pick >= kChains ? std::string("0") : "C" + std::to_string(pick)) << (chain < 3 ? "," : "\r\n");
            }
        }
    };
    t << "patternArrayH\r\n";
    chains(kHigh);
    t << "patternArrayL\r\n";
    chains(kLow);
    for (int chain = 0; chain < kChains; ++chain) {
        t << "C" << chain << "\r\n\tbyte ";
        for (int row = 0; row < 8; ++row)
            t << (next(4) == 0 ? 255u : next(255)) << (row < 7 ? "," : "\r\n");
    }
    return t.str();
}

class EngineCycles : public EngineTest {};

} // namespace

TEST_F(EngineCycles, EveryWriteLandsWhereTheRomWritesIt)
{
    if (const std::string missing = missingTools({"dasm"}); !missing.empty())
        GTEST_SKIP() << "not installed: " << missing << " (tools/setup.sh installs it)";
    const struct {
        unsigned seed;
        int tempo, fraction, pad;
        bool pal;
    } songs[] = {{1, 1, 0, 0, false},  {2, 2, 0, 37, false}, {3, 1, 0, 130, false},
                 {4, 3, 0, 201, false}, {5, 1, 0, 90, true},  {6, 1, 77, 11, false},
                 {7, 2, 200, 160, true}};
    for (const auto& song : songs) {
        SCOPED_TRACE("song " + std::to_string(song.seed));
        const std::string text = pathsSong(song.seed, song.tempo, song.fraction, song.pad, song.pal);
        const Rom rom = assemble(subFolder("rom" + std::to_string(song.seed)), text);
        ASSERT_TRUE(rom.ok) << rom.log;
        constexpr int kFrames = 1200;
        const RomRun run = runRom(testing_support::readBytes(rom.path), kFrames);
        ASSERT_TRUE(run.error.empty()) << run.error;
        const ReadResult read = readSongH(text);
        ASSERT_TRUE(read.image);
        EngineModel model(read.image);
        int compared = 0;
        for (int frame = 0; frame < kFrames; ++frame) {
            const FrameRegs regs = model.nextFrame();
            const RomFrame& rom = run.frames[std::size_t(frame)];
            ASSERT_EQ(rom.lines, song.pal ? 312 : 262) << "frame " << frame;
            for (const RomWrite& write : rom.writes) {
                const int value[] = {regs.audc[write.channel], regs.audf[write.channel], regs.audv[write.channel]};
                const int mask[] = {15, 31, 15};
                ASSERT_EQ(value[write.reg], write.value & mask[write.reg])
                    << "frame " << frame << ", register " << write.reg << " of channel " << write.channel + 1;
                ASSERT_EQ(regs.writeCycle[write.channel][write.reg], write.cycle)
                    << "frame " << frame << ", register " << write.reg << " of channel " << write.channel + 1;
                ++compared;
            }
        }
        EXPECT_GT(compared, kFrames / 2);
    }
}
