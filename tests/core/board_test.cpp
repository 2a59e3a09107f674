// Cell addressing, the neighbour ring, the board size a window holds, and the end test.
#include "rules/board.h"

#include <gtest/gtest.h>

#include <climits>

#include "rules/placement.h"
#include "test_boards.h"

namespace pyra {
namespace {

GameState SizedState(int cols, int rows) {
  GameState s;
  s.BoardCols = static_cast<int16_t>(cols);
  s.BoardRows = static_cast<int16_t>(rows);
  return s;
}

TEST(CellIndex, IsColumnMajorAndTurnsBack) {
  const GameState s = SizedState(6, 5);
  EXPECT_EQ(CellIndex(s, 2, 3), 13);
  EXPECT_EQ(CellColumn(s, 13), 2);
  EXPECT_EQ(CellRow(s, 13), 3);
  // All rows of column 0 come first.
  EXPECT_EQ(CellIndex(s, 0, 4), 4);
  EXPECT_EQ(CellIndex(s, 1, 0), 5);
  EXPECT_EQ(CellIndex(s, 5, 4), 29);
}

TEST(CellIndex, EveryCellOfEveryShapeMapsToItsOwnIndex) {
  const int shapes[][2] = {{1, 1}, {1, 50}, {50, 1}, {6, 5}, {5, 6}, {7, 3}, {50, 50}};
  for (const auto& shape : shapes) {
    const GameState s = SizedState(shape[0], shape[1]);
    std::vector<bool> seen(s.CellCount(), false);
    for (int c = 0; c < s.BoardCols; ++c) {
      for (int r = 0; r < s.BoardRows; ++r) {
        const int i = CellIndex(s, c, r);
        ASSERT_GE(i, 0);
        ASSERT_LT(i, s.CellCount());
        EXPECT_FALSE(seen[i]) << "two cells share index " << i;
        seen[i] = true;
        EXPECT_EQ(CellColumn(s, i), c);
        EXPECT_EQ(CellRow(s, i), r);
      }
    }
  }
}

// The ring worked out from the board's bounds rather than from the four edge tests.
std::array<int16_t, 8> BoundsRing(const GameState& s, int c, int r) {
  const int offsets[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
  std::array<int16_t, 8> ring;
  for (int i = 0; i < 8; ++i) {
    const int nc = c + offsets[i][0];
    const int nr = r + offsets[i][1];
    const bool inside = nc >= 0 && nc < s.BoardCols && nr >= 0 && nr < s.BoardRows;
    ring[i] = static_cast<int16_t>(inside ? nc * s.BoardRows + nr : s.CellCount());
  }
  return ring;
}

TEST(NeighbourRing, MatchesTheBoardBoundsOnEveryCellOfAwkwardShapes) {
  const int shapes[][2] = {{1, 1}, {1, 2}, {2, 1}, {1, 7},  {7, 1},
                           {2, 2}, {3, 3}, {6, 5}, {50, 50}};
  for (const auto& shape : shapes) {
    GameState s = SizedState(shape[0], shape[1]);
    for (int c = 0; c < s.BoardCols; ++c) {
      for (int r = 0; r < s.BoardRows; ++r) {
        BuildNeighbourRing(s, c, r);
        EXPECT_EQ(s.NeighbourRing, BoundsRing(s, c, r))
            << shape[0] << "x" << shape[1] << " cell " << c << "," << r;
        std::array<int16_t, 8> own{};
        BuildNeighbourRing(s, c, r, own);
        EXPECT_EQ(own, s.NeighbourRing);
      }
    }
  }
}

struct RingCase {
  int cols, rows, column, row;
  std::array<int16_t, 8> ring;
};

class NeighbourRingExamples : public ::testing::TestWithParam<RingCase> {};

TEST_P(NeighbourRingExamples, GivesTheListedIndices) {
  const RingCase& k = GetParam();
  GameState s = SizedState(k.cols, k.rows);
  BuildNeighbourRing(s, k.column, k.row);
  EXPECT_EQ(s.NeighbourRing, k.ring);
}

// 6 by 5: OffBoard is 30. One column of 4: OffBoard is 4. One row of 4: OffBoard is 4.
INSTANTIATE_TEST_SUITE_P(Corners, NeighbourRingExamples,
                         ::testing::Values(RingCase{6, 5, 0, 0, {30, 30, 30, 30, 5, 30, 1, 6}},
                                           RingCase{6, 5, 5, 0, {30, 30, 30, 20, 30, 21, 26, 30}},
                                           RingCase{6, 5, 0, 4, {30, 3, 8, 30, 9, 30, 30, 30}},
                                           RingCase{6, 5, 5, 4, {23, 28, 30, 24, 30, 30, 30, 30}},
                                           RingCase{6, 5, 2, 0, {30, 30, 30, 5, 15, 6, 11, 16}},
                                           RingCase{6, 5, 0, 2, {30, 1, 6, 30, 7, 30, 3, 8}},
                                           RingCase{6, 5, 2, 3, {7, 12, 17, 8, 18, 9, 14, 19}},
                                           RingCase{1, 4, 0, 0, {4, 4, 4, 4, 4, 4, 1, 4}},
                                           RingCase{1, 4, 0, 2, {4, 1, 4, 4, 4, 4, 3, 4}},
                                           RingCase{1, 4, 0, 3, {4, 2, 4, 4, 4, 4, 4, 4}},
                                           RingCase{4, 1, 0, 0, {4, 4, 4, 4, 1, 4, 4, 4}},
                                           RingCase{4, 1, 2, 0, {4, 4, 4, 1, 3, 4, 4, 4}},
                                           RingCase{4, 1, 3, 0, {4, 4, 4, 2, 4, 4, 4, 4}},
                                           RingCase{1, 1, 0, 0, {1, 1, 1, 1, 1, 1, 1, 1}}));

struct FitCase {
  int width, height;
  int cols, rows;
};

class FitBoardSizeTable : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitBoardSizeTable, RoundsToTheNearestCellWithinTheLimits) {
  const FitCase& k = GetParam();
  const BoardSize b = FitBoardSize(k.width, k.height);
  EXPECT_EQ(b.cols, k.cols) << k.width << "x" << k.height;
  EXPECT_EQ(b.rows, k.rows) << k.width << "x" << k.height;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FitBoardSizeTable,
    ::testing::Values(FitCase{208, 160, 7, 5},      // 6.5 cells round up
                      FitCase{207, 160, 6, 5},      // 6.49 cells round down
                      FitCase{192, 175, 6, 5},      // 5.47 rows
                      FitCase{192, 176, 6, 6},      // 5.5 rows
                      FitCase{16, 16, 1, 1},        // half a cell is a cell
                      FitCase{1920, 1920, 50, 50},  // 60 cells: the limit
                      FitCase{1615, 1615, 50, 50},  // 50.47 cells
                      FitCase{1616, 1616, 50, 50},  // 50.5 rounds to 51: the limit
                      FitCase{100000, 64, 50, 2},   // one way only over the limit
                      FitCase{0, 0, 6, 5},          // nothing: the default board
                      FitCase{15, 15, 6, 5},        // rounds to nothing
                      FitCase{320, 15, 6, 5},       // one way is enough for the default
                      FitCase{15, 320, 6, 5},       //
                      FitCase{-32, 160, 6, 5},      // nonsense sizes
                      FitCase{160, -1, 6, 5},       //
                      FitCase{INT_MIN, INT_MIN, 6, 5}));

struct ClientCase {
  int width, height;
  int cols, rows;
};

class BoardSizeFromClientTable : public ::testing::TestWithParam<ClientCase> {};

TEST_P(BoardSizeFromClientTable, TakesWholeCellsOnly) {
  const ClientCase& k = GetParam();
  const BoardSize b = BoardSizeFromClient(k.width, k.height);
  EXPECT_EQ(b.cols, k.cols) << k.width << "x" << k.height;
  EXPECT_EQ(b.rows, k.rows) << k.width << "x" << k.height;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, BoardSizeFromClientTable,
    ::testing::Values(ClientCase{208, 160, 6, 5},  // no rounding up at start-up
                      ClientCase{223, 191, 6, 5},  //
                      ClientCase{224, 192, 7, 6},  //
                      ClientCase{31, 31, 0, 0},    // no default board either
                      ClientCase{0, 0, 0, 0},      //
                      ClientCase{-40, -40, 0, 0},  //
                      ClientCase{1600, 1600, 50, 50},
                      ClientCase{1920, 3200, 50, 50}));  // capped: the board array ends there

struct EndCase {
  int16_t scoreA, scoreB;
  bool over;
};

class GameOverByScore : public ::testing::TestWithParam<EndCase> {};

TEST_P(GameOverByScore, EndsOnlyAtALeadOfMoreThanTwenty) {
  const EndCase& k = GetParam();
  GameState s = testing::MakeState({"F.", "OW"});
  s.Score = {k.scoreA, k.scoreB};
  EXPECT_EQ(IsGameOver(s), k.over) << "A " << k.scoreA << " B " << k.scoreB;
}

INSTANTIATE_TEST_SUITE_P(Leads, GameOverByScore,
                         ::testing::Values(EndCase{0, 0, false}, EndCase{20, 0, false},
                                           EndCase{21, 0, true}, EndCase{0, 20, false},
                                           EndCase{0, 21, true}, EndCase{30, 9, true},
                                           EndCase{29, 9, false}, EndCase{9, 30, true},
                                           EndCase{9, 29, false}, EndCase{-21, 0, true},
                                           EndCase{-20, 0, false}, EndCase{-5, -26, true},
                                           EndCase{-5, -25, false}));

TEST(GameOver, FullBoardEndsWhateverTheScore) {
  GameState s = testing::MakeState({"FOW", "BOF"});
  EXPECT_TRUE(IsGameOver(s));
  s.Board[0] = Empty;  // first cell
  EXPECT_FALSE(IsGameOver(s));
  s.Board[0] = Fire;
  s.Board[s.CellCount() - 1] = Empty;  // last cell
  EXPECT_FALSE(IsGameOver(s));
}

TEST(GameOver, EmptyCellsBeyondTheBoardDoNotCount) {
  GameState s = testing::MakeState({"FO", "WB"});
  for (int i = s.CellCount(); i < BoardCapacity; ++i) s.Board[i] = Empty;
  EXPECT_TRUE(IsGameOver(s));
}

}  // namespace
}  // namespace pyra
