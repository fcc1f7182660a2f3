#include "timer.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

namespace telvo::platform {

namespace {

class RealTimerSystem : public TimerSystem {
public:
    int Create() override { return ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC); }
    void SetTime(int fd, int flags, const itimerspec &when) override {
        ::timerfd_settime(fd, flags, &when, nullptr);
    }
    ssize_t Read(int fd, std::uint64_t *expirations) override {
        return ::read(fd, expirations, sizeof *expirations);
    }
    std::int64_t NowMs() override { return Timer::SystemClockMs(); }
    void Close(int fd) override { ::close(fd); }
};

} // namespace

TimerSystem &TimerSystem::Real() {
    static RealTimerSystem real;
    return real;
}

Timer::Timer(QObject *parent, const char *name, int intervalMs, Sleep sleep, TimerSystem &system)
    : QObject(parent), schedule_(intervalMs, sleep == Sleep::BetweenSeconds), system_(system) {
    setObjectName(name);
    // On the system clock itself; a setting of the clock cancels the wait.
    fd_ = system_.Create();
    if (fd_ < 0) {
        qFatal("telvo-clock: no timer from the system (%s)", std::strerror(errno));
    }
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &Timer::Expired);
}

Timer::~Timer() {
    delete notifier_;
    system_.Close(fd_);
}

std::int64_t Timer::SystemClockMs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void Timer::Start(int firstDelayMs) {
    Arm(schedule_.First(system_.NowMs(), firstDelayMs));
}

void Timer::Wake() {
    schedule_.Wake();
    if (Enabled()) {
        const std::int64_t sooner = schedule_.Next(system_.NowMs());
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
    system_.SetTime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, when);
}

void Timer::Expired() {
    std::uint64_t expirations = 0;
    const ssize_t got = system_.Read(fd_, &expirations);
    const std::int64_t now = system_.NowMs();
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
