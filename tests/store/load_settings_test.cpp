#include "store/load_settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_windows.h"
#include "store/settings_store.h"
#include "store/store_values.h"
#include "store_test_support.h"
#include "temp_dir.h"

namespace pyra {
namespace {

using testing::FirstRunPlace;
using testing::MemoryStore;
using testing::ProgramRun;
using Stored = std::vector<std::pair<const char*, const char*>>;
using Log = std::vector<std::string>;

// One run on a store holding these main-section values, prepared and then loaded over a
// dialog whose every control holds something the load must overwrite.
struct LoadedRun {
  explicit LoadedRun(const Stored& stored = {}, const std::function<void(ProgramRun&)>& prepare = {}) {
    for (const auto& [key, value] : stored) store.values[{"Pyra3", key}] = value;
    GameOptions& o = run.options;
    o.Option1.fill(true), o.Option2.fill(true), o.Option3.fill(true), o.Check1.fill(Greyed);
    for (NameBox& box : o.Combo1) box = {"junk", false, {"junk"}};
    run.state.Turn = 0;
    if (prepare) prepare(run);
    run.session.LoadSettings();
  }
  MemoryStore store;
  ProgramRun run{store};
  std::string Board() const {
    return std::to_string(run.state.BoardCols) + "x" + std::to_string(run.state.BoardRows);
  }
};

// The dialog's controls: who plays, series format, level and check boxes as digits, then the
// name boxes' texts ("*" marks a disabled box).
std::string Dialog(const GameOptions& o) {
  std::string s;
  for (bool b : o.Option1) s += b ? '1' : '0';
  s += ' ';
  for (bool b : o.Option2) s += b ? '1' : '0';
  s += ' ';
  for (bool b : o.Option3) s += b ? '1' : '0';
  s += ' ';
  for (int c : o.Check1) s += static_cast<char>('0' + c);
  for (const NameBox& box : o.Combo1) s += " " + box.text + (box.enabled ? "" : "*");
  return s;
}

// The main-section values as "key=value" in key order.
std::string MainSection(const MemoryStore& store) {
  std::string s;
  for (const auto& [name, value] : store.values) s += (s.empty() ? "" : " ") + name.second + "=" + value;
  return s;
}

TEST(LoadSettings, FirstRun) {
  const struct {
    bool stretch, sound;
    const char* dialog;
  } cases[] = {
      {true, true, "1001 10000000000 10 1111 Player A コンピュータ* "},
      {false, false, "1001 10000000000 10 0011 Player A コンピュータ* "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dialog);
    LoadedRun l({}, [&](ProgramRun& r) { r.windows.canStretch = c.stretch, r.windows.sound = c.sound; });
    EXPECT_EQ(l.run.windows.Where(), FirstRunPlace);
    EXPECT_EQ(l.Board(), "8x6");
    EXPECT_EQ(l.run.state.Turn, TurnNone);
    EXPECT_EQ(Dialog(l.run.options), c.dialog);
    for (const NameBox& box : l.run.options.Combo1) EXPECT_TRUE(box.list.empty());
    EXPECT_EQ(l.run.windows.log, (Log{"built-in background", "built-in sheet"}));
    EXPECT_TRUE(l.store.values.empty());
  }
}

TEST(LoadSettings, MainWindowFromStoredValues) {
  const struct {
    Stored stored;
    const char* place;
    const char* board;
  } cases[] = {
      // Unreadable or refused sizes keep the first-run size: the board stays whole cells.
      {{{"Width", "abc"}, {"Height", "40000"}}, FirstRunPlace, "8x6"},
      {{{"Width", "-100"}, {"Height", "0"}}, FirstRunPlace, "8x6"},
      {{{"Width", "5000"}, {"Height", "4000"}, {"Top", "10"}, {"Left", "20"}},
       "20,10,5000,4000 5020,10 20,4010 2465,4010 20,4010", "9x6"},
      {{{"Width", "4545"}, {"Height", "4079"}}, "11632,5310,4545,4079 16177,5310 11632,9389 14077,9389 11632,9389", "8x7"},
      {{{"Width", "4560"}, {"Height", "4064"}}, "11625,5318,4560,4064 16185,5318 11625,9382 14070,9382 11625,9382", "9x6"},
      {{{"Left", "20.5"}, {"Top", "11.5"}}, "20,12,4080,3600 4100,12 20,3612 2465,3612 20,3612", "8x6"},
      {{{"Top", "20000"}, {"Left", "30000"}}, "0,0,4080,3600 4080,0 0,3600 2445,3600 0,3600", "8x6"},
      {{{"Top", "15000"}, {"Left", "27000"}},
       "24720,12600,4080,3600 27810,12600 24720,15180 26355,15195 23910,14700", "8x6"},
      {{{"Top", "-500"}, {"Left", "-32768"}}, "0,0,4080,3600 4080,0 0,3600 2445,3600 0,3600", "8x6"},
      {{{"Width", "30000"}, {"Height", "20000"}, {"Top", "100"}, {"Left", "100"}},
       "0,0,28800,16200 27810,0 0,15180 2445,15195 0,14700", "59x32"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.place);
    LoadedRun l(c.stored);
    EXPECT_EQ(l.run.windows.Where(), c.place);
    EXPECT_EQ(l.Board(), c.board);
  }
}

TEST(LoadSettings, CompanionWindowsFromStoredValues) {
  const struct {
    Stored stored;
    const char* place;
  } cases[] = {
      {{{"NextTop", "20000"}, {"NextLeft", "30000"}, {"MesTop", "16000"}, {"MesLeft", "28000"}},
       "11865,5550,4080,3600 27810,15270 11865,9150 14310,9150 23910,14700"},
      {{{"PointTop", "-1"}, {"PointLeft", "-32768"}, {"Point2Top", "-5"}, {"Point2Left", "7"}},
       "11865,5550,4080,3600 15945,5550 0,0 7,0 11865,9150"},
      // A value out of range ends that placement only; the window stays where it was.
      {{{"NextTop", "40000"}, {"Point2Left", "abc"}, {"MesLeft", "99999"}},
       "11865,5550,4080,3600 0,0 11865,9150 0,9150 0,0"},
      {{{"NextLeft", "40000"}, {"PointLeft", "x"}, {"MesTop", "-40000"}},
       "11865,5550,4080,3600 0,0 0,9150 14310,9150 0,0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.place);
    EXPECT_EQ(LoadedRun(c.stored).run.windows.Where(), c.place);
  }
  // A window is placed once per run; one whose placement failed still has its turn.
  LoadedRun l(Stored{{"NextTop", "40000"}});
  l.store.values[{"Pyra3", "NextTop"}] = "100";
  l.store.values[{"Pyra3", "PointTop"}] = "100";
  l.run.session.PlaceNextBox();
  l.run.session.PlacePointBox();
  l.store.values[{"Pyra3", "NextTop"}] = "200";
  l.run.session.PlaceNextBox();
  EXPECT_EQ(l.run.windows.Where(), "11865,5550,4080,3600 15945,100 11865,9150 14310,9150 11865,9150");
}

TEST(LoadSettings, DialogFromStoredValues) {
  const struct {
    Stored stored;
    const char* dialog;
    bool stretch = true, sound = true;
  } cases[] = {
      {{{"FormOfGame", "3"}}, "1001 00010000000 10 1111 Player A コンピュータ* "},
      {{{"FormOfGame", "10"}, {"Level", "1"}}, "1001 00000000001 01 1111 Player A コンピュータ* "},
      {{{"FormOfGame", "11"}, {"Level", "2"}}, "1001 00000000000 01 1111 Player A コンピュータ* "},
      {{{"FormOfGame", "-1"}, {"Level", "40000"}}, "1001 00000000000 00 1111 Player A コンピュータ* "},
      {{{"FormOfGame", "40000"}, {"Level", "abc"}}, "1001 00000000000 10 1111 Player A コンピュータ* "},
      {{{"FormOfGame", "2.5"}, {"Level", "  "}}, "1001 00100000000 10 1111 Player A コンピュータ* "},
      {{{"BitmapStretch", "0"}, {"SoundEffect", "0"}}, "1001 10000000000 10 0011 Player A コンピュータ* "},
      {{{"BitmapStretch", "2"}, {"SoundEffect", "2"}}, "1001 10000000000 10 0011 Player A コンピュータ* "},
      {{{"BitmapStretch", "40000"}}, "1001 10000000000 10 0111 Player A コンピュータ* "},
      {{{"BitmapStretch", "1"}, {"SoundEffect", "1"}}, "1001 10000000000 10 0011 Player A コンピュータ* ",
       false, false},
      {{{"Music", "0"}, {"OpeningDemo", "2"}}, "1001 10000000000 10 1100 Player A コンピュータ* "},
      {{{"Music", "abc"}, {"OpeningDemo", "40000"}}, "1001 10000000000 10 1100 Player A コンピュータ* "},
      {{{"PlayerNameA", "   "}, {"PlayerNameB", "Bob"}}, "1001 10000000000 10 1111 Player A コンピュータ* "},
      {{{"PlayerNameA", "  アン  "}}, "1001 10000000000 10 1111   アン コンピュータ* "},
      {{{"PlayerA", "1"}, {"PlayerB", "0"}, {"PlayerNameA", "Ann"}, {"PlayerNameB", "Bob "}},
       "0110 10000000000 10 1111 コンピュータ* Bob "},
      {{{"PlayerA", "2"}, {"PlayerB", "7"}}, "0000 10000000000 10 1111 コンピュータ* コンピュータ* "},
      {{{"PlayerA", "40000"}, {"PlayerB", "-40000"}}, "0000 10000000000 10 1111 コンピュータ* コンピュータ* "},
      {{{"PlayerB", "0"}}, "1010 10000000000 10 1111 Player A Player B "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dialog);
    LoadedRun l(c.stored, [&](ProgramRun& r) { r.windows.canStretch = c.stretch, r.windows.sound = c.sound; });
    EXPECT_EQ(Dialog(l.run.options), c.dialog);
  }
}

TEST(LoadSettings, PlayerListFillsTheNameBoxes) {
  LoadedRun l({{"Player00", "Ann"}, {"Player01", "Bob"}, {"PlayerNameA", "Bob"}, {"PlayerB", "0"},
               {"PlayerNameB", "Ann"}},
              [](ProgramRun& r) {
                auto& values = static_cast<MemoryStore&>(r.store).values;
                values[{"Ann", "Games"}] = values[{"Bob", "Games"}] = "3";
              });
  EXPECT_EQ(l.run.records.SidePlayerIndex, (std::array<int16_t, 2>{1, 0}));
  for (const NameBox& box : l.run.options.Combo1) EXPECT_EQ(box.list, (Log{"Ann", "Bob"}));
}

TEST(LoadSettings, PicturesFromTheirFolders) {
  const struct {
    Stored stored;
    Log log;
  } cases[] = {
      {{{"FullPath", "/pics"}, {"FileName", "bg.bmp"}, {"KomaPath", "/sheets"}, {"KomaName", "koma.bmp"}},
       {"cd /pics", "busy", "load background /pics/bg.bmp", "idle", "label /pics/bg.bmp", "cd /sheets",
        "busy", "load sheet /sheets/koma.bmp", "idle", "label /sheets/koma.bmp", "user sheet"}},
      {{{"FullPath", "/pics/"}, {"FileName", "bg.bmp"}, {"KomaPath", "/home/user"}},
       {"cd /pics/", "built-in background", "built-in sheet"}},
      {{{"FileName", "sub/wide.wmf"}, {"KomaPath", "/home/user/"}, {"KomaName", "koma.bmp"}},
       {"busy", "load background /home/user/sub/wide.wmf", "idle", "label /home/user/sub/wide.wmf",
        "cd /home/user/", "built-in sheet"}},
      // The sheet's folder defaults to the current one, which the background has changed.
      {{{"FullPath", "/pics"}, {"FileName", "gone.bmp"}, {"KomaName", "koma.bmp"}},
       {"cd /pics", "busy", "load background /pics/gone.bmp", "idle", "built-in background", "busy",
        "load sheet /pics/koma.bmp", "idle", "built-in sheet"}},
      {{{"FullPath", "/nowhere"}, {"FileName", "bg.bmp"}, {"KomaPath", "/nowhere"}, {"KomaName", "koma.bmp"}},
       {"cd /nowhere", "built-in background", "cd /nowhere", "built-in sheet"}},
      {{{"FullPath", "/pics"}, {"KomaPath", "/sheets"}, {"KomaName", "small.bmp"}},
       {"cd /pics", "built-in background", "cd /sheets", "busy", "load sheet /sheets/small.bmp", "idle",
        "label /sheets/small.bmp", "built-in sheet"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored.front().second);
    LoadedRun l(c.stored, [](ProgramRun& r) {
      r.windows.pictures = {{"/pics/bg.bmp", {640, 480}},
                            {"/home/user/sub/wide.wmf", {800, 600}},
                            {"/sheets/koma.bmp", {192, 64}},
                            {"/sheets/small.bmp", {192, 32}}};
    });
    EXPECT_EQ(l.run.windows.log, c.log);
  }
}

TEST(SaveSettings, WindowsAndOptionsAsDigitStrings) {
  LoadedRun l;
  l.run.windows.companions[3].left = 1234.5;  // twips need not be whole: halves to even
  l.run.windows.main.top = 1235.5;
  GameOptions& o = l.run.options;
  o.SelectSeriesFormat(9);
  o.Check1 = {Checked, Greyed, Unchecked, Checked};
  EXPECT_TRUE(l.run.session.SaveWindowPositions());
  EXPECT_TRUE(l.run.session.SaveOptions());
  EXPECT_EQ(MainSection(l.store),
            "BitmapStretch=1 FormOfGame=9 Height=3600 Left=11865 Level=0 MesLeft=1234 MesTop=9150 Music=0 "
            "NextLeft=15945 NextTop=5550 OpeningDemo=1 PlayerA=0 PlayerB=1 Point2Left=14310 "
            "Point2Top=9150 PointLeft=11865 PointTop=9150 SoundEffect=2 Top=1236 Width=4080");
  // No format selected counts as 0; a greyed stretch box writes nothing.
  o.Option1 = {false, false, false, false};
  o.Option2.fill(false);
  o.Option3 = {false, false};
  o.Check1 = {Greyed, Checked, Checked, Unchecked};
  l.store.values.clear();
  EXPECT_TRUE(l.run.session.SaveOptions());
  EXPECT_EQ(MainSection(l.store),
            "FormOfGame=0 Level=1 MesLeft=1234 Music=1 OpeningDemo=0 PlayerA=1 PlayerB=1 SoundEffect=1");
  o.Check1[0] = Unchecked;
  EXPECT_TRUE(l.run.session.SaveOptions());
  EXPECT_EQ(l.store.Get("Pyra3", "BitmapStretch"), "0");
}

TEST(SaveSettings, WhatIsNotWritten) {
  {
    MemoryStore store;
    ProgramRun refused(store);  // a refused start: the load never ran
    EXPECT_TRUE(refused.session.SaveWindowPositions());
    EXPECT_TRUE(refused.session.SaveOptions());
    EXPECT_TRUE(store.values.empty());
  }
  LoadedRun l;
  l.run.windows.normal = false;  // minimised or maximised: no window position is kept
  EXPECT_TRUE(l.run.session.SaveWindowPositions());
  EXPECT_TRUE(l.run.session.SaveOptions());
  EXPECT_EQ(MainSection(l.store),
            "BitmapStretch=1 FormOfGame=0 Level=0 Music=1 OpeningDemo=1 PlayerA=0 PlayerB=1 SoundEffect=1");
  l.store.failWrites = true;
  l.run.windows.normal = true;
  EXPECT_FALSE(l.run.session.SaveWindowPositions());
  EXPECT_FALSE(l.run.session.SaveOptions());
}

TEST(SaveSettings, TheNextRunReadsBackWhatThisOneWrote) {
  testing::TempDir dir;
  const std::string path = dir.File("Pyra3/store.sqlite3");
  {
    SqliteSettingsStore store(path);
    ProgramRun first(store);
    first.session.LoadSettings();
    first.windows.main = {2000, 1000, 6000, 5000};
    first.windows.companions = {{{8000, 1000, 990, 930}, {2000, 6000}, {4445, 6000}, {2000, 7020}}};
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
  EXPECT_EQ(second.windows.Where(), "2000,1000,6000,5000 8000,1000 2000,6000 4445,6000 2000,7020");
  EXPECT_EQ(Dialog(second.options), "0110 00000001000 01 0000 コンピュータ* Bob ");
}

}  // namespace
}  // namespace pyra
