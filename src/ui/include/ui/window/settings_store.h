#pragma once
// The window's stored options and paths, kept by QSettings under
// "Tav_Vellumcraft". Booleans are written as "True"/"False".

#include <QString>

#include "listing/format_value.h"

class SettingsStore {
 public:
  /// Value of key in group "Settings" read as a boolean; def when missing or unreadable.
  bool ReadBool(const QString& key, bool def) const;
  void WriteBool(const QString& key, bool value);
  /// The date style stored under "TimeDate" ("Good" or "Bad", exactly; Good
  /// when missing; Other for any other text).
  pff::DateStyle ReadDateStyle() const;
  /// Stores "Good" or "Bad" under "TimeDate" (Other is never stored).
  void WriteDateStyle(pff::DateStyle style);
  /// Text of key in group "Paths"; def when missing.
  QString ReadPath(const QString& key, const QString& def) const;
  void WritePath(const QString& key, const QString& value);

  /// "True"/"False" and numbers (0 false, others true); def for anything else.
  static bool ParseBool(const QString& text, bool def);
};
