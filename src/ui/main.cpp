#include <QApplication>
#include <QScreen>

#include "ui/window/command_line.h"
#include "ui/window/dialogs.h"
#include "ui/window/main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QtDialogs dialogs;
  MainWindow window(dialogs);
  // Without a window manager to honour the maximized state (a bare X server),
  // the window would keep its small design size; start it at the screen's size.
  if (QScreen* screen = QGuiApplication::primaryScreen()) window.setGeometry(screen->availableGeometry());
  window.showMaximized();
  OpenCommandLineArchive(window, QCoreApplication::arguments());
  return app.exec();
}
