#pragma once
// An Impulse Tracker module (.it) as bytes, in instrument mode, with 8-bit
// looped samples, packed patterns and a song message. Only what the
// template needs is written; the layout follows Impulse Tracker's own
// description of its format (ITTECH.TXT), named field by field in ItFile.cpp.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ostrak {

inline constexpr int kItNotes = 120; // C-0 .. B-9

struct ItSample {
    std::string name;
    std::uint32_t c5Speed = 8363;    // samples a second at C-5
    std::vector<std::int8_t> data;   // looped whole
};

struct ItNoteMapEntry {
    std::uint8_t note = 60;   // the note the sample plays at (60 = C-5)
    std::uint8_t sample = 0;  // 1-based; 0 none
};

struct ItInstrument {
    std::string name;
    std::uint8_t globalVolume = 128; // 0-128
    std::array<ItNoteMapEntry, kItNotes> noteMap{};
};

struct ItCell {
    int note = -1;      // 0-119 (C-0 .. B-9); -1 empty
    int instrument = 0; // 0 empty
};

struct ItPattern {
    int rows = 64;
    std::vector<std::vector<ItCell>> cells; // [row][channel]; short rows are empty
};

struct ItModule {
    std::string title;
    int speed = 6;      // ticks a row
    int tempo = 125;    // ticks are 2.5 / tempo seconds long
    int channels = 2;   // the first ones are on, the rest off
    std::string message; // lines end in CR
    std::vector<int> orders;
    std::vector<ItInstrument> instruments;
    std::vector<ItSample> samples;
    std::vector<ItPattern> patterns;
};

std::string itFileBytes(const ItModule& module);

// The song message of an .it file's bytes; empty when it has none or the
// bytes are no .it file.
std::string itMessage(std::string_view bytes);

} // namespace ostrak
