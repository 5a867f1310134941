#pragma once
// The names engine.asm defines before it includes song.h, as dasm's symbol
// file lists them: song.h may use them, and dasm rejects song.h giving one of
// them another value. Local names (".x") are those of the engine's last
// subroutine, whose scope song.h shares. Only the engine's layout changes them; the engine tests
// compare this table with dasm's symbol file.
#include <cstdint>
#include <string_view>

namespace ostrak::sound {

struct EngineSymbol {
    std::string_view name;
    std::int64_t value;
};

inline constexpr EngineSymbol kEngineFixedSymbols[] = {
    {"VSYNC", 0x00},        {"VBLANK", 0x01},       {"WSYNC", 0x02},        {"COLUPF", 0x08},
    {"COLUBK", 0x09},       {"CTRLPF", 0x0A},       {"PF0", 0x0D},          {"PF1", 0x0E},
    {"PF2", 0x0F},          {"AUDC0", 0x15},        {"AUDC1", 0x16},        {"AUDF0", 0x17},
    {"AUDF1", 0x18},        {"AUDV0", 0x19},        {"AUDV1", 0x1A},        {"INTIM", 0x284},
    {"TIM64T", 0x296},      {"songLo", 0x80},       {"songHi", 0x82},       {"entryLo", 0x84},
    {"entryHi", 0x86},      {"ptr", 0x88},          {"rowIndex", 0x8A},     {"rowFrames", 0x8B},
    {"barCount", 0x8C},     {"hatOn", 0x8D},        {"hatActive", 0x8E},    {"hatLevel", 0x8F},
    {"shownVol", 0x90},     {"fracSum", 0x92},      {"Reset", 0xF000},      {"Frame", 0xF024},
    {"PalLines", 0xF085},   {"BlankLines", 0xF090}, {"BarLines", 0xF09C},   {"PlayFrame", 0xF0AF},
    {"StartStep", 0xF130},  {"PlayRow", 0xF19B},    {"VolumeTable", 0xF1EE}, {"BitMask", 0xF1FB},
    {"SongStartLo", 0xF203}, {"SongStartHi", 0xF205}, {"BarPF2", 0xF207},   {"BarPF1", 0xF217},
    {"SilentEntry", 0xF227}, {"SilentChain", 0xF22F}, {".volume", 0xF1DE},  {".mute", 0xF1E7},
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
    {"HLIMIT", "[HENTRIES < 128] * HENTRIES + [HENTRIES >= 128] * 128"},
    {"FRACTION", "[TEMPOFRAC > 0 && TEMPOFRAC <= 255] * TEMPOFRAC + [TEMPOFRAC > 255] * 255", "TEMPOFRAC"},
};

// What the engine's code reads of song.h before song.h comes: immediate
// values (one byte, so dasm wants them within -255..255) and addresses.
struct EngineUse {
    std::string_view expression;
    bool immediate;
};
inline constexpr EngineUse kEngineUses[] = {
    {"<song1", true},          {">song1", true},          {"<song2", true},          {">song2", true},
    {"ROWFRAMES", true},       {"HATFROM", true},         {"hatPattern", false},     {"HATSOUND", true},
    {"HATPITCH", true},        {"HATVOLUME & 15", true},  {"HLIMIT", true},          {"<patternArrayH", true},
    {">patternArrayH", true},  {"<patternArrayL", true},  {">patternArrayL", true},  {"soundTypeArray", false},
    {"soundTurnArray", false}, {"FRACTION", true},
};

} // namespace ostrak::sound
