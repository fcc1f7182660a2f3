// The clock as a Wayland client: on a headless weston where only Wayland
// exists, and on GNOME's compositor, on sway and on weston nested in an X
// server of the test's own, driven there as a user drives it.

#include "x_session.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>
#include <pwd.h>
#include <unistd.h>

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
    void dragsAndCloses_data();
    void dragsAndCloses();
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

// Each row: a compositor nested in a window of an X server, whose pointer
// it takes as its own; whether a move follows the middle and the right
// button too; by how many steps its desktop's pixels may change by themselves;
// whether it takes a move whose request comes after the pointer has done
// travelling (sway counts from where the pointer is when the request comes,
// and loses what it travelled before; weston drops a request that comes after
// the release).
void TestWayland::dragsAndCloses_data() {
    QTest::addColumn<QString>("compositor");
    QTest::addColumn<bool>("everyButtonDrags");
    QTest::addColumn<int>("noise");
    QTest::addColumn<bool>("takesLateRequests");
    QTest::newRow("mutter") << "mutter" << false << kMutterDither << true;
    QTest::newRow("sway") << "sway" << true << 0 << false;
    QTest::newRow("weston") << "weston" << true << 0 << false;
}

// The clock, with DISPLAY set too, comes up as a Wayland client, drags with
// the pointer and closes on a double-click of the ball only.
void TestWayland::dragsAndCloses() {
    QFETCH(QString, compositor);
    QFETCH(bool, everyButtonDrags);
    QFETCH(int, noise);
    QFETCH(bool, takesLateRequests);
    QProcess server;
    server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "640x480x24", "-nolisten", "tcp"});
    QVERIFY(server.waitForStarted());
    QVERIFY(QTest::qWaitFor([&] { return server.canReadLine(); }, 10000));
    const QString display = ":" + QString::fromLatin1(server.readLine()).trimmed();
    QProcessEnvironment env = env_;
    env.insert("DISPLAY", display);
    QProcess bus;
    QProcess nested;
    QProcessEnvironment nestedEnv = env;
    nested.setStandardOutputFile(QProcess::nullDevice());
    nested.setStandardErrorFile(QProcess::nullDevice());
    // A folder of the compositor's own, with a desktop of a gradient.
    QTemporaryDir compositorDir;
    QImage desktop(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < desktop.height(); ++y) {
        for (int x = 0; x < desktop.width(); ++x) {
            desktop.setPixel(x, y, qRgb(40 + 2 * x, 60 + 2 * y, 120));
        }
    }
    QVERIFY(desktop.save(compositorDir.filePath("desktop.png")));
    if (compositor == "mutter") {
        env.insert("WAYLAND_DISPLAY", "wayland-mutter");
        // A session bus for mutter alone, as dbus-run-session gave it, but ended
        // with the test: dbus-run-session, ended by a signal, leaves it running.
        bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        QVERIFY(bus.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return bus.canReadLine(); }, 10000));
        nestedEnv.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromLatin1(bus.readLine()).trimmed());
        nested.setProcessEnvironment(nestedEnv);
        nested.start("mutter", {"--nested", "--wayland", "--no-x11", "--wayland-display=wayland-mutter"});
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(runtime_.filePath("wayland-mutter")); }, 15000));
    } else if (compositor == "weston") {
        // No panel, whose clock would change the screen, and no blanking.
        QFile config(compositorDir.filePath("weston.ini"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("[core]\nidle-time=0\n[shell]\npanel-position=none\nbackground-type=scale\n"
                     "background-image=" +
                     compositorDir.filePath("desktop.png").toUtf8() + "\n");
        config.close();
        env.insert("WAYLAND_DISPLAY", "wayland-weston");
        nestedEnv.remove("WAYLAND_DISPLAY");
        nested.setProcessEnvironment(nestedEnv);
        nested.start("weston", {"--backend=x11-backend.so", "--use-pixman", "--width=640", "--height=480",
                                "--socket=wayland-weston", "--config=" + config.fileName()});
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(runtime_.filePath("wayland-weston")); }, 15000));
    } else {
        // sway refuses to run as root: then it runs as nobody, in a runtime
        // folder of nobody's, and the clock finds it by the socket's path.
        QFile config(compositorDir.filePath("config"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("xwayland disable\noutput * mode 640x480 bg " +
                     compositorDir.filePath("desktop.png").toUtf8() + " stretch\n");
        config.close();
        QStringList command = {"sway", "-c", config.fileName()};
        if (geteuid() == 0) {
            const passwd *nobody = getpwnam("nobody");
            QVERIFY(nobody != nullptr);
            QCOMPARE(chown(qPrintable(compositorDir.path()), nobody->pw_uid, nobody->pw_gid), 0);
            command = QStringList{"setpriv", "--reuid=nobody", "--regid=" + QString::number(nobody->pw_gid),
                                  "--clear-groups"} +
                      command;
        }
        nestedEnv.insert("XDG_RUNTIME_DIR", compositorDir.path());
        nestedEnv.insert("WLR_BACKENDS", "x11");
        nestedEnv.insert("WLR_RENDERER", "pixman");
        nestedEnv.remove("WAYLAND_DISPLAY");
        nested.setProcessEnvironment(nestedEnv);
        nested.start(command.takeFirst(), command);
        QStringList sockets;
        QVERIFY(QTest::qWaitFor(
            [&] {
                sockets = QDir(compositorDir.path()).entryList({"wayland-?"}, QDir::System);
                return !sockets.isEmpty();
            },
            15000));
        env.insert("WAYLAND_DISPLAY", compositorDir.filePath(sockets.front()));
    }
    QVERIFY(nested.waitForStarted());
    // Closed before the server goes: Xlib ends any client that loses it.
    auto session = std::make_unique<XSession>(display);
    XSession &x = *session;
    QVERIFY(x.Connected());
    // The compositor draws its pointer into its own output: keep it in the
    // corner for every screenshot. It follows moves only once its desktop is
    // up (weston misses any before).
    const QPoint corner(0, 0);
    QVERIFY(!Settled([&] { return x.Grab(x.Screen()); }).isNull());
    x.MovePointer(corner);
    const QImage before = Settled([&] { return x.Grab(x.Screen()); });
    QVERIFY(!before.isNull());

    QProcess clock;
    clock.setProcessEnvironment(env);
    clock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    clock.start(TELVO_CLOCK_BINARY, {});
    QRect ball;
    QVERIFY(QTest::qWaitFor(
        [&] { return (ball = Changed(before, x.Grab(x.Screen()), 0, noise)).width() >= 99; }, 10000));
    QTest::qWait(300);
    ball = Changed(before, x.Grab(x.Screen()), 0, noise);
    QVERIFY2(ball.width() <= 101 && ball.height() <= 101,
             qPrintable(QString("%1x%2").arg(ball.width()).arg(ball.height())));
    QCOMPARE(ChangedOutside(before, x.Grab(x.Screen()), QRectF(ball).center(), 51, 0, nullptr, 45, noise), 0);

    // Drags by (120, 80), pressed on the ball below the words, keep the pressed
    // point under the pointer and end at the release. GNOME would end a move
    // with the middle or the right button only at a left click: there those do not drag.
    struct Drag {
        const char *name;
        int button, steps, pause; // pause in ms, after the press and each step
        QPoint first;             // a first step of its own, if any
        bool drags;
    };
    const Drag drags[] = {{"left, paced", 1, 20, 20, {}, true},
                          {"left, 40 unpaced steps", 1, 40, 0, {}, true},
                          {"left, first step (30,20)", 1, 20, 20, {30, 20}, true},
                          {"middle", 2, 20, 20, {}, everyButtonDrags},
                          {"right", 3, 20, 20, {}, everyButtonDrags}};
    // Towards the middle of the screen: some compositors place a new window anywhere.
    QPoint travel(ball.center().x() < 320 ? 120 : -120, ball.center().y() < 240 ? 80 : -80);
    QRect moved = ball;
    // While the compositor moves the window the clock sees no motion, and the
    // next drag presses the same point of it: within a double-click's time
    // (400 ms) of the last press of that button, the two make a double-click.
    // A hand that grips again takes longer; here it waits with a margin.
    QElapsedTimer sincePress;
    int lastButton = 0;
    for (const Drag &drag : drags) {
        if (drag.pause == 0 && !takesLateRequests) {
            continue; // the whole unpaced drag is over before the request comes
        }
        const QPoint press = ball.topLeft() + QPoint(50, 85);
        const QPoint start = press + (travel.x() < 0 ? -drag.first : drag.first);
        const QPoint end = press + travel;
        x.MovePointer(press);
        if (drag.button == lastButton) {
            QTest::qWait(std::max<int>(0, 600 - sincePress.elapsed()));
        }
        x.Press(drag.button);
        sincePress.start();
        lastButton = drag.button;
        if (!takesLateRequests) {
            // The clock's request comes after the press has reached it; on a
            // busy machine that is more than a step's pause: a hand rests as long.
            QTest::qWait(250);
        }
        for (int step = drag.first.isNull() ? 1 : 0; step <= drag.steps; ++step) {
            QTest::qWait(drag.pause);
            x.MovePointer(start + (end - start) * step / drag.steps);
        }
        x.Sync();
        if (drag.drags) {
            // A hand holds on, never quite still, until the window has come
            // along: on a busy machine the clock's request may come after the
            // last step, and GNOME moves the window only at the next motion.
            const QRect target = ball.translated(travel);
            const QPointF middle = QRectF(QPointF(), target.size()).center();
            bool left = false;
            int unchanged = 0;
            const bool followed = QTest::qWaitFor(
                [&] {
                    x.MovePointer(end + QPoint(1, 0));
                    x.MovePointer(end);
                    x.Sync();
                    QTest::qWait(50);
                    left = Changed(before.copy(ball), x.Grab(ball), 0, noise).isNull();
                    unchanged = 0;
                    ChangedOutside(before.copy(target), x.Grab(target), middle, 51, 0, &unchanged, 45, noise);
                    return left && unchanged < 20;
                },
                3000);
            QVERIFY2(followed, qPrintable(QString("%1: held at the end, the ball %2 its place; %3 pixels of "
                                                  "where it should be show the desktop")
                                              .arg(drag.name)
                                              .arg(left ? "left" : "stayed in")
                                              .arg(unchanged)));
        }
        QTest::qWait(100); // a hand lets go a moment after it stops
        x.Release(drag.button);
        // Then the pointer moves on with no button held.
        x.MovePointer(end + QPoint(60, 40));
        x.MovePointer(corner);
        x.Sync();
        const bool whole = QTest::qWaitFor(
            [&] {
                QTest::qWait(200);
                moved = Changed(before, x.Grab(x.Screen()), 0, noise);
                return moved.width() >= 99 && moved.width() <= 101 && moved.height() <= 101;
            },
            5000);
        QVERIFY2(whole, qPrintable(QString("%1: the ball left the screen (changed: %2x%3 at %4,%5; %6)")
                                       .arg(drag.name)
                                       .arg(moved.width())
                                       .arg(moved.height())
                                       .arg(moved.x())
                                       .arg(moved.y())
                                       .arg(clock.state() == QProcess::NotRunning
                                                ? QString("the clock ended, status %1").arg(clock.exitCode())
                                                : QString("the clock runs"))));
        const QPoint by = moved.topLeft() - ball.topLeft();
        QVERIFY2((by - (drag.drags ? travel : QPoint())).manhattanLength() <= 4,
                 qPrintable(QString("%1: moved by %2,%3").arg(drag.name).arg(by.x()).arg(by.y())));
        ball = moved;
        travel = drag.drags ? -travel : travel;
    }

    // A double-click on the digits keeps it; one on the ball ends it with
    // status 0. Each click's release comes with its press, as a tap's does.
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
    QCOMPARE(ChangedOutside(before, x.Grab(x.Screen()), QRectF(moved).center(), 51, 0, nullptr, 45, noise),
             0);
    doubleClick(moved.topLeft() + QPoint(50, 85));
    QVERIFY(clock.state() == QProcess::NotRunning || clock.waitForFinished(5000));
    QCOMPARE(clock.exitStatus(), QProcess::NormalExit);
    QCOMPARE(clock.exitCode(), 0);

    session.reset();
    nested.terminate();
    nested.waitForFinished(5000);
    bus.terminate();
    bus.waitForFinished(5000);
    server.terminate();
    server.waitForFinished(5000);
}

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
