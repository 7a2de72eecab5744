#include "ui/command_line.h"

#include "ui/main_window.h"

QString CommandLinePath(const QStringList& arguments) {
  QString text = arguments.mid(1).join(' ');
  // A shell or a desktop launcher may hand over a quoted path as it was typed.
  if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"')) text = text.mid(1, text.size() - 2);
  return text;
}

void OpenCommandLineArchive(MainWindow& window, const QStringList& arguments) {
  const QString path = CommandLinePath(arguments);
  if (!path.isEmpty()) window.OpenFromCommandLine(path);
}
