// Start-up time and resident memory of the clock beside a bare frameless Qt
// window, and its idle wake-ups and CPU beside xclock, oclock and the bare
// window changing its label every second, on the X server named by DISPLAY
// (scripts/measure starts one of its own). With --qt-only the idle figures
// leave out the X yardsticks, which do not scale: scripts/measure runs it so
// at a device scale of 2, where the bare window is the yardstick. With
// --wayland only the idle figures of the clock and the bare window are taken,
// both as clients of the compositor named by WAYLAND_DISPLAY. Beside the
// idle span's CPU ratios it gives the median of its ten-second slices' ones.
//
//     telvo-measure CLOCK BARE [IDLE-SECONDS] [--qt-only | --wayland]

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
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

constexpr int kWarmUpSeconds = 60;

// Starts a program; a yardstick's complaints (xclock's about font sets) are
// not ours to print.
pid_t Spawn(const std::vector<const char *> &command, bool quiet) {
    std::vector<char *> argv;
    for (const char *word : command) {
        argv.push_back(const_cast<char *>(word));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        std::fprintf(stderr, "telvo-measure: cannot start %s\n", argv[0]);
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
double StartAndWaitForWindow(Display *display, const std::vector<const char *> &command, pid_t *pid,
                             bool quiet = false) {
    XSync(display, True);
    const Clock::time_point start = Clock::now();
    *pid = Spawn(command, quiet);
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
    std::fprintf(stderr, "telvo-measure: %s mapped no window in 20 s\n", command.front());
    Stop(*pid);
    std::exit(1);
}

// a / b, or "-" where b is nothing to compare with.
std::string Ratio(double a, double b) {
    char text[32];
    if (b <= 0) {
        return "-";
    }
    std::snprintf(text, sizeof text, "%.2f", a / b);
    return text;
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

// How often the threads of a process went to sleep: each time, something
// woke it again. Being pushed off a core by other work (an involuntary
// switch) is no wake-up, and on a busy machine it comes with any long tick.
double ContextSwitches(pid_t pid) {
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    double switches = 0;
    for (const auto &task : std::filesystem::directory_iterator(tasks)) {
        std::ifstream status(task.path() / "status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) {
                switches += std::stod(line.substr(line.find(':') + 1));
            }
        }
    }
    return switches;
}

struct Idle {
    const char *name;
    std::vector<const char *> command;
    pid_t pid = 0;
    double cpuMs = 0, wakeups = 0;
    std::vector<double> sliceCpuMs{}; // in each slice of the idle span
};

// The idle span is read in slices too: a burst of other work on this machine
// lands in one slice, and the median of the slices' ratios leaves it out
// where the whole span's ratio takes it in.
constexpr int kSliceSeconds = 10;

// Idle side by side over the same stretch of time, after a warm-up: the
// first program is the clock, the others its yardsticks.
void MeasureIdle(std::vector<Idle> &idle, int idleSeconds) {
    // A minute first, in which each of the sixty seconds' words is drawn once
    // and the glyphs the clock needs are cached: then it runs as it does all day.
    std::this_thread::sleep_for(std::chrono::seconds(kWarmUpSeconds));
    std::vector<double> sliceStart;
    for (Idle &program : idle) {
        program.cpuMs = -CpuMs(program.pid);
        program.wakeups = -ContextSwitches(program.pid);
        sliceStart.push_back(-program.cpuMs);
    }
    const int slices = std::max(1, idleSeconds / kSliceSeconds);
    for (int slice = 0; slice < slices; ++slice) {
        const int seconds = slice + 1 < slices ? kSliceSeconds : idleSeconds - slice * kSliceSeconds;
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        for (std::size_t i = 0; i < idle.size(); ++i) {
            const double now = CpuMs(idle[i].pid);
            idle[i].sliceCpuMs.push_back(now - sliceStart[i]);
            sliceStart[i] = now;
        }
    }
    for (Idle &program : idle) {
        program.cpuMs += CpuMs(program.pid);
        program.wakeups += ContextSwitches(program.pid);
        Stop(program.pid);
    }
    const double perMinute = 60.0 / idleSeconds;
    std::printf("idle over %d s after %d s, all threads (wake-ups a second; CPU a minute):\n", idleSeconds,
                kWarmUpSeconds);
    const Idle &ours = idle.front();
    for (const Idle &program : idle) {
        std::printf("  %-26s %5.2f wake-ups/s  %7.1f ms CPU/min", program.name, program.wakeups / idleSeconds,
                    program.cpuMs * perMinute);
        if (&program != &ours) {
            std::printf("   clock/this: wake-ups %s, CPU %s", Ratio(ours.wakeups, program.wakeups).c_str(),
                        Ratio(ours.cpuMs, program.cpuMs).c_str());
        }
        std::printf("\n");
    }
    for (const Idle &program : idle) {
        if (&program == &ours || slices < 2) {
            continue;
        }
        // A yardstick that sleeps through whole slices (oclock draws once a
        // minute) has no ratio in them.
        if (std::find(program.sliceCpuMs.begin(), program.sliceCpuMs.end(), 0.0) !=
            program.sliceCpuMs.end()) {
            continue;
        }
        std::vector<double> ratios;
        for (int slice = 0; slice < slices; ++slice) {
            ratios.push_back(ours.sliceCpuMs[std::size_t(slice)] / program.sliceCpuMs[std::size_t(slice)]);
        }
        const auto [least, most] = std::minmax_element(ratios.begin(), ratios.end());
        std::printf("  clock/%s CPU in %d slices of %d s: median %.2f (%.2f to %.2f)\n", program.name, slices,
                    kSliceSeconds, Median(ratios), *least, *most);
    }
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: telvo-measure CLOCK BARE [IDLE-SECONDS] [--qt-only | --wayland]\n");
        return 2;
    }
    const char *clock = argv[1];
    const char *bare = argv[2];
    const int idleSeconds = argc > 3 ? std::atoi(argv[3]) : 60;
    const std::string mode = argc > 4 ? argv[4] : "";
    if (mode == "--wayland") {
        std::vector<Idle> idle = {{"clock", {clock}}, {"bare window --tick", {bare, "--tick"}}};
        for (Idle &program : idle) {
            program.pid = Spawn(program.command, false);
        }
        MeasureIdle(idle, idleSeconds);
        return 0;
    }
    const bool qtOnly = mode == "--qt-only";
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
            const double ms = StartAndWaitForWindow(display, {isClock ? clock : bare}, &pid);
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

    // Idle side by side over the same stretch of time on the same server:
    // the clock, a digital clock that redraws every second, a round analogue
    // one, and the least a Qt window showing the seconds spends.
    std::vector<Idle> idle = {{"clock", {clock}},
                              {"xclock -digital -update 1", {"xclock", "-digital", "-update", "1"}},
                              {"oclock", {"oclock"}},
                              {"bare window --tick", {bare, "--tick"}}};
    if (qtOnly) {
        idle.erase(idle.begin() + 1, idle.begin() + 3);
    }
    for (Idle &program : idle) {
        StartAndWaitForWindow(display, program.command, &program.pid, &program != &idle.front());
    }
    MeasureIdle(idle, idleSeconds);
    XCloseDisplay(display);
    return 0;
}
