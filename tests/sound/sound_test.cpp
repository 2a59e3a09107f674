// The music device's operations and loop, the cue files, and when effects are available.
#include <gtest/gtest.h>

#include "sound/game_sound.h"
#include "sound/music.h"
#include "sound_fakes.h"
#include "temp_dir.h"

namespace pyra::testing {
namespace {

using Log = std::vector<std::string>;

struct SoundRig {
  TempDir folder;
  FakeSequencer device;
  Music music{device, folder.Path() + "/"};
  FakeWaveOut wave;
  GameSound sound{music, wave, folder.Path(), "6.01"};
  explicit SoundRig(bool canPlay = true) { device.canPlay = canPlay; }
  std::string Open() const { return "open " + folder.File("teku2.mid"); }
};

TEST(Music, OpenPlaysOnlyWhenAskedAndTheDeviceCanPlay) {
  // Asked to play, the device can play; it plays.
  for (const auto [play, canPlay, plays] :
       {std::array{true, true, true}, {true, false, false}, {false, true, false}}) {
    SoundRig rig(canPlay);
    EXPECT_EQ(rig.music.Open(play), canPlay);
    const Log expected = plays ? Log{rig.Open(), "play 0-960"} : Log{rig.Open()};
    EXPECT_EQ(rig.device.log, expected) << play << canPlay;
  }
}

TEST(Music, LoopTickRestartsOnlyAPieceStoppedAtItsEnd) {
  // Rewound at 0; the last, a device that cannot play.
  const struct {
    int32_t position, mode;
    bool canPlay, restarts;
  } cases[] = {
      {960, ModeStopped, true, true},   {960, ModePlaying, true, false},
      {959, ModeStopped, true, false},  {0, ModeStopped, true, false},
      {960, ModeStopped, false, false},
  };
  const Log restart = {"seek 0", "play 0-960"};
  for (const auto& c : cases) {
    SoundRig rig(c.canPlay);
    rig.music.Open(true);
    rig.device.log.clear();
    rig.device.position = c.position, rig.device.mode = c.mode;
    rig.music.OnLoopClock();
    EXPECT_EQ(rig.device.log, c.restarts ? restart : Log{}) << c.position;
  }
  // Unchecking rewinds, so the tick leaves it alone and rechecking plays from the start.
  SoundRig rig;
  rig.music.Open(true);
  rig.device.position = 500;
  rig.sound.StopMusic();
  rig.music.OnLoopClock();
  EXPECT_TRUE(rig.sound.PlayMusic());
  rig.music.Close();
  EXPECT_EQ(rig.device.log,
            (Log{rig.Open(), "play 0-960", "stop", "seek 0", "play 0-960", "close"}));
}

TEST(GameSound, PlaysACueOnlyFromAFileOfExactlyItsName) {
  const struct {
    std::vector<const char*> files;
    Cue cue;
    const char* played;  // nullptr: nothing
  } cases[] = {
      {{"JAN.WAV", "JU.WAV"}, Cue::Jan, "JAN.WAV"},     {{"jan.wav"}, Cue::Jan, nullptr},
      {{"Jan.WAV", "JAN.wav"}, Cue::Jan, nullptr},      {{"JU.WAV", "BO.WAV"}, Cue::Ton, nullptr},
      {{"TON.WAV.bak", "XTON.WAV"}, Cue::Ton, nullptr}, {{"BO.WAV"}, Cue::Bo, "BO.WAV"},
  };
  for (const auto& c : cases) {
    SoundRig rig;
    for (const char* name : c.files) WriteFileBytes(rig.folder.File(name), "RIFF");
    rig.sound.PlayCue(c.cue);
    EXPECT_EQ(rig.wave.played, c.played ? Log{rig.folder.File(c.played)} : Log{}) << c.files[0];
  }
}

TEST(GameSound, EffectsNeedANewerPlatformAndAtLeastOneOutput) {
  // Version, outputs, queries of them (none if the version already fails), effects available.
  const std::tuple<const char*, int, int, bool> cases[] = {
      {"6.01", 0, 1, false}, {"6.01", 1, 1, true},  {"6.01", 2, 1, true},  {"6.01", 5, 1, true},
      {"3.01", 1, 1, true},  {"3.00", 1, 0, false}, {"2.95", 2, 0, false}, {"", 1, 0, false},
  };
  for (const auto& [version, devices, queries, available] : cases) {
    SoundRig rig;
    rig.wave.devices = devices;
    GameSound sound(rig.music, rig.wave, rig.folder.Path(), version);
    EXPECT_EQ(sound.SoundAvailable(), available) << version << " " << devices;
    EXPECT_EQ(rig.wave.deviceQueries, queries) << version << " " << devices;
  }
  EXPECT_EQ(PlatformVersion(6, 1) + PlatformVersion(4, 10), "6.014.10");
}

}  // namespace
}  // namespace pyra::testing
