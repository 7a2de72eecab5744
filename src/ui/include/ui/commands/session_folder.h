#pragma once
// The window's own folder for the files it extracts (rows dragged out, entries
// opened with their desktop program): inside the user's cache folder, made on
// first use, and removed with everything in it when the window goes. The
// program's own folder is never written to.

#include <QString>
#include <memory>

class QTemporaryDir;

class SessionFolder {
 public:
  SessionFolder();
  ~SessionFolder();

  /// A new, empty folder inside the session folder, its name starting with kind;
  /// an empty string (and *error set) when none can be made.
  QString NewFolder(const QString& kind, std::string* error);
  /// The session folder itself; empty before the first NewFolder.
  QString Path() const;

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  int made_ = 0;
};
