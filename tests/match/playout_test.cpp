// Computer-only games via the game object, many shapes: moves as the plain rules allow and predict.
#include <gtest/gtest.h>

#include <algorithm>

#include "ai/computer_player.h"
#include "game_fakes.h"
#include "rules_reference.h"

namespace pyra::testing {
namespace {

TEST(Playout, EveryComputerMoveIsAllowedAndHasThePredictedOutcome) {
  // Only a window maximised at start-up gives over 50 columns; the board keeps that size.
  const std::pair<int, int> shapes[] = {{1, 1}, {1, 7},  {9, 1},   {2, 2},
                                        {8, 6}, {13, 9}, {50, 50}, {60, 10}};
  int moves = 0, games = 0;
  for (const auto& [cols, rows] : shapes) {
    for (uint32_t seed = 1; seed <= 4; ++seed) {
      SCOPED_TRACE(::testing::Message() << cols << "x" << rows << " seed " << seed);
      GameRig rig;
      rig.rng.Seed(seed);
      rig.SetPlayers(true, true);
      rig.settings.series = SeriesFormat::Unlimited();
      rig.SetBoard(cols, rows);
      rig.state.boardCols = static_cast<int16_t>(cols);
      rig.state.boardRows = static_cast<int16_t>(rows);
      rig.screen.normal = cols <= 50;
      rig.game.Start(false, true);
      ASSERT_EQ(rig.state.CellCount(), cols * rows);
      while (rig.state.turn != TurnNone) {
        const GameState before = rig.state;
        const ReferenceChoice allowed = ReferenceComputerChoice(before, rig.ai.thinkLimit);
        rig.game.OnComputerClock();
        const auto [column, row] = rig.screen.lastPainted;
        const int cell = column * before.boardRows + row;
        ASSERT_TRUE(std::ranges::count(allowed.cells, cell)) << "cell " << cell;
        const Expected e = Predict(before, column, row, before.pieceQueue[2]);
        ASSERT_EQ(rig.state.board, e.board) << "move " << moves;
        const int mover = before.turn;
        Pair score = before.score;
        score[mover] += e.gains - e.losses;
        // The move passes to the other side unless the game has ended.
        const bool over = IsGameOver(rig.state);
        EXPECT_EQ(std::tuple(rig.state.score, rig.screen.shownScore[mover], rig.screen.nextPieces,
                             rig.state.turn, rig.Clocks()),
                  std::tuple(score, score[mover], rig.state.pieceQueue, over ? TurnNone : 1 - mover,
                             over ? "none" : "com"));
        ++moves;
      }
      ++games;
      EXPECT_EQ(rig.records.results.size(), 1u);
    }
  }
  EXPECT_GT(moves, 3000);
}

}  // namespace
}  // namespace pyra::testing
