// The settings dialog's logic: what OK applies and says, the check boxes, the side buttons,
// the name ruler and the delete and clear buttons.
#include "options/game_option.h"

#include <gtest/gtest.h>

#include <functional>

#include "game_fakes.h"
#include "store_test_support.h"

namespace pyra::testing {
namespace {

// Every character 10 pixels wide; the score boxes 155 pixels.
struct FakeOptionWindows : OptionWindows {
  int room = 155;
  std::vector<bool> choosers;
  int CaptionWidth(const std::string& text) override {
    int characters = 0;
    for (char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return 10 * characters;
  }
  int ScoreBoxWidth(int) override { return room; }
  void ShowChooser(bool backgroundMode) override { choosers.push_back(backgroundMode); }
};

struct DialogRig {
  GameRig rig;
  test::LoggingStore store;
  PlayerRecords records{store, rig.options, rig.dialogs};
  FakeOptionWindows windows;
  GameOption dialog{rig.game, records, store, windows};

  // A game of the chosen players running, the dialog just opened.
  DialogRig(bool aComputer, bool bComputer, bool demo = false) {
    rig.SetPlayers(aComputer, bComputer);
    rig.options.Combo1[0].enabled = !aComputer;
    rig.options.Combo1[1].enabled = !bComputer;
    rig.game.Form_Load(false, true);
    rig.game.NewGame_Click();
    // Any release on the board lets the next game start (a right one moves nothing).
    rig.game.Form_MouseUp(MouseButton::Right, 0, 0);
    rig.state.DemoMode = demo;
    rig.state.Wins = {1, 1};  // cleared only by a restart
    rig.dialogs.boxes.clear();
    dialog.Form_Activate();
  }
  // The boxes shown, each as its icon ('i' information, '-' none) and its text.
  std::vector<std::string> Boxes() const {
    std::vector<std::string> shown;
    for (const BoxRecord& box : rig.dialogs.boxes) {
      EXPECT_EQ(box.title, "Pyra3");
      EXPECT_EQ(box.buttons, MsgButtons::Ok);
      shown.push_back((box.icon == MsgIcon::Information ? "i:" : "-:") + box.text);
    }
    return shown;
  }
  bool Restarted() const { return rig.state.Wins[0] == 0; }
};

using Strings = std::vector<std::string>;

TEST(GameOption, OkSaysWhatChangedAndRestartsOnce) {
  const std::string nameChanged = "i:プレーヤー名が変更されました。";
  struct Case {
    const char* what;
    bool bComputer, demo;
    std::function<void(GameOption&)> change;
    Strings boxes;
    bool restart;
    Strings written;  // the name keys, in order
  };
  const Case cases[] = {
      {"nothing changed", true, false, [](GameOption&) {}, {}, false, {}},
      {"a new format",
       true,
       false,
       [](GameOption& d) { d.Option2_Click(1); },
       {"-:ゲーム方式が三番勝負に変更されました。", "-:三番勝負です。頑張りましょう。"},
       true,
       {}},
      {"a format and back",
       true,
       false,
       [](GameOption& d) {
         d.Option2_Click(1);
         d.Option2_Click(0);
       },
       {},
       false,
       {}},
      {"unlimited",
       true,
       false,
       [](GameOption& d) { d.Option2_Click(10); },
       {"-:ゲーム方式が無制限に変更されました。"},
       true,
       {}},
      {"a format during the demo",
       true,
       true,
       [](GameOption& d) { d.Option2_Click(1); },
       {},
       false,
       {}},
      {"only the level", true, false, [](GameOption& d) { d.Option3_Click(1); }, {}, false, {}},
      {"side B to the computer",
       false,
       false,
       [](GameOption& d) { d.Option1_Click(3); },
       {nameChanged, "-:一番勝負です。頑張りましょう。"},
       true,
       {"Pyra3/PlayerNameB=コンピュータ"}},
      {"both names",
       false,
       false,
       [](GameOption& d) {
         d.Combo1_Change(0, "Ann");
         d.Combo1_Change(1, "Ben");
       },
       {nameChanged, nameChanged, "-:一番勝負です。頑張りましょう。"},
       true,
       {"Pyra3/PlayerNameA=Ann", "Pyra3/PlayerNameB=Ben"}},
      {"a name during the demo",
       true,
       true,
       [](GameOption& d) { d.Combo1_Change(0, "Ann"); },
       // The restart ends the demo and starts a real series.
       {"-:一番勝負です。頑張りましょう。"},
       true,
       {"Pyra3/PlayerNameA=Ann"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DialogRig d(false, c.bComputer, c.demo);
    c.change(d.dialog);
    d.dialog.Command1_Click();
    EXPECT_EQ(d.Boxes(), c.boxes);
    EXPECT_EQ(d.Restarted(), c.restart);
    EXPECT_EQ(d.store.writes, c.written);
  }
  // Side B went to the computer: its box shows so and takes no name.
  DialogRig d(false, false);
  d.dialog.Option1_Click(3);
  d.dialog.Command1_Click();
  EXPECT_EQ(d.rig.options.Combo1[1].text, "コンピュータ");
  EXPECT_FALSE(d.rig.options.Combo1[1].enabled);
  EXPECT_EQ(d.rig.screen.scoreCaption[1], " B - コンピュータ");
}

TEST(GameOption, NamesAreCutToTheirScoreBox) {
  struct Case {
    int side;
    std::string name;
    int room;
    std::string kept;
  };
  const Case cases[] = {
      {SideA, "Alice", 155, "Alice"},
      {SideA, "ABCDEFGHIJKLMNOP", 155, "ABCDEFGHIJ"},  // ">A - " takes five characters
      {SideB, "ABCDEFGHIJKLMNOP", 155, "ABCDEFGHIJKLMNO"},
      {SideB, "ABCDEFGHIJKLMNO", 150, "ABCDEFGHIJKLMNO"},  // exactly as wide as the box
      {SideA, "あいうえおかきくけこさしす", 155, "あいうえおかきくけこ"},
      {SideA, "Alice", 40, ""},  // not even the marker fits
      {SideB, "", 155, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeOptionWindows windows;
    windows.room = c.room;
    EXPECT_EQ(FitNameToScoreBox(c.side, c.name, windows), c.kept);
  }
  // OK keeps, stores and shows the cut name.
  DialogRig d(false, false);
  d.dialog.Combo1_Change(0, "ABCDEFGHIJKLMNOP");
  d.dialog.Command1_Click();
  EXPECT_EQ(d.rig.options.Combo1[0].text, "ABCDEFGHIJ");
  EXPECT_EQ(d.store.Main("PlayerNameA"), "ABCDEFGHIJ");
  EXPECT_EQ(d.rig.screen.scoreCaption[0], ">A - ABCDEFGHIJ");
}

TEST(GameOption, ChangedBoxesAreAppliedByOk) {
  struct Case {
    int index, before, after;
    bool stretch, sound, music;
    std::string box;  // "" for none
    int kept;
    int backgrounds;  // PrepareBackground and a repaint of the board
    Strings musicCalls;
  };
  const Case cases[] = {
      {0, Checked, Unchecked, true, true, true, "", Unchecked, 1, {}},
      {0, Unchecked, Checked, true, true, true, "", Checked, 1, {}},
      {0,
       Unchecked,
       Checked,
       false,
       true,
       true,
       "i:現在の環境では背景の拡大・縮小はできません。",
       Unchecked,
       0,
       {}},
      {1, Unchecked, Checked, true, true, true, "", Checked, 0, {}},
      {1,
       Unchecked,
       Checked,
       true,
       false,
       true,
       "-:現在の環境では効果音を鳴らすことはできません。",
       Unchecked,
       0,
       {}},
      {1, Checked, Unchecked, true, false, true, "", Unchecked, 0, {}},
      {2, Unchecked, Checked, true, true, true, "", Checked, 0, {"play"}},
      {2,
       Unchecked,
       Checked,
       true,
       true,
       false,
       "-:現在の環境では音楽を鳴らすことはできません。",
       Unchecked,
       0,
       {"play"}},
      {2, Checked, Unchecked, true, true, true, "", Unchecked, 0, {"stop"}},
      {3, Unchecked, Checked, false, false, false, "", Checked, 0, {}},
      {3, Checked, Unchecked, false, false, false, "", Unchecked, 0, {}},
      {2, Checked, Checked, true, true, false, "", Checked, 0, {}},  // unchanged: left alone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "box " << c.index << " " << c.before << "->" << c.after);
    DialogRig d(false, true);
    d.rig.options.Check1[c.index] = c.before;
    d.rig.screen.stretch = c.stretch;
    d.rig.sound.available = c.sound;
    d.rig.sound.canPlay = c.music;
    d.dialog.Form_Activate();
    const int prepared = d.rig.screen.prepareBackground;
    const int reveals = d.rig.screen.reveals;
    d.dialog.Check1_Click(c.index, c.after);
    d.dialog.Command1_Click();
    EXPECT_EQ(d.Boxes(), c.box.empty() ? Strings{} : Strings{c.box});
    EXPECT_EQ(d.rig.options.Check1[c.index], c.kept);
    EXPECT_EQ(d.rig.screen.prepareBackground - prepared, c.backgrounds);
    EXPECT_EQ(d.rig.screen.reveals - reveals, c.backgrounds);
    EXPECT_EQ(d.rig.sound.music, c.musicCalls);
    EXPECT_FALSE(d.Restarted());
  }
  // A greyed box is left as it is.
  DialogRig d(false, true);
  d.rig.options.Check1[2] = Greyed;
  d.dialog.chkshori(2);
  EXPECT_EQ(d.rig.options.Check1[2], Greyed);
  EXPECT_TRUE(d.rig.sound.music.empty());
}

// 100 recorded players: the list is full.
void FillPlayerList(test::LoggingStore& store) {
  for (int i = 0; i < MaxPlayers; ++i) {
    const std::string name = "P" + std::to_string(i);
    store.values[{"Pyra3", ListKey(i)}] = name;
    store.values[{name, "Games"}] = "1";
  }
}

TEST(GameOption, SideButtonsSetTheNameBoxesAlsoWithAFullList) {
  struct Case {
    bool full, aComputer;
    int click;
    std::string text;
    bool enabled;
  };
  const Case cases[] = {
      {false, false, 1, "コンピュータ", false},
      {false, true, 0, "Player A", true},
      {false, false, 0, "Alice", true},  // already human: the name stays
      {false, true, 1, "コンピュータ", false},
      // Both boxes are disabled with a full list; the computer still never plays under a
      // person's name, and a new person's box stays closed to new names.
      {true, false, 1, "コンピュータ", false},
      {true, true, 0, "Player A", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "full " << c.full << " click " << c.click);
    DialogRig d(c.aComputer, true);
    if (c.full) FillPlayerList(d.store);
    d.records.LoadPlayerList();
    d.dialog.Form_Activate();
    EXPECT_EQ(d.rig.options.Combo1[0].enabled, !c.aComputer && !c.full);
    d.dialog.Option1_Click(c.click);
    EXPECT_EQ(d.rig.options.Combo1[0].text, c.text);
    EXPECT_EQ(d.rig.options.Combo1[0].enabled, c.enabled);
    EXPECT_EQ(d.rig.options.IsComputer(SideA), c.click == 1);
  }
}

TEST(GameOption, DeleteAndClearFollowTheChosenNameAndReopenAFullList) {
  DialogRig d(false, true);
  FillPlayerList(d.store);
  d.records.LoadPlayerList();
  for (NameBox& box : d.rig.options.Combo1) {
    box.list.assign(d.records.PlayerList.begin(), d.records.PlayerList.end());
  }
  d.dialog.Form_Activate();
  EXPECT_FALSE(d.rig.options.Combo1[0].enabled);
  d.dialog.Combo1_Change(2, "P7");
  EXPECT_TRUE(d.dialog.Command2Enabled());
  d.dialog.Combo1_Change(2, "");
  EXPECT_FALSE(d.dialog.Command2Enabled());
  d.dialog.Combo1_Change(2, "nobody");
  d.dialog.Command2_Click(0);  // not listed: nothing happens
  EXPECT_TRUE(d.dialog.Command2Enabled());
  EXPECT_EQ(d.records.PlayerCount, MaxPlayers);

  d.dialog.Combo1_Change(2, "P7");
  d.dialog.Command2_Click(0);
  EXPECT_FALSE(d.dialog.Command2Enabled());
  EXPECT_EQ(d.rig.options.Combo1[2].text, "");
  EXPECT_EQ(d.records.PlayerCount, MaxPlayers - 1);
  EXPECT_FALSE(d.store.HasSection("P7"));
  EXPECT_TRUE(d.rig.options.Combo1[0].enabled);   // room for a new name again
  EXPECT_FALSE(d.rig.options.Combo1[1].enabled);  // the computer's stays closed

  d.dialog.Command3_Click(1);
  d.dialog.Command3_Click(0);
  EXPECT_EQ(d.windows.choosers, (std::vector<bool>{false, true}));
  EXPECT_TRUE(d.dialog.ChooserMode);
}

}  // namespace
}  // namespace pyra::testing
