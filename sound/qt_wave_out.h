// The cue sounds on Qt Multimedia: a sound effect per cue, the latest replacing the one still
// playing; the wave output devices are the audio outputs Qt Multimedia sees.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "sound/game_sound.h"

class QSoundEffect;
class QString;

namespace pyra {

class QtWaveOut final : public WaveOut {
 public:
  QtWaveOut();
  ~QtWaveOut() override;

  void PlaySound(const std::string& file) override;
  int OutputDevices() override;

 private:
  std::map<std::string, std::unique_ptr<QSoundEffect>> loaded_;  // never played
  std::unique_ptr<QSoundEffect> playing_;
};

// Qt Multimedia's complaints (no sound server, a file it cannot decode) never reach the
// terminal: a game without sound is simply silent.
void QuietenAudioWarnings();
// Whether a message logged in that category is such a complaint.
bool IsAudioChatter(const char* category, const QString& message);

}  // namespace pyra
