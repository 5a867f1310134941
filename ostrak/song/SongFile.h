#pragma once
// The two song.h layouts: the preview of the current pattern pair and the
// whole song. Both are built as lines from plain values; the commands write
// them one by one so that each failing line is reported on its own.
#include "common/Failure.h"
#include "Instruments.h"

#include <string>
#include <string_view>
#include <vector>

namespace ostrak {

struct WorkingMemory;

inline constexpr int kOverflow = common::kOverflow;
inline constexpr int kSongPositions = 66; // positions 0-65 go into a whole song

// One line of song.h (without its CR LF). A line whose value cannot be
// written carries the failure code instead and is left out of the file.
struct SongLine {
    std::string text;
    int failure = 0;
};
using SongLines = std::vector<SongLine>;

struct PreviewTexts {
    std::string orderA, orderB, patternA, patternB;
};

SongLines previewSong(const InstrumentConfig& config, const PreviewTexts& texts);
SongLines wholeSong(const InstrumentConfig& config, const std::string& kickInText,
                    const std::string& songOrderText, const WorkingMemory& memory);

// The tempo: whole frames a row, and under it, only for a tempo with a
// fraction, the fraction in 256ths of a frame (1-255).
inline constexpr std::string_view kTempoLine = "TEMPODELAY equ ";
inline constexpr std::string_view kTempoFracLine = "TEMPOFRAC equ ";

// Written under TEMPODELAY only for a PAL console: the engine then builds
// 312-line frames, 50 a second. Without it song.h is the NTSC one, unchanged.
inline constexpr std::string_view kPalSwitchLine = "PAL equ 1";

// The bytes of the file: every written line followed by CR LF.
std::string songFileText(const SongLines& lines);

inline constexpr std::string_view kPreviewScriptMissing =
    "Compile.bat not found.  Please ensure it is in this directory.";
inline constexpr std::string_view kSongScriptMissing =
    "Compile.bat or Copycart.bat not found.  Please ensure it is in this directory.";

// What the user is told about a failing step of a song writer.
std::string songWriteFailureText(int code, std::string_view scriptMissingText);

} // namespace ostrak
