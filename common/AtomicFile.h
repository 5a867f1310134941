#pragma once
// A file written beside itself and put in place whole. Bytes go to a
// companion file next to the target; commit() flushes it to the disk and
// renames it over the target. Until then, and whenever anything failed, the
// target keeps its previous content: a full disk, a write error or the
// program ending half way never leaves a cut-off file.
#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace common {

class AtomicFile {
public:
    // Opens the companion file; throws Failure 75 (a folder), 76 (no such
    // folder) or 70 (the target or its folder may not be written).
    explicit AtomicFile(const std::string& path);
    ~AtomicFile(); // without a commit, the companion file is removed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // A failed write is remembered, as a stream would, and reported by commit.
    void write(std::string_view bytes);
    // Puts the whole file in place; throws Failure 57 when any byte did not
    // reach the disk, and then leaves the target as it was.
    void commit();
    // Drops what was written; the target stays as it was.
    void discard();

    // The companion file's name for a target.
    static std::string companionOf(const std::string& path);

    // Test seam: every write after `lines` line ends (CR) have gone through
    // fails as a full disk would; nullopt ends it. When `stop` is set the
    // process instead ends there at once, as if it were killed.
    static void injectFailureAfterLines(std::optional<std::size_t> lines, bool stop = false);

private:
    std::string target_;
    std::string companion_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

} // namespace common
