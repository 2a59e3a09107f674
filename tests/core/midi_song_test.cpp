// The MIDI reader, the real-time cursor over a song, and the committed music and cues.
#include "sound/midi_song.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "store_test_support.h"

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

// Division 96, 120 a minute (192 ticks a second) until tick 192, then 240 a minute. The
// second track uses running status for its note-off.
const Bytes kTempoTrack = Bytes("\x00\xFF\x51\x03\x07\xA1\x20", 7) +
                          Bytes("\x81\x40\xFF\x51\x03\x03\xD0\x90", 8) +
                          Bytes("\x81\x40\xFF\x2F\x00", 5);
const Bytes kNoteTrack = Bytes("\x00\xC1\x05\x00\xB1\x07\x64\x00\x91\x3C\x40\x60\x3C\x00", 14) +
                         Bytes("\x81\x40\x91\x40\x50\x60\x81\x40\x00", 9);

Bytes Times(int count, const Bytes& part) {
  Bytes out;
  while (count-- > 0) out += part;
  return out;
}

struct Sent {
  std::vector<MidiEvent> events;
  void operator()(const MidiEvent& e) { events.push_back(e); }
};

TEST(MidiSong, MergesTracksByTickWithTheirLength) {
  const auto song = ParseMidiSong(File(1, 96, {kTempoTrack, kNoteTrack}));
  ASSERT_TRUE(song);
  EXPECT_EQ(song->division, 96);
  EXPECT_EQ(song->length, 384);  // the end of the tempo track
  std::vector<std::pair<int32_t, int>> order;
  for (const MidiEvent& e : song->events) order.push_back({e.tick, e.status});
  EXPECT_EQ(order, (std::vector<std::pair<int32_t, int>>{{0, 0xFF},
                                                         {0, 0xC1},
                                                         {0, 0xB1},
                                                         {0, 0x91},
                                                         {96, 0x91},
                                                         {192, 0xFF},
                                                         {288, 0x91},
                                                         {384, 0x81}}));
  EXPECT_EQ(song->events[5].tempo, 250000u);
  std::array<int8_t, 16> programs;
  programs.fill(-1);
  programs[1] = 5;
  EXPECT_EQ(song->startPrograms, programs);
  // A note on channel 3 before any program change on it has the default instrument, and a
  // later change does not count.
  const auto bare = ParseMidiSong(
      File(0, 96, {Bytes("\x00\x93\x3C\x40\x10\x83\x3C\x40\x00\xC3\x07\x00\xC4\x07", 14)}));
  ASSERT_TRUE(bare);
  programs.fill(-1);
  programs[3] = 0;
  EXPECT_EQ(bare->startPrograms, programs);
}

TEST(MidiSong, RefusesDamagedAndForeignFiles) {
  const Bytes good = File(1, 96, {kTempoTrack, kNoteTrack});
  const Bytes cases[] = {
      "",
      good.substr(0, good.size() - 3),                                    // cut short
      "MThx" + good.substr(4),                                            // not a MIDI file
      File(2, 96, {kTempoTrack}),                                         // independent sequences
      File(1, 0xE728, {kTempoTrack}),                                     // SMPTE timing
      File(1, 0, {kTempoTrack}),                                          // no ticks a quarter
      File(0, 96, {Bytes("\x00\x3C\x40", 3)}),                            // data with no status
      File(0, 96, {Bytes("\x00\x90\x3C\xC0", 4)}),                        // a status as data
      File(0, 96, {Bytes("\xFF\xFF\xFF\xFF\x7F\x90\x3C\x40", 8)}),        // a five-byte quantity
      File(0, 96, {Bytes("\x00\xFF\x01\x7F\x41", 5)}),                    // meta text past the end
      File(0, 96, {Bytes("\x00\xF1\x01", 3)}),                            // a system message
      File(0, 96, {Times(9, Bytes("\xFF\xFF\xFF\x7F\x90\x3C\x40", 7))}),  // past 32 bits
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_FALSE(ParseMidiSong(cases[i])) << i;
  EXPECT_FALSE(ReadMidiSong("/nonexistent/teku2.mid"));
}

TEST(SongCursor, FollowsTheTempoMapAndStopsAtItsEnd) {
  const auto song = ParseMidiSong(File(1, 96, {kTempoTrack, kNoteTrack}));
  ASSERT_TRUE(song);
  SongCursor cursor(*song, 44100);
  Sent sent;
  // Frames advanced, the tick reached, the events sent so far (tempo changes not among
  // them), whether it stands at the end.
  const struct {
    int frames;
    int32_t tick;
    size_t sent;
    bool end;
  } steps[] = {
      {22049, 95, 3, false},  // one frame short of half a second
      {1, 96, 4, false},      {11025, 144, 4, false}, {11025, 192, 4, false},
      {11025, 288, 5, false}, {44100, 384, 6, true},  {100, 384, 6, true},
  };
  for (const auto& s : steps) {
    EXPECT_EQ(cursor.Advance(s.frames, song->length, std::ref(sent)), s.end) << s.tick;
    EXPECT_EQ(cursor.Tick(), s.tick);
    EXPECT_EQ(sent.events.size(), s.sent) << s.tick;
  }
  // A stretch ends where it is told to, with the events of that tick.
  cursor.Seek(0);
  sent.events.clear();
  EXPECT_TRUE(cursor.Advance(44100, 96, std::ref(sent)));
  EXPECT_EQ(cursor.Tick(), 96);
  EXPECT_EQ(sent.events.size(), 4u);
}

TEST(SongCursor, AJumpKeepsTheInstrumentsAndTempoOfItsPlace) {
  const auto song = ParseMidiSong(File(1, 96, {kTempoTrack, kNoteTrack}));
  ASSERT_TRUE(song);
  SongCursor cursor(*song, 44100);
  cursor.Seek(200);
  Sent sent;
  EXPECT_FALSE(cursor.Advance(11025, song->length, std::ref(sent)));
  EXPECT_EQ(cursor.Tick(), 296);  // a quarter second at 384 ticks a second
  ASSERT_EQ(sent.events.size(), 3u);
  EXPECT_EQ(sent.events[0].status, 0xC1);  // resent program and controller, no old notes
  EXPECT_EQ(sent.events[1].status, 0xB1);
  EXPECT_EQ(sent.events[2].tick, 288);
}

// --- The committed music and cue files ---------------------------------------------------------

std::string Asset(const std::string& name) {
  return test::FileBytes(std::string(PYRA_SOURCE_DIR) + "/assets/" + name);
}

TEST(SoundAssets, TheMusicIsALoopOfFortyToNinetySeconds) {
  const auto song = ParseMidiSong(Asset("teku2.mid"));
  ASSERT_TRUE(song);
  ASSERT_FALSE(song->events.empty());
  ASSERT_EQ(song->events[0].status, TempoStatus);
  const double seconds = double(song->length) / song->division * song->events[0].tempo / 1e6;
  EXPECT_GE(seconds, 40.0);
  EXPECT_LE(seconds, 90.0);
  EXPECT_EQ(song->length % (4 * song->division), 0) << "ends on a bar line";
}

TEST(SoundAssets, CuesAreShortCleanSixteenBitWaves) {
  for (const char* name : {"JAN.WAV", "JU.WAV", "BO.WAV", "TON.WAV"}) {
    const std::string file = Asset(name);
    ASSERT_GT(file.size(), 44u) << name;
    uint16_t format, channels, bits;
    uint32_t rate, dataBytes;
    std::memcpy(&format, &file[20], 2);
    std::memcpy(&channels, &file[22], 2);
    std::memcpy(&rate, &file[24], 4);
    std::memcpy(&bits, &file[34], 2);
    std::memcpy(&dataBytes, &file[40], 4);
    EXPECT_EQ(file.substr(0, 4) + file.substr(8, 4) + file.substr(36, 4), "RIFFWAVEdata");
    EXPECT_EQ(format, 1) << name;  // PCM
    EXPECT_EQ(bits, 16) << name;
    ASSERT_EQ(file.size(), 44u + dataBytes) << name;
    const size_t count = dataBytes / 2;
    EXPECT_LT(double(count) / channels / rate, 1.0) << name;
    std::vector<int16_t> samples(count);
    std::memcpy(samples.data(), &file[44], dataBytes);
    int peak = 0;
    for (int16_t s : samples) peak = std::max(peak, std::abs(int(s)));
    EXPECT_LT(peak, 32768 * std::pow(10.0, -1.0 / 20.0)) << name << ": peak above -1 dBFS";
    EXPECT_GT(peak, 8000) << name << ": hardly audible";
    // No click: both ends start from silence.
    EXPECT_LE(std::abs(int(samples.front())), 64) << name;
    EXPECT_LE(std::abs(int(samples.back())), 64) << name;
  }
}

}  // namespace
}  // namespace pyra
