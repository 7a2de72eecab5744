#include "ui/commands/command_services.h"

#include <stdexcept>
#include <string>

pff::PffArchive& ArchiveOfRow(pff::ArchiveTable& table, const pff::GridRow& row) {
  if (row.Archive < 1 || row.Archive > table.Count())
    throw std::runtime_error("There is no open archive " + std::to_string(row.Archive) + ".");
  return table.Archive(row.Archive);
}

std::vector<pff::GridRow> ChosenRows(const CommandTarget& target) {
  std::vector<pff::GridRow> rows;
  for (int r : target.SelectedRows())
    if (const std::optional<pff::GridRow> row = target.RowAt(r)) rows.push_back(*row);
  return rows;
}
