#pragma once
// The paste converter (cmdBang) and the quick decoder of the main window.
#include "app/Seams.h"
#include "app/State.h"

namespace ostrak {

class FrmMain;
class MemoryCommands;

class ConvertCommands {
public:
    ConvertCommands(FrmMain& w, OstrakState& state, Seams& seams, MemoryCommands& memory);

private:
    FrmMain& w_;
    OstrakState& state_;
    Seams& seams_;
    MemoryCommands& memory_;
};

} // namespace ostrak
