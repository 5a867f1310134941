#pragma once
// The song1/song2 blocks built from the row positions of the two song order
// lists. Position p owns pattern-table entries 4p+1, 4p+2 (channel 1) and
// 4p+3, 4p+4 (channel 2); entry 0 is the silent pattern.
#include <string>
#include <vector>

namespace ostrak {

// One channel's line for position p, with the line break before it:
// CR LF, TAB, "byte 5,6".
std::string songOrderEntry(double position, int channel);

// The whole text: "song1", blank, a line per row, TAB "byte 255", "song2",
// blank, a line per row, TAB "byte 255" (no line break at the very end).
std::string songOrderText(const std::vector<double>& channel1, const std::vector<double>& channel2);

} // namespace ostrak
