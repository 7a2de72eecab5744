#pragma once
// Widths of the grid's visible columns. A column is as wide as its widest
// cell text; to stay fast on long lists only the few texts that are longest
// by character count are formed and measured.

#include <array>
#include <string>
#include <vector>

#include "engine/archive_table.h"
#include "listing/grid_rows.h"

class QFontMetrics;

using ColumnWidths = std::array<int, pff::kVisibleColumns>;

/// Pixels the widest shown text of each visible column needs, padding included.
ColumnWidths CellTextWidths(const pff::ArchiveTable& table, const std::vector<pff::GridRow>& rows,
                            const std::string& timeDate, const QFontMetrics& metrics);
/// Pixels each header text needs, padding included.
ColumnWidths HeaderTextWidths(const QFontMetrics& metrics);
