#include "command_line.h"

#include <algorithm>
#include <span>
#include <string_view>

namespace telvo::platform {

namespace {

// Qt's options, as QGuiApplication, QApplication and the X11 platform take
// them: those that take a value, and those that stand alone.
constexpr std::string_view kQtOptionsWithValue[] = {"platform",
                                                    "platformpluginpath",
                                                    "platformtheme",
                                                    "plugin",
                                                    "qwindowgeometry",
                                                    "qwindowicon",
                                                    "qwindowtitle",
                                                    "style",
                                                    "stylesheet",
                                                    "session",
                                                    "display",
                                                    "name",
                                                    "visual",
                                                    "geometry",
                                                    "title"};
constexpr std::string_view kQtOptionsAlone[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
// Those that also take their value after "=".
constexpr std::string_view kQtOptionsWithEquals[] = {"style", "stylesheet"};

bool Contains(std::span<const std::string_view> names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

CommandLine ReadCommandLine(int argc, const char *const *argv) {
    CommandLine command;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            command.help = true;
            continue;
        }
        if (argument == "--version") {
            command.version = true;
            continue;
        }
        // Qt takes its options with one dash or two, and their values as the next word.
        std::string_view name = argument.starts_with("--")  ? argument.substr(2)
                                : argument.starts_with('-') ? argument.substr(1)
                                                            : std::string_view();
        std::string_view value;
        if (const std::size_t equals = name.find('='); equals != std::string_view::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            if (!Contains(kQtOptionsWithEquals, name)) {
                name = {};
            }
        } else if (Contains(kQtOptionsWithValue, name)) {
            if (i + 1 >= argc) {
                command.error = "option '" + std::string(argument) + "' needs a value";
                break;
            }
            value = argv[++i];
        } else if (!Contains(kQtOptionsAlone, name)) {
            name = {};
        }
        if (name.empty()) {
            command.error = "unknown argument '" + std::string(argument) + "'";
            break;
        }
        if (name == "platform") {
            command.platform = value;
        } else if (name == "display") {
            command.display = value;
        } else if (name == "platformpluginpath") {
            command.pluginPath = value;
        }
    }
    return command;
}

} // namespace telvo::platform
