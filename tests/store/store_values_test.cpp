#include "store/store_values.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cmath>
#include <string>

#include "env_guard.h"
#include "store/number_reading.h"
#include "store/store_path.h"
#include "store_test_support.h"

namespace pyra {
namespace {

std::string Times(const std::string& text, int n) {
  std::string out;
  while (n-- > 0) out += text;
  return out;
}

TEST(NumberReading, SixteenBitReads) {
  // Blanks, one sign, then the longest number; no number reads 0; halves round to even.
  const std::pair<std::string_view, const char*> cases[] = {
      {"abc", "0"},      {"", "0"},          {"  +7x", "7"},     {"\t\n-42", "-42"},
      {"--1", "0"},      {"-", "0"},         {".", "0"},         {"12 34", "12"},
      {"0x1F", "0"},     {"2.5", "2"},       {"3.5", "4"},       {"-2.5", "-2"},
      {"-3.5", "-4"},    {".51", "1"},       {"5.", "5"},        {"-.6", "-1"},
      {"2.4999", "2"},   {"1e3", "1000"},    {"1E3", "1000"},    {"1e", "1"},
      {"2e-", "2"},      {"1e+2x", "100"},   {"25e-1", "2"},     {"1e-999", "0"},
      {"32767.4", "32767"}, {"32767.5", "fails"}, {"-32768.5", "-32768"}, {"-32768.6", "fails"},
      {"40000", "fails"}, {"1e999", "fails"}, {"-1e999", "fails"},
      // Only the text given is read, not what follows it in memory.
      {std::string_view("12345", 2), "12"}, {std::string_view("1.5", 2), "1"},
      {std::string_view("1e5", 2), "1"},
  };
  for (const auto& [text, expected] : cases) {
    const std::optional<int16_t> read = ReadInteger16(text);
    EXPECT_EQ(read ? std::to_string(*read) : "fails", expected) << '"' << text << '"';
  }
  EXPECT_EQ(ReadWholeNumber("123456789012.5"), 123456789012.0);
  EXPECT_EQ(ReadWholeNumber("-70000.5"), -70000);
  EXPECT_EQ(ReadWholeNumber("1e400"), INFINITY);
}

TEST(StoreValues, TextCutAt255CharactersThenTrailingSpacesDropped) {
  const std::pair<std::string, std::string> cases[] = {
      {"  Ann  ", "  Ann"},
      {"Ann\t", "Ann\t"},
      {Times("a", 255), Times("a", 255)},
      {Times("a", 256), Times("a", 255)},
      {Times("名", 256), Times("名", 255)},  // characters, not bytes
      {"x" + Times("😀", 300), "x" + Times("😀", 254)},
      {Times("a", 250) + Times(" ", 10) + "b", Times("a", 250)},
  };
  for (const auto& [raw, expected] : cases) EXPECT_EQ(StoreText(raw), expected) << raw.size();
}

TEST(StoreValues, DefaultsOnlyWhenNothingIsLeft) {
  testing::MemoryStore store;
  store.values = {{{"Pyra3", "Spaces"}, "   "}, {{"Pyra3", "Name"}, " Ann  "},
                  {{"Pyra3", "Zero"}, "0"},     {{"Pyra3", "Wide"}, "40000"},
                  {{"Pyra3", "Odd"}, " -3.5x"}, {{"Ann", "Games"}, "12"}};
  EXPECT_EQ(ReadSetting(store, "Missing", "d") + ReadSetting(store, "Spaces", "d") +
                ReadSetting(store, "Name", "d") + ReadSetting(store, "Games", "d"),
            "dd Annd");
  EXPECT_EQ(ReadStoreValue(store, "Ann", "Games", "0") + ReadStoreValue(store, "Bob", "Games", "0"),
            "120");
  const std::pair<const char*, std::optional<int16_t>> numbers[] = {
      {"Missing", 7}, {"Spaces", 7}, {"Name", 0}, {"Zero", 0}, {"Wide", std::nullopt}, {"Odd", -4}};
  for (const auto& [key, expected] : numbers) {
    EXPECT_EQ(ReadNumberSetting(store, key, 7), expected) << key;
  }
}

TEST(StoreValues, FolderSeparatorLeavesExactlyOne) {
  for (const char* folder : {"/home/user/pics", "/home/user/pics/"}) {
    EXPECT_EQ(folder + FolderSeparator(folder) + "a.bmp", "/home/user/pics/a.bmp");
  }
  EXPECT_EQ(FolderSeparator(""), "/");
}

TEST(StorePath, FollowsXdgConfigHomeElseHome) {
  const std::string account = getpwuid(getuid())->pw_dir;
  const struct {
    const char* xdg;  // nullptr: unset
    const char* home;
    std::string expected;
  } cases[] = {
      {"/xdg/config", "/h", "/xdg/config/Pyra3/store.sqlite3"},
      {"/xdg/config//", "/h", "/xdg/config/Pyra3/store.sqlite3"},
      {nullptr, "/home/tester", "/home/tester/.config/Pyra3/store.sqlite3"},
      {"", "/h", "/h/.config/Pyra3/store.sqlite3"},
      {"relative/config", "/h", "/h/.config/Pyra3/store.sqlite3"},
      {nullptr, "", account + "/.config/Pyra3/store.sqlite3"},
      {nullptr, nullptr, account + "/.config/Pyra3/store.sqlite3"},
  };
  testing::EnvGuard home("HOME", nullptr), xdg("XDG_CONFIG_HOME", nullptr);
  for (const auto& c : cases) {
    xdg.Set(c.xdg);
    home.Set(c.home);
    EXPECT_EQ(DefaultStorePath(), c.expected) << (c.xdg ? c.xdg : "(unset)");
  }
}

}  // namespace
}  // namespace pyra
