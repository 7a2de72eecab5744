#include "ui/window/recent_list.h"

#include <QAction>
#include <QVariant>

#include "engine/name_helpers.h"
#include "ui/window/settings_store.h"

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

RecentArchives::RecentArchives(SettingsStore& store, const std::array<QAction*, kRecentSlots + 1>& items,
                               QAction* separator)
    : store_(store), items_(items), separator_(separator) {}

void RecentArchives::Refresh() {
  bool any = false;
  for (int n = 1; n <= kRecentSlots; ++n) {
    QAction* item = items_[n];
    const QString path = store_.ReadPath("Last" + QString::number(n), kNotUsed);
    if (path != kNotUsed) {
      any = true;
      item->setData(path);
      // "&" in a path is no access key.
      QString caption = RecentCaption(n, path);
      item->setText(caption.left(3) + caption.mid(3).replace("&", "&&"));
      item->setVisible(true);
    } else {
      item->setVisible(false);
    }
  }
  separator_->setVisible(any);
}

void RecentArchives::Add(const QString& path) {
  RecentSlots recent;
  for (int n = 0; n < kRecentSlots; ++n) recent[n] = store_.ReadPath("Last" + QString::number(n + 1), kNotUsed);
  if (!AddToRecent(recent, path)) return;
  for (int n = 0; n < kRecentSlots; ++n)
    if (recent[n] != kNotUsed) store_.WritePath("Last" + QString::number(n + 1), recent[n]);
  Refresh();
}

QString RecentArchives::PathOf(int slot) const {
  return slot >= 1 && slot <= kRecentSlots ? items_[slot]->data().toString() : QString();
}
