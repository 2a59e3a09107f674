// The computer's choice of cell, the forced move of a person out of time and the automatic
// playing strength.
#include "ai/computer_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fake_placement_host.h"
#include "options/game_options.h"
#include "reference_rules.h"
#include "rules/board.h"
#include "rules/piece_supply.h"
#include "test_boards.h"

namespace pyra {
namespace {

using testing::FakePlacementHost;
using testing::MakeState;
using testing::PaintText;
using testing::PredictMove;

// ---------------------------------------------------------------------------------------
// Cell values.

struct ValueCase {
  const char* name;
  std::vector<std::string> picture;
  int16_t piece;
  int column, row;
  int value;
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.name; }

GameState FromLines(const std::vector<std::string>& lines, int16_t piece) {
  GameState s;
  s.BoardRows = static_cast<int16_t>(lines.size());
  s.BoardCols = static_cast<int16_t>(lines[0].size());
  for (int r = 0; r < s.BoardRows; ++r) {
    for (int c = 0; c < s.BoardCols; ++c)
      s.Board[c * s.BoardRows + r] = testing::CodeOf(lines[r][c]);
  }
  s.PieceQueue = {Water, Oil, piece};
  s.Turn = SideA;
  return s;
}

class EvaluateCellExamples : public ::testing::TestWithParam<ValueCase> {};

TEST_P(EvaluateCellExamples, IsOneMoreThanThePointsScored) {
  const ValueCase& k = GetParam();
  const GameState s = FromLines(k.picture, k.piece);
  EXPECT_EQ(EvaluateCell(s, CellIndex(s, k.column, k.row)), k.value);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, EvaluateCellExamples,
    ::testing::Values(ValueCase{"FireByTwoWaterOneOil", {"W.W", "...", "O.."}, Fire, 1, 1, 2},
                      ValueCase{"TruckByThreeOil", {"OOO", "...", "..."}, Truck, 1, 1, 4},
                      ValueCase{"TruckIgnoresFireAndWater", {"FWF", "W.W", "FWF"}, Truck, 1, 1, 1},
                      ValueCase{"OilByThreeFires", {"F.F", "...", ".F."}, Oil, 1, 1, -2},
                      ValueCase{"OilIgnoresWater", {"WWW", "W.W", "WWW"}, Oil, 1, 1, 1},
                      ValueCase{"WaterByEightFires", {"FFF", "F.F", "FFF"}, Water, 1, 1, 9},
                      ValueCase{"FireByEightOil", {"OOO", "O.O", "OOO"}, Fire, 1, 1, -7},
                      ValueCase{"FireByEightWater", {"WWW", "W.W", "WWW"}, Fire, 1, 1, 9},
                      ValueCase{"NothingReacts", {"BFB", "T.H", "B.B"}, Fire, 1, 1, 1},
                      ValueCase{"WaterIgnoresOilAndBlocked", {"OBO", "B.B", "OBO"}, Water, 1, 1, 1},
                      ValueCase{"CornerHasThree", {".FF", "FFF", "FFF"}, Water, 0, 0, 4},
                      ValueCase{"FarCornerHasThree", {"FFF", "FFF", "FF."}, Water, 2, 2, 4},
                      ValueCase{"EdgeHasFive", {"F.F", "FFF", "FFF"}, Water, 1, 0, 6},
                      ValueCase{"LeftEdgeHasFive", {"FFF", ".FF", "FFF"}, Water, 0, 1, 6},
                      ValueCase{"OneColumn", {"F", ".", "F"}, Water, 0, 1, 3},
                      ValueCase{"OneRow", {"O.O"}, Truck, 1, 0, 3},
                      ValueCase{"OneCell", {"."}, Water, 0, 0, 1},
                      // Column-major indices must not wrap from the bottom of a column to the top
                      // of the next one, nor the other way.
                      ValueCase{
                          "BottomRowDoesNotWrap", {"..F..", ".....", "....."}, Water, 1, 2, 1},
                      ValueCase{"TopRowDoesNotWrap", {".....", ".....", ".F..."}, Water, 2, 0, 1}),
    [](const ::testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

// A random position of a random size with a random current piece.
GameState RandomPosition(Random& rng, int maxSide) {
  GameState s;
  s.BoardCols = static_cast<int16_t>(1 + rng.Below(maxSide));
  s.BoardRows = static_cast<int16_t>(1 + rng.Below(maxSide));
  static constexpr int16_t codes[] = {Empty, Empty, Empty, Fire, Oil, Water, Blocked};
  for (int i = 0; i < s.CellCount(); ++i) s.Board[i] = codes[rng.Below(7)];
  s.PieceQueue = {Fire, Fire, static_cast<int16_t>(1 + rng.Below(4))};
  s.Turn = static_cast<int16_t>(rng.Below(2));
  return s;
}

TEST(EvaluateCell, AgreesWithWhatThePlacementThenScores) {
  Random rng(31);
  int cellsChecked = 0;
  for (int round = 0; round < 300; ++round) {
    const GameState s = RandomPosition(rng, 9);
    for (int i = 0; i < s.CellCount(); ++i) {
      if (s.Board[i] != Empty) continue;
      const int c = CellColumn(s, i);
      const int r = CellRow(s, i);
      const auto predicted = PredictMove(s, c, r, s.PieceQueue[2]);
      ASSERT_EQ(EvaluateCell(s, i), predicted.gains - predicted.losses + 1)
          << "cell " << c << "," << r << " piece " << s.PieceQueue[2];
      GameState played = s;
      Random moveRng(1);
      FakePlacementHost host(played);
      PlacePiece(played, moveRng, host, static_cast<int16_t>(c), static_cast<int16_t>(r));
      ASSERT_EQ(played.Score[s.Turn] - s.Score[s.Turn], EvaluateCell(s, i) - 1);
      ++cellsChecked;
    }
  }
  EXPECT_GT(cellsChecked, 1000);
}

// ---------------------------------------------------------------------------------------
// The computer's choice.

// Values with Water to place: (1,1) is 9, (3,1) is 4, the six cells of columns 4 and 5
// are 1.
const std::vector<std::string> kCeilingBoard = {"FFFB..", "F.F...", "FFFB.."};

struct CeilingCase {
  int16_t thinkLimit;
  std::set<std::pair<int, int>> allowed;
  int16_t thinkLimitAfter;
};

class ComputerCeiling : public ::testing::TestWithParam<CeilingCase> {};

TEST_P(ComputerCeiling, TakesTheBestCellNotAboveTheCeilingAndSpreadsOverTies) {
  const CeilingCase& k = GetParam();
  const GameState s = FromLines(kCeilingBoard, Water);
  std::set<std::pair<int, int>> hit;
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    AiState ai;
    ai.ThinkLimit = k.thinkLimit;
    Random rng(seed);
    const int16_t i = ChooseComputerCell(s, ai, rng);
    ASSERT_NE(i, NoCell);
    const std::pair<int, int> cell{CellColumn(s, i), CellRow(s, i)};
    ASSERT_TRUE(k.allowed.count(cell)) << "took " << cell.first << "," << cell.second;
    ASSERT_EQ(ai.ThinkLimit, k.thinkLimitAfter);
    hit.insert(cell);
  }
  EXPECT_EQ(hit, k.allowed) << "every tied cell should be taken sometimes";
}

const std::set<std::pair<int, int>> kOnes = {{4, 0}, {4, 1}, {4, 2}, {5, 0}, {5, 1}, {5, 2}};

INSTANTIATE_TEST_SUITE_P(Limits, ComputerCeiling,
                         ::testing::Values(CeilingCase{1, kOnes, 1}, CeilingCase{3, kOnes, 3},
                                           CeilingCase{4, {{3, 1}}, 4}, CeilingCase{8, {{3, 1}}, 8},
                                           CeilingCase{9, {{1, 1}}, 9}));

TEST(ComputerChoice, CeilingRisesToTheLowestValueAndStays) {
  // Water to place: (1,1) is worth 8, (3,1) 6; nothing is worth 5 or less.
  const GameState s = FromLines({"FFFFF", "F.F.F", "FFBBB"}, Water);
  AiState ai;
  ai.ThinkLimit = 1;
  Random rng(2);
  EXPECT_EQ(ChooseComputerCell(s, ai, rng), CellIndex(s, 3, 1));
  EXPECT_EQ(ai.ThinkLimit, 6);
  EXPECT_EQ(ChooseComputerCell(s, ai, rng), CellIndex(s, 3, 1));
  EXPECT_EQ(ai.ThinkLimit, 6) << "the raised ceiling is kept, not raised again";
  ai.ThinkLimit = 7;
  EXPECT_EQ(ChooseComputerCell(s, ai, rng), CellIndex(s, 3, 1));
  EXPECT_EQ(ai.ThinkLimit, 7);
  ai.ThinkLimit = 8;
  EXPECT_EQ(ChooseComputerCell(s, ai, rng), CellIndex(s, 1, 1));
}

TEST(ComputerChoice, CellWorthNineIsTakenOnlyWhenNothingElseIsLeft) {
  const GameState s = FromLines({"FFF", "F.F", "FFF"}, Water);
  for (int16_t limit : {int16_t{1}, int16_t{3}, int16_t{8}}) {
    AiState ai;
    ai.ThinkLimit = limit;
    Random rng(3);
    EXPECT_EQ(ChooseComputerCell(s, ai, rng), CellIndex(s, 1, 1));
    EXPECT_EQ(ai.ThinkLimit, 9);
  }
}

TEST(ComputerChoice, AllTiedCellsAreEquallyLikely) {
  // Oil with no fire anywhere: every empty cell is worth 1.
  const GameState s = FromLines({"..W.", "B...", "...O"}, Oil);
  std::map<int, int> count;
  constexpr int searches = 9000;
  AiState ai;
  ai.ThinkLimit = 3;
  Random rng(77);
  for (int n = 0; n < searches; ++n) ++count[ChooseComputerCell(s, ai, rng)];
  ASSERT_EQ(count.size(), 9u) << "only the nine empty cells, each of them";
  const double p = 1.0 / 9;
  const double sigma = std::sqrt(searches * p * (1 - p));
  for (const auto& [cell, n] : count) {
    EXPECT_EQ(s.Board[cell], Empty);
    EXPECT_NEAR(n, searches * p, 5 * sigma) << "cell " << cell;
  }
}

TEST(ComputerChoice, MatchesTheBestValueNotAboveTheCeilingOnRandomPositions) {
  Random rng(404);
  int raised = 0;
  for (int round = 0; round < 2000; ++round) {
    const GameState s = RandomPosition(rng, 12);
    std::vector<int> values;
    for (int i = 0; i < s.CellCount(); ++i) {
      if (s.Board[i] != Empty) continue;
      const auto m = PredictMove(s, CellColumn(s, i), CellRow(s, i), s.PieceQueue[2]);
      values.push_back(m.gains - m.losses + 1);
    }
    AiState ai;
    ai.ThinkLimit = static_cast<int16_t>(1 + rng.Below(9));
    const int16_t limit = ai.ThinkLimit;
    const GameState before = s;
    const int16_t i = ChooseComputerCell(s, ai, rng);
    ASSERT_EQ(s.Board, before.Board);
    if (values.empty()) {
      ASSERT_EQ(i, NoCell);
      ASSERT_EQ(ai.ThinkLimit, limit);
      continue;
    }
    ASSERT_GE(i, 0);
    ASSERT_LT(i, s.CellCount());
    ASSERT_EQ(s.Board[i], Empty);
    const auto m = PredictMove(s, CellColumn(s, i), CellRow(s, i), s.PieceQueue[2]);
    const int chosen = m.gains - m.losses + 1;
    int bestAllowed = -100;
    for (int v : values) {
      if (v <= limit) bestAllowed = std::max(bestAllowed, v);
    }
    if (bestAllowed != -100) {
      ASSERT_EQ(chosen, bestAllowed);
      ASSERT_EQ(ai.ThinkLimit, limit);
    } else {
      const int lowest = *std::min_element(values.begin(), values.end());
      ASSERT_EQ(chosen, lowest);
      ASSERT_EQ(ai.ThinkLimit, lowest);
      ++raised;
    }
  }
  EXPECT_GT(raised, 0) << "some positions should need a higher ceiling";
}

// ---------------------------------------------------------------------------------------
// The forced move of a person out of time.

TEST(TimeoutChoice, TakesALowestValuedCellAtRandom) {
  struct Case {
    std::vector<std::string> picture;
    int16_t piece;
    std::set<std::pair<int, int>> lowest;
  };
  const Case cases[] = {
      {kCeilingBoard, Water, kOnes},
      // Oil beside fires loses: (1,0) and (1,1) touch both fires.
      {{"F.F", "...", "..."}, Oil, {{1, 0}, {1, 1}}},
      // A cell worth 8 beats one worth 9.
      {{"FFFFF", "F.F.F", "FFFBF"}, Water, {{3, 1}}},
      // Nothing below 9: the forced move still takes an empty cell.
      {{"FFF", "F.F", "FFF"}, Water, {{1, 1}}},
      {{"FFFFF", "F.FFF", "FFFFF", "FFF.F", "FFFFF"}, Water, {{1, 1}, {3, 3}}},
  };
  for (const Case& k : cases) {
    const GameState s = FromLines(k.picture, k.piece);
    std::set<std::pair<int, int>> hit;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
      AiState ai;
      ai.ThinkLimit = 3;
      Random rng(seed);
      const int16_t i = ChooseTimeoutCell(s, ai, rng);
      ASSERT_NE(i, NoCell);
      const std::pair<int, int> cell{CellColumn(s, i), CellRow(s, i)};
      ASSERT_TRUE(k.lowest.count(cell))
          << k.picture[0] << ": took " << cell.first << "," << cell.second;
      ASSERT_EQ(ai.ThinkLimit, 3) << "the forced move does not touch the ceiling";
      hit.insert(cell);
    }
    EXPECT_EQ(hit, k.lowest) << k.picture[0];
  }
}

// ---------------------------------------------------------------------------------------
// Moves.

struct RecordingScene {
  GameState s;
  AiState ai;
  Random rng{9};
  FakePlacementHost host{s};
  explicit RecordingScene(GameState start) : s(start) {}
};

TEST(Moves, FullBoardGivesNoCellAndARefusedPlacement) {
  for (const bool timeout : {false, true}) {
    RecordingScene k(FromLines({"FOWB", "OWBF"}, Water));
    k.ai.ThinkLimit = 3;
    EXPECT_EQ(ChooseComputerCell(k.s, k.ai, k.rng), NoCell);
    EXPECT_EQ(ChooseTimeoutCell(k.s, k.ai, k.rng), NoCell);
    EXPECT_EQ(k.ai.ThinkLimit, 3) << "no ceiling is raised for a board without empty cells";
    const GameState before = k.s;
    if (timeout) {
      TimeoutMove(k.s, k.ai, k.rng, k.host);
    } else {
      ComputerMove(k.s, k.ai, k.rng, k.host);
    }
    EXPECT_EQ(k.s.Board, before.Board);
    EXPECT_EQ(k.s.Score, before.Score);
    EXPECT_EQ(k.s.PieceQueue, before.PieceQueue);
    // The board is full, so the end test that every call makes is true.
    EXPECT_EQ(k.host.trace, (std::vector<std::string>{"caption", "finish"}));
  }
}

TEST(Moves, BoardWithoutCellsGivesNoCell) {
  // The start-up board of a window smaller than a cell has no cells at all.
  GameState s;
  s.PieceQueue = {Fire, Fire, Water};
  AiState ai;
  ai.ThinkLimit = 2;
  Random rng(1);
  EXPECT_EQ(ChooseComputerCell(s, ai, rng), NoCell);
  EXPECT_EQ(ChooseTimeoutCell(s, ai, rng), NoCell);
  EXPECT_EQ(ai.ThinkLimit, 2);
}

TEST(Moves, PlaceTheChosenCellByColumnAndRow) {
  // The only empty cell is column 3, row 1 of a board wider than it is high.
  for (const bool timeout : {false, true}) {
    RecordingScene k(FromLines({"OOOOO", "OOO.O", "OOOOO"}, Water));
    if (timeout) {
      TimeoutMove(k.s, k.ai, k.rng, k.host);
    } else {
      ComputerMove(k.s, k.ai, k.rng, k.host);
    }
    EXPECT_EQ(k.s.Board[CellIndex(k.s, 3, 1)], Water);
    ASSERT_FALSE(k.host.paints.empty());
    EXPECT_EQ(k.host.trace.front(), PaintText(3, 1, 16, Water));
    EXPECT_EQ(k.host.Count("hand over"), 1);
  }
}

TEST(Moves, TimeoutMoveTakesTheWorstCellForThePiece) {
  // Oil: the cell between the fires loses 2.
  RecordingScene k(FromLines({"F.F.."}, Oil));
  TimeoutMove(k.s, k.ai, k.rng, k.host);
  EXPECT_EQ(k.s.Score[SideA], -2);
  EXPECT_EQ(k.s.Board[CellIndex(k.s, 1, 0)], Fire);
}

// ---------------------------------------------------------------------------------------
// The automatic level.

GameOptions Players(bool aComputer, bool bComputer, bool automatic) {
  GameOptions o = GameOptions::Defaults();
  o.SetPlayerKind(SideA, aComputer);
  o.SetPlayerKind(SideB, bComputer);
  o.Option3 = {automatic, !automatic};
  return o;
}

struct StreakStep {
  int16_t scoreA, scoreB;
  int16_t thinkLimit, streakA, streakB;  // after the call
};

struct StreakCase {
  const char* name;
  int16_t thinkLimit, streakA, streakB;  // before the first call
  std::vector<StreakStep> steps;
};

void PrintTo(const StreakCase& c, std::ostream* os) { *os << c.name; }

class AdjustThinkLimitStreaks : public ::testing::TestWithParam<StreakCase> {};

TEST_P(AdjustThinkLimitStreaks, FollowTheLastingLead) {
  const StreakCase& k = GetParam();
  for (const bool computerIsB : {true, false}) {
    const GameOptions options = Players(!computerIsB, computerIsB, true);
    GameState s;
    AiState ai;
    ai.ThinkLimit = k.thinkLimit;
    ai.LeadStreakA = k.streakA;
    ai.LeadStreakB = k.streakB;
    int n = 0;
    for (const StreakStep& step : k.steps) {
      ++n;
      s.Score = {step.scoreA, step.scoreB};
      AdjustThinkLimit(s, ai, options);
      EXPECT_EQ(ai.ThinkLimit, step.thinkLimit) << "after call " << n;
      EXPECT_EQ(ai.LeadStreakA, step.streakA) << "after call " << n;
      EXPECT_EQ(ai.LeadStreakB, step.streakB) << "after call " << n;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AdjustThinkLimitStreaks,
    ::testing::Values(StreakCase{"ALeadRaisesOnEveryFourth",
                                 3,
                                 0,
                                 0,
                                 {{11, 0, 3, 1, 0},
                                  {11, 0, 3, 2, 0},
                                  {12, 0, 3, 3, 0},
                                  {11, 0, 4, 0, 0},
                                  {15, 0, 4, 1, 0},
                                  {15, 2, 4, 2, 0},
                                  {30, 10, 4, 3, 0},
                                  {30, 10, 5, 0, 0}}},
                      StreakCase{"BLeadLowersOnEveryFourth",
                                 3,
                                 0,
                                 0,
                                 {{0, 11, 3, 0, 1},
                                  {0, 11, 3, 0, 2},
                                  {-5, 11, 3, 0, 3},
                                  {0, 11, 2, 0, 0},
                                  {0, 11, 2, 0, 1},
                                  {0, 11, 2, 0, 2},
                                  {0, 11, 2, 0, 3},
                                  {0, 11, 1, 0, 0}}},
                      StreakCase{"RaiseStopsAtEight", 8, 3, 0, {{20, 0, 8, 0, 0}}},
                      StreakCase{"SearchRaisedNineComesBackToEight", 9, 3, 0, {{20, 0, 8, 0, 0}}},
                      StreakCase{"LowerStopsAtOne", 1, 0, 3, {{0, 20, 1, 0, 0}}},
                      StreakCase{"LeadOfTenResetsBoth", 5, 2, 2, {{10, 0, 5, 0, 0}}},
                      StreakCase{"BLeadOfTenResetsBoth", 5, 2, 2, {{-3, 7, 5, 0, 0}}},
                      StreakCase{"LevelResetsBoth", 5, 3, 3, {{4, 4, 5, 0, 0}}},
                      StreakCase{"ALeadKeepsBsStreak", 5, 0, 2, {{11, 0, 5, 1, 2}}},
                      StreakCase{"BLeadKeepsAsStreak", 5, 2, 0, {{0, 11, 5, 2, 1}}},
                      StreakCase{"BrokenStreakStartsAgain",
                                 3,
                                 0,
                                 0,
                                 {{11, 0, 3, 1, 0},
                                  {11, 0, 3, 2, 0},
                                  {11, 0, 3, 3, 0},
                                  {10, 0, 3, 0, 0},
                                  {11, 0, 3, 1, 0},
                                  {11, 0, 3, 2, 0},
                                  {11, 0, 3, 3, 0},
                                  {11, 0, 4, 0, 0}}}),
    [](const ::testing::TestParamInfo<StreakCase>& info) { return std::string(info.param.name); });

TEST(AdjustThinkLimit, ActsOnlyWithTheAutomaticLevelAndOnePerson) {
  struct Case {
    bool aComputer, bComputer, automatic, acts;
  };
  const Case cases[] = {{false, true, true, true},    {true, false, true, true},
                        {false, false, true, false},  {true, true, true, false},
                        {false, true, false, false},  {true, false, false, false},
                        {false, false, false, false}, {true, true, false, false}};
  for (const Case& k : cases) {
    const GameOptions options = Players(k.aComputer, k.bComputer, k.automatic);
    for (const Pair score : {Pair{30, 0}, Pair{0, 30}, Pair{5, 5}}) {
      GameState s;
      s.Score = score;
      AiState ai;
      ai.ThinkLimit = 4;
      ai.LeadStreakA = 3;
      ai.LeadStreakB = 3;
      AdjustThinkLimit(s, ai, options);
      const bool changed = ai.ThinkLimit != 4 || ai.LeadStreakA != 3 || ai.LeadStreakB != 3;
      EXPECT_EQ(changed, k.acts) << "A computer " << k.aComputer << ", B computer " << k.bComputer
                                 << ", automatic " << k.automatic << ", score " << score[0] << ":"
                                 << score[1];
    }
  }
}

TEST(ThinkLimitStart, AtStartUpAndAfterTheDemo) {
  struct Case {
    bool aComputer, bComputer, automatic;
    int16_t initial, afterDemo;
  };
  const Case cases[] = {{false, true, true, 3, 3},   {true, false, true, 3, 3},
                        {false, false, true, 8, 3},  {true, true, true, 8, 3},
                        {false, true, false, 3, 8},  {true, false, false, 3, 8},
                        {false, false, false, 8, 8}, {true, true, false, 8, 8}};
  for (const Case& k : cases) {
    const GameOptions options = Players(k.aComputer, k.bComputer, k.automatic);
    EXPECT_EQ(InitialThinkLimit(options), k.initial)
        << "A computer " << k.aComputer << ", B computer " << k.bComputer;
    EXPECT_EQ(ThinkLimitAfterDemo(options), k.afterDemo) << "automatic " << k.automatic;
  }
}

}  // namespace
}  // namespace pyra
