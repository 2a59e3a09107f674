// The windows as the settings load sees them, and one run of the program around them.
#pragma once

#include <array>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "game_fakes.h"
#include "store/load_settings.h"

namespace pyra::testing {

class FakeWindows final : public SettingsWindows {
 public:
  TwipSize screen{28800, 16200};  // 1920 by 1080 pixels at 15 twips per pixel
  double tpp = 15;
  TwipRect main{1500, 1500, 3000, 3000};  // where the window system first put it
  TwipSize frame{240, 720};               // outer minus client size
  // NextBox, PointBox, PointBox2, Message; NextBox gets its size from the load.
  std::array<TwipRect, 4> companions{
      {{0, 0, 500, 500}, {0, 0, 2445, 1020}, {0, 0, 2445, 1005}, {0, 0, 4890, 1500}}};
  bool normal = true, canStretch = true, sound = true;
  std::string cwd = "/home/user";
  std::set<std::string> folders{"/home/user", "/pics", "/sheets"};
  std::map<std::string, PixelSize> pictures;  // by full path
  std::vector<std::string> log;               // folder changes and pictures

  TwipSize ScreenSize() override { return screen; }
  double TwipsPerPixelX() override { return tpp; }
  double TwipsPerPixelY() override { return tpp; }
  TwipRect MainWindow() override { return main; }
  TwipSize MainClient() override { return {main.width - frame.width, main.height - frame.height}; }
  bool SetMainWindow(const TwipRect& r) override {
    if (r.width <= 0 || r.height <= 0) return false;
    main = r;
    return true;
  }
  bool MainWindowIsNormal() override { return normal; }
  TwipRect CompanionWindow(Companion c) override { return companions[static_cast<int>(c)]; }
  bool MoveCompanion(Companion c, double left, double top) override {
    companions[static_cast<int>(c)].left = left;
    companions[static_cast<int>(c)].top = top;
    return true;
  }
  bool SetNextBoxClientPixels(int width, int height) override {
    companions[0].width = 120 + width * tpp;
    companions[0].height = 450 + height * tpp;
    return true;
  }
  bool RasterCanStretch() override { return canStretch; }
  bool SoundAvailable() override { return sound; }
  std::string CurrentDirectory() override { return cwd; }
  bool SetCurrentDirectory(const std::string& folder) override {
    log.push_back("cd " + folder);
    if (folders.count(folder) != 0) cwd = folder;
    return folders.count(folder) != 0;
  }
  void SetBusyCursor(bool busy) override { log.push_back(busy ? "busy" : "idle"); }
  std::optional<PixelSize> LoadBackgroundPicture(const std::string& file) override {
    return Load("background", file);
  }
  void UseBuiltInBackground() override { log.push_back("built-in background"); }
  std::optional<PixelSize> LoadUserSheet(const std::string& file) override {
    return Load("sheet", file);
  }
  PixelSize BuiltInSheetSize() override { return {192, 64}; }
  void UseUserSheet() override { log.push_back("user sheet"); }
  void UseBuiltInSheet() override { log.push_back("built-in sheet"); }
  void SetChooserPathLabel(const std::string& path) override { log.push_back("label " + path); }

  // "left,top,width,height" of the main window, then "left,top" of each companion.
  std::string Where() const {
    auto n = [](double v) { return std::to_string(static_cast<long long>(v)); };
    std::string s = n(main.left) + "," + n(main.top) + "," + n(main.width) + "," + n(main.height);
    for (const TwipRect& c : companions) s += " " + n(c.left) + "," + n(c.top);
    return s;
  }

 private:
  std::optional<PixelSize> Load(const std::string& what, const std::string& file) {
    const std::string path = file[0] == '/' ? file : cwd + "/" + file;
    log.push_back("load " + what + " " + path);
    const auto it = pictures.find(path);
    return it == pictures.end() ? std::nullopt : std::optional(it->second);
  }
};

// One run of the program as far as its settings go.
struct ProgramRun {
  explicit ProgramRun(SettingsStore& s) : store(s) {}
  SettingsStore& store;
  FakeWindows windows;
  GameState state;
  GameOptions options = GameOptions::Defaults();
  FakeDialogs dialogs;
  PlayerRecords records{store, options, dialogs};
  SettingsSession session{windows, store, state, options, records};
};

// The window geometry of a first run: 8 by 6 cells plus the frame, centred with the NEXT
// window beside it and the message window below it; the companions around it.
inline constexpr const char* FirstRunPlace =
    "11865,5550,4080,3600 15945,5550 11865,9150 14310,9150 11865,9150";

}  // namespace pyra::testing
