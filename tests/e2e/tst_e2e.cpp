// The real program on a real X server: its outline, dragging, closing, pointer
// and tooltip, driven through synthetic input and read back from the server.

#include "x_session.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <csignal>
#include <pwd.h>
#include <unistd.h>

namespace {

const QString kTitle = "Telvo Clock";
const QRgb kBackdrop = qRgb(0, 160, 0);

// Points of the window, in pixels from its top-left corner.
const QPoint kBareBall(50, 85);  // the picture, where no label reaches
const QPoint kBareBall2(85, 40); // another such point
const QPoint kDigits(47, 22);    // the time in digits: a label
const QPoint kOutsideCircle(95, 95);
const QPoint kHiddenTextBox(120, 20);

bool InCircle(QPoint p, double radius) {
    return std::hypot(p.x() + 0.5 - 50, p.y() + 0.5 - 50) < radius;
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT

private:
    XSession x_;
    QProcess clock_;
    XWindow window_ = 0;

    QRect Where() const { return x_.Geometry(window_); }
    QPoint Global(QPoint local) const { return Where().topLeft() + local; }

    // Presses at a point of the window, moves by `travel` in many small
    // steps sent as fast as the server takes them, and releases.
    void Drag(QPoint local, QPoint travel, int button, int steps = 40) {
        const QPoint from = Global(local);
        x_.MovePointer(from);
        x_.Press(button);
        for (int i = 1; i <= steps; ++i) {
            x_.MovePointer(from + travel * i / steps);
        }
        x_.Release(button);
        x_.Sync();
    }

    // Clicks twice, quickly, at a point of the window.
    void DoubleClick(QPoint local) {
        x_.MovePointer(Global(local));
        for (int click = 0; click < 2; ++click) {
            x_.Press(1);
            x_.Release(1);
            QTest::qWait(40);
        }
        x_.Sync();
    }

    // Brings the pointer onto a point of the window from off the window, as a
    // hand would, and waits for the condition; tries again a few times, since
    // the pointer's shape and the tooltip follow moves the clock has yet to
    // read while the X server still delivers the last drag.
    template <typename Condition> bool HoverUntil(QPoint local, Condition condition) {
        for (int attempt = 0; attempt < 6; ++attempt) {
            x_.MovePointer(Where().topLeft() - QPoint(20, 20));
            x_.MovePointer(Global(local) + QPoint(attempt % 2, 0));
            if (QTest::qWaitFor(condition, 1500)) {
                return true;
            }
        }
        return false;
    }

    // A drag that must move the window by its travel: proves that the clock
    // is still running and has handled everything sent before it.
    bool MovesWithADrag(QPoint travel, QPoint press = kBareBall) {
        const QPoint expected = Where().topLeft() + travel;
        Drag(press, travel, 1, 10);
        return QTest::qWaitFor([&] { return Where().topLeft() == expected; }, 5000);
    }

    void StartClock(const QStringList &settings, int scale = 1);
    void Stop();

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void undecoratedWindow();
    void onlyTheCircleIsDrawnAndTakesInput();
    void dragWithAnyButton_data();
    void dragWithAnyButton();
    void noDragOutsideTheCircleOrOnALabel();
    void doubleClickOnALabelKeepsTheClock();
    void doubleClickOnThePictureEndsIt();
    void startsNoSessionBus();
    void pointerAndTooltip();
    void signalsEndItCleanly_data();
    void signalsEndItCleanly();
    void noDisplay_data();
    void noDisplay();
    void displayGoesAway();
    void doubleScale();
    void dragAfterAWindowManagerClamps();
};

void TestEndToEnd::initTestCase() {
    QVERIFY2(x_.Connected(), "no X server: run this test under Xvfb");
    x_.ShowBackdrop(kBackdrop);
}

void TestEndToEnd::init() {
    StartClock({});
}

void TestEndToEnd::StartClock(const QStringList &settings, int scale) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    for (const QString &setting : settings) {
        env.insert(setting.section('=', 0, 0), setting.section('=', 1));
    }
    clock_.setProcessEnvironment(env);
    clock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    clock_.start(TELVO_CLOCK_BINARY, {});
    QVERIFY(clock_.waitForStarted());
    std::optional<XWindow> found;
    QVERIFY(QTest::qWaitFor([&] { return (found = x_.FindWindow(kTitle)).has_value(); }, 10000));
    window_ = *found;
    // Out of the corner, with room to move every way.
    QVERIFY(MovesWithADrag({200, 150}, kBareBall * scale));
}

void TestEndToEnd::Stop() {
    if (clock_.state() != QProcess::NotRunning) {
        clock_.terminate();
        if (!clock_.waitForFinished(3000)) {
            clock_.kill();
            clock_.waitForFinished();
        }
    }
}

void TestEndToEnd::cleanup() {
    Stop();
}

void TestEndToEnd::undecoratedWindow() {
    QCOMPARE(Where().size(), QSize(151, 144));
    QVERIFY(!x_.HasDecorations(window_));
}

void TestEndToEnd::onlyTheCircleIsDrawnAndTakesInput() {
    for (bool input : {false, true}) {
        const QRegion shape = x_.Shape(window_, input);
        QCOMPARE(shape.boundingRect(), QRect(0, 0, 100, 100));
        QVERIFY(shape.contains(QPoint(50, 50)));
        QVERIFY(!shape.contains(QPoint(3, 3)));
        QVERIFY(!shape.contains(kOutsideCircle));
        QVERIFY(!shape.contains(kHiddenTextBox));
        // A disc: every pixel's mirror images across both middle lines belong to it as it does.
        int asymmetric = 0, area = 0;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                const bool in = shape.contains(QPoint(x, y));
                area += in;
                asymmetric +=
                    in != shape.contains(QPoint(99 - x, y)) || in != shape.contains(QPoint(x, 99 - y));
            }
        }
        QCOMPARE(asymmetric, 0);
        QVERIFY2(std::abs(area - 7854) < 60, qPrintable(QString::number(area))); // pi * 50 * 50
    }

    const QImage shot = x_.Grab(Where());
    int wrongOutside = 0, backdropInside = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const bool backdrop = shot.pixel(x, y) == kBackdrop;
            wrongOutside += !InCircle({x, y}, 51) && !backdrop;
            backdropInside += InCircle({x, y}, 48) && backdrop;
        }
    }
    QCOMPARE(wrongOutside, 0);
    QCOMPARE(backdropInside, 0);
    const QColor ball = shot.pixelColor(kBareBall);
    QVERIFY2(ball.red() > 150 && ball.green() < ball.red(), qPrintable(ball.name()));
}

void TestEndToEnd::dragWithAnyButton_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("travel");
    QTest::newRow("left, down right") << 1 << kBareBall << QPoint(160, 120);
    QTest::newRow("middle, up left") << 2 << kBareBall2 << QPoint(-150, -90);
    QTest::newRow("right, sideways") << 3 << kBareBall << QPoint(173, -41);
}

void TestEndToEnd::dragWithAnyButton() {
    QFETCH(int, button);
    QFETCH(QPoint, press);
    QFETCH(QPoint, travel);
    const QPoint start = Where().topLeft();
    Drag(press, travel, button);
    QVERIFY(QTest::qWaitFor([&] { return Where().topLeft() == start + travel; }, 5000));
    QCOMPARE(Where().topLeft(), start + travel);
    // The pressed point of the picture is still under the pointer, and the
    // window kept its outline.
    QCOMPARE(Global(press), start + press + travel);
    QCOMPARE(x_.Shape(window_, false).boundingRect(), QRect(0, 0, 100, 100));
}

void TestEndToEnd::noDragOutsideTheCircleOrOnALabel() {
    const QPoint start = Where().topLeft();
    Drag(kOutsideCircle, {60, 40}, 1);
    Drag(kHiddenTextBox, {-60, 40}, 1);
    Drag(kDigits, {50, 50}, 1);
    // Moving over the picture with no button held.
    for (int i = 0; i < 20; ++i) {
        x_.MovePointer(Global(kBareBall) + QPoint(i, i));
    }
    QVERIFY(MovesWithADrag({10, 20}));
    QCOMPARE(Where().topLeft(), start + QPoint(10, 20));
}

void TestEndToEnd::doubleClickOnALabelKeepsTheClock() {
    DoubleClick(kDigits);
    QVERIFY(MovesWithADrag({-20, 10}));
    QCOMPARE(clock_.state(), QProcess::Running);
}

void TestEndToEnd::doubleClickOnThePictureEndsIt() {
    DoubleClick(kBareBall);
    QVERIFY(clock_.state() == QProcess::NotRunning || clock_.waitForFinished(5000));
    QCOMPARE(clock_.exitStatus(), QProcess::NormalExit);
    QCOMPARE(clock_.exitCode(), 0);
    QVERIFY(!x_.FindWindow(kTitle).has_value());
}

// Where no session bus runs, D-Bus would start one for the display, owning
// a selection named after the user and the machine, and leave it there.
void TestEndToEnd::startsNoSessionBus() {
    QFile machine("/var/lib/dbus/machine-id");
    if (!machine.open(QIODevice::ReadOnly)) {
        machine.setFileName("/etc/machine-id");
        if (!machine.open(QIODevice::ReadOnly)) {
            QSKIP("no machine id: D-Bus starts no bus for a display here");
        }
    }
    const QString selection = "_DBUS_SESSION_BUS_SELECTION_" +
                              QString::fromLocal8Bit(::getpwuid(::getuid())->pw_name) + "_" +
                              QString::fromLatin1(machine.readLine()).trimmed();
    Stop();
    QTemporaryDir runtime;
    StartClock({"DBUS_SESSION_BUS_ADDRESS=", "XDG_RUNTIME_DIR=" + runtime.path()});
    Stop();
    QVERIFY(!x_.SelectionOwned(selection));
}

void TestEndToEnd::pointerAndTooltip() {
    auto pointerIsHand = [&] {
        QPoint hotSpot;
        const QImage image = x_.PointerImage(&hotSpot);
        return image.size() == QSize(32, 32) && hotSpot == QPoint(6, 27);
    };
    QVERIFY(HoverUntil(kBareBall, pointerIsHand));
    QVERIFY(HoverUntil(kBareBall, [&] { return x_.VisibleTooltips() == 1; }));
    QVERIFY(HoverUntil(kDigits, [&] { return !pointerIsHand(); }));
    QPoint hotSpot;
    QVERIFY(!x_.PointerImage(&hotSpot).isNull());
}

void TestEndToEnd::signalsEndItCleanly_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestEndToEnd::signalsEndItCleanly() {
    QFETCH(int, signal);
    QCOMPARE(::kill(pid_t(clock_.processId()), signal), 0);
    QVERIFY(clock_.waitForFinished(5000));
    QCOMPARE(clock_.exitStatus(), QProcess::NormalExit);
    QCOMPARE(clock_.exitCode(), 0);
}

void TestEndToEnd::noDisplay_data() {
    QTest::addColumn<QString>("settings"); // NAME=value, separated by blanks
    QTest::addColumn<QString>("says");
    QTest::newRow("neither variable") << ""
                                      << "no display";
    QTest::newRow("X server not running") << "DISPLAY=:93"
                                          << "cannot open display \":93\"";
    // Qt aborts, with a core, on a platform it has no plugin for.
    QTest::newRow("unknown platform") << "DISPLAY=:93 QT_QPA_PLATFORM=bogus"
                                      << "no Qt platform \"bogus\" here; this Qt has ";
    QTest::newRow("Wayland socket missing") << "WAYLAND_DISPLAY=wayland-93"
                                            << "cannot reach Wayland display";
    // An X server resets when its last client leaves: the clock's own check
    // of the display must not be that client as Qt connects.
    QTest::newRow("fresh X server, no other client: starts") << "DISPLAY=fresh"
                                                             << "";
}

void TestEndToEnd::noDisplay() {
    QFETCH(QString, settings);
    QFETCH(QString, says);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    for (const QString &setting : settings.split(' ', Qt::SkipEmptyParts)) {
        env.insert(setting.section('=', 0, 0), setting.section('=', 1));
    }
    const QString display = env.value("DISPLAY");
    QProcess lonely;
    if (display == "fresh") {
        QProcess server;
        server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "320x240x24", "-nolisten", "tcp"});
        QVERIFY(server.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return server.canReadLine(); }, 10000));
        env.insert("DISPLAY", ":" + QString::fromLatin1(server.readLine()).trimmed());
        lonely.setProcessEnvironment(env);
        lonely.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        for (int start = 0; start < 5; ++start) {
            lonely.start(TELVO_CLOCK_BINARY, {});
            QVERIFY2(!lonely.waitForFinished(1000), "the clock ended on a fresh X server");
            lonely.terminate();
            QVERIFY(lonely.waitForFinished(5000));
            QCOMPARE(lonely.exitStatus(), QProcess::NormalExit);
            QCOMPARE(lonely.exitCode(), 0);
        }
        server.terminate();
        QVERIFY(server.waitForFinished(5000));
        return;
    }
    lonely.setProcessEnvironment(env);
    lonely.start(TELVO_CLOCK_BINARY, {});
    QVERIFY(lonely.waitForFinished(10000));
    QCOMPARE(lonely.exitStatus(), QProcess::NormalExit); // no abort, no core
    QCOMPARE(lonely.exitCode(), 1);
    const QStringList lines =
        QString::fromLocal8Bit(lonely.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.front().startsWith("telvo-clock: " + says), qPrintable(lines.front()));
}

void TestEndToEnd::displayGoesAway() {
    QProcess server;
    server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "320x240x24", "-nolisten", "tcp"});
    QVERIFY(server.waitForStarted());
    QVERIFY(
        QTest::qWaitFor([&] { return server.canReadLine() || server.state() != QProcess::Running; }, 10000));
    const QString display = ":" + QString::fromLatin1(server.readLine()).trimmed();
    QVERIFY(display.size() > 1);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    QProcess doomed;
    doomed.setProcessEnvironment(env);
    doomed.start(TELVO_CLOCK_BINARY, {});
    {
        // Closed before the server goes: Xlib ends any client that loses it.
        XSession other(display);
        QVERIFY(other.Connected());
        QVERIFY(QTest::qWaitFor([&] { return other.FindWindow(kTitle).has_value(); }, 10000));
    }

    server.kill();
    QVERIFY(server.waitForFinished());
    QVERIFY(doomed.waitForFinished(5000));
    QCOMPARE(doomed.exitStatus(), QProcess::NormalExit);
    QVERIFY(doomed.exitCode() != 0);
    const QString errors = QString::fromLocal8Bit(doomed.readAllStandardError());
    QVERIFY2(errors.contains("X11 connection broke"), qPrintable(errors));
}

// At a scale of 2 everything doubles: the window, and the circle to 200
// device pixels across, cut at the device's resolution, not the 100-pixel
// circle doubled.
void TestEndToEnd::doubleScale() {
    Stop();
    StartClock({"QT_SCALE_FACTOR=2"}, 2);
    QCOMPARE(Where().size(), QSize(302, 288));
    const QRegion shape = x_.Shape(window_, false);
    QCOMPARE(shape.boundingRect(), QRect(0, 0, 200, 200));
    int offCircle = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            offCircle += shape.contains(QPoint(x, y)) != (std::hypot(x + 0.5 - 100, y + 0.5 - 100) < 100);
        }
    }
    QCOMPARE(offCircle, 0);
    // The pointer drawn for the scale, its hot spot where the designed one is.
    QVERIFY(HoverUntil(kBareBall * 2, [&] {
        QPoint hotSpot;
        return x_.PointerImage(&hotSpot).size() == QSize(64, 64) && hotSpot == QPoint(12, 54);
    }));
    const QImage shot = x_.Grab(Where());
    int wrong = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const double r = std::hypot(x + 0.5 - 100, y + 0.5 - 100);
            const bool backdrop = shot.pixel(x, y) == kBackdrop;
            wrong += (r < 96 && backdrop) || (r > 102 && !backdrop);
        }
    }
    QCOMPARE(wrong, 0);
    shot.save(QDir::temp().filePath("telvo-clock-scale-2.png"));
}

// A window manager that keeps windows on the screen stops a drag past its
// corner short of where the clock asked to go; the next drag starts from
// where the window really is, with the pressed point under the pointer.
void TestEndToEnd::dragAfterAWindowManagerClamps() {
    QProcess wm;
    wm.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    wm.start("icewm", {"--replace"});
    QVERIFY(wm.waitForStarted());
    QVERIFY(QTest::qWaitFor([&] { return x_.Reparented(window_); }, 10000));
    QTest::qWait(500); // the window manager settles its frame

    // Past the corner at a hand's pace, so that the clock keeps asking for
    // places the window manager refuses.
    const QRect screen = x_.Screen();
    const QPoint start = Global(kBareBall);
    x_.MovePointer(start);
    x_.Press(1);
    for (int step = 1; step <= 20; ++step) {
        x_.MovePointer(start + (screen.bottomRight() - start) * step / 16);
        x_.Sync();
        QTest::qWait(20);
    }
    x_.Release(1);
    QTest::qWait(300);
    QVERIFY2(Where().right() <= screen.right() && Where().bottom() <= screen.bottom(),
             "the window manager did not keep the clock on the screen");

    const QPoint from = Global(kBareBall);
    x_.MovePointer(from);
    x_.Press(1);
    for (int step = 1; step <= 8; ++step) {
        const QPoint pointer = from - QPoint(25, 18) * step;
        x_.MovePointer(pointer);
        x_.Sync();
        const bool follows = QTest::qWaitFor(
            [&] {
                const QPoint off = Global(kBareBall) - pointer;
                return qAbs(off.x()) <= 3 && qAbs(off.y()) <= 3;
            },
            3000);
        QVERIFY2(follows, qPrintable(QString("step %1: the ball is %2,%3 from the pointer")
                                         .arg(step)
                                         .arg(Global(kBareBall).x() - pointer.x())
                                         .arg(Global(kBareBall).y() - pointer.y())));
    }
    x_.Release(1);
    wm.terminate();
    QVERIFY(wm.waitForFinished(5000));
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
