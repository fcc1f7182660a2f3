#pragma once

#include <cstdint>

namespace telvo::clock {

// When a timer ticks, in milliseconds of the system clock since the epoch.
// Ticks fall on the clock's grid of the timer's interval: a 1000 ms timer
// ticks at the turn of every second, a 100 ms one at the turn and at every
// tenth of a second after it. A timer that sleeps between seconds leaves out
// the ticks between two turns of the second unless something woke it since
// its last tick: until the second turns, only an edit can change what a tick
// writes.
class TickSchedule {
public:
    static constexpr std::int64_t kSecond = 1000;

    TickSchedule(std::int64_t intervalMs, bool sleepsBetweenSeconds) noexcept
        : interval_(intervalMs > 0 ? intervalMs : 1), sleeps_(sleepsBetweenSeconds) {}

    std::int64_t Interval() const noexcept { return interval_; }

    // The first tick: the first point of the grid at least `delayMs` after `nowMs`.
    std::int64_t First(std::int64_t nowMs, std::int64_t delayMs) const noexcept {
        return AtOrAfter(nowMs + delayMs, interval_);
    }

    // The tick after `nowMs`.
    std::int64_t Next(std::int64_t nowMs) const noexcept {
        const std::int64_t due = AtOrAfter(nowMs + 1, interval_);
        return sleeps_ && !woken_ ? AtOrAfter(due, kSecond) : due;
    }

    void Wake() noexcept { woken_ = true; }
    void Ticked() noexcept { woken_ = false; }

private:
    // The first multiple of `step` at or after `ms`.
    static std::int64_t AtOrAfter(std::int64_t ms, std::int64_t step) noexcept {
        const std::int64_t truncated = ms / step * step; // towards zero: at or after `ms` when negative
        return truncated >= ms ? truncated : truncated + step;
    }

    std::int64_t interval_;
    bool sleeps_;
    bool woken_ = false;
};

} // namespace telvo::clock
