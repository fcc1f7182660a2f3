// The yardstick for the clock's start-up time and memory: a frameless Qt
// window with one label, and nothing else. Like any label it sizes itself to
// its text, and so, like the clock, reads its font before it maps.

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QLabel window("00", nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle("Bare Window");
    window.show();
    return QApplication::exec();
}
