#pragma once
// The song order lists: ADD SEQ, X and the row selection behaviour.
#include "app/Seams.h"
#include "app/State.h"

namespace ostrak {

class FrmMain;

class SongOrderCommands {
public:
    SongOrderCommands(FrmMain& w, OstrakState& state, Seams& seams);

private:
    FrmMain& w_;
    OstrakState& state_;
    Seams& seams_;
};

} // namespace ostrak
