#pragma once

// How the clock meets the desktop session before and around its window:
// which Qt platform to run on, whether the display can be opened at all, and
// ending cleanly on the signals a session sends.

#include <QObject>

#include <initializer_list>
#include <string>

class QSocketNotifier;
struct xcb_connection_t;

namespace telvo::platform {

// What the environment says about the desktop.
struct SessionEnvironment {
    std::string qtPlatform;     // QT_QPA_PLATFORM: the user's own choice, if any
    std::string display;        // DISPLAY
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string runtimeDir;     // XDG_RUNTIME_DIR, where Wayland sockets live
};

struct LaunchPlan {
    std::string platform;      // what to set QT_QPA_PLATFORM to; empty to leave it
    bool needsX = false;       // the X display must be opened first
    bool needsWayland = false; // the Wayland display must be reached first
    std::string error;         // why the clock cannot start; empty if it can
};

// The round outline and dragging rely on X, so the clock runs on X wherever
// there is one, XWayland included, unless the user chose a platform.
LaunchPlan PlanLaunch(const SessionEnvironment &environment);

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

private:
    xcb_connection_t *connection_ = nullptr;
};

// Opens a connection to the X display; an empty text when that works, else
// what went wrong. The connection is closed, or kept in `keep`.
std::string CheckXDisplay(const std::string &display, HeldXConnection *keep = nullptr);

// Reaches the Wayland compositor's socket and checks that Qt can speak
// Wayland here; an empty text when both hold, else what went wrong.
std::string CheckWaylandDisplay(const std::string &waylandDisplay, const std::string &runtimeDir);

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
