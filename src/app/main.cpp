// quorin: the desktop program.
#include <QApplication>

#include "app/Desktop.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    quorin::CDesktop desktop;
    desktop.Start(QApplication::arguments());
    return QApplication::exec();
}
