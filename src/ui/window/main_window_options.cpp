// The Options menu of the main window: the date style and the option ticks,
// read from the store at start and written the moment they change.

#include <QAction>

#include "ui/preview/preview_pane.h"
#include "ui/window/main_window.h"
#include "ui/window/menus.h"

void MainWindow::LoadSettings() {
  const MenuActions& m = *menus_;
  dateStyle_ = settings_.ReadDateStyle();
  // Any other text leaves both ticks as designed.
  if (dateStyle_ != pff::DateStyle::Other) {
    m.dayMonthYear->setChecked(dateStyle_ == pff::DateStyle::Good);
    m.monthDayYear->setChecked(dateStyle_ == pff::DateStyle::Bad);
  }
  options_.AlwaysOverwrite = settings_.ReadBool("AlwaysOverwrite", false);
  m.alwaysOverwrite->setChecked(options_.AlwaysOverwrite);
  options_.ReUseDeadSpaces = settings_.ReadBool("ReUseDeadSpaces", true);
  m.reuseDeadSpace->setChecked(options_.ReUseDeadSpaces);
  showDeadSpace_ = settings_.ReadBool("ShowDeadSpace", false);
  m.showDeadSpace->setChecked(showDeadSpace_);
  m.showPreview->setChecked(settings_.ReadBool("ShowPreview", false));
  preview_->setVisible(m.showPreview->isChecked());
}

void MainWindow::SetDateStyle(pff::DateStyle style) {
  menus_->dayMonthYear->setChecked(style == pff::DateStyle::Good);
  menus_->monthDayYear->setChecked(style == pff::DateStyle::Bad);
  dateStyle_ = style;
  settings_.WriteDateStyle(style);
  RefreshList();
}

// The option items are checkable: the menu has inverted the tick when it
// triggers, and each option takes its tick's new state.
void MainWindow::TakeOptionTicks() {
  const MenuActions& m = *menus_;
  if (options_.AlwaysOverwrite != m.alwaysOverwrite->isChecked()) {
    options_.AlwaysOverwrite = m.alwaysOverwrite->isChecked();
    settings_.WriteBool("AlwaysOverwrite", options_.AlwaysOverwrite);
  }
  if (options_.ReUseDeadSpaces != m.reuseDeadSpace->isChecked()) {
    options_.ReUseDeadSpaces = m.reuseDeadSpace->isChecked();
    settings_.WriteBool("ReUseDeadSpaces", options_.ReUseDeadSpaces);
  }
  if (showDeadSpace_ != m.showDeadSpace->isChecked()) {
    showDeadSpace_ = m.showDeadSpace->isChecked();
    settings_.WriteBool("ShowDeadSpace", showDeadSpace_);
    RefreshList();
  }
}

void MainWindow::ShowPreviewToggled() {
  const bool shown = menus_->showPreview->isChecked();
  settings_.WriteBool("ShowPreview", shown);
  preview_->setVisible(shown);
  UpdatePreview();
}
