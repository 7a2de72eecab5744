#include "ui/window/dialogs.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QVBoxLayout>

namespace {

// The program's own title for boxes that name none.
QString TitleOr(const QString& title) { return title.isEmpty() ? QString("Vellumcraft") : title; }

// Messages are composed with CR LF between lines; a label shows LF alone cleanly.
QString DisplayText(const QString& text) {
  QString shown = text;
  return shown.replace("\r\n", "\n");
}

// xdg-open's exit statuses, in words.
QString OpenerFailure(int status) {
  switch (status) {
    case 2:
      return "the file was not found";
    case 3:
      return "no program on this desktop opens it";
    case 4:
      return "the program that should open it failed";
    default:
      return QString("the desktop's opener xdg-open ended with status %1").arg(status);
  }
}

}  // namespace

QStringList QtDialogs::OpenFiles(QWidget* parent, const QString& folder, const QString& rawFilter,
                                 bool multi) {
  // "*.*" means every file to the user; Qt would take it literally and hide
  // files without an extension.
  QString filter = rawFilter;
  filter.replace("*.*", "*");
  if (multi) return QFileDialog::getOpenFileNames(parent, QString(), folder, filter);
  const QString file = QFileDialog::getOpenFileName(parent, QString(), folder, filter);
  return file.isEmpty() ? QStringList() : QStringList{file};
}

QString QtDialogs::SaveFile(QWidget* parent, const QString& folder, const QString& filter) {
  // QFileDialog's own question before replacing a file, saying too that no
  // undo step is left; No goes back to the dialog, as with Qt's.
  QString start = folder, chosenFilter;
  for (;;) {
    const QString file = QFileDialog::getSaveFileName(parent, QString(), start, filter, &chosenFilter,
                                                      QFileDialog::DontConfirmOverwrite);
    if (file.isEmpty() || !QFileInfo::exists(file)) return file;
    const QString question =
        QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
            .arg(QFileInfo(file).fileName()) +
        " This cannot be undone.";
    if (QMessageBox::warning(parent, QCoreApplication::translate("QFileDialog", "Save As"), question,
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes)
      return file;
    start = file;
  }
}

void QtDialogs::Message(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::information(parent, TitleOr(title), DisplayText(text), QMessageBox::Ok);
}

bool QtDialogs::YesNo(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Question, TitleOr(title), DisplayText(text),
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

Dialogs::Answer QtDialogs::YesNoForRemaining(QWidget* parent, const QString& title, const QString& text,
                                             int remaining) {
  QMessageBox box(QMessageBox::Question, TitleOr(title), DisplayText(text), QMessageBox::Yes | QMessageBox::No,
                  parent);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::No);
  if (remaining > 0)
    box.setCheckBox(new QCheckBox(
        QString("Do this for the remaining %1 %2").arg(remaining).arg(remaining == 1 ? "file" : "files")));
  const bool yes = box.exec() == QMessageBox::Yes;
  return {yes, box.checkBox() && box.checkBox()->isChecked()};
}

std::optional<QString> QtDialogs::InputText(QWidget* parent, const QString& title, const QString& prompt,
                                            const QString& text) {
  bool ok = false;
  const QString answer = QInputDialog::getText(parent, TitleOr(title), prompt, QLineEdit::Normal, text, &ok);
  if (!ok) return std::nullopt;
  return answer;
}

QString QtDialogs::PickFolder(QWidget* parent, const QString& title) {
  return QFileDialog::getExistingDirectory(parent, title);
}

void QtDialogs::OpenWithDesktop(const QString& pathOrUrl, OpenFailed failed) {
  // QDesktopServices would report success as soon as xdg-open started, even
  // when it then finds no program for the file; its exit status tells.
  // No parent: an opener still running when the window closes is left to run
  // (a destroyed QProcess would kill it, and the program it started with it).
  auto* opener = new QProcess;
  QObject::connect(opener, &QProcess::finished, opener,
                   [opener, failed](int status, QProcess::ExitStatus how) {
                     if (how != QProcess::NormalExit)
                       failed("the desktop's opener xdg-open stopped abnormally");
                     else if (status != 0)
                       failed(OpenerFailure(status));
                     opener->deleteLater();
                   });
  QObject::connect(opener, &QProcess::errorOccurred, opener, [opener, failed](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    failed("the desktop's opener xdg-open could not be started");
    opener->deleteLater();
  });
  opener->setProcessChannelMode(QProcess::ForwardedChannels);
  opener->start("xdg-open", {pathOrUrl});
}

void QtDialogs::ShowText(QWidget* parent, const QString& title, const QString& text) {
  QDialog dialog(parent);
  dialog.setWindowTitle(TitleOr(title));
  auto* layout = new QVBoxLayout(&dialog);
  auto* view = new QPlainTextEdit(text, &dialog);
  view->setReadOnly(true);
  view->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(view);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  dialog.resize(640, 360);
  dialog.exec();
}
