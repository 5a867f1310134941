#include "SongCommands.h"

#include "app/FrmMain.h"

namespace ostrak {

SongCommands::SongCommands(FrmMain& w, OstrakState& state, Seams& seams)
    : w_(w), state_(state), seams_(seams)
{
    // Not built yet: the instrument, hi-hat and song.h commands are connected here.
}

} // namespace ostrak
