#include "AtomicFile.h"

#include "Failure.h"
#include "OpenFailure.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace common {

namespace fs = std::filesystem;

namespace {

struct InjectedFailure {
    std::optional<std::size_t> afterLines;
    bool stop = false;
};

InjectedFailure& injected()
{
    static InjectedFailure failure;
    return failure;
}

bool flushToDisk(std::FILE* file)
{
    if (std::fflush(file) != 0)
        return false;
#if defined(_WIN32)
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

} // namespace

std::string AtomicFile::companionOf(const std::string& path)
{
    return path + ".part";
}

void AtomicFile::injectFailureAfterLines(std::optional<std::size_t> lines, bool stop)
{
    injected() = InjectedFailure{lines, stop};
}

AtomicFile::AtomicFile(const std::string& path)
{
    std::error_code ec;
    target_ = path;
    // A link stays a link: its target is the file that is replaced.
    if (fs::is_symlink(path, ec)) {
        const fs::path resolved = fs::canonical(path, ec);
        if (!ec)
            target_ = resolved.string();
    }
    if (fs::is_directory(target_, ec))
        throwOpenFailure(target_, 0, OpenFor::Writing);
    // A file the user may not write stays unwritten, as when it was emptied
    // in place; renaming over it would otherwise succeed.
    errno = 0;
#if !defined(_WIN32)
    if (fs::exists(target_, ec) && access(target_.c_str(), W_OK) != 0)
        throwOpenFailure(target_, errno, OpenFor::Writing);
#endif
    companion_ = companionOf(target_);
    errno = 0;
    file_ = std::fopen(companion_.c_str(), "wb");
    if (!file_)
        throwOpenFailure(target_, errno, OpenFor::Writing);
}

AtomicFile::~AtomicFile()
{
    discard();
}

void AtomicFile::write(std::string_view bytes)
{
    if (!file_ || failed_)
        return;
    InjectedFailure& fault = injected();
    if (fault.afterLines) {
        // Write up to the line end where the fault begins, then fail.
        std::size_t& left = *fault.afterLines;
        std::size_t cut = 0;
        for (; cut < bytes.size(); ++cut) {
            if (left == 0)
                break;
            if (bytes[cut] == '\n')
                --left;
        }
        if (cut < bytes.size()) {
            std::fwrite(bytes.data(), 1, cut, file_);
            if (fault.stop) {
                flushToDisk(file_);
                std::_Exit(137);
            }
            failed_ = true;
            return;
        }
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        failed_ = true;
}

void AtomicFile::commit()
{
    if (!file_)
        throw Failure(kBadFileName, "file not open");
    const bool written = !failed_ && flushToDisk(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    std::error_code ec;
    if (!written || !closed) {
        fs::remove(companion_, ec);
        throw Failure(kDeviceIO, target_ + ": write failed");
    }
    // The new file keeps the permissions of the one it replaces.
    const fs::file_status old = fs::status(target_, ec);
    if (!ec && fs::exists(old))
        fs::permissions(companion_, old.permissions(), ec);
    fs::rename(companion_, target_, ec);
    if (ec) {
        fs::remove(companion_, ec);
        throw Failure(kDeviceIO, target_ + ": could not be replaced");
    }
}

void AtomicFile::discard()
{
    if (!file_)
        return;
    std::fclose(file_);
    file_ = nullptr;
    std::error_code ec;
    fs::remove(companion_, ec);
}

} // namespace common
