// quorin: the desktop program.
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

#include "app/Desktop.h"
#include "app/MainFrame.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Ties the windows to the installed desktop entry and its icon (Wayland's app id).
    QGuiApplication::setDesktopFileName("quorin-plus");
    QApplication::setWindowIcon(QIcon::fromTheme("quorin-plus"));
    quorin::CDesktop desktop;
    desktop.Start(QApplication::arguments());
    const int result = QApplication::exec();
    // Closed by the user: settings are written as they are set, every document was saved or
    // let go and the trace file is closed. Freeing a large Grid and tearing the windows down
    // would only keep the process alive after its window has gone.
    if (desktop.Frame().Closing()) {
        std::fflush(nullptr);
        std::_Exit(result);
    }
    return result;
}
