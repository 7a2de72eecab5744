#pragma once
// Dialogs answered from a script: each call takes the next queued answer (or
// a neutral default: cancel / No) and is recorded, so no test blocks on a modal.

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

#include "ui/dialogs.h"

class ScriptedDialogs : public Dialogs {
 public:
  struct Shown {
    QString kind;  // "open", "save", "message", "yesno", "input", "folder", "desktop"
    QString title;
    QString text;   // message text, prompt, filter or path
    QString extra;  // initial folder of file dialogs; default text of the input box
  };

  std::deque<QStringList> openAnswers;
  std::deque<QString> saveAnswers;
  std::deque<bool> yesNoAnswers;
  std::deque<std::optional<QString>> inputAnswers;
  std::deque<QString> folderAnswers;
  std::vector<Shown> shown;

  QStringList OpenFiles(QWidget* parent, const QString& folder, const QString& filter, bool multi) override;
  QString SaveFile(QWidget* parent, const QString& folder, const QString& filter) override;
  void Message(QWidget* parent, const QString& title, const QString& text) override;
  bool YesNo(QWidget* parent, const QString& title, const QString& text) override;
  std::optional<QString> InputText(QWidget* parent, const QString& title, const QString& prompt,
                                   const QString& text) override;
  QString PickFolder(QWidget* parent, const QString& title) override;
  bool OpenWithDesktop(const QString& pathOrUrl) override;

  /// Texts of the message boxes shown, in order.
  QStringList Messages() const;
};
