#pragma once
// The quick decoder: eight binary digits of a pattern byte back to the note
// and the sound of its slot, read against the current tables.
#include "Tables.h"

#include <string>
#include <string_view>

namespace ostrak {

// "11010011" or "%11010011" gives "%11010011 = C-5..." + the slot's sound
// text. Nothing is validated: short or odd input is decoded as it stands.
std::string decodePatternByte(std::string_view input, const NoteTable& notes, const SoundSlots& slots);

} // namespace ostrak
