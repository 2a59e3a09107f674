// libFuzzer target for the MIDI reader and the cursor that plays what it read: any file
// in the program folder's place of teku2.mid is read safely, and a song read always plays
// to its end, in order.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sound/midi_song.h"

using namespace pyra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const auto song = ParseMidiSong(bytes);
  if (!song) return 0;
  int32_t last = 0;
  for (const MidiEvent& e : song->events) {
    if (e.tick < last || e.tick > song->length) std::abort();
    last = e.tick;
  }
  // Songs of at most an hour (at the slowest tempo a file can give) play to their end; the
  // position never runs backwards or past it.
  if (double(song->length) / song->division * 16.8 > 3600) return 0;
  SongCursor cursor(*song, 44100);
  size_t sent = 0;
  int32_t position = 0;
  for (int block = 0; block < 100000; ++block) {
    const bool end = cursor.Advance(4096, song->length, [&](const MidiEvent&) { ++sent; });
    if (cursor.Tick() < position || cursor.Tick() > song->length) std::abort();
    position = cursor.Tick();
    if (end) {
      if (position != song->length) std::abort();
      return 0;
    }
  }
  std::fprintf(stderr, "midi_fuzz: a song of %d ticks did not end\n", song->length);
  std::abort();
}
