// The quick decoder takes any text against the start-up tables and against
// tables refreshed from any sound type texts.
#include "convert/Decoder.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace ostrak;
    static const NoteTable notes;
    const std::vector<std::string> parts = fuzz::fields(fuzz::text(data, size), '\n', 9);
    SoundSlots slots;
    const std::string atStart = decodePatternByte(parts[0], notes, slots);
    FUZZ_CHECK(!atStart.empty() && atStart.front() == '%');
    std::array<std::string, 8> waves;
    for (std::size_t i = 0; i < waves.size(); ++i)
        waves[i] = parts[i + 1];
    slots.refresh(waves);
    const std::string refreshed = decodePatternByte(parts[0], notes, slots);
    FUZZ_CHECK(!refreshed.empty() && refreshed.front() == '%');
    return 0;
}
