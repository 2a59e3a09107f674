// The MIDI reader and the real-time cursor over a song.
#include "sound/midi_song.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pyra {
namespace {

using Bytes = std::string;

Bytes Be(uint32_t value, int bytes) {
  Bytes out;
  for (int i = bytes - 1; i >= 0; --i) out += char(value >> (8 * i));
  return out;
}

Bytes File(uint16_t format, uint16_t division, const std::vector<Bytes>& tracks) {
  Bytes out = "MThd" + Be(6, 4) + Be(format, 2) + Be(uint32_t(tracks.size()), 2) + Be(division, 2);
  for (const Bytes& t : tracks) out += "MTrk" + Be(uint32_t(t.size()), 4) + t;
  return out;
}

// Division 96, 120 a minute (192 ticks a second) to tick 192, then 240; note-off: running status.
const Bytes kTempoTrack = Bytes("\x00\xFF\x51\x03\x07\xA1\x20", 7) +
                          Bytes("\x81\x40\xFF\x51\x03\x03\xD0\x90", 8) +
                          Bytes("\x81\x40\xFF\x2F\x00", 5);
const Bytes kNoteTrack = Bytes("\x00\xC1\x05\x00\xB1\x07\x64\x00\x91\x3C\x40\x60\x3C\x00", 14) +
                         Bytes("\x81\x40\x91\x40\x50\x60\x81\x40\x00", 9);

// "tick:status" of each event, in order.
std::string Order(const std::vector<MidiEvent>& events) {
  std::string out;
  char item[16];
  for (const MidiEvent& e : events)
    out += (std::snprintf(item, 16, " %d:%X", e.tick, e.status), item);
  return out;
}

TEST(MidiSong, MergesTracksByTickWithTheirLength) {
  const auto song = ParseMidiSong(File(1, 96, {kTempoTrack, kNoteTrack}));
  ASSERT_TRUE(song);
  // The length is the end of the tempo track.
  EXPECT_EQ(std::tuple(song->division, song->length, Order(song->events), song->events[5].tempo,
                       song->startPrograms[1], std::ranges::count(song->startPrograms, -1)),
            std::tuple(96, 384, " 0:FF 0:C1 0:B1 0:91 96:91 192:FF 288:91 384:81", 250000u, 5, 15));
  Bytes foreign = File(1, 96, {kTempoTrack, kNoteTrack});  // a chunk of an unknown kind is passed
  foreign.insert(14, "XFIR" + Be(3, 4) + "abc");
  EXPECT_EQ(Order(ParseMidiSong(foreign).value_or(MidiSong{}).events), Order(song->events));
  // A channel 3 note (velocity 1 still sounds) before its program change: the default instrument.
  const auto bare = ParseMidiSong(
      File(0, 96, {Bytes("\x00\x93\x3C\x01\x10\x83\x3C\x40\x00\xC3\x07\x00\xC4\x07", 14)}));
  ASSERT_TRUE(bare);
  EXPECT_EQ(std::tuple(bare->startPrograms[3], std::ranges::count(bare->startPrograms, -1)),
            std::tuple(0, 15));
}

TEST(MidiSong, RefusesDamagedAndForeignFiles) {
  const Bytes good = File(1, 96, {kTempoTrack, kNoteTrack});
  Bytes tooLong;  // ticks past 32 bits
  for (int i = 0; i < 9; ++i) tooLong += Bytes("\xFF\xFF\xFF\x7F\x90\x3C\x40", 7);
  const Bytes cases[] = {
      "",
      good.substr(0, good.size() - 3),                              // cut short
      "MThx" + good.substr(4),                                      // not a MIDI file
      File(2, 96, {kTempoTrack}),                                   // independent sequences
      File(1, 0xE728, {kTempoTrack}),                               // SMPTE timing
      File(1, 0, {kTempoTrack}),                                    // no ticks a quarter
      File(0, 96, {Bytes("\x00\x3C\x40", 3)}),                      // data with no status
      File(0, 96, {Bytes("\x00\x90\x3C\xC0", 4)}),                  // a status as data
      File(0, 96, {Bytes("\xFF\xFF\xFF\xFF\x7F\x90\x3C\x40", 8)}),  // a five-byte quantity
      File(0, 96, {Bytes("\x00\xFF\x01\x7F\x41", 5)}),              // meta text past the end
      File(0, 96, {Bytes("\x00\xF1\x01", 3)}),                      // a system message
      File(0, 96, {Bytes("\x00\xF0\x05\x01", 4)}),                  // a cut-off sysex
      File(0, 96, {tooLong}),
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_FALSE(ParseMidiSong(cases[i])) << i;
  EXPECT_FALSE(ReadMidiSong("/nonexistent/teku2.mid"));
}

TEST(SongCursor, FollowsTheTempoMapStopsWhereToldAndJumpsWithItsInstruments) {
  const auto song = ParseMidiSong(File(1, 96, {kTempoTrack, kNoteTrack}));
  ASSERT_TRUE(song);
  SongCursor cursor(*song, 44100);
  std::vector<MidiEvent> sent;
  const auto send = [&](const MidiEvent& e) { sent.push_back(e); };
  // Frames advanced, the tick reached, events sent so far (not tempo changes), whether at the end.
  const std::array<int, 4> steps[] = {
      {22049, 95, 3, 0},  // one frame short of half a second
      {1, 96, 4, 0},      {11025, 144, 4, 0}, {11025, 192, 4, 0},
      {11025, 288, 5, 0}, {44100, 384, 6, 1}, {100, 384, 6, 1},
  };
  for (const auto& [frames, tick, count, atEnd] : steps) {
    const bool end = cursor.Advance(frames, song->length, send);
    EXPECT_EQ(std::tuple(end, cursor.Tick(), int(sent.size())),
              std::tuple(bool(atEnd), tick, count));
  }
  // A stretch ends where it is told to, with the events of that tick.
  cursor.Seek(0);
  sent.clear();
  EXPECT_TRUE(cursor.Advance(44100, 96, send));
  EXPECT_EQ(Order(sent), " 0:C1 0:B1 0:91 96:91");
  // A jump resends prior program and controller (no old notes), at its place's 384 ticks a second.
  cursor.Seek(200);
  sent.clear();
  const bool end = cursor.Advance(11025, song->length, send);
  EXPECT_EQ(std::tuple(end, cursor.Tick(), Order(sent)),
            std::tuple(false, 296, " 0:C1 0:B1 288:91"));
  // Just after a note the tempo is still the first one: 192 ticks a second.
  cursor.Seek(100);
  cursor.Advance(11025, song->length, send);
  EXPECT_EQ(cursor.Tick(), 148);
  // A new cursor starts at the very first event.
  const auto bare = ParseMidiSong(File(0, 96, {Bytes("\x00\x93\x3C\x01\x10\x83\x3C\x40", 8)}));
  SongCursor fresh(bare.value(), 44100);
  sent.clear(), fresh.Advance(1, 16, send);
  EXPECT_EQ(Order(sent), " 0:93");
}

}  // namespace
}  // namespace pyra
