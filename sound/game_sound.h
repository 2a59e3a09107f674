// The game's sound port: the cue sounds on the platform's simple sound call, and the music.
#pragma once

#include <string>

#include "match/ports.h"
#include "sound/music.h"

namespace pyra {

// The platform's simple sound call and its wave output devices.
class WaveOut {
 public:
  virtual ~WaveOut() = default;
  // Starts a WAV file without waiting; a sound still playing is replaced.
  virtual void PlaySound(const std::string& file) = 0;
  virtual int OutputDevices() = 0;
};

// This system's version as the sound check reads it: major.minor with two decimals
// ("6.01"). The first form asks the kernel.
std::string PlatformVersion();
std::string PlatformVersion(int major, int minor);

class GameSound final : public Sound {
 public:
  GameSound(Music& music, WaveOut& wave, std::string programFolder, std::string platformVersion);

  // Plays "<cue>.WAV" from the program folder when a file of exactly that name is listed
  // there; anything else is skipped silently.
  void PlayCue(Cue cue) override;
  // Effects need a platform newer than 3.0 and at least one wave output device.
  bool SoundAvailable() override;
  bool PlayMusic() override { return music_.Play(); }
  void StopMusic() override { music_.Stop(); }

 private:
  Music& music_;
  WaveOut& wave_;
  std::string folder_;
  std::string version_;
};

}  // namespace pyra
