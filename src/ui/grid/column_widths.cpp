#include "ui/grid/column_widths.h"

#include <QFontMetrics>
#include <QString>
#include <algorithm>

#include "engine/name_helpers.h"
#include "listing/format_value.h"

namespace {

constexpr int kPadding = 8;  // room for the cell's frame and focus margin

class Latin1Widths {
 public:
  explicit Latin1Widths(const QFontMetrics& metrics) {
    for (int c = 0; c < 256; ++c) width_[static_cast<size_t>(c)] = metrics.horizontalAdvance(QChar(c));
  }
  // NULs take no room: they are not shown.
  int Of(const char* text, size_t length) const {
    int sum = 0;
    for (size_t i = 0; i < length; ++i) {
      const auto c = static_cast<unsigned char>(text[i]);
      if (c != 0) sum += width_[c];
    }
    return sum;
  }
  int Of(const std::string& text) const { return Of(text.data(), text.size()); }
  // Whether every digit is as wide as "0": then dates of one style are all equally wide.
  bool TabularDigits() const {
    for (char d = '1'; d <= '9'; ++d)
      if (width_[static_cast<size_t>(d)] != width_['0']) return false;
    return true;
  }

 private:
  std::array<int, 256> width_{};
};

// With equally wide digits only the AM/PM mark makes one date wider than another.
int DateWidth(const Latin1Widths& font, int32_t fileTime, pff::DateStyle timeDate) {
  std::string text = pff::FormatFileDate(fileTime, timeDate);
  int widest = font.Of(text);
  const size_t mark = text.find("M", text.size() >= 2 ? text.size() - 2 : 0);
  if (mark != std::string::npos && mark > 0) {
    for (char c : {'A', 'P'}) {
      text[mark - 1] = c;
      widest = std::max(widest, font.Of(text));
    }
  }
  return widest;
}

}  // namespace

ColumnWidths CellTextWidths(const pff::ArchiveTable& table, const std::vector<pff::GridRow>& rows,
                            pff::DateStyle timeDate, const QFontMetrics& metrics) {
  ColumnWidths widths{};
  if (rows.empty()) return widths;
  const Latin1Widths font(metrics);
  const int blank = font.Of(" ", 1);
  const int typeSuffix = font.Of(" File", 5);
  const bool sameDateWidths = font.TabularDigits();
  std::vector<bool> archiveSeen(static_cast<size_t>(table.Count()) + 1, false);
  int name = 0, size = 0, type = 0, date = 0, from = 0;
  for (const pff::GridRow& row : rows) {
    const pff::PffEntry* entry = pff::ListedEntry(table, row);
    if (!entry) continue;
    name = std::max(name, font.Of(entry->Name.data(), entry->Name.size()));
    size = std::max(size, font.Of(pff::FormatFileSize(entry->DataSize)));
    type = std::max(type, font.Of(pff::GetFileType(pff::NameBytes(entry->Name))));
    if (!sameDateWidths || date == 0) date = std::max(date, DateWidth(font, entry->FileTime, timeDate));
    if (!archiveSeen[static_cast<size_t>(row.Archive)]) {
      archiveSeen[static_cast<size_t>(row.Archive)] = true;
      // Archive file names are UTF-8 and few: the font measures them itself.
      const std::string shown = pff::GridCellText(table, row, pff::kFromColumn, timeDate);
      from = std::max(from, metrics.horizontalAdvance(QString::fromStdString(shown)));
    }
  }
  widths[pff::kNameColumn] = name + 2 * blank + kPadding;
  widths[pff::kSizeColumn] = size + 2 * blank + kPadding;
  widths[pff::kTypeColumn] = type + blank + typeSuffix + blank + kPadding;
  widths[pff::kModifiedColumn] = date + 2 * blank + kPadding;
  widths[pff::kFromColumn] = from + kPadding;
  return widths;
}

ColumnWidths HeaderTextWidths(const QFontMetrics& metrics) {
  ColumnWidths widths{};
  for (int c = 0; c < pff::kVisibleColumns; ++c)
    widths[c] = metrics.horizontalAdvance(QString::fromLatin1(pff::GridHeaderText(c))) + 2 * kPadding;
  return widths;
}
