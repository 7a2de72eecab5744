#include "ui/filter/filter_controls.h"

#include <QComboBox>
#include <QDate>
#include <QGroupBox>

#include "listing/type_list.h"
#include "ui/filter/filter_dialog.h"
#include "ui/window/status_texts.h"

FilterControls::FilterControls(QComboBox* list, QGroupBox* frame, StatusPanel& status, QObject* parent)
    : QObject(parent), list_(list), frame_(frame), status_(status) {
  filter_ = pff::FilterSettings{};
  connect(list_, &QComboBox::activated, this, &FilterControls::ApplyQuickChoice);
  connect(&status_, &StatusPanel::clearFilterClicked, this, &FilterControls::ShowAll);
}

void FilterControls::SetTypes(const QStringList& types) {
  list_->clear();
  list_->addItems(types);
  Sync();
}

void FilterControls::ApplyQuickChoice() {
  const QString text = list_->currentText();
  if (text != pff::kShowAll) {
    // Criteria set in the advanced dialog stay in force beside the one type.
    pff::SetTypeList(filter_, pff::TypeList::Isolate, {text.toStdString()});
    filter_.Active = true;
    quickType_ = text;
    SetCaption("Filter - Only " + text);
  } else {
    filter_ = pff::FilterSettings{};
    quickType_.clear();
    SetCaption("Filter - Show All");
  }
  Sync();
  // The relist hands the keyboard to the tree; a user walking the types with
  // the arrow keys keeps it in the list.
  const bool listHadFocus = list_->hasFocus();
  emit filterChanged();
  if (listHadFocus) list_->setFocus();
}

void FilterControls::ShowAll() {
  list_->setCurrentIndex(0);
  ApplyQuickChoice();
}

void FilterControls::Reset() {
  filter_ = pff::FilterSettings{};
  quickType_.clear();
  SetCaption("Filter - Show All");
}

void FilterControls::OpenAdvanced(QWidget* parent, pff::DateStyle dateStyle) {
  QStringList items;
  for (int i = 0; i < list_->count(); ++i) items << list_->itemText(i);
  auto* dialog = new FilterDialog(items, dateStyle, QDate::currentDate(), parent);
  // open() returns at once; the window stays blocked until OK or Cancel.
  connect(dialog, &QDialog::finished, this, [this, dialog, parent](int result) {
    dialog->deleteLater();
    if (result != QDialog::Accepted) return;
    filter_ = dialog->DialogFilter();
    // The quick type is gone with the dialog's filter; list and caption say so.
    quickType_.clear();
    SetCaption("Filter - Advanced");
    Sync();
    parent->activateWindow();
    emit filterChanged();
  });
  dialog->open();
}

void FilterControls::SetCaption(const QString& caption) {
  // The frame is narrow: a long type is shortened in the middle, the whole caption kept as tooltip.
  const int room = frame_->parentWidget()->maximumWidth() - 4 * frame_->fontMetrics().averageCharWidth();
  frame_->setTitle(frame_->fontMetrics().elidedText(caption, Qt::ElideMiddle, room));
  frame_->setToolTip(caption);
}

void FilterControls::Sync() {
  // The quick list shows the type in force; after an advanced filter or a reset, " Show All".
  const int index = quickType_.isEmpty() ? 0 : list_->findText(quickType_);
  if (index < 0) {
    list_->addItem(quickType_);
    list_->setCurrentIndex(list_->count() - 1);
  } else {
    list_->setCurrentIndex(index);
  }
  QString shown;
  if (!quickType_.isEmpty())
    shown = "Only " + quickType_;
  else if (filter_.Active)
    shown = "advanced";
  status_.ShowFilter(shown);
}
