#pragma once

#include <cstdint>

namespace telvo::clock {

inline constexpr std::uint16_t kBackspace = 8;

// The seconds box takes only digits and backspace: returns the key's
// character code when it passes, and 0 (drop the key) otherwise.
constexpr std::uint16_t FilterSecondsKey(std::uint16_t key) noexcept {
    const bool passes = (key >= u'0' || key == kBackspace) && key <= u'9';
    return passes ? key : 0;
}

} // namespace telvo::clock
