#pragma once
// Widths of the grid's visible columns: each as wide as its widest shown
// text. Entry texts are Latin-1, so a table of the 256 character widths sums
// a text's width without asking the font for every one of 100,000+ rows.

#include <array>
#include <string>
#include <vector>

#include "engine/archive_table.h"
#include "listing/grid_rows.h"

class QFontMetrics;

using ColumnWidths = std::array<int, pff::kVisibleColumns>;

/// Pixels the widest shown text of each visible column needs, padding included.
ColumnWidths CellTextWidths(const pff::ArchiveTable& table, const std::vector<pff::GridRow>& rows,
                            pff::DateStyle timeDate, const QFontMetrics& metrics);
/// Pixels each header text needs, padding included.
ColumnWidths HeaderTextWidths(const QFontMetrics& metrics);
