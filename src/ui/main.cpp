#include "frm_telvo.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Telvo Clock");
    QApplication::setApplicationVersion("1.00");

    telvo::FrmTelvo window;
    window.show();
    return QApplication::exec();
}
