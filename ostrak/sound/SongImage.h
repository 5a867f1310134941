#pragma once
// What readSongH makes of a song.h: its bytes where the engine's ROM holds
// them and every symbol's value. Shared by the reader, the engine model and
// the tests; the windows see it only through Sound.h.
#include "Sound.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace ostrak::sound {

// engine.asm includes song.h right after its own code and tables, so the
// first byte of song.h lands here (dasm's symbol file of the engine says so;
// the engine tests compare every label with it). Only the engine's layout
// moves it.
inline constexpr std::uint32_t kSongBase = 0xF213;
// The vectors start at 0xFFFA, after the engine's PAL byte; song.h must end
// before that byte.
inline constexpr std::uint32_t kRomEnd = 0xFFF9;

struct SongImage {
    std::uint32_t base = kSongBase;
    std::vector<std::uint8_t> bytes;
    std::unordered_map<std::string, std::int64_t> symbols;

    std::optional<std::int64_t> symbol(const std::string& name) const
    {
        const auto found = symbols.find(name);
        if (found == symbols.end())
            return std::nullopt;
        return found->second;
    }
    // The byte the 6502 reads at `address`. Outside song.h the model reads 0:
    // dasm fills the ROM after song.h with 0 up to the vectors, and no data
    // ostrak writes points into the engine's own code before it.
    std::uint8_t read(std::uint16_t address) const
    {
        const std::uint32_t at = std::uint32_t(address) - base;
        return address >= base && at < bytes.size() ? bytes[at] : 0;
    }
};

// The symbols the engine reads from song.h; without any of them dasm cannot
// assemble it.
inline const char* const kEngineSymbols[] = {"TEMPODELAY", "soundTurnArray", "soundTypeArray", "hatPattern",
                                             "HATSTART",   "HATVOLUME",      "HATPITCH",       "HATSOUND",
                                             "song1",      "song2",          "patternArrayH",  "patternArrayL"};

} // namespace ostrak::sound
