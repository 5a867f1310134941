#include "OpenFailure.h"

#include "Failure.h"

#include <cerrno>
#include <filesystem>

namespace common {

void throwOpenFailure(const std::string& path, int error, OpenFor purpose)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(path, ec))
        throw Failure(kPathAccess, path + " is a folder");
    if (purpose == OpenFor::Reading && !fs::exists(path, ec))
        throw Failure(kFileNotFound, path + " not found");
    if (purpose == OpenFor::Writing) {
        const fs::path parent = fs::path(path).parent_path();
        if (!parent.empty() && !fs::exists(parent, ec))
            throw Failure(kPathNotFound, parent.string() + " not found");
    }
    if (error == EACCES || error == EROFS || error == EPERM)
        throw Failure(kPermissionDenied, path + ": permission denied");
    throw Failure(kPathAccess, path + " cannot be opened");
}

} // namespace common
