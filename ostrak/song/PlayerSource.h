#pragma once
// The very text of engine/player.asm, built into the program: the build
// makes PlayerSource.cpp from that file, so "Save for a game" can never
// write a stale copy.
#include <string_view>

namespace ostrak {

std::string_view playerAsm();

} // namespace ostrak
