// Where pieces come from: the opening position, the dealt piece, the shared queue and the
// catch-up rule that lets a truck reach only a side that is well behind.
#include "rules/piece_supply.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "fake_placement_host.h"
#include "rules/board.h"
#include "rules/placement.h"
#include "test_boards.h"

namespace pyra {
namespace {

using testing::MakeState;

// ---------------------------------------------------------------------------------------
// The catch-up rule.

GameState QueueState(int16_t turn, Pair score, std::array<int16_t, 3> queue) {
  GameState s;
  s.BoardCols = 6;
  s.BoardRows = 5;
  s.Turn = turn;
  s.Score = score;
  s.PieceQueue = queue;
  return s;
}

TEST(CatchUpRule, EachEntryAgainstItsOwnersTrailOfTenAndEleven) {
  // trail: how far the entry's owner is behind (negative: ahead).
  for (int16_t turn : {int16_t{SideA}, int16_t{SideB}}) {
    for (int entry = 0; entry < 3; ++entry) {
      const int owner = entry == 1 ? turn : 1 - turn;  // entry 1 is the mover's next piece
      for (int trail : {-15, 0, 10, 11, 20}) {
        for (int16_t piece : {int16_t{Truck}, int16_t{HeldTruck}}) {
          Pair score{};
          score[owner] = 5;
          score[1 - owner] = static_cast<int16_t>(5 + trail);
          std::array<int16_t, 3> queue = {Fire, Oil, Water};
          queue[entry] = piece;
          GameState s = QueueState(turn, score, queue);
          ApplyCatchUpRule(s);
          std::array<int16_t, 3> expected = {Fire, Oil, Water};
          expected[entry] = trail >= 11 ? Truck : HeldTruck;
          EXPECT_EQ(s.PieceQueue, expected)
              << "turn " << turn << " entry " << entry << " trail " << trail << " piece " << piece;
        }
      }
    }
  }
}

struct CatchUpExample {
  const char* name;
  int16_t turn;
  Pair score;
  std::array<int16_t, 3> before;
  std::array<int16_t, 3> after;
};

void PrintTo(const CatchUpExample& c, std::ostream* os) { *os << c.name; }

class CatchUpExamples : public ::testing::TestWithParam<CatchUpExample> {};

TEST_P(CatchUpExamples, ConvertTrucksByTheScoreGap) {
  const CatchUpExample& k = GetParam();
  GameState s = QueueState(k.turn, k.score, k.before);
  ApplyCatchUpRule(s);
  EXPECT_EQ(s.PieceQueue, k.after);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, CatchUpExamples,
    ::testing::Values(
        // A has just moved and trails by 15: only entry 1 is A's.
        CatchUpExample{
            "ATrailsBy15", SideA, {5, 20}, {Truck, Truck, Truck}, {HeldTruck, Truck, HeldTruck}},
        // A trails by exactly 10: not behind.
        CatchUpExample{"ATrailsBy10",
                       SideA,
                       {5, 15},
                       {Truck, Truck, Truck},
                       {HeldTruck, HeldTruck, HeldTruck}},
        // B has just moved, A trails by 11: entries 0 and 2 are A's.
        CatchUpExample{"BMovedATrailsBy11",
                       SideB,
                       {0, 11},
                       {Truck, HeldTruck, HeldTruck},
                       {Truck, HeldTruck, Truck}},
        CatchUpExample{"BMovedBTrailsBy11",
                       SideB,
                       {11, 0},
                       {HeldTruck, HeldTruck, Truck},
                       {HeldTruck, Truck, HeldTruck}},
        CatchUpExample{"LevelScoresWithholdAll",
                       SideB,
                       {0, 0},
                       {Truck, Truck, Truck},
                       {HeldTruck, HeldTruck, HeldTruck}},
        CatchUpExample{
            "OtherPiecesUntouched", SideA, {0, 30}, {Fire, Oil, Water}, {Fire, Oil, Water}}),
    [](const ::testing::TestParamInfo<CatchUpExample>& info) {
      return std::string(info.param.name);
    });

// ---------------------------------------------------------------------------------------
// The queue.

int16_t AsDealtAtLevelScores(int16_t piece) { return piece == Truck ? int16_t{HeldTruck} : piece; }

TEST(AdvanceQueue, FirstDealFillsEntriesZeroOneTwoInThatOrder) {
  int trucksSeen = 0;
  for (uint32_t seed = 1; seed <= 400; ++seed) {
    Random rng(seed);
    Random replay(seed);
    const int16_t d0 = DealPiece(replay);
    const int16_t d1 = DealPiece(replay);
    const int16_t d2 = DealPiece(replay);
    trucksSeen += (d0 == Truck) + (d1 == Truck) + (d2 == Truck);
    GameState s = QueueState(SideA, {0, 0}, {0, 0, 0});
    AdvanceQueue(s, rng);
    // Level scores: every truck is withheld, and the current one is placed as Oil.
    const std::array<int16_t, 3> expected = {AsDealtAtLevelScores(d0), AsDealtAtLevelScores(d1),
                                             d2 == Truck ? int16_t{Oil} : d2};
    ASSERT_EQ(s.PieceQueue, expected) << "seed " << seed;
    ASSERT_EQ(rng.Next(), replay.Next()) << "three deals and no more, seed " << seed;
  }
  EXPECT_GT(trucksSeen, 0) << "the seeds should include trucks";
}

TEST(AdvanceQueue, LaterCallsShiftAndDealOneIntoEntryZero) {
  for (uint32_t seed = 1; seed <= 50; ++seed) {
    Random rng(seed);
    Random replay(seed);
    const int16_t dealt = DealPiece(replay);
    GameState s = QueueState(SideB, {0, 0}, {Water, Oil, Fire});
    AdvanceQueue(s, rng);
    EXPECT_EQ(s.PieceQueue[2], Oil);
    EXPECT_EQ(s.PieceQueue[1], Water);
    EXPECT_EQ(s.PieceQueue[0], AsDealtAtLevelScores(dealt));
    EXPECT_EQ(rng.Next(), replay.Next()) << "one deal only";
  }
}

TEST(AdvanceQueue, HeldTruckBecomingCurrentIsOilUnlessItsOwnerIsBehind) {
  // B has just moved; entry 1 moves to entry 2, which belongs to A.
  GameState level = QueueState(SideB, {3, 3}, {Fire, HeldTruck, Water});
  Random rng(3);
  AdvanceQueue(level, rng);
  EXPECT_EQ(level.PieceQueue[2], Oil);

  GameState behind = QueueState(SideB, {3, 14}, {Fire, HeldTruck, Water});
  AdvanceQueue(behind, rng);
  EXPECT_EQ(behind.PieceQueue[2], Truck);
}

TEST(AdvanceQueue, WithheldTruckFollowsItsOwnersFortunes) {
  Random rng(8);
  // A has just moved and trails by 12: the truck coming into entry 1 is A's, released.
  GameState s = QueueState(SideA, {0, 12}, {HeldTruck, Fire, Water});
  AdvanceQueue(s, rng);
  EXPECT_EQ(s.PieceQueue[1], Truck);
  // B moves and A has caught up to 10 behind: A's truck is withheld again and, now current,
  // placed as Oil.
  s.Turn = SideB;
  s.Score = {2, 12};
  AdvanceQueue(s, rng);
  EXPECT_EQ(s.PieceQueue[2], Oil);
}

TEST(AdvanceQueue, CurrentPieceIsAlwaysAPieceAfterAnyDeal) {
  Random rng(99);
  GameState s = QueueState(SideA, {0, 0}, {0, 0, 0});
  int trucks = 0;
  for (int i = 0; i < 20000; ++i) {
    s.Turn = static_cast<int16_t>(i & 1);
    s.Score = {static_cast<int16_t>((i * 7) % 31), static_cast<int16_t>((i * 13) % 29)};
    AdvanceQueue(s, rng);
    ASSERT_GE(s.PieceQueue[2], Fire);
    ASSERT_LE(s.PieceQueue[2], Truck);
    for (int e = 0; e < 2; ++e) {
      const int16_t q = s.PieceQueue[e];
      ASSERT_TRUE(q == Fire || q == Oil || q == Water || q == Truck || q == HeldTruck) << q;
    }
    trucks += s.PieceQueue[2] == Truck;
  }
  EXPECT_GT(trucks, 0) << "uneven scores should let some trucks through";
}

TEST(AdvanceQueue, HeldTruckPlacedAsOilReactsAsOil) {
  GameState s = MakeState({"F..", "...", "..."}, Water);
  s.PieceQueue = {Water, HeldTruck, Water};
  Random rng(4);
  testing::FakePlacementHost host(s);
  host.onHandOverTurn = [](GameState& g) { g.Turn = static_cast<int16_t>(1 - g.Turn); };
  PlacePiece(s, rng, host, 2, 2);  // A's water, far from the fire
  ASSERT_EQ(s.PieceQueue[2], Oil);
  host.Clear();
  PlacePiece(s, rng, host, 1, 1);  // B's piece catches fire beside it
  EXPECT_EQ(s.Board[CellIndex(s, 1, 1)], Fire);
  EXPECT_EQ(s.Score[SideB], -1);
  EXPECT_EQ(host.cues, (std::vector<std::string>{"BO"}));
}

// ---------------------------------------------------------------------------------------
// Dealing.

TEST(DealPiece, ProportionsOverManyDeals) {
  Random rng(20240601);
  constexpr int deals = 200000;
  int count[5] = {0, 0, 0, 0, 0};
  for (int i = 0; i < deals; ++i) {
    const int16_t p = DealPiece(rng);
    ASSERT_GE(p, Fire);
    ASSERT_LE(p, Truck);
    ++count[p];
  }
  auto within = [&](int observed, double chance) {
    const double mean = deals * chance;
    const double sigma = std::sqrt(deals * chance * (1 - chance));
    EXPECT_NEAR(observed, mean, 5 * sigma) << "chance " << chance;
  };
  within(count[Truck], 1.0 / 20);
  within(count[Fire], 19.0 / 60);
  within(count[Oil], 19.0 / 60);
  within(count[Water], 19.0 / 60);
}

// ---------------------------------------------------------------------------------------
// The opening position.

GameState SizedWithMarkers(int cols, int rows) {
  GameState s;
  s.BoardCols = static_cast<int16_t>(cols);
  s.BoardRows = static_cast<int16_t>(rows);
  s.Board.fill(77);
  return s;
}

TEST(NewBoard, AcceptedPositionsHaveMoreThanATenthEmpty) {
  const int shapes[][2] = {{1, 1}, {1, 9}, {2, 5}, {5, 2}, {3, 7}, {6, 5}, {11, 10}, {50, 50}};
  for (const auto& shape : shapes) {
    const int cells = shape[0] * shape[1];
    int atTheLimitPlusOne = 0;
    for (uint32_t seed = 1; seed <= 300; ++seed) {
      Random rng(seed);
      GameState s = SizedWithMarkers(shape[0], shape[1]);
      NewBoard(s, rng);
      int empties = 0;
      for (int i = 0; i < cells; ++i) {
        ASSERT_GE(s.Board[i], Empty) << "index " << i;
        ASSERT_LE(s.Board[i], Water) << "index " << i;
        empties += s.Board[i] == Empty;
      }
      for (int i = cells; i < BoardCapacity; ++i) {
        ASSERT_EQ(s.Board[i], 77) << "cell beyond the board touched: " << i;
      }
      ASSERT_GT(empties, cells / 10) << shape[0] << "x" << shape[1] << " seed " << seed;
      atTheLimitPlusOne += empties == cells / 10 + 1;
    }
    if (cells == 10) {
      EXPECT_GT(atTheLimitPlusOne, 0) << "two empties of ten are enough";
    }
  }
}

TEST(NewBoard, IsTheFirstFillOfFreshRandomNumbersThatPasses) {
  // Each cell is the integer part of 4r, in index order; a refused fill is drawn afresh.
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    Random rng(seed);
    Random replay(seed);
    GameState s = SizedWithMarkers(2, 5);
    NewBoard(s, rng);
    std::array<int16_t, 10> fill{};
    int empties;
    do {
      empties = 0;
      for (int16_t& cell : fill) {
        cell = static_cast<int16_t>(std::floor(4 * replay.Next()));
        empties += cell == Empty;
      }
    } while (empties <= 1);
    for (int i = 0; i < 10; ++i) ASSERT_EQ(s.Board[i], fill[i]) << "seed " << seed;
  }
}

TEST(NewBoard, OneCellBoardOpensEmpty) {
  for (uint32_t seed = 1; seed <= 500; ++seed) {
    Random rng(seed);
    GameState s = SizedWithMarkers(1, 1);
    NewBoard(s, rng);
    ASSERT_EQ(s.Board[0], Empty) << "seed " << seed;
    ASSERT_EQ(s.Board[1], 77);
  }
}

TEST(NewBoard, EachOpeningCodeIsEquallyLikely) {
  Random rng(17);
  GameState s = SizedWithMarkers(50, 50);
  int count[4] = {0, 0, 0, 0};
  for (int game = 0; game < 20; ++game) {
    NewBoard(s, rng);
    for (int i = 0; i < 2500; ++i) ++count[s.Board[i]];
  }
  // 50,000 cells, a quarter each; the standard deviation is about 97.
  for (int code = 0; code < 4; ++code) EXPECT_NEAR(count[code], 12500, 500) << "code " << code;
}

TEST(NewBoard, BoardWithoutCellsHasNothingToFill) {
  // Must come back rather than look forever for an empty cell among none.
  Random rng(1);
  GameState s = SizedWithMarkers(0, 0);
  NewBoard(s, rng);
  EXPECT_EQ(s.Board[0], 77);
}

}  // namespace
}  // namespace pyra
