#include "ui/preview/preview_sound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QLabel>
#include <QMediaDevices>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "editing/read_entry.h"

namespace {

// The data chunk of a WAV entry as a sequential device; each read opens the
// archive, reads one block and closes it again, so nothing stays open or in memory.
class EntrySamples : public QIODevice {
 public:
  EntrySamples(std::string path, const pff::PffEntry& entry, const pff::WavInfo& wav, QObject* parent)
      : QIODevice(parent), path_(std::move(path)), entry_(entry), wav_(wav) {}
  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override { return wav_.dataSize - done_ + QIODevice::bytesAvailable(); }

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    const qint64 want = qMin<qint64>(qMin<qint64>(maxSize, wav_.dataSize - done_), 256 * 1024);
    if (want <= 0) return 0;
    try {
      const std::vector<uint8_t> block =
          pff::ReadEntryBytes(path_, entry_, wav_.dataOffset + done_, static_cast<size_t>(want));
      std::copy(block.begin(), block.end(), data);
      done_ += static_cast<qint64>(block.size());
      return static_cast<qint64>(block.size());
    } catch (const std::exception&) {
      return -1;
    }
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  std::string path_;
  pff::PffEntry entry_;
  pff::WavInfo wav_;
  qint64 done_ = 0;
};

QAudioFormat::SampleFormat SampleFormatOf(const pff::WavInfo& wav) {
  if (wav.format == 1 && wav.bits == 8) return QAudioFormat::UInt8;
  if (wav.format == 1 && wav.bits == 16) return QAudioFormat::Int16;
  if (wav.format == 1 && wav.bits == 32) return QAudioFormat::Int32;
  if (wav.format == 3 && wav.bits == 32) return QAudioFormat::Float;
  return QAudioFormat::Unknown;
}

}  // namespace

PreviewSound::PreviewSound(QWidget* parent)
    : QWidget(parent), note_(new QLabel(this)), play_(new QPushButton("Play", this)) {
  auto* layout = new QVBoxLayout(this);
  note_->setWordWrap(true);
  play_->setObjectName("previewPlay");
  layout->addWidget(play_, 0, Qt::AlignLeft);
  layout->addWidget(note_);
  layout->addStretch(1);
  connect(play_, &QPushButton::clicked, this, [this] { sink_ ? Stop() : Play(); });
}

PreviewSound::~PreviewSound() { Stop(); }

QString PreviewSound::Note() const { return note_->text(); }

void PreviewSound::SetSound(const std::string& path, const pff::PffEntry& entry, const pff::WavInfo& wav) {
  Stop();
  path_ = path;
  entry_ = entry;
  wav_ = wav;
  note_->clear();
  if (SampleFormatOf(wav) == QAudioFormat::Unknown)
    note_->setText("Only PCM sound of 8, 16 or 32 bits plays here.");
  else if (QMediaDevices::defaultAudioOutput().isNull())
    note_->setText("No sound output device is available.");
  play_->setEnabled(note_->text().isEmpty());
}

void PreviewSound::Play() {
  QAudioFormat format;
  format.setSampleRate(static_cast<int>(wav_.sampleRate));
  format.setChannelCount(wav_.channels);
  format.setSampleFormat(SampleFormatOf(wav_));
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull() || !device.isFormatSupported(format)) {
    note_->setText(device.isNull() ? "No sound output device is available."
                                   : "The sound output cannot play this format.");
    play_->setEnabled(false);
    return;
  }
  sink_ = std::make_unique<QAudioSink>(device, format);
  auto* samples = new EntrySamples(path_, entry_, wav_, sink_.get());
  samples->open(QIODevice::ReadOnly);
  // The sink reports Idle once every sample has been played.
  connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
    if (state == QAudio::IdleState ||
        (state == QAudio::StoppedState && sink_ && sink_->error() != QAudio::NoError))
      QMetaObject::invokeMethod(
          this, [this] { Stop(); }, Qt::QueuedConnection);
  });
  sink_->start(samples);
  play_->setText("Stop");
}

void PreviewSound::Stop() {
  if (sink_) {
    sink_->disconnect(this);
    sink_->stop();
    sink_.reset();
  }
  play_->setText("Play");
}
