// The File and Options menus of the main window: open, new, close, recent
// archives, options, About and Exit.

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QTreeWidget>
#include <algorithm>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "engine/name_helpers.h"
#include "engine/paths.h"
#include "engine/pff_format.h"
#include "ui/commands/job.h"
#include "ui/window/archive_tree.h"
#include "ui/window/dialogs.h"
#include "ui/window/main_window.h"
#include "ui/window/menus.h"
#include "ui/preview/preview_pane.h"
#include "ui/window/recent_list.h"

namespace {

constexpr char kMailLink[] = "mailto:tav.oskin@example.com";

// The folder of a chosen file, ending in a separator, as the dialogs start in it.
QString FolderOf(const QString& path) { return QFileInfo(path).path() + "/"; }

}  // namespace

void MainWindow::mnuOpen_Click() {
  if (busy_) return;
  const QStringList files = dialogs_.OpenFiles(this, settings_.ReadPath("Last", startFolder_),
                                               "NovaLogic Resource Files (*.pff)", true);
  if (files.isEmpty()) return;
  settings_.WritePath("Last", FolderOf(files.first()));
  OpenArchives(files, true);
}

void MainWindow::OpenArchives(const QStringList& paths, bool remember) {
  // An archive already open is skipped: not reopened, not moved in the recent list.
  std::vector<std::string> wanted;
  for (const QString& path : paths) {
    const std::string file = path.toStdString();
    const bool twice = std::any_of(wanted.begin(), wanted.end(), [&](const std::string& w) {
      return pff::IsSameFile(w, file);
    });
    if (!twice && !pff::IsFileOpen(table_, file)) wanted.push_back(file);
  }
  auto opened = std::make_shared<std::vector<pff::PffArchive>>();
  jobs_->Start(
      static_cast<int>(wanted.size()), 0, true,
      [wanted, opened](JobContext& job) {
        for (size_t i = 0; i < wanted.size() && !job.Cancelled(); ++i) {
          pff::ArchiveTable one;
          if (pff::OpenFile(one, wanted[i], job.Port())) opened->push_back(one.Archive(1));
          job.Progress(static_cast<int>(i + 1), 0);
        }
      },
      [this, opened, remember] {
        for (pff::PffArchive& archive : *opened) {
          const QString path = QString::fromStdString(archive.Path);
          ShowOpened(table_.Append(std::move(archive)));
          // Only an archive that opened earns a place among the recent ones.
          if (remember) AddLastOpened(path);
        }
        WatchOpenArchives();
        UpdateActionStates();
        RefreshFilterList();
        RefreshList();
      });
}

void MainWindow::ShowOpened(int index) {
  ShowArchive(index, pff::GetFileName(table_.Archive(index).Path));
  // Without this the first node would hide under a collapsed root.
  tv1_->topLevelItem(0)->setExpanded(true);
}

void MainWindow::mnuNewV1_Click() { NewArchive(true); }

void MainWindow::mnuNewV2_Click() { NewArchive(false); }

void MainWindow::NewArchive(bool oldFlavour) {
  const QString path =
      dialogs_.SaveFile(this, settings_.ReadPath("LastNew", startFolder_),
                        "Old NovaLogic Resource File (*.pff);;New NovaLogic Resource File (*.pff)");
  if (path.isEmpty()) return;
  settings_.WritePath("LastNew", FolderOf(path));
  // Creating over an open archive closes it first, which moves later archives
  // down; the shown archive follows, as after any close.
  const pff::Created created =
      pff::CreateArchive(table_, path.toStdString(), oldFlavour ? pff::Flavour::Old : pff::Flavour::New);
  if (created.Closed) selectedArchive_ = ArchiveAfterClose(selectedArchive_, created.Closed);
  if (created.Index != 0 || created.Closed) RefreshFileList();
  // The new file is this window's own write, not a change by another program to read again.
  if (created.Index != 0) NoteOwnWrites();
  // The closed archive's types go, and the grid's rows name archives by index, which moved.
  if (created.Closed) {
    RefreshFilterList();
    RefreshList();
  }
  if (created.Index == 0) ReportError("mnuNew_Click", created.Error);
}

void MainWindow::mnuActualClose_Click(int index) {
  if (busy_) return;
  // The shown archive follows its archive to its new index, or falls back to
  // "View All" when it was the one closed; the tree rebuild selects its node.
  if (index == 0 || (index >= 1 && index <= table_.Count()))
    selectedArchive_ = ArchiveAfterClose(selectedArchive_, index);
  bool closed = true;
  if (index == 0) {
    table_.Clear();
    // Nothing open: no filter is left in force unseen for the next archive.
    pff::InitilizeFilter(currentFilter_);
    quickType_.clear();
    SetFilterCaption("Filter - Show All");
  } else {
    closed = pff::CloseFile(table_, index, *this);
  }
  if (closed) RefreshFileList();
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
  if (busy_ || index < 1 || index > kRecentSlots) return;
  OpenArchives({menus_->mnuLast[index]->data().toString()}, false);
}

void MainWindow::OpenFromCommandLine(const QStringList& paths) { OpenArchives(paths, false); }

// --- options --------------------------------------------------------------------

void MainWindow::LoadSettings() {
  timeDate_ = settings_.ReadDateStyle();
  // Any other text leaves both ticks as designed.
  if (timeDate_ != pff::DateStyle::Other) {
    menus_->mnuGoodFormat->setChecked(timeDate_ == pff::DateStyle::Good);
    menus_->mnuBadFormat->setChecked(timeDate_ == pff::DateStyle::Bad);
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

void MainWindow::SetTimeDate(pff::DateStyle style) {
  menus_->mnuGoodFormat->setChecked(style == pff::DateStyle::Good);
  menus_->mnuBadFormat->setChecked(style == pff::DateStyle::Bad);
  timeDate_ = style;
  settings_.WriteDateStyle(style);
  RefreshList();
}

void MainWindow::mnuGoodFormat_Click() { SetTimeDate(pff::DateStyle::Good); }

void MainWindow::mnuBadFormat_Click() { SetTimeDate(pff::DateStyle::Bad); }

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

void MainWindow::Text1_Click() {
  const QPointer<MainWindow> window = this;
  dialogs_.OpenWithDesktop(kMailLink, [window](const QString& reason) {
    if (window)
      window->ReportError("Text1_Click", QString("No program opened %1: %2.").arg(kMailLink, reason).toStdString());
  });
}

void MainWindow::mnuExit_Click() {
  // Every change was written when it was made: nothing to save or ask. A
  // running job is stopped first, as closing the window does.
  if (busy_) return void(close());
  QCoreApplication::exit(0);
}
