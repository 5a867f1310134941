#include "Listening.h"

namespace ostrak::sound {

namespace {
constexpr std::size_t kShownProblems = 10;
constexpr std::size_t kShownLength = 160;
} // namespace

std::vector<std::string> firstProblems(const std::vector<std::string>& problems)
{
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < problems.size() && i < kShownProblems; ++i)
        shown.push_back(problems[i].size() > kShownLength ? problems[i].substr(0, kShownLength) + "..."
                                                          : problems[i]);
    if (problems.size() > kShownProblems)
        shown.push_back("... and " + std::to_string(problems.size() - kShownProblems) + " more");
    return shown;
}

std::string positionText(const FrameRegs& at)
{
    return "Step " + std::to_string(at.step) + "  Row " + std::to_string(at.row);
}

} // namespace ostrak::sound
