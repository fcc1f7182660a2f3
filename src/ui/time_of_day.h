#pragma once

#include "time_text.h"

#include <functional>

namespace telvo::platform {

// Where the window reads the time of day. Tests install their own.
using TimeSource = std::function<clock::TimeOfDay()>;

// The local time of day from the system clock. The conversion to local time
// (which also looks for a changed time zone) runs only when the system
// clock's second has changed: nine of the ten readings a second cost next to
// nothing.
class SystemTimeOfDay {
public:
    clock::TimeOfDay operator()();

private:
    long long second_ = -1; // of the system clock, when last converted
    clock::TimeOfDay local_;
};

} // namespace telvo::platform
