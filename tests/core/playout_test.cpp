// Whole games of the computer against itself on boards of every size, checked move by move
// against the rules written out independently, with some moves forced as by a person's
// time running out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "ai/computer_player.h"
#include "fake_placement_host.h"
#include "options/game_options.h"
#include "reference_rules.h"
#include "rules/board.h"
#include "rules/piece_supply.h"
#include "rules/placement.h"

namespace pyra {
namespace {

using testing::FakePlacementHost;
using testing::PredictMove;
using testing::PredictValue;

struct PlayoutStats {
  int games = 0;
  int fullBoards = 0;
  int calledGames = 0;
  int placements = 0;
  int timeouts = 0;
  int trucksPlaced = 0;
  double longestPerCell = 0;  // placements per cell of the longest game
};

// The values of every empty cell for the current piece, worked out independently.
std::vector<std::pair<int, int>> ValuedEmptyCells(const GameState& s) {
  std::vector<std::pair<int, int>> cells;  // index, value
  for (int i = 0; i < s.CellCount(); ++i) {
    if (s.Board[i] != Empty) continue;
    cells.push_back({i, PredictValue(s, i / s.BoardRows, i % s.BoardRows, s.PieceQueue[2])});
  }
  return cells;
}

bool Ended(const GameState& s) {
  bool full = true;
  for (int i = 0; i < s.CellCount(); ++i) full = full && s.Board[i] != Empty;
  return full || std::abs(s.Score[0] - s.Score[1]) > 20;
}

// One game on a cols x rows board; `driver` makes the harness's own choices.
void PlayOneGame(int cols, int rows, GameState& s, AiState& ai, Random& rng, Random& driver,
                 PlayoutStats& stats) {
  SCOPED_TRACE(::testing::Message() << "board " << cols << "x" << rows << ", game " << stats.games);
  s.BoardCols = static_cast<int16_t>(cols);
  s.BoardRows = static_cast<int16_t>(rows);
  NewBoard(s, rng);
  s.Score = {0, 0};
  s.Turn = static_cast<int16_t>(driver.Below(2));
  AdvanceQueue(s, rng);  // the queue carries over from the last game, as in play
  ai.ThinkLimit = static_cast<int16_t>(1 + driver.Below(8));
  ai.LeadStreakA = ai.LeadStreakB = 0;

  // A person plays one side (whose time sometimes runs out), so that the automatic level
  // moves the ceiling as well.
  const int personSide = driver.Below(2);
  GameOptions options = GameOptions::Defaults();
  options.SetPlayerKind(personSide, false);
  options.SetPlayerKind(1 - personSide, true);
  options.Option3 = {driver.Below(4) != 0, false};
  // In half the games the person's time sometimes runs out; those games are short.
  const bool forcedMoves = driver.Below(2) == 0;
  const int timeoutOneIn = 2 + driver.Below(6);

  FakePlacementHost host(s);
  host.onHandOverTurn = [&](GameState& g) {
    g.Turn = static_cast<int16_t>(1 - g.Turn);
    AdjustThinkLimit(g, ai, options);
  };
  host.onFinishGame = [](GameState& g) {
    g.Turn = TurnNone;
    return true;
  };

  const int cells = cols * rows;
  const int limit = 3 * cells + 50;
  int placements = 0;
  while (s.Turn != TurnNone) {
    ASSERT_LT(placements, limit) << "the game does not end";
    const GameState before = s;
    const int mover = s.Turn;
    const int16_t piece = s.PieceQueue[2];
    ASSERT_GE(piece, Fire);
    ASSERT_LE(piece, Truck);
    if (piece == Truck) {
      ASSERT_LT(before.Score[mover] + 10, before.Score[1 - mover])
          << "a truck reached a side that is not behind";
      ++stats.trucksPlaced;
    }
    const auto valued = ValuedEmptyCells(before);
    ASSERT_FALSE(valued.empty()) << "a running game always has an empty cell";
    const int16_t limitBefore = ai.ThinkLimit;

    const bool timeout = forcedMoves && mover == personSide && driver.Below(timeoutOneIn) == 0;
    host.Clear();
    if (timeout) {
      TimeoutMove(s, ai, rng, host);
      ++stats.timeouts;
    } else {
      ComputerMove(s, ai, rng, host);
    }
    ++placements;

    // The placed piece's last frame names the target.
    ASSERT_FALSE(host.paints.empty()) << "the move was refused";
    const int column = host.paints.back().column;
    const int row = host.paints.back().row;
    const int target = column * rows + row;
    ASSERT_EQ(before.Board[target], Empty);

    // The cell chosen has the value the rules call for.
    int chosenValue = 0;
    int lowest = 100;
    int bestAllowed = -100;
    for (const auto& [index, value] : valued) {
      if (index == target) chosenValue = value;
      lowest = std::min(lowest, value);
      if (value <= limitBefore) bestAllowed = std::max(bestAllowed, value);
    }
    if (timeout) {
      ASSERT_EQ(chosenValue, lowest);
    } else {
      ASSERT_EQ(chosenValue, bestAllowed != -100 ? bestAllowed : lowest)
          << "ceiling " << limitBefore;
    }
    ASSERT_GE(ai.ThinkLimit, 1);
    ASSERT_LE(ai.ThinkLimit, 9);

    // Board, score and cues against the independent account of the move.
    const auto expected = PredictMove(before, column, row, piece);
    for (int i = 0; i < cells; ++i) {
      const int16_t code = s.Board[i];
      ASSERT_TRUE(code == Empty || code == Fire || code == Oil || code == Water || code == Blocked)
          << "code " << code << " left at " << i;
      if (before.Board[i] == Blocked) {
        ASSERT_EQ(code, Blocked) << "a Blocked cell changed";
      }
      ASSERT_EQ(code, expected.board[i]) << "cell " << i / rows << "," << i % rows;
    }
    ASSERT_EQ(s.Score[mover] - before.Score[mover], expected.gains - expected.losses);
    ASSERT_EQ(s.Score[1 - mover], before.Score[1 - mover]);
    ASSERT_EQ(host.cues, expected.cues);

    ASSERT_GE(s.PieceQueue[2], Fire);
    ASSERT_LE(s.PieceQueue[2], Truck);
    for (int e = 0; e < 2; ++e) {
      const int16_t q = s.PieceQueue[e];
      ASSERT_TRUE((q >= Fire && q <= Truck) || q == HeldTruck) << "queue entry " << e << ": " << q;
    }

    if (Ended(s)) {
      ASSERT_EQ(host.Count("finish"), 1);
      ASSERT_EQ(host.Count("hand over"), 0);
      ASSERT_EQ(s.Turn, TurnNone);
    } else {
      ASSERT_EQ(host.Count("finish"), 0);
      ASSERT_EQ(host.Count("hand over"), 1);
      ASSERT_EQ(s.Turn, 1 - mover);
    }
  }

  bool full = true;
  for (int i = 0; i < cells; ++i) full = full && s.Board[i] != Empty;
  if (full) {
    ++stats.fullBoards;
  } else {
    ASSERT_GT(std::abs(s.Score[0] - s.Score[1]), 20);
    ++stats.calledGames;
  }
  ++stats.games;
  stats.placements += placements;
  stats.longestPerCell = std::max(stats.longestPerCell, double(placements) / cells);
}

void Report(const PlayoutStats& st) {
  std::printf(
      "%d games: %d full, %d called; %d placements, %d forced, %d trucks; longest game "
      "%.2f placements per cell\n",
      st.games, st.fullBoards, st.calledGames, st.placements, st.timeouts, st.trucksPlaced,
      st.longestPerCell);
}

class Playout : public ::testing::TestWithParam<uint32_t> {};

TEST_P(Playout, RandomBoardSizes) {
  const uint32_t seed = GetParam();
  GameState s;
  AiState ai;
  Random rng(seed);
  Random driver(seed * 7919u + 1);
  PlayoutStats stats;
  for (int game = 0; game < 60; ++game) {
    const int cols = 1 + driver.Below(50);
    const int rows = 1 + driver.Below(50);
    PlayOneGame(cols, rows, s, ai, rng, driver, stats);
    if (::testing::Test::HasFatalFailure()) return;
  }
  Report(stats);
  EXPECT_GT(stats.fullBoards, 0);
  EXPECT_GT(stats.calledGames, 0);
  EXPECT_GT(stats.timeouts, 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, Playout, ::testing::Values(1u, 2u, 3u, 4u, 5u));

TEST(Playout, ExtremeBoardShapes) {
  const int shapes[][2] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {1, 50}, {50, 1}, {3, 50}, {50, 50}};
  GameState s;
  AiState ai;
  Random rng(123);
  Random driver(456);
  PlayoutStats stats;
  for (int round = 0; round < 4; ++round) {
    for (const auto& shape : shapes) {
      PlayOneGame(shape[0], shape[1], s, ai, rng, driver, stats);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
  Report(stats);
  EXPECT_EQ(stats.games, 32);
}

}  // namespace
}  // namespace pyra
