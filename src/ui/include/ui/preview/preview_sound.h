#pragma once
// The sound page of the preview: a Play/Stop button for a WAV entry (its format is in the pane's info line).
// Samples are pulled from the archive a block at a time while they play.

#include <QWidget>
#include <memory>
#include <string>

#include "engine/pff_archive.h"
#include "formats/entry_content.h"

class QAudioSink;
class QLabel;
class QPushButton;

class PreviewSound : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewSound(QWidget* parent = nullptr);
  ~PreviewSound() override;
  /// Shows the sound and readies Play when a sound output exists and the format can be played.
  void SetSound(const std::string& path, const pff::PffEntry& entry, const pff::WavInfo& wav);
  /// Stops playing.
  void Stop();
  QPushButton* playButton() const { return play_; }
  QString Note() const;

 private:
  void Play();
  QLabel* note_;
  QPushButton* play_;
  std::unique_ptr<QAudioSink> sink_;
  std::string path_;
  pff::PffEntry entry_;
  pff::WavInfo wav_;
};
