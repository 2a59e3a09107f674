// A standard MIDI file as the music device plays it: every track merged into one list of
// timed events, and a cursor that walks the list in real time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pyra {

inline constexpr uint32_t DefaultTempo = 500000;  // microseconds a quarter note: 120 a minute
inline constexpr uint8_t TempoStatus = 0xFF;      // a tempo change among the channel messages

struct MidiEvent {
  int32_t tick = 0;
  uint8_t status = 0;  // a channel message's status byte, or TempoStatus
  uint8_t data1 = 0;
  uint8_t data2 = 0;
  uint32_t tempo = 0;  // of a tempo change
};

struct MidiSong {
  int division = 0;               // ticks a quarter note
  std::vector<MidiEvent> events;  // by tick; events of one tick keep the file's order
  int32_t length = 0;             // the tick of the last event, ends of tracks included
  // The instrument each channel starts with: its first program change when that comes
  // before its first note, else 0 (General MIDI's default); -1 for a channel without notes.
  std::array<int8_t, 16> startPrograms{};
};

// Format 0 or 1, timed in ticks a quarter note; nothing for anything else or a damaged file.
std::optional<MidiSong> ParseMidiSong(const std::string& bytes);
std::optional<MidiSong> ReadMidiSong(const std::string& path);

// Walks a song at a sample rate. The audio thread advances it block by block; the events
// that fall due go to `send`.
class SongCursor {
 public:
  SongCursor() = default;
  SongCursor(const MidiSong& song, int sampleRate) : song_(&song), rate_(sampleRate) {}

  // Stands at `tick`. The next advance first resends the program, controller and pitch-bend
  // messages before it, so that a jump keeps the instruments the song had there.
  void Seek(int32_t tick);

  // Advances by `frames` or until `to`, sending every event up to the new position; true
  // when it stands at `to` (the events at `to` sent).
  template <typename Send>
  bool Advance(int frames, int32_t to, Send send);

  int32_t Tick() const { return static_cast<int32_t>(tick_); }

 private:
  template <typename Send>
  void SendDue(double upTo, Send& send);

  const MidiSong* song_ = nullptr;
  double rate_ = 44100;
  double tick_ = 0;
  size_t next_ = 0;      // the first event not yet sent
  size_t chaseEnd_ = 0;  // events before this are resent as state by the next advance
  uint32_t tempo_ = DefaultTempo;
};

template <typename Send>
void SongCursor::SendDue(double upTo, Send& send) {
  const auto& events = song_->events;
  while (next_ < events.size() && events[next_].tick <= upTo) {
    const MidiEvent& e = events[next_++];
    if (e.status == TempoStatus) {
      tempo_ = e.tempo;
    } else {
      send(e);
    }
  }
}

template <typename Send>
bool SongCursor::Advance(int frames, int32_t to, Send send) {
  if (song_ == nullptr) return true;
  const auto& events = song_->events;
  for (size_t i = 0; i < chaseEnd_; ++i) {
    const uint8_t kind = events[i].status & 0xF0;
    if (kind == 0xB0 || kind == 0xC0 || kind == 0xE0) send(events[i]);
  }
  chaseEnd_ = 0;
  double framesLeft = frames;
  for (;;) {
    SendDue(tick_ < to ? tick_ : to, send);
    if (tick_ >= to) {
      tick_ = to;
      return true;
    }
    const double ticksPerFrame = song_->division * 1e6 / (double(tempo_) * rate_);
    double target = to;
    if (next_ < events.size() && events[next_].tick < target) target = events[next_].tick;
    const double needed = (target - tick_) / ticksPerFrame;
    // Within a millionth of a frame counts as there: rounding must not hold back an event.
    if (needed > framesLeft + 1e-6) {
      tick_ += framesLeft * ticksPerFrame;
      return false;
    }
    tick_ = target;
    framesLeft -= needed;
  }
}

}  // namespace pyra
