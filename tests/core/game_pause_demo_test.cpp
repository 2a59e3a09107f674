// Pause and resume, the keys, and the start-up demo.
#include <gtest/gtest.h>

#include "game_fakes.h"
#include "rules/board.h"

namespace pyra::testing {
namespace {

struct PlayingRig : GameRig {
  explicit PlayingRig(bool aComputer = false, bool bComputer = true) {
    SetPlayers(aComputer, bComputer);
    screen.clientWidth = 8 * 32;
    screen.clientHeight = 6 * 32;
    game.Form_Load(false, true);
    game.NewGame_Click();
  }
  int FirstEmpty() const {
    int i = 0;
    while (state.Board[i] != Empty) ++i;
    return i;
  }
};

TEST(Pause, HoldsTheClocksAndRestoresExactlyWhatWasThere) {
  PlayingRig rig(true, false);  // the computer opens: its clock is armed
  rig.game.ShowMessage("前の知らせ");
  ASSERT_TRUE(rig.comtimer.Enabled());
  rig.game.pause_Click();
  EXPECT_TRUE(rig.game.Paused());
  EXPECT_EQ(rig.screen.pauseCaption, "再開(&R&ｽ)");
  EXPECT_FALSE(rig.comtimer.Enabled());
  EXPECT_FALSE(rig.mantimer.Enabled());
  EXPECT_EQ(rig.screen.message, "ゲームを再開するには\nｹﾞｰﾑ(G)-再開(R)を\n選択してください。");
  EXPECT_FALSE(rig.screen.menuVisible[MenuItem::NewGame]);
  EXPECT_FALSE(rig.screen.menuVisible[MenuItem::ExitGame]);
  EXPECT_FALSE(rig.screen.menuVisible[MenuItem::Jimi]);
  rig.game.pause_Click();
  EXPECT_FALSE(rig.game.Paused());
  EXPECT_EQ(rig.screen.pauseCaption, "中断(&P&ｾ)");
  EXPECT_TRUE(rig.comtimer.Enabled());
  EXPECT_FALSE(rig.mantimer.Enabled());
  EXPECT_EQ(rig.screen.message, "前の知らせ");
  EXPECT_TRUE(rig.screen.messageVisible);
  EXPECT_TRUE(rig.screen.menuVisible[MenuItem::NewGame]);
}

TEST(Pause, KeepsThePersonsCountAndHidesAMessageThatWasNotShowing) {
  PlayingRig rig;
  for (int i = 0; i < 6; ++i) rig.game.mantimer_Timer();
  rig.game.pause_Click();
  rig.game.mantimer_Timer();  // stopped: no effect
  rig.game.pause_Click();
  EXPECT_FALSE(rig.screen.messageVisible);
  EXPECT_TRUE(rig.mantimer.Enabled());
  EXPECT_EQ(rig.game.ManTicks, 6);
  rig.game.mantimer_Timer();
  EXPECT_EQ(rig.state.Turn, SideA);
  rig.game.mantimer_Timer();
  EXPECT_EQ(rig.state.Turn, SideB);
}

TEST(Pause, WhilePausedKeysAndClicksDoNothing) {
  PlayingRig rig;
  rig.game.Form_MouseUp(MouseButton::Right, 0, 0);
  rig.game.pause_Click();
  const auto board = rig.state.Board;
  const int empty = rig.FirstEmpty();
  rig.game.Form_MouseUp(MouseButton::Left, CellColumn(rig.state, empty) * 32,
                        CellRow(rig.state, empty) * 32);
  rig.game.HandleKeyUp(KeySpace);
  rig.game.HandleKeyUp(KeyEscape);
  EXPECT_EQ(rig.state.Board, board);
  EXPECT_EQ(rig.screen.reveals, 1);
  EXPECT_FALSE(rig.game.closing);
  EXPECT_TRUE(rig.game.Paused());
}

TEST(Pause, NewGameFromTheSettingsResumesFirst) {
  PlayingRig rig;
  rig.game.Form_MouseUp(MouseButton::Right, 0, 0);
  rig.game.pause_Click();
  rig.game.RestartFromSettings();
  EXPECT_FALSE(rig.game.Paused());
  EXPECT_EQ(rig.screen.pauseCaption, "中断(&P&ｾ)");
  EXPECT_EQ(rig.screen.reveals, 2);
  EXPECT_TRUE(rig.mantimer.Enabled());
}

TEST(Pause, ItemHiddenUntilAGameIsDrawnAndAfterItsEnd) {
  GameRig rig;
  rig.game.Form_Load(false, true);
  EXPECT_FALSE(rig.screen.menuVisible[MenuItem::Pause]);
  rig.game.pause_Click();  // not offered: nothing happens
  EXPECT_FALSE(rig.game.Paused());
  rig.game.NewGame_Click();
  EXPECT_TRUE(rig.screen.menuVisible[MenuItem::Pause]);
  rig.dialogs.answers = {MsgAnswer::Ok, MsgAnswer::No};
  rig.EndGameWith(0);
  EXPECT_FALSE(rig.screen.menuVisible[MenuItem::Pause]);
}

TEST(Keys, EscEndsTheProgramAndOtherKeysDoNothing) {
  PlayingRig rig;
  rig.game.Form_MouseUp(MouseButton::Right, 0, 0);
  for (int key : {0, 13, 65, 31, 33, 28}) rig.game.HandleKeyUp(key);
  EXPECT_FALSE(rig.game.closing);
  EXPECT_EQ(rig.screen.reveals, 1);
  rig.game.HandleKeyUp(KeyEscape);
  EXPECT_TRUE(rig.game.closing);
  EXPECT_FALSE(rig.mantimer.Enabled());
  EXPECT_FALSE(rig.comtimer.Enabled());
}

struct DemoRig : GameRig {
  DemoRig() {
    SetPlayers(false, true);
    options.Check1[3] = Checked;
    screen.clientWidth = 6 * 32;
    screen.clientHeight = 5 * 32;
    game.Form_Load(false, true);
  }
};

TEST(Demo, StartsAtStartUpAtDoubleSpeedWithItsNotice) {
  DemoRig rig;
  EXPECT_TRUE(rig.state.DemoMode);
  EXPECT_TRUE(rig.game.NewGameGuard);
  EXPECT_EQ(rig.comtimer.Interval(), 250);
  EXPECT_TRUE(rig.comtimer.Enabled());
  EXPECT_FALSE(rig.mantimer.Enabled());
  EXPECT_EQ(rig.screen.message, "現在デモ実行中です。\nスペースキーを押してください。");
  EXPECT_FALSE(rig.screen.menuVisible[MenuItem::Pause]);
  EXPECT_NE(rig.state.PieceQueue[2], 0);
  rig.game.comtimer_Timer();
  EXPECT_TRUE(rig.comtimer.Enabled());                   // the computer plays the person's side too
  EXPECT_EQ(rig.screen.scoreCaption[0].substr(1), "A");  // no names in the demo
  EXPECT_EQ(rig.screen.scoreCaption[1].substr(1), "B");
}

TEST(Demo, NotStartedWhenBothSidesAreTheComputer) {
  GameRig rig;
  rig.SetPlayers(true, true);
  rig.options.Check1[3] = Checked;
  rig.game.Form_Load(false, true);
  EXPECT_FALSE(rig.state.DemoMode);
  EXPECT_EQ(rig.comtimer.Interval(), 500);
}

TEST(Demo, ClicksAreIgnoredAndASpaceBeforeTheFirstMoveOnlyResetsTheSeries) {
  DemoRig rig;
  const auto board = rig.state.Board;
  rig.game.Form_MouseUp(MouseButton::Left, 5, 5);
  EXPECT_EQ(rig.state.Board, board);
  EXPECT_TRUE(rig.game.NewGameGuard);  // a click in the demo does not clear the guard
  rig.state.Wins = {2, 1};
  rig.game.HandleKeyUp(KeySpace);
  EXPECT_TRUE(rig.state.DemoMode);
  EXPECT_EQ(rig.state.Wins, (Pair{0, 0}));
  EXPECT_TRUE(rig.dialogs.boxes.empty());
}

TEST(Demo, GamesAreNeitherAnnouncedRecordedNorCounted) {
  DemoRig rig;
  rig.screen.clientWidth = rig.screen.clientHeight = 32;  // next games on one cell
  rig.game.comtimer_Timer();
  int games = 0;
  for (int i = 0; i < 200 && games < 3; ++i) {
    const int16_t before = rig.state.GamesPlayed;
    rig.game.comtimer_Timer();
    if (rig.state.GamesPlayed != before) ++games;
    ASSERT_TRUE(rig.comtimer.Enabled());
  }
  EXPECT_EQ(games, 3);
  EXPECT_TRUE(rig.dialogs.boxes.empty());
  EXPECT_TRUE(rig.records.results.empty());
  EXPECT_EQ(rig.screen.message, "現在デモ実行中です。\nスペースキーを押してください。");
  rig.game.ai.ThinkLimit = 6;
  rig.game.ai.LeadStreakA = 2;
  rig.game.HandleKeyUp(KeySpace);
  EXPECT_FALSE(rig.state.DemoMode);
  EXPECT_EQ(rig.comtimer.Interval(), 500);
  EXPECT_EQ(rig.state.GamesPlayed, 0);
  EXPECT_EQ(rig.state.Wins, (Pair{0, 0}));
  EXPECT_EQ(rig.state.SeriesPoints, (Pair{0, 0}));
  EXPECT_EQ(rig.game.ai.ThinkLimit, 3);
  EXPECT_EQ(rig.game.ai.LeadStreakA, 0);
  EXPECT_EQ(rig.state.Turn, SideA);
  ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
  EXPECT_EQ(rig.dialogs.boxes[0].text, "一番勝負です。頑張りましょう。");
  EXPECT_FALSE(rig.screen.messageVisible);
  EXPECT_TRUE(rig.mantimer.Enabled());
  EXPECT_FALSE(rig.comtimer.Enabled());
}

TEST(Demo, StrongestLevelResetsToEightAfterTheDemo) {
  DemoRig rig;
  rig.options.Option3 = {false, true};
  rig.game.comtimer_Timer();
  rig.game.HandleKeyUp(KeySpace);
  EXPECT_EQ(rig.game.ai.ThinkLimit, 8);
}

TEST(Demo, ExitDuringTheDemoEndsItAndTheProgram) {
  DemoRig rig;
  rig.game.ExitGame_Click();
  EXPECT_FALSE(rig.state.DemoMode);
  EXPECT_TRUE(rig.game.closing);
  EXPECT_FALSE(rig.comtimer.Enabled());
}

TEST(Demo, SpacePressedWhileTheNextDemoGameIsBeingSetUpStartsOneRealGame) {
  DemoRig rig;
  rig.screen.clientWidth = rig.screen.clientHeight = 32;
  rig.game.comtimer_Timer();  // first demo move clears the guard
  // The key arrives while the next demo game lets window events run.
  bool pressed = false;
  rig.screen.pendingEvents = [&] {
    if (!pressed && rig.state.DemoMode && rig.state.GamesPlayed > 0) {
      pressed = true;
      rig.game.HandleKeyUp(KeySpace);
    }
  };
  for (int i = 0; i < 200 && rig.state.DemoMode; ++i) rig.game.comtimer_Timer();
  rig.screen.pendingEvents = nullptr;
  ASSERT_TRUE(pressed);
  EXPECT_FALSE(rig.state.DemoMode);
  EXPECT_EQ(rig.state.Turn, SideA);  // the real game opens with A, not handed over
  EXPECT_TRUE(rig.mantimer.Enabled());
  EXPECT_FALSE(rig.comtimer.Enabled());
  EXPECT_EQ(rig.comtimer.Interval(), 500);
}

}  // namespace
}  // namespace pyra::testing
