#pragma once
// A 4 KB cartridge run instruction by instruction, cycle for cycle, as the
// console's 6502 runs it: every documented instruction, WSYNC, the timer,
// the joystick and fire button, and where in each frame every sound register
// is written. It tells the engine model's write cycles exactly where a
// recording could only hint at them, and what one subroutine (the player's
// MusicPlay) costs and touches.
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct RomWrite {
    int reg;        // 0 AUDC, 1 AUDF, 2 AUDV
    int channel;    // 0 or 1
    int value;
    int cycle;      // CPU cycles from the frame's first line after vertical sync, the write's included
};

struct RomFrame {
    int lines = 0;  // from this frame's vertical sync to the next one's
    std::vector<RomWrite> writes;
    std::vector<int> calls; // cycles of each call of the watched subroutine begun in this frame, JSR and RTS included
};

struct RomOptions {
    // The subroutine to watch (0: none) and the zero-page bytes [ramFrom,
    // ramTo) it may write besides the six audio registers.
    std::uint16_t watch = 0;
    int ramFrom = 0, ramTo = 0;
    // Frames [fireFrom, fireTo) hold the fire button down; the joystick
    // stays centred.
    int fireFrom = -1, fireTo = -1;
};

// Runs a ROM from reset until `frames` frames have begun; the first starts
// at the first vertical sync. `error` tells an instruction that is not the
// 6502's, or a frame that never ends; `strays` what the watched subroutine
// did beyond its rights (a write elsewhere, the stack, the timer).
struct RomRun {
    std::vector<RomFrame> frames;
    std::string error;
    std::vector<std::string> strays;
};
RomRun runRom(const std::string& rom, int frames, const RomOptions& options = {});

// dasm's value of `name` in the symbol file `symFile`; -1 when it has none.
std::int64_t dasmSymbol(const std::string& symFile, const std::string& name);

} // namespace testing_support
