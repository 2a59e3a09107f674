// The cue sounds on Qt Multimedia: one sound effect per file, the latest replacing the one
// still playing; the wave output devices are the audio outputs Qt Multimedia sees.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "sound/game_sound.h"

class QSoundEffect;

namespace pyra {

class QtWaveOut final : public WaveOut {
 public:
  QtWaveOut();
  ~QtWaveOut() override;

  void PlaySound(const std::string& file) override;
  int OutputDevices() override;

 private:
  std::map<std::string, std::unique_ptr<QSoundEffect>> effects_;
  QSoundEffect* playing_ = nullptr;
};

// Qt Multimedia's complaints (no sound server, a file it cannot decode) never reach the
// terminal: a game without sound is simply silent.
void QuietenAudioWarnings();

}  // namespace pyra
