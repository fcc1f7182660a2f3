// The clock as a Wayland client: on a headless weston where only Wayland
// exists, and on GNOME's compositor nested in an X server of the test's own,
// driven there as a user drives it.

#include "x_session.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

// The screen once two shots in a row agree and the desktop is drawn (its
// middle differs from its corner).
template <typename Shoot> QImage Settled(Shoot shoot) {
    QImage before;
    const bool settled = QTest::qWaitFor(
        [&] {
            QTest::qWait(300);
            const QImage shot = shoot();
            const bool drawn =
                !shot.isNull() && shot.pixel(0, 0) != shot.pixel(shot.width() / 2, shot.height() / 2);
            const bool same = drawn && shot == before;
            before = shot;
            return same;
        },
        15000);
    return settled ? before : QImage();
}

// GNOME's compositor from mutter 48 on dithers its desktop's gradient, with
// new noise wherever it draws again: around a window that comes or moves, the
// desktop's own pixels change by one step of a colour. Nothing a window draws
// changes a pixel so little.
constexpr int kMutterDither = 1;

// Whether a pixel changed by more than `noise` steps in a colour.
bool Differs(QRgb a, QRgb b, int noise) {
    return std::abs(qRed(a) - qRed(b)) > noise || std::abs(qGreen(a) - qGreen(b)) > noise ||
           std::abs(qBlue(a) - qBlue(b)) > noise;
}

// Where the screen differs from what it was, below row `top`.
QRect Changed(const QImage &before, const QImage &after, int top = 0, int noise = 0) {
    QRect changed;
    for (int y = top; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            if (Differs(after.pixel(x, y), before.pixel(x, y), noise)) {
                changed |= QRect(x, y, 1, 1);
            }
        }
    }
    return changed;
}

// Pixels below row `top` that differ from `before` further than `radius`
// from the circle's centre, or that stay the same nearer than `inner` to it.
int ChangedOutside(const QImage &before, const QImage &after, QPointF centre, double radius, int top = 0,
                   int *sameInside = nullptr, double inner = 45, int noise = 0) {
    int outside = 0;
    for (int y = top; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            const double r = std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y());
            const bool differs = Differs(after.pixel(x, y), before.pixel(x, y), noise);
            outside += differs && r > radius;
            if (sameInside != nullptr) {
                *sameInside += !differs && r < inner;
            }
        }
    }
    return outside;
}

} // namespace

class TestWayland : public QObject {
    Q_OBJECT

private:
    QTemporaryDir runtime_;
    QProcess compositor_;
    QProcessEnvironment env_;

    // A screenshot of the compositor's whole output.
    QImage Screenshot() {
        QTemporaryDir folder;
        QProcess shooter;
        shooter.setProcessEnvironment(env_);
        shooter.setWorkingDirectory(folder.path());
        shooter.start("weston-screenshooter", {});
        if (!shooter.waitForFinished(10000) || shooter.exitCode() != 0) {
            return {};
        }
        const QStringList shots = QDir(folder.path()).entryList({"*.png"});
        return shots.isEmpty() ? QImage() : QImage(QDir(folder.path()).filePath(shots.front()));
    }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void roundAndTranslucent();
    void mutterDragsAndCloses();
};

void TestWayland::initTestCase() {
    QVERIFY(runtime_.isValid());
    env_ = QProcessEnvironment::systemEnvironment();
    env_.remove("DISPLAY");
    env_.remove("QT_QPA_PLATFORM");
    env_.insert("XDG_RUNTIME_DIR", runtime_.path());
    env_.insert("WAYLAND_DISPLAY", "wayland-telvo");
    compositor_.setProcessEnvironment(env_);
    compositor_.start("weston", {"--backend=headless-backend.so", "--use-pixman", "--debug", "--width=320",
                                 "--height=240", "--socket=wayland-telvo", "--idle-time=0"});
    QVERIFY(compositor_.waitForStarted());
    QVERIFY(QTest::qWaitFor([&] { return QFile::exists(runtime_.filePath("wayland-telvo")); }, 10000));
}

void TestWayland::cleanupTestCase() {
    compositor_.terminate();
    compositor_.waitForFinished();
}

void TestWayland::roundAndTranslucent() {
    // The desktop's background and panel come from a client; until they do
    // the output is one flat colour.
    const QImage before = Settled([&] { return Screenshot(); });
    QVERIFY(!before.isNull());

    QProcess clock;
    clock.setProcessEnvironment(env_);
    clock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    clock.start(TELVO_CLOCK_BINARY, {});
    const int belowPanel = 41; // the panel's clock changes too
    QRect changed;
    QImage after;
    QVERIFY(QTest::qWaitFor(
        [&] { return (changed = Changed(before, after = Screenshot(), belowPanel)).width() >= 99; }, 10000));
    QCOMPARE(clock.state(), QProcess::Running);

    // Only a circle 100 pixels across differs from the desktop: neither the
    // rest of the window nor its hidden text boxes show.
    QVERIFY2(changed.width() <= 101 && changed.height() <= 101,
             qPrintable(QString("%1x%2").arg(changed.width()).arg(changed.height())));
    // The panel's rows are left out above, so the circle's top may be cut:
    // its centre is half its width above its bottom edge.
    const double radius = changed.width() / 2.0;
    const QPointF centre(changed.left() + radius, changed.bottom() + 1 - radius);
    int unchangedInside = 0;
    QCOMPARE(ChangedOutside(before, after, centre, 51, belowPanel, &unchangedInside), 0);
    QVERIFY(unchangedInside < 20);

    clock.terminate();
    QVERIFY(clock.waitForFinished(5000));
    QCOMPARE(clock.exitCode(), 0);
}

// GNOME's compositor in a window of an X server, with the X pointer as its
// pointer: the clock, with DISPLAY set too, comes up as a Wayland client,
// drags with the pointer and closes on a double-click of the ball only.
void TestWayland::mutterDragsAndCloses() {
    QProcess server;
    server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "640x480x24", "-nolisten", "tcp"});
    QVERIFY(server.waitForStarted());
    QVERIFY(QTest::qWaitFor([&] { return server.canReadLine(); }, 10000));
    const QString display = ":" + QString::fromLatin1(server.readLine()).trimmed();
    QProcessEnvironment env = env_;
    env.insert("DISPLAY", display);
    env.insert("WAYLAND_DISPLAY", "wayland-mutter");
    // A session bus for mutter alone, as dbus-run-session gave it, but ended
    // with the test: dbus-run-session, ended by a signal, leaves it running.
    QProcess bus;
    bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    QVERIFY(bus.waitForStarted());
    QVERIFY(QTest::qWaitFor([&] { return bus.canReadLine(); }, 10000));
    QProcessEnvironment mutterEnv = env;
    mutterEnv.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromLatin1(bus.readLine()).trimmed());
    QProcess mutter;
    mutter.setProcessEnvironment(mutterEnv);
    mutter.setStandardOutputFile(QProcess::nullDevice());
    mutter.setStandardErrorFile(QProcess::nullDevice());
    mutter.start("mutter", {"--nested", "--wayland", "--no-x11", "--wayland-display=wayland-mutter"});
    QVERIFY(mutter.waitForStarted());
    QVERIFY(QTest::qWaitFor([&] { return QFile::exists(runtime_.filePath("wayland-mutter")); }, 15000));
    // Closed before the server goes: Xlib ends any client that loses it.
    auto session = std::make_unique<XSession>(display);
    XSession &x = *session;
    QVERIFY(x.Connected());
    // The compositor draws its pointer into its own output: keep it in the
    // corner for every screenshot.
    const QPoint corner(0, 0);
    x.MovePointer(corner);
    const QImage before = Settled([&] { return x.Grab(x.Screen()); });
    QVERIFY(!before.isNull());

    QProcess clock;
    clock.setProcessEnvironment(env);
    clock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    clock.start(TELVO_CLOCK_BINARY, {});
    QRect ball;
    QVERIFY(QTest::qWaitFor(
        [&] { return (ball = Changed(before, x.Grab(x.Screen()), 0, kMutterDither)).width() >= 99; }, 10000));
    QTest::qWait(300);
    ball = Changed(before, x.Grab(x.Screen()), 0, kMutterDither);
    QVERIFY2(ball.width() <= 101 && ball.height() <= 101,
             qPrintable(QString("%1x%2").arg(ball.width()).arg(ball.height())));
    QCOMPARE(
        ChangedOutside(before, x.Grab(x.Screen()), QRectF(ball).center(), 51, 0, nullptr, 45, kMutterDither),
        0);

    // Drags by (120, 80), pressed on the ball below the words, keep the pressed
    // point under the pointer and end at the release. GNOME would end a move
    // with the middle or the right button only at a left click: those do not drag.
    struct Drag {
        const char *name;
        int button, steps, pause; // pause in ms, after the press and each step
        QPoint first;             // a first step of its own, if any
        bool drags;
    };
    const Drag drags[] = {{"left, paced", 1, 20, 20, {}, true},
                          {"left, 40 unpaced steps", 1, 40, 0, {}, true},
                          {"left, first step (30,20)", 1, 20, 20, {30, 20}, true},
                          {"middle", 2, 20, 20, {}, false},
                          {"right", 3, 20, 20, {}, false}};
    QPoint travel(120, 80);
    QRect moved = ball;
    for (const Drag &drag : drags) {
        const QPoint press = ball.topLeft() + QPoint(50, 85);
        const QPoint start = press + (travel.x() < 0 ? -drag.first : drag.first);
        x.MovePointer(press);
        x.Press(drag.button);
        for (int step = drag.first.isNull() ? 1 : 0; step <= drag.steps; ++step) {
            QTest::qWait(drag.pause);
            x.MovePointer(start + (press + travel - start) * step / drag.steps);
        }
        x.Sync();
        QTest::qWait(100); // a hand lets go a moment after it stops
        x.Release(drag.button);
        // Then the pointer moves on with no button held.
        x.MovePointer(press + travel + QPoint(60, 40));
        x.MovePointer(corner);
        x.Sync();
        const bool whole = QTest::qWaitFor(
            [&] {
                QTest::qWait(200);
                moved = Changed(before, x.Grab(x.Screen()), 0, kMutterDither);
                return moved.width() >= 99 && moved.width() <= 101 && moved.height() <= 101;
            },
            5000);
        QVERIFY2(whole, qPrintable(QString("%1: the ball left the screen (changed: %2x%3 at %4,%5)")
                                       .arg(drag.name)
                                       .arg(moved.width())
                                       .arg(moved.height())
                                       .arg(moved.x())
                                       .arg(moved.y())));
        const QPoint by = moved.topLeft() - ball.topLeft();
        QVERIFY2((by - (drag.drags ? travel : QPoint())).manhattanLength() <= 4,
                 qPrintable(QString("%1: moved by %2,%3").arg(drag.name).arg(by.x()).arg(by.y())));
        ball = moved;
        travel = drag.drags ? -travel : travel;
    }

    // A double-click on the digits keeps it; one on the ball ends it with status 0.
    auto doubleClick = [&](QPoint at) {
        x.MovePointer(at);
        for (int click = 0; click < 2; ++click) {
            x.Press(1);
            x.Release(1);
            QTest::qWait(40);
        }
        x.Sync();
    };
    doubleClick(moved.topLeft() + QPoint(47, 22));
    QVERIFY(!clock.waitForFinished(1500));
    x.MovePointer(corner);
    QTest::qWait(300);
    QCOMPARE(
        ChangedOutside(before, x.Grab(x.Screen()), QRectF(moved).center(), 51, 0, nullptr, 45, kMutterDither),
        0);
    doubleClick(moved.topLeft() + QPoint(50, 85));
    QVERIFY(clock.state() == QProcess::NotRunning || clock.waitForFinished(5000));
    QCOMPARE(clock.exitStatus(), QProcess::NormalExit);
    QCOMPARE(clock.exitCode(), 0);

    session.reset();
    mutter.terminate();
    mutter.waitForFinished(5000);
    bus.terminate();
    bus.waitForFinished(5000);
    server.terminate();
    server.waitForFinished(5000);
}

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
