#include "ui/commands/replace_question.h"

namespace {

QString Side(const pff::ReplaceSide& side, pff::DateStyle style) {
  return QString::fromStdString(side.Name + ", Size: " + pff::FormatFileSize(side.Size) +
                                ", Modified On: " + pff::FormatFileDate(side.FileTime, style));
}

}  // namespace

QString ReplaceQuestionText(const pff::ReplaceRequest& request, pff::DateStyle style) {
  return "Are you sure you want to replace: " + Side(request.Entry, style) + "\r\n" +
         "With This One: " + Side(request.File, style);
}
