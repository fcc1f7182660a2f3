#include "session.h"

#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>

using telvo::platform::LaunchPlan;
using telvo::platform::PlanLaunch;
using telvo::platform::SessionEnvironment;

class TestSession : public QObject {
    Q_OBJECT

private slots:
    void platformChoice_data();
    void platformChoice();
    void unreachableXDisplay_data();
    void unreachableXDisplay();
    void waylandSocket();
};

void TestSession::platformChoice_data() {
    QTest::addColumn<QString>("qtPlatform");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("wayland");
    QTest::addColumn<QString>("platform");
    QTest::addColumn<bool>("needsX");
    QTest::addColumn<bool>("needsWayland");
    QTest::addColumn<bool>("fails");

    QTest::newRow("X11 session") << ""
                                 << ":0"
                                 << ""
                                 << "xcb" << true << false << false;
    QTest::newRow("Wayland with XWayland: X") << ""
                                              << ":0"
                                              << "wayland-0"
                                              << "xcb" << true << false << false;
    QTest::newRow("Wayland only") << ""
                                  << ""
                                  << "wayland-0"
                                  << "wayland" << false << true << false;
    QTest::newRow("no display at all") << ""
                                       << ""
                                       << ""
                                       << "" << false << false << true;
    QTest::newRow("user chose wayland") << "wayland"
                                        << ":0"
                                        << "wayland-0"
                                        << "" << false << true << false;
    QTest::newRow("user chose wayland, none there") << "wayland"
                                                    << ":0"
                                                    << ""
                                                    << "" << false << true << true;
    QTest::newRow("user chose xcb") << "xcb"
                                    << ":1"
                                    << "wayland-0"
                                    << "" << true << false << false;
    QTest::newRow("user chose xcb, no DISPLAY") << "xcb"
                                                << ""
                                                << "wayland-0"
                                                << "" << true << false << true;
    QTest::newRow("user chose offscreen") << "offscreen"
                                          << ""
                                          << ""
                                          << "" << false << false << false;
}

void TestSession::platformChoice() {
    QFETCH(QString, qtPlatform);
    QFETCH(QString, display);
    QFETCH(QString, wayland);
    const LaunchPlan plan =
        PlanLaunch({qtPlatform.toStdString(), display.toStdString(), wayland.toStdString(), "/run"});
    QTEST(QString::fromStdString(plan.platform), "platform");
    QTEST(plan.needsX, "needsX");
    QTEST(plan.needsWayland, "needsWayland");
    QTEST(!plan.error.empty(), "fails");
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

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
