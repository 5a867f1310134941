#pragma once
// Row by row, Stella's recording of a ROM against ostrak's rendering of the
// same music: for each row the spectra (cosine) and the levels, each row
// found again where Stella put it. The engine's forms test and the example
// game's test share it. FORMS_DETAILS=1 prints every row.
#include "EngineRig.h"

#include <functional>
#include <string>
#include <vector>

namespace engine_test {

// What a sounding row must reach: spectral cosine, and level within this much.
inline constexpr double kMinCosine = 0.9, kLevelTolerance = 0.10;

// One row compared: how alike the spectra are, and the level heard
// over the level made (after one overall gain for the whole recording).
struct Compared {
    std::string what;
    double cosine = 0, heard = 0, made = 0, level = 0;
    bool silentAlike() const { return (heard < Audio::kSound) == (made < Audio::kSound); }
    bool sounding() const { return heard >= Audio::kSound && made >= Audio::kSound; }
    bool alike() const
    {
        return silentAlike() && (!sounding() || (cosine >= kMinCosine && std::abs(level - 1) <= kLevelTolerance));
    }
};

// Stella's default sound with more half-frames held ahead (see RowCompare.cpp).
extern const std::vector<std::string> kBuffered;

// Which rows to compare: every `rowFrames` frames of the model's (or a
// ROM's) registers, at Stella's `frameHz`, but rows where both channels are
// silent and those `skip` names by their first frame.
struct Rows {
    int rowFrames = 3;
    double frameHz = 60.0;
    std::function<bool(int frame)> skip;
};

// Plays `rom` in Stella (with `stellaOptions` after kBuffered) up to five
// times and compares each row of `made`; a busy machine spoils a few rows of
// one recording now and then, so each row keeps its best.
std::vector<Compared> listenRowByRow(const std::string& rom, double seconds, const Audio& made,
                                     const std::vector<ostrak::sound::FrameRegs>& frames, const Rows& rows,
                                     const std::vector<std::string>& stellaOptions = {});

// Rows Stella plays silent must be silent here; the others alike in spectrum
// (cosine at least kMinCosine, median at least 0.97) and level.
void judge(const std::vector<Compared>& rows);

} // namespace engine_test
