#pragma once
// What saving and loading a project share: the project window's failure style
// and how a song order row gives its position.
#include "ProjectFile.h"

#include "common/Failure.h"
#include "common/Numbers.h"

namespace ostrak::project {

// The project window's failure style: show the message for the code, then
// stop, or go on with the next step in retry mode.
inline common::StepRunner projectSteps(ProjectWindowPort& port, std::string (*messageFor)(int))
{
    return common::StepRunner([&port, messageFor](const common::Failure& f) { port.showMessage(messageFor(f.code())); },
                              [&port] { return port.retryMode(); });
}

// The row position of a song order row: its leading number. A number beyond
// the largest double reads as infinite, which no plain number can show; it
// counts as the largest one of its sign, so saving and loading keep a huge
// position rather than "inf" (read back as 0).
inline double rowPosition(const std::string& row)
{
    return common::largestIfInfinite(common::leadingNumber(row));
}

} // namespace ostrak::project
