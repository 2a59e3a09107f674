// The store tests' fake program: its windows as load and save see them; store, dialog, records.
#pragma once

#include <chrono>
#include <sstream>
#include <thread>

#include "game_fakes.h"
#include "store/settings_session.h"
#include "store_test_support.h"

namespace pyra {

struct Program final : SessionPorts {  // on a 1920 x 1080 screen at 15 twips a pixel, with a log
  // Loads "key=value;..." over a scrambled dialog; "#name[=games/win/lost]" lists a player.
  // A real store in place of the one in memory: `stored` then seeds nothing.
  explicit Program(const std::string& stored, bool can = true, bool place = true,
                   SettingsStore* real = nullptr)
      : can(can), place(place), used(real != nullptr ? *real : store) {
    std::istringstream items(stored);
    int listed = 0;
    for (std::string item; std::getline(items, item, ';');) {
      const size_t eq = item.find('=');
      if (item[0] != '#') {
        store.values[{"Pyra3", item.substr(0, eq)}] = item.substr(eq + 1);
        continue;
      }
      const std::string name = item.substr(1, eq - 1);
      store.values[{"Pyra3", ListKey(listed++)}] = name;
      std::istringstream counts(item.substr(eq + 1));
      for (const char* key : {"Games", "Win", "Lost"})
        if (eq != std::string::npos) std::getline(counts, store.values[{name, key}], '/');
    }
    settings.players = {PlayerKind::Computer, PlayerKind::Human};
    settings.series = SeriesFormat::Unlimited(), settings.level = Level::Strongest;
    settings.switches.fill(true), settings.names.fill({"junk", false, {"junk"}});
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
  bool CanPlaceWindows() override { return place; }
  TwipRect CompanionWindow(Companion c) override { return boxes[static_cast<int>(c)]; }
  bool MoveCompanion(Companion c, double left, double top) override {
    return (boxes[static_cast<int>(c)].left = left, boxes[static_cast<int>(c)].top = top, true);
  }
  bool SetNextBoxClientPixels(int w, int h) override {
    return (boxes[0].width = 120 + w * 15, boxes[0].height = 450 + h * 15, true);
  }
  void ShowWhileWaiting() override { Note("shown"); }
  bool OpenMusic(bool play) override { return Note(play ? "music plays" : "music open"), can; }
  void Wait(int ms) override {
    waited += ms;
    if (&used != &store) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
  bool RasterCanStretch() override { return can; }
  bool SoundAvailable() override { return can; }
  std::string CurrentDirectory() override { return cwd; }
  bool SetCurrentDirectory(const std::string& folder) override {
    Note("cd " + folder);
    return (folder == "/pics" || folder == "/sheets") && (cwd = folder, true);
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
  // Files: 192 x 64, but gone*, notes* none, small* 192 x 32, wide* 193 x 64, tall* 192 x 65.
  std::optional<PixelSize> Load(const std::string& file) {
    Note("load " + cwd + "/" + file);
    if (file.starts_with("gone") || file.starts_with("notes")) return std::nullopt;
    const int w = file.starts_with("wide") ? 193 : 192;
    return PixelSize{w, file.starts_with("small") ? 32 : file.starts_with("tall") ? 65 : 64};
  }

  std::string Shown() const {  // window places, board | dialog controls, name boxes | the log
    auto n = [](double v) { return std::to_string(static_cast<long long>(v)); };
    std::string s = n(main.left) + "," + n(main.top) + "," + n(main.width) + "," + n(main.height);
    for (const TwipRect& c : boxes) s += " " + n(c.left) + "," + n(c.top);
    s += " " + n(state.boardCols) + "x" + n(state.boardRows) + " |";
    auto digits = [&s](const auto& controls) {
      s += ' ';
      for (int c : controls) s += static_cast<char>('0' + c);
    };
    // Each group of buttons as the dialog shows it, 1 for a selected button.
    std::vector<int> players, series, levels;
    for (int side : {SideA, SideB})
      for (PlayerKind kind : {PlayerKind::Human, PlayerKind::Computer})
        players.push_back(settings.players[side] == kind);
    for (int n = 0; n < SeriesFormat::Count; ++n)
      series.push_back(settings.series == SeriesFormat::FromNumber(n));
    for (Level level : {Level::Automatic, Level::Strongest})
      levels.push_back(settings.level == level);
    digits(players), digits(series), digits(levels), digits(settings.switches);
    return s + Boxes() + " | " + log;
  }
  std::string Boxes() const {  // each name box's text ("*": disabled) and list
    std::string s;
    for (const NameBox& box : settings.names) {
      s += " " + box.text + (box.enabled ? "" : "*");
      for (const std::string& name : box.list) s += "," + name;
    }
    return s;
  }
  // The list keys up to the first gap, then each name's games/win/lost as stored.
  std::string Stored(const std::vector<std::string>& names) {
    auto get = [this](auto& section, auto* key) { return store.Read(section, key).value_or("-"); };
    std::string s;
    for (int i = 0; get("Pyra3", ListKey(i).c_str()) != "-"; ++i)
      s += get("Pyra3", ListKey(i).c_str()) + ",";
    for (const std::string& n : names)
      s += " " + get(n, "Games") + "/" + get(n, "Win") + "/" + get(n, "Lost");
    return s;
  }
  TwipRect main{1500, 1500, 3000, 3000};
  // NextBox (sized by the load), ScoreBoxA, ScoreBoxB, Message.
  std::array<TwipRect, 4> boxes{
      {{0, 0, 500, 500}, {0, 0, 2445, 1020}, {0, 0, 2445, 1005}, {0, 0, 4890, 1500}}};
  bool normal = true, can, place;  // can stretch and has sound; can place windows
  std::string cwd = "/home/user", log;
  int waited = 0;
  testing::MemoryStore store;
  SettingsStore& used;
  GameState state;
  GameSettings settings;
  testing::FakeDialogs dialogs;
  PlayerRecords records{used, settings, dialogs};
  SettingsSession session{*this, used, state, settings, records};
};

}  // namespace pyra
