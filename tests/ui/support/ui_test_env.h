#pragma once
// What the window tests share: a QApplication on the offscreen platform whose
// settings store lives in a temporary folder, archives written byte by byte,
// and a window driven through scripted dialogs.

#include <QAction>
#include <QByteArray>
#include <QComboBox>
#include <QGroupBox>
#include <QList>
#include <QPair>
#include <QProgressBar>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/pff_archive.h"
#include "support/scripted_dialogs.h"
#include "ui/grid/grid_view.h"
#include "ui/window/main_window.h"
#include "ui/window/status_texts.h"

class FilterDialog;

struct TestEntry {
  std::string name;  // Latin-1
  int32_t size = 0;
  int32_t time = 0;
  int32_t deadFlag = 0;
};

/// Writes an archive (32-byte records) holding entries, their data zeros behind the header.
void WriteTestArchive(const QString& path, const std::vector<TestEntry>& entries);
void WriteFile(const QString& path, const QByteArray& bytes);
/// The file's bytes, or "<missing>".
QByteArray ReadFile(const QString& path);
/// The archive as the file on disk holds it, read by the engine.
pff::PffArchive ReadBack(const QString& path);
/// Entry names in directory order as the file on disk holds them.
QStringList NamesOnDisk(const QString& path);
/// Empties the temporary settings store.
void ClearStore();
/// Runs the test object under a QApplication whose settings (XDG_CONFIG_HOME
/// and HOME) live in a temporary folder, with TZ=UTC.
int RunUiTest(int argc, char** argv, QObject* (*make)());

#define VELLUM_UI_TEST_MAIN(TestClass)                                        \
  int main(int argc, char** argv) {                                           \
    return RunUiTest(argc, argv, []() -> QObject* { return new TestClass; }); \
  }

/// A main window over scripted dialogs, with a folder for its archives.
class WindowHarness {
 public:
  WindowHarness();

  MainWindow& window() { return *window_; }
  ScriptedDialogs dialogs;

  /// Full path of name in the harness folder.
  QString File(const QString& name) const { return dir_.filePath(name); }
  /// Where the window's file dialogs start (the harness folder).
  QString StartFolder() const { return dir_.path(); }
  /// Writes an archive into the harness folder; returns its path.
  QString Archive(const QString& name, const std::vector<TestEntry>& entries);
  /// Chooses paths in the Open dialog and waits for the opening.
  void Open(const QStringList& paths);
  /// Waits until the window's running job ended; false after a long time without.
  bool Settle();
  /// Triggers the menu item action and waits for the job it started.
  void Run(const QString& action);
  /// Writes bytes to src/name in the harness folder; returns its path.
  QString Source(const QString& name, const QByteArray& bytes);
  /// Opens a new archive holding files (name, bytes) added in order, shows it
  /// in the tree and forgets the dialogs shown so far; returns its path.
  QString OpenWithData(const QString& name, const QList<QPair<QString, QByteArray>>& files);
  /// Clicks the tree node of archive index (0: "View All").
  void Show(int index);
  /// Key of the tree's current node ("All", "B", "C", ...).
  QString ShownKey() const;
  /// Chooses a type in the quick type list.
  void ChooseType(const QString& type);
  /// Clicks "Advanced Filter"; the dialog it opened.
  FilterDialog* OpenAdvanced();
  /// Shows the window active at 900 x 600 with the grid in focus, for mouse and keys.
  void ShowActive();

  QAction* Action(const QString& name) const { return window_->findChild<QAction*>(name); }
  QTreeWidget* Tree() const { return window_->findChild<QTreeWidget*>("archiveTree"); }
  GridView* Grid() const { return window_->findChild<GridView*>("grid"); }
  QProgressBar* Progress() const { return window_->findChild<QProgressBar*>("progressBar"); }
  QComboBox* FilterList() const { return window_->findChild<QComboBox*>("quickTypes"); }
  QGroupBox* FilterFrame() const { return window_->findChild<QGroupBox*>("filterFrame"); }
  StatusPanel& Status() const { return *window_->findChild<StatusPanel*>(); }
  /// Selects rows current..end (either order) as a shift-click does.
  void Select(int current, int end) { Grid()->SelectBlock(current, end); }
  int CurrentRow() const;
  /// Highlighted rows as the commands walk them, from the current row on.
  QList<int> Walked() const;
  /// Rows listed (0 while the empty row under the header stands for none).
  int Listed() const;
  /// Keys of the archive nodes under "View All", in order.
  QStringList NodeKeys() const;
  /// Captions of the visible items prefix1 to prefix<last> ("" for hidden ones), up to the last visible.
  QStringList Captions(const QString& prefix, int last) const;
  QString Cell(int row, int column) const;
  QStringList Column(int column) const;

 private:
  QTemporaryDir dir_;
  std::unique_ptr<MainWindow> window_;
};
