#include "ui/commands/archive_upkeep.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "editing/compact_archive.h"
#include "engine/archive_check.h"
#include "engine/name_helpers.h"
#include "ui/commands/job.h"
#include "ui/window/dialogs.h"
#include "ui/window/status_texts.h"

namespace {

QString ArchiveName(const pff::PffArchive& archive) {
  return QString::fromStdString(pff::GetFileName(archive.Path));
}

}  // namespace

int ArchiveUpkeep::Chosen() const {
  const int chosen = s_.target.SelectedArchive();
  return chosen >= 1 && chosen <= s_.table.Count() ? chosen : 0;
}

void ArchiveUpkeep::CheckChosen() {
  const int index = Chosen();
  if (s_.jobs.Running() || index == 0) return;
  const std::string path = s_.table.Archive(index).Path;
  auto report = std::make_shared<pff::CheckReport>();
  s_.jobs.Start(1, 0, false, [report, path](JobContext&) { *report = pff::CheckArchive(path); },
                [this, report, name = ArchiveName(s_.table.Archive(index))] {
                  QStringList lines{QString::fromStdString(pff::CheckSummary(*report))};
                  for (const pff::CheckFinding& finding : report->Findings)
                    lines << QString::fromStdString(pff::FindingText(finding));
                  s_.dialogs.ShowText(&s_.window, "Check Archive", lines.join('\n'));
                  s_.status.ShowResult(QString("Checked %1: %2 errors, %3 warnings")
                                           .arg(name)
                                           .arg(report->Errors())
                                           .arg(report->Warnings()));
                });
}

void ArchiveUpkeep::CompactChosen() {
  const int index = Chosen();
  if (s_.jobs.Running() || index == 0) return;
  const pff::PffArchive& archive = s_.table.Archive(index);
  // Compacting leaves no undo step: the question says so.
  const QString question = QString("Compact %1? %2 of dead space will be reclaimed. This cannot be undone.")
                               .arg(ArchiveName(archive), HumanSize(pff::ReclaimableBytes(archive)));
  if (!s_.dialogs.YesNo(&s_.window, QString(), question)) return;
  struct Outcome {
    pff::PffArchive archive;
    std::optional<pff::CompactResult> result;
  };
  auto out = std::make_shared<Outcome>(Outcome{archive, std::nullopt});
  s_.jobs.Start(
      1, 0, false, [out](JobContext& job) { out->result = pff::CompactArchive(out->archive, false, job.Port()); },
      [this, out, index] {
        if (!out->result) return;
        s_.table.Archive(index) = std::move(out->archive);
        s_.target.ArchivesWritten(index);
        s_.status.ShowResult(QString("Compacted %1: %2 reclaimed")
                                 .arg(ArchiveName(s_.table.Archive(index)),
                                      HumanSize(out->result->BytesBefore - out->result->BytesAfter)));
      });
}
