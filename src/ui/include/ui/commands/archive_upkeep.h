#pragma once
// "Check Archive" and "Compact Archive" on the archive chosen in the tree, each
// as a job: check reads the whole file, compaction rewrites it.

#include "ui/commands/command_services.h"

class ArchiveUpkeep {
 public:
  explicit ArchiveUpkeep(const CommandServices& services) : s_(services) {}

  /// Examines the chosen archive and shows the findings.
  void CheckChosen();
  /// Asks, then rewrites the chosen archive without its dead space.
  void CompactChosen();

 private:
  /// The archive chosen in the tree, or 0 when "View All" is shown.
  int Chosen() const;

  CommandServices s_;
};
