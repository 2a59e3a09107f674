// Fakes of the sound devices: the MIDI sequencer and the wave output.
#pragma once

#include <string>
#include <vector>

#include "sound/game_sound.h"
#include "sound/sequencer.h"

namespace pyra::testing {

// Logs every command ("open f", "play 0-960", "stop", "seek 0", "close") and keeps the
// position and mode the way an MCI sequencer does.
class FakeSequencer : public Sequencer {
 public:
  std::vector<std::string> log;
  bool canPlay = true;
  int32_t length = 960;
  int32_t position = 0;
  int32_t mode = ModeStopped;
  bool open = false;

  void Open(const std::string& file) override {
    log.push_back("open " + file);
    open = true;
  }
  bool CanPlay() override { return open && canPlay; }
  void Play(int32_t from, int32_t to) override {
    log.push_back("play " + std::to_string(from) + "-" + std::to_string(to));
    if (!CanPlay()) return;
    position = from;
    mode = ModePlaying;
  }
  void Stop() override {
    log.push_back("stop");
    mode = ModeStopped;
  }
  void Seek(int32_t to) override {
    log.push_back("seek " + std::to_string(to));
    position = to;
    mode = ModeStopped;
  }
  void Close() override {
    log.push_back("close");
    open = false;
  }
  int32_t Start() override { return 0; }
  int32_t Length() override { return length; }
  int32_t Position() override { return position; }
  int32_t Mode() override { return CanPlay() ? mode : ModeNotReady; }

  // The piece has played to its end.
  void PlayToEnd() {
    position = length;
    mode = ModeStopped;
  }
};

class FakeWaveOut : public WaveOut {
 public:
  std::vector<std::string> played;
  int devices = 1;
  int deviceQueries = 0;
  void PlaySound(const std::string& file) override { played.push_back(file); }
  int OutputDevices() override {
    ++deviceQueries;
    return devices;
  }
};

}  // namespace pyra::testing
