// The computer's valuation and choice of a cell, a person's forced move, the automatic strength.
#include "ai/computer_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "rules/board.h"
#include "rules_reference.h"

namespace pyra::testing {
namespace {

GameState RandomPosition(Random& rng, int emptyPercent) {  // any shape, wide and shallow too
  GameState s;
  const bool wide = rng.Below(4) == 0;
  s.boardCols = static_cast<int16_t>(wide ? 51 + rng.Below(20) : 1 + rng.Below(9));
  s.boardRows = static_cast<int16_t>(wide ? 1 + rng.Below(3) : 1 + rng.Below(7));
  for (int i = 0; i < s.CellCount(); ++i)
    s.board[i] = static_cast<int16_t>(rng.Below(100) < emptyPercent ? 0 : 1 + rng.Below(5));
  s.board[s.CellCount()] = Oil;  // beyond the board: must never count
  s.pieceQueue[2] = static_cast<int16_t>(1 + rng.Below(4));
  return s;
}

TEST(ComputerPlayer, ValuesAndChoicesMatchThePlainRulesOnRandomPositions) {
  Random positions(11);
  for (int n = 0; n < 1500; ++n) {
    GameState s = RandomPosition(positions, n % 2 ? 30 : 90);
    SCOPED_TRACE(::testing::Message() << "position " << n << ", " << s.boardCols << "x"
                                      << s.boardRows << ", piece " << s.pieceQueue[2]);
    for (int i = 0; i < s.CellCount(); ++i) {  // each empty cell valued as the plain rules say
      if (s.board[i] != Empty) continue;
      ASSERT_EQ(EvaluateCell(s, i), PredictValue(s, i)) << "cell " << i;
    }
    // A point lost a neighbour at most: from -7 the plain choice climbs to the lowest-valued cells.
    const std::vector<int> lowest = ReferenceComputerChoice(s, -7).cells;
    AiState ai{.thinkLimit = static_cast<int16_t>(1 + n % 8)};
    const ReferenceChoice want = ReferenceComputerChoice(s, ai.thinkLimit);
    Random rng(static_cast<uint32_t>(n));
    const int16_t cell = ChooseComputerCell(s, ai, rng), ceiling = ai.thinkLimit;
    // Out of time, a person gets a lowest-value cell (all valued 9: any cell); the ceiling stays.
    const int16_t forced = ChooseTimeoutCell(s, ai, rng);
    if (want.cells.empty()) {
      EXPECT_EQ(std::tuple(cell, forced), std::tuple(NoCell, NoCell));
      continue;
    }
    EXPECT_EQ(std::tuple(std::ranges::count(want.cells, cell), ceiling,
                         std::ranges::count(lowest, forced), ai.thinkLimit),
              std::tuple(1, want.ceiling, 1, want.ceiling))
        << "chose " << cell << ", forced " << forced;
  }
}

TEST(ComputerPlayer, TiesAreSpreadEvenly) {
  // Water, two fires: six cells by them valued 2, others 1; a ceiling below all takes the lowest.
  GameState s = MakeState({"F....", ".....", "....F"}, Water);
  for (auto [ceiling, count] : {std::pair{8, 6}, {1, 7}, {0, 7}}) {
    AiState ai{.thinkLimit = static_cast<int16_t>(ceiling)};
    Random rng(5);
    std::map<int, int> chosen;
    for (int n = 0; n < 7000; ++n) ++chosen[ChooseComputerCell(s, ai, rng)];
    EXPECT_EQ(static_cast<int>(chosen.size()), count) << "ceiling " << ceiling;
    for (auto [cell, times] : chosen) EXPECT_NEAR(times, 7000.0 / count, 250) << cell;
  }
}

TEST(ComputerPlayer, AutomaticStrengthFollowsALastingLead) {
  // Each step a hand-over at these scores: every fourth straight lead over ten moves the ceiling,
  // in 1..8; a lead of ten resets the count. Name; automatic; A, B computer; start, scores, end.
  const std::tuple<const char*, bool, bool, bool, int16_t, std::vector<Pair>, int16_t> cases[] = {
      {"A leads four times", true, false, true, 3, {{11, 0}, {11, 0}, {11, 0}, {11, 0}}, 4},
      {"three are not enough", true, false, true, 3, {{11, 0}, {11, 0}, {11, 0}}, 3},
      {"ten resets", true, false, true, 3, {{11, 0}, {11, 0}, {11, 0}, {10, 0}, {11, 0}}, 3},
      {"B leads three times", true, true, false, 5, std::vector<Pair>(3, {0, 11}), 5},
      {"level resets B", true, true, false, 5, {{0, 11}, {0, 11}, {0, 11}, {0, 0}, {0, 11}}, 5},
      {"ten resets B", true, true, false, 5, {{0, 11}, {0, 11}, {0, 11}, {0, 10}, {0, 11}}, 5},
      {"B leads four times", true, true, false, 5, std::vector<Pair>(4, {0, 11}), 4},
      {"B leads eight times", true, true, false, 3, std::vector<Pair>(8, {0, 11}), 1},
      {"never above 8", true, false, true, 8, std::vector<Pair>(4, {30, 0}), 8},
      {"never below 1", true, false, true, 1, std::vector<Pair>(4, {0, 30}), 1},
      {"strongest level", false, false, true, 3, std::vector<Pair>(4, {30, 0}), 3},
      {"two people", true, false, false, 3, std::vector<Pair>(4, {30, 0}), 3},
      {"two computers", true, true, true, 3, std::vector<Pair>(4, {30, 0}), 3},
  };
  for (const auto& [name, automatic, aComputer, bComputer, start, scores, end] : cases) {
    GameSettings o = GameSettings::Defaults();
    o.level = automatic ? Level::Automatic : Level::Strongest;
    o.players = {aComputer ? PlayerKind::Computer : PlayerKind::Human,
                 bComputer ? PlayerKind::Computer : PlayerKind::Human};
    AiState ai{.thinkLimit = start};
    GameState s;
    for (Pair score : scores) s.score = score, AdjustThinkLimit(s, ai, o);
    EXPECT_EQ(ai.thinkLimit, end) << name;
  }
}

}  // namespace
}  // namespace pyra::testing
