// The settings dialog's logic: OK, the check boxes, the side buttons, names, delete.
#include "options/settings_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <tuple>

#include "game_fakes.h"
#include "store_test_support.h"

namespace pyra::testing {
namespace {

using Strings = std::vector<std::string>;

struct FakeDialogWindows : DialogWindows {  // every character 10 pixels wide; score boxes 155
  int room = 155;
  std::vector<bool> choosers;
  int CaptionWidth(const std::string& text) override {
    return 10 * static_cast<int>(std::count_if(text.begin(), text.end(),
                                               [](char c) { return (c & 0xC0) != 0x80; }));
  }
  int ScoreBoxWidth(int) override { return room; }
  void ShowChooser(bool backgroundMode) override { choosers.push_back(backgroundMode); }
};

// What OK hands on: " A=name" and " B=name" for changed names, then the changed switches.
struct FakeKeeper : ChoicesKeeper {
  const GameSettings& settings;
  std::string kept;
  explicit FakeKeeper(const GameSettings& s) : settings(s) {}
  void KeepChoices(const DialogChoices& changed) override {
    for (int side : {SideA, SideB})
      if (changed.names[side])
        kept += std::string(side == SideA ? " A=" : " B=") + settings.names[side].text;
    kept += " switches ";
    for (bool on : changed.switches) kept += on ? '1' : '0';
  }
  void KeepPicture(bool, const std::string&, const std::string&) override {}
};

struct DialogRig {
  GameRig rig;
  MemoryStore store;
  PlayerRecords records{store, rig.settings, rig.dialogs};
  FakeDialogWindows windows;
  FakeKeeper keeper{rig.settings};
  SettingsDialog dialog{rig.game, rig.settings, records, keeper, windows};

  // A game of the chosen players running, the dialog just opened.
  DialogRig(bool aComputer, bool bComputer, bool demo = false) {
    rig.SetPlayers(aComputer, bComputer);
    rig.settings.names[0].enabled = !aComputer, rig.settings.names[1].enabled = !bComputer;
    rig.game.Start(false, true), rig.game.OnNewGame();
    // Any release on the board lets the next game start (a right one moves nothing).
    rig.game.OnMouseRelease(MouseButton::Right, 0, 0);
    rig.state.demoMode = demo;
    rig.state.wins = {1, 1};  // cleared only by a restart
    rig.dialogs.boxes.clear(), dialog.Opened();
  }
  // Clicks: "F1" series format 1, "P3" side button 3, "L1" level 1, "A=x"/"B=x" names.
  void Click(const std::string& clicks) {
    std::istringstream in(clicks);
    for (std::string c; in >> c;) {
      const int n = c[1] == '=' ? 0 : std::stoi(c.substr(1));
      if (c[0] == 'F') dialog.ChooseSeries(*SeriesFormat::FromNumber(n));
      if (c[0] == 'P') dialog.ChoosePlayer(n / 2, n % 2 ? PlayerKind::Computer : PlayerKind::Human);
      if (c[0] == 'L') dialog.ChooseLevel(n == 0 ? Level::Automatic : Level::Strongest);
      if (c[1] == '=') dialog.EditName(c[0] - 'A', c.substr(2));
    }
  }
  Strings Boxes() const {  // the boxes shown, each as icon ('i' information, '-' none) and text
    Strings shown;
    for (const BoxRecord& box : rig.dialogs.boxes) {
      EXPECT_EQ(std::tuple(box.title, box.buttons), std::tuple("Pyra3", MsgButtons::Ok))
          << box.text;
      shown.push_back((box.icon == MsgIcon::Information ? "i:" : "-:") + box.text);
    }
    return shown;
  }
  bool Restarted() const { return rig.state.wins[0] == 0; }
};

TEST(SettingsDialog, OkSaysWhatChangedAndRestartsOnce) {
  const std::string named = "i:プレーヤー名が変更されました。";
  const std::string luck = "-:一番勝負です。頑張りましょう。";
  const std::string three = "-:ゲーム方式が三番勝負に変更されました。";
  // The clicks, B a person, in the demo; the boxes (a restart follows any); the names kept.
  const std::tuple<const char*, bool, bool, Strings, std::string> cases[] = {
      {"", false, false, {}, ""},
      {"F1", false, false, {three, "-:三番勝負です。頑張りましょう。"}, ""},
      {"F1 F0", false, false, {}, ""},
      {"F10", false, false, {"-:ゲーム方式が無制限に変更されました。"}, ""},
      {"F1", false, true, {}, ""},  // the demo: the format waits for the next series
      {"L1", false, false, {}, ""},
      {"P3", true, false, {named, luck}, " B=コンピュータ"},
      {"A=Ann B=Ben", true, false, {named, named, luck}, " A=Ann B=Ben"},
      {"A=ABCDEFGHIJKLMNOP", false, false, {named, luck}, " A=ABCDEFGHIJ"},  // cut to its box
      // Control characters never enter a name; a name left empty is no new name.
      {"A=A\x01n\x1fn\x7f B=\xc2\x85", true, false, {named, luck}, " A=Ann"},
      {"A=Ann", false, true, {luck}, " A=Ann"},  // the restart ends the demo, starts a real series
  };
  for (const auto& [clicks, bHuman, demo, boxes, written] : cases) {
    SCOPED_TRACE(::testing::Message() << clicks << (demo ? " in the demo" : ""));
    DialogRig d(false, !bHuman, demo);
    d.Click(clicks), d.dialog.Confirm();
    // The level is kept.
    EXPECT_EQ(
        std::tuple(d.Boxes(), d.Restarted(), d.rig.settings.level == Level::Strongest,
                   d.keeper.kept),
        std::tuple(boxes, !boxes.empty(), std::string(clicks) == "L1", written + " switches 0000"));
  }
  DialogRig renamed(false, false);  // the new name is in its score box as it is announced
  std::string shown;
  renamed.rig.dialogs.whileOpen = [&] { shown += renamed.rig.screen.scoreCaption[0] + ";"; };
  renamed.Click("A=Ann"), renamed.dialog.Confirm();
  EXPECT_EQ(shown.substr(0, shown.find(';')), ">A - Ann");
  DialogRig d(false, false);  // the program is ending: the exit has kept everything
  d.Click("F1 A=Ann"), d.rig.game.OnExit(), d.dialog.Confirm();
  EXPECT_EQ(std::tuple(d.Boxes(), d.keeper.kept), std::tuple(Strings{}, ""));
}

TEST(SettingsDialog, NamesAreCutToTheirScoreBox) {
  const std::tuple<int, const char*, int, const char*> cases[] = {
      {SideA, "Alice", 155, "Alice"},
      {SideB, "ABCDEFGHIJKLMNOP", 155, "ABCDEFGHIJKLMNO"},
      {SideB, "ABCDEFGHIJKLMNO", 150, "ABCDEFGHIJKLMNO"},  // exactly as wide as the box
      {SideA, "あいうえおかきくけこさしす", 155, "あいうえおかきくけこ"},
      {SideA, "Alice", 40, ""},  // not even the marker fits
  };
  for (const auto& [side, name, room, kept] : cases) {
    FakeDialogWindows windows;
    windows.room = room;
    EXPECT_EQ(FitNameToScoreBox(side, name, windows), kept) << name;
  }
}

TEST(SettingsDialog, ChangedBoxesAreAppliedByOk) {
  enum { Stretch = 1, Sound = 2, Music = 4, All = 7 };
  constexpr bool Off = false, On = true;
  const std::string noStretch = "i:現在の環境では背景の拡大・縮小はできません。";
  const std::string noSound = "-:現在の環境では効果音を鳴らすことはできません。";
  const std::string noMusic = "-:現在の環境では音楽を鳴らすことはできません。";
  // The box, its value before and after the click, what the machine can; the message ("" for
  // none), the value kept, PrepareBackground and board repaints, what the music was told.
  const std::tuple<int, bool, bool, int, std::string, bool, int, Strings> cases[] = {
      {0, On, Off, All, "", Off, 1, {}},
      {0, Off, On, All, "", On, 1, {}},
      {0, Off, On, Sound | Music, noStretch, Off, 0, {}},
      {1, Off, On, All, "", On, 0, {}},
      {1, Off, On, Stretch | Music, noSound, Off, 0, {}},
      {1, On, Off, Stretch, "", Off, 0, {}},
      {2, Off, On, All, "", On, 0, {"play"}},
      {2, Off, On, Stretch | Sound, noMusic, Off, 0, {"play"}},
      {2, On, Off, All, "", Off, 0, {"stop"}},
      {3, Off, On, 0, "", On, 0, {}},
      {3, On, Off, 0, "", Off, 0, {}},
      {2, On, On, Stretch, "", On, 0, {}},  // unchanged: left alone
  };
  for (const auto& [index, before, after, can, box, kept, backgrounds, music] : cases) {
    SCOPED_TRACE(::testing::Message() << "box " << index << " " << before << "->" << after);
    DialogRig d(false, true);
    const Switch which = Switches[index];
    d.rig.settings.Set(which, before);
    d.rig.screen.stretch = can & Stretch;
    d.rig.sound.available = can & Sound, d.rig.sound.canPlay = can & Music;
    d.dialog.Opened();
    d.rig.screen.prepareBackground = d.rig.screen.reveals = 0;
    d.dialog.SetSwitch(which, after), d.dialog.Confirm();
    std::string switches = " switches 0000";  // the store hears of a switch the player changed
    switches[10 + index] = kept != before ? '1' : '0';
    EXPECT_EQ(std::tuple(d.Boxes(), d.rig.settings.On(which), d.rig.screen.prepareBackground,
                         d.rig.screen.reveals, d.rig.sound.music, d.keeper.kept, d.Restarted()),
              std::tuple(box.empty() ? Strings{} : Strings{box}, kept, backgrounds, backgrounds,
                         music, switches, false));
  }
}

void FillPlayerList(DialogRig& d) {  // 100 recorded players: the list is full
  for (int i = 0; i < MaxPlayers; ++i) {
    const std::string name = "P" + std::to_string(i);
    d.store.values[{"Pyra3", ListKey(i)}] = name, d.store.values[{name, "Games"}] = "1";
  }
  d.records.LoadPlayerList();
  for (NameBox& box : d.rig.settings.names)
    box.list.assign(d.records.playerList.begin(), d.records.playerList.end());
}

TEST(SettingsDialog, AFullListClosesTheNameBoxesUntilAPlayerIsDeleted) {
  // Full list, A the computer, the button clicked, then A's name box.
  const std::tuple<bool, bool, int, const char*, bool> cases[] = {
      {false, false, 1, "コンピュータ", false},
      {false, true, 0, "Player A", true},
      {false, false, 0, "Alice", true},  // already human: the name stays
      // Both boxes are disabled with a full list; the computer still never plays under a
      // person's name, and a new person's box stays closed to new names.
      {true, false, 1, "コンピュータ", false},
      {true, true, 0, "Player A", false},
  };
  for (const auto& [full, aComputer, click, text, enabled] : cases) {
    SCOPED_TRACE(::testing::Message() << "full " << full << " click " << click);
    DialogRig d(aComputer, true);
    if (full) FillPlayerList(d);
    d.dialog.Opened();
    EXPECT_EQ(d.rig.settings.names[0].enabled, !aComputer && !full);
    d.dialog.ChoosePlayer(SideA, click == 1 ? PlayerKind::Computer : PlayerKind::Human);
    EXPECT_EQ(std::tie(d.rig.settings.names[0].text, d.rig.settings.names[0].enabled),
              std::tuple(text, enabled));
  }
  DialogRig d(false, true);
  FillPlayerList(d);
  d.dialog.Opened();
  for (const char* name : {"", "P7"}) {
    d.dialog.EditName(ChosenPlayer, name), d.dialog.EditName(SideA, "Ann");  // no matter
    EXPECT_EQ(d.dialog.RemovalEnabled(), *name != 0);
  }
  d.dialog.DeletePlayer();
  // Room for a new name again; the computer's box stays closed.
  EXPECT_EQ(std::tuple(d.dialog.RemovalEnabled(), d.records.playerCount,
                       d.rig.settings.names[0].enabled, d.rig.settings.names[1].enabled),
            std::tuple(false, MaxPlayers - 1, true, false));
  d.dialog.ChoosePieces(), d.dialog.ChooseBackground();
  EXPECT_EQ(d.windows.choosers, (std::vector<bool>{false, true}));
}

}  // namespace
}  // namespace pyra::testing
