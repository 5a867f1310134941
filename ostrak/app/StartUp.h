#pragma once
#include <string>
#include <vector>

namespace ostrak {
class FrmMain;
// Fills the item lists and defaults of the main window; slotTypes are the
// sound types the eight slots start with.
void runStartUp(FrmMain& w, const std::vector<std::string>& slotTypes);
} // namespace ostrak
