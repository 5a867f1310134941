#pragma once
// Shared by the fuzz targets: a check that ends the run with a message, the
// input as text and as fields, and a scratch file for inputs that are files.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#define FUZZ_CHECK(condition)                                                                          \
    do {                                                                                               \
        if (!(condition)) {                                                                            \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                              \
        }                                                                                              \
    } while (0)

namespace fuzz {

inline std::string text(const std::uint8_t* data, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Splits at every `separator` byte into exactly `count` fields (missing ones
// are empty, the last one takes the rest).
inline std::vector<std::string> fields(std::string_view input, char separator, std::size_t count)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    while (out.size() + 1 < count) {
        const std::size_t end = input.find(separator, start);
        if (end == std::string_view::npos)
            break;
        out.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }
    out.emplace_back(start <= input.size() ? input.substr(start) : std::string_view());
    out.resize(count);
    return out;
}

// A file of this process in the temporary folder, for readers of files.
inline std::string scratchPath(const char* name)
{
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/ostrak-fuzz-" + std::to_string(getpid()) + "-" + name;
}

} // namespace fuzz
