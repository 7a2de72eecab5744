#include "ui/commands/undo_steps.h"

#include <QAction>
#include <QString>
#include <exception>
#include <memory>
#include <string>

#include "editing/archive_transaction.h"
#include "editing/undo.h"
#include "ui/commands/job.h"
#include "ui/window/dialogs.h"
#include "ui/window/status_texts.h"

namespace {

// What the job did, read by the window once it ended.
struct UndoOutcome {
  pff::PffArchive archive;  // the job's copy: read again after a step, or after another program's change
  pff::StepResult result;
  bool reread = false;  // the copy was read again because another program changed the file
  std::string error;    // why the step failed; nothing was written then
};

QString ItemText(const char* verb, const pff::UndoStep* step) {
  if (!step) return verb;
  return QString(verb) + " " + QString::fromStdString(pff::StepCaption(step->Label));
}

}  // namespace

void UndoCommand::ShowSteps(int index, bool enabled, QAction* undo, QAction* redo) const {
  // While work runs neither may start, and the steps are read again when it ends.
  if (!enabled) {
    undo->setEnabled(false);
    redo->setEnabled(false);
    return;
  }
  pff::UndoHistory history;
  if (index >= 1 && index <= s_.table.Count()) history = pff::ReadHistory(s_.table.Archive(index).Path);
  const pff::UndoStep* undone = history.Done.empty() ? nullptr : &history.Done.back();
  const pff::UndoStep* redone = history.Undone.empty() ? nullptr : &history.Undone.front();
  undo->setText(ItemText("Undo", undone));
  redo->setText(ItemText("Redo", redone));
  // A step too large to redo stays offered: the refusal says why, where a grey item would not.
  undo->setEnabled(undone != nullptr);
  redo->setEnabled(redone != nullptr);
}

void UndoCommand::Run(int index, bool redo) {
  if (s_.jobs.Running() || index < 1 || index > s_.table.Count()) return;
  auto out = std::make_shared<UndoOutcome>();
  out->archive = s_.table.Archive(index);
  // What the step keeps is about what it writes back: the bar follows that.
  const pff::UndoHistory history = pff::ReadHistory(out->archive.Path);
  int64_t bytes = 0;
  if (!redo && !history.Done.empty()) bytes = history.Done.back().Bytes;
  if (redo && !history.Undone.empty()) bytes = history.Undone.front().Bytes;
  s_.jobs.Start(
      1, bytes, true,
      [out, redo](JobContext& job) {
        const pff::CopyProgress progress = [&job](int64_t copied) {
          job.Progress(0, copied);
          return !job.Cancelled();
        };
        try {
          out->result =
              redo ? pff::RedoChange(out->archive, progress) : pff::UndoChange(out->archive, progress);
        } catch (const pff::ArchiveChanged& e) {
          out->reread = true;
          out->error = e.what();
        } catch (const std::exception& e) {
          out->error = e.what();
        }
      },
      [this, out, index, redo] {
        const pff::StepOutcome outcome = out->result.Outcome;
        if (out->reread || (out->error.empty() && outcome == pff::StepOutcome::Applied))
          s_.table.Archive(index) = std::move(out->archive);
        s_.target.ArchivesWritten(index);
        const QString nothing = redo ? "nothing was redone" : "nothing was undone";
        if (!out->error.empty()) {
          s_.status.ShowResult(QString(redo ? "Redo failed: " : "Undo failed: ") + nothing);
          s_.dialogs.Message(&s_.window, QString(), QString::fromStdString(out->error));
          return;
        }
        const QString message = QString::fromStdString(out->result.Message);
        s_.status.ShowResult(message);
        // A refusal writes nothing, and the status bar alone is easy to miss; a stop was the user's own.
        if (outcome != pff::StepOutcome::Applied && outcome != pff::StepOutcome::Stopped)
          s_.dialogs.Message(&s_.window, QString(), message);
      });
}
