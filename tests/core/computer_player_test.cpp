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
using testing::PaintText;
using testing::PredictMove;
using testing::PredictValue;
using Cells = std::set<std::pair<int, int>>;

GameState FromLines(const std::vector<std::string>& lines, int16_t piece) {
  GameState s;
  s.BoardRows = static_cast<int16_t>(lines.size());
  s.BoardCols = static_cast<int16_t>(lines[0].size());
  for (int r = 0; r < s.BoardRows; ++r) {
    for (int c = 0; c < s.BoardCols; ++c)
      s.Board[CellIndex(s, c, r)] = testing::CodeOf(lines[r][c]);
  }
  s.PieceQueue = {Water, Oil, piece};
  s.Turn = SideA;
  return s;
}

void ExpectValue(const char* name, const std::vector<std::string>& picture, int16_t piece,
                 int column, int row, int value) {
  const GameState s = FromLines(picture, piece);
  EXPECT_EQ(EvaluateCell(s, CellIndex(s, column, row)), value) << name;
}

TEST(EvaluateCell, IsOneMoreThanThePointsScored) {
  ExpectValue("FireByTwoWaterOneOil", {"W.W", "...", "O.."}, Fire, 1, 1, 2);
  ExpectValue("TruckByThreeOil", {"OOO", "...", "..."}, Truck, 1, 1, 4);
  ExpectValue("TruckIgnoresFireAndWater", {"FWF", "W.W", "FWF"}, Truck, 1, 1, 1);
  ExpectValue("OilByThreeFires", {"F.F", "...", ".F."}, Oil, 1, 1, -2);
  ExpectValue("OilIgnoresWater", {"WWW", "W.W", "WWW"}, Oil, 1, 1, 1);
  ExpectValue("WaterByEightFires", {"FFF", "F.F", "FFF"}, Water, 1, 1, 9);
  ExpectValue("FireByEightOil", {"OOO", "O.O", "OOO"}, Fire, 1, 1, -7);
  ExpectValue("FireByEightWater", {"WWW", "W.W", "WWW"}, Fire, 1, 1, 9);
  ExpectValue("NothingReacts", {"BFB", "T.H", "B.B"}, Fire, 1, 1, 1);
  ExpectValue("WaterIgnoresOilAndBlocked", {"OBO", "B.B", "OBO"}, Water, 1, 1, 1);
  ExpectValue("CornerHasThree", {".FF", "FFF", "FFF"}, Water, 0, 0, 4);
  ExpectValue("FarCornerHasThree", {"FFF", "FFF", "FF."}, Water, 2, 2, 4);
  ExpectValue("EdgeHasFive", {"F.F", "FFF", "FFF"}, Water, 1, 0, 6);
  ExpectValue("LeftEdgeHasFive", {"FFF", ".FF", "FFF"}, Water, 0, 1, 6);
  ExpectValue("OneColumn", {"F", ".", "F"}, Water, 0, 1, 3);
  ExpectValue("OneRow", {"O.O"}, Truck, 1, 0, 3);
  ExpectValue("OneCell", {"."}, Water, 0, 0, 1);
  // Column-major indices must not wrap from the bottom of a column to the top of the next
  // one, nor the other way.
  ExpectValue("BottomRowDoesNotWrap", {"..F..", ".....", "....."}, Water, 1, 2, 1);
  ExpectValue("TopRowDoesNotWrap", {".....", ".....", ".F..."}, Water, 2, 0, 1);
}

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

int ValueOf(const GameState& s, int i) {
  return PredictValue(s, CellColumn(s, i), CellRow(s, i), s.PieceQueue[2]);
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
      SCOPED_TRACE(::testing::Message()
                   << "cell " << c << "," << r << " piece " << s.PieceQueue[2]);
      const auto predicted = PredictMove(s, c, r, s.PieceQueue[2]);
      ASSERT_EQ(EvaluateCell(s, i), predicted.gains - predicted.losses + 1);
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

// Over many seeds, `choose` takes only cells of `allowed`, each of them at some point, and
// leaves the ceiling at `limitAfter`.
using Chooser = int16_t (*)(const GameState&, AiState&, Random&);
void ExpectSpread(Chooser choose, const GameState& s, int16_t limit, const Cells& allowed,
                  int16_t limitAfter) {
  SCOPED_TRACE(::testing::Message() << "ceiling " << limit);
  Cells hit;
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    AiState ai;
    ai.ThinkLimit = limit;
    Random rng(seed);
    const int16_t i = choose(s, ai, rng);
    ASSERT_NE(i, NoCell);
    const std::pair<int, int> cell{CellColumn(s, i), CellRow(s, i)};
    ASSERT_TRUE(allowed.count(cell)) << "took " << cell.first << "," << cell.second;
    ASSERT_EQ(ai.ThinkLimit, limitAfter);
    hit.insert(cell);
  }
  EXPECT_EQ(hit, allowed) << "every tied cell should be taken sometimes";
}

// Values with Water to place: (1,1) is 9, (3,1) is 4, the six cells of columns 4 and 5
// are 1.
const std::vector<std::string> kCeilingBoard = {"FFFB..", "F.F...", "FFFB.."};
const Cells kOnes = {{4, 0}, {4, 1}, {4, 2}, {5, 0}, {5, 1}, {5, 2}};

TEST(ComputerChoice, TakesTheBestCellNotAboveTheCeilingAndSpreadsOverTies) {
  const GameState s = FromLines(kCeilingBoard, Water);
  ExpectSpread(ChooseComputerCell, s, 1, kOnes, 1);
  ExpectSpread(ChooseComputerCell, s, 3, kOnes, 3);
  ExpectSpread(ChooseComputerCell, s, 4, {{3, 1}}, 4);
  ExpectSpread(ChooseComputerCell, s, 8, {{3, 1}}, 8);
  ExpectSpread(ChooseComputerCell, s, 9, {{1, 1}}, 9);
  // A cell worth nine is taken only when nothing else is left, and raises the ceiling.
  const GameState nine = FromLines({"FFF", "F.F", "FFF"}, Water);
  for (int16_t limit : {int16_t{1}, int16_t{3}, int16_t{8}})
    ExpectSpread(ChooseComputerCell, nine, limit, {{1, 1}}, 9);
}

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
      if (s.Board[i] == Empty) values.push_back(ValueOf(s, i));
    }
    AiState ai;
    const int16_t limit = static_cast<int16_t>(1 + rng.Below(9));
    ai.ThinkLimit = limit;
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
    int bestAllowed = -100;
    for (int v : values) {
      if (v <= limit) bestAllowed = std::max(bestAllowed, v);
    }
    if (bestAllowed == -100) {
      bestAllowed = *std::min_element(values.begin(), values.end());
      ++raised;
    }
    ASSERT_EQ(ValueOf(s, i), bestAllowed);
    ASSERT_EQ(ai.ThinkLimit, std::max<int>(limit, bestAllowed));
  }
  EXPECT_GT(raised, 0) << "some positions should need a higher ceiling";
}

TEST(TimeoutChoice, TakesALowestValuedCellAtRandomAndLeavesTheCeiling) {
  ExpectSpread(ChooseTimeoutCell, FromLines(kCeilingBoard, Water), 3, kOnes, 3);
  // Oil beside fires loses: (1,0) and (1,1) touch both fires.
  ExpectSpread(ChooseTimeoutCell, FromLines({"F.F", "...", "..."}, Oil), 3, {{1, 0}, {1, 1}}, 3);
  // A cell worth 8 beats one worth 9.
  ExpectSpread(ChooseTimeoutCell, FromLines({"FFFFF", "F.F.F", "FFFBF"}, Water), 3, {{3, 1}}, 3);
  // Nothing below 9: the forced move still takes an empty cell.
  ExpectSpread(ChooseTimeoutCell, FromLines({"FFF", "F.F", "FFF"}, Water), 3, {{1, 1}}, 3);
  ExpectSpread(ChooseTimeoutCell, FromLines({"FFFFF", "F.FFF", "FFFFF", "FFF.F", "FFFFF"}, Water),
               3, {{1, 1}, {3, 3}}, 3);
}

struct RecordingScene {
  GameState s;
  AiState ai;
  Random rng{9};
  FakePlacementHost host{s};
  explicit RecordingScene(GameState start) : s(start) {}
  void Move(bool timeout) {
    if (timeout) {
      TimeoutMove(s, ai, rng, host);
    } else {
      ComputerMove(s, ai, rng, host);
    }
  }
};

TEST(Moves, FullBoardOrNoCellsGivesNoCellAndARefusedPlacement) {
  for (const bool timeout : {false, true}) {
    RecordingScene k(FromLines({"FOWB", "OWBF"}, Water));
    k.ai.ThinkLimit = 3;
    EXPECT_EQ(ChooseComputerCell(k.s, k.ai, k.rng), NoCell);
    EXPECT_EQ(ChooseTimeoutCell(k.s, k.ai, k.rng), NoCell);
    EXPECT_EQ(k.ai.ThinkLimit, 3) << "no ceiling is raised for a board without empty cells";
    const GameState before = k.s;
    k.Move(timeout);
    EXPECT_EQ(k.s.Board, before.Board);
    EXPECT_EQ(k.s.Score, before.Score);
    EXPECT_EQ(k.s.PieceQueue, before.PieceQueue);
    // The board is full, so the end test that every call makes is true.
    EXPECT_EQ(k.host.trace, (std::vector<std::string>{"caption", "finish"}));
  }
  // The start-up board of a window smaller than a cell has no cells at all.
  GameState none;
  none.PieceQueue = {Fire, Fire, Water};
  AiState ai;
  ai.ThinkLimit = 2;
  Random rng(1);
  EXPECT_EQ(ChooseComputerCell(none, ai, rng), NoCell);
  EXPECT_EQ(ChooseTimeoutCell(none, ai, rng), NoCell);
  EXPECT_EQ(ai.ThinkLimit, 2);
}

TEST(Moves, PlaceTheChosenCellByColumnAndRow) {
  // The only empty cell is column 3, row 1 of a board wider than it is high.
  for (const bool timeout : {false, true}) {
    RecordingScene k(FromLines({"OOOOO", "OOO.O", "OOOOO"}, Water));
    k.Move(timeout);
    EXPECT_EQ(k.s.Board[CellIndex(k.s, 3, 1)], Water);
    ASSERT_FALSE(k.host.trace.empty());
    EXPECT_EQ(k.host.trace.front(), PaintText(3, 1, 16, Water));
    EXPECT_EQ(k.host.Count("hand over"), 1);
  }
}

TEST(Moves, TimeoutMoveTakesTheWorstCellForThePiece) {
  // Oil: the cell between the fires loses 2.
  RecordingScene k(FromLines({"F.F.."}, Oil));
  k.Move(true);
  EXPECT_EQ(k.s.Score[SideA], -2);
  EXPECT_EQ(k.s.Board[CellIndex(k.s, 1, 0)], Fire);
}

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

// Calls AdjustThinkLimit once per step, from the given ceiling and streaks, with the
// computer as either side.
void ExpectStreaks(const char* name, int16_t limit, int16_t streakA, int16_t streakB,
                   const std::vector<StreakStep>& steps) {
  for (const bool computerIsB : {true, false}) {
    const GameOptions options = Players(!computerIsB, computerIsB, true);
    GameState s;
    AiState ai;
    ai.ThinkLimit = limit;
    ai.LeadStreakA = streakA;
    ai.LeadStreakB = streakB;
    for (size_t n = 0; n < steps.size(); ++n) {
      SCOPED_TRACE(::testing::Message() << name << " after call " << n + 1);
      s.Score = {steps[n].scoreA, steps[n].scoreB};
      AdjustThinkLimit(s, ai, options);
      EXPECT_EQ(ai.ThinkLimit, steps[n].thinkLimit);
      EXPECT_EQ(ai.LeadStreakA, steps[n].streakA);
      EXPECT_EQ(ai.LeadStreakB, steps[n].streakB);
    }
  }
}

TEST(AdjustThinkLimit, StreaksFollowTheLastingLeadWithinTheClamps) {
  // Score A, score B; then the ceiling, A's streak and B's streak after the call.
  const std::vector<StreakStep> raise = {{11, 0, 3, 1, 0},  {11, 0, 3, 2, 0}, {12, 0, 3, 3, 0},
                                         {11, 0, 4, 0, 0},  {15, 0, 4, 1, 0}, {15, 2, 4, 2, 0},
                                         {30, 10, 4, 3, 0}, {30, 10, 5, 0, 0}};
  ExpectStreaks("ALeadRaisesOnEveryFourth", 3, 0, 0, raise);
  const std::vector<StreakStep> lower = {{0, 11, 3, 0, 1}, {0, 11, 3, 0, 2}, {-5, 11, 3, 0, 3},
                                         {0, 11, 2, 0, 0}, {0, 11, 2, 0, 1}, {0, 11, 2, 0, 2},
                                         {0, 11, 2, 0, 3}, {0, 11, 1, 0, 0}};
  ExpectStreaks("BLeadLowersOnEveryFourth", 3, 0, 0, lower);
  const std::vector<StreakStep> broken = {{11, 0, 3, 1, 0}, {11, 0, 3, 2, 0}, {11, 0, 3, 3, 0},
                                          {10, 0, 3, 0, 0}, {11, 0, 3, 1, 0}, {11, 0, 3, 2, 0},
                                          {11, 0, 3, 3, 0}, {11, 0, 4, 0, 0}};
  ExpectStreaks("BrokenStreakStartsAgain", 3, 0, 0, broken);
  ExpectStreaks("RaiseStopsAtEight", 8, 3, 0, {{20, 0, 8, 0, 0}});
  ExpectStreaks("SearchRaisedNineComesBackToEight", 9, 3, 0, {{20, 0, 8, 0, 0}});
  ExpectStreaks("LowerStopsAtOne", 1, 0, 3, {{0, 20, 1, 0, 0}});
  ExpectStreaks("LeadOfTenResetsBoth", 5, 2, 2, {{10, 0, 5, 0, 0}});
  ExpectStreaks("BLeadOfTenResetsBoth", 5, 2, 2, {{-3, 7, 5, 0, 0}});
  ExpectStreaks("LevelResetsBoth", 5, 3, 3, {{4, 4, 5, 0, 0}});
  ExpectStreaks("ALeadKeepsBsStreak", 5, 0, 2, {{11, 0, 5, 1, 2}});
  ExpectStreaks("BLeadKeepsAsStreak", 5, 2, 0, {{0, 11, 5, 2, 1}});
}

// Who is a computer, and whether the level is automatic: AdjustThinkLimit acts, and the
// ceiling at start-up and after the demo.
TEST(AdjustThinkLimit, ActsOnlyWithTheAutomaticLevelAndOnePersonAndSetsTheStartCeiling) {
  const struct {
    bool aComputer, bComputer, automatic, acts;
    int16_t initial, afterDemo;
  } cases[] = {{false, true, true, true, 3, 3},    {true, false, true, true, 3, 3},
               {false, false, true, false, 8, 3},  {true, true, true, false, 8, 3},
               {false, true, false, false, 3, 8},  {true, false, false, false, 3, 8},
               {false, false, false, false, 8, 8}, {true, true, false, false, 8, 8}};
  for (const auto& k : cases) {
    SCOPED_TRACE(::testing::Message() << "A computer " << k.aComputer << ", B computer "
                                      << k.bComputer << ", automatic " << k.automatic);
    const GameOptions options = Players(k.aComputer, k.bComputer, k.automatic);
    EXPECT_EQ(InitialThinkLimit(options), k.initial);
    EXPECT_EQ(ThinkLimitAfterDemo(options), k.afterDemo);
    for (const Pair score : {Pair{30, 0}, Pair{0, 30}, Pair{5, 5}}) {
      GameState s;
      s.Score = score;
      AiState ai;
      ai.ThinkLimit = 4;
      ai.LeadStreakA = 3;
      ai.LeadStreakB = 3;
      AdjustThinkLimit(s, ai, options);
      const bool changed = ai.ThinkLimit != 4 || ai.LeadStreakA != 3 || ai.LeadStreakB != 3;
      EXPECT_EQ(changed, k.acts) << "score " << score[0] << ":" << score[1];
    }
  }
}

}  // namespace
}  // namespace pyra
