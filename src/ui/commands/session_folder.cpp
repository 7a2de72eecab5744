#include "ui/commands/session_folder.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <string>

SessionFolder::SessionFolder() = default;

SessionFolder::~SessionFolder() = default;

QString SessionFolder::NewFolder(const QString& kind, std::string* error) {
  if (!dir_) {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (cache.isEmpty() || !QDir().mkpath(cache)) {
      *error = "The cache folder " + cache.toStdString() + " cannot be made.";
      return QString();
    }
    // One folder per running window, so two windows never share their files.
    dir_ = std::make_unique<QTemporaryDir>(QDir(cache).filePath("session-XXXXXX"));
  }
  if (!dir_->isValid()) {
    *error = dir_->errorString().toStdString();
    return QString();
  }
  const QString folder = dir_->filePath(QString("%1-%2").arg(kind).arg(++made_));
  if (!QDir().mkpath(folder)) {
    *error = "The folder " + folder.toStdString() + " cannot be made.";
    return QString();
  }
  return folder;
}

QString SessionFolder::Path() const { return dir_ && dir_->isValid() ? dir_->path() : QString(); }
