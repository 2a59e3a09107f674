// The windows as the settings load sees them, with a log of what was done to them.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "match/ports.h"
#include "options/game_options.h"
#include "rules/game_state.h"
#include "store/load_settings.h"
#include "store/player_records.h"
#include "store/settings_windows.h"
#include "store_test_support.h"

namespace pyra::test {

inline std::string Twips(double v) { return std::to_string(static_cast<long long>(v)); }

inline const char* CompanionName(Companion c) {
  switch (c) {
    case Companion::NextBox:
      return "NextBox";
    case Companion::PointBox:
      return "PointBox";
    case Companion::PointBox2:
      return "PointBox2";
    case Companion::Message:
      return "Message";
  }
  return "?";
}

class FakeWindows final : public SettingsWindows {
 public:
  // A 1920 by 1080 pixel screen at 15 twips per pixel.
  TwipSize screen{28800, 16200};
  double tppx = 15;
  double tppy = 15;
  // Where the window system first put the main window, and its frame (outer minus client).
  TwipRect main{1500, 1500, 3000, 3000};
  double frameWidth = 240;
  double frameHeight = 720;
  // Every companion has a border of 120 by 450 twips around its client area.
  std::map<Companion, TwipRect> companions{
      {Companion::NextBox, {0, 0, 120 + 66 * 15, 450 + 32 * 15}},
      {Companion::PointBox, {0, 0, 120 + 155 * 15, 450 + 38 * 15}},
      {Companion::PointBox2, {0, 0, 120 + 155 * 15, 450 + 37 * 15}},
      {Companion::Message, {0, 0, 120 + 318 * 15, 450 + 70 * 15}},
  };
  bool normal = true;
  bool canPlace = true;
  bool canStretch = true;
  bool soundAvailable = true;
  std::string cwd = "/home/user";
  std::set<std::string> folders{"/home/user", "/pics", "/sheets"};
  // Picture files by full path.
  std::map<std::string, PixelSize> pictures;
  PixelSize builtInSheet{192, 64};
  std::vector<std::string> log;

  TwipSize ScreenSize() override { return screen; }
  double TwipsPerPixelX() override { return tppx; }
  double TwipsPerPixelY() override { return tppy; }
  TwipRect MainWindow() override { return main; }
  TwipSize MainClient() override { return {main.width - frameWidth, main.height - frameHeight}; }
  bool SetMainWindow(const TwipRect& r) override {
    const bool accepted = r.width > 0 && r.height > 0;
    log.push_back(std::string(accepted ? "main " : "refused main ") + Twips(r.left) + "," +
                  Twips(r.top) + "," + Twips(r.width) + "," + Twips(r.height));
    if (accepted) main = r;
    return accepted;
  }
  bool MainWindowIsNormal() override { return normal; }
  bool CanPlaceWindows() override { return canPlace; }
  TwipRect CompanionWindow(Companion which) override { return companions[which]; }
  bool MoveCompanion(Companion which, double left, double top) override {
    log.push_back(std::string("move ") + CompanionName(which) + " " + Twips(left) + "," +
                  Twips(top));
    companions[which].left = left;
    companions[which].top = top;
    return true;
  }
  bool SetNextBoxClientPixels(int width, int height) override {
    log.push_back("next client " + std::to_string(width) + "x" + std::to_string(height));
    companions[Companion::NextBox].width = 120 + width * tppx;
    companions[Companion::NextBox].height = 450 + height * tppy;
    return true;
  }
  bool RasterCanStretch() override { return canStretch; }
  bool SoundAvailable() override { return soundAvailable; }
  std::string CurrentDirectory() override { return cwd; }
  bool SetCurrentDirectory(const std::string& folder) override {
    log.push_back("cd " + folder);
    if (folders.count(folder) == 0) return false;
    cwd = folder;
    return true;
  }
  void SetBusyCursor(bool busy) override { log.push_back(busy ? "busy" : "idle"); }
  std::optional<PixelSize> LoadBackgroundPicture(const std::string& file) override {
    log.push_back("load background " + Resolve(file));
    return Find(file);
  }
  void UseBuiltInBackground() override { log.push_back("built-in background"); }
  std::optional<PixelSize> LoadUserSheet(const std::string& file) override {
    log.push_back("load sheet " + Resolve(file));
    return Find(file);
  }
  PixelSize BuiltInSheetSize() override { return builtInSheet; }
  void UseUserSheet() override { log.push_back("user sheet"); }
  void UseBuiltInSheet() override { log.push_back("built-in sheet"); }
  void SetChooserPathLabel(const std::string& path) override { log.push_back("label " + path); }

  // The log entries that start with prefix.
  std::vector<std::string> Logged(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& entry : log) {
      if (entry.rfind(prefix, 0) == 0) found.push_back(entry);
    }
    return found;
  }

 private:
  std::string Resolve(const std::string& file) const {
    return !file.empty() && file[0] == '/' ? file : cwd + "/" + file;
  }
  std::optional<PixelSize> Find(const std::string& file) const {
    auto it = pictures.find(Resolve(file));
    if (it == pictures.end()) return std::nullopt;
    return it->second;
  }
};

// One run of the program as far as the settings are concerned.
struct ProgramRun {
  explicit ProgramRun(SettingsStore& s) : store(s) {}
  SettingsStore& store;
  FakeWindows windows;
  GameState state;
  GameOptions options = GameOptions::Defaults();
  RecordingDialogs dialogs;
  PlayerRecords records{store, options, dialogs};
  SettingsSession session{windows, store, state, options, records};
};

}  // namespace pyra::test

namespace pyra::test {

// Sets every control of the settings dialog to something a load must overwrite.
inline void Scramble(GameOptions& o) {
  o.Option1 = {true, true, true, true};
  o.Option2.fill(true);
  o.Option3 = {true, true};
  o.Check1 = {Greyed, Greyed, Greyed, Greyed};
  for (NameBox& box : o.Combo1) {
    box.text = "junk";
    box.enabled = false;
    box.list = {"junk"};
  }
}

// What a first run on the 1920 by 1080 fake screen looks like: the window 8 by 6 cells plus
// its frame, centred with the NEXT window beside it and the message window below it.
inline void ExpectFirstRun(ProgramRun& run) {
  const TwipRect m = run.windows.main;
  EXPECT_EQ(m.width, 240 + 8 * 32 * 15);
  EXPECT_EQ(m.height, 720 + 6 * 32 * 15);
  EXPECT_EQ(m.left, (28800 - 4080 - 990) / 2);
  EXPECT_EQ(m.top, (16200 - 3600 - 1500) / 2);
  EXPECT_EQ(run.state.BoardCols, 8);
  EXPECT_EQ(run.state.BoardRows, 6);
  EXPECT_EQ(run.state.Turn, TurnNone);
  const GameOptions& o = run.options;
  EXPECT_EQ(o.Option1, (std::array<bool, 4>{true, false, false, true}));
  std::array<bool, 11> firstFormat{};
  firstFormat[0] = true;
  EXPECT_EQ(o.Option2, firstFormat);
  EXPECT_EQ(o.Option3, (std::array<bool, 2>{true, false}));
  const int stretch = run.windows.canStretch ? Checked : Unchecked;
  const int effects = run.windows.soundAvailable ? Checked : Unchecked;
  EXPECT_EQ(o.Check1, (std::array<int, 4>{stretch, effects, Checked, Checked}));
  EXPECT_EQ(o.Combo1[0].text, "Player A");
  EXPECT_TRUE(o.Combo1[0].enabled);
  EXPECT_EQ(o.Combo1[1].text, "コンピュータ");
  EXPECT_FALSE(o.Combo1[1].enabled);
  EXPECT_EQ(o.Combo1[2].text, "");
  for (const NameBox& box : o.Combo1) EXPECT_TRUE(box.list.empty());
  EXPECT_EQ(run.records.PlayerCount, 0);
  EXPECT_EQ(run.windows.Logged("built-in"),
            (std::vector<std::string>{"built-in background", "built-in sheet"}));
  EXPECT_TRUE(run.windows.Logged("label").empty());
}

}  // namespace pyra::test
