#include "time_text.h"

namespace telvo::clock {

std::u16string DecimalText(int value) {
    const bool negative = value < 0;
    // Work in the negative range so that the most negative int needs no special case.
    int rest = negative ? value : -value;
    char16_t digits[12];
    char16_t *end = digits + sizeof digits / sizeof *digits;
    char16_t *begin = end;
    do {
        *--begin = static_cast<char16_t>(u'0' - rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (negative) {
        *--begin = u'-';
    }
    return std::u16string(begin, end);
}

std::u16string DigitalTimeText(const TimeOfDay &time) {
    std::u16string text = DecimalText(time.hour);
    text += u':';
    text += DecimalText(time.minute);
    text += u':';
    text += DecimalText(time.second);
    return text;
}

} // namespace telvo::clock
