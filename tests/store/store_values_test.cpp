#include "store/store_values.h"

#include <gtest/gtest.h>

#include <string>

#include "store_test_support.h"

namespace pyra {
namespace {

using test::LoggingStore;

// n copies of a text.
std::string Times(const std::string& text, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += text;
  return out;
}

TEST(StoreText, CutsAt255CharactersThenDropsTrailingSpaces) {
  const struct {
    std::string raw;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"   ", ""},
      {"Ann", "Ann"},
      {"Ann   ", "Ann"},
      {"  Ann", "  Ann"},
      {"A n n ", "A n n"},
      {"Ann\t", "Ann\t"},  // only spaces are trimmed
      {"Ann\n ", "Ann\n"},
      {Times("a", 255), Times("a", 255)},
      {Times("a", 256), Times("a", 255)},
      {Times("a", 10000), Times("a", 255)},
      // Characters, not bytes: 255 three-byte characters stay whole.
      {Times("名", 255), Times("名", 255)},
      {Times("名", 300), Times("名", 255)},
      {"x" + Times("😀", 300), "x" + Times("😀", 254)},
      // The cut comes first: spaces that end the first 255 characters go as well.
      {Times("a", 250) + Times(" ", 10) + "b", Times("a", 250)},
      {Times("a", 254) + " é", Times("a", 254)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StoreText(c.raw), c.expected) << c.raw.substr(0, 30) << " (" << c.raw.size() << ")";
  }
}

TEST(StoreValues, ReadsGiveTheDefaultOnlyWhenNothingIsLeft) {
  LoggingStore store;
  store.values = {{{"Pyra3", "Spaces"}, "    "},
                  {{"Pyra3", "Empty"}, ""},
                  {{"Pyra3", "Name"}, " Ann  "},
                  {{"Pyra3", "Zero"}, "0"},
                  {{"Ann", "Games"}, "12"}};
  EXPECT_EQ(ReadSetting(store, "Missing", "dflt"), "dflt");
  EXPECT_EQ(ReadSetting(store, "Spaces", "dflt"), "dflt");
  EXPECT_EQ(ReadSetting(store, "Empty", "dflt"), "dflt");
  EXPECT_EQ(ReadSetting(store, "Name", "dflt"), " Ann");
  EXPECT_EQ(ReadSetting(store, "Zero", "dflt"), "0");
  EXPECT_EQ(ReadStoreValue(store, "Ann", "Games", "0"), "12");
  EXPECT_EQ(ReadStoreValue(store, "Bob", "Games", "0"), "0");
  EXPECT_EQ(ReadSetting(store, "Games", "none"), "none");  // not the player's section
}

TEST(StoreValues, NumberSettings) {
  const struct {
    const char* stored;  // nullptr: missing
    std::optional<int16_t> expected;
  } cases[] = {
      {nullptr, 7}, {"", 7},       {"   ", 7},   {"abc", 0},         {"12", 12},
      {" 12 ", 12}, {"40000", {}}, {"-3.5", -4}, {"-32768", -32768},
  };
  for (const auto& c : cases) {
    LoggingStore store;
    if (c.stored != nullptr) store.values[{"Pyra3", "Key"}] = c.stored;
    EXPECT_EQ(ReadNumberSetting(store, "Key", 7), c.expected)
        << (c.stored ? c.stored : "(missing)");
  }
}

TEST(StoreValues, WritesAndDeletionsGoToTheNamedSection) {
  LoggingStore store;
  EXPECT_TRUE(WriteSetting(store, "Width", "4080"));
  EXPECT_TRUE(WriteStoreValue(store, "Ann", "Games", "1"));
  EXPECT_TRUE(DeleteStoreKey(store, "Pyra3", "Width"));
  EXPECT_TRUE(DeleteStoreSection(store, "Ann"));
  EXPECT_EQ(store.writes, (std::vector<std::string>{"Pyra3/Width=4080", "Ann/Games=1",
                                                    "delete Pyra3/Width", "delete section Ann"}));
  store.failWrites = true;
  EXPECT_FALSE(WriteSetting(store, "Width", "1"));
  EXPECT_FALSE(DeleteStoreSection(store, "Ann"));
}

TEST(StoreValues, FolderSeparatorLeavesExactlyOne) {
  const struct {
    const char* folder;
    const char* joined;
  } cases[] = {
      {"/home/user/pics", "/home/user/pics/a.bmp"},
      {"/home/user/pics/", "/home/user/pics/a.bmp"},
      {"/", "/a.bmp"},
      {"relative", "relative/a.bmp"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::string(c.folder) + FolderSeparator(c.folder) + "a.bmp", c.joined) << c.folder;
  }
}

}  // namespace
}  // namespace pyra
