#pragma once
// Dialogs answered from a script: each call takes the next queued answer (or
// a neutral default: cancel / No) and is recorded, so no test blocks on a modal.

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "ui/window/dialogs.h"

class ScriptedDialogs : public Dialogs {
 public:
  struct Shown {
    QString kind;  // "open", "save", "message", "yesno", "input", "folder", "desktop", "text"
    QString title;
    QString text;   // message text, prompt, filter or path
    QString extra;  // initial folder of file dialogs; default text of the input box; files remaining
  };

  std::deque<QStringList> openAnswers;
  std::deque<QString> saveAnswers;
  std::deque<bool> yesNoAnswers;
  std::deque<bool> forRemainingAnswers;  // ticks "Do this for the remaining N files"
  std::deque<std::optional<QString>> inputAnswers;  // nullopt: cancelled
  std::deque<QString> folderAnswers;
  std::deque<QString> openFailures;  // why the desktop opened nothing; empty: it opened
  std::vector<Shown> shown;
  /// Runs as each dialog is shown, before it is answered (a user acting meanwhile).
  std::function<void(const Shown&)> onShown;

  QStringList OpenFiles(QWidget*, const QString& folder, const QString& filter, bool) override {
    return Take({"open", {}, filter, folder}, openAnswers, {});
  }
  QString SaveFile(QWidget*, const QString& folder, const QString& filter) override {
    return Take({"save", {}, filter, folder}, saveAnswers, {});
  }
  void Message(QWidget*, const QString& title, const QString& text) override {
    Record({"message", title, text, {}});
  }
  bool YesNo(QWidget*, const QString& title, const QString& text) override {
    return Take({"yesno", title, text, {}}, yesNoAnswers, false);
  }
  Answer YesNoForRemaining(QWidget*, const QString& title, const QString& text, int remaining) override {
    const bool forRemaining = !forRemainingAnswers.empty() && forRemainingAnswers.front();
    if (!forRemainingAnswers.empty()) forRemainingAnswers.pop_front();
    return {Take({"yesno", title, text, QString::number(remaining)}, yesNoAnswers, false), forRemaining};
  }
  std::optional<QString> InputText(QWidget*, const QString& title, const QString& prompt,
                                   const QString& text) override {
    return Take({"input", title, prompt, text}, inputAnswers, std::nullopt);
  }
  QString PickFolder(QWidget*, const QString& title) override {
    return Take({"folder", title, {}, {}}, folderAnswers, {});
  }
  void OpenWithDesktop(const QString& pathOrUrl, OpenFailed failed) override {
    Record({"desktop", {}, pathOrUrl, {}});
    if (!openFailures.empty()) {
      const QString reason = openFailures.front();
      openFailures.pop_front();
      if (!reason.isEmpty()) failed(reason);
    }
  }
  void ShowText(QWidget*, const QString& title, const QString& text) override {
    Record({"text", title, text, {}});
  }

  /// Kinds of the dialogs shown, in order.
  QStringList Kinds() const {
    QStringList kinds;
    for (const Shown& s : shown) kinds << s.kind;
    return kinds;
  }
  /// Texts of the message boxes shown, in order.
  QStringList Messages() const {
    QStringList texts;
    for (const Shown& s : shown)
      if (s.kind == "message") texts << s.text;
    return texts;
  }

 private:
  void Record(Shown call) {
    shown.push_back(std::move(call));
    if (onShown) onShown(shown.back());
  }
  template <typename T>
  T Take(Shown call, std::deque<T>& answers, typename std::deque<T>::value_type fallback) {
    Record(std::move(call));
    if (!answers.empty()) {
      fallback = answers.front();
      answers.pop_front();
    }
    return fallback;
  }
};
