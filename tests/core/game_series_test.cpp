// Series in every format, their messages, and who opens each game.
#include <gtest/gtest.h>

#include "game_fakes.h"

namespace pyra::testing {
namespace {

constexpr int A = 0, B = 1, D = -1;

struct SeriesCase {
  int format;
  std::vector<int> results;     // of the games played, in order
  std::vector<MsgAnswer> goOn;  // answers to the go-on question
  int gamesAtClose;             // games played when the closing question comes
  std::string questionLeader;   // "" when the go-on question must not come
  std::vector<int> openers;
};

// Plays the results one game after another on the 1x1 board and answers No at the end.
struct SeriesRun {
  GameRig rig;
  std::vector<int> openers;
  bool closed = false;

  explicit SeriesRun(int format) {
    rig.SetPlayers(false, false);
    rig.options.SelectSeriesFormat(format);
    rig.game.Form_Load(false, true);
  }
  void Play(const std::vector<int>& results, std::vector<int16_t> winnerScores = {}) {
    rig.game.NewGame_Click();
    for (size_t i = 0; i < results.size(); ++i) {
      if (rig.state.Turn == TurnNone) break;
      openers.push_back(rig.state.Turn);
      const int16_t score = i < winnerScores.size() ? winnerScores[i] : 5;
      rig.EndGameWith(results[i], score);
    }
    closed = rig.game.closing;
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& b : rig.dialogs.boxes) texts.push_back(b.text);
    return texts;
  }
};

TEST(Series, EveryFormatEndsWhenItShould) {
  const SeriesCase cases[] = {
      {0, {A}, {}, 1, "", {A}},
      {1, {A, A}, {MsgAnswer::No}, 2, "A", {A, A}},
      {1, {A, A, B}, {MsgAnswer::Yes}, 3, "A", {A, A, B}},
      {1, {A, B, A}, {}, 3, "", {A, A, B}},
      {1, {D, A, B}, {}, 3, "", {A, A, B}},
      {2, {A, A, A, B, B}, {MsgAnswer::Yes}, 5, "A", {A, A, B, A, B}},
      {3, {B, B, B, B}, {MsgAnswer::No}, 4, "B", {A, A, B, A}},
      {4, {A, B, A, B, A, B, A, B, D}, {}, 9, "", {A, A, B, A, B, A, B, A, B}},
      {5, {A, D, D, B, A}, {}, 5, "", {A, A, B, A, B}},
      {6, {A, A, A, B, B, B, D, A}, {}, 8, "", {A, A, B, A, B, A, B, A}},
      {7, {B, B, B, B, B, B}, {}, 6, "", {A, A, B, A, B, A}},
      {8, {A, A, A, A, A, A, A, A}, {}, 8, "", {A, A, B, A, B, A, B, A}},
      {9, {A, A, A, A, A, A, A, A, A, B, B, B, B, B, B, B, B, B, B}, {}, 19, "", {}},
  };
  for (const SeriesCase& c : cases) {
    SCOPED_TRACE("format " + std::to_string(c.format));
    SeriesRun run(c.format);
    for (MsgAnswer a : c.goOn) run.rig.dialogs.answers.push_back(a);
    // The announcement box answers itself (OK); the closing question gets No.
    run.rig.dialogs.answers.push_front(MsgAnswer::Ok);
    run.rig.dialogs.answers.push_back(MsgAnswer::No);
    run.Play(c.results);
    EXPECT_TRUE(run.closed);
    EXPECT_EQ(run.rig.state.GamesPlayed, c.gamesAtClose);
    EXPECT_EQ(run.rig.records.results.size(), static_cast<size_t>(c.gamesAtClose));
    if (!c.openers.empty()) {
      EXPECT_EQ(run.openers, c.openers);
    }
    int questions = 0;
    for (const auto& text : run.BoxTexts()) {
      if (text.find("ゲームを続けますか？") != std::string::npos) {
        ++questions;
        EXPECT_EQ(text, c.questionLeader + "の勝ちが決まりましたが\nゲームを続けますか？");
      }
    }
    EXPECT_EQ(questions, c.questionLeader.empty() ? 0 : 1);
    ASSERT_FALSE(run.rig.dialogs.boxes.empty());
    const BoxRecord& last = run.rig.dialogs.boxes.back();
    EXPECT_EQ(last.buttons, MsgButtons::YesNo);
    EXPECT_EQ(last.icon, MsgIcon::Question);
    EXPECT_NE(last.text.find("もう一度プレーしますか？"), std::string::npos);
  }
}

TEST(Series, UnlimitedNeverEndsAndEveryGameIsStartedByThePlayer) {
  SeriesRun run(10);
  run.rig.game.NewGame_Click();
  std::vector<int> openers;
  const int results[] = {A, B, D, A, A};
  for (int r : results) {
    openers.push_back(run.rig.state.Turn);
    run.rig.EndGameWith(r);
    EXPECT_EQ(run.rig.state.Turn, TurnNone);
    EXPECT_NE(run.rig.screen.message.find("スペースキーを押してください。"), std::string::npos);
    run.rig.game.HandleKeyUp(KeySpace);
  }
  EXPECT_EQ(openers, (std::vector<int>{A, B, A, B, A}));
  EXPECT_TRUE(run.rig.dialogs.boxes.empty());
  EXPECT_EQ(run.rig.state.Wins, (Pair{3, 1}));
  EXPECT_EQ(run.rig.state.GamesPlayed, 5);
  EXPECT_FALSE(run.rig.game.closing);
}

TEST(Series, OtherFormatsResetTheSeriesOnTheSpaceBar) {
  SeriesRun run(2);
  run.rig.game.NewGame_Click();
  run.rig.EndGameWith(A);
  ASSERT_EQ(run.rig.state.Wins[0], 1);
  run.rig.game.Form_MouseUp(MouseButton::Right, 0, 0);
  run.rig.game.HandleKeyUp(KeySpace);
  EXPECT_EQ(run.rig.state.Wins, (Pair{0, 0}));
  EXPECT_EQ(run.rig.state.GamesPlayed, 0);
}

TEST(SeriesTexts, CalledWinThreeLines) {
  SeriesRun run(2);  // best of five: results are shown
  run.Play({A, B});
  run.rig.EndGameWith(A, 30, 9);
  EXPECT_EQ(run.rig.screen.message,
            "Aliceのコールド勝ち\nAlice2勝1敗\nスペースキーを押してください。");
  run.rig.EndGameWith(B, 29, 9);  // a lead of 20 is no called game
  EXPECT_EQ(run.rig.screen.message, "Bobの勝ち\nBob2勝2敗\nスペースキーを押してください。");
}

TEST(SeriesTexts, DrawMessage) {
  SeriesRun run(1);
  run.Play({A, B, D});
  // After the third game the closing box follows; the message window shows the draw.
  EXPECT_EQ(run.rig.screen.message, "引き分け\nAlice1勝,Bob1勝\nスペースキーを押してください。");
}

TEST(SeriesTexts, SummaryOfAWonSeries) {
  SeriesRun run(1);
  run.rig.dialogs.answers = {MsgAnswer::Ok, MsgAnswer::No};
  run.rig.game.NewGame_Click();
  run.rig.state.Score = {15, 0};
  run.rig.MoveByTurn();
  run.rig.state.Score = {0, 12};
  run.rig.MoveByTurn();
  run.rig.state.Score = {10, 0};
  run.rig.MoveByTurn();
  EXPECT_EQ(run.rig.dialogs.boxes.back().text,
            "\nAliceの勝ち\n3戦2勝1敗\n得点:Alice25,Bob12\nもう一度プレーしますか？");
}

TEST(SeriesTexts, SummaryOfADrawnSeriesAndNegativePoints) {
  {
    SeriesRun run(1);
    run.rig.dialogs.answers = {MsgAnswer::Ok, MsgAnswer::No};
    run.Play({A, B, D}, {5, 5, 3});
    EXPECT_EQ(run.rig.dialogs.boxes.back().text,
              "\n引き分け\n3戦Alice1勝,Bob1勝\n得点:Alice8,Bob8\nもう一度プレーしますか？");
  }
  {
    SeriesRun run(0);
    run.rig.dialogs.answers = {MsgAnswer::Ok, MsgAnswer::No};
    run.rig.game.NewGame_Click();
    run.rig.state.Score = {-2, -5};
    run.rig.MoveByTurn();
    EXPECT_EQ(run.rig.dialogs.boxes.back().text,
              "\nAliceの勝ち\n1戦1勝0敗\n得点:Alice-2,Bob-5\nもう一度プレーしますか？");
    EXPECT_FALSE(run.rig.screen.messageVisible);  // one-game series: no result message
  }
  {
    SeriesRun run(1);  // equal wins, more points: that side wins the series
    run.rig.dialogs.answers = {MsgAnswer::Ok, MsgAnswer::No};
    run.Play({D, A, B}, {5, 5, 9});
    EXPECT_EQ(run.rig.dialogs.boxes.back().text,
              "\nBobの勝ち\n3戦1勝1敗\n得点:Bob14,Alice10\nもう一度プレーしますか？");
  }
}

TEST(SeriesTexts, DisplayNamesFallBackToSideLetters) {
  struct Case {
    std::string a, b, expectA, expectB;
  };
  const Case cases[] = {{"Alice", "Bob", "Alice", "Bob"},
                        {"Sam", "Sam", "A", "B"},
                        {"", "Bob", "A", "Bob"},
                        {"", "", "A", "B"}};
  for (const Case& c : cases) {
    GameRig rig;
    rig.options.Combo1[0].text = c.a;
    rig.options.Combo1[1].text = c.b;
    EXPECT_EQ(rig.game.DisplayName(SideA), c.expectA);
    EXPECT_EQ(rig.game.DisplayName(SideB), c.expectB);
  }
}

TEST(SeriesTexts, NextGameBoxAgainstTheComputerAndNewSeriesOnYes) {
  GameRig rig;
  rig.SetPlayers(false, true);
  rig.options.SelectSeriesFormat(1);
  rig.game.Form_Load(false, true);
  rig.game.NewGame_Click();
  rig.EndGameWith(A);
  ASSERT_EQ(rig.dialogs.boxes.size(), 2u);
  EXPECT_EQ(rig.dialogs.boxes[1].text, "次は第2試合です。\n頑張りましょう。");
  EXPECT_EQ(rig.dialogs.boxes[1].buttons, MsgButtons::Ok);
}

TEST(SeriesTexts, StopChosenThenYesStartsANewSeries) {
  GameRig again;
  again.SetPlayers(false, true);
  again.options.SelectSeriesFormat(1);
  again.game.Form_Load(false, true);
  again.dialogs.answers = {MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::No, MsgAnswer::Yes};
  again.game.NewGame_Click();
  again.EndGameWith(A);
  again.EndGameWith(A);
  // Yes to the closing question: a new series starts at once with its announcement.
  EXPECT_FALSE(again.game.closing);
  EXPECT_EQ(again.state.GamesPlayed, 0);
  EXPECT_EQ(again.state.Wins, (Pair{0, 0}));
  EXPECT_EQ(again.state.Turn, SideA);
  EXPECT_EQ(again.dialogs.boxes.back().text, "三番勝負です。頑張りましょう。");
}

TEST(SeriesRecords, EveryRealGameIsRecordedWithItsResult) {
  SeriesRun run(10);
  run.rig.game.NewGame_Click();
  for (int r : {A, B, D}) {
    run.rig.EndGameWith(r);
    run.rig.game.HandleKeyUp(KeySpace);
  }
  EXPECT_EQ(run.rig.records.results, (std::vector<int16_t>{0, 1, -1}));
}

}  // namespace
}  // namespace pyra::testing
