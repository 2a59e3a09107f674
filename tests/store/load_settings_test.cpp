#include "store/load_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "fake_windows.h"
#include "store/companion_placement.h"
#include "store/settings_store.h"
#include "store/store_values.h"

namespace pyra {
namespace {

using test::LoggingStore;
using test::ProgramRun;

using Log = std::vector<std::string>;
using Stored = std::vector<std::pair<const char*, const char*>>;
using Rect = std::array<double, 4>;

Rect AsArray(const TwipRect& r) { return {r.left, r.top, r.width, r.height}; }

// One run whose store holds the given main-section values, prepared and then loaded.
struct LoadedRun {
  explicit LoadedRun(const Stored& stored = {},
                     const std::function<void(ProgramRun&)>& prepare = nullptr) {
    for (const auto& [key, value] : stored) store.values[{"Pyra3", key}] = value;
    if (prepare) prepare(run);
    run.session.LoadSettings();
  }
  LoggingStore store;
  ProgramRun run{store};
  bool WasRead(const std::string& key) const {
    return std::count(store.reads.begin(), store.reads.end(), "Pyra3/" + key) > 0;
  }
};

// Views of one setting of the dialog as text.
std::string Format(const GameOptions& o) {
  for (int i = 0; i < 11; ++i) {
    if (o.Option2[i]) return std::to_string(i);
  }
  return "none";
}
std::string Level(const GameOptions& o) {
  if (o.Option3[0] != o.Option3[1]) return o.Option3[0] ? "auto" : "strongest";
  return o.Option3[0] ? "both" : "none";
}
std::string Side(const GameOptions& o, int side) {
  const bool human = o.Option1[side * 2], computer = o.Option1[side * 2 + 1];
  const NameBox& box = o.Combo1[side];
  return std::string(human == computer ? "none"
                     : human           ? "human"
                                       : "computer") +
         " " + box.text + (box.enabled ? "" : " (disabled)");
}

TEST(LoadSettings, FirstRunOnAnEmptyStore) {
  LoadedRun l({}, [](ProgramRun& r) {
    test::Scramble(r.options);
    r.state.Turn = 0;
  });
  test::ExpectFirstRun(l.run);
  EXPECT_TRUE(l.store.writes.empty());
  // The steps in their order, each key read once.
  EXPECT_EQ(l.store.reads,
            (Log{"Pyra3/Width",     "Pyra3/Left",          "Pyra3/Height",      "Pyra3/Top",
                 "Pyra3/NextTop",   "Pyra3/NextLeft",      "Pyra3/PointTop",    "Pyra3/PointLeft",
                 "Pyra3/Point2Top", "Pyra3/Point2Left",    "Pyra3/FormOfGame",  "Pyra3/MesTop",
                 "Pyra3/MesLeft",   "Pyra3/BitmapStretch", "Pyra3/PlayerA",     "Pyra3/PlayerB",
                 "Pyra3/Level",     "Pyra3/FullPath",      "Pyra3/FileName",    "Pyra3/KomaPath",
                 "Pyra3/KomaName",  "Pyra3/PlayerNameA",   "Pyra3/SoundEffect", "Pyra3/Player00",
                 "Pyra3/Music",     "Pyra3/OpeningDemo"}));
  EXPECT_EQ(l.run.windows.log,
            (Log{"next client 58x32", "main 1500,1500,4080,3000", "main 11865,1500,4080,3000",
                 "main 11865,1500,4080,3600", "main 11865,5550,4080,3600",
                 "move NextBox 15945,5550", "move PointBox 11865,9150", "move PointBox2 14310,9150",
                 "move Message 11865,9150", "built-in background", "built-in sheet"}));
}

TEST(LoadSettings, FirstRunWithoutStretchingOrSound) {
  LoadedRun l({}, [](ProgramRun& r) { r.windows.canStretch = r.windows.soundAvailable = false; });
  test::ExpectFirstRun(l.run);  // both boxes unchecked
  EXPECT_FALSE(l.WasRead("BitmapStretch"));
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
    first.windows.MoveCompanion(Companion::NextBox, 8000, 1000);
    first.windows.MoveCompanion(Companion::PointBox, 2000, 6000);
    first.windows.MoveCompanion(Companion::PointBox2, 4445, 6000);
    first.windows.MoveCompanion(Companion::Message, 2000, 7020);
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
  EXPECT_EQ(AsArray(second.windows.main), (Rect{2000, 1000, 6000, 5000}));
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
  EXPECT_EQ(Side(o, SideA), "computer コンピュータ (disabled)");
  EXPECT_EQ(Side(o, SideB), "human Bob");
}

TEST(LoadSettings, MainWindowGeometryFromOddValues) {
  const struct {
    const char* name;
    Stored stored;
    Rect expected;
  } cases[] = {
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
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AsArray(LoadedRun(c.stored).run.windows.main), c.expected);
  }
  // "abc" is tried as 0, not as the default.
  EXPECT_EQ(LoadedRun(Stored{{"Width", "abc"}}).run.windows.log.at(1),
            "refused main 1500,1500,0,3000");
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
    SCOPED_TRACE(c.width);
    LoadedRun l({{"Width", c.width}, {"Height", c.height}});
    EXPECT_EQ(l.run.state.BoardCols, c.cols);
    EXPECT_EQ(l.run.state.BoardRows, c.rows);
  }
}

TEST(LoadSettings, OptionsFromOddValues) {
  using View = std::function<std::string(const GameOptions&)>;
  const View format = Format, level = Level;
  const View sideA = [](const GameOptions& o) { return Side(o, SideA); };
  const View sideB = [](const GameOptions& o) { return Side(o, SideB); };
  auto box = [](int i) -> View {
    return [i](const GameOptions& o) { return std::to_string(o.Check1[i]); };
  };
  // Nothing stored is checked with the first run; BitmapStretch=0 and Music=0 with the second.
  const struct {
    Stored stored;
    View view;
    const char* expected;
    bool canStretch = true;
    bool sound = true;
  } cases[] = {
      {{{"FormOfGame", "3"}}, format, "3"},
      {{{"FormOfGame", "10"}}, format, "10"},
      {{{"FormOfGame", "11"}}, format, "none"},
      {{{"FormOfGame", "-1"}}, format, "none"},
      {{{"FormOfGame", "40000"}}, format, "none"},
      {{{"FormOfGame", "abc"}}, format, "0"},
      {{{"FormOfGame", "2.5"}}, format, "2"},
      {{{"Level", "0"}}, level, "auto"},
      {{{"Level", "1"}}, level, "strongest"},
      {{{"Level", ""}}, level, "auto"},
      {{{"Level", "2"}}, level, "strongest"},
      {{{"Level", "abc"}}, level, "auto"},
      {{{"Level", "40000"}}, level, "none"},
      {{{"BitmapStretch", "1"}}, box(0), "1"},
      {{{"BitmapStretch", "2"}}, box(0), "0"},
      {{{"BitmapStretch", "1"}}, box(0), "0", false},
      {{{"SoundEffect", "1"}}, box(1), "0", true, false},
      {{{"SoundEffect", "0"}}, box(1), "0"},
      {{{"SoundEffect", "2"}}, box(1), "0"},
      {{{"Music", "1"}}, box(2), "1"},
      {{{"Music", "2"}}, box(2), "0"},
      {{{"Music", "abc"}}, box(2), "0"},
      {{{"OpeningDemo", "2"}}, box(3), "0"},
      {{{"OpeningDemo", "0"}}, box(3), "0"},
      {{{"OpeningDemo", "1"}}, box(3), "1"},
      {{{"PlayerNameA", "   "}}, sideA, "human Player A"},
      {{{"PlayerNameA", "  Ann  "}}, sideA, "human   Ann"},
      {{{"PlayerNameA", "アン"}}, sideA, "human アン"},
      {{{"PlayerA", "1"}, {"PlayerNameA", "Ann"}}, sideA, "computer コンピュータ (disabled)"},
      {{{"PlayerA", "2"}, {"PlayerNameA", "Ann"}}, sideA, "none コンピュータ (disabled)"},
      {{{"PlayerA", "40000"}}, sideA, "none コンピュータ (disabled)"},
      {{{"PlayerB", "0"}}, sideB, "human Player B"},
      {{{"PlayerB", "0"}, {"PlayerNameB", "Bob "}}, sideB, "human Bob"},
      {{{"PlayerB", "7"}}, sideB, "none コンピュータ (disabled)"},
  };
  for (const auto& c : cases) {
    std::string label;
    for (const auto& [key, value] : c.stored) label += std::string(key) + "=\"" + value + "\" ";
    SCOPED_TRACE(label);
    LoadedRun l(c.stored, [&c](ProgramRun& r) {
      test::Scramble(r.options);
      r.windows.canStretch = c.canStretch;
      r.windows.soundAvailable = c.sound;
    });
    EXPECT_EQ(c.view(l.run.options), c.expected);
  }
}

TEST(LoadSettings, ComputerSideNameIsNeitherReadNorTouched) {
  LoadedRun l({{"PlayerA", "1"}, {"PlayerNameA", "Ann"}});
  EXPECT_FALSE(l.WasRead("PlayerNameA"));
  EXPECT_FALSE(l.WasRead("PlayerNameB"));  // B: computer
  EXPECT_TRUE(l.run.session.SaveOptions());
  EXPECT_EQ(l.store.Main("PlayerNameA"), "Ann");
}

TEST(LoadSettings, PlayerListNeedsTheNameBoxes) {
  LoadedRun l({{"Player00", "Ann"},
               {"Player01", "Bob"},
               {"PlayerNameA", "Bob"},
               {"PlayerB", "0"},
               {"PlayerNameB", "Ann"}},
              [](ProgramRun& r) {
                test::Scramble(r.options);
                auto& values = static_cast<LoggingStore&>(r.store).values;
                values[{"Ann", "Games"}] = "3";
                values[{"Bob", "Games"}] = "4";
              });
  EXPECT_EQ(l.run.records.SidePlayerIndex, (std::array<int16_t, 2>{1, 0}));
  for (const NameBox& box : l.run.options.Combo1) EXPECT_EQ(box.list, (Log{"Ann", "Bob"}));
  EXPECT_EQ(l.run.options.Combo1[2].text, "");
}

TEST(LoadSettings, PicturesFromTheirFolders) {
  const struct {
    const char* name;
    Stored stored;
    Log expected;
  } cases[] = {
      {"background and sheet",
       {{"FullPath", "/pics"},
        {"FileName", "bg.bmp"},
        {"KomaPath", "/sheets"},
        {"KomaName", "koma.bmp"}},
       {"cd /pics", "busy", "load background /pics/bg.bmp", "idle", "label /pics/bg.bmp",
        "cd /sheets", "busy", "load sheet /sheets/koma.bmp", "idle", "label /sheets/koma.bmp",
        "user sheet"}},
      // "/pics/" is not the same text as the known folder "/pics".
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
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LoadedRun l(c.stored, [](ProgramRun& r) {
      r.windows.pictures = {{"/pics/bg.bmp", {640, 480}},
                            {"/home/user/sub/wide.wmf", {800, 600}},
                            {"/sheets/koma.bmp", {192, 64}},
                            {"/sheets/small.bmp", {96, 32}}};
    });
    Log pictureLog;
    for (const std::string& e : l.run.windows.log) {
      const bool placement =
          e.rfind("main", 0) == 0 || e.rfind("move", 0) == 0 || e.rfind("next client", 0) == 0;
      if (!placement) pictureLog.push_back(e);
    }
    EXPECT_EQ(pictureLog, c.expected);
  }
}

TEST(LoadSettings, CompanionWindowsKeptOnTheScreen) {
  const struct {
    const char* name;
    Stored stored;
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
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LoadedRun(c.stored).run.windows.Logged("move"), c.expected);
  }
}

TEST(LoadSettings, EachCompanionIsPlacedOncePerRun) {
  LoadedRun l;
  l.store.values[{"Pyra3", "NextTop"}] = "0";
  l.run.session.PlaceNextBox();
  l.run.session.PlacePointBox();
  l.run.session.PlacePointBox2();
  EXPECT_EQ(l.run.windows.Logged("move").size(), 4u);

  // A placement that failed has not used up its turn.
  LoadedRun failed(Stored{{"NextTop", "40000"}});
  EXPECT_TRUE(failed.run.windows.Logged("move NextBox").empty());
  failed.store.values[{"Pyra3", "NextTop"}] = "100";
  failed.run.session.PlaceNextBox();
  failed.run.session.PlaceNextBox();
  EXPECT_EQ(failed.run.windows.Logged("move NextBox"), (Log{"move NextBox 15945,100"}));
}

TEST(ClampToScreen, FarEdgesFirstThenZero) {
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
    const TwipPoint p = ClampToScreen(c.at, c.window, TwipSize{1000, 800});
    EXPECT_EQ((std::array<double, 2>{p.left, p.top}),
              (std::array<double, 2>{c.expected.left, c.expected.top}))
        << c.at.left << "," << c.at.top;
  }
}

TEST(SaveSettings, KeysInTheirOrderAsDigitStrings) {
  LoadedRun l;
  l.run.windows.companions[Companion::Message].left = 1234.5;  // twips need not be whole
  l.run.windows.main.top = 1235.5;
  EXPECT_TRUE(l.run.session.SaveWindowPositions());
  EXPECT_TRUE(l.run.session.SaveOptions());
  EXPECT_EQ(l.store.writes,
            (Log{"Pyra3/Top=1236",         "Pyra3/Left=11865",      "Pyra3/Width=4080",
                 "Pyra3/Height=3600",      "Pyra3/NextTop=5550",    "Pyra3/NextLeft=15945",
                 "Pyra3/PointTop=9150",    "Pyra3/PointLeft=11865", "Pyra3/Point2Top=9150",
                 "Pyra3/Point2Left=14310", "Pyra3/MesTop=9150",     "Pyra3/MesLeft=1234",
                 "Pyra3/FormOfGame=0",     "Pyra3/SoundEffect=1",   "Pyra3/Music=1",
                 "Pyra3/OpeningDemo=1",    "Pyra3/PlayerA=0",       "Pyra3/PlayerB=1",
                 "Pyra3/BitmapStretch=1",  "Pyra3/Level=0"}));
}

TEST(SaveSettings, OptionValues) {
  LoadedRun l;
  GameOptions& o = l.run.options;
  o.Option2.fill(false);  // no format selected counts as 0
  o.Option1 = {false, false, false, false};
  o.Option3 = {false, false};
  o.Check1 = {Greyed, Greyed, Unchecked, Greyed};
  EXPECT_TRUE(l.run.session.SaveOptions());
  EXPECT_EQ(l.store.writes, (Log{"Pyra3/MesLeft=11865", "Pyra3/FormOfGame=0", "Pyra3/SoundEffect=2",
                                 "Pyra3/Music=0", "Pyra3/OpeningDemo=2", "Pyra3/PlayerA=1",
                                 "Pyra3/PlayerB=1", "Pyra3/Level=1"}));
  o.Check1[0] = Unchecked;
  l.run.session.SaveOptions();
  EXPECT_EQ(l.store.Main("BitmapStretch"), "0");
}

TEST(SaveSettings, NothingFromARefusedStartOrANonNormalWindow) {
  {
    LoggingStore store;
    ProgramRun refused(store);  // the start was refused: LoadSettings never ran
    EXPECT_TRUE(refused.session.SaveWindowPositions());
    EXPECT_TRUE(refused.session.SaveOptions());
    EXPECT_TRUE(store.writes.empty());
  }
  LoadedRun l;
  l.run.windows.normal = false;  // minimised or maximised
  l.run.windows.main = {0, 0, 100, 100};
  EXPECT_TRUE(l.run.session.SaveWindowPositions());
  EXPECT_TRUE(l.store.writes.empty());
  EXPECT_TRUE(l.run.session.SaveOptions());
  for (const auto& write : l.store.writes) EXPECT_EQ(write.find("Mes"), std::string::npos);
  EXPECT_EQ(l.store.writes.size(), 8u);
}

TEST(SaveSettings, FailedWritesAreReported) {
  LoadedRun l;
  l.store.failWrites = true;
  EXPECT_FALSE(l.run.session.SaveWindowPositions());
  EXPECT_FALSE(l.run.session.SaveOptions());
  EXPECT_EQ(l.store.writes.size(), 11u + 9u);  // every key was still tried
}

TEST(WindowPlaces, WhereTheyCannotBeKnownOnlySizesAreUsed) {
  LoadedRun l({{"Left", "800"}, {"NextTop", "100"}, {"MesLeft", "750"}, {"Width", "30000"}},
              [](ProgramRun& r) { r.windows.canPlace = false; });
  EXPECT_EQ(AsArray(l.run.windows.main), (Rect{1500, 1500, 28800, 3600}));
  EXPECT_TRUE(l.run.windows.Logged("move").empty());
  l.run.windows.main = {0, 0, 20000, 9000};  // a made-up position
  EXPECT_TRUE(l.run.session.SaveWindowPositions() && l.run.session.SaveOptions());
  EXPECT_EQ(Log(l.store.writes.begin(), l.store.writes.begin() + 3),
            (Log{"Pyra3/Width=20000", "Pyra3/Height=9000", "Pyra3/FormOfGame=0"}));
}

}  // namespace
}  // namespace pyra
