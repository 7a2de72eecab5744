// The File and Options menus of the main window: open, new, close, recent
// archives, options, About and Exit.

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTreeWidget>
#include <exception>

#include "engine/pff_format.h"
#include "ui/archive_tree.h"
#include "ui/dialogs.h"
#include "ui/main_window.h"
#include "ui/menus.h"
#include "ui/preview_pane.h"
#include "ui/recent_list.h"

namespace {

constexpr char kMailLink[] = "mailto:tav.oskin@example.com";

// The folder of a chosen file, ending in a separator, as the dialogs start in it.
QString FolderOf(const QString& path) { return QFileInfo(path).path() + "/"; }

}  // namespace

void MainWindow::mnuOpen_Click() {
  const QStringList files = dialogs_.OpenFiles(this, settings_.ReadPath("Last", programFolder_),
                                               "NovaLogic Resource Files (*.pff)", true);
  if (files.isEmpty()) return;
  try {
    settings_.WritePath("Last", FolderOf(files.first()));
    // An archive already open is skipped: not reopened, not moved in the recent list.
    for (const QString& file : files) {
      if (table_.IsLoaded && pff::IsFileOpen(table_, file.toStdString())) continue;
      pff::OpenFile(table_, file.toStdString(), *this);
      AddLastOpened(file);
    }
  } catch (const std::exception& e) {
    // Archives opened before the failure stay open and are listed.
    ReportError("mnuOpen_Click", e.what());
  }
  RefreshList();
}

void MainWindow::mnuNewV1_Click() { NewArchive(true); }

void MainWindow::mnuNewV2_Click() { NewArchive(false); }

void MainWindow::NewArchive(bool oldFlavour) {
  const QString path =
      dialogs_.SaveFile(this, settings_.ReadPath("LastNew", programFolder_),
                        "Old NovaLogic Resource File (*.pff);;New NovaLogic Resource File (*.pff)");
  if (path.isEmpty()) return;
  settings_.WritePath("LastNew", FolderOf(path));
  // Creating over an open archive closes it first, which moves later archives
  // down; the shown archive follows, as after any close.
  const int stale = pff::FindOpenArchive(table_, path.toStdString());
  const int selectedBefore = selectedArchive_;
  if (stale) selectedArchive_ = ArchiveAfterClose(selectedArchive_, stale);
  const bool created = pff::CreateArchive(table_, path.toStdString(),
                                          oldFlavour ? pff::Flavour::Old : pff::Flavour::New, *this);
  if (!created) {
    selectedArchive_ = selectedBefore;
    return;
  }
  // The grid's rows name archives by index, and those moved.
  if (stale) RefreshList();
}

void MainWindow::mnuActualClose_Click(int index) {
  if (busy_) return;
  // The shown archive follows its archive to its new index, or falls back to
  // "View All" when it was the one closed; the tree rebuild selects its node.
  if (index == 0 || (index >= 1 && index <= table_.Count()))
    selectedArchive_ = ArchiveAfterClose(selectedArchive_, index);
  if (index == 0) {
    pff::ResetArchives(table_, *this);
    // Nothing open: no filter is left in force unseen for the next archive.
    pff::InitilizeFilter(currentFilter_);
    quickType_.clear();
    SetFilterCaption("Filter - Show All");
  } else {
    pff::CloseFile(table_, index, *this);
  }
  // The types of a closed archive are no longer offered.
  RefreshFilterList();
  RefreshList();
}

// --- recent archives ----------------------------------------------------------

void MainWindow::RefreshLastOpend() {
  bool any = false;
  for (int n = 1; n <= kRecentSlots; ++n) {
    QAction* item = menus_->mnuLast[n];
    const QString path = settings_.ReadPath("Last" + QString::number(n), kNotUsed);
    if (path != kNotUsed) {
      any = true;
      item->setData(path);
      QString caption = RecentCaption(n, path);
      item->setText(caption.left(3) + caption.mid(3).replace("&", "&&"));
      item->setVisible(true);
    } else {
      item->setVisible(false);
    }
  }
  menus_->mnuSepLast->setVisible(any);
}

void MainWindow::AddLastOpened(const QString& path) {
  RecentSlots recent;
  for (int n = 0; n < kRecentSlots; ++n)
    recent[n] = settings_.ReadPath("Last" + QString::number(n + 1), kNotUsed);
  if (!AddToRecent(recent, path)) return;
  for (int n = 0; n < kRecentSlots; ++n)
    if (recent[n] != kNotUsed) settings_.WritePath("Last" + QString::number(n + 1), recent[n]);
  RefreshLastOpend();
}

void MainWindow::mnuLast_Click(int index) {
  if (index < 1 || index > kRecentSlots) return;
  const std::string path = menus_->mnuLast[index]->data().toString().toStdString();
  if (table_.IsLoaded && pff::IsFileOpen(table_, path)) return;
  pff::OpenFile(table_, path, *this);
  RefreshList();
}

void MainWindow::OpenFromCommandLine(const QString& path) {
  if (table_.IsLoaded && pff::IsFileOpen(table_, path.toStdString())) return;
  pff::OpenFile(table_, path.toStdString(), *this);
  RefreshList();
  tv1_->setFocus();
  tv1_->topLevelItem(0)->setExpanded(true);
}

// --- options --------------------------------------------------------------------

void MainWindow::LoadSettings() {
  const QString timeDate = settings_.ReadSetting("TimeDate", "Good");
  options_.TimeDate = timeDate.toStdString();
  // Any other text leaves both ticks as designed.
  if (timeDate == "Good" || timeDate == "Bad") {
    menus_->mnuGoodFormat->setChecked(timeDate == "Good");
    menus_->mnuBadFormat->setChecked(timeDate == "Bad");
  }
  options_.AlwaysOverwrite = settings_.ReadBool("AlwaysOverwrite", false);
  menus_->mnuOverwrite->setChecked(options_.AlwaysOverwrite);
  options_.ReUseDeadSpaces = settings_.ReadBool("ReUseDeadSpaces", true);
  menus_->mnuReUseDeadSpace->setChecked(options_.ReUseDeadSpaces);
  showDeadSpace_ = settings_.ReadBool("ShowDeadSpace", false);
  menus_->mnuShowDeadSpace->setChecked(showDeadSpace_);
  menus_->mnuShowPreview->setChecked(settings_.ReadBool("ShowPreview", false));
  preview_->setVisible(menus_->mnuShowPreview->isChecked());
}

void MainWindow::SetTimeDate(const QString& style) {
  menus_->mnuGoodFormat->setChecked(style == "Good");
  menus_->mnuBadFormat->setChecked(style == "Bad");
  options_.TimeDate = style.toStdString();
  settings_.WriteSetting("TimeDate", style);
  RefreshList();
}

void MainWindow::mnuGoodFormat_Click() { SetTimeDate("Good"); }

void MainWindow::mnuBadFormat_Click() { SetTimeDate("Bad"); }

// The three option items are checkable: the menu has inverted the tick when
// their handler runs, and the option takes the tick's new state.
void MainWindow::mnuShowDeadSpace_Click() {
  showDeadSpace_ = menus_->mnuShowDeadSpace->isChecked();
  settings_.WriteBool("ShowDeadSpace", showDeadSpace_);
  RefreshList();
}

void MainWindow::mnuReUseDeadSpace_Click() {
  options_.ReUseDeadSpaces = menus_->mnuReUseDeadSpace->isChecked();
  settings_.WriteBool("ReUseDeadSpaces", options_.ReUseDeadSpaces);
}

void MainWindow::mnuOverwrite_Click() {
  options_.AlwaysOverwrite = menus_->mnuOverwrite->isChecked();
  settings_.WriteBool("AlwaysOverwrite", options_.AlwaysOverwrite);
}

// --- About, mail link, Exit -------------------------------------------------------

void MainWindow::mnuAbout_Click() {
  dialogs_.Message(
      this, QString(),
      QString("Vellumcraft V") + pff::kVersion +
          "\r\nAn editor for NovaLogic PFF resource archives.\r\nBy Tav Oskin, free to use and share." +
          "\r\nContact: tav.oskin@example.com");
}

void MainWindow::Text1_Click() { dialogs_.OpenWithDesktop(kMailLink); }

void MainWindow::mnuExit_Click() {
  // Every change was written when it was made: nothing to save or ask.
  QCoreApplication::exit(0);
}
