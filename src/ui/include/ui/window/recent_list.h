#pragma once
// The four recently opened archives of the File menu, slot 1 the newest.

#include <QString>
#include <array>

class QAction;
class SettingsStore;

constexpr int kRecentSlots = 4;
extern const char* const kNotUsed;  // the text of an empty slot

/// Slot texts, index 0 holding slot 1.
using RecentSlots = std::array<QString, kRecentSlots>;

/// Records path in slot 1: a new path pushes the others down (slot 4 drops
/// out); a path already in slot F (case-insensitive, highest F wins) swaps
/// with slot 1. Returns false when nothing changed and nothing is to be stored
/// (a path shorter than 3 characters, or one already in slot 1).
bool AddToRecent(RecentSlots& recent, const QString& path);

/// Menu caption of a used slot: "&" + slot + " " + the whole path when it has
/// fewer than 17 characters, else its file name.
QString RecentCaption(int slot, const QString& path);

/// The recent items of the File menu and their slots in the store ("Last1" to "Last4").
class RecentArchives {
 public:
  /// items[1] to items[4] show slots 1 to 4; separator follows them.
  RecentArchives(SettingsStore& store, const std::array<QAction*, kRecentSlots + 1>& items, QAction* separator);
  /// Shows the used slots, hides the others and, when none is used, the separator.
  void Refresh();
  /// Records an archive that opened and shows the list anew.
  void Add(const QString& path);
  /// The archive of a slot's item.
  QString PathOf(int slot) const;

 private:
  SettingsStore& store_;
  std::array<QAction*, kRecentSlots + 1> items_;
  QAction* separator_;
};
