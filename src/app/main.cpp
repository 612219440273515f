// quorin: the desktop program.
#include <QApplication>
#include <QIcon>

#include "app/Desktop.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Ties the windows to the installed desktop entry and its icon (Wayland's app id).
    QGuiApplication::setDesktopFileName("quorin-plus");
    QApplication::setWindowIcon(QIcon::fromTheme("quorin-plus"));
    quorin::CDesktop desktop;
    desktop.Start(QApplication::arguments());
    return QApplication::exec();
}
