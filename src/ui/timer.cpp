#include "timer.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

namespace telvo::platform {

Timer::Timer(QObject *parent, const char *name, int intervalMs, Sleep sleep)
    : QObject(parent), schedule_(intervalMs, sleep == Sleep::BetweenSeconds) {
    setObjectName(name);
    // On the system clock itself; a setting of the clock cancels the wait.
    fd_ = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ < 0) {
        qFatal("telvo-clock: no timer from the system (%s)", std::strerror(errno));
    }
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &Timer::Expired);
}

Timer::~Timer() {
    delete notifier_;
    ::close(fd_);
}

std::int64_t Timer::SystemClockMs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void Timer::Start(int firstDelayMs) {
    Arm(schedule_.First(SystemClockMs(), firstDelayMs));
}

void Timer::Wake() {
    schedule_.Wake();
    if (Enabled()) {
        const std::int64_t sooner = schedule_.Next(SystemClockMs());
        if (sooner < due_) {
            Arm(sooner);
        }
    }
}

void Timer::Arm(std::int64_t dueMs) {
    due_ = dueMs;
    itimerspec when{};
    when.it_value.tv_sec = static_cast<time_t>(dueMs / 1000);
    when.it_value.tv_nsec = static_cast<long>(dueMs % 1000) * 1000000;
    ::timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr);
}

void Timer::Expired() {
    std::uint64_t expirations = 0;
    const ssize_t got = ::read(fd_, &expirations, sizeof expirations);
    const std::int64_t now = SystemClockMs();
    if (got < 0) {
        if (errno == ECANCELED) {
            // The clock was set: wait for the grid of the new time.
            Arm(schedule_.Next(now));
        }
        return;
    }
    schedule_.Ticked();
    Arm(schedule_.Next(now));
    emit Tick();
}

} // namespace telvo::platform
