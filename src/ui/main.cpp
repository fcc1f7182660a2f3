#include "command_line.h"
#include "display_probes.h"
#include "frm_telvo.h"
#include "launch_plan.h"
#include "qt_platforms.h"
#include "quit_on_signals.h"

#include <QApplication>

#include <csignal>
#include <cstdio>

namespace {

constexpr const char *kUsage =
    R"(Usage: telvo-clock [Qt options]
A small round desktop clock: the time of day in digits and, below them, the
hour, the minute and the second in Italian words.

Drag the ball with any mouse button (under GNOME on Wayland, the left one) to
move the clock; double-click it to close it. Typed digits are spelled on the
second's line until the next tick.

Options:
  -h, --help                 print this text and exit
  --version                  print the version and exit
Qt's own options still apply, with one dash or two, among them:
  -platform NAME             xcb (X11), wayland, or a list such as "wayland;xcb"
  -display DISPLAY           the X display to open on xcb
  -qwindowgeometry GEOMETRY  where the window first appears, WIDTHxHEIGHT+X+Y

Environment:
  QT_QPA_PLATFORM            the platform, as -platform; unset, the clock runs on
                             Wayland where a compositor answers at WAYLAND_DISPLAY,
                             and on X at DISPLAY elsewhere
)";

} // namespace

int main(int argc, char *argv[]) {
    // The clock's own options come first: they need no display.
    const telvo::platform::CommandLine command = telvo::platform::ReadCommandLine(argc, argv);
    if (!command.error.empty()) {
        std::fprintf(stderr, "telvo-clock: %s; see telvo-clock --help\n", command.error.c_str());
        return 2;
    }
    if (command.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command.version) {
        std::puts("Telvo Clock 1.00");
        return 0;
    }

    // Qt aborts when it cannot open its display; find out first and say so.
    telvo::platform::SessionEnvironment session = telvo::platform::CurrentSessionEnvironment();
    session.platformOption = command.platform;
    session.displayOption = command.display;
    const bool waylandSession = telvo::platform::IsWaylandSession(session);
    // Qt aborts on a platform it has no plugin for, too.
    const telvo::platform::LaunchPlan plan = telvo::platform::PlanLaunch(
        session, waylandSession, telvo::platform::QtPlatformCheck(command.pluginPath));
    telvo::platform::HeldXConnection probe;
    const std::string problem = telvo::platform::CheckLaunch(plan, session, waylandSession, &probe);
    if (!problem.empty()) {
        std::fprintf(stderr, "telvo-clock: %s\n", problem.c_str());
        return 1;
    }
    if (!plan.platform.empty()) {
        qputenv("QT_QPA_PLATFORM", plan.platform.c_str());
    }
    // With no session bus, D-Bus would start one for the display (and leave
    // it running) the moment Qt's accessibility support asks for the bus.
    if (!telvo::platform::SessionBusRunning(session, probe.Connection())) {
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    }
    // Each repaint through X shared memory brings a completion event that
    // wakes two threads; a window this small is as quickly sent whole. The
    // user's own setting wins.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }

    QApplication app(argc, argv);
    probe.Close(); // Qt holds its own connection now
    QApplication::setApplicationName("Telvo Clock");
    QApplication::setApplicationVersion("1.00");
    // Taskbars and Wayland compositors find the clock's desktop entry and icon by it.
    QGuiApplication::setDesktopFileName("org.telvo.TelvoClock");
    // There is nothing to save: a session's request to end is honoured at once.
    telvo::platform::QuitOnSignals quit({SIGTERM, SIGINT, SIGHUP});

    telvo::FrmTelvo window;
    window.show();
    return QApplication::exec();
}
