#include "session_environment.h"

#include <cstdlib>

namespace telvo::platform {

SessionEnvironment CurrentSessionEnvironment() {
    auto get = [](const char *name) {
        const char *value = std::getenv(name);
        return std::string(value != nullptr ? value : "");
    };
    return {get("QT_QPA_PLATFORM"),
            get("DISPLAY"),
            get("WAYLAND_DISPLAY"),
            get("XDG_RUNTIME_DIR"),
            {},
            {},
            get("DBUS_SESSION_BUS_ADDRESS")};
}

} // namespace telvo::platform
