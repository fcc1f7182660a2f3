#include "session.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>
#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <pwd.h>
#include <span>
#include <string_view>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace telvo::platform {

namespace {

// Whether a platform's name begins with that of a kind ("xcb", "wayland"),
// in any case, as Qt takes it.
bool IsKind(std::string_view platform, std::string_view kind) {
    return platform.size() >= kind.size() &&
           std::equal(kind.begin(), kind.end(), platform.begin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

// What a platform named by the user needs that Qt or the environment lacks, if anything.
std::string Lacks(const std::string &platform, const SessionEnvironment &environment,
                  const std::string &display, const PlatformCheck &qtLacks) {
    // A platform's options follow its name after colons: "xcb:nograb".
    if (qtLacks) {
        if (std::string lacks = qtLacks(platform.substr(0, platform.find(':'))); !lacks.empty()) {
            return lacks;
        }
    }
    if (IsKind(platform, "xcb") && display.empty()) {
        return "no X display: the platform \"xcb\" was chosen but DISPLAY is not set";
    }
    if (IsKind(platform, "wayland") && environment.waylandDisplay.empty()) {
        return "no Wayland display: the platform \"" + platform +
               "\" was chosen but WAYLAND_DISPLAY is not set";
    }
    return {};
}

} // namespace

LaunchPlan PlanLaunch(const SessionEnvironment &environment, bool waylandSession,
                      const PlatformCheck &qtLacks) {
    LaunchPlan plan;
    plan.display = environment.displayOption.empty() ? environment.display : environment.displayOption;
    const std::string &chosen =
        environment.platformOption.empty() ? environment.qtPlatform : environment.platformOption;
    if (!chosen.empty()) {
        // Qt tries each entry of a list in turn; those the environment cannot
        // serve fail there and Qt goes on.
        std::size_t from = 0;
        while (from <= chosen.size()) {
            const std::size_t end = std::min(chosen.find(';', from), chosen.size());
            const std::string platform = chosen.substr(from, end - from);
            from = end + 1;
            if (platform.empty()) {
                continue;
            }
            const std::string lacks = Lacks(platform, environment, plan.display, qtLacks);
            if (lacks.empty()) {
                plan.tries.push_back(platform);
            } else if (plan.error.empty()) {
                plan.error = lacks;
            }
        }
        if (!plan.tries.empty()) {
            plan.error.clear();
        }
        return plan;
    }
    if (waylandSession || (plan.display.empty() && !environment.waylandDisplay.empty())) {
        plan.platform = "wayland";
    } else if (!plan.display.empty()) {
        plan.platform = "xcb";
    } else {
        plan.error = "no display: neither DISPLAY nor WAYLAND_DISPLAY is set";
        return plan;
    }
    plan.tries = {plan.platform};
    return plan;
}

namespace {

// The files in the folders where Qt looks for platform plugins.
std::vector<std::filesystem::path> PlatformPluginFiles(const std::string &pluginPathOption) {
    QStringList folders;
    for (const QString &path :
         qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts)) {
        folders << path + "/platforms";
    }
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms"
            << QFileInfo("/proc/self/exe").canonicalPath() + "/platforms"
            << (pluginPathOption.empty() ? qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH")
                                         : QString::fromStdString(pluginPathOption));
    // Listed without QDir's name filters, whose pattern matching costs the
    // clock some 400 KB for good.
    std::vector<std::filesystem::path> files;
    for (const QString &folder : folders) {
        std::error_code error;
        for (const auto &entry : std::filesystem::directory_iterator(folder.toStdString(), error)) {
            if (entry.path().extension() == ".so") {
                files.push_back(entry.path());
            }
        }
    }
    return files;
}

} // namespace

PlatformCheck QtPlatformCheck(const std::string &pluginPathOption) {
    // The folders are listed at the first platform asked about, and once.
    return [pluginPathOption, listed = std::optional<std::vector<std::filesystem::path>>()](
               const std::string &name) mutable -> std::string {
        if (!listed) {
            listed = PlatformPluginFiles(pluginPathOption);
        }
        const std::vector<std::filesystem::path> &files = *listed;
        // Qt takes the names in any case.
        const QString wanted = QString::fromStdString(name);
        const std::string named = "libq" + wanted.toLower().toStdString();
        for (const std::filesystem::path &file : files) {
            const std::string base = file.filename().string();
            if (base == named + ".so" || base.starts_with(named + "-")) {
                return {};
            }
        }
        // Read from each file's metadata; no plugin is loaded.
        QStringList keys;
        for (const std::filesystem::path &file : files) {
            const QPluginLoader plugin(QString::fromStdString(file.string()));
            for (const QJsonValue key :
                 plugin.metaData().value("MetaData").toObject().value("Keys").toArray()) {
                keys << key.toString();
            }
        }
        if (keys.contains(wanted, Qt::CaseInsensitive)) {
            return {};
        }
        keys.sort();
        keys.removeDuplicates();
        return "no Qt platform \"" + name + "\" here; this Qt has " + keys.join(", ").toStdString();
    };
}

bool IsWaylandSession(const SessionEnvironment &environment) {
    const bool chosen = !environment.platformOption.empty() || !environment.qtPlatform.empty();
    return !chosen && !environment.waylandDisplay.empty() &&
           CheckWaylandDisplay(environment.waylandDisplay, environment.runtimeDir).empty();
}

std::string CheckLaunch(const LaunchPlan &plan, const SessionEnvironment &environment, bool waylandSession,
                        HeldXConnection *keep) {
    std::string problem = plan.error;
    for (const std::string &platform : plan.tries) {
        std::string lacks;
        if (IsKind(platform, "xcb")) {
            lacks = CheckXDisplay(plan.display, keep);
        } else if (IsKind(platform, "wayland") && !waylandSession) {
            lacks = CheckWaylandDisplay(environment.waylandDisplay, environment.runtimeDir);
        }
        if (lacks.empty()) {
            return {}; // where Qt will run
        }
        if (problem.empty()) {
            problem = lacks;
        }
    }
    return problem;
}

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
