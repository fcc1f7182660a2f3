// The clock where only Wayland exists: a headless compositor of the test's
// own, screenshots of its output before and after the clock starts.

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

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
    // The desktop settles: its background and panel come from a client, and
    // until they do the output is one flat colour.
    QImage before;
    QVERIFY(QTest::qWaitFor(
        [&] {
            QTest::qWait(300);
            const QImage shot = Screenshot();
            const bool drawn = !shot.isNull() && shot.pixel(0, shot.height() - 1) != shot.pixel(0, 0);
            const bool settled = drawn && shot == before;
            before = shot;
            return settled;
        },
        15000));

    QProcess clock;
    clock.setProcessEnvironment(env_);
    clock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    clock.start(TELVO_CLOCK_BINARY, {});
    QRect changed;
    QImage after;
    QVERIFY(QTest::qWaitFor(
        [&] {
            after = Screenshot();
            changed = QRect();
            for (int y = 0; y < after.height(); ++y) {
                for (int x = 0; x < after.width(); ++x) {
                    if (after.pixel(x, y) != before.pixel(x, y) && y > 40) { // below the panel's clock
                        changed |= QRect(x, y, 1, 1);
                    }
                }
            }
            return changed.width() >= 99;
        },
        10000));
    QCOMPARE(clock.state(), QProcess::Running);

    // Only a circle 100 pixels across differs from the desktop: neither the
    // rest of the window nor its hidden text boxes show.
    QVERIFY2(changed.width() <= 101 && changed.height() <= 101,
             qPrintable(QString("%1x%2").arg(changed.width()).arg(changed.height())));
    // The panel's rows are left out above, so the circle's top may be cut:
    // its centre is half its width above its bottom edge.
    const double radius = changed.width() / 2.0;
    const QPointF centre(changed.left() + radius, changed.bottom() + 1 - radius);
    int outside = 0, unchangedInside = 0;
    for (int y = changed.top() - 60; y <= changed.bottom() + 60; ++y) {
        for (int x = changed.left() - 10; x <= changed.right() + 80; ++x) {
            if (!after.rect().contains(x, y) || y <= 40) {
                continue;
            }
            const double r = std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y());
            const bool differs = after.pixel(x, y) != before.pixel(x, y);
            outside += r > 51 && differs;
            unchangedInside += r < 45 && !differs;
        }
    }
    QCOMPARE(outside, 0);
    QVERIFY(unchangedInside < 20);

    clock.terminate();
    QVERIFY(clock.waitForFinished(5000));
    QCOMPARE(clock.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
