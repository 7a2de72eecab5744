#pragma once
// Every modal the window shows goes through Dialogs, so that tests can answer
// with a script instead of blocking on a real dialog.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  /// Open dialog with the given filter ("Name (*.pff)"); several files when multi. Empty list: cancelled.
  virtual QStringList OpenFiles(QWidget* parent, const QString& folder, const QString& filter,
                                bool multi) = 0;
  /// Save dialog that asks before overwriting, saying that it cannot be undone. Empty: cancelled.
  virtual QString SaveFile(QWidget* parent, const QString& folder, const QString& filter) = 0;
  /// Message box with an OK button; an empty title means the program's own.
  virtual void Message(QWidget* parent, const QString& title, const QString& text) = 0;
  /// Yes/No question, Yes the default button (Return: Yes, Escape: No).
  virtual bool YesNo(QWidget* parent, const QString& title, const QString& text) = 0;
  struct Answer {
    bool yes = false;
    bool forRemaining = false;  // the answer holds for the remaining files
  };
  /// A Yes/No question about one of several files, with the choice "Do this
  /// for the remaining N files" when remaining is above 0.
  virtual Answer YesNoForRemaining(QWidget* parent, const QString& title, const QString& text,
                                   int remaining) = 0;
  /// One-line input box; nullopt when cancelled.
  virtual std::optional<QString> InputText(QWidget* parent, const QString& title, const QString& prompt,
                                           const QString& text) = 0;
  /// Folder picker; empty when cancelled.
  virtual QString PickFolder(QWidget* parent, const QString& title) = 0;
  /// Why the desktop opened nothing, for the message the caller shows.
  using OpenFailed = std::function<void(const QString& reason)>;
  /// Opens a file or link with the desktop's program; failed runs later, on
  /// this thread, when no program took it (the desktop's opener said so).
  virtual void OpenWithDesktop(const QString& pathOrUrl, OpenFailed failed) = 0;
  /// Shows a longer text the user can select and copy, with a Close button.
  virtual void ShowText(QWidget* parent, const QString& title, const QString& text) = 0;
};

/// The real dialogs: QFileDialog, QMessageBox, QInputDialog, and xdg-open.
class QtDialogs : public Dialogs {
 public:
  QStringList OpenFiles(QWidget* parent, const QString& folder, const QString& filter, bool multi) override;
  QString SaveFile(QWidget* parent, const QString& folder, const QString& filter) override;
  void Message(QWidget* parent, const QString& title, const QString& text) override;
  bool YesNo(QWidget* parent, const QString& title, const QString& text) override;
  Answer YesNoForRemaining(QWidget* parent, const QString& title, const QString& text, int remaining) override;
  std::optional<QString> InputText(QWidget* parent, const QString& title, const QString& prompt,
                                   const QString& text) override;
  QString PickFolder(QWidget* parent, const QString& title) override;
  void OpenWithDesktop(const QString& pathOrUrl, OpenFailed failed) override;
  void ShowText(QWidget* parent, const QString& title, const QString& text) override;
};
