#pragma once

#include <string>

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

SessionEnvironment CurrentSessionEnvironment();

} // namespace telvo::platform
