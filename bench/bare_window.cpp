// The yardstick for the clock's start-up time and memory: a frameless Qt
// window with one label, and nothing else. Like any label it sizes itself to
// its text, and so, like the clock, reads its font before it maps.
//
// With --tick, the yardstick for the clock's idle cost: the label shows the
// time and changes once a second, sent to the X server as the clock sends
// it. That is the least a Qt window showing the seconds spends. It changes
// half a second after the turn, not at the turn as the clock does: the two
// map the same libraries, and of two such windows woken 2 ms apart the later
// one ran on the caches the earlier had just filled, for about 0.6 of its
// CPU (woken 500 ms apart, the two cost the same). Changing at the turn, it
// would charge the clock for the warm-up the two share each second.

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QTimer>

#include <cstring>

int main(int argc, char *argv[]) {
    const bool tick = argc > 1 && std::strcmp(argv[1], "--tick") == 0;
    if (tick && !qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    QApplication app(argc, argv);
    QLabel window("00", nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle("Bare Window");
    QTimer turn;
    if (tick) {
        turn.setTimerType(Qt::PreciseTimer);
        turn.setSingleShot(true);
        const auto armForHalfPast = [&turn] {
            turn.start(1000 - int((QDateTime::currentMSecsSinceEpoch() + 500) % 1000));
        };
        QObject::connect(&turn, &QTimer::timeout, &window, [&window, armForHalfPast] {
            window.setText(QTime::currentTime().toString("h:mm:ss"));
            window.adjustSize();
            armForHalfPast();
        });
        armForHalfPast();
    }
    window.show();
    return QApplication::exec();
}
