// The game object: start-up and shut-down, the mouse and the keys, starting games, the move
// clocks and what holds them, pause, the demo, series and their messages, sound switches.
#include <gtest/gtest.h>

#include <algorithm>

#include "game_fakes.h"

namespace pyra::testing {
namespace {

using Texts = std::vector<std::string>;

struct Series : GameRig {  // two people, "Alice" and "Bob", in a series of this format, on 1 x 1
  explicit Series(int format) {
    SetPlayers(false, false), settings.series = SeriesFormat::FromNumber(format);
    game.Start(false, true);
  }
};

TEST(StartUp, BeginsWithTheDemoAGameOrTheTitlePicture) {
  // Demo on, A and B the computer; how it begins ("demo", "game" or "title"), the ceiling.
  const std::tuple<bool, bool, bool, std::string, int16_t> cases[] = {
      {true, false, true, "demo", 3},    {true, false, false, "demo", 8},
      {true, true, true, "game", 8},     {false, true, true, "game", 8},
      {false, false, true, "title", 3},  {false, true, false, "title", 3},
      {false, false, false, "title", 8},
  };
  for (const auto& [demoOn, aComputer, bComputer, begins, ceiling] : cases) {
    SCOPED_TRACE(begins + (demoOn ? " with demo on" : ""));
    GameRig rig;
    rig.SetPlayers(aComputer, bComputer);
    rig.settings.Set(Switch::OpeningDemo, demoOn);
    ASSERT_TRUE(rig.game.Start(false, true));
    EXPECT_EQ(rig.shell.calls, (Texts{"load settings", "show main window", "open music"}));
    EXPECT_EQ(std::tuple(rig.screen.caption, rig.screen.companionsVisible, rig.dialogs.Texts()),
              std::tuple("Pyra3", true, Texts{}));  // never an announcement
    const bool demo = begins == "demo", title = begins == "title";
    EXPECT_EQ(std::tuple(rig.state.demoMode, rig.game.NewGameGuarded(), rig.screen.titleShown,
                         rig.state.turn == TurnNone, rig.screen.nextPieces[2] == 0),
              std::tuple(demo, demo, title, title, title));
    EXPECT_EQ(std::tuple(rig.Clocks(), rig.computerClock.Interval(), rig.screen.message,
                         rig.ai.thinkLimit),
              std::tuple(title ? "none" : "com", demo ? 250 : 500, demo ? text::DemoNotice : "",
                         ceiling));
  }
  // Asked to, a start seeds the deal from the clock: two runs deal apart.
  GameRig one, two;
  for (GameRig* rig : {&one, &two}) rig->game.SeedOnStart(true), rig->game.Start(false, true);
  EXPECT_NE(one.rng.Next(), two.rng.Next());
}

TEST(StartUp, ARefusedStartSaysWhyAndWritesNothing) {
  const struct {
    bool another, bitBlt;
    std::string message;
  } cases[] = {
      {true, true, "Pyra3はすでに実行されています。\n"},
      {false, false, "現在の環境ではBitBltはサポートされません。\n"},
      {true, false,
       "Pyra3はすでに実行されています。\n現在の環境ではBitBltはサポートされません。\n"},
  };
  for (const auto& k : cases) {
    GameRig rig;
    EXPECT_FALSE(rig.game.Start(k.another, k.bitBlt));
    ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
    const BoxRecord& box = rig.dialogs.boxes[0];
    EXPECT_EQ(std::tuple(box.text, box.title, box.buttons, box.icon),
              std::tuple(k.message, std::string("Pyra3"), MsgButtons::Ok, MsgIcon::Exclamation));
    EXPECT_EQ(rig.shell.calls, (Texts{"clear windows", "close music", "quit"}));
  }
}

// The space bar starts a game, Esc is one of the ways to end the program, other keys do nothing.
TEST(ShutDown, RunsItsStepsOnceWhateverAsksForIt) {
  const Texts steps = {"save window positions", "clear windows", "close music", "save options",
                       "quit"};
  for (int way = 0; way < 3; ++way) {
    LoadedRig rig;
    rig.shell.calls.clear();
    rig.game.OnKey('a'), rig.game.OnKey(0);
    ASSERT_EQ(rig.screen.reveals, 0);
    rig.game.OnKey(32);
    if (way == 0) rig.game.OnExit();
    if (way == 1) rig.game.OnKey(27);
    if (way == 2) rig.game.ShutDown();
    rig.game.ShutDown();
    rig.game.OnExit();
    Texts want = steps;
    if (way < 2) want.insert(want.begin(), "close help");
    EXPECT_EQ(std::tuple(rig.shell.calls, rig.Clocks()), std::tuple(want, "none")) << way;
    // Nothing starts once the program is ending.
    rig.records.onRanking = [] { ADD_FAILURE() << "a ranking after the end"; };
    rig.game.OnRanking(), rig.game.OnNewGame(), rig.game.OnComputerClock();
    rig.state.wins = {1, 2};
    rig.game.RestartFromSettings();  // the dialog's restart: the series stays as it was
    EXPECT_EQ(std::tuple(rig.screen.reveals, rig.state.wins), std::tuple(1, Pair{1, 2}));
  }
}

TEST(Mouse, ReleasesPlaceOnTheCellUnderThePointerForAPersonOnly) {
  // x, y; the cell placed on (-1: none); R right button, C computer to move, P paused, D demo.
  const std::tuple<int, int, int, int, char> cases[] = {
      {0, 0, 0, 0, ' '},     {31, 31, 0, 0, ' '},   {32, 40, 1, 1, ' '},     {255, 191, 7, 5, ' '},
      {-1, 40, -1, -1, ' '}, {40, -1, -1, -1, ' '}, {-31, -31, -1, -1, ' '}, {256, 40, -1, -1, ' '},
      {40, 40, -1, -1, 'R'}, {40, 40, -1, -1, 'C'}, {40, 40, -1, -1, 'P'},   {40, 40, -1, -1, 'D'},
  };
  for (const auto& [x, y, column, row, when] : cases) {
    SCOPED_TRACE(::testing::Message() << x << "," << y << " " << when);
    LoadedRig rig;
    if (when == 'C')
      rig.SetPlayers(false, false), rig.settings.players[SideA] = PlayerKind::Computer;
    rig.game.OnNewGame();
    std::fill_n(rig.state.board.begin(), rig.state.CellCount(), Empty);
    rig.state.pieceQueue[2] = Oil;
    if (when == 'P') rig.game.OnPause();
    rig.state.demoMode = when == 'D';
    ASSERT_TRUE(rig.game.NewGameGuarded());
    rig.game.OnMouseRelease(when == 'R' ? MouseButton::Right : MouseButton::Left, x, y);
    for (int i = 0; i < rig.state.CellCount(); ++i) {
      const bool target = column >= 0 && i == column * 6 + row;
      ASSERT_EQ(rig.state.board[i], target ? Oil : Empty) << "cell " << i;
    }
    // Any release outside the demo lets a new game be asked for again.
    EXPECT_EQ(rig.game.NewGameGuarded(), when == 'D');
  }
}

TEST(NewGame, StartsOneGameFittedToTheWindowAndAnnouncesTheSeries) {
  for (int format = 0; format <= 10; ++format) {
    SCOPED_TRACE(format);
    LoadedRig rig;
    rig.settings.series = SeriesFormat::FromNumber(format);
    rig.settings.Set(Switch::StretchBackground, format % 2);
    rig.screen.clientWidth = 7 * 32 + 17;   // rounds up to 8 cells
    rig.screen.clientHeight = 3 * 32 + 15;  // rounds down to 3
    rig.state.wins = rig.state.seriesPoints = {2, 1};
    const int preparedBefore = rig.screen.prepareBackground;
    rig.game.OnNewGame();
    rig.game.OnNewGame();  // dropped: nothing has ticked or been clicked since
    EXPECT_EQ(std::tuple(rig.screen.reveals, rig.state.boardCols, rig.state.boardRows,
                         rig.screen.clientWidth, rig.screen.clientHeight),
              std::tuple(1, 8, 3, 256, 96));
    EXPECT_EQ(rig.dialogs.Texts(),
              format == 10
                  ? Texts{}
                  : Texts{std::string(text::SeriesFormatNames[format]) + "です。頑張りましょう。"});
    // A stretched background is remade to size; every format but unlimited starts a new series.
    EXPECT_EQ(std::tuple(rig.screen.prepareBackground - preparedBefore, rig.state.wins,
                         rig.state.seriesPoints, rig.screen.scoreCaption[0],
                         rig.screen.scoreCaption[1], rig.state.turn, rig.screen.shownScore,
                         rig.screen.menuVisible[MenuItem::Pause], rig.Clocks()),
              std::tuple(format % 2, format == 10 ? Pair{2, 1} : Pair{0, 0}, rig.state.wins,
                         ">A - Alice", " B - コンピュータ", SideA, Pair{0, 0}, true, "man"));
  }
}

TEST(Clocks, APersonsCountdownAndForcedMove) {
  PlayingRig rig;
  rig.screen.captions.clear();
  for (int tick = 1; tick <= 7; ++tick) rig.game.OnHumanClock();
  EXPECT_EQ(std::tuple(rig.screen.captions, rig.state.turn),
            std::tuple(Texts{"あと3秒です。", "あと2秒です。", "あと1秒です。"}, SideA));
  rig.game.OnHumanClock();  // the eighth tick places A's piece and puts the caption back
  EXPECT_EQ(std::tuple(rig.screen.caption, rig.state.turn, rig.Clocks()),
            std::tuple("Pyra3", SideB, "com"));
  rig.game.OnComputerClock();  // one arming, one move
  EXPECT_EQ(std::tuple(rig.state.turn, rig.Clocks(), rig.game.HumanTicks()),
            std::tuple(SideA, "man", 0));
  for (int tick = 1; tick <= 5; ++tick) rig.game.OnHumanClock();
  EXPECT_EQ(rig.screen.caption, "あと3秒です。");
  rig.game.OnMouseRelease(MouseButton::Left, 300, 300);  // off the board: the caption only
  EXPECT_EQ(std::tuple(rig.screen.caption, rig.game.HumanTicks()), std::tuple("Pyra3", 5));
  rig.game.OnHumanClock();
  ASSERT_NE(rig.screen.caption, "Pyra3");
  rig.game.OnNewGame();
  EXPECT_EQ(rig.screen.caption, "Pyra3") << "a new game ends the countdown";
}

TEST(Clocks, HeldByModalWindowsFocusMinimisingAndPauseExactlyAsTheyRan) {
  PlayingRig rig;
  std::vector<std::string> seen;
  auto note = [&] { seen.push_back(rig.Clocks()); };
  rig.shell.onModal = rig.records.onRanking = rig.dialogs.whileOpen = note;
  rig.game.OnSettings();
  rig.game.OnAbout();
  rig.game.OnRanking();
  rig.game.Ask("x", "Pyra3", MsgButtons::Ok, MsgIcon::None);
  rig.game.OnHelp();  // help leaves the clocks alone
  EXPECT_EQ(std::tuple(seen, rig.Clocks()), std::tuple(Texts(4, "none"), "man"));

  // Holds nest: each must end before the clock runs again.
  rig.game.OnFocusLost(), rig.game.SuspendClocks();
  rig.game.OnFocusLost(), rig.game.OnFocusBack(), rig.game.OnFocusBack();  // no loss to end
  EXPECT_EQ(rig.Clocks(), "none");
  rig.game.ResumeClocks();
  EXPECT_EQ(rig.Clocks(), "man");

  // Minimising hides companions, message, caption; restoring returns just those, background anew.
  for (int tick = 0; tick <= 6; ++tick) rig.game.OnHumanClock();
  rig.game.ShowMessage("hello");
  const int prepared = rig.screen.prepareBackground;
  const auto shown = [&] {
    return std::tuple(rig.screen.companionsVisible, rig.screen.messageVisible, rig.screen.caption,
                      rig.Clocks(), rig.screen.prepareBackground - prepared);
  };
  rig.game.OnMinimised();
  rig.game.OnMinimised();
  EXPECT_EQ(shown(), std::tuple(false, false, "Pyra3", "none", 0));
  rig.game.OnRestored();
  EXPECT_EQ(shown(), std::tuple(true, true, "あと1秒です。", "man", 1));
  rig.screen.HideMessage();
  rig.game.OnMinimised();
  rig.game.OnRestored();
  EXPECT_FALSE(rig.screen.messageVisible);

  // A game started under a hold runs only its own clock once the hold ends.
  rig.SetPlayers(true, false);
  rig.game.SuspendClocks();
  rig.game.RestartFromSettings();
  rig.game.ResumeClocks();
  EXPECT_EQ(std::tuple(rig.Clocks(), rig.dialogs.Texts().back()),
            std::tuple("com", "一番勝負です。頑張りましょう。"));
}

TEST(Pause, HoldsTheGameAndBringsBackExactlyWhatWasThere) {
  for (bool messageShowing : {true, false}) {
    PlayingRig rig;
    rig.game.OnHumanClock(), rig.game.OnHumanClock();
    if (messageShowing) rig.game.ShowMessage("三番勝負です。");
    const auto board = rig.state.board;
    rig.game.OnPause();
    auto& menu = rig.screen.menuVisible;
    const auto items = [&] {
      return std::tuple(menu[MenuItem::NewGame], menu[MenuItem::Exit], menu[MenuItem::Separator]);
    };
    EXPECT_EQ(
        std::tuple(rig.screen.pauseCaption, rig.screen.message, items(), rig.Clocks()),
        std::tuple("再開(&R&ｽ)", "ゲームを再開するには\nｹﾞｰﾑ(G)-再開(R)を\n選択してください。",
                   std::tuple(false, false, false), "none"));
    // Keys, clicks and ticks do nothing while paused.
    rig.game.OnKey(32), rig.game.OnKey(27);
    rig.game.OnMouseRelease(MouseButton::Left, 5, 5), rig.game.OnHumanClock();
    EXPECT_EQ(std::tuple(rig.state.board == board, rig.game.Closing()), std::tuple(true, false));
    rig.game.OnPause();
    EXPECT_EQ(std::tuple(rig.screen.pauseCaption, items(), rig.Clocks(), rig.game.HumanTicks(),
                         rig.screen.messageVisible ? rig.screen.message : "hidden"),
              std::tuple("中断(&P&ｾ)", std::tuple(true, true, true), "man", 2,
                         messageShowing ? "三番勝負です。" : "hidden"));
    // A new game asked for while paused resumes first.
    rig.game.OnPause();
    rig.game.OnMouseRelease(MouseButton::Right, 5, 5);
    rig.game.RestartFromSettings();
    EXPECT_EQ(std::tuple(rig.game.Paused(), menu[MenuItem::NewGame]), std::tuple(false, true));
  }
  // The pause item is there only while a real game runs.
  LoadedRig rig(1, 1);
  rig.game.OnPause();
  EXPECT_FALSE(rig.game.Paused());
  rig.dialogs.answers = {MsgAnswer::Ok, MsgAnswer::No};
  rig.game.OnNewGame();
  rig.EndGameWith(SideA);
  EXPECT_FALSE(rig.screen.menuVisible[MenuItem::Pause]);
}

// Series: each row's results (A, B, D draw) on the 1 x 1 board; go-on as scripted, closing No.
TEST(Series, EveryFormatEndsWhenItShouldWithItsOpeners) {
  constexpr int A = 0, B = 1, D = -1;
  // Format, results, answers to the go-on question and who had won when it came, openers.
  using Ints = std::vector<int>;
  const std::tuple<int, Ints, std::vector<MsgAnswer>, std::string, Ints> cases[] = {
      {0, {A}, {}, "", {A}},
      {1, {A, A}, {MsgAnswer::No}, "A", {A, A}},
      {1, {A, A, B}, {MsgAnswer::Yes}, "A", {A, A, B}},
      {1, {D, A, B}, {}, "", {A, A, B}},
      {2, {A, A, A, B, B}, {MsgAnswer::Yes}, "A", {A, A, B, A, B}},
      {3, {B, B, B, B}, {MsgAnswer::No}, "B", {A, A, B, A}},
      {4, {A, B, A, B, A, B, A, B, D}, {}, "", {A, A, B, A, B, A, B, A, B}},
      {5, {A, D, D, B, A}, {}, "", {A, A, B, A, B}},
      {6, {A, A, A, B, B, B, D, A}, {}, "", {A, A, B, A, B, A, B, A}},
      {7, {B, B, B, B, B, B}, {}, "", {A, A, B, A, B, A}},
      {9, std::vector<int>(10, B), {}, "", {A, A, B, A, B, A, B, A, B, A}},
  };
  for (const auto& [format, results, goOn, asked, opened] : cases) {
    SCOPED_TRACE(format);
    Series rig(format);
    rig.dialogs.answers = {MsgAnswer::Ok};  // the announcement
    for (MsgAnswer a : goOn) rig.dialogs.answers.push_back(a);
    rig.dialogs.answers.push_back(MsgAnswer::No);
    rig.game.OnNewGame();
    Ints openers;
    for (int result : results) {
      ASSERT_NE(rig.state.turn, TurnNone) << "the series ended early";
      openers.push_back(rig.state.turn);
      rig.EndGameWith(result);
    }
    const Texts texts = rig.dialogs.Texts();
    const int questions =
        int(std::ranges::count(texts, asked + "の勝ちが決まりましたが\nゲームを続けますか？"));
    // The last box is the closing question.
    EXPECT_EQ(
        std::tuple(rig.game.Closing(), openers, rig.records.results, questions, texts.back()[0]),
        std::tuple(true, opened, std::vector<int16_t>(results.begin(), results.end()),
                   asked.empty() ? 0 : 1, '\n'));
  }
}

TEST(Series, UnlimitedPlaysOnUntilAPersonStartsTheNextGame) {
  Series rig(10);
  for (int game = 0; game < 12; ++game) {
    rig.game.OnKey(32);
    ASSERT_EQ(rig.state.turn, game % 2);
    rig.EndGameWith(SideB);
    ASSERT_EQ(rig.state.turn, TurnNone);
  }
  EXPECT_EQ(std::tuple(rig.state.wins, rig.dialogs.boxes.size(), rig.screen.message),
            std::tuple(Pair{0, 12}, 0u, "Bobの勝ち\nBob12勝0敗\nスペースキーを押してください。"));
}

TEST(Series, ResultMessagesAndQuestions) {
  // Three games of a best of five between two people: a called win, a draw, a win of B.
  Series rig(2);
  rig.game.OnNewGame();
  rig.EndGameWith(SideA, 21);
  EXPECT_EQ(rig.screen.message, "Aliceのコールド勝ち\nAlice1勝0敗\nスペースキーを押してください。");
  rig.EndGameWith(-1, 3);
  EXPECT_EQ(rig.screen.message, "引き分け\nAlice1勝,Bob0勝\nスペースキーを押してください。");
  rig.EndGameWith(SideB, 20);
  EXPECT_EQ(rig.screen.message, "Bobの勝ち\nBob1勝1敗\nスペースキーを押してください。");
  // Equal wins: the points decide, and equal points make a draw.
  EXPECT_EQ(rig.game.SeriesResultText(), "\nAliceの勝ち\n3戦1勝1敗\n得点:Alice24,Bob23");
  rig.state.seriesPoints = {23, 23};
  EXPECT_EQ(rig.game.SeriesResultText(), "\n引き分け\n3戦Alice1勝,Bob1勝\n得点:Alice23,Bob23");
  rig.state.wins = {1, 2};
  rig.state.seriesPoints = {17, -3};
  EXPECT_EQ(rig.game.SeriesResultText(), "\nBobの勝ち\n3戦2勝1敗\n得点:Bob-3,Alice17");
  // Names fall back to the letters when they are alike or empty.
  rig.state.wins = {2, 2};
  rig.state.seriesPoints = {17, 23};
  rig.settings.names[1].text = "Alice";
  EXPECT_EQ(rig.game.SeriesResultText(), "\nBの勝ち\n3戦2勝2敗\n得点:B23,A17");
  rig.settings.names[1].text = "";
  EXPECT_EQ(std::tuple(rig.game.DisplayName(SideA), rig.game.DisplayName(SideB)),
            std::tuple(std::string("Alice"), std::string("B")));

  // With the computer each next game is announced; after No to going on, a closing Yes: new series.
  LoadedRig solo(1, 1);
  solo.settings.series = SeriesFormat::FromNumber(1);
  solo.dialogs.answers = {MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::No, MsgAnswer::Yes};
  solo.game.OnNewGame();
  for (int game = 0; game < 2; ++game) solo.EndGameWith(SideA);
  EXPECT_EQ(solo.dialogs.Texts(),
            (Texts{"三番勝負です。頑張りましょう。", "次は第2試合です。\n頑張りましょう。",
                   "Aの勝ちが決まりましたが\nゲームを続けますか？",
                   "\nAliceの勝ち\n2戦2勝0敗\n得点:Alice10,コンピュータ0\nもう一度プレーしますか？",
                   "三番勝負です。頑張りましょう。"}));
  EXPECT_EQ(
      std::tuple(solo.dialogs.boxes[3].buttons, solo.dialogs.boxes[3].icon, solo.game.Closing(),
                 solo.state.gamesPlayed, solo.state.turn, solo.records.results),
      std::tuple(MsgButtons::YesNo, MsgIcon::Question, false, 0, SideA,
                 std::vector<int16_t>{0, 0}));
  // The No to going on was for the old series: the new one plays its games.
  solo.EndGameWith(SideA);
  EXPECT_EQ(solo.dialogs.Texts().back(), "次は第2試合です。\n頑張りましょう。");

  // A lead over twenty is a called win for either side; a one-game series shows no result message.
  for (const auto& [side, lead, format, shown] : {std::tuple(SideA, 20, 1, "Aliceの勝ち"),
                                                  {SideB, 21, 1, "Bobのコールド勝ち"},
                                                  {SideB, 21, 0, ""}}) {
    Series people(format);
    people.game.OnNewGame();
    people.EndGameWith(side, int16_t(lead));
    EXPECT_EQ(people.screen.message.substr(0, people.screen.message.find('\n')), shown);
  }
}

TEST(Moves, NoMoveStartsInsideAnotherMove) {
  // The move that ends a series opens the next one from its closing question; a click while
  // the new series is announced is part of that move's time and must not place a piece.
  PlayingRig rig(1, 1);
  rig.dialogs.whileOpen = [&] {
    if (rig.dialogs.boxes.size() == 3) rig.game.OnMouseRelease(MouseButton::Left, 5, 5);
  };
  rig.EndGameWith(SideA);
  EXPECT_EQ(std::tuple(rig.dialogs.boxes.size(), rig.records.results.size(), rig.state.board[0],
                       rig.state.turn),
            std::tuple(3u, 1u, Empty, SideA));
  // A click and a space bar while a board is set up start a newer game; the older set-up gives way.
  LoadedRig again;
  again.screen.pendingEvents = [&] {
    again.screen.pendingEvents = nullptr;
    again.game.OnMouseRelease(MouseButton::Right, 0, 0);
    again.game.OnKey(32);
  };
  again.game.OnNewGame();
  EXPECT_EQ(std::tuple(again.screen.reveals, again.dialogs.boxes.size(), again.Clocks()),
            std::tuple(1, 1u, "man"));
}

TEST(Demo, PlaysUntilARealGameAndLeavesNoTrace) {
  for (bool automatic : {true, false}) {
    GameRig rig;
    rig.SetBoard(2, 1), rig.settings.Set(Switch::OpeningDemo, true);
    rig.settings.level = automatic ? Level::Automatic : Level::Strongest;
    rig.game.Start(false, true);
    // Clicks do nothing; the space bar before the first computer move only resets a series.
    rig.game.OnMouseRelease(MouseButton::Left, 5, 5);
    rig.state.wins = {1, 1};
    rig.game.OnKey(32);
    EXPECT_EQ(std::tuple(rig.state.demoMode, rig.state.wins), std::tuple(true, Pair{0, 0}));
    // Demo games come one after another without a word, a record or a count.
    for (int move = 0; move < 40; ++move) rig.game.OnComputerClock();
    EXPECT_EQ(std::tuple(rig.state.demoMode, rig.dialogs.Texts(), rig.records.results.size(),
                         rig.state.gamesPlayed > 1, rig.screen.scoreCaption[0].find("Alice"),
                         rig.screen.menuVisible[MenuItem::Pause]),
              std::tuple(true, Texts{}, 0u, true, std::string::npos, false));
    rig.ai.thinkLimit = 6, rig.ai.leadStreakA = rig.ai.leadStreakB = 2;
    rig.game.OnKey(32);
    EXPECT_EQ(std::tuple(rig.state.demoMode, rig.state.gamesPlayed, rig.state.wins,
                         rig.state.seriesPoints, rig.ai.thinkLimit, rig.computerClock.Interval(),
                         rig.Clocks(), rig.screen.scoreCaption[0], rig.ai.leadStreakA,
                         rig.ai.leadStreakB),
              std::tuple(false, 0, Pair{0, 0}, Pair{0, 0}, automatic ? 3 : 8, 500, "man",
                         ">A - Alice", 0, 0));
  }
  // A key that ends the demo while the next demo game is being set up wins: one real game.
  GameRig rig;
  rig.settings.Set(Switch::OpeningDemo, true), rig.game.Start(false, true);
  rig.state.pieceQueue[2] = Water;
  rig.game.OnComputerClock();  // the demo's one-cell board is full: the next demo game
  rig.screen.pendingEvents = [&] {
    rig.screen.pendingEvents = nullptr;
    rig.game.OnKey(32);
  };
  rig.state.pieceQueue[2] = Water;
  const int reveals = rig.screen.reveals;
  rig.game.OnComputerClock();
  EXPECT_EQ(std::tuple(rig.state.demoMode, rig.state.turn, rig.Clocks(), rig.screen.reveals),
            std::tuple(false, SideA, "man", reveals + 1));
}

TEST(Strength, TheCeilingMovesThroughPlayedGames) {
  // A person far ahead, automatic level: every fourth placement by either side raises the ceiling.
  PlayingRig rig;
  std::fill_n(rig.state.board.begin(), rig.state.CellCount(), Empty);
  const int16_t start = rig.ai.thinkLimit;
  std::vector<int16_t> ceilings;
  for (int move = 0; move < 8; ++move) {
    rig.state.score = {15, 0};
    const auto i = std::ranges::find(rig.state.board, Empty) - rig.state.board.begin();
    rig.state.pieceQueue[2] = Blocked;  // a piece that reacts with nothing
    rig.Move(int(i / 6), int(i % 6));
    ceilings.push_back(rig.ai.thinkLimit);
  }
  EXPECT_EQ(std::tuple(start, ceilings),
            std::tuple(int16_t{3}, std::vector<int16_t>{3, 3, 3, 4, 4, 4, 4, 5}));
}

TEST(Sound, CuesFollowTheEffectsBoxAndTheMusicBoxItsOwn) {
  for (auto [effects, music] : {std::pair{true, false}, {false, true}}) {
    LoadedRig rig(1, 1);
    rig.settings.Set(Switch::SoundEffects, effects), rig.settings.Set(Switch::Music, music);
    rig.game.OnNewGame();
    rig.EndGameWith(SideA);
    EXPECT_EQ(rig.sound.cues, effects ? std::vector<Cue>{Cue::Ton} : std::vector<Cue>{});
  }
}

}  // namespace
}  // namespace pyra::testing
