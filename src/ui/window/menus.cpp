#include "ui/window/menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu* AddMenu(QWidget* parent, const QString& name, const QString& caption) {
  auto* menu = new QMenu(caption, parent);
  menu->setObjectName(name);
  menu->menuAction()->setObjectName(name);
  if (auto* bar = qobject_cast<QMenuBar*>(parent))
    bar->addMenu(menu);
  else
    static_cast<QMenu*>(parent)->addMenu(menu);
  return menu;
}

QAction* AddItem(QMenu* menu, const QString& name, const QString& caption,
                 const QKeySequence& shortcut = {}) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  if (!shortcut.isEmpty()) {
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
  }
  return action;
}

QAction* AddTick(QMenu* menu, const QString& name, const QString& caption) {
  QAction* action = AddItem(menu, name, caption);
  action->setCheckable(true);
  action->setChecked(true);
  return action;
}

QAction* AddSeparator(QMenu* menu, const QString& name) {
  QAction* action = menu->addSeparator();
  action->setObjectName(name);
  return action;
}

}  // namespace

MenuActions BuildMenus(QMenuBar* bar) {
  MenuActions m;
  m.fileMenu = AddMenu(bar, "fileMenu", "&File");
  m.newMenu = AddMenu(m.fileMenu, "newMenu", "&New");
  m.newOldFlavour = AddItem(m.newMenu, "newOldFlavour", "DF1/DF2 Format", QKeySequence("Ctrl+N"));
  m.newNewFlavour = AddItem(m.newMenu, "newNewFlavour", "DF3 (DF:LW) Format", QKeySequence("Ctrl+L"));
  m.openArchives = AddItem(m.fileMenu, "openArchives", "&Open File", QKeySequence("Ctrl+O"));
  m.closeMenu = AddMenu(m.fileMenu, "closeMenu", "&Close File");
  m.closeItems[0] = AddItem(m.closeMenu, "closeItem0", "Close All", QKeySequence("Ctrl+C"));
  for (int i = 1; i < kCloseItems; ++i) {
    m.closeItems[i] = AddItem(m.closeMenu, "closeItem" + QString::number(i), QString());
    m.closeItems[i]->setVisible(false);
  }
  m.aboutSeparator = AddSeparator(m.fileMenu, "aboutSeparator");
  m.about = AddItem(m.fileMenu, "about", "About");
  m.recentSeparatorAbove = AddSeparator(m.fileMenu, "recentSeparatorAbove");
  for (int n = 1; n <= 4; ++n) {
    m.recentItems[n] = AddItem(m.fileMenu, "recentItem" + QString::number(n), QString());
    m.recentItems[n]->setVisible(false);
  }
  m.recentSeparator = AddSeparator(m.fileMenu, "recentSeparator");
  m.recentSeparator->setVisible(false);
  m.exit = AddItem(m.fileMenu, "exit", "E&xit");

  m.optionsMenu = AddMenu(bar, "optionsMenu", "&Options");
  m.dateStyleMenu = AddMenu(m.optionsMenu, "dateStyleMenu", "Time/Date Format");
  m.dayMonthYear = AddTick(m.dateStyleMenu, "dayMonthYear", "Day/Month/Year Use 24 Hours");
  m.monthDayYear = AddTick(m.dateStyleMenu, "monthDayYear", "Month/Day/Year Use PM/AM");
  m.showDeadSpace = AddTick(m.optionsMenu, "showDeadSpace", "Show DeadSpaces");
  m.reuseDeadSpace = AddTick(m.optionsMenu, "reuseDeadSpace", "Re-Use DeadSpace");
  m.alwaysOverwrite = AddTick(m.optionsMenu, "alwaysOverwrite", "Always Overwrite");
  m.showPreview = AddTick(m.optionsMenu, "showPreview", "Show Preview");
  m.showPreview->setShortcut(QKeySequence(Qt::Key_F3));
  m.showPreview->setShortcutContext(Qt::WindowShortcut);

  m.actionsMenu = AddMenu(bar, "actionsMenu", "&Actions");
  m.addFiles = AddItem(m.actionsMenu, "addFiles", "Add", QKeySequence("Ctrl+A"));
  m.extractEntries = AddItem(m.actionsMenu, "extractEntries", "Extract", QKeySequence("Ctrl+E"));
  m.renameEntry = AddItem(m.actionsMenu, "renameEntry", "Rename", QKeySequence("Ctrl+R"));
  // F2 renames as in file managers; the menu shows the first shortcut.
  m.renameEntry->setShortcuts({QKeySequence("Ctrl+R"), QKeySequence(Qt::Key_F2)});
  m.deleteEntries = AddItem(m.actionsMenu, "deleteEntries", "Delete", QKeySequence(Qt::Key_Delete));
  m.upkeepSeparator = AddSeparator(m.actionsMenu, "upkeepSeparator");
  m.checkArchive = AddItem(m.actionsMenu, "checkArchive", "Check Archive");
  m.compactArchive = AddItem(m.actionsMenu, "compactArchive", "Compact Archive");
  m.undoSeparator = AddSeparator(m.actionsMenu, "undoSeparator");
  m.undoChange = AddItem(m.actionsMenu, "undoChange", "Undo", QKeySequence("Ctrl+Z"));
  m.redoChange = AddItem(m.actionsMenu, "redoChange", "Redo", QKeySequence("Ctrl+Y"));
  return m;
}
