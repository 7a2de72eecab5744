#pragma once
// Dialogs for the window's benchmarks: every question answered Yes (for the
// remaining files too), the open and folder dialogs answered as set, and any
// message printed, since a message in a benchmark means something went wrong.

#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

#include "ui/window/dialogs.h"

class YesDialogs : public Dialogs {
 public:
  QString folder;    // the answer of the folder picker
  QStringList open;  // the answer of the open dialog

  QStringList OpenFiles(QWidget*, const QString&, const QString&, bool) override { return open; }
  QString SaveFile(QWidget*, const QString&, const QString&) override { return {}; }
  void Message(QWidget*, const QString&, const QString& text) override {
    std::printf("message: %s\n", text.toUtf8().constData());
  }
  bool YesNo(QWidget*, const QString&, const QString&) override { return true; }
  Answer YesNoForRemaining(QWidget*, const QString&, const QString&, int) override { return {true, true}; }
  std::optional<QString> InputText(QWidget*, const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
  QString PickFolder(QWidget*, const QString&) override { return folder; }
  void OpenWithDesktop(const QString&, OpenFailed) override {}
  void ShowText(QWidget*, const QString&, const QString&) override {}
};
