#pragma once
// The work behind one preview, run on a worker thread: read the part of the
// entry that is shown (never more than a page, the text limit or one image)
// and decode it. Touches nothing of the window: it gets a copy of the path
// and the entry.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/pff_archive.h"

class QTextDocument;
#include "formats/entry_content.h"

/// Bytes of one hex page, and the most text shown.
constexpr int64_t kHexPageBytes = 64 * 1024;
constexpr int64_t kMaxTextBytes = 1024 * 1024;
/// Side of the largest image kept for display (bigger ones are scaled down in the worker).
constexpr int kShownImageSide = 2048;

struct PreviewRequest {
  std::string path;  // archive, UTF-8
  pff::PffEntry entry;
  int64_t hexPage = -1;  // a page of the hex view instead of the entry's own kind
};

struct PreviewResult {
  pff::PreviewKind kind = pff::PreviewKind::Bytes;
  QString error;  // "Error in Routine" + line break + reason; set when nothing can be shown
  QString info;   // one line about the content: pixels and depth, sound format, text length
  QImage image;
  QString text;
  // The text laid out as the text view shows it, built here because laying
  // out a megabyte takes longer than the GUI thread may be kept.
  std::shared_ptr<QTextDocument> document;
  bool textCut = false;
  QByteArray bytes;  // the hex page
  int64_t pageOffset = 0;
  pff::WavInfo wav;
  bool superseded = false;  // a newer request came first: nothing was read
};

/// Reads and decodes what the request asks for; stale() returning true makes it stop early.
PreviewResult LoadPreview(const PreviewRequest& request, const std::function<bool()>& stale);
