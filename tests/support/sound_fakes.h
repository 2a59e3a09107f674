// Fakes of the sound devices: the MIDI sequencer and the wave output.
#pragma once

#include <vector>

#include "sound/game_sound.h"
#include "sound/sequencer.h"

namespace pyra::testing {

// Logs each command ("open f", "play 0-960", "seek 0"...), keeps position and mode as MCI does.
struct FakeSequencer : Sequencer {
  std::vector<std::string> log;
  bool canPlay = true, open = false;
  int32_t length = 960, position = 0, mode = ModeStopped;

  void Open(const std::string& file) override { log.push_back("open " + file), open = true; }
  bool CanPlay() override { return open && canPlay; }
  void Play(int32_t from, int32_t to) override {
    log.push_back("play " + std::to_string(from) + "-" + std::to_string(to));
    if (CanPlay()) position = from, mode = ModePlaying;
  }
  void Stop() override { log.push_back("stop"), mode = ModeStopped; }
  void Seek(int32_t to) override { log.push_back("seek " + std::to_string(to)), position = to; }
  void Close() override { log.push_back("close"), open = false; }
  void Revive() override {}
  int32_t Start() override { return 0; }
  int32_t Length() override { return length; }
  int32_t Position() override { return position; }
  int32_t Mode() override { return CanPlay() ? mode : ModeNotReady; }
};

struct FakeWaveOut : WaveOut {
  std::vector<std::string> played;
  int devices = 1, deviceQueries = 0;
  void PlaySound(const std::string& file) override { played.push_back(file); }
  int OutputDevices() override { return ++deviceQueries, devices; }
};

}  // namespace pyra::testing
