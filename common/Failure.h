#pragma once
// Failures carry a numeric code; the codes a user may meet are listed here
// so that every command reports the same number for the same trouble.
#include <exception>
#include <functional>
#include <initializer_list>
#include <string>

namespace common {

enum FailureCode : int {
    kInvalidArgument = 5,   // e.g. removing a list row when none is selected
    kSubscriptOutOfRange = 9,
    kBadFileName = 52,      // read or write on a file that is not open
    kFileNotFound = 53,     // also: an outside program that cannot be found
    kFileAlreadyOpen = 55,
    kInputPastEnd = 62,     // reading past the end of a file
    kPermissionDenied = 70,
    kPathAccess = 75,       // path exists but cannot be used (a folder, read-only place)
    kPathNotFound = 76,
    kDeviceIO = 57,         // write or read failed half-way
};

class Failure : public std::exception {
public:
    explicit Failure(int code, std::string detail = {}) : code_(code), detail_(std::move(detail)) {}
    int code() const noexcept { return code_; }
    const std::string& detail() const noexcept { return detail_; }
    const char* what() const noexcept override { return detail_.c_str(); }

private:
    int code_;
    std::string detail_;
};

// The text every unspecial failure is shown with.
inline std::string genericFailureText(int code)
{
    return "Ahhh shit.  Looks like you got an error code " + std::to_string(code);
}

// Failure style "go on with the next step": each step runs; a step that fails
// is reported through onFailure and the next step still runs.
using Step = std::function<void()>;
inline void runStepsContinuing(std::initializer_list<Step> steps,
                               const std::function<void(const Failure&)>& onFailure)
{
    for (const Step& step : steps) {
        try {
            step();
        } catch (const Failure& f) {
            onFailure(f);
        }
    }
}

} // namespace common
