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
  m.mnuFile = AddMenu(bar, "mnuFile", "&File");
  m.mnuNew = AddMenu(m.mnuFile, "mnuNew", "&New");
  m.mnuNewV1 = AddItem(m.mnuNew, "mnuNewV1", "DF1/DF2 Format", QKeySequence("Ctrl+N"));
  m.mnuNewV2 = AddItem(m.mnuNew, "mnuNewV2", "DF3 (DF:LW) Format", QKeySequence("Ctrl+L"));
  m.mnuOpen = AddItem(m.mnuFile, "mnuOpen", "&Open File", QKeySequence("Ctrl+O"));
  m.mnuClose = AddMenu(m.mnuFile, "mnuClose", "&Close File");
  m.mnuActualClose[0] = AddItem(m.mnuClose, "mnuActualClose0", "Close All", QKeySequence("Ctrl+C"));
  for (int i = 1; i < kCloseItems; ++i) {
    m.mnuActualClose[i] = AddItem(m.mnuClose, "mnuActualClose" + QString::number(i), QString());
    m.mnuActualClose[i]->setVisible(false);
  }
  m.mnuSep1 = AddSeparator(m.mnuFile, "mnuSep1");
  m.mnuAbout = AddItem(m.mnuFile, "mnuAbout", "About");
  m.mnuSep2 = AddSeparator(m.mnuFile, "mnuSep2");
  for (int n = 1; n <= 4; ++n) {
    m.mnuLast[n] = AddItem(m.mnuFile, "mnuLast" + QString::number(n), QString());
    m.mnuLast[n]->setVisible(false);
  }
  m.mnuSepLast = AddSeparator(m.mnuFile, "mnuSepLast");
  m.mnuSepLast->setVisible(false);
  m.mnuExit = AddItem(m.mnuFile, "mnuExit", "E&xit");

  m.mnuOptions = AddMenu(bar, "mnuOptions", "&Options");
  m.mnuTimeDateFormat = AddMenu(m.mnuOptions, "mnuTimeDateFormat", "Time/Date Format");
  m.mnuGoodFormat = AddTick(m.mnuTimeDateFormat, "mnuGoodFormat", "Day/Month/Year Use 24 Hours");
  m.mnuBadFormat = AddTick(m.mnuTimeDateFormat, "mnuBadFormat", "Month/Day/Year Use PM/AM");
  m.mnuShowDeadSpace = AddTick(m.mnuOptions, "mnuShowDeadSpace", "Show DeadSpaces");
  m.mnuReUseDeadSpace = AddTick(m.mnuOptions, "mnuReUseDeadSpace", "Re-Use DeadSpace");
  m.mnuOverwrite = AddTick(m.mnuOptions, "mnuOverwrite", "Always Overwrite");
  m.mnuShowPreview = AddTick(m.mnuOptions, "mnuShowPreview", "Show Preview");
  m.mnuShowPreview->setShortcut(QKeySequence(Qt::Key_F3));
  m.mnuShowPreview->setShortcutContext(Qt::WindowShortcut);

  m.mnuPopUp1 = AddMenu(bar, "mnuPopUp1", "&Actions");
  m.mnuAddFiles = AddItem(m.mnuPopUp1, "mnuAddFiles", "Add", QKeySequence("Ctrl+A"));
  m.mnuExtract = AddItem(m.mnuPopUp1, "mnuExtract", "Extract", QKeySequence("Ctrl+E"));
  m.mnuRename = AddItem(m.mnuPopUp1, "mnuRename", "Rename", QKeySequence("Ctrl+R"));
  // F2 renames as in file managers; the menu shows the first shortcut.
  m.mnuRename->setShortcuts({QKeySequence("Ctrl+R"), QKeySequence(Qt::Key_F2)});
  m.mnuDelete = AddItem(m.mnuPopUp1, "mnuDelete", "Delete", QKeySequence(Qt::Key_Delete));
  m.mnuSepCheck = AddSeparator(m.mnuPopUp1, "mnuSepCheck");
  m.mnuCheck = AddItem(m.mnuPopUp1, "mnuCheck", "Check Archive");
  m.mnuCompact = AddItem(m.mnuPopUp1, "mnuCompact", "Compact Archive");
  return m;
}
