#pragma once
// Instrument configuration, hi-hat, the song.h writers and the song order generator.
#include "app/Seams.h"
#include "app/State.h"

namespace ostrak {

class FrmMain;

class SongCommands {
public:
    SongCommands(FrmMain& w, OstrakState& state, Seams& seams);

private:
    FrmMain& w_;
    OstrakState& state_;
    Seams& seams_;
};

} // namespace ostrak
