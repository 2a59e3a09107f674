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

using Queue = std::array<int16_t, 3>;

GameState QueueState(int16_t turn, Pair score, Queue queue) {
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
          Queue queue = {Fire, Oil, Water};
          queue[entry] = piece;
          GameState s = QueueState(turn, score, queue);
          ApplyCatchUpRule(s);
          queue[entry] = trail >= 11 ? Truck : HeldTruck;
          EXPECT_EQ(s.PieceQueue, queue)
              << "turn " << turn << " entry " << entry << " trail " << trail << " piece " << piece;
        }
      }
    }
  }
}

TEST(CatchUpRule, SeveralTrucksAtOnce) {
  const struct {
    int16_t turn;
    Pair score;
    Queue before, after;
  } cases[] = {
      {SideA, {5, 20}, {Truck, Truck, Truck}, {HeldTruck, Truck, HeldTruck}},
      {SideA, {5, 15}, {Truck, Truck, Truck}, {HeldTruck, HeldTruck, HeldTruck}},
      {SideB, {0, 11}, {Truck, HeldTruck, HeldTruck}, {Truck, HeldTruck, Truck}},
      {SideB, {11, 0}, {HeldTruck, HeldTruck, Truck}, {HeldTruck, Truck, HeldTruck}},
      {SideB, {0, 0}, {Truck, Truck, Truck}, {HeldTruck, HeldTruck, HeldTruck}},
      {SideA, {0, 30}, {Fire, Oil, Water}, {Fire, Oil, Water}},
  };
  for (const auto& k : cases) {
    GameState s = QueueState(k.turn, k.score, k.before);
    ApplyCatchUpRule(s);
    EXPECT_EQ(s.PieceQueue, k.after) << "turn " << k.turn << " " << k.score[0] << ":" << k.score[1];
  }
}

int16_t AsDealtAtLevelScores(int16_t piece) { return piece == Truck ? int16_t{HeldTruck} : piece; }

TEST(AdvanceQueue, FirstDealFillsZeroOneTwoThenEachCallShiftsAndDealsOne) {
  int trucksSeen = 0;
  for (uint32_t seed = 1; seed <= 400; ++seed) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    Random rng(seed);
    Random replay(seed);
    int16_t d[4];
    for (int16_t& p : d) p = DealPiece(replay);
    trucksSeen += (d[0] == Truck) + (d[1] == Truck) + (d[2] == Truck);
    GameState s = QueueState(SideA, {0, 0}, {0, 0, 0});
    AdvanceQueue(s, rng);
    // Level scores: every truck is withheld, and the current one is placed as Oil.
    ASSERT_EQ(s.PieceQueue, (Queue{AsDealtAtLevelScores(d[0]), AsDealtAtLevelScores(d[1]),
                                   d[2] == Truck ? int16_t{Oil} : d[2]}));
    s.Turn = SideB;
    s.PieceQueue = {Water, Oil, Fire};
    AdvanceQueue(s, rng);
    ASSERT_EQ(s.PieceQueue, (Queue{AsDealtAtLevelScores(d[3]), Water, Oil}));
    ASSERT_EQ(rng.Next(), replay.Next()) << "three deals, then one, and no more";
  }
  EXPECT_GT(trucksSeen, 0) << "the seeds should include trucks";
}

TEST(AdvanceQueue, WithheldTruckFollowsItsOwnersFortunes) {
  Random rng(3);
  // B has just moved; entry 1 moves to entry 2, which belongs to A: Oil unless A is behind.
  GameState level = QueueState(SideB, {3, 3}, {Fire, HeldTruck, Water});
  AdvanceQueue(level, rng);
  EXPECT_EQ(level.PieceQueue[2], Oil);
  GameState behind = QueueState(SideB, {3, 14}, {Fire, HeldTruck, Water});
  AdvanceQueue(behind, rng);
  EXPECT_EQ(behind.PieceQueue[2], Truck);
  // A has just moved and trails by 12: the truck coming into entry 1 is A's, released.
  GameState s = QueueState(SideA, {0, 12}, {HeldTruck, Fire, Water});
  AdvanceQueue(s, rng);
  EXPECT_EQ(s.PieceQueue[1], Truck);
  // B moves and A is only 10 behind: withheld again and, now current, placed as Oil.
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
    for (const int16_t q : {s.PieceQueue[0], s.PieceQueue[1]}) {
      ASSERT_TRUE(q == Fire || q == Oil || q == Water || q == Truck || q == HeldTruck) << q;
    }
    trucks += s.PieceQueue[2] == Truck;
  }
  EXPECT_GT(trucks, 0) << "uneven scores should let some trucks through";
}

TEST(AdvanceQueue, HeldTruckPlacedAsOilReactsAsOil) {
  GameState s = testing::MakeState({"F..", "...", "..."}, Water);
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

// Expects `observed` of `total` draws within five standard deviations of `chance`.
void ExpectShare(int observed, int total, double chance, const char* what) {
  const double sigma = std::sqrt(total * chance * (1 - chance));
  EXPECT_NEAR(observed, total * chance, 5 * sigma) << what;
}

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
  ExpectShare(count[Truck], deals, 1.0 / 20, "truck");
  ExpectShare(count[Fire], deals, 19.0 / 60, "fire");
  ExpectShare(count[Oil], deals, 19.0 / 60, "oil");
  ExpectShare(count[Water], deals, 19.0 / 60, "water");
}

GameState SizedWithMarkers(int cols, int rows) {
  GameState s;
  s.BoardCols = static_cast<int16_t>(cols);
  s.BoardRows = static_cast<int16_t>(rows);
  s.Board.fill(77);
  return s;
}

TEST(NewBoard, AcceptedPositionsHaveMoreThanATenthEmptyAndLeaveCellsBeyondAlone) {
  const int shapes[][2] = {{1, 1}, {1, 9}, {2, 5}, {5, 2}, {3, 7}, {6, 5}, {11, 10}, {50, 50}};
  for (const auto& shape : shapes) {
    const int cells = shape[0] * shape[1];
    int atTheLimitPlusOne = 0;
    for (uint32_t seed = 1; seed <= 300; ++seed) {
      SCOPED_TRACE(::testing::Message() << shape[0] << "x" << shape[1] << " seed " << seed);
      Random rng(seed);
      GameState s = SizedWithMarkers(shape[0], shape[1]);
      NewBoard(s, rng);
      int empties = 0;
      for (int i = 0; i < cells; ++i) {
        ASSERT_GE(s.Board[i], Empty) << "index " << i;
        ASSERT_LE(s.Board[i], Water) << "index " << i;
        empties += s.Board[i] == Empty;
      }
      for (int i = cells; i < BoardCapacity; ++i) ASSERT_EQ(s.Board[i], 77) << "index " << i;
      ASSERT_GT(empties, cells / 10);
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

TEST(NewBoard, EachOpeningCodeIsEquallyLikely) {
  Random rng(17);
  GameState s = SizedWithMarkers(50, 50);
  int count[4] = {0, 0, 0, 0};
  for (int game = 0; game < 20; ++game) {
    NewBoard(s, rng);
    for (int i = 0; i < 2500; ++i) ++count[s.Board[i]];
  }
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
