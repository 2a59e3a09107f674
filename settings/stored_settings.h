// Every setting the store keeps in its main section, declared once: its key, what kind of
// value it holds, its default and the values that take effect, and what it fills. The
// start-up load, the saves and the first-run test all go by this table; the player list and
// the records are the player records' own keys.
#pragma once

#include <cstdint>

namespace pyra {

enum class Setting : int8_t {
  // Window places and sizes, in twips.
  MainWidth,
  MainLeft,
  MainHeight,
  MainTop,
  NextTop,
  NextLeft,
  ScoreATop,
  ScoreALeft,
  ScoreBTop,
  ScoreBLeft,
  MessageTop,
  MessageLeft,
  // The options.
  SeriesFormat,
  StretchBackground,
  PlayerA,
  PlayerB,
  Level,
  SoundEffects,
  Music,
  OpeningDemo,
  // The names and the pictures.
  NameA,
  NameB,
  BackgroundFolder,
  BackgroundFile,
  SheetFolder,
  SheetFile,
};
inline constexpr int SettingCount = static_cast<int>(Setting::SheetFile) + 1;

enum class SettingKind : int8_t {
  Twips,  // a 16-bit number of twips; the default follows from the screen and the windows
  // A 16-bit number. The values from `low` to `high` are taken and any other leaves the
  // setting as it was; for the switches and the level, the values taken turn the switch on
  // or choose the automatic level, and any other turns it off or chooses the strongest.
  Number,
  Text,  // any text; the default is `fallback`, or where the load says (a folder)
};

struct StoredSetting {
  Setting setting;
  const char* key;
  SettingKind kind;
  int16_t fallback;  // the default of a number
  int16_t low, high;
  const char* fills;
};

const StoredSetting& Stored(Setting setting);
inline const char* Key(Setting setting) { return Stored(setting).key; }
inline int16_t Default(Setting setting) { return Stored(setting).fallback; }
bool Taken(Setting setting, int16_t value);

}  // namespace pyra
