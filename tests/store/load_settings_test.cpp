#include "store/load_settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_windows.h"
#include "store/companion_placement.h"
#include "store/settings_store.h"
#include "store/store_values.h"

namespace pyra {
namespace {

using test::FakeWindows;
using test::LoggingStore;
using test::ProgramRun;

using Log = std::vector<std::string>;

TEST(LoadSettings, FirstRunOnAnEmptyStore) {
  LoggingStore store;
  ProgramRun run(store);
  test::Scramble(run.options);
  run.state.Turn = 0;
  run.session.LoadSettings();
  test::ExpectFirstRun(run);
  EXPECT_TRUE(store.writes.empty());
  // The steps in their order, each key read once.
  EXPECT_EQ(store.reads,
            (Log{"Pyra3/Width",     "Pyra3/Left",          "Pyra3/Height",      "Pyra3/Top",
                 "Pyra3/NextTop",   "Pyra3/NextLeft",      "Pyra3/PointTop",    "Pyra3/PointLeft",
                 "Pyra3/Point2Top", "Pyra3/Point2Left",    "Pyra3/FormOfGame",  "Pyra3/MesTop",
                 "Pyra3/MesLeft",   "Pyra3/BitmapStretch", "Pyra3/PlayerA",     "Pyra3/PlayerB",
                 "Pyra3/Level",     "Pyra3/FullPath",      "Pyra3/FileName",    "Pyra3/KomaPath",
                 "Pyra3/KomaName",  "Pyra3/PlayerNameA",   "Pyra3/SoundEffect", "Pyra3/Player00",
                 "Pyra3/Music",     "Pyra3/OpeningDemo"}));
  EXPECT_EQ(run.windows.log,
            (Log{"next client 58x32", "main 1500,1500,4080,3000", "main 11865,1500,4080,3000",
                 "main 11865,1500,4080,3600", "main 11865,5550,4080,3600",
                 "move NextBox 15945,5550", "move PointBox 11865,9150", "move PointBox2 14310,9150",
                 "move Message 11865,9150", "built-in background", "built-in sheet"}));
}

TEST(LoadSettings, FirstRunWithoutStretchingOrSound) {
  LoggingStore store;
  ProgramRun run(store);
  run.windows.canStretch = false;
  run.windows.soundAvailable = false;
  run.session.LoadSettings();
  test::ExpectFirstRun(run);
  EXPECT_EQ(run.options.Check1, (std::array<int, 4>{Unchecked, Unchecked, Checked, Checked}));
  // Without stretching the key is not even read.
  for (const auto& read : store.reads) EXPECT_NE(read, "Pyra3/BitmapStretch");
}

TEST(LoadSettings, SecondRunReadsBackWhatTheFirstWrote) {
  test::TempDir dir;
  const std::string path = dir.File("Pyra3/store.sqlite3");
  {
    SqliteSettingsStore store(path);
    ProgramRun first(store);
    first.session.LoadSettings();
    test::ExpectFirstRun(first);
    // The user moves the windows and changes every option.
    first.windows.main = {2000, 1000, 6000, 5000};
    first.windows.companions[Companion::NextBox].left = 8000;
    first.windows.companions[Companion::NextBox].top = 1000;
    first.windows.companions[Companion::PointBox].left = 2000;
    first.windows.companions[Companion::PointBox].top = 6000;
    first.windows.companions[Companion::PointBox2].left = 4445;
    first.windows.companions[Companion::PointBox2].top = 6000;
    first.windows.companions[Companion::Message].left = 2000;
    first.windows.companions[Companion::Message].top = 7020;
    GameOptions& o = first.options;
    o.SelectSeriesFormat(7);
    o.SetPlayerKind(SideA, true);
    o.SetPlayerKind(SideB, false);
    o.Option3 = {false, true};
    o.Check1 = {Unchecked, Unchecked, Unchecked, Unchecked};
    ASSERT_TRUE(WriteSetting(store, "PlayerNameB", "Bob"));  // the dialog's OK does this
    EXPECT_TRUE(first.session.SaveWindowPositions());
    EXPECT_TRUE(first.session.SaveOptions());
  }
  SqliteSettingsStore store(path);
  ProgramRun second(store);
  second.session.LoadSettings();
  const TwipRect m = second.windows.main;
  EXPECT_EQ((std::array<double, 4>{m.left, m.top, m.width, m.height}),
            (std::array<double, 4>{2000, 1000, 6000, 5000}));
  EXPECT_EQ(second.state.BoardCols, (6000 - 240) / 15 / 32);
  EXPECT_EQ(second.state.BoardRows, 285 / 32);
  EXPECT_EQ(second.windows.Logged("move"),
            (Log{"move NextBox 8000,1000", "move PointBox 2000,6000", "move PointBox2 4445,6000",
                 "move Message 2000,7020"}));
  const GameOptions& o = second.options;
  EXPECT_EQ(o.SelectedSeriesFormat(), 7);
  EXPECT_EQ(o.Option1, (std::array<bool, 4>{false, true, true, false}));
  EXPECT_EQ(o.Option3, (std::array<bool, 2>{false, true}));
  EXPECT_EQ(o.Check1, (std::array<int, 4>{Unchecked, Unchecked, Unchecked, Unchecked}));
  EXPECT_EQ(o.Combo1[0].text, "コンピュータ");
  EXPECT_FALSE(o.Combo1[0].enabled);
  EXPECT_EQ(o.Combo1[1].text, "Bob");
  EXPECT_TRUE(o.Combo1[1].enabled);
}

struct GeometryCase {
  const char* name;
  std::vector<std::pair<const char*, const char*>> stored;
  TwipRect expected;
};

TEST(LoadSettings, MainWindowGeometryFromOddValues) {
  const GeometryCase cases[] = {
      {"nothing stored", {}, {11865, 5550, 4080, 3600}},
      // "abc" reads as 0, which the window refuses: the width stays as it was.
      {"width abc", {{"Width", "abc"}}, {12405, 5550, 3000, 3600}},
      {"width out of range", {{"Width", "40000"}}, {12405, 5550, 3000, 3600}},
      {"height refused", {{"Height", "-100"}}, {11865, 5850, 4080, 3000}},
      {"below and right of the screen", {{"Top", "20000"}, {"Left", "30000"}}, {0, 0, 4080, 3600}},
      {"overlapping the far edges",
       {{"Top", "15000"}, {"Left", "27000"}},
       {28800 - 4080, 16200 - 3600, 4080, 3600}},
      {"above and left of the screen", {{"Top", "-500"}, {"Left", "-32768"}}, {0, 0, 4080, 3600}},
      {"larger than the screen",
       {{"Width", "30000"}, {"Height", "20000"}, {"Top", "100"}, {"Left", "100"}},
       {0, 0, 28800, 16200}},
      {"wider than the screen at the left edge",
       {{"Width", "32767"}, {"Left", "0"}},
       {0, 5550, 28800, 3600}},
      {"stored values",
       {{"Width", "5000"}, {"Height", "4000"}, {"Top", "10"}, {"Left", "20"}},
       {20, 10, 5000, 4000}},
      {"rounded half to even", {{"Left", "20.5"}, {"Top", "11.5"}}, {20, 12, 4080, 3600}},
  };
  for (const GeometryCase& c : cases) {
    LoggingStore store;
    for (const auto& [key, value] : c.stored) store.values[{"Pyra3", key}] = value;
    ProgramRun run(store);
    run.session.LoadSettings();
    const TwipRect m = run.windows.main;
    EXPECT_EQ((std::array<double, 4>{m.left, m.top, m.width, m.height}),
              (std::array<double, 4>{c.expected.left, c.expected.top, c.expected.width,
                                     c.expected.height}))
        << c.name;
  }
}

TEST(LoadSettings, WidthAbcIsTriedAsZeroNotAsTheDefault) {
  LoggingStore store;
  store.values[{"Pyra3", "Width"}] = "abc";
  ProgramRun run(store);
  run.session.LoadSettings();
  EXPECT_EQ(run.windows.log.at(1), "refused main 1500,1500,0,3000");
}

TEST(LoadSettings, BoardSizeFollowsTheRestoredClientArea) {
  const struct {
    const char* width;
    const char* height;
    int cols;
    int rows;
  } cases[] = {
      {"4080", "3600", 8, 6},
      {"4545", "3600", 8, 6},      // 287 client pixels: whole cells only
      {"4560", "4065", 9, 6},      // 288 and 223 pixels
      {"28800", "16200", 50, 32},  // at most 50 cells
  };
  for (const auto& c : cases) {
    LoggingStore store;
    store.values[{"Pyra3", "Width"}] = c.width;
    store.values[{"Pyra3", "Height"}] = c.height;
    ProgramRun run(store);
    run.session.LoadSettings();
    EXPECT_EQ(run.state.BoardCols, c.cols) << c.width;
    EXPECT_EQ(run.state.BoardRows, c.rows) << c.height;
  }
}

// A view of one setting of the dialog as text.
using Projection = std::function<std::string(const GameOptions&)>;

std::string Format(const GameOptions& o) {
  for (int i = 0; i < 11; ++i) {
    if (o.Option2[i]) return std::to_string(i);
  }
  return "none";
}
std::string Level(const GameOptions& o) {
  if (o.Option3[0] && !o.Option3[1]) return "auto";
  if (!o.Option3[0] && o.Option3[1]) return "strongest";
  return o.Option3[0] ? "both" : "none";
}
std::string Side(const GameOptions& o, int side) {
  const int base = side * 2;
  const std::string kind = o.Option1[base] && !o.Option1[base + 1]   ? "human"
                           : !o.Option1[base] && o.Option1[base + 1] ? "computer"
                                                                     : "none";
  const NameBox& box = o.Combo1[side];
  return kind + " " + box.text + (box.enabled ? "" : " (disabled)");
}
Projection Box(int i) {
  return [i](const GameOptions& o) { return std::to_string(o.Check1[i]); };
}

struct OptionCase {
  std::vector<std::pair<const char*, const char*>> stored;
  Projection view;
  const char* expected;
  bool canStretch = true;
  bool sound = true;
};

TEST(LoadSettings, OptionsFromOddValues) {
  const Projection format = Format;
  const Projection level = Level;
  const Projection sideA = [](const GameOptions& o) { return Side(o, SideA); };
  const Projection sideB = [](const GameOptions& o) { return Side(o, SideB); };
  const OptionCase cases[] = {
      {{}, format, "0"},
      {{{"FormOfGame", "3"}}, format, "3"},
      {{{"FormOfGame", "10"}}, format, "10"},
      {{{"FormOfGame", "11"}}, format, "none"},
      {{{"FormOfGame", "-1"}}, format, "none"},
      {{{"FormOfGame", "40000"}}, format, "none"},
      {{{"FormOfGame", "abc"}}, format, "0"},
      {{{"FormOfGame", "2.5"}}, format, "2"},
      {{}, level, "auto"},
      {{{"Level", "1"}}, level, "strongest"},
      {{{"Level", "0"}}, level, "auto"},
      {{{"Level", ""}}, level, "auto"},
      {{{"Level", "2"}}, level, "strongest"},
      {{{"Level", "abc"}}, level, "auto"},
      {{{"Level", "40000"}}, level, "none"},
      {{}, Box(0), "1"},
      {{{"BitmapStretch", "0"}}, Box(0), "0"},
      {{{"BitmapStretch", "1"}}, Box(0), "1"},
      {{{"BitmapStretch", "2"}}, Box(0), "0"},
      {{{"BitmapStretch", "1"}}, Box(0), "0", false},
      {{}, Box(1), "1"},
      {{{"SoundEffect", "1"}}, Box(1), "0", true, false},
      {{{"SoundEffect", "0"}}, Box(1), "0"},
      {{{"SoundEffect", "2"}}, Box(1), "0"},
      {{}, Box(2), "1"},
      {{{"Music", "0"}}, Box(2), "0"},
      {{{"Music", "1"}}, Box(2), "1"},
      {{{"Music", "2"}}, Box(2), "0"},
      {{{"Music", "abc"}}, Box(2), "0"},
      {{}, Box(3), "1"},
      {{{"OpeningDemo", "0"}}, Box(3), "0"},
      {{{"OpeningDemo", "2"}}, Box(3), "0"},
      {{{"OpeningDemo", "1"}}, Box(3), "1"},
      {{}, sideA, "human Player A"},
      {{{"PlayerNameA", "   "}}, sideA, "human Player A"},
      {{{"PlayerNameA", "  Ann  "}}, sideA, "human   Ann"},
      {{{"PlayerNameA", "アン"}}, sideA, "human アン"},
      {{{"PlayerA", "1"}, {"PlayerNameA", "Ann"}}, sideA, "computer コンピュータ (disabled)"},
      {{{"PlayerA", "2"}, {"PlayerNameA", "Ann"}}, sideA, "none コンピュータ (disabled)"},
      {{{"PlayerA", "40000"}}, sideA, "none コンピュータ (disabled)"},
      {{}, sideB, "computer コンピュータ (disabled)"},
      {{{"PlayerB", "0"}}, sideB, "human Player B"},
      {{{"PlayerB", "0"}, {"PlayerNameB", "Bob "}}, sideB, "human Bob"},
      {{{"PlayerB", "7"}}, sideB, "none コンピュータ (disabled)"},
  };
  for (const OptionCase& c : cases) {
    LoggingStore store;
    std::string label;
    for (const auto& [key, value] : c.stored) {
      store.values[{"Pyra3", key}] = value;
      label += std::string(key) + "=\"" + value + "\" ";
    }
    ProgramRun run(store);
    test::Scramble(run.options);
    run.windows.canStretch = c.canStretch;
    run.windows.soundAvailable = c.sound;
    run.session.LoadSettings();
    EXPECT_EQ(c.view(run.options), c.expected) << label;
  }
}

TEST(LoadSettings, ComputerSideNameIsNeitherReadNorTouched) {
  LoggingStore store;
  store.values[{"Pyra3", "PlayerA"}] = "1";
  store.values[{"Pyra3", "PlayerNameA"}] = "Ann";
  ProgramRun run(store);
  run.session.LoadSettings();
  for (const auto& read : store.reads) EXPECT_NE(read, "Pyra3/PlayerNameA");
  for (const auto& read : store.reads) EXPECT_NE(read, "Pyra3/PlayerNameB");  // B: computer
  EXPECT_TRUE(run.session.SaveOptions());
  EXPECT_EQ(store.Main("PlayerNameA"), "Ann");
}

TEST(LoadSettings, PlayerListNeedsTheNameBoxes) {
  LoggingStore store;
  store.values = {{{"Pyra3", "Player00"}, "Ann"},    {{"Pyra3", "Player01"}, "Bob"},
                  {{"Ann", "Games"}, "3"},           {{"Bob", "Games"}, "4"},
                  {{"Pyra3", "PlayerNameA"}, "Bob"}, {{"Pyra3", "PlayerB"}, "0"},
                  {{"Pyra3", "PlayerNameB"}, "Ann"}};
  ProgramRun run(store);
  test::Scramble(run.options);
  run.session.LoadSettings();
  EXPECT_EQ(run.records.SidePlayerIndex, (std::array<int16_t, 2>{1, 0}));
  for (const NameBox& box : run.options.Combo1) {
    EXPECT_EQ(box.list, (std::vector<std::string>{"Ann", "Bob"}));
  }
  EXPECT_EQ(run.options.Combo1[2].text, "");
}

struct PictureCase {
  const char* name;
  std::vector<std::pair<const char*, const char*>> stored;
  Log expected;
};

TEST(LoadSettings, PicturesFromTheirFolders) {
  const PictureCase cases[] = {
      {"built-in pictures", {}, {"built-in background", "built-in sheet"}},
      {"background and sheet",
       {{"FullPath", "/pics"},
        {"FileName", "bg.bmp"},
        {"KomaPath", "/sheets"},
        {"KomaName", "koma.bmp"}},
       {"cd /pics", "busy", "load background /pics/bg.bmp", "idle", "label /pics/bg.bmp",
        "cd /sheets", "busy", "load sheet /sheets/koma.bmp", "idle", "label /sheets/koma.bmp",
        "user sheet"}},
      {"folder with a trailing separator",
       {{"FullPath", "/pics/"}, {"FileName", "bg.bmp"}},
       {"cd /pics/", "built-in background", "built-in sheet"}},
      {"file in a sub-folder of the current one",
       {{"FileName", "sub/wide.wmf"}},
       {"busy", "load background /home/user/sub/wide.wmf", "idle", "label /home/user/sub/wide.wmf",
        "built-in sheet"}},
      {"missing file",
       {{"FullPath", "/pics"}, {"FileName", "gone.bmp"}},
       {"cd /pics", "busy", "load background /pics/gone.bmp", "idle", "built-in background",
        "built-in sheet"}},
      {"folder that cannot be entered",
       {{"FullPath", "/nowhere"}, {"FileName", "bg.bmp"}},
       {"cd /nowhere", "built-in background", "built-in sheet"}},
      {"sheet of the wrong size",
       {{"KomaPath", "/sheets"}, {"KomaName", "small.bmp"}},
       {"built-in background", "cd /sheets", "busy", "load sheet /sheets/small.bmp", "idle",
        "label /sheets/small.bmp", "built-in sheet"}},
      {"folder without a file",
       {{"FullPath", "/pics"}},
       {"cd /pics", "built-in background", "built-in sheet"}},
  };
  for (const PictureCase& c : cases) {
    LoggingStore store;
    for (const auto& [key, value] : c.stored) store.values[{"Pyra3", key}] = value;
    ProgramRun run(store);
    run.windows.pictures = {{"/pics/bg.bmp", {640, 480}},
                            {"/home/user/sub/wide.wmf", {800, 600}},
                            {"/sheets/koma.bmp", {192, 64}},
                            {"/sheets/small.bmp", {96, 32}}};
    // "/pics/" is not the same text as the known folder "/pics".
    run.session.LoadSettings();
    Log pictureLog;
    for (const auto& entry : run.windows.log) {
      if (entry.rfind("main", 0) != 0 && entry.rfind("move", 0) != 0 &&
          entry.rfind("next client", 0) != 0) {
        pictureLog.push_back(entry);
      }
    }
    EXPECT_EQ(pictureLog, c.expected) << c.name;
  }
}

TEST(LoadSettings, CompanionWindowsKeptOnTheScreen) {
  const struct {
    const char* name;
    std::vector<std::pair<const char*, const char*>> stored;
    Log expected;
  } cases[] = {
      {"beyond the bottom right corner",
       {{"NextTop", "20000"}, {"NextLeft", "30000"}, {"MesTop", "16000"}, {"MesLeft", "28000"}},
       {"move NextBox 27810,15270", "move PointBox 11865,9150", "move PointBox2 14310,9150",
        "move Message 23910,14700"}},
      {"negative",
       {{"PointTop", "-1"}, {"PointLeft", "-32768"}, {"Point2Top", "-5"}, {"Point2Left", "7"}},
       {"move NextBox 15945,5550", "move PointBox 0,0", "move PointBox2 7,0",
        "move Message 11865,9150"}},
      {"a value out of range ends that placement only",
       {{"NextTop", "40000"}, {"Point2Left", "abc"}, {"MesLeft", "99999"}},
       {"move PointBox 11865,9150", "move PointBox2 0,9150"}},
      {"defaults follow the main window at the screen's edge",
       {{"Left", "27000"}, {"Top", "15000"}},
       {"move NextBox 27810,12600", "move PointBox 24720,15180", "move PointBox2 26355,15195",
        "move Message 23910,14700"}},
  };
  for (const auto& c : cases) {
    LoggingStore store;
    for (const auto& [key, value] : c.stored) store.values[{"Pyra3", key}] = value;
    ProgramRun run(store);
    run.session.LoadSettings();
    EXPECT_EQ(run.windows.Logged("move"), c.expected) << c.name;
  }
}

TEST(LoadSettings, EachCompanionIsPlacedOncePerRun) {
  LoggingStore store;
  ProgramRun run(store);
  run.session.LoadSettings();
  store.values[{"Pyra3", "NextTop"}] = "0";
  run.session.PlaceNextBox();
  run.session.PlacePointBox();
  run.session.PlacePointBox2();
  EXPECT_EQ(run.windows.Logged("move").size(), 4u);

  // A placement that failed has not used up its turn.
  LoggingStore other;
  other.values[{"Pyra3", "NextTop"}] = "40000";
  ProgramRun second(other);
  second.session.LoadSettings();
  EXPECT_TRUE(second.windows.Logged("move NextBox").empty());
  other.values[{"Pyra3", "NextTop"}] = "100";
  second.session.PlaceNextBox();
  second.session.PlaceNextBox();
  EXPECT_EQ(second.windows.Logged("move NextBox"), (Log{"move NextBox 15945,100"}));
}

TEST(ClampToScreen, FarEdgesFirstThenZero) {
  const TwipSize screen{1000, 800};
  const struct {
    TwipPoint at;
    TwipSize window;
    TwipPoint expected;
  } cases[] = {
      {{10, 20}, {100, 100}, {10, 20}},     {{950, 750}, {100, 100}, {900, 700}},
      {{900, 700}, {100, 100}, {900, 700}}, {{-5, -6}, {100, 100}, {0, 0}},
      {{500, 500}, {1200, 900}, {0, 0}},  // larger than the screen: ends at 0
      {{-50, 100}, {1200, 100}, {0, 100}},
  };
  for (const auto& c : cases) {
    const TwipPoint p = ClampToScreen(c.at, c.window, screen);
    EXPECT_EQ(p.left, c.expected.left) << c.at.left << "," << c.at.top;
    EXPECT_EQ(p.top, c.expected.top) << c.at.left << "," << c.at.top;
  }
}

TEST(SaveSettings, KeysInTheirOrderAsDigitStrings) {
  LoggingStore store;
  ProgramRun run(store);
  run.session.LoadSettings();
  run.windows.companions[Companion::Message].left = 1234.5;  // twips need not be whole
  run.windows.main.top = 1235.5;
  EXPECT_TRUE(run.session.SaveWindowPositions());
  EXPECT_TRUE(run.session.SaveOptions());
  EXPECT_EQ(store.writes,
            (Log{"Pyra3/Top=1236",         "Pyra3/Left=11865",      "Pyra3/Width=4080",
                 "Pyra3/Height=3600",      "Pyra3/NextTop=5550",    "Pyra3/NextLeft=15945",
                 "Pyra3/PointTop=9150",    "Pyra3/PointLeft=11865", "Pyra3/Point2Top=9150",
                 "Pyra3/Point2Left=14310", "Pyra3/MesTop=9150",     "Pyra3/MesLeft=1234",
                 "Pyra3/FormOfGame=0",     "Pyra3/SoundEffect=1",   "Pyra3/Music=1",
                 "Pyra3/OpeningDemo=1",    "Pyra3/PlayerA=0",       "Pyra3/PlayerB=1",
                 "Pyra3/BitmapStretch=1",  "Pyra3/Level=0"}));
}

TEST(SaveSettings, OptionValues) {
  LoggingStore store;
  ProgramRun run(store);
  run.session.LoadSettings();
  GameOptions& o = run.options;
  o.Option2.fill(false);  // no format selected counts as 0
  o.Option1 = {false, false, false, false};
  o.Option3 = {false, false};
  o.Check1 = {Greyed, Greyed, Unchecked, Greyed};
  store.writes.clear();
  EXPECT_TRUE(run.session.SaveOptions());
  EXPECT_EQ(store.writes, (Log{"Pyra3/MesLeft=11865", "Pyra3/FormOfGame=0", "Pyra3/SoundEffect=2",
                               "Pyra3/Music=0", "Pyra3/OpeningDemo=2", "Pyra3/PlayerA=1",
                               "Pyra3/PlayerB=1", "Pyra3/Level=1"}));
  o.Check1[0] = Unchecked;
  store.writes.clear();
  run.session.SaveOptions();
  EXPECT_EQ(store.Main("BitmapStretch"), "0");
}

TEST(SaveSettings, NothingFromARefusedStartOrANonNormalWindow) {
  {
    LoggingStore store;
    ProgramRun refused(store);  // the start was refused: LoadSettings never ran
    EXPECT_TRUE(refused.session.SaveWindowPositions());
    EXPECT_TRUE(refused.session.SaveOptions());
    EXPECT_TRUE(store.writes.empty());
  }
  LoggingStore store;
  ProgramRun run(store);
  run.session.LoadSettings();
  run.windows.normal = false;  // minimised or maximised
  run.windows.main = {0, 0, 100, 100};
  EXPECT_TRUE(run.session.SaveWindowPositions());
  EXPECT_TRUE(store.writes.empty());
  EXPECT_TRUE(run.session.SaveOptions());
  for (const auto& write : store.writes) EXPECT_EQ(write.find("Mes"), std::string::npos);
  EXPECT_EQ(store.writes.size(), 8u);
}

TEST(SaveSettings, FailedWritesAreReported) {
  LoggingStore store;
  ProgramRun run(store);
  run.session.LoadSettings();
  store.failWrites = true;
  EXPECT_FALSE(run.session.SaveWindowPositions());
  EXPECT_FALSE(run.session.SaveOptions());
  EXPECT_EQ(store.writes.size(), 11u + 9u);  // every key was still tried
}

}  // namespace
}  // namespace pyra
