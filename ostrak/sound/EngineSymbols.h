#pragma once
// The names engine.asm (the demo and player.asm) defines before it includes
// song.h, as dasm's symbol file lists them: song.h may use them, and dasm
// rejects song.h giving one of them another value. Local names (".x") are
// those of the player's last subroutine, whose scope song.h shares. Only the
// engine's layout changes them; the engine tests compare this table with
// dasm's symbol file.
#include <cstdint>
#include <string_view>

namespace ostrak::sound {

struct EngineSymbol {
    std::string_view name;
    std::int64_t value;
};

inline constexpr EngineSymbol kEngineFixedSymbols[] = {
    {"VSYNC", 0x00}, {"VBLANK", 0x01}, {"WSYNC", 0x02}, {"COLUPF", 0x08}, {"COLUBK", 0x09}, {"CTRLPF", 0x0A},
    {"PF0", 0x0D}, {"PF1", 0x0E}, {"PF2", 0x0F}, {"AUDC0", 0x15}, {"AUDC1", 0x16}, {"AUDF0", 0x17}, {"AUDF1", 0x18},
    {"AUDV0", 0x19}, {"AUDV1", 0x1A}, {"MUSIC_FX2", 0x40}, {"MUSIC_FX1", 0x80}, {"MusicOrder", 0x80},
    {"MUSICRAM", 0x80}, {"MusicRow", 0x84}, {"MusicFrames", 0x85}, {"MusicFrac", 0x86}, {"MusicWait", 0x87},
    {"MusicHat", 0x88}, {"MusicFx", 0x89}, {"MusicChain", 0x8A}, {"MusicPtr", 0x8E}, {"MUSICSHOWVOL", 0x90},
    {"shownVol", 0x90}, {"INTIM", 0x284}, {"TIM64T", 0x296}, {"Reset", 0xF000}, {"Frame", 0xF017},
    {"PalLines", 0xF078}, {"BlankLines", 0xF083}, {"BarLines", 0xF08F}, {"BarPF2", 0xF0A2}, {"BarPF1", 0xF0B2},
    {"MusicCode", 0xF0C2}, {"MusicPlay", 0xF0C2}, {"MusicDecode", 0xF103}, {"MusicMute", 0xF124},
    {"MusicSeam", 0xF12D}, {"MusicTwo", 0xF135}, {"MusicInit", 0xF147}, {"MusicFetch", 0xF151},
    {"MusicNextRow", 0xF199}, {"MusicNext", 0xF1BC}, {"MusicHatFrame", 0xF1D8}, {"MusicVolume", 0xF1F4},
    {"MusicBits", 0xF201}, {"MusicStart", 0xF209}, {"MusicCodeEnd", 0xF213}, {".fall", 0xF1EE}, {".done", 0xF1F3},
};

// The address or value of one of them; -1 for a name that is none.
constexpr std::int64_t engineSymbol(std::string_view name)
{
    for (const EngineSymbol& symbol : kEngineFixedSymbols)
        if (symbol.name == name)
            return symbol.value;
    return -1;
}

// The engine's equates made from song.h's values, in engine.asm's order.
// One with `ifConst` is 0 while that name has no value dasm knows: song.h
// defines it after the code, so dasm sees it from its second pass on.
struct EngineEquate {
    std::string_view name;
    std::string_view expression;
    std::string_view ifConst = {};
};
inline constexpr EngineEquate kEngineEquates[] = {
    {"ROWFRAMES", "[TEMPODELAY < 1] * 1 + [TEMPODELAY >= 1 && TEMPODELAY <= 255] * TEMPODELAY + "
                  "[TEMPODELAY > 255] * 255"},
    {"HATFROM", "[HATSTART > 0 && HATSTART <= 255] * HATSTART + [HATSTART > 255] * 255"},
    {"HENTRIES", "[patternArrayL - patternArrayH] / 8"},
    {"HLIMIT", "[HENTRIES > 0 && HENTRIES < 255] * HENTRIES + [HENTRIES >= 255] * 255"},
    {"FRACTION", "[TEMPOFRAC > 0 && TEMPOFRAC <= 255] * TEMPOFRAC + [TEMPOFRAC > 255] * 255", "TEMPOFRAC"},
};

// What the engine's code reads of song.h before song.h comes: immediate
// values and table bytes (one byte, so dasm wants them within -255..255) and
// addresses.
struct EngineUse {
    std::string_view expression;
    bool immediate;
};
inline constexpr EngineUse kEngineUses[] = {
    {"FRACTION", true},          {"ROWFRAMES", true},       {"hatPattern", false},
    {"$80 | [HATVOLUME & 15]", true}, {"soundTypeArray", false}, {"soundTurnArray", false},
    {"HLIMIT", true},            {">[patternArrayL - 1024 - 256]", true}, {"<patternArrayL", true},
    {">patternArrayH", true},    {"<patternArrayH", true},  {"HATSOUND", true},
    {"HATPITCH", true},          {"song1", false},          {"song2", false},
    {"HATFROM", true},
};

} // namespace ostrak::sound
