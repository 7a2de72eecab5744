#include "ui/window/settings_store.h"

#include <QSettings>

namespace {

// A fresh QSettings per access: cheap, and several windows (tests) see each
// other's writes at once.
QString Read(const QString& group, const QString& key, const QString& def) {
  QSettings store("Tav_Vellumcraft", "Tav_Vellumcraft");
  store.beginGroup(group);
  return store.value(key, def).toString();
}

void Write(const QString& group, const QString& key, const QString& value) {
  QSettings store("Tav_Vellumcraft", "Tav_Vellumcraft");
  store.beginGroup(group);
  store.setValue(key, value);
}

}  // namespace

bool SettingsStore::ParseBool(const QString& text, bool def) {
  const QString t = text.trimmed();
  if (t.compare("True", Qt::CaseInsensitive) == 0) return true;
  if (t.compare("False", Qt::CaseInsensitive) == 0) return false;
  bool isNumber = false;
  const double number = t.toDouble(&isNumber);
  if (isNumber) return number != 0.0;
  return def;
}

bool SettingsStore::ReadBool(const QString& key, bool def) const {
  return ParseBool(Read("Settings", key, def ? "True" : "False"), def);
}

void SettingsStore::WriteBool(const QString& key, bool value) {
  Write("Settings", key, value ? "True" : "False");
}

pff::DateStyle SettingsStore::ReadDateStyle() const {
  const QString text = Read("Settings", "TimeDate", "Good");
  if (text == "Good") return pff::DateStyle::Good;
  if (text == "Bad") return pff::DateStyle::Bad;
  return pff::DateStyle::Other;
}

void SettingsStore::WriteDateStyle(pff::DateStyle style) {
  if (style != pff::DateStyle::Other)
    Write("Settings", "TimeDate", style == pff::DateStyle::Good ? "Good" : "Bad");
}

QString SettingsStore::ReadPath(const QString& key, const QString& def) const {
  return Read("Paths", key, def);
}

void SettingsStore::WritePath(const QString& key, const QString& value) { Write("Paths", key, value); }
