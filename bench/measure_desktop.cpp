// Start-up time, idle CPU and resident memory of the clock beside a bare
// frameless Qt window, on the X server named by DISPLAY (scripts/measure
// starts one of its own):
//
//     telvo-measure CLOCK BARE [IDLE-SECONDS]

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

pid_t Spawn(const char *program, const char *argument = nullptr) {
    pid_t pid = 0;
    char *argv[] = {const_cast<char *>(program), const_cast<char *>(argument), nullptr};
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "telvo-measure: cannot start %s\n", program);
        std::exit(1);
    }
    return pid;
}

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// Starts the program and waits until the server maps its first top-level
// window (Qt maps no other before it); returns the milliseconds from exec
// to that.
double StartAndWaitForWindow(Display *display, const char *program, pid_t *pid,
                             const char *argument = nullptr) {
    XSync(display, True);
    const Clock::time_point start = Clock::now();
    *pid = Spawn(program, argument);
    while (Clock::now() - start < std::chrono::seconds(20)) {
        if (XPending(display) == 0) {
            pollfd connection{ConnectionNumber(display), POLLIN, 0};
            poll(&connection, 1, 100);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect) {
            return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
    }
    std::fprintf(stderr, "telvo-measure: %s mapped no window in 20 s\n", program);
    Stop(*pid);
    std::exit(1);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

long ResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// CPU time of all the threads of a process, in milliseconds, as the
// scheduler counts it (to the nanosecond, where /proc/PID/stat counts ticks).
double CpuMs(pid_t pid) {
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    double ns = 0;
    for (const auto &task : std::filesystem::directory_iterator(tasks)) {
        std::ifstream schedstat(task.path() / "schedstat");
        double onCpu = 0;
        schedstat >> onCpu;
        ns += onCpu;
    }
    return ns / 1e6;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: telvo-measure CLOCK BARE [IDLE-SECONDS]\n");
        return 2;
    }
    const char *clock = argv[1];
    const char *bare = argv[2];
    const int idleSeconds = argc > 3 ? std::atoi(argv[3]) : 60;
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "telvo-measure: no X display\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);

    // Alternate the two programs, and which goes first, so that both see the
    // same machine.
    constexpr int kRounds = 20;
    std::vector<double> clockStart, bareStart, clockRss, bareRss;
    for (int round = 0; round < kRounds; ++round) {
        for (bool isClock : {round % 2 == 0, round % 2 != 0}) {
            pid_t pid = 0;
            const double ms = StartAndWaitForWindow(display, isClock ? clock : bare, &pid);
            (isClock ? clockStart : bareStart).push_back(ms);
            if (round < 5) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                (isClock ? clockRss : bareRss).push_back(double(ResidentKiB(pid)));
            }
            Stop(pid);
        }
    }
    const double cs = Median(clockStart), bs = Median(bareStart);
    const double cr = Median(clockRss), br = Median(bareRss);
    std::printf("start-up to mapped window (median of %d): clock %.1f ms, bare window %.1f ms, ratio %.3f\n",
                kRounds, cs, bs, cs / bs);
    std::printf("resident memory (median of 5): clock %.0f KiB, bare window %.0f KiB, ratio %.3f\n", cr, br,
                cr / br);
    std::fflush(stdout);

    // All three idle side by side over the same stretch of time; the bare
    // window ticking as the clock must shows what Qt's timers cost alone.
    pid_t clockPid = 0, barePid = 0, tickingPid = 0;
    StartAndWaitForWindow(display, clock, &clockPid);
    StartAndWaitForWindow(display, bare, &barePid);
    StartAndWaitForWindow(display, bare, &tickingPid, "--ticking");
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const double clockBefore = CpuMs(clockPid), bareBefore = CpuMs(barePid),
                 tickingBefore = CpuMs(tickingPid);
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    const double clockUsed = CpuMs(clockPid) - clockBefore, bareUsed = CpuMs(barePid) - bareBefore;
    const double tickingUsed = CpuMs(tickingPid) - tickingBefore;
    for (pid_t pid : {clockPid, barePid, tickingPid}) {
        Stop(pid);
    }
    const double perMinute = 60.0 / idleSeconds;
    std::printf(
        "idle CPU over %d s: clock %.1f ms (%.1f ms a minute, %.3f %% of a core); bare window %.1f ms;"
        " bare window ticking every 100 ms %.1f ms (%.1f ms a minute)\n",
        idleSeconds, clockUsed, clockUsed * perMinute, clockUsed / (idleSeconds * 10.0), bareUsed,
        tickingUsed, tickingUsed * perMinute);
    XCloseDisplay(display);
    return 0;
}
