#include "display_probes.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace telvo::platform {

void HeldXConnection::Hold(xcb_connection_t *connection) {
    Close();
    connection_ = connection;
}

void HeldXConnection::Close() {
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
        connection_ = nullptr;
    }
}

std::string CheckXDisplay(const std::string &display, HeldXConnection *keep) {
    xcb_connection_t *connection = xcb_connect(display.empty() ? nullptr : display.c_str(), nullptr);
    const int error = xcb_connection_has_error(connection);
    if (error == 0 && keep != nullptr) {
        keep->Hold(connection);
        return {};
    }
    xcb_disconnect(connection);
    if (error == 0) {
        return {};
    }
    std::string why = "cannot open display \"" + display + "\"";
    switch (error) {
    case XCB_CONN_CLOSED_PARSE_ERR:
        return why + ": not a display name";
    case XCB_CONN_CLOSED_INVALID_SCREEN:
        return why + ": no such screen";
    default:
        return why + ": the X server refused or is not running";
    }
}

std::string CheckWaylandDisplay(const std::string &waylandDisplay, const std::string &runtimeDir) {
    const std::string path =
        waylandDisplay.starts_with('/') ? waylandDisplay : runtimeDir + "/" + waylandDisplay;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path || (runtimeDir.empty() && !waylandDisplay.starts_with('/'))) {
        return "cannot reach Wayland display \"" + waylandDisplay + "\": no socket path";
    }
    path.copy(address.sun_path, path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool reached =
        fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    if (!reached) {
        return "cannot reach Wayland display \"" + waylandDisplay + "\" at " + path;
    }
    const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms");
    if (platforms.entryList({"libqwayland*.so"}, QDir::Files).isEmpty()) {
        return "this Qt has no Wayland platform plugin (Debian: qt6-wayland)";
    }
    return {};
}

namespace {

// The machine's id as D-Bus reads it: its own file first, then the system's.
std::string MachineId() {
    for (const char *path : {"/var/lib/dbus/machine-id", "/etc/machine-id"}) {
        QFile file(path);
        if (const QByteArray id = file.open(QIODevice::ReadOnly) ? file.readLine().trimmed() : QByteArray();
            !id.isEmpty()) {
            return id.toStdString();
        }
    }
    return {};
}

// Whether a bus that dbus-launch started for this user and machine serves
// the display: it owns a selection named after both.
bool BusOnDisplay(xcb_connection_t *x) {
    const passwd *user = ::getpwuid(::getuid());
    const std::string machine = MachineId();
    if (x == nullptr || user == nullptr || machine.empty()) {
        return false;
    }
    return XSelectionOwned(x, "_DBUS_SESSION_BUS_SELECTION_" + std::string(user->pw_name) + "_" + machine);
}

} // namespace

bool XSelectionOwned(xcb_connection_t *x, const std::string &selection) {
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        x, xcb_intern_atom(x, 1, static_cast<std::uint16_t>(selection.size()), selection.c_str()), nullptr);
    if (atom == nullptr) {
        return false;
    }
    xcb_get_selection_owner_reply_t *owner =
        atom->atom != XCB_ATOM_NONE
            ? xcb_get_selection_owner_reply(x, xcb_get_selection_owner(x, atom->atom), nullptr)
            : nullptr;
    const bool owned = owner != nullptr && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    std::free(atom);
    return owned;
}

bool SessionBusRunning(const SessionEnvironment &environment, xcb_connection_t *x) {
    if (!environment.sessionBus.empty()) {
        return true;
    }
    struct stat bus {};
    if (!environment.runtimeDir.empty() && ::stat((environment.runtimeDir + "/bus").c_str(), &bus) == 0 &&
        S_ISSOCK(bus.st_mode)) {
        return true;
    }
    return BusOnDisplay(x);
}

} // namespace telvo::platform
