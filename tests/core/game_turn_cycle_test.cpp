// The turn cycle, the move clocks and their suspension, driven by hand.
#include <gtest/gtest.h>

#include <set>

#include "game_fakes.h"
#include "rules/board.h"

namespace pyra::testing {
namespace {

// A human (A) against the computer (B) on a board big enough not to end at once.
struct BigRig : GameRig {
  BigRig() {
    SetPlayers(false, true);
    screen.clientWidth = 8 * 32;
    screen.clientHeight = 6 * 32;
    game.Form_Load(false, true);
  }
};

TEST(GameStart, NewGameStartsOneGameAndAnnouncesTheSeries) {
  BigRig rig;
  rig.options.SelectSeriesFormat(1);
  rig.game.NewGame_Click();
  rig.game.NewGame_Click();  // dropped: nothing has ticked or been clicked since
  EXPECT_EQ(rig.screen.reveals, 1);
  ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
  EXPECT_EQ(rig.dialogs.boxes[0].text, "三番勝負です。頑張りましょう。");
  EXPECT_EQ(rig.dialogs.boxes[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(rig.state.Turn, SideA);
  EXPECT_EQ(rig.screen.scoreCaption[0], ">A - Alice");
  EXPECT_EQ(rig.screen.scoreCaption[1], " B - コンピュータ");
  EXPECT_TRUE(rig.mantimer.Enabled());
  EXPECT_FALSE(rig.comtimer.Enabled());
  // A right-button release clears the guard without moving.
  const auto board = rig.state.Board;
  rig.game.Form_MouseUp(MouseButton::Right, 5, 5);
  EXPECT_EQ(rig.state.Board, board);
  EXPECT_FALSE(rig.game.NewGameGuard);
  rig.game.NewGame_Click();
  EXPECT_EQ(rig.screen.reveals, 2);
}

TEST(GameStart, BoardIsFittedToTheWindowAndThePauseItemShown) {
  BigRig rig;
  rig.screen.clientWidth = 7 * 32 + 17;   // rounds up to 8
  rig.screen.clientHeight = 3 * 32 + 15;  // rounds down to 3
  rig.game.NewGame_Click();
  EXPECT_EQ(rig.state.BoardCols, 8);
  EXPECT_EQ(rig.state.BoardRows, 3);
  EXPECT_EQ(rig.screen.clientWidth, 256);
  EXPECT_EQ(rig.screen.clientHeight, 96);
  EXPECT_TRUE(rig.screen.menuVisible[MenuItem::Pause]);
}

TEST(GameStart, UnlimitedFormatIsNotAnnounced) {
  BigRig rig;
  rig.options.SelectSeriesFormat(10);
  rig.game.NewGame_Click();
  EXPECT_TRUE(rig.dialogs.boxes.empty());
}

TEST(GameStart, RevealPaintsEveryCellExactlyOnce) {
  BigRig rig;
  rig.game.NewGame_Click();
  std::set<std::pair<int, int>> cells;
  for (const auto& p : rig.screen.paints) {
    EXPECT_EQ(p.step, 0);
    cells.insert({p.column, p.row});
  }
  EXPECT_EQ(rig.screen.paints.size(), 48u);
  EXPECT_EQ(cells.size(), 48u);
}

TEST(MouseRelease, MapsToTheCellUnderThePointer) {
  struct Case {
    int x, y, column, row;
  };
  const Case cases[] = {{0, 0, 0, 0},  {31, 31, 0, 0}, {32, 0, 1, 0},  {3, 40, 0, 1},
                        {4, 40, 0, 1}, {35, 40, 1, 1}, {36, 40, 1, 1}, {255, 191, 7, 5}};
  for (const Case& c : cases) {
    BigRig rig;
    rig.game.NewGame_Click();
    const int index = CellIndex(rig.state, c.column, c.row);
    rig.state.Board[index] = Empty;
    rig.state.PieceQueue[2] = Oil;
    // Nothing to react with around the target, so the placed Oil stays.
    std::array<int16_t, 8> ring;
    BuildNeighbourRing(rig.state, c.column, c.row, ring);
    for (int16_t n : ring) {
      if (n != rig.state.OffBoard()) rig.state.Board[n] = Blocked;
    }
    rig.game.Form_MouseUp(MouseButton::Left, c.x, c.y);
    EXPECT_EQ(rig.state.Board[index], Oil) << c.x << "," << c.y;
    EXPECT_EQ(rig.state.Turn, SideB) << c.x << "," << c.y;
  }
}

TEST(MouseRelease, OutsideTheBoardOrOnTheComputersTurnDoesNothing) {
  BigRig rig;
  rig.game.NewGame_Click();
  const auto board = rig.state.Board;
  for (auto [x, y] : {std::pair{-1, 5}, {5, -1}, {256, 5}, {5, 192}, {100000, 5}}) {
    rig.game.Form_MouseUp(MouseButton::Left, x, y);
  }
  EXPECT_EQ(rig.state.Board, board);
  EXPECT_EQ(rig.state.Turn, SideA);
  rig.state.Turn = SideB;  // the computer's turn: a click never moves for it
  for (int i = 0; i < 48; ++i) rig.state.Board[i] = rig.state.Board[i] == Empty ? Empty : Blocked;
  const auto before = rig.state.Board;
  for (int x = 0; x < 256; x += 32) rig.game.Form_MouseUp(MouseButton::Left, x, 0);
  EXPECT_EQ(rig.state.Board, before);
}

TEST(MoveClocks, PersonsClockCountsDownAndForcesTheMove) {
  BigRig rig;
  rig.game.NewGame_Click();
  ASSERT_EQ(rig.state.Turn, SideA);
  rig.screen.captions.clear();
  for (int tick = 1; tick <= 4; ++tick) {
    rig.game.mantimer_Timer();
    EXPECT_EQ(rig.game.ManTicks, tick);
    EXPECT_EQ(rig.state.Turn, SideA);
  }
  EXPECT_TRUE(rig.screen.captions.empty());
  rig.game.mantimer_Timer();
  rig.game.mantimer_Timer();
  rig.game.mantimer_Timer();
  EXPECT_EQ(rig.screen.captions,
            (std::vector<std::string>{"あと3秒です。", "あと2秒です。", "あと1秒です。"}));
  EXPECT_EQ(rig.state.Turn, SideA);
  rig.game.mantimer_Timer();  // the eighth tick: the piece is placed for the person
  EXPECT_EQ(rig.state.Turn, SideB);
  EXPECT_EQ(rig.screen.caption, "Pyra3");
  EXPECT_EQ(rig.game.ManTicks, 1);
  EXPECT_FALSE(rig.mantimer.Enabled());
  EXPECT_TRUE(rig.comtimer.Enabled());
}

TEST(MoveClocks, ClickDuringCountdownRestoresCaptionAndRestartsTheCount) {
  BigRig rig;
  rig.SetPlayers(false, false);
  rig.game.NewGame_Click();
  for (int i = 0; i < 6; ++i) rig.game.mantimer_Timer();
  EXPECT_EQ(rig.screen.caption, "あと2秒です。");
  int empty = 0;
  while (rig.state.Board[empty] != Empty) ++empty;
  rig.game.Form_MouseUp(MouseButton::Left, CellColumn(rig.state, empty) * 32,
                        CellRow(rig.state, empty) * 32);
  EXPECT_EQ(rig.screen.caption, "Pyra3");
  EXPECT_EQ(rig.game.ManTicks, 0);
  EXPECT_EQ(rig.state.Turn, SideB);
  EXPECT_TRUE(rig.mantimer.Enabled());
}

TEST(MoveClocks, ComputerMovesOncePerArming) {
  BigRig rig;
  rig.SetPlayers(true, true);
  rig.game.NewGame_Click();
  EXPECT_TRUE(rig.comtimer.Enabled());
  EXPECT_FALSE(rig.mantimer.Enabled());
  const int16_t opener = rig.state.Turn;
  rig.game.comtimer_Timer();
  EXPECT_EQ(rig.state.Turn, 1 - opener);
  EXPECT_TRUE(rig.comtimer.Enabled());  // armed again for the other side
  EXPECT_FALSE(rig.mantimer.Enabled());
}

TEST(MoveClocks, SuspensionKeepsTheCountAndNests) {
  BigRig rig;
  rig.game.NewGame_Click();
  for (int i = 0; i < 5; ++i) rig.game.mantimer_Timer();
  rig.game.SuspendClocks();
  rig.game.SuspendClocks();
  EXPECT_FALSE(rig.mantimer.Enabled());
  rig.game.mantimer_Timer();  // a tick of a stopped clock never arrives; if it did, no effect
  EXPECT_EQ(rig.game.ManTicks, 5);
  rig.game.ResumeClocks();
  EXPECT_FALSE(rig.mantimer.Enabled());
  rig.game.ResumeClocks();
  EXPECT_TRUE(rig.mantimer.Enabled());
  EXPECT_FALSE(rig.comtimer.Enabled());
  EXPECT_EQ(rig.game.ManTicks, 5);
  rig.game.mantimer_Timer();
  rig.game.mantimer_Timer();
  EXPECT_EQ(rig.state.Turn, SideA);
  rig.game.mantimer_Timer();
  EXPECT_EQ(rig.state.Turn, SideB);
}

TEST(MoveClocks, MessageBoxesSuspendTheClocks) {
  BigRig rig;
  rig.game.NewGame_Click();
  bool ranDuringBox = true;
  rig.dialogs.whileOpen = [&] { ranDuringBox = rig.mantimer.Enabled() || rig.comtimer.Enabled(); };
  rig.game.Ask("x", "Pyra3", MsgButtons::Ok, MsgIcon::None);
  EXPECT_FALSE(ranDuringBox);
  EXPECT_TRUE(rig.mantimer.Enabled());
}

TEST(MoveClocks, FocusLossSuspendsOnceAndModalsNestInside) {
  BigRig rig;
  rig.SetPlayers(true, false);  // A computer opens
  rig.game.NewGame_Click();
  ASSERT_TRUE(rig.comtimer.Enabled());
  rig.game.Form_LostFocus();
  rig.game.Form_LostFocus();
  rig.game.about_Click();
  EXPECT_FALSE(rig.comtimer.Enabled());
  rig.game.Form_GotFocus();
  EXPECT_TRUE(rig.comtimer.Enabled());
  EXPECT_FALSE(rig.mantimer.Enabled());
  rig.game.Form_GotFocus();
  EXPECT_TRUE(rig.comtimer.Enabled());
}

TEST(MoveClocks, SettingsRestartUnderSuspensionRunsOnlyTheNewGamesClock) {
  BigRig rig;
  rig.SetPlayers(false, true);
  rig.game.NewGame_Click();
  rig.game.Form_MouseUp(MouseButton::Right, 0, 0);
  ASSERT_TRUE(rig.mantimer.Enabled());
  // The person hands the move to the computer, then opens the settings dialog and
  // restarts: the new game opens with the person, and only the person's clock may run.
  int empty = 0;
  while (rig.state.Board[empty] != Empty) ++empty;
  rig.game.PlacePiece(CellColumn(rig.state, empty), CellRow(rig.state, empty));
  ASSERT_TRUE(rig.comtimer.Enabled());
  rig.shell.onOptionsDialog = [&] { rig.game.RestartFromSettings(); };
  rig.game.gameset_Click();
  EXPECT_EQ(rig.state.Turn, SideA);
  EXPECT_TRUE(rig.mantimer.Enabled());
  EXPECT_FALSE(rig.comtimer.Enabled());
}

TEST(MoveClocks, NewGameDuringTheComputersTurnLeavesNoComputerClock) {
  BigRig rig;
  rig.game.NewGame_Click();
  int empty = 0;
  while (rig.state.Board[empty] != Empty) ++empty;
  rig.game.PlacePiece(CellColumn(rig.state, empty), CellRow(rig.state, empty));
  ASSERT_TRUE(rig.comtimer.Enabled());
  rig.game.Form_MouseUp(MouseButton::Right, 0, 0);  // clears the new-game guard
  rig.game.HandleKeyUp(KeySpace);
  EXPECT_EQ(rig.state.Turn, SideA);
  EXPECT_TRUE(rig.mantimer.Enabled());
  EXPECT_FALSE(rig.comtimer.Enabled());
}

TEST(Minimise, HidesAndRestoresExactlyWhatWasThere) {
  BigRig rig;
  rig.game.NewGame_Click();
  rig.game.ShowMessage("hello");
  for (int i = 0; i < 5; ++i) rig.game.mantimer_Timer();
  ASSERT_EQ(rig.screen.caption, "あと3秒です。");
  rig.game.Form_Minimised();
  EXPECT_FALSE(rig.screen.companionsVisible);
  EXPECT_FALSE(rig.screen.messageVisible);
  EXPECT_FALSE(rig.mantimer.Enabled());
  EXPECT_EQ(rig.screen.caption, "Pyra3");
  rig.game.Form_Minimised();  // a second notice changes nothing
  rig.game.Form_Restored();
  EXPECT_TRUE(rig.screen.companionsVisible);
  EXPECT_TRUE(rig.screen.messageVisible);
  EXPECT_TRUE(rig.mantimer.Enabled());
  EXPECT_FALSE(rig.comtimer.Enabled());
  EXPECT_EQ(rig.screen.caption, "あと3秒です。");
  EXPECT_EQ(rig.game.ManTicks, 5);
}

TEST(Minimise, NoClockStartsWhenNoneRan) {
  BigRig rig;  // title picture: no game
  rig.game.Form_Minimised();
  rig.game.Form_Restored();
  EXPECT_FALSE(rig.mantimer.Enabled());
  EXPECT_FALSE(rig.comtimer.Enabled());
  EXPECT_FALSE(rig.screen.messageVisible);
}

TEST(StartUp, TitlePictureWhenAPersonPlaysAndNoDemo) {
  GameRig rig;
  rig.SetPlayers(false, false);
  EXPECT_TRUE(rig.game.Form_Load(false, true));
  EXPECT_TRUE(rig.screen.titleShown);
  EXPECT_EQ(rig.state.Turn, TurnNone);
  EXPECT_EQ(rig.game.ai.ThinkLimit, 8);
  EXPECT_EQ(rig.screen.caption, "Pyra3");
  EXPECT_EQ(rig.shell.calls,
            (std::vector<std::string>{"load settings", "show main window", "open music"}));
  rig.game.Form_MouseUp(MouseButton::Left, 0, 0);
  EXPECT_EQ(rig.state.Turn, TurnNone);
}

TEST(StartUp, TwoComputersStartAtOnceWithoutAnnouncement) {
  GameRig rig;
  rig.SetPlayers(true, true);
  rig.options.SelectSeriesFormat(1);
  rig.game.Form_Load(false, true);
  EXPECT_EQ(rig.state.Turn, SideA);
  EXPECT_TRUE(rig.dialogs.boxes.empty());
  EXPECT_TRUE(rig.comtimer.Enabled());
  EXPECT_NE(rig.state.PieceQueue[2], 0);
}

TEST(StartUp, OneComputerStartsAtStrengthThree) {
  GameRig rig;
  rig.SetPlayers(false, true);
  rig.game.Form_Load(false, true);
  EXPECT_EQ(rig.game.ai.ThinkLimit, 3);
}

TEST(StartUp, SecondCopyIsRefusedWithItsMessageAndWritesNothing) {
  GameRig rig;
  EXPECT_FALSE(rig.game.Form_Load(true, true));
  ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
  EXPECT_EQ(rig.dialogs.boxes[0].text, "Pyra3はすでに実行されています。\n");
  EXPECT_EQ(rig.dialogs.boxes[0].title, "Pyra3");
  EXPECT_EQ(rig.dialogs.boxes[0].icon, MsgIcon::Exclamation);
  EXPECT_EQ(rig.shell.calls, (std::vector<std::string>{"clear windows", "close music", "quit"}));
}

TEST(ShutDown, RunsItsStepsInOrderOnce) {
  GameRig rig;
  rig.game.Form_Load(false, true);
  rig.shell.calls.clear();
  rig.game.ExitGame_Click();
  rig.game.Form_Unload();  // the close box after the exit command: nothing twice
  EXPECT_EQ(rig.shell.calls,
            (std::vector<std::string>{"close help", "save window positions", "clear windows",
                                      "close music", "save options", "quit"}));
}

}  // namespace
}  // namespace pyra::testing
