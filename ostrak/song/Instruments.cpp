#include "Instruments.h"

#include "common/Numbers.h"

namespace ostrak {

HatLines buildHatLines(const HatSteps& steps)
{
    HatLines lines;
    for (std::size_t k = 0; k < 4; ++k) {
        std::string line = "    byte %";
        for (std::size_t bit = 0; bit < 8; ++bit)
            line += steps[8 * k + bit] ? '1' : '0';
        lines[k] = line;
    }
    return lines;
}

HatSteps autoHatSteps(AutoHat which)
{
    HatSteps steps{};
    std::size_t first = 0, stride = 0;
    switch (which) {
    case AutoHat::Sixteenths: first = 0; stride = 2; break;
    case AutoHat::Eighths: first = 0; stride = 4; break;
    case AutoHat::OffBeat: first = 4; stride = 8; break;
    case AutoHat::Reset: return steps;
    }
    for (std::size_t i = first; i < steps.size(); i += stride)
        steps[i] = true;
    return steps;
}

InstrumentConfig readInstrumentConfig(const InstrumentTexts& texts)
{
    InstrumentConfig config;
    config.hatLines = buildHatLines(texts.hat);
    config.tempo = common::leadingNumber(texts.tempo);
    config.pal = texts.pal;
    for (std::size_t i = 0; i < 8; ++i) {
        config.volume[i] = common::leadingNumber(texts.volume[i]);
        config.soundType[i] = common::leadingNumber(texts.soundType[i]);
    }
    return config;
}

} // namespace ostrak
