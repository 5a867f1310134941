#include "ConvertCommands.h"

#include "app/FrmMain.h"
#include "store/MemoryCommands.h"

namespace ostrak {

ConvertCommands::ConvertCommands(FrmMain& w, OstrakState& state, Seams& seams, MemoryCommands& memory)
    : w_(w), state_(state), seams_(seams), memory_(memory)
{
    // Not built yet: the converter and the decoder are connected here.
}

} // namespace ostrak
