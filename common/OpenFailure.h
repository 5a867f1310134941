#pragma once
// Why a file could not be opened, as the code a user is shown; one rule for
// the readers and the writers.
#include <string>

namespace common {

enum class OpenFor { Reading, Writing };

// Throws Failure 75 for a folder, 53 for a file to read that is not there,
// 76 for a folder to write in that is not there, 70 when the system denied
// the open (`error` is its errno), else 75.
[[noreturn]] void throwOpenFailure(const std::string& path, int error, OpenFor purpose);

} // namespace common
