#include "support/ui_test_env.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "editing/add_file.h"
#include "engine/name_helpers.h"
#include "engine/pff_format.h"
#include "ui/filter/filter_dialog.h"

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

pff::PffArchive ReadBack(const QString& path) {
  pff::ArchiveTable table;
  pff::SilentFrontend quiet;
  if (!pff::OpenFile(table, path.toStdString(), quiet)) return {};
  return table.Archive(1);
}

QStringList NamesOnDisk(const QString& path) {
  QStringList names;
  for (const pff::PffEntry& e : ReadBack(path).Entries)
    names << QString::fromLatin1(pff::StripNulls(pff::NameBytes(e.Name)).c_str());
  return names;
}

void WriteTestArchive(const QString& path, const std::vector<TestEntry>& entries) {
  // Each entry's data (zeros) lies between the header and the directory, as in a real archive.
  pff::PffHeader header = pff::NewHeader(pff::Flavour::Old);
  header.EntryCount = static_cast<int32_t>(entries.size());
  int64_t dataBytes = 0;
  for (const TestEntry& e : entries) dataBytes += std::max(e.size, 0);
  header.DirOffset = static_cast<int32_t>(pff::kHeaderBytes + dataBytes);
  std::vector<uint8_t> bytes(static_cast<size_t>(header.DirOffset), 0);
  pff::EncodeHeader(header, bytes.data());
  int32_t offset = pff::kHeaderBytes;
  for (const TestEntry& e : entries) {
    pff::PffEntry entry;
    entry.DeadFlag = e.deadFlag;
    entry.DataOffset = offset;
    entry.DataSize = e.size;
    entry.FileTime = e.time;
    entry.Name = pff::MakeEntryName(e.name);
    offset += std::max(e.size, 0);
    uint8_t record[pff::kRecordBytes];
    pff::EncodeRecord(entry, record);
    bytes.insert(bytes.end(), record, record + pff::kRecordBytes);
  }
  bytes.insert(bytes.end(), 8, 0);
  for (char c : std::string("KING")) bytes.push_back(static_cast<uint8_t>(c));
  WriteFile(path,
            QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
}

void ClearStore() {
  QSettings store("Tav_Vellumcraft", "Tav_Vellumcraft");
  store.clear();
  store.sync();
}

int RunUiTest(int argc, char** argv, QObject* (*make)()) {
  // Before QApplication and before any QSettings: the real user store is never touched.
  QTemporaryDir home;
  qputenv("HOME", home.path().toUtf8());
  qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("TZ", "UTC");
  tzset();
  QApplication app(argc, argv);
  std::unique_ptr<QObject> test(make());
  return QTest::qExec(test.get(), argc, argv);
}

WindowHarness::WindowHarness() : window_(std::make_unique<MainWindow>(dialogs)) {
  window_->SetStartFolder(dir_.path());
}

QString WindowHarness::Archive(const QString& name, const std::vector<TestEntry>& entries) {
  const QString path = File(name);
  WriteTestArchive(path, entries);
  return path;
}

void WindowHarness::Open(const QStringList& paths) {
  dialogs.openAnswers.push_back(paths);
  window_->OpenFromDialog();
  Settle();
}

bool WindowHarness::Settle() {
  if (QTest::qWaitFor([this] { return !window_->Busy(); }, 20000)) return true;
  qWarning("the window's job did not end");
  return false;
}

void WindowHarness::Run(const QString& action) {
  Action(action)->trigger();
  Settle();
}

QString WindowHarness::Source(const QString& name, const QByteArray& bytes) {
  QDir().mkpath(File("src"));
  WriteFile(File("src/" + name), bytes);
  return File("src/" + name);
}

QString WindowHarness::OpenWithData(const QString& name, const QList<QPair<QString, QByteArray>>& files) {
  const QString path = Archive(name, {});
  pff::ArchiveTable table;
  pff::SilentFrontend quiet;
  pff::OpenFile(table, path.toStdString(), quiet);
  for (const auto& [file, bytes] : files)
    pff::AddFile(Source(file, bytes).toStdString(), table.Archive(1), pff::EngineOptions(), quiet);
  Open({path});
  Show(NodeKeys().size());
  dialogs.shown.clear();
  return path;
}

void WindowHarness::Show(int index) {
  QTreeWidgetItem* root = Tree()->topLevelItem(0);
  QTreeWidgetItem* node = index == 0 ? root : root->child(index - 1);
  {
    // The click makes the node current and lists it, once.
    const QSignalBlocker quiet(Tree());
    Tree()->setCurrentItem(node);
  }
  window_->ShowNode(node);
}

QString WindowHarness::ShownKey() const {
  const QTreeWidgetItem* node = Tree()->currentItem();
  return node ? node->data(0, Qt::UserRole).toString() : QString();
}

void WindowHarness::ChooseType(const QString& type) {
  const int index = FilterList()->findText(type);
  FilterList()->setCurrentIndex(index);
  emit FilterList()->activated(index);
}

FilterDialog* WindowHarness::OpenAdvanced() {
  window_->findChild<QPushButton*>("advancedFilter")->click();
  return window_->findChild<FilterDialog*>();
}

void WindowHarness::ShowActive() {
  window_->resize(900, 600);
  window_->show();
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  Grid()->setFocus();
}

int WindowHarness::CurrentRow() const { return Listed() == 0 ? -1 : Grid()->CurrentRow(); }

QList<int> WindowHarness::Walked() const {
  QList<int> rows;
  if (Listed() > 0)
    for (int r : Grid()->SelectedRowsInOrder()) rows << r;
  return rows;
}

int WindowHarness::Listed() const {
  const int rows = Grid()->model()->rowCount();
  return rows == 1 && Cell(0, 0).isEmpty() ? 0 : rows;
}

QStringList WindowHarness::NodeKeys() const {
  QStringList keys;
  QTreeWidgetItem* root = Tree()->topLevelItem(0);
  for (int i = 0; root && i < root->childCount(); ++i)
    keys << root->child(i)->data(0, Qt::UserRole).toString();
  return keys;
}

QStringList WindowHarness::Captions(const QString& prefix, int last) const {
  QStringList captions;
  for (int i = 1; i <= last; ++i) {
    QAction* item = Action(prefix + QString::number(i));
    captions << (item->isVisible() ? item->text() : QString());
  }
  while (!captions.isEmpty() && captions.last().isEmpty()) captions.removeLast();
  return captions;
}

QString WindowHarness::Cell(int row, int column) const {
  return Grid()->model()->index(row, column).data().toString();
}

QStringList WindowHarness::Column(int column) const {
  QStringList texts;
  for (int r = 0; r < Grid()->model()->rowCount(); ++r) texts << Cell(r, column);
  return texts;
}
