// The MIDI sequencer as the music asks for it: an MCI-like device that is opened once with
// a file, plays a stretch of it without waiting, stops, seeks and is closed at exit.
// Positions are MIDI ticks.
#pragma once

#include <cstdint>
#include <string>

namespace pyra {

// Device modes, as MCI numbers them.
inline constexpr int32_t ModeNotReady = 524;  // not open, or cannot play
inline constexpr int32_t ModeStopped = 525;
inline constexpr int32_t ModePlaying = 526;

class Sequencer {
 public:
  virtual ~Sequencer() = default;
  // Completes before it returns; CanPlay() then tells whether the file can be heard.
  virtual void Open(const std::string& file) = 0;
  virtual bool CanPlay() = 0;
  // Plays from `from` to `to` and returns at once; at `to` the device stops there.
  virtual void Play(int32_t from, int32_t to) = 0;
  virtual void Stop() = 0;
  // Stops and stands at `to`.
  virtual void Seek(int32_t to) = 0;
  virtual void Close() = 0;
  // Every second: a stream the sound server dropped (a server restart) is opened again once a
  // server takes one; meanwhile the music waits where its sound stopped, still playing.
  virtual void Revive() = 0;
  virtual int32_t Start() = 0;
  virtual int32_t Length() = 0;
  virtual int32_t Position() = 0;
  virtual int32_t Mode() = 0;
};

}  // namespace pyra
