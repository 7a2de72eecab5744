// The preview pane: kinds, each decoder on images made here, hostile images and WAV headers
// refused with a message, hex pages, the text limit, the option, and the pane following the grid.

#include <QAction>
#include <QBuffer>
#include <QDataStream>
#include <QPlainTextDocumentLayout>
#include <QRandomGenerator>
#include <QTest>
#include <QTextDocument>
#include <tuple>

#include "engine/pff_archive.h"
#include "engine/pff_format.h"
#include "support/ui_test_env.h"
#include "ui/preview/preview_hex_view.h"
#include "ui/preview/preview_loader.h"
#include "ui/preview/preview_pane.h"
#include "ui/preview/preview_text_view.h"

namespace {

using Bytes = QByteArray;

void Put16(Bytes& b, int at, int v) { b[at] = char(v & 0xFF), b[at + 1] = char((v >> 8) & 0xFF); }
void Put32(Bytes& b, int at, qint64 v) {
  Put16(b, at, int(v & 0xFFFF)), Put16(b, at + 2, int((v >> 16) & 0xFFFF));
}

// A w x h PCX, RLE-coded: one plane of palette indices (pixel = x + y) with a
// grey palette, or three planes of colour where every pixel is (200, 100, 50).
Bytes Pcx(int w, int h, int planes) {
  Bytes b(128, '\0');
  b[0] = 0x0A, b[1] = 5, b[2] = 1, b[3] = 8;
  Put16(b, 8, w - 1);
  Put16(b, 10, h - 1);
  b[65] = static_cast<char>(planes);
  Put16(b, 66, w);
  b[68] = 1;
  for (int y = 0; y < h; ++y)
    for (int p = 0; p < planes; ++p)
      for (int x = 0; x < w; ++x) {
        const int v = planes == 1 ? (x + y) & 0xFF : (p == 0 ? 200 : p == 1 ? 100 : 50);
        if (v >= 0xC0) b.append(static_cast<char>(0xC1));
        b.append(static_cast<char>(v));
      }
  if (planes == 1) {
    b.append(static_cast<char>(12));
    for (int i = 0; i < 256; ++i) b.append(3, static_cast<char>(i));
  }
  return b;
}

// Blue-green-red pixels; run-length coded (type 10, which Qt's reader leaves to SDL2_image) or plain.
Bytes Tga(int w, int h, bool rle = false) {
  Bytes b(18, '\0');
  b[2] = rle ? 10 : 2;
  Put16(b, 12, w);
  Put16(b, 14, h);
  b[16] = 24;
  b[17] = 0x20;
  for (int left = w * h; left > 0; left -= rle ? 128 : 1) {
    if (rle) b.append(static_cast<char>(0x80 | (qMin(left, 128) - 1)));
    b.append("\x10\x20\xF0", 3);
  }
  return b;
}

Bytes QtImage(const char* format) {
  QImage image(5, 4, QImage::Format_RGB32);
  image.fill(QColor(255, 0, 0));
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return buffer.data();
}

// One red pixel, a two-colour global table.
const Bytes kGif = Bytes::fromHex("47494638396101000100800000ff00000000002c00000000010001000002024401003b");

Bytes Wav(int format, int channels, quint32 rate, int bits, quint32 dataSize, int dataHeld) {
  Bytes b;
  QDataStream out(&b, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  const auto align = quint16(channels * bits / 8);
  out.writeRawData("RIFFsizeWAVEfmt ", 16);
  out << quint32(16) << quint16(format) << quint16(channels) << rate << rate * align << align
      << quint16(bits);
  out.writeRawData("data", 4);
  out << dataSize;
  Put32(b, 4, 36 + dataHeld);
  return b + Bytes(dataHeld, '\0');
}

// The preview of one entry holding bytes, made as the pane's worker makes it. Other bytes stand
// before and after the entry, as in an archive, so that reading beside it shows.
PreviewResult Preview(const std::string& name, const Bytes& bytes, int64_t hexPage = -1) {
  QTemporaryDir dir;
  const QString path = dir.filePath("one.pff");
  // A header whose directory starts right behind the entry, and other bytes there.
  uint8_t head[pff::kHeaderBytes];
  pff::EncodeHeader({20, {'P', 'F', 'F', '3'}, 1, 36, static_cast<int32_t>(pff::kHeaderBytes + bytes.size())},
                    head);
  WriteFile(path, Bytes(reinterpret_cast<const char*>(head), pff::kHeaderBytes) + bytes + Bytes(20, '\xBB'));
  pff::PffEntry entry;
  entry.DataOffset = 20;
  entry.DataSize = static_cast<int32_t>(bytes.size());
  entry.Name = pff::MakeEntryName(name);
  return LoadPreview({path.toStdString(), entry, hexPage}, [] { return false; });
}

}  // namespace

class PreviewTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearStore(); }

  void showsEachKind_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("info");
    QTest::addColumn<QColor>("pixel");  // the last one, when the picture is exact
    const QColor red(255, 0, 0), tga(0xF0, 0x20, 0x10), none;
    const int image = int(pff::PreviewKind::Image), pcx = int(pff::PreviewKind::Pcx),
              text = int(pff::PreviewKind::Text), sound = int(pff::PreviewKind::Sound),
              bytes = int(pff::PreviewKind::Bytes);
    const QString rgb54 = "5 x 4 pixels, 24 bits", tga52 = "5 x 2 pixels, 24 bits";
    QTest::newRow("png by content") << "a.dat" << QtImage("PNG") << image << rgb54 << red;
    QTest::newRow("bmp") << "a.bmp" << QtImage("BMP") << image << rgb54 << red;
    QTest::newRow("gif") << "a.gif" << kGif << image << "1 x 1 pixels, 8 bits, 2 colours" << red;
    QTest::newRow("tga by name") << "a.tga" << Tga(5, 2) << image << tga52 << tga;
    QTest::newRow("tga rle") << "a.tga" << Tga(5, 2, true) << image << tga52 << tga;
    QTest::newRow("pcx 8-bit by content")
        << "a.bin" << Pcx(6, 3, 1) << pcx << "6 x 3 pixels, 8 bits, 256 colours" << QColor(7, 7, 7);
    QTest::newRow("pcx 24-bit") << "a.pcx" << Pcx(6, 3, 3) << pcx << "6 x 3 pixels, 24 bits"
                                << QColor(200, 100, 50);
    QTest::newRow("wav by content") << "a.xyz" << Wav(1, 2, 22050, 16, 44100, 44100) << sound
                                    << "PCM, 2 channels, 22050 Hz, 16 bits, 0.50 s" << none;
    QTest::newRow("float wav") << "a.wav" << Wav(3, 1, 8000, 32, 32000, 32000) << sound
                               << "IEEE float, 1 channel, 8000 Hz, 32 bits, 1.00 s" << none;
    QTest::newRow("ascii") << "a.def" << Bytes("name = tank\r\nspeed = 4\r\n") << text << "2 lines" << none;
    QTest::newRow("latin-1") << "a.txt" << Bytes("M\xFCnz in K\xF6ln\n") << text << "1 line" << none;
    QTest::newRow("utf-8") << "a.txt" << Bytes("M\xC3\xBCnz \xE2\x82\xAC\n") << text << "1 line" << none;
    QTest::newRow("text starting BM")
        << "a.txt" << Bytes("BM list: tank, jeep, truck, boat\n") << text << "1 line" << none;
    QTest::newRow("a NUL makes bytes") << "a.txt" << Bytes("text\0more", 9) << bytes << "" << none;
    QTest::newRow("many controls") << "a.scr" << Bytes("\x01\x02\x03\x04 abc") << bytes << "" << none;
    QTest::newRow("empty") << "a.txt" << Bytes() << int(pff::PreviewKind::Empty) << "" << none;
  }
  void showsEachKind() {
    QFETCH(QString, name);
    QFETCH(Bytes, bytes);
    QFETCH(int, kind);
    QFETCH(QString, info);
    QFETCH(QColor, pixel);
    const PreviewResult r = Preview(name.toStdString(), bytes);
    QCOMPARE(r.error, QString());
    QCOMPARE(int(r.kind), kind);
    QCOMPARE(r.info, info);
    if (pixel.isValid()) QCOMPARE(r.image.pixelColor(r.image.width() - 1, r.image.height() - 1), pixel);
  }

  void refusesHostileEntries_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<QString>("message");
    Bytes huge = Pcx(4, 2, 3);
    Put16(huge, 8, 16000), Put16(huge, 10, 16000), Put16(huge, 66, 16001);
    Bytes bmp = QtImage("BMP");
    Put32(bmp, 18, 100000);
    Bytes tga = Tga(2, 2);
    Put16(tga, 12, 0);
    QTest::newRow("pcx over 256 MiB") << "a.pcx" << huge << "more than this preview decodes";
    QTest::newRow("pcx header cut") << "a.pcx" << Pcx(4, 2, 1).left(100) << "no PCX header";
    QTest::newRow("pcx data cut") << "a.pcx" << Pcx(40, 30, 3).left(300) << "cannot be decoded";
    QTest::newRow("bmp huge") << "a.bmp" << bmp << "more than this preview decodes";
    QTest::newRow("png cut") << "a.png" << QtImage("PNG").left(40) << "Error in LoadPreview";
    QTest::newRow("tga zero width") << "a.tga" << tga << "Error in LoadPreview";
    QTest::newRow("jpeg garbage") << "a.jpg" << Bytes("\xFF\xD8\xFF garbage garbage")
                                  << "Error in LoadPreview";
    QTest::newRow("pcx by name, damaged") << "b.b.pcx" << Bytes("junk") << "no PCX header";
    const Bytes wav = Wav(1, 1, 8000, 8, 8, 8);
    QTest::newRow("wav cut in format") << "a.wav" << wav.left(30) << "cut short";
    QTest::newRow("wav without data chunk") << "a.wav" << wav.left(36) << "no data chunk";
    QTest::newRow("wav huge data size")
        << "a.wav" << Wav(1, 1, 8000, 8, 0x7FFFFFF0, 100) << "more than the 100";
    QTest::newRow("wav zero data size") << "a.wav" << Wav(1, 1, 8000, 8, 0, 0) << "data size 0";
    QTest::newRow("wav zero channels") << "a.wav" << Wav(1, 0, 8000, 8, 8, 8) << "zero channels";
    QTest::newRow("wav huge chunk before data")
        << "a.wav" << Bytes(wav).replace(12, 8, Bytes("LIST\xF0\xFF\xFF\x7F", 8)) << "no format chunk";
  }
  void refusesHostileEntries() {
    QFETCH(QString, name);
    QFETCH(Bytes, bytes);
    QFETCH(QString, message);
    const PreviewResult r = Preview(name.toStdString(), bytes);
    QVERIFY2(r.error.startsWith("Error in ") && r.error.contains(message), qPrintable(r.error));
    QVERIFY(r.image.isNull());
  }

  void survivesDamagedBytes() {
    // Seeded damage to every decoded kind: a few bytes overwritten, every other time cut short.
    QRandomGenerator random(11);
    const std::vector<std::pair<std::string, Bytes>> goods{
        {"a.pcx", Pcx(9, 5, 1)}, {"b.pcx", Pcx(9, 5, 3)},   {"a.tga", Tga(7, 3, true)},
        {"a.gif", kGif},         {"a.bmp", QtImage("BMP")}, {"a.wav", Wav(1, 2, 8000, 16, 64, 64)}};
    for (const auto& [name, good] : goods)
      for (int round = 0; round < 60; ++round) {
        Bytes bad = good;
        for (int k = 0; k < 4; ++k)
          bad[random.bounded(int(bad.size()))] = static_cast<char>(random.generate());
        if (round % 2) bad.truncate(random.bounded(int(bad.size())) + 1);
        const PreviewResult r = Preview(name, bad);
        const bool picture = r.kind == pff::PreviewKind::Image || r.kind == pff::PreviewKind::Pcx;
        QVERIFY(!r.error.isEmpty() || !picture || !r.image.isNull());
      }
  }

  void readsHexPages() {
    Bytes bytes;
    for (int i = 0; i < 150000; ++i) bytes.append(static_cast<char>(i * 7));
    bytes[0] = 'A', bytes[1] = '\xE9', bytes[2] = '\x01';
    // Page, its first byte, its length: the first (also when no page is asked for), the last (short),
    // one past the end (empty).
    for (const auto& [page, offset, size] : {std::tuple{-1, 0, 65536}, {2, 131072, 18928}, {9, 150000, 0}}) {
      const PreviewResult r = Preview("a.bin", bytes, page);
      QCOMPARE(r.pageOffset, offset);
      QCOMPARE(r.bytes, bytes.mid(offset, size));
    }
    PreviewHexView view;
    view.SetPage(Preview("a.bin", bytes).bytes, 0);
    QCOMPARE(view.LineCount(), 4096);
    QCOMPARE(view.Line(0),
             QString::fromUtf8(
                 "00000000  41 E9 01 15 1C 23 2A 31  38 3F 46 4D 54 5B 62 69  A\xC3\xA9...#*18?FMT[bi"));
  }

  void cutsLongText() {
    // A euro sign (3 bytes) straddles the 1 MiB limit.
    Bytes text(static_cast<int>(kMaxTextBytes) - 1, 'x');
    text += "\xE2\x82\xAC more";
    const PreviewResult cut = Preview("a.txt", text);
    QCOMPARE(cut.kind, pff::PreviewKind::Text);
    QVERIFY(cut.textCut);
    QCOMPARE(cut.text.size(), kMaxTextBytes - 1);
    QVERIFY(!Preview("a.txt", "line one\n").textCut);
  }

  void lineNumbersLeaveTheTextItsRoom() {
    PreviewTextView view;
    view.resize(400, 300);
    view.show();
    for (const int lines : {150, 9, 12000}) {
      QStringList text;
      for (int n = 1; n <= lines; ++n) text << QString("line %1").arg(n);
      QTextDocument document(text.join('\n'));
      document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
      view.ShowDocument(&document);
      view.resize(400, 300 + lines % 7);  // a later layout change, as a note shown above the text makes
      const QWidget* numbers = view.findChild<QWidget*>("lineNumbers");
      QVERIFY(numbers->geometry().right() < view.viewport()->geometry().left());
      QVERIFY(numbers->width() >= view.fontMetrics().horizontalAdvance(QString::number(lines)));
      view.setDocument(nullptr);
    }
  }

  void refusesRegionsOutsideTheFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("one.pff");
    WriteFile(path, Bytes(20, 'x') + "hello");
    // Size past the end, a negative offset, an offset past the end, a missing archive.
    for (const auto& [offset, size, file] : std::vector<std::tuple<int32_t, int32_t, QString>>{
             {20, 100000, path}, {-5, 5, path}, {0x7FFFFFF0, 5, path}, {20, 5, dir.filePath("no.pff")}}) {
      pff::PffEntry bad;
      bad.DataOffset = offset, bad.DataSize = size, bad.Name = pff::MakeEntryName("a.txt");
      const PreviewResult r = LoadPreview({file.toStdString(), bad, -1}, [] { return false; });
      QVERIFY2(r.error.startsWith("Error in ReadEntryBytes\n"), qPrintable(r.error));
    }
  }

  void optionIsRememberedAndOffByDefault() {
    for (const bool on : {false, true}) {
      WindowHarness h;
      QCOMPARE(h.Action("showPreview")->isChecked(), on);
      QCOMPARE(h.window().findChild<PreviewPane*>()->isVisibleTo(&h.window()), on);
      h.Action("showPreview")->trigger();  // stored for the next start
    }
  }

  void paneFollowsTheGrid() {
    WindowHarness h;
    h.OpenWithData("mix.pff", {{"readme.txt", "first line\nsecond\n"},
                               {"tank.pcx", Pcx(8, 4, 3)},
                               {"boom.wav", Wav(1, 1, 8000, 8, 800, 800)},
                               {"model.3di", Bytes("\0\1\2\3", 4)}});
    h.Action("showPreview")->trigger();
    PreviewPane* pane = h.window().findChild<PreviewPane*>();
    auto shownAt = [&](int row) {
      h.Select(row, row);
      if (!QTest::qWaitFor([&] { return pane->Settled(); })) return pff::PreviewKind::Empty;
      return pane->ShownKind();
    };
    QCOMPARE(shownAt(0), pff::PreviewKind::Text);
    QCOMPARE(pane->Text(), QString("first line\nsecond\n"));
    QCOMPARE(shownAt(1), pff::PreviewKind::Pcx);
    QCOMPARE(pane->Image().size(), QSize(8, 4));
    QCOMPARE(shownAt(2), pff::PreviewKind::Sound);
    QCOMPARE(shownAt(3), pff::PreviewKind::Bytes);
    QCOMPARE(pane->hexView()->LineCount(), 1);

    h.Select(0, 2);
    QTRY_VERIFY(pane->Settled());
    QVERIFY2(pane->Message().startsWith("3 entries, "), qPrintable(pane->Message()));

    // A double click in the pane opens the entry as one on its row does.
    QCOMPARE(shownAt(3), pff::PreviewKind::Bytes);
    QTest::mouseDClick(pane->hexView()->viewport(), Qt::LeftButton);
    h.Settle();
    QVERIFY(!h.dialogs.shown.empty());
    QCOMPARE(h.dialogs.shown.back().kind, QString("desktop"));
    QVERIFY(h.dialogs.shown.back().text.endsWith("model.3di"));
  }
};

VELLUM_UI_TEST_MAIN(PreviewTest)
#include "preview_test.moc"
