#include "ui/dialogs.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The program's own title for boxes that name none.
QString TitleOr(const QString& title) { return title.isEmpty() ? QString("Vellumcraft") : title; }

// Messages are composed with CR LF between lines; a label shows LF alone cleanly.
QString DisplayText(const QString& text) {
  QString shown = text;
  return shown.replace("\r\n", "\n");
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
  // QFileDialog asks before replacing an existing file.
  return QFileDialog::getSaveFileName(parent, QString(), folder, filter);
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

bool QtDialogs::OpenWithDesktop(const QString& pathOrUrl) {
  const QUrl url = QFileInfo::exists(pathOrUrl) ? QUrl::fromLocalFile(pathOrUrl) : QUrl(pathOrUrl);
  return QDesktopServices::openUrl(url);
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
