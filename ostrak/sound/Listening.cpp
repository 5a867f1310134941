#include "Listening.h"

#include "Failure.h"
#include "TextFile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

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

void replaceFileWhole(const std::string& path, std::string_view bytes)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    // A folder in the way would swallow the rename; say so before writing.
    if (fs::is_directory(path, ec))
        throw common::Failure(common::kPathAccess, path + " is a folder");
    const std::string part = path + ".part";
    common::writeWholeFile(part, bytes);
    fs::rename(part, path, ec);
    if (ec) {
        fs::remove(part, ec);
        throw common::Failure(common::kPathAccess, path + " cannot be replaced");
    }
}

} // namespace ostrak::sound
