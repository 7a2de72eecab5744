#include <QApplication>

#include "ui/command_line.h"
#include "ui/dialogs.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QtDialogs dialogs;
  MainWindow window(dialogs);
  window.showMaximized();
  // Lay the window out once before a long open starts.
  QCoreApplication::processEvents();
  OpenCommandLineArchive(window, QCoreApplication::arguments());
  return app.exec();
}
