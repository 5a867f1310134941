#pragma once
// Small rules of the play commands that need no window: how problems and the
// playing position are told.
#include "Sound.h"

#include <string>
#include <vector>

namespace ostrak::sound {

// At most ten problems, each cut to a readable length, and a last line
// counting the rest, so a song of 100,000 bad lines cannot flood a message.
std::vector<std::string> firstProblems(const std::vector<std::string>& problems);

// "Step 3  Row 17", counted from 0 as the tracker counts rows.
std::string positionText(const FrameRegs& at);

} // namespace ostrak::sound
