#pragma once
// The instrument configuration as the song writers see it: the numbers read
// from the field texts, and the 32 hi-hat steps as the engine's bit lines.
#include <array>
#include <string>

namespace ostrak {

using HatSteps = std::array<bool, 32>;
using HatLines = std::array<std::string, 4>;

// Line k holds steps 8k..8k+7, the lowest step leftmost (most significant):
// "    byte %10001000".
HatLines buildHatLines(const HatSteps& steps);

enum class AutoHat { Sixteenths, Eighths, OffBeat, Reset };

// The steps an auto button leaves set (after it has cleared them all).
HatSteps autoHatSteps(AutoHat which);

// The field texts the writers read, as they stand.
struct InstrumentTexts {
    std::string tempo;
    std::array<std::string, 8> volume;
    std::array<std::string, 8> soundType;
    HatSteps hat{};
    bool pal = false; // chkPal
};

// The same, reduced to what goes into song.h. Numbers are the leading numbers
// of the texts, unchecked: out-of-range values are the user's to choose.
struct InstrumentConfig {
    double tempo = 0;
    std::array<double, 8> volume{};
    std::array<double, 8> soundType{};
    HatLines hatLines;
    bool pal = false; // song.h carries the engine's PAL switch
};

InstrumentConfig readInstrumentConfig(const InstrumentTexts& texts);

} // namespace ostrak
