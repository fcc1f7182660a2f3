#pragma once

// How the clock meets the desktop session before and around its window:
// which Qt platform to run on, whether the display can be opened at all, and
// ending cleanly on the signals a session sends.

#include <QObject>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class QSocketNotifier;
struct xcb_connection_t;

namespace telvo::platform {

// What the environment and Qt's own command-line options say about the desktop.
struct SessionEnvironment {
    std::string qtPlatform;     // QT_QPA_PLATFORM: the user's own choice, if any
    std::string display;        // DISPLAY
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string runtimeDir;     // XDG_RUNTIME_DIR, where Wayland sockets live
    std::string platformOption; // Qt's -platform option, which wins over QT_QPA_PLATFORM
    std::string displayOption;  // Qt's -display option, which wins over DISPLAY
    std::string sessionBus;     // DBUS_SESSION_BUS_ADDRESS
};

struct LaunchPlan {
    std::string platform;           // what to set QT_QPA_PLATFORM to; empty to leave it
    std::vector<std::string> tries; // the platforms Qt may end up on, in the order it tries them
    std::string display;            // the X display Qt opens on xcb
    std::string error;              // why the clock cannot start; empty if it can
};

// In a Wayland session (a compositor answers at WAYLAND_DISPLAY and Qt has
// its Wayland plugin) the clock is a native Wayland client, also where
// XWayland offers an X display too; elsewhere it runs on X. A platform the
// user chose, by Qt's -platform option or QT_QPA_PLATFORM (lists such as
// "wayland;xcb" included), is left to Qt; only what it could not run at all
// is refused, and so is a platform that Qt has no plugin for, as `qtLacks`
// finds (an empty text where Qt has it): Qt would abort there.
using PlatformCheck = std::function<std::string(const std::string &name)>;
LaunchPlan PlanLaunch(const SessionEnvironment &environment, bool waylandSession,
                      const PlatformCheck &qtLacks = {});

// Looks for Qt's platform plugins in Qt's own folder, in the folders that
// QT_PLUGIN_PATH names and beside the program, and in the folder that Qt's
// -platformpluginpath option or QT_QPA_PLATFORM_PLUGIN_PATH names. A plugin
// file named after the platform (libqxcb.so, libqwayland-egl.so for
// "wayland") is taken on trust; only where none is, the plugins' own names
// are read, and the refusal lists them.
PlatformCheck QtPlatformCheck(const std::string &pluginPathOption);

// What the clock's own command line asks for. Qt's options pass through to
// Qt; anything else is refused.
struct CommandLine {
    bool help = false;      // --help, -h
    bool version = false;   // --version
    std::string platform;   // Qt's -platform option, which wins over QT_QPA_PLATFORM
    std::string display;    // Qt's -display option, which wins over DISPLAY
    std::string pluginPath; // Qt's -platformpluginpath option
    std::string error;      // what is wrong with the arguments, if anything
};

CommandLine ReadCommandLine(int argc, const char *const *argv);

SessionEnvironment CurrentSessionEnvironment();

// A connection to the X display, held open until Qt has opened its own: an
// X server with no other client resets when its last client leaves, and a
// reset just as Qt connects would fail Qt's connection.
class HeldXConnection {
public:
    HeldXConnection() = default;
    ~HeldXConnection() { Close(); }
    HeldXConnection(const HeldXConnection &) = delete;
    HeldXConnection &operator=(const HeldXConnection &) = delete;

    void Hold(xcb_connection_t *connection);
    void Close();
    xcb_connection_t *Connection() const { return connection_; }

private:
    xcb_connection_t *connection_ = nullptr;
};

// Opens a connection to the X display; an empty text when that works, else
// what went wrong. The connection is closed, or kept in `keep`.
std::string CheckXDisplay(const std::string &display, HeldXConnection *keep = nullptr);

// Reaches the Wayland compositor's socket and checks that Qt can speak
// Wayland here; an empty text when both hold, else what went wrong.
std::string CheckWaylandDisplay(const std::string &waylandDisplay, const std::string &runtimeDir);

// Whether a compositor answers at WAYLAND_DISPLAY and Qt can speak Wayland
// here, where the user chose no platform.
bool IsWaylandSession(const SessionEnvironment &environment);

// Whether Qt can start on one of the plan's platforms: an empty text when it
// can, else the first reason it cannot. A working X connection is kept in `keep`.
// `waylandSession` is what IsWaylandSession found, so the compositor is not asked twice.
std::string CheckLaunch(const LaunchPlan &plan, const SessionEnvironment &environment, bool waylandSession,
                        HeldXConnection *keep);

// Whether some client owns the named selection on the X display of `x`.
bool XSelectionOwned(xcb_connection_t *x, const std::string &selection);

// Whether a session bus runs that the clock can reach without starting one:
// its address is set, the user's bus listens at $XDG_RUNTIME_DIR/bus, or D-Bus
// started one for this user on the X display of `x` (which may be null).
// Where none runs, Qt's accessibility support would have D-Bus start a bus
// for the display, which outlives the clock; and where there is no bus there
// is no screen reader to reach.
bool SessionBusRunning(const SessionEnvironment &environment, xcb_connection_t *x);

// Ends the event loop with status 0 on any of the given signals. The signal
// handler only writes a byte to a socket; the loop reads it.
class QuitOnSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitOnSignals(std::initializer_list<int> quitSignals, QObject *parent = nullptr);
    ~QuitOnSignals() override;

private:
    void Received();

    QSocketNotifier *notifier_ = nullptr;
};

} // namespace telvo::platform
