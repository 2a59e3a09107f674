// The music device's operations and loop, the cue files, and when effects are available.
#include <gtest/gtest.h>

#include "game_fakes.h"
#include "sound/game_sound.h"
#include "sound/music.h"
#include "sound_fakes.h"
#include "store_test_support.h"

namespace pyra::testing {
namespace {

using Log = std::vector<std::string>;

struct MusicRig {
  GameOptions options = GameOptions::Defaults();
  FakeSequencer device;
  Music music{device, options, "/opt/pyra3/"};
};

TEST(Music, OpenPlaysOnlyWhenTheBoxIsCheckedAndTheDeviceCanPlay) {
  const struct {
    int box;
    bool canPlay;
    Log log;
    int boxAfter;
  } cases[] = {
      {Checked, true, {"open /opt/pyra3/teku2.mid", "play 0-960"}, Checked},
      {Checked, false, {"open /opt/pyra3/teku2.mid"}, Unchecked},
      {Unchecked, true, {"open /opt/pyra3/teku2.mid"}, Unchecked},
  };
  for (const auto& c : cases) {
    MusicRig rig;
    rig.options.Check1[2] = c.box;
    rig.device.canPlay = c.canPlay;
    rig.music.OpenMusic();
    EXPECT_EQ(rig.device.log, c.log) << c.box << c.canPlay;
    EXPECT_EQ(rig.options.Check1[2], c.boxAfter) << c.box << c.canPlay;
  }
}

TEST(Music, LoopTickRestartsOnlyAPieceStoppedAtItsEnd) {
  const struct {
    int32_t position;
    int32_t mode;
    Log log;
  } cases[] = {
      {960, ModeStopped, {"seek 0", "play 0-960"}},
      {960, ModePlaying, {}},
      {959, ModeStopped, {}},
      {0, ModeStopped, {}},  // rewound by StopMusic, or never played
  };
  for (const auto& c : cases) {
    MusicRig rig;
    rig.music.OpenMusic();
    rig.device.log.clear();
    rig.device.position = c.position;
    rig.device.mode = c.mode;
    rig.music.Timer1_Timer();
    EXPECT_EQ(rig.device.log, c.log) << c.position << " " << c.mode;
  }
  // A device that cannot play is never restarted, though it stands at its (empty) end.
  MusicRig rig;
  rig.device.canPlay = false;
  rig.device.length = 0;
  rig.music.OpenMusic();
  rig.music.Timer1_Timer();
  EXPECT_EQ(rig.device.log, Log{"open /opt/pyra3/teku2.mid"});
}

TEST(Music, UncheckingRewindsSoThatRecheckingPlaysFromTheStart) {
  MusicRig rig;
  rig.music.OpenMusic();
  rig.device.position = 500;
  rig.music.StopMusic();
  rig.music.Timer1_Timer();  // stands at the beginning: the loop leaves it alone
  EXPECT_TRUE(rig.music.Play());
  rig.device.PlayToEnd();
  rig.music.Timer1_Timer();
  rig.music.Close();
  EXPECT_EQ(rig.device.log, (Log{"open /opt/pyra3/teku2.mid", "play 0-960", "stop", "seek 0",
                                 "play 0-960", "seek 0", "play 0-960", "close"}));
}

TEST(Music, CheckingTheBoxWhereNothingCanPlayTellsWhy) {
  for (const bool canPlay : {true, false}) {
    GameRig rig;
    rig.sound.canPlay = canPlay;
    EXPECT_EQ(rig.game.StartMusic(), canPlay);
    if (canPlay) {
      EXPECT_TRUE(rig.dialogs.boxes.empty());
      continue;
    }
    ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
    EXPECT_EQ(rig.dialogs.boxes[0].text, "現在の環境では音楽を鳴らすことはできません。");
    EXPECT_EQ(rig.dialogs.boxes[0].title, "Pyra3");
    EXPECT_EQ(rig.dialogs.boxes[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(rig.dialogs.boxes[0].icon, MsgIcon::None);
  }
}

struct SoundRig {
  test::TempDir folder;
  GameOptions options = GameOptions::Defaults();
  FakeSequencer device;
  Music music{device, options, folder.path()};
  FakeWaveOut wave;
  GameSound sound{music, wave, folder.path(), "6.01"};
};

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
    for (const char* name : c.files) test::WriteFileBytes(rig.folder.File(name), "RIFF");
    rig.sound.PlayCue(c.cue);
    const Log expected = c.played ? Log{rig.folder.File(c.played)} : Log{};
    EXPECT_EQ(rig.wave.played, expected) << CueName(c.cue);
  }
  // A program folder that cannot be listed plays nothing.
  FakeSequencer device;
  GameOptions options;
  Music music(device, options, "/nonexistent");
  FakeWaveOut wave;
  GameSound(music, wave, "/nonexistent", "6.01").PlayCue(Cue::Jan);
  EXPECT_TRUE(wave.played.empty());
}

TEST(GameSound, EffectsNeedANewerPlatformAndAtLeastOneOutput) {
  const struct {
    const char* version;
    int devices;
    bool available;
    int queries;  // the devices are not asked when the version already fails
  } cases[] = {
      {"6.01", 0, false, 1}, {"6.01", 1, true, 1},  {"6.01", 2, true, 1},  {"6.01", 5, true, 1},
      {"3.01", 1, true, 1},  {"3.00", 1, false, 0}, {"2.95", 2, false, 0}, {"", 1, false, 0},
  };
  for (const auto& c : cases) {
    SoundRig rig;
    GameSound sound(rig.music, rig.wave, rig.folder.path(), c.version);
    rig.wave.devices = c.devices;
    EXPECT_EQ(sound.SoundAvailable(), c.available) << c.version << " " << c.devices;
    EXPECT_EQ(rig.wave.deviceQueries, c.queries) << c.version << " " << c.devices;
  }
}

TEST(GameSound, PlatformVersionHasTwoDecimals) {
  EXPECT_EQ(PlatformVersion(6, 1), "6.01");
  EXPECT_EQ(PlatformVersion(4, 10), "4.10");
  EXPECT_EQ(PlatformVersion(3, 0), "3.00");
  const std::string here = PlatformVersion();
  ASSERT_GE(here.size(), 4u);
  EXPECT_EQ(here[here.size() - 3], '.') << here;
}

TEST(GameSound, EffectsFollowTheirBoxAndTheMusicItsDevice) {
  for (const int box : {Checked, Unchecked}) {
    GameRig rig;
    rig.options.Check1[1] = box;
    rig.game.NewGame_Click();
    rig.state.PieceQueue[2] = Water;
    rig.MoveByTurn();  // water on the empty 1x1 board: no reaction, "TON"
    EXPECT_EQ(rig.sound.cues, box == Checked ? std::vector<Cue>{Cue::Ton} : std::vector<Cue>{});
  }
  SoundRig rig;
  rig.music.OpenMusic();
  rig.sound.StopMusic();
  EXPECT_TRUE(rig.sound.PlayMusic());
  EXPECT_EQ(rig.device.log.back(), "play 0-960");
  EXPECT_EQ(rig.device.log[rig.device.log.size() - 2], "seek 0");
}

}  // namespace
}  // namespace pyra::testing
