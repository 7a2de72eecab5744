#include "support/scripted_dialogs.h"

namespace {
template <typename T>
T Next(std::deque<T>& queue, T fallback) {
  if (queue.empty()) return fallback;
  T value = queue.front();
  queue.pop_front();
  return value;
}
}  // namespace

QStringList ScriptedDialogs::OpenFiles(QWidget*, const QString& folder, const QString& filter, bool) {
  shown.push_back({"open", {}, filter, folder});
  return Next(openAnswers, QStringList());
}

QString ScriptedDialogs::SaveFile(QWidget*, const QString& folder, const QString& filter) {
  shown.push_back({"save", {}, filter, folder});
  return Next(saveAnswers, QString());
}

void ScriptedDialogs::Message(QWidget*, const QString& title, const QString& text) {
  shown.push_back({"message", title, text, {}});
}

bool ScriptedDialogs::YesNo(QWidget*, const QString& title, const QString& text) {
  shown.push_back({"yesno", title, text, {}});
  return Next(yesNoAnswers, false);
}

std::optional<QString> ScriptedDialogs::InputText(QWidget*, const QString& title, const QString& prompt,
                                                  const QString& text) {
  shown.push_back({"input", title, prompt, text});
  if (inputAnswers.empty()) return std::nullopt;
  const bool confirmed = inputAnswers.front().has_value();
  const QString answer = inputAnswers.front().value_or(QString());
  inputAnswers.pop_front();
  if (!confirmed) return std::nullopt;
  return answer;
}

QString ScriptedDialogs::PickFolder(QWidget*, const QString& title) {
  shown.push_back({"folder", title, {}, {}});
  return Next(folderAnswers, QString());
}

bool ScriptedDialogs::OpenWithDesktop(const QString& pathOrUrl) {
  shown.push_back({"desktop", {}, pathOrUrl, {}});
  return true;
}

QStringList ScriptedDialogs::Messages() const {
  QStringList texts;
  for (const auto& s : shown)
    if (s.kind == "message") texts << s.text;
  return texts;
}
