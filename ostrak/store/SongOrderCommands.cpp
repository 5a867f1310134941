#include "SongOrderCommands.h"

#include "app/FrmMain.h"

namespace ostrak {

SongOrderCommands::SongOrderCommands(FrmMain& w, OstrakState& state, Seams& seams)
    : w_(w), state_(state), seams_(seams)
{
    // Not built yet: the song order list commands are connected here.
}

} // namespace ostrak
