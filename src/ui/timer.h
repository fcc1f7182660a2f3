#pragma once

#include "tick_schedule.h"

#include <QObject>

#include <cstdint>
#include <sys/types.h>

class QSocketNotifier;
struct itimerspec;

namespace telvo::platform {

// What a Timer asks of the system: a timerfd on the system clock, its
// setting, its reading, and the clock itself. Tests stand in for it to set
// the clock and let waits pass; the clock of the machine stays as it is.
class TimerSystem {
public:
    virtual ~TimerSystem() = default;
    // A descriptor that turns readable when a wait ends or is cancelled.
    virtual int Create() = 0;
    virtual void SetTime(int fd, int flags, const itimerspec &when) = 0;
    // As read(2): 8 bytes of expirations, or -1 with errno (ECANCELED when the clock was set).
    virtual ssize_t Read(int fd, std::uint64_t *expirations) = 0;
    virtual std::int64_t NowMs() = 0;
    virtual void Close(int fd) = 0;

    // The machine's own.
    static TimerSystem &Real();
};

// A timer whose ticks fall on the system clock's grid of its interval (see
// clock::TickSchedule), so that timers of the window tick together at the
// turn of each second. It waits on the system clock itself, not on the time
// since it was armed: when the clock is set, stepped or resumes from
// suspend, the next tick still lands on the grid of the new time.
class Timer : public QObject {
    Q_OBJECT
public:
    enum class Sleep { Never, BetweenSeconds };

    Timer(QObject *parent, const char *name, int intervalMs, Sleep sleep = Sleep::Never,
          TimerSystem &system = TimerSystem::Real());
    ~Timer() override;

    int Interval() const { return static_cast<int>(schedule_.Interval()); }
    bool Enabled() const { return due_ >= 0; }
    // When the next tick is due, in milliseconds of the system clock since
    // the epoch; -1 before Start.
    std::int64_t NextTick() const { return due_; }

    // Ticks from now on; the first tick comes at least `firstDelayMs` from now.
    void Start(int firstDelayMs);
    // The next tick of the grid comes, even between two turns of the second.
    void Wake();

    static std::int64_t SystemClockMs();

signals:
    void Tick();

private:
    void Arm(std::int64_t dueMs);
    void Expired();

    clock::TickSchedule schedule_;
    TimerSystem &system_;
    int fd_ = -1;
    QSocketNotifier *notifier_ = nullptr;
    std::int64_t due_ = -1;
};

} // namespace telvo::platform
