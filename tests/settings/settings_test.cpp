// The settings as values: series formats by their stored numbers, the stored settings' table.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "settings/game_settings.h"
#include "settings/stored_settings.h"

namespace pyra {
namespace {

TEST(SeriesFormat, EachNumberIsOneFormatAndBack) {
  using K = SeriesFormat::Kind;
  // The number; the kind, its target and the wins that decide a best-of.
  const std::tuple<int, K, int, int> formats[] = {
      {0, K::BestOf, 1, 1},  {1, K::BestOf, 3, 2},   {2, K::BestOf, 5, 3},    {3, K::BestOf, 7, 4},
      {4, K::BestOf, 9, 5},  {5, K::FirstTo, 2, 2},  {6, K::FirstTo, 4, 3},   {7, K::FirstTo, 6, 4},
      {8, K::FirstTo, 8, 5}, {9, K::FirstTo, 10, 6}, {10, K::Unlimited, 0, 1}};
  for (const auto& [number, kind, target, decide] : formats) {
    const std::optional<SeriesFormat> format = SeriesFormat::FromNumber(number);
    ASSERT_TRUE(format.has_value()) << number;
    EXPECT_EQ(std::tuple(format->kind(), format->Target(), format->Number()),
              std::tuple(kind, target, number));
    EXPECT_EQ(kind == K::BestOf ? format->WinsThatDecide() : decide, decide) << number;
  }
  for (int number : {-1, 11, 40000}) EXPECT_FALSE(SeriesFormat::FromNumber(number)) << number;
  EXPECT_EQ(GameSettings{}.Series(), SeriesFormat::BestOf(1)) << "none chosen: one game";
}

TEST(StoredSettings, EveryKeyOnceAndTheValuesTaken) {
  std::set<std::string> keys;
  for (int i = 0; i < SettingCount; ++i) keys.insert(Stored(Setting(i)).key);
  EXPECT_EQ(keys.size(), size_t(SettingCount));
  // The setting, a value, and whether it is taken.
  const std::tuple<Setting, int16_t, bool> values[] = {
      {Setting::SeriesFormat, 10, true},  {Setting::SeriesFormat, 11, false},
      {Setting::SeriesFormat, -1, false}, {Setting::StretchBackground, 2, false},
      {Setting::PlayerB, 1, true},        {Setting::PlayerA, 2, false},
      {Setting::Level, 0, true},          {Setting::Level, 1, false},
      {Setting::Music, 1, true},          {Setting::Music, 2, false},
      {Setting::OpeningDemo, 0, false},   {Setting::SoundEffects, 1, true}};
  for (const auto& [setting, value, taken] : values)
    EXPECT_EQ(Taken(setting, value), taken) << Key(setting) << "=" << value;
  EXPECT_EQ(
      std::tuple(Default(Setting::PlayerA), Default(Setting::PlayerB), Default(Setting::Music)),
      std::tuple(0, 1, 1));
}

}  // namespace
}  // namespace pyra
