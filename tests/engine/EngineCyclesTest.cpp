// The engine model's register writes against the ROM run cycle by cycle.
// The songs take every path of the engine: both halves of the entry table,
// entries past its end, missing chains, orders that wrap, the hi-hat before
// and after it starts, chains and tables across page boundaries, and rows
// with and without a fraction of a frame (TEMPOFRAC). Every
// frame must last 262 lines (312 on PAL), and every AUDC, AUDF and AUDV
// write must land on the cycle, with the value, that the model says.
#include "EngineRig.h"
#include "support/RomRunner.h"
#include "sound/Sound.h"

#include <gtest/gtest.h>


using namespace engine_test;
using namespace testing_support;
using namespace ostrak::sound;

namespace {

class EngineCycles : public EngineTest {};

} // namespace

TEST_F(EngineCycles, EveryWriteLandsWhereTheRomWritesIt)
{
    if (const std::string missing = missingTools({"dasm"}); !missing.empty())
        GTEST_SKIP() << "not installed: " << missing << " (tools/setup.sh installs it)";
    for (const PathsSong& song : kPathsSongs) {
        SCOPED_TRACE("song " + std::to_string(song.seed));
        const std::string text = pathsSong(song);
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
