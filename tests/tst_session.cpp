#include "command_line.h"
#include "display_probes.h"
#include "launch_plan.h"
#include "qt_platforms.h"

#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>

using telvo::platform::LaunchPlan;
using telvo::platform::PlanLaunch;
using telvo::platform::SessionEnvironment;

namespace {

// The program's name and the words of `arguments`, as main receives them.
class CommandWords {
public:
    explicit CommandWords(const QString &arguments) : words_{"telvo-clock"} {
        for (const QString &word : arguments.split(' ', Qt::SkipEmptyParts)) {
            words_.push_back(word.toStdString());
        }
        for (const std::string &word : words_) {
            pointers_.push_back(word.c_str());
        }
    }
    int Count() const { return int(pointers_.size()); }
    const char *const *Words() const { return pointers_.data(); }

private:
    std::vector<std::string> words_;
    std::vector<const char *> pointers_;
};

} // namespace

class TestSession : public QObject {
    Q_OBJECT

private slots:
    void platformChoice_data();
    void platformChoice();
    void commandLine_data();
    void commandLine();
    void unreachableXDisplay_data();
    void unreachableXDisplay();
    void waylandSocket();
    void sessionBus();
    void qtPlatforms();
};

void TestSession::platformChoice_data() {
    QTest::addColumn<QString>("qtPlatform");
    QTest::addColumn<QString>("options"); // Qt's own command-line options
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("wayland");
    QTest::addColumn<bool>("waylandSession"); // a compositor answers there
    QTest::addColumn<QString>("platform");    // what the clock sets
    QTest::addColumn<QString>("tries");       // what Qt may run on, in order
    QTest::addColumn<bool>("fails");

    auto row = [](const char *name) { return &QTest::newRow(name); };
    *row("X11 session") << ""
                        << ""
                        << ":0"
                        << "" << false << "xcb"
                        << "xcb" << false;
    *row("Wayland session with XWayland: Wayland") << ""
                                                   << ""
                                                   << ":0"
                                                   << "wayland-0" << true << "wayland"
                                                   << "wayland" << false;
    *row("WAYLAND_DISPLAY where no compositor answers: X") << ""
                                                           << ""
                                                           << ":0"
                                                           << "wayland-0" << false << "xcb"
                                                           << "xcb" << false;
    *row("Wayland only") << ""
                         << ""
                         << ""
                         << "wayland-0" << true << "wayland"
                         << "wayland" << false;
    *row("no display at all") << ""
                              << ""
                              << ""
                              << "" << false << ""
                              << "" << true;
    *row("user chose wayland") << "wayland"
                               << ""
                               << ":0"
                               << "wayland-0" << false << ""
                               << "wayland" << false;
    *row("user chose wayland, none there") << "wayland"
                                           << ""
                                           << ":0"
                                           << "" << false << ""
                                           << "" << true;
    *row("user chose xcb in a Wayland session") << "xcb"
                                                << ""
                                                << ":1"
                                                << "wayland-0" << false << ""
                                                << "xcb" << false;
    *row("user chose xcb, no DISPLAY") << "xcb"
                                       << ""
                                       << ""
                                       << "wayland-0" << false << ""
                                       << "" << true;
    *row("user chose XCB, no DISPLAY") << "XCB"
                                       << ""
                                       << ""
                                       << "wayland-0" << false << ""
                                       << "" << true;
    *row("user chose offscreen") << "offscreen"
                                 << ""
                                 << ""
                                 << "" << false << ""
                                 << "offscreen" << false;
    *row("fallback list, both there") << "wayland;xcb"
                                      << ""
                                      << ":0"
                                      << "wayland-0" << false << ""
                                      << "wayland;xcb" << false;
    *row("fallback list, only X there") << "wayland;xcb"
                                        << ""
                                        << ":0"
                                        << "" << false << ""
                                        << "xcb" << false;
    *row("-platform wins over QT_QPA_PLATFORM") << "wayland"
                                                << "-platform xcb"
                                                << ":0"
                                                << "wayland-0" << false << ""
                                                << "xcb" << false;
    *row("--platform, two dashes") << ""
                                   << "--platform offscreen"
                                   << ""
                                   << "" << false << ""
                                   << "offscreen" << false;
    *row("a list, with a platform Qt lacks") << "bogus;xcb:nograb"
                                             << ""
                                             << ":0"
                                             << "" << false << ""
                                             << "xcb:nograb" << false;
    *row("-display without DISPLAY") << ""
                                     << "-display :5"
                                     << ""
                                     << "" << false << "xcb"
                                     << "xcb" << false;
}

void TestSession::platformChoice() {
    QFETCH(QString, qtPlatform);
    QFETCH(QString, options);
    QFETCH(QString, display);
    QFETCH(QString, wayland);
    QFETCH(bool, waylandSession);
    SessionEnvironment environment{
        qtPlatform.toStdString(), display.toStdString(), wayland.toStdString(), "/run", {}, {}, {}};
    const CommandWords argv(options);
    const telvo::platform::CommandLine command = telvo::platform::ReadCommandLine(argv.Count(), argv.Words());
    environment.platformOption = command.platform;
    environment.displayOption = command.display;
    const LaunchPlan plan = PlanLaunch(environment, waylandSession, [](const std::string &name) {
        return name == "xcb" || name == "XCB" || name == "wayland" || name == "offscreen"
                   ? ""
                   : "no Qt platform " + name;
    });
    QTEST(QString::fromStdString(plan.platform), "platform");
    QStringList tries;
    for (const std::string &platform : plan.tries) {
        tries << QString::fromStdString(platform);
    }
    QTEST(tries.join(';'), "tries");
    QTEST(!plan.error.empty(), "fails");
}

void TestSession::commandLine_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<bool>("help");
    QTest::addColumn<bool>("version");
    QTest::addColumn<QString>("error");
    QTest::newRow("none") << "" << false << false << "";
    QTest::newRow("--help") << "--help" << true << false << "";
    QTest::newRow("-h") << "-h" << true << false << "";
    QTest::newRow("--version") << "--version" << false << true << "";
    QTest::newRow("Qt's options, one dash, two, and =")
        << "-platform xcb --display :1 -style=fusion -reverse" << false << false << "";
    QTest::newRow("an option of no one's") << "--verbose" << false << false << "unknown argument '--verbose'";
    QTest::newRow("a plain word") << "now" << false << false << "unknown argument 'now'";
    QTest::newRow("-platform=, which Qt does not take")
        << "-platform=xcb" << false << false << "unknown argument '-platform=xcb'";
    QTest::newRow("Qt's option without its value")
        << "-platform" << false << false << "option '-platform' needs a value";
}

void TestSession::commandLine() {
    QFETCH(QString, arguments);
    const CommandWords argv(arguments);
    const telvo::platform::CommandLine command = telvo::platform::ReadCommandLine(argv.Count(), argv.Words());
    QTEST(command.help, "help");
    QTEST(command.version, "version");
    QTEST(QString::fromStdString(command.error), "error");
}

void TestSession::unreachableXDisplay_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("says");
    QTest::newRow("no server there") << ":93"
                                     << "refused or is not running";
    QTest::newRow("not a display name") << "no-such-thing"
                                        << "not a display name";
}

void TestSession::unreachableXDisplay() {
    QFETCH(QString, display);
    const QString why = QString::fromStdString(telvo::platform::CheckXDisplay(display.toStdString()));
    QVERIFY2(why.contains(display), qPrintable(why));
    QTEST(why.mid(why.indexOf(": ") + 2).remove("the X server "), "says");
}

void TestSession::waylandSocket() {
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    const std::string dir = runtime.path().toStdString();
    const QString missing = QString::fromStdString(telvo::platform::CheckWaylandDisplay("wayland-9", dir));
    QVERIFY2(missing.startsWith("cannot reach Wayland display \"wayland-9\""), qPrintable(missing));

    // Something listening there gets past the socket; what remains is Qt's
    // own Wayland support, which this machine may or may not have.
    QLocalServer compositor;
    QVERIFY(compositor.listen(runtime.filePath("wayland-9")));
    const QString reached = QString::fromStdString(telvo::platform::CheckWaylandDisplay("wayland-9", dir));
    QVERIFY2(reached.isEmpty() || reached.contains("no Wayland platform plugin"), qPrintable(reached));
    QVERIFY(!telvo::platform::CheckWaylandDisplay("wayland-9", "").empty());
}

// The bus is found where the session says, or at the user's socket; with
// neither, and no X display to ask, there is none.
void TestSession::sessionBus() {
    QTemporaryDir runtime;
    SessionEnvironment environment;
    environment.runtimeDir = runtime.path().toStdString();
    QVERIFY(!telvo::platform::SessionBusRunning(environment, nullptr));
    QLocalServer bus;
    QVERIFY(bus.listen(runtime.filePath("bus")));
    QVERIFY(telvo::platform::SessionBusRunning(environment, nullptr));
    bus.close();
    environment.sessionBus = "unix:path=/run/user/1000/bus";
    QVERIFY(telvo::platform::SessionBusRunning(environment, nullptr));
}

// The platform plugins of the Qt that the suite runs on.
void TestSession::qtPlatforms() {
    const telvo::platform::PlatformCheck qtLacks = telvo::platform::QtPlatformCheck("");
    QVERIFY(qtLacks("xcb").empty());
    QVERIFY(qtLacks("XCB").empty());     // Qt takes names in any case
    QVERIFY(qtLacks("wayland").empty()); // from libqwayland-generic.so
    const QString lacks = QString::fromStdString(qtLacks("bogus"));
    QVERIFY2(lacks.startsWith("no Qt platform \"bogus\" here; this Qt has ") && lacks.contains(", xcb"),
             qPrintable(lacks));
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
