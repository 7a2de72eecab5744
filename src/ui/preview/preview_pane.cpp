#include "ui/preview/preview_pane.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent>

#include "engine/pff_archive.h"
#include "listing/format_value.h"
#include "ui/preview/preview_hex_view.h"
#include "ui/preview/preview_sound.h"
#include "ui/preview/preview_text_view.h"

namespace {

// Arrowing through rows starts no read until the current row has stayed a
// moment: longer than a held key takes to repeat, so a walk costs no decoding.
constexpr int kSettleMs = 60;

QString Digits(qint64 number) { return QString::fromStdString(pff::GroupDigits(number)); }

QString SizeText(qint64 bytes) {
  return QString::fromStdString(pff::FormatByteSize(bytes) +
                                (bytes >= 1024 ? " (" + pff::GroupDigits(bytes) + " bytes)" : ""));
}

QString KindName(pff::PreviewKind kind) {
  switch (kind) {
    case pff::PreviewKind::Image:
    case pff::PreviewKind::Pcx:
      return "Image";
    case pff::PreviewKind::Text:
      return "Text";
    case pff::PreviewKind::Sound:
      return "Sound";
    case pff::PreviewKind::Bytes:
      return "Bytes";
    case pff::PreviewKind::Empty:
      return "Empty";
  }
  return {};
}

}  // namespace

PreviewPane::PreviewPane(QWidget* parent)
    : QWidget(parent),
      delay_(new QTimer(this)),
      title_(new QLabel(this)),
      info_(new QLabel(this)),
      pages_(new QStackedWidget(this)),
      message_(new QLabel(pages_)),
      picture_(new QLabel(pages_)),
      textPage_(new QWidget(pages_)),
      find_(new QLineEdit(textPage_)),
      textNote_(new QLabel(textPage_)),
      text_(new PreviewTextView(textPage_)),
      sound_(new PreviewSound(pages_)),
      hexPage_(new QWidget(pages_)),
      hex_(new PreviewHexView(hexPage_)),
      previousPage_(new QPushButton("Previous", hexPage_)),
      nextPage_(new QPushButton("Next", hexPage_)),
      pageText_(new QLabel(hexPage_)),
      bytesButton_(new QPushButton("Bytes", this)) {
  setObjectName("previewPane");
  pool_.setMaxThreadCount(1);
  delay_->setSingleShot(true);
  delay_->setInterval(kSettleMs);
  connect(delay_, &QTimer::timeout, this, [this] { Start(next_); });

  title_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  title_->setStyleSheet("font-weight: bold");
  info_->setWordWrap(true);
  message_->setAlignment(Qt::AlignCenter);
  message_->setWordWrap(true);
  message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  picture_->setAlignment(Qt::AlignCenter);
  picture_->setMinimumSize(1, 1);

  auto* textLayout = new QVBoxLayout(textPage_);
  textLayout->setContentsMargins(0, 0, 0, 0);
  find_->setObjectName("previewFind");
  find_->setPlaceholderText("Find");
  find_->setClearButtonEnabled(true);
  textLayout->addWidget(find_);
  textLayout->addWidget(textNote_);
  textLayout->addWidget(text_, 1);
  connect(find_, &QLineEdit::returnPressed, this, [this] { FindNext(); });
  // Ctrl+F reaches the field from anywhere in the window (the grid above all)
  // while the pane shows a text.
  auto* findKey = new QShortcut(QKeySequence::Find, this);
  findKey->setContext(Qt::WindowShortcut);
  connect(findKey, &QShortcut::activated, this, [this] {
    if (pages_->currentWidget() != textPage_) return;
    find_->setFocus();
    find_->selectAll();
  });

  auto* hexLayout = new QVBoxLayout(hexPage_);
  hexLayout->setContentsMargins(0, 0, 0, 0);
  auto* pageRow = new QHBoxLayout;
  pageRow->addWidget(previousPage_);
  pageRow->addWidget(nextPage_);
  pageRow->addWidget(pageText_, 1);
  hexLayout->addLayout(pageRow);
  hexLayout->addWidget(hex_, 1);
  connect(previousPage_, &QPushButton::clicked, this, [this] { ShowHexPage(shown_.hexPage - 1); });
  connect(nextPage_, &QPushButton::clicked, this, [this] { ShowHexPage(shown_.hexPage + 1); });

  for (QWidget* page : {static_cast<QWidget*>(message_), static_cast<QWidget*>(picture_), textPage_,
                        static_cast<QWidget*>(sound_), hexPage_})
    pages_->addWidget(page);

  bytesButton_->setObjectName("previewBytes");
  bytesButton_->setToolTip("Show the entry's bytes");
  connect(bytesButton_, &QPushButton::clicked, this, [this] { ShowHexPage(0); });
  auto* titleRow = new QHBoxLayout;
  titleRow->addWidget(title_, 1);
  titleRow->addWidget(bytesButton_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 0, 0, 0);
  layout->addLayout(titleRow);
  layout->addWidget(info_);
  layout->addWidget(pages_, 1);

  for (QWidget* w :
       {static_cast<QWidget*>(title_), static_cast<QWidget*>(info_), static_cast<QWidget*>(message_),
        static_cast<QWidget*>(picture_), hex_->viewport(), static_cast<QWidget*>(sound_)})
    w->installEventFilter(this);
  ShowNothing();
}

PreviewPane::~PreviewPane() {
  // The worker holds only copies; it is told to stop and waited for.
  ++*generation_;
  pool_.waitForDone();
  // The view lets go of the document before the pane's members delete it.
  text_->setDocument(nullptr);
}

void PreviewPane::ShowEntry(const std::string& path, const pff::PffEntry& entry) {
  PreviewRequest request{path, entry, -1};
  ++*generation_;
  sound_->Stop();
  next_ = request;
  shown_ = request;
  hasEntry_ = true;
  title_->setText(QString::fromStdString(pff::DisplayName(entry.Name)) + "  " + SizeText(entry.DataSize));
  bytesButton_->setEnabled(true);
  delay_->start();
}

void PreviewPane::ShowSummary(qint64 count, qint64 bytes) {
  ShowNothing();
  ShowMessage(QString("%1 entries, %2").arg(Digits(count), SizeText(bytes)));
}

void PreviewPane::ShowNothing() {
  ++*generation_;
  delay_->stop();
  sound_->Stop();
  hasEntry_ = false;
  title_->clear();
  bytesButton_->setEnabled(false);
  ShowMessage(QString());
}

void PreviewPane::ShowHexPage(qint64 page) {
  if (!hasEntry_ || page < 0) return;
  PreviewRequest request = shown_;
  request.hexPage = page;
  ++*generation_;
  sound_->Stop();
  delay_->stop();
  Start(request);
}

void PreviewPane::Start(PreviewRequest request) {
  const int mine = *generation_;
  const std::shared_ptr<std::atomic<int>> generation = generation_;
  ++running_;
  QtConcurrent::run(&pool_, [request, mine, generation] {
    return LoadPreview(request, [&] { return *generation != mine; });
  }).then(this, [this, request, mine](PreviewResult result) {
    --running_;
    if (mine != *generation_ || result.superseded) return;
    Show(request, std::move(result));
  });
}

void PreviewPane::Show(const PreviewRequest& request, PreviewResult result) {
  shown_ = request;
  shownKind_ = result.kind;
  image_ = QImage();
  info_->setText(result.error.isEmpty()
                     ? KindName(result.kind) + (result.info.isEmpty() ? "" : ": " + result.info)
                     : KindName(result.kind));
  if (!result.error.isEmpty()) return ShowMessage(result.error);
  switch (result.kind) {
    case pff::PreviewKind::Empty:
      return ShowMessage("The entry is empty.");
    case pff::PreviewKind::Image:
    case pff::PreviewKind::Pcx:
      image_ = std::move(result.image);
      pages_->setCurrentWidget(picture_);
      FitImage();
      return;
    case pff::PreviewKind::Text:
      text_->ShowDocument(result.document.get());
      document_ = std::move(result.document);
      cutNote_ = result.textCut ? QString("Showing the first %1 of %2.")
                                      .arg(SizeText(kMaxTextBytes), SizeText(request.entry.DataSize))
                                : QString();
      textNote_->setText(cutNote_);
      textNote_->setVisible(!cutNote_.isEmpty());
      pages_->setCurrentWidget(textPage_);
      return;
    case pff::PreviewKind::Sound:
      sound_->SetSound(request.path, request.entry, result.wav);
      pages_->setCurrentWidget(sound_);
      return;
    case pff::PreviewKind::Bytes:
      shown_.hexPage = result.pageOffset / kHexPageBytes;
      hex_->SetPage(result.bytes, result.pageOffset);
      UpdatePageButtons();
      pages_->setCurrentWidget(hexPage_);
      return;
  }
}

void PreviewPane::UpdatePageButtons() {
  const qint64 size = qMax<qint64>(shown_.entry.DataSize, 0);
  const qint64 first = shown_.hexPage * kHexPageBytes;
  const qint64 last = qMin(size, first + kHexPageBytes);
  const qint64 pages = qMax<qint64>(1, (size + kHexPageBytes - 1) / kHexPageBytes);
  pageText_->setText(QString("Page %1 of %2, bytes %3 to %4")
                         .arg(Digits(shown_.hexPage + 1), Digits(pages), Digits(first),
                              Digits(qMax<qint64>(first, last - 1))));
  previousPage_->setEnabled(shown_.hexPage > 0);
  nextPage_->setEnabled(last < size);
}

void PreviewPane::ShowMessage(const QString& text) {
  if (text.isEmpty()) info_->clear();
  if (!hasEntry_) shownKind_ = pff::PreviewKind::Empty;
  message_->setText(text);
  pages_->setCurrentWidget(message_);
}

void PreviewPane::FitImage() {
  if (image_.isNull()) return;
  const QSize room = pages_->size();
  QImage shown = image_;
  if (image_.width() > room.width() || image_.height() > room.height())
    shown = image_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  picture_->setPixmap(QPixmap::fromImage(shown));
}

void PreviewPane::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FitImage();
}

void PreviewPane::FindNext() {
  const QString what = find_->text();
  if (what.isEmpty()) return;
  // From the cursor on, then once more from the top.
  if (!text_->find(what)) {
    QTextCursor top = text_->textCursor();
    top.movePosition(QTextCursor::Start);
    text_->setTextCursor(top);
    const bool found = text_->find(what);
    textNote_->setText(found ? cutNote_
                             : (cutNote_ + " \"" + what + "\" is not in the shown text.").trimmed());
    textNote_->setVisible(!textNote_->text().isEmpty());
  }
}

bool PreviewPane::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick && hasEntry_) {
    emit openRequested();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

bool PreviewPane::Settled() const { return running_ == 0 && !delay_->isActive(); }
QString PreviewPane::Message() const { return message_->text(); }
QString PreviewPane::Text() const { return text_->toPlainText(); }
