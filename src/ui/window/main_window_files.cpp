// The File menu of the main window: open (as a job), new, close, the recent
// archives, About, the mail link and Exit.

#include <QFileInfo>
#include <QPointer>
#include <QTreeWidget>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "editing/undo.h"
#include "engine/name_helpers.h"
#include "engine/paths.h"
#include "engine/pff_format.h"
#include "ui/commands/job.h"
#include "ui/filter/filter_controls.h"
#include "ui/window/archive_tree.h"
#include "ui/window/archive_watcher.h"
#include "ui/window/dialogs.h"
#include "ui/window/main_window.h"
#include "ui/window/recent_list.h"

namespace {

constexpr char kMailLink[] = "mailto:tav.oskin@example.com";

// The folder of a chosen file, ending in a separator, as the dialogs start in it.
QString FolderOf(const QString& path) { return QFileInfo(path).path() + "/"; }

}  // namespace

void MainWindow::OpenFromDialog() {
  if (busy_) return;
  const QStringList files = dialogs_.OpenFiles(this, settings_.ReadPath("Last", startFolder_),
                                               "NovaLogic Resource Files (*.pff)", true);
  if (files.isEmpty()) return;
  settings_.WritePath("Last", FolderOf(files.first()));
  OpenArchives(files, true);
}

void MainWindow::OpenFromCommandLine(const QStringList& paths) { OpenArchives(paths, false); }

void MainWindow::OpenRecent(int slot) {
  if (busy_ || slot < 1 || slot > kRecentSlots) return;
  OpenArchives({recent_->PathOf(slot)}, false);
}

void MainWindow::OpenArchives(const QStringList& paths, bool remember) {
  // An archive already open is skipped: not reopened, not moved in the recent list.
  std::vector<std::string> wanted;
  for (const QString& path : paths) {
    const std::string file = path.toStdString();
    const bool twice = std::any_of(wanted.begin(), wanted.end(),
                                   [&](const std::string& w) { return pff::IsSameFile(w, file); });
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
          ShowArchive(table_.Append(std::move(archive)));
          // Only an archive that opened earns a place among the recent ones.
          if (remember) recent_->Add(path);
        }
        // Without this the first node would hide under a collapsed root.
        if (table_.IsLoaded()) archiveTree_->topLevelItem(0)->setExpanded(true);
        watcher_->Watch(OpenPaths());
        UpdateActionStates();
        RefreshFilterList();
        RefreshList();
      });
}

void MainWindow::NewArchive(pff::Flavour flavour) {
  if (busy_) return;
  const QString path =
      dialogs_.SaveFile(this, settings_.ReadPath("LastNew", startFolder_),
                        "Old NovaLogic Resource File (*.pff);;New NovaLogic Resource File (*.pff)");
  if (path.isEmpty()) return;
  settings_.WritePath("LastNew", FolderOf(path));
  // Creating over an open archive closes it first, which moves later archives
  // down; the shown archive follows, as after any close.
  const pff::Created created = pff::CreateArchive(table_, path.toStdString(), flavour);
  if (created.Closed) selectedArchive_ = ArchiveAfterClose(selectedArchive_, created.Closed);
  // The steps of an archive that had this name fit no longer.
  if (created.Index != 0) {
    pff::ForgetHistory(path.toStdString());
    lastChangedPath_ = path.toStdString();
  }
  if (created.Index != 0 || created.Closed) RefreshFileList();
  // The new file is this window's own write, not a change by another program to read again.
  if (created.Index != 0) watcher_->NoteOwnWrites(OpenPaths());
  // The closed archive's types go, and the grid's rows name archives by index, which moved.
  if (created.Closed) {
    RefreshFilterList();
    RefreshList();
  }
  if (created.Index == 0) ReportError(pff::Routine::NewArchiveCommand, created.Error);
}

void MainWindow::CloseArchive(int index) {
  if (busy_) return;
  // The shown archive follows its archive to its new index, or falls back to
  // "View All" when it was the one closed; the tree rebuild selects its node.
  if (index == 0 || (index >= 1 && index <= table_.Count()))
    selectedArchive_ = ArchiveAfterClose(selectedArchive_, index);
  bool closed = true;
  if (index == 0) {
    table_.Clear();
    filter_->Reset();
  } else {
    closed = pff::CloseFile(table_, index, *this);
  }
  if (closed) RefreshFileList();
  // The types of a closed archive are no longer offered.
  RefreshFilterList();
  RefreshList();
}

// --- About, mail link, Exit -------------------------------------------------------

void MainWindow::ShowAbout() {
  dialogs_.Message(
      this, QString(),
      QString("Vellumcraft V") + pff::kVersion +
          "\r\nAn editor for NovaLogic PFF resource archives.\r\nBy Tav Oskin, free to use and share." +
          "\r\nContact: tav.oskin@example.com");
}

void MainWindow::OpenMailLink() {
  const QPointer<MainWindow> window = this;
  dialogs_.OpenWithDesktop(kMailLink, [window](const QString& reason) {
    if (window)
      window->ReportError(pff::Routine::QuickFilter,
                          QString("No program opened %1: %2.").arg(kMailLink, reason).toStdString());
  });
}

void MainWindow::Exit() {
  // Every change was written when it was made: nothing to save. Closing stops
  // a running job first and offers to put back entry copies saved since they
  // were opened; the program ends with its last window.
  close();
}
