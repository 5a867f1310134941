#pragma once
// The clock seam: commands ask it for date and time texts so tests can fix them.
#include <string>

namespace common {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::string dateText() const = 0;     // current date, regional short form
    virtual std::string timeText() const = 0;     // current time, regional short form
    virtual std::string longTimeText() const = 0; // time of day with seconds
};

// The real clock, in the system's regional forms.
class SystemClock : public Clock {
public:
    std::string dateText() const override;
    std::string timeText() const override;
    std::string longTimeText() const override;
};

} // namespace common
