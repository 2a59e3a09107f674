#include "store/load_settings.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "game_fakes.h"
#include "store_test_support.h"

namespace pyra {
namespace {

// One run of the program as far as its settings go, on a 1920 by 1080 pixel screen at 15
// twips a pixel, with a log of folder changes and pictures.
struct Program final : SettingsWindows {
  // Loads from a store holding "key=value;section/key=value" over a dialog whose every
  // control holds something the load must overwrite.
  explicit Program(const std::string& stored, bool can = true) : can(can) {
    std::istringstream items(stored);
    for (std::string item; std::getline(items, item, ';');) {
      const size_t eq = item.find('='), slash = item.rfind('/', eq);
      const std::string section = slash == std::string::npos ? "Pyra3" : item.substr(0, slash);
      store.values[{section, item.substr(slash + 1, eq - slash - 1)}] = item.substr(eq + 1);
    }
    options.Option1.fill(true), options.Option2.fill(true), options.Option3.fill(true);
    options.Check1.fill(Greyed), options.Combo1.fill({"junk", false, {"junk"}});
    state.Turn = 0;
    session.LoadSettings();
  }
  TwipSize ScreenSize() override { return {28800, 16200}; }
  double TwipsPerPixelX() override { return 15; }
  double TwipsPerPixelY() override { return 15; }
  TwipRect MainWindow() override { return main; }
  TwipSize MainClient() override { return {main.width - 240, main.height - 720}; }
  bool SetMainWindow(const TwipRect& r) override {
    return r.width > 0 && r.height > 0 && (main = r, true);
  }
  bool MainWindowIsNormal() override { return normal; }
  TwipRect CompanionWindow(Companion c) override { return boxes[static_cast<int>(c)]; }
  bool MoveCompanion(Companion c, double left, double top) override {
    boxes[static_cast<int>(c)].left = left, boxes[static_cast<int>(c)].top = top;
    return true;
  }
  bool SetNextBoxClientPixels(int w, int h) override {
    boxes[0].width = 120 + w * 15, boxes[0].height = 450 + h * 15;
    return true;
  }
  bool RasterCanStretch() override { return can; }
  bool SoundAvailable() override { return can; }
  std::string CurrentDirectory() override { return cwd; }
  bool SetCurrentDirectory(const std::string& folder) override {
    Note("cd " + folder);
    if (folder == "/pics" || folder == "/sheets") cwd = folder;
    return cwd == folder;
  }
  void SetBusyCursor(bool busy) override { Note(busy ? "busy" : "idle"); }
  std::optional<PixelSize> LoadBackgroundPicture(const std::string& f) override { return Load(f); }
  void UseBuiltInBackground() override { Note("built-in background"); }
  std::optional<PixelSize> LoadUserSheet(const std::string& f) override { return Load(f); }
  PixelSize BuiltInSheetSize() override { return {192, 64}; }
  void UseUserSheet() override { Note("user sheet"); }
  void UseBuiltInSheet() override { Note("built-in sheet"); }
  void SetChooserPathLabel(const std::string& path) override { Note("label " + path); }

  void Note(const std::string& what) { log += (log.empty() ? "" : ", ") + what; }
  std::optional<PixelSize> Load(const std::string& file) {
    const std::map<std::string, PixelSize> pictures{{"/pics/bg.bmp", {640, 480}},
                                                    {"/home/user/b.wmf", {8, 6}},
                                                    {"/sheets/a.bmp", {192, 64}},
                                                    {"/sheets/small.bmp", {192, 32}}};
    Note("load " + cwd + "/" + file);
    const auto it = pictures.find(cwd + "/" + file);
    return it == pictures.end() ? std::nullopt : std::optional(it->second);
  }
  // The main window's left,top,width,height, then each companion's left,top.
  std::string Where() const {
    auto n = [](double v) { return std::to_string(static_cast<long long>(v)); };
    std::string s = n(main.left) + "," + n(main.top) + "," + n(main.width) + "," + n(main.height);
    for (const TwipRect& c : boxes) s += " " + n(c.left) + "," + n(c.top);
    return s;
  }
  // The board, the dialog's buttons and check boxes as digits, the name boxes' texts ("*":
  // disabled) and lists.
  std::string Shown() const {
    std::string s = std::to_string(state.BoardCols) + "x" + std::to_string(state.BoardRows);
    auto digits = [&s](const auto& controls) {
      s += ' ';
      for (int c : controls) s += static_cast<char>('0' + c);
    };
    digits(options.Option1), digits(options.Option2), digits(options.Option3);
    digits(options.Check1);
    for (const NameBox& box : options.Combo1) {
      s += " " + box.text + (box.enabled ? "" : "*");
      for (const std::string& name : box.list) s += "," + name;
    }
    return s;
  }

  TwipRect main{1500, 1500, 3000, 3000};
  // NextBox (sized by the load), PointBox, PointBox2, Message.
  std::array<TwipRect, 4> boxes{
      {{0, 0, 500, 500}, {0, 0, 2445, 1020}, {0, 0, 2445, 1005}, {0, 0, 4890, 1500}}};
  bool normal = true, can;  // can stretch and has sound
  std::string cwd = "/home/user", log;
  testing::MemoryStore store;
  GameState state;
  GameOptions options;
  testing::FakeDialogs dialogs;
  PlayerRecords records{store, options, dialogs};
  SettingsSession session{*this, store, state, options, records};
};

// A first run: 8 by 6 cells plus the frame, centred with the NEXT window beside it and the
// message window below it.
constexpr const char* First = "11865,5550,4080,3600 15945,5550 11865,9150 14310,9150 11865,9150";
constexpr const char* FirstShown = "8x6 1001 10000000000 10 1111 Player A コンピュータ* ";
constexpr const char* FirstLog = "built-in background, built-in sheet";

TEST(LoadSettings, WhatTheStoredValuesShow) {
  const struct {
    const char* stored;
    const char* place = First;
    const char* shown = FirstShown;
    const char* log = FirstLog;
    bool can = true;  // stretch and sound
  } cases[] = {
      {""},
      {"BitmapStretch=1;SoundEffect=1", First,
       "8x6 1001 10000000000 10 0011 Player A コンピュータ* ", FirstLog, false},
      // Unreadable or refused sizes keep the first-run size, so the board is whole cells.
      {"Width=abc;Height=40000"},
      {"Width=4545;Height=4079;Left=20.5;Top=11.5",
       "20,12,4545,4079 4565,12 20,4091 2465,4091 20,4091",
       "8x7 1001 10000000000 10 1111 Player A コンピュータ* "},
      {"Top=20000;Left=-32768", "0,0,4080,3600 4080,0 0,3600 2445,3600 0,3600"},
      {"Top=-500;Left=30000", "0,0,4080,3600 4080,0 0,3600 2445,3600 0,3600"},
      {"Top=16200;Left=28800",
       "24720,12600,4080,3600 27810,12600 24720,15180 26355,15195 23910,14700"},
      {"Width=30000;Height=20000;Top=100;Left=100",
       "0,0,28800,16200 27810,0 0,15180 2445,15195 0,14700",
       "59x32 1001 10000000000 10 1111 Player A コンピュータ* "},
      {"NextTop=20000;NextLeft=30000;MesTop=16000;MesLeft=28000",
       "11865,5550,4080,3600 27810,15270 11865,9150 14310,9150 23910,14700"},
      {"PointTop=-1;PointLeft=-32768;Point2Top=-5;Point2Left=7",
       "11865,5550,4080,3600 15945,5550 0,0 7,0 11865,9150"},
      // A companion's value out of range leaves that window where it was.
      {"NextTop=40000;Point2Left=abc;MesLeft=99999",
       "11865,5550,4080,3600 0,0 11865,9150 0,9150 0,0"},
      {"NextLeft=40000;PointLeft=x;MesTop=-40000",
       "11865,5550,4080,3600 0,0 0,9150 14310,9150 0,0"},
      {"FormOfGame=3;Level=1;BitmapStretch=0;SoundEffect=0;Music=0;OpeningDemo=2;PlayerA=1;"
       "PlayerB=0;PlayerNameA=Ann;PlayerNameB=Bob ",
       First, "8x6 0110 00010000000 01 0000 コンピュータ* Bob "},
      {"FormOfGame=10;Level=2;BitmapStretch=2;SoundEffect=2;Music=abc;OpeningDemo=40000;PlayerA=2;"
       "PlayerB=7",
       First, "8x6 0000 00000000001 01 0000 コンピュータ* コンピュータ* "},
      {"FormOfGame=11;Level=40000;BitmapStretch=40000;PlayerA=40000;PlayerB=-40000", First,
       "8x6 0000 00000000000 00 0111 コンピュータ* コンピュータ* "},
      {"FormOfGame=-1;Level=abc;PlayerNameA=   ;PlayerB=0", First,
       "8x6 1010 00000000000 10 1111 Player A Player B "},
      {"FormOfGame=40000;Level=  ;PlayerNameA=  アン  ", First,
       "8x6 1001 00000000000 10 1111   アン コンピュータ* "},
      // The player list, loaded after the name boxes, fills their lists.
      {"Player00=Ann;Player01=Bob;Ann/Games=3;Bob/Games=3;PlayerB=0", First,
       "8x6 1010 10000000000 10 1111 Player A,Ann,Bob Player B,Ann,Bob ,Ann,Bob"},
      {"FullPath=/pics;FileName=bg.bmp;KomaPath=/sheets;KomaName=a.bmp", First, FirstShown,
       "cd /pics, busy, load /pics/bg.bmp, idle, label /pics/bg.bmp, cd /sheets, busy, "
       "load /sheets/a.bmp, idle, label /sheets/a.bmp, user sheet"},
      {"FullPath=/pics/;FileName=bg.bmp;KomaPath=/home/user", First, FirstShown,
       "cd /pics/, built-in background, built-in sheet"},
      {"FileName=b.wmf;KomaPath=/home/user/;KomaName=a.bmp", First, FirstShown,
       "busy, load /home/user/b.wmf, idle, label /home/user/b.wmf, cd /home/user/, built-in sheet"},
      // The sheet's folder defaults to the current one, which the background has changed.
      {"FullPath=/pics;FileName=gone.bmp;KomaName=a.bmp", First, FirstShown,
       "cd /pics, busy, load /pics/gone.bmp, idle, built-in background, busy, load /pics/a.bmp, "
       "idle, built-in sheet"},
      {"FullPath=/pics;KomaPath=/sheets;KomaName=small.bmp", First, FirstShown,
       "cd /pics, built-in background, cd /sheets, busy, load /sheets/small.bmp, idle, "
       "label /sheets/small.bmp, built-in sheet"},
  };
  for (const auto& c : cases) {
    Program p(c.stored, c.can);
    EXPECT_EQ(p.Where() + " | " + p.Shown() + " | " + p.log,
              std::string(c.place) + " | " + c.shown + " | " + c.log)
        << c.stored;
    EXPECT_EQ(p.state.Turn, TurnNone);
  }
}

TEST(LoadSettings, EachCompanionIsPlacedOnceARun) {
  Program p("NextTop=40000");  // a placement that failed still has its turn
  p.store.values[{"Pyra3", "NextTop"}] = p.store.values[{"Pyra3", "PointTop"}] = "100";
  p.session.PlaceNextBox(), p.session.PlacePointBox();
  p.store.values[{"Pyra3", "NextTop"}] = "200";
  p.session.PlaceNextBox();
  EXPECT_EQ(p.Where(), "11865,5550,4080,3600 15945,100 11865,9150 14310,9150 11865,9150");
}

// The stored values as key=value, in key order.
std::string Saved(const testing::MemoryStore& store) {
  std::string s;
  for (const auto& [at, value] : store.values) s += " " + at.second + "=" + value;
  return s;
}

TEST(SaveSettings, WindowsAndOptionsAsDigitStrings) {
  Program p("");
  p.boxes[3].left = 1234.5;  // twips need not be whole: halves to even
  p.main.top = 1235.5;
  p.options.SelectSeriesFormat(9);
  p.options.Check1 = {Checked, Greyed, Unchecked, Checked};
  EXPECT_TRUE(p.session.SaveWindowPositions() && p.session.SaveOptions());
  EXPECT_EQ(
      Saved(p.store),
      " BitmapStretch=1 FormOfGame=9 Height=3600 Left=11865 Level=0 MesLeft=1234 MesTop=9150 "
      "Music=0 NextLeft=15945 NextTop=5550 OpeningDemo=1 PlayerA=0 PlayerB=1 Point2Left=14310 "
      "Point2Top=9150 PointLeft=11865 PointTop=9150 SoundEffect=2 Top=1236 Width=4080");
  // Minimised or maximised: no window position. No format selected counts as 0; a greyed
  // stretch box writes nothing.
  p.store.values.clear();
  p.normal = false;
  p.options = {};
  p.options.Check1 = {Greyed, Checked, Checked, Unchecked};
  EXPECT_TRUE(p.session.SaveWindowPositions() && p.session.SaveOptions());
  EXPECT_EQ(Saved(p.store),
            " FormOfGame=0 Level=1 Music=1 OpeningDemo=0 PlayerA=1 PlayerB=1 SoundEffect=1");
  p.options.Check1[0] = Unchecked;
  p.store.failWrites = true, p.normal = true;
  EXPECT_FALSE(p.session.SaveWindowPositions() || p.session.SaveOptions());
  p.store.failWrites = false;
  EXPECT_TRUE(p.session.SaveOptions());
  EXPECT_EQ(p.store.Get("Pyra3", "BitmapStretch"), "0");
  // A refused start, which never loaded, writes nothing.
  testing::MemoryStore none;
  SettingsSession refused(p, none, p.state, p.options, p.records);
  EXPECT_TRUE(refused.SaveWindowPositions() && refused.SaveOptions());
  EXPECT_TRUE(none.values.empty());
}

}  // namespace
}  // namespace pyra
