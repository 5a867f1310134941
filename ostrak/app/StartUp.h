#pragma once
#include <array>
#include <string>
#include <vector>

namespace ostrak {
class FrmMain;
// The items of the sound type fields (WaveMatrix), each led by its type number.
inline constexpr std::array<const char*, 10> kSoundTypeItems = {
    "1-Dirty Saw", "2-Low Dirty Bass", "3-Engine", "4-Square", "6-PhatBass (Tri)",
    "7-Low Buzz Pitfall", "8-Noise", "12-Lower Square", "14-Triangle Bass", "15-Atonal Buzz"};

// Fills the item lists and defaults of the main window; slotTypes are the
// sound types the eight slots start with.
void runStartUp(FrmMain& w, const std::vector<std::string>& slotTypes);
} // namespace ostrak
