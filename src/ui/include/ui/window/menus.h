#pragma once
// The menu bar of the main window: every item with its caption, shortcut,
// tick and visibility at start. The window connects the handlers.

#include <array>

class QAction;
class QMenu;
class QMenuBar;

constexpr int kCloseItems = 38;  // "Close All" and one item for each of archives 1 to 37

struct MenuActions {
  QMenu* mnuFile = nullptr;
  QMenu* mnuNew = nullptr;
  QAction* mnuNewV1 = nullptr;
  QAction* mnuNewV2 = nullptr;
  QAction* mnuOpen = nullptr;
  QMenu* mnuClose = nullptr;
  std::array<QAction*, kCloseItems> mnuActualClose{};
  QAction* mnuSep1 = nullptr;
  QAction* mnuAbout = nullptr;
  QAction* mnuSep2 = nullptr;
  std::array<QAction*, 5> mnuLast{};  // 1 to 4 used, as the slots are numbered
  QAction* mnuSepLast = nullptr;
  QAction* mnuExit = nullptr;

  QMenu* mnuOptions = nullptr;
  QMenu* mnuTimeDateFormat = nullptr;
  QAction* mnuGoodFormat = nullptr;
  QAction* mnuBadFormat = nullptr;
  QAction* mnuShowDeadSpace = nullptr;
  QAction* mnuReUseDeadSpace = nullptr;
  QAction* mnuOverwrite = nullptr;
  QAction* mnuShowPreview = nullptr;

  QMenu* mnuPopUp1 = nullptr;
  QAction* mnuAddFiles = nullptr;
  QAction* mnuExtract = nullptr;
  QAction* mnuRename = nullptr;
  QAction* mnuDelete = nullptr;
  QAction* mnuSepCheck = nullptr;
  QAction* mnuCheck = nullptr;
  QAction* mnuCompact = nullptr;
};

/// Fills bar with "&File", "&Options" and "&Actions" in their design state.
MenuActions BuildMenus(QMenuBar* bar);
