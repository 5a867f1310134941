#pragma once
namespace ostrak {
class FrmMain;
struct OstrakState;
// Fills the item lists and defaults of the main window and builds the tables.
void runStartUp(FrmMain& w, OstrakState& state);
} // namespace ostrak
