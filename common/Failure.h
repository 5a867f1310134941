#pragma once
// Failures carry a numeric code; the codes a user may meet are listed here
// so that every command reports the same number for the same trouble.
#include <exception>
#include <functional>
#include <initializer_list>
#include <new>
#include <string>

namespace common {

enum FailureCode : int {
    kInvalidArgument = 5,   // e.g. removing a list row when none is selected
    kOverflow = 6,          // a number too large to write
    kOutOfMemory = 7,
    kSubscriptOutOfRange = 9,
    kBadFileName = 52,      // read or write on a file that is not open
    kFileNotFound = 53,     // also: an outside program that cannot be found
    kFileAlreadyOpen = 55,
    kInputPastEnd = 62,     // reading past the end of a file
    kPermissionDenied = 70,
    kPathAccess = 75,       // path exists but cannot be used (a folder, read-only place)
    kPathNotFound = 76,
    kInternalError = 51,    // anything else that went wrong inside a command
    kDeviceIO = 57,         // write or read failed half-way
    kInvalidRowIndex = 380, // selecting a list row that does not exist
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

// How a command carries on after a failing step: the failure is reported,
// then the command either goes on with its next step or stops. The choice is
// asked at each failure, so a "keep trying" option can decide it.
struct CommandStopped {}; // leaves the command; catch it with runCommand

using Step = std::function<void()>;

class StepRunner {
public:
    StepRunner(std::function<void(const Failure&)> report, std::function<bool()> goOn)
        : report_(std::move(report)), goOn_(std::move(goOn))
    {
    }

    // The style "go on with the next step" whatever fails.
    static StepRunner goingOn(std::function<void(const Failure&)> report)
    {
        return StepRunner(std::move(report), [] { return true; });
    }

    // Runs one step; anything it throws becomes a coded failure.
    template <typename F> void operator()(F&& step)
    {
        try {
            step();
        } catch (const Failure& f) {
            failed(f);
        } catch (const std::bad_alloc&) {
            failed(Failure(kOutOfMemory, "out of memory"));
        } catch (const std::exception& e) {
            failed(Failure(kInternalError, e.what()));
        }
    }

private:
    void failed(const Failure& f)
    {
        report_(f);
        if (!goOn_())
            throw CommandStopped{};
    }

    std::function<void(const Failure&)> report_;
    std::function<bool()> goOn_;
};

// Runs a command body whose runner may stop it.
template <typename F> void runCommand(F&& body)
{
    try {
        body();
    } catch (const CommandStopped&) {
        // The failure was reported when it stopped the command.
    }
}

// Failure style "go on with the next step": each step runs; a step that fails
// is reported and the next step still runs.
inline void runStepsContinuing(std::initializer_list<Step> steps,
                               const std::function<void(const Failure&)>& onFailure)
{
    StepRunner run = StepRunner::goingOn(onFailure);
    for (const Step& step : steps)
        run(step);
}

} // namespace common
