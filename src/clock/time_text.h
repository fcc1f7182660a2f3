#pragma once

#include <string>

namespace telvo::clock {

// One reading of the local time of day.
struct TimeOfDay {
    int hour = 0;   // 0-23
    int minute = 0; // 0-59
    int second = 0; // 0-59

    friend bool operator==(const TimeOfDay &, const TimeOfDay &) = default;
};

// A plain decimal integer with no leading zeros: 0, 9, 23.
std::u16string DecimalText(int value);

// Hour, minute and second joined by colons, each without leading zeros:
// 9:5:7, 23:59:0, 0:0:0.
std::u16string DigitalTimeText(const TimeOfDay &time);

} // namespace telvo::clock
