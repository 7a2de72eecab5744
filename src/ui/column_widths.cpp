#include "ui/column_widths.h"

#include <QFontMetrics>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kPadding = 8;         // room for the cell's frame and focus margin
constexpr size_t kCandidates = 48;  // texts measured per column at most

int Measure(const QFontMetrics& metrics, const std::string& utf8) {
  return metrics.horizontalAdvance(QString::fromStdString(utf8)) + kPadding;
}

int NonNulCount(const pff::EntryName& name, size_t from) {
  int count = 0;
  for (size_t i = from; i < name.size(); ++i)
    if (name[i] != '\0') ++count;
  return count;
}

// Character counts of the texts a column would show, without forming them.
int NameLength(const pff::PffEntry& entry) { return NonNulCount(entry.Name, 0); }

int TypeLength(const pff::PffEntry& entry) {
  const auto dot = std::find(entry.Name.begin(), entry.Name.end(), '.');
  if (dot == entry.Name.end()) return NonNulCount(entry.Name, 0);
  return NonNulCount(entry.Name, static_cast<size_t>(dot - entry.Name.begin()) + 1);
}

int SizeLength(const pff::PffEntry& entry) {
  const long long kilobytes = std::llround(static_cast<double>(entry.DataSize) / 1024.0);
  int digits = 1;
  for (long long m = std::llabs(kilobytes); m >= 10; m /= 10) ++digits;
  return digits + (kilobytes < 0 ? 1 : 0);
}

// Every date of one style has the same number of characters.
int DateLength(const pff::PffEntry&) { return 0; }

template <typename LengthOf>
int WidestOf(const pff::ArchiveTable& table, const std::vector<pff::GridRow>& rows, int column,
             const std::string& timeDate, const QFontMetrics& metrics, LengthOf lengthOf) {
  std::vector<int> lengths(rows.size());
  int longest = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    const pff::PffEntry& entry = table.Archive(rows[i].Archive).Entry(rows[i].Entry);
    lengths[i] = lengthOf(entry);
    longest = std::max(longest, lengths[i]);
  }
  // Texts one character short of the longest can still be wider in a
  // proportional font, so they are candidates too.
  int widest = 0;
  size_t measured = 0;
  for (size_t i = 0; i < rows.size() && measured < kCandidates; ++i) {
    if (lengths[i] < longest - 1) continue;
    widest = std::max(widest, Measure(metrics, pff::GridCellText(table, rows[i], column, timeDate)));
    ++measured;
  }
  return widest;
}

int WidestArchiveName(const pff::ArchiveTable& table, const std::vector<pff::GridRow>& rows,
                      const std::string& timeDate, const QFontMetrics& metrics) {
  std::vector<bool> seen(table.OpenArchives.size() + 1, false);
  int widest = 0;
  for (const pff::GridRow& row : rows) {
    if (seen[static_cast<size_t>(row.Archive)]) continue;
    seen[static_cast<size_t>(row.Archive)] = true;
    widest = std::max(widest, Measure(metrics, pff::GridCellText(table, row, 4, timeDate)));
  }
  return widest;
}

}  // namespace

ColumnWidths CellTextWidths(const pff::ArchiveTable& table, const std::vector<pff::GridRow>& rows,
                            const std::string& timeDate, const QFontMetrics& metrics) {
  ColumnWidths widths{};
  if (rows.empty()) return widths;
  widths[0] = WidestOf(table, rows, 0, timeDate, metrics, NameLength);
  widths[1] = WidestOf(table, rows, 1, timeDate, metrics, SizeLength);
  widths[2] = WidestOf(table, rows, 2, timeDate, metrics, TypeLength);
  widths[3] = WidestOf(table, rows, 3, timeDate, metrics, DateLength);
  widths[4] = WidestArchiveName(table, rows, timeDate, metrics);
  return widths;
}

ColumnWidths HeaderTextWidths(const QFontMetrics& metrics) {
  ColumnWidths widths{};
  for (int c = 0; c < pff::kVisibleColumns; ++c)
    widths[c] = Measure(metrics, pff::GridHeaderText(c)) + kPadding;
  return widths;
}
