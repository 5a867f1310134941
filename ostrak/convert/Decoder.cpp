#include "Decoder.h"

namespace ostrak {

namespace {
std::string_view part(std::string_view text, std::size_t start, std::size_t length)
{
    return start < text.size() ? text.substr(start, length) : std::string_view{};
}
} // namespace

std::string decodePatternByte(std::string_view input, const NoteTable& notes, const SoundSlots& slots)
{
    const std::size_t first = !input.empty() && input.front() == '%' ? 1 : 0;
    const std::string slotDigits(part(input, first, 3));
    const std::string pitchDigits(part(input, first + 3, 5));
    // The pitch digits are compared as decimal numbers, so "11" finds "00011".
    return "%" + slotDigits + pitchDigits + " = " + notes.noteOfDigits(pitchDigits) + "..." +
           slots.typeOfBits("%" + slotDigits);
}

} // namespace ostrak
