#pragma once
// The four recently opened archives of the File menu, slot 1 the newest.

#include <QString>
#include <array>

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
