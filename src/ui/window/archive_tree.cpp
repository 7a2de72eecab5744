#include "ui/window/archive_tree.h"

#include <QTreeWidget>

#include "listing/grid_rows.h"

namespace {
constexpr char kRootKey[] = "All";
}

QTreeWidgetItem* ResetArchiveTree(QTreeWidget* tree) {
  tree->clear();
  auto* root = new QTreeWidgetItem(tree, QStringList{"View All"});
  root->setData(0, Qt::UserRole, QString(kRootKey));
  return root;
}

QTreeWidgetItem* AddArchiveNode(QTreeWidget* tree, int index, const QString& fileName) {
  QTreeWidgetItem* root = tree->topLevelItem(0);
  if (!root) root = ResetArchiveTree(tree);
  auto* node = new QTreeWidgetItem(root, QStringList{fileName});
  node->setData(0, Qt::UserRole, ArchiveKey(index));
  return node;
}

QString ArchiveKey(int index) { return QString(QChar(65 + index)); }

int ArchiveOfKey(const QString& key) {
  if (key == kRootKey || key.isEmpty()) return pff::kAllArchives;
  return key.at(0).unicode() - 65;
}

QString NodeKey(const QTreeWidgetItem* node) {
  return node ? node->data(0, Qt::UserRole).toString() : QString();
}

QTreeWidgetItem* FindArchiveNode(QTreeWidget* tree, int archive) {
  QTreeWidgetItem* root = tree->topLevelItem(0);
  if (!root || archive == pff::kAllArchives) return root;
  const QString key = ArchiveKey(archive);
  for (int i = 0; i < root->childCount(); ++i)
    if (NodeKey(root->child(i)) == key) return root->child(i);
  return nullptr;
}

int ArchiveAfterClose(int selected, int closed) {
  if (selected == pff::kAllArchives || closed == 0 || selected == closed) return pff::kAllArchives;
  return selected > closed ? selected - 1 : selected;
}
