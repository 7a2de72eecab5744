#pragma once
// The menu bar of the main window: every item with its caption, shortcut,
// tick and visibility at start. The window connects the handlers. Each item's
// object name is its member's name.

#include <array>

class QAction;
class QMenu;
class QMenuBar;

constexpr int kCloseItems = 38;  // "Close All" and one item for each of archives 1 to 37

struct MenuActions {
  QMenu* fileMenu = nullptr;
  QMenu* newMenu = nullptr;
  QAction* newOldFlavour = nullptr;  // "DF1/DF2 Format"
  QAction* newNewFlavour = nullptr;  // "DF3 (DF:LW) Format"
  QAction* openArchives = nullptr;
  QMenu* closeMenu = nullptr;
  std::array<QAction*, kCloseItems> closeItems{};  // 0: "Close All"; i: archive i
  QAction* aboutSeparator = nullptr;
  QAction* about = nullptr;
  QAction* recentSeparatorAbove = nullptr;
  std::array<QAction*, 5> recentItems{};  // 1 to 4 used, as the slots are numbered
  QAction* recentSeparator = nullptr;
  QAction* exit = nullptr;

  QMenu* optionsMenu = nullptr;
  QMenu* dateStyleMenu = nullptr;
  QAction* dayMonthYear = nullptr;  // the "good" date style
  QAction* monthDayYear = nullptr;  // the "bad" date style
  QAction* showDeadSpace = nullptr;
  QAction* reuseDeadSpace = nullptr;
  QAction* alwaysOverwrite = nullptr;
  QAction* showPreview = nullptr;

  QMenu* actionsMenu = nullptr;  // also the grid's pop-up
  QAction* addFiles = nullptr;
  QAction* extractEntries = nullptr;
  QAction* renameEntry = nullptr;
  QAction* deleteEntries = nullptr;
  QAction* upkeepSeparator = nullptr;
  QAction* checkArchive = nullptr;
  QAction* compactArchive = nullptr;
  QAction* undoSeparator = nullptr;
  QAction* undoChange = nullptr;  // "Undo" and the step it undoes
  QAction* redoChange = nullptr;  // "Redo" and the step it redoes
};

/// Fills bar with "&File", "&Options" and "&Actions" in their design state.
MenuActions BuildMenus(QMenuBar* bar);
