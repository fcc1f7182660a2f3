// The yardstick for the clock's start-up time, memory and idle CPU: a
// frameless Qt window with one label, and nothing else. Like any label it
// sizes itself to its text, and so, like the clock, reads its font before it
// maps. With --ticking it also wakes every 100 ms and changes its label once
// a second, as the clock's timers must: the floor of the clock's idle cost.

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <cstring>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QLabel window("00", nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle("Bare Window");
    window.show();

    QTimer tick, second;
    if (argc > 1 && std::strcmp(argv[1], "--ticking") == 0) {
        int seconds = 0;
        QObject::connect(&tick, &QTimer::timeout, [] {});
        QObject::connect(&second, &QTimer::timeout, [&] { window.setText(QString::number(++seconds % 60)); });
        tick.start(100);
        second.start(1000);
    }
    return QApplication::exec();
}
