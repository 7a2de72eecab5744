#include "ui/window/command_line.h"

#include <QFileInfo>

#include "ui/window/main_window.h"

QString CommandLinePath(const QStringList& arguments) {
  QString text = arguments.mid(1).join(' ');
  // A shell or a desktop launcher may hand over a quoted path as it was typed.
  if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"')) text = text.mid(1, text.size() - 2);
  return text;
}

QStringList CommandLinePaths(const QStringList& arguments) {
  const QString joined = CommandLinePath(arguments);
  if (joined.isEmpty()) return {};
  // A desktop launcher hands over several files as separate arguments; the
  // joined text, which names one archive with blanks in its path, comes first.
  if (arguments.size() <= 2 || QFileInfo(joined).isFile()) return {joined};
  QStringList files;
  for (const QString& argument : arguments.mid(1))
    if (QFileInfo(argument).isFile() && !files.contains(argument)) files << argument;
  // No file among them: the whole text goes to the open, which says what is wrong with it.
  return files.isEmpty() ? QStringList{joined} : files;
}

void OpenCommandLineArchive(MainWindow& window, const QStringList& arguments) {
  const QStringList paths = CommandLinePaths(arguments);
  if (!paths.isEmpty()) window.OpenFromCommandLine(paths);
}
