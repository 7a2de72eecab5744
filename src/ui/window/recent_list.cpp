#include "ui/window/recent_list.h"

#include "engine/name_helpers.h"

const char* const kNotUsed = "NotUsed";

bool AddToRecent(RecentSlots& recent, const QString& path) {
  if (path.size() < 3) return false;
  int found = -1;
  const QString upper = path.toUpper();
  for (int n = 0; n < kRecentSlots; ++n)
    if (recent[n].toUpper() == upper) found = n;
  if (found == 0) return false;
  if (found < 0) {
    for (int n = kRecentSlots - 1; n > 0; --n) recent[n] = recent[n - 1];
  } else {
    recent[found] = recent[0];
  }
  recent[0] = path;
  return true;
}

QString RecentCaption(int slot, const QString& path) {
  const QString shown =
      path.size() < 17 ? path : QString::fromStdString(pff::GetFileName(path.toStdString()));
  return "&" + QString::number(slot) + " " + shown;
}
