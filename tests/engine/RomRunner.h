#pragma once
// The engine's ROM run instruction by instruction, cycle for cycle, as the
// console's 6502 runs it: the instructions engine.asm uses, WSYNC, the
// timer and where in each frame every sound register is written. It tells
// the engine model's write cycles exactly where a recording could only
// hint at them.
#include <cstdint>
#include <string>
#include <vector>

namespace engine_test {

struct RomWrite {
    int reg;        // 0 AUDC, 1 AUDF, 2 AUDV
    int channel;    // 0 or 1
    int value;
    int cycle;      // CPU cycles from the frame's first line after vertical sync, the write's included
};

struct RomFrame {
    int lines = 0;  // from this frame's vertical sync to the next one's
    std::vector<RomWrite> writes;
};

// Runs a 4 KB ROM from reset until `frames` frames have begun; the first
// starts at the first vertical sync. `error` tells an instruction the runner
// lacks, or a frame that never ends.
struct RomRun {
    std::vector<RomFrame> frames;
    std::string error;
};
RomRun runRom(const std::string& rom, int frames);

} // namespace engine_test
