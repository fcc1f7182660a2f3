#include "session.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace telvo::platform {

LaunchPlan PlanLaunch(const SessionEnvironment &environment) {
    LaunchPlan plan;
    if (!environment.qtPlatform.empty()) {
        plan.needsX = environment.qtPlatform.starts_with("xcb");
        plan.needsWayland = environment.qtPlatform.starts_with("wayland");
        if (plan.needsX && environment.display.empty()) {
            plan.error = "no X display: QT_QPA_PLATFORM asks for xcb but DISPLAY is not set";
        } else if (plan.needsWayland && environment.waylandDisplay.empty()) {
            plan.error =
                "no Wayland display: QT_QPA_PLATFORM asks for wayland but WAYLAND_DISPLAY is not set";
        }
        return plan;
    }
    if (!environment.display.empty()) {
        plan.platform = "xcb";
        plan.needsX = true;
        return plan;
    }
    if (!environment.waylandDisplay.empty()) {
        plan.platform = "wayland";
        plan.needsWayland = true;
        return plan;
    }
    plan.error = "no display: neither DISPLAY nor WAYLAND_DISPLAY is set";
    return plan;
}

SessionEnvironment CurrentSessionEnvironment() {
    auto get = [](const char *name) {
        const char *value = std::getenv(name);
        return std::string(value != nullptr ? value : "");
    };
    return {get("QT_QPA_PLATFORM"), get("DISPLAY"), get("WAYLAND_DISPLAY"), get("XDG_RUNTIME_DIR")};
}

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

int signalSocket[2] = {-1, -1};

void WriteSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[0], &byte, 1);
    errno = saved;
}

} // namespace

QuitOnSignals::QuitOnSignals(std::initializer_list<int> quitSignals, QObject *parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSocket) != 0) {
        qWarning("telvo-clock: no socket for signals; they will end the clock abruptly");
        return;
    }
    notifier_ = new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitOnSignals::Received);

    struct sigaction action {};
    action.sa_handler = WriteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : quitSignals) {
        sigaction(signal, &action, nullptr);
    }
}

QuitOnSignals::~QuitOnSignals() {
    for (int &fd : signalSocket) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

void QuitOnSignals::Received() {
    char bytes[16];
    while (::read(signalSocket[1], bytes, sizeof bytes) > 0) {
    }
    QCoreApplication::exit(0);
}

} // namespace telvo::platform
