#include "sound/midi_song.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>

namespace pyra {

namespace {

// Larger files are not music for this game; refusing them keeps a stray file from
// filling the memory.
constexpr std::streamoff MaxFileBytes = 4 << 20;

class Reader {
 public:
  Reader(const std::string& bytes, size_t begin, size_t end)
      : bytes_(bytes), at_(begin), end_(end) {}

  bool AtEnd() const { return at_ >= end_; }
  bool Byte(uint8_t& value) {
    if (at_ >= end_) return false;
    value = static_cast<uint8_t>(bytes_[at_++]);
    return true;
  }
  bool Number(int bytes, uint32_t& value) {
    value = 0;
    for (int i = 0; i < bytes; ++i) {
      uint8_t b;
      if (!Byte(b)) return false;
      value = value << 8 | b;
    }
    return true;
  }
  // A variable-length quantity: at most four bytes of seven bits.
  bool Quantity(uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
      uint8_t b;
      if (!Byte(b)) return false;
      value = value << 7 | (b & 0x7F);
      if ((b & 0x80) == 0) return true;
    }
    return false;
  }
  bool Skip(uint32_t count) {
    if (count > end_ - at_) return false;
    at_ += count;
    return true;
  }
  bool Tag(const char (&tag)[5]) {
    if (end_ - at_ < 4 || bytes_.compare(at_, 4, tag) != 0) return false;
    at_ += 4;
    return true;
  }
  size_t At() const { return at_; }

 private:
  const std::string& bytes_;
  size_t at_;
  size_t end_;
};

// Appends one track's events; false when the track is damaged.
bool ReadTrack(Reader in, std::vector<MidiEvent>& events, int32_t& length) {
  int64_t tick = 0;
  uint8_t running = 0;
  while (!in.AtEnd()) {
    uint32_t delta;
    if (!in.Quantity(delta)) return false;
    tick += delta;
    if (tick > std::numeric_limits<int32_t>::max()) return false;
    length = std::max(length, static_cast<int32_t>(tick));
    uint8_t status;
    if (!in.Byte(status)) return false;
    if (status == 0xFF) {
      uint8_t type;
      uint32_t size;
      if (!in.Byte(type) || !in.Quantity(size)) return false;
      running = 0;
      if (type == 0x2F) return true;  // end of track
      if (type == 0x51 && size == 3) {
        uint32_t tempo;
        if (!in.Number(3, tempo)) return false;
        events.push_back({static_cast<int32_t>(tick), TempoStatus, 0, 0, std::max(tempo, 1u)});
      } else if (!in.Skip(size)) {
        return false;
      }
      continue;
    }
    if (status == 0xF0 || status == 0xF7) {
      uint32_t size;
      if (!in.Quantity(size) || !in.Skip(size)) return false;
      running = 0;
      continue;
    }
    MidiEvent e{static_cast<int32_t>(tick), status, 0, 0, 0};
    bool haveFirst = false;
    if (status < 0x80) {
      if (running == 0) return false;
      e.status = running;
      e.data1 = status;
      haveFirst = true;
    } else if (status >= 0xF0) {
      return false;  // system messages do not belong in a file
    }
    running = e.status;
    const uint8_t kind = e.status & 0xF0;
    const bool twoBytes = kind != 0xC0 && kind != 0xD0;
    if (!haveFirst && !in.Byte(e.data1)) return false;
    if (twoBytes && !in.Byte(e.data2)) return false;
    if ((e.data1 | e.data2) & 0x80) return false;
    events.push_back(e);
  }
  return true;  // a track may end without its end-of-track event
}

std::array<int8_t, 16> StartPrograms(const std::vector<MidiEvent>& events) {
  std::array<int8_t, 16> programs;
  programs.fill(-1);
  std::array<bool, 16> sounded{};
  for (const MidiEvent& e : events) {
    const int channel = e.status & 0x0F;
    if (sounded[channel]) continue;
    if ((e.status & 0xF0) == 0xC0) {
      programs[channel] = static_cast<int8_t>(e.data1);
    } else if ((e.status & 0xF0) == 0x90 && e.data2 > 0) {
      sounded[channel] = true;
      if (programs[channel] < 0) programs[channel] = 0;
    }
  }
  for (int channel = 0; channel < 16; ++channel) {
    if (!sounded[channel]) programs[channel] = -1;
  }
  return programs;
}

}  // namespace

std::optional<MidiSong> ParseMidiSong(const std::string& bytes) {
  Reader in(bytes, 0, bytes.size());
  uint32_t headerSize, format, tracks, division;
  if (!in.Tag("MThd") || !in.Number(4, headerSize) || headerSize < 6) return std::nullopt;
  if (!in.Number(2, format) || !in.Number(2, tracks) || !in.Number(2, division)) {
    return std::nullopt;
  }
  if (format > 1 || division == 0 || (division & 0x8000) || !in.Skip(headerSize - 6)) {
    return std::nullopt;
  }
  MidiSong song;
  song.division = static_cast<int>(division);
  for (uint32_t found = 0; found < tracks;) {
    if (in.AtEnd()) return std::nullopt;
    const bool isTrack = in.Tag("MTrk");
    uint32_t size;
    if (!isTrack && !in.Skip(4)) return std::nullopt;
    if (!in.Number(4, size)) return std::nullopt;
    const size_t begin = in.At();
    if (!in.Skip(size)) return std::nullopt;
    if (!isTrack) continue;  // chunks of unknown kinds are skipped
    if (!ReadTrack(Reader(bytes, begin, begin + size), song.events, song.length)) {
      return std::nullopt;
    }
    ++found;
  }
  std::stable_sort(song.events.begin(), song.events.end(),
                   [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
  song.startPrograms = StartPrograms(song.events);
  return song;
}

std::optional<MidiSong> ReadMidiSong(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return std::nullopt;
  const std::streamoff size = file.tellg();
  if (size <= 0 || size > MaxFileBytes) return std::nullopt;
  file.seekg(0);
  std::string bytes(static_cast<size_t>(size), '\0');
  if (!file.read(bytes.data(), size)) return std::nullopt;
  return ParseMidiSong(bytes);
}

void SongCursor::Seek(int32_t tick) {
  tick_ = std::max(tick, 0);
  tempo_ = DefaultTempo;
  next_ = 0;
  if (song_ == nullptr) return;
  const auto& events = song_->events;
  while (next_ < events.size() && events[next_].tick < tick_) {
    if (events[next_].status == TempoStatus) tempo_ = events[next_].tempo;
    ++next_;
  }
  chaseEnd_ = next_;
}

}  // namespace pyra
