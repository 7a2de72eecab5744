#pragma once
// Keys of the tree TV1: the root "All" ("View All") and archive i under the
// single character of code 65 + i, kept in each item's Qt::UserRole data.

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

/// Empties the tree and adds the root "View All" alone; returns the root.
QTreeWidgetItem* ResetArchiveTree(QTreeWidget* tree);
/// Adds archive index's node under the root; returns it.
QTreeWidgetItem* AddArchiveNode(QTreeWidget* tree, int index, const QString& fileName);
/// The key character of an archive index.
QString ArchiveKey(int index);
/// The archive a key stands for; -1 (View All) for "All".
int ArchiveOfKey(const QString& key);
/// The key stored in a node.
QString NodeKey(const QTreeWidgetItem* node);
/// The node of an archive, the root for -1; nullptr when there is none.
QTreeWidgetItem* FindArchiveNode(QTreeWidget* tree, int archive);
/// The archive shown after archive closed (0: all) is closed: the same
/// archive at its new index, or -1 (View All) when it was the one closed.
int ArchiveAfterClose(int selected, int closed);
