#pragma once

// What the clock asks of the desktop before Qt starts: whether the X or the
// Wayland display can be reached, and whether a session bus runs.

#include "session_environment.h"

#include <string>

struct xcb_connection_t;

namespace telvo::platform {

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

// Whether some client owns the named selection on the X display of `x`.
bool XSelectionOwned(xcb_connection_t *x, const std::string &selection);

// Whether a session bus runs that the clock can reach without starting one:
// its address is set, the user's bus listens at $XDG_RUNTIME_DIR/bus, or D-Bus
// started one for this user on the X display of `x` (which may be null).
// Where none runs, Qt's accessibility support would have D-Bus start a bus
// for the display, which outlives the clock; and where there is no bus there
// is no screen reader to reach.
bool SessionBusRunning(const SessionEnvironment &environment, xcb_connection_t *x);

} // namespace telvo::platform
