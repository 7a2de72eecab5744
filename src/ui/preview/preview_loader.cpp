#include "ui/preview/preview_loader.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QImageReader>
#include <QLocale>
#include <QPlainTextDocumentLayout>
#include <QTextDocument>
#include <algorithm>
#include <exception>
#include <vector>

#include "editing/read_entry.h"
#include "engine/frontend.h"
#include "engine/name_helpers.h"
#include "ui/preview/preview_sdl_image.h"

namespace {

QString Failure(pff::Routine routine, const QString& reason) {
  return QString("Error in ") + pff::RoutineName(routine) + "\n" + reason;
}

// Upper-cased text after the last ".", so that "a.b.pcx" counts as a PCX.
std::string LastType(const pff::PffEntry& entry) {
  const std::string name = pff::StripNulls(pff::NameBytes(entry.Name));
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : pff::UpperLatin1(name.substr(dot + 1));
}

QByteArray ToBytes(const std::vector<uint8_t>& v) {
  return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

QString DepthText(int bits, int palette) {
  QString text = QString("%1 bits").arg(bits);
  if (palette > 0) text += QString(", %1 colours").arg(palette);
  return text;
}

QByteArray ReaderFormat(const std::vector<uint8_t>& head, const std::string& type) {
  auto starts = [&](const char* magic, size_t n) {
    return head.size() >= n && std::equal(magic, magic + n, head.begin(),
                                          [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
  };
  if (starts("\x89PNG", 4)) return "png";
  if (starts("\xFF\xD8\xFF", 3)) return "jpeg";
  if (starts("GIF8", 4)) return "gif";
  if (starts("BM", 2)) return "bmp";
  if (type == "PNG") return "png";
  if (type == "JPG" || type == "JPEG") return "jpeg";
  if (type == "GIF") return "gif";
  if (type == "BMP") return "bmp";
  return "tga";
}

void KeepForDisplay(PreviewResult& result, QImage image) {
  if (image.width() > kShownImageSide || image.height() > kShownImageSide)
    image = image.scaled(kShownImageSide, kShownImageSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  result.image = std::move(image);
}

// Qt reads uncompressed true-colour TGA only, and only with the footer that
// version 2 files end in (older game files lack it); the rest goes to SDL2_image.
bool LoadTga(const QByteArray& bytes, const std::vector<uint8_t>& head, QImage& image,
             pff::DeclaredImage& declared, QString& error) {
  if (head.size() < 18) {
    error = Failure(pff::Routine::LoadPreview, "The TGA header is cut short.");
    return false;
  }
  declared.width = head[12] | (head[13] << 8);
  declared.height = head[14] | (head[15] << 8);
  declared.bitsPerPixel = head[16];
  declared.paletteSize = head[1] == 1 ? (head[5] | (head[6] << 8)) : 0;
  if (auto refusal = pff::ImageSizeRefusal(declared.width, declared.height)) {
    error = Failure(pff::Routine::LoadPreview, QString::fromStdString(*refusal));
    return false;
  }
  static const QByteArray kFooter("TRUEVISION-XFILE.\0", 18);
  QByteArray withFooter = bytes;
  if (!bytes.endsWith(kFooter)) withFooter += QByteArray(8, '\0') + kFooter;
  QBuffer buffer(&withFooter);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "tga");
  if (head[2] == 2 && reader.read(&image)) return true;
  QString why;
  image = DecodeTga(bytes, why);
  if (image.isNull()) error = Failure(pff::Routine::DecodeTga, why);
  return !image.isNull();
}

void LoadImage(PreviewResult& result, const PreviewRequest& request, const std::vector<uint8_t>& head,
               const std::function<bool()>& stale) {
  const int64_t size = request.entry.DataSize;
  if (size > pff::kMaxImageBytes) {
    result.error = Failure(pff::Routine::LoadPreview, "The image entry is larger than this preview reads.");
    return;
  }
  pff::DeclaredImage declared;
  std::string reason;
  if (result.kind == pff::PreviewKind::Pcx) {
    const auto pcx = pff::ReadPcxHeader(head.data(), head.size(), size, reason);
    if (!pcx) {
      result.error = Failure(pff::Routine::DecodePcx, QString::fromStdString(reason));
      return;
    }
    declared = *pcx;
  }
  if (stale()) return;
  const QByteArray bytes =
      ToBytes(pff::ReadEntryBytes(request.path, request.entry, 0, static_cast<size_t>(size)));
  if (stale()) return;
  QImage image;
  if (result.kind == pff::PreviewKind::Pcx) {
    QString error;
    image = DecodePcx(bytes, error);
    if (image.isNull()) {
      result.error = Failure(pff::Routine::DecodePcx, error);
      return;
    }
  } else if (ReaderFormat(head, LastType(request.entry)) == "tga") {
    if (!LoadTga(bytes, head, image, declared, result.error)) return;
  } else {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, ReaderFormat(head, LastType(request.entry)));
    const QSize shape = reader.size();
    if (!shape.isValid()) {
      result.error =
          Failure(pff::Routine::LoadPreview, "The image's size cannot be read: " + reader.errorString());
      return;
    }
    if (auto refusal = pff::ImageSizeRefusal(shape.width(), shape.height())) {
      result.error = Failure(pff::Routine::LoadPreview, QString::fromStdString(*refusal));
      return;
    }
    if (!reader.read(&image)) {
      result.error =
          Failure(pff::Routine::LoadPreview, "The image cannot be decoded: " + reader.errorString());
      return;
    }
    declared.width = image.width();
    declared.height = image.height();
    declared.paletteSize = image.colorCount();
    // Qt keeps 24-bit pictures in 32-bit pixels with an unused alpha byte.
    declared.bitsPerPixel = image.hasAlphaChannel() || image.depth() != 32 ? image.depth() : 24;
    // Qt hands GIF frames over in true colour; the file itself holds up to 8-bit indices.
    if (reader.format() == "gif" && head.size() > 10) {
      declared.bitsPerPixel = 8;
      declared.paletteSize = (head[10] & 0x80) ? 2 << (head[10] & 7) : 0;
    }
  }
  result.info = QString("%1 x %2 pixels, %3")
                    .arg(image.width())
                    .arg(image.height())
                    .arg(DepthText(declared.bitsPerPixel, declared.paletteSize));
  KeepForDisplay(result, std::move(image));
}

void LoadText(PreviewResult& result, const PreviewRequest& request) {
  const int64_t size = request.entry.DataSize;
  // A few bytes past the limit tell whether the limit splits a UTF-8 character.
  const std::vector<uint8_t> bytes = pff::ReadEntryBytes(
      request.path, request.entry, 0, static_cast<size_t>(std::min(size, kMaxTextBytes + 4)));
  result.textCut = size > kMaxTextBytes;
  const auto* p = reinterpret_cast<const char*>(bytes.data());
  if (pff::IsUtf8(bytes.data(), bytes.size())) {
    const size_t n = pff::Utf8CutLength(bytes.data(), bytes.size(), kMaxTextBytes);
    result.text = QString::fromUtf8(p, static_cast<qsizetype>(n));
  } else {
    result.text =
        QString::fromLatin1(p, static_cast<qsizetype>(std::min<size_t>(bytes.size(), kMaxTextBytes)));
  }
  auto* document = new QTextDocument;
  document->setDocumentLayout(new QPlainTextDocumentLayout(document));
  // The view's own font and options, so that handing the document over lays out nothing again.
  document->setDefaultFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  QTextOption option = document->defaultTextOption();
  option.setWrapMode(QTextOption::NoWrap);
  document->setDefaultTextOption(option);
  document->setPlainText(result.text);
  document->moveToThread(QCoreApplication::instance()->thread());
  result.document.reset(document);
  // A last line without a line break still counts.
  const qsizetype lines = result.text.count('\n') + (result.text.endsWith('\n') ? 0 : 1);
  result.info = QString("%1 line%2").arg(QLocale().toString(lines), lines == 1 ? "" : "s");
}

void LoadSound(PreviewResult& result, const PreviewRequest& request, const std::vector<uint8_t>& head) {
  std::string reason;
  const auto wav = pff::ReadWavHeader(head.data(), head.size(), request.entry.DataSize, reason);
  if (!wav) {
    result.error = Failure(pff::Routine::ReadWavHeader, QString::fromStdString(reason));
    return;
  }
  result.wav = *wav;
  result.info = QString("%1, %2 channel%3, %4 Hz, %5 bits, %6 s")
                    .arg(QString::fromStdString(pff::WavFormatName(wav->format)))
                    .arg(wav->channels)
                    .arg(wav->channels == 1 ? "" : "s")
                    .arg(wav->sampleRate)
                    .arg(wav->bits)
                    .arg(wav->seconds, 0, 'f', 2);
}

}  // namespace

PreviewResult LoadPreview(const PreviewRequest& request, const std::function<bool()>& stale) {
  PreviewResult result;
  if (stale()) {
    result.superseded = true;
    return result;
  }
  try {
    const int64_t size = request.entry.DataSize;
    if (request.hexPage >= 0) {
      result.kind = pff::PreviewKind::Bytes;
      result.pageOffset = std::min(request.hexPage * kHexPageBytes, std::max<int64_t>(size, 0));
      result.bytes =
          ToBytes(pff::ReadEntryBytes(request.path, request.entry, result.pageOffset, kHexPageBytes));
      return result;
    }
    const std::vector<uint8_t> head = pff::ReadEntryBytes(request.path, request.entry, 0, pff::kSniffBytes);
    result.kind = pff::DetectPreviewKind(LastType(request.entry), head.data(), head.size(), size);
    switch (result.kind) {
      case pff::PreviewKind::Image:
      case pff::PreviewKind::Pcx:
        LoadImage(result, request, head, stale);
        break;
      case pff::PreviewKind::Text:
        LoadText(result, request);
        break;
      case pff::PreviewKind::Sound:
        LoadSound(result, request, head);
        break;
      case pff::PreviewKind::Bytes:
        result.bytes = ToBytes(head);
        break;
      case pff::PreviewKind::Empty:
        break;
    }
    result.superseded = stale();
  } catch (const std::exception& e) {
    result.error = Failure(pff::Routine::ReadEntryBytes, QString::fromStdString(e.what()));
  }
  return result;
}
