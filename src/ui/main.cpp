#include "frm_telvo.h"
#include "session.h"

#include <QApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char *argv[]) {
    // Qt aborts when it cannot open its display; find out first and say so.
    telvo::platform::SessionEnvironment session = telvo::platform::CurrentSessionEnvironment();
    telvo::platform::ReadQtOptions(session, argc, argv);
    const telvo::platform::LaunchPlan plan =
        telvo::platform::PlanLaunch(session, telvo::platform::IsWaylandSession(session));
    telvo::platform::HeldXConnection probe;
    const std::string problem = telvo::platform::CheckLaunch(plan, session, &probe);
    if (!problem.empty()) {
        std::fprintf(stderr, "telvo-clock: %s\n", problem.c_str());
        return 1;
    }
    if (!plan.platform.empty()) {
        qputenv("QT_QPA_PLATFORM", plan.platform.c_str());
    }
    // Each repaint through X shared memory brings a completion event that
    // wakes two threads; a window this small is as quickly sent whole. The
    // user's own setting wins.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }

    QApplication app(argc, argv);
    probe.Close(); // Qt holds its own connection now
    QApplication::setApplicationName("Telvo Clock");
    QApplication::setApplicationVersion("1.00");
    // The only text boxes lie out of sight; a blinking cursor in the focused
    // one would wake the clock twice a second to draw what nobody sees.
    QApplication::setCursorFlashTime(0);
    // There is nothing to save: a session's request to end is honoured at once.
    telvo::platform::QuitOnSignals quit({SIGTERM, SIGINT, SIGHUP});

    telvo::FrmTelvo window;
    window.show();
    return QApplication::exec();
}
