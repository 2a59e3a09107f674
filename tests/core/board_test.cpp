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

TEST(CellIndex, IsColumnMajorAndTurnsBackOnEveryShape) {
  const GameState six = SizedState(6, 5);
  EXPECT_EQ(CellIndex(six, 2, 3), 13);
  EXPECT_EQ(CellIndex(six, 1, 0), 5);  // all rows of column 0 come first
  const int shapes[][2] = {{1, 1}, {1, 50}, {50, 1}, {6, 5}, {5, 6}, {7, 3}, {50, 50}};
  for (const auto& shape : shapes) {
    const GameState s = SizedState(shape[0], shape[1]);
    for (int c = 0; c < s.BoardCols; ++c) {
      for (int r = 0; r < s.BoardRows; ++r) {
        SCOPED_TRACE(::testing::Message() << shape[0] << "x" << shape[1] << " " << c << "," << r);
        ASSERT_EQ(CellIndex(s, c, r), c * s.BoardRows + r);
        ASSERT_EQ(CellColumn(s, c * s.BoardRows + r), c);
        ASSERT_EQ(CellRow(s, c * s.BoardRows + r), r);
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
    const GameState s = SizedState(shape[0], shape[1]);
    for (int c = 0; c < s.BoardCols; ++c) {
      for (int r = 0; r < s.BoardRows; ++r) {
        std::array<int16_t, 8> ring{};
        BuildNeighbourRing(s, c, r, ring);
        EXPECT_EQ(ring, BoundsRing(s, c, r)) << shape[0] << "x" << shape[1] << " " << c << "," << r;
      }
    }
  }
}

TEST(NeighbourRing, ListedExamples) {
  // Off the board is 30 on 6 by 5, 4 on one column or one row of 4, 1 on one cell.
  const struct {
    int cols, rows, column, row;
    std::array<int16_t, 8> ring;
  } cases[] = {
      {6, 5, 0, 0, {30, 30, 30, 30, 5, 30, 1, 6}},  {6, 5, 5, 0, {30, 30, 30, 20, 30, 21, 26, 30}},
      {6, 5, 0, 4, {30, 3, 8, 30, 9, 30, 30, 30}},  {6, 5, 5, 4, {23, 28, 30, 24, 30, 30, 30, 30}},
      {6, 5, 2, 0, {30, 30, 30, 5, 15, 6, 11, 16}}, {6, 5, 0, 2, {30, 1, 6, 30, 7, 30, 3, 8}},
      {6, 5, 2, 3, {7, 12, 17, 8, 18, 9, 14, 19}},  {1, 4, 0, 0, {4, 4, 4, 4, 4, 4, 1, 4}},
      {1, 4, 0, 2, {4, 1, 4, 4, 4, 4, 3, 4}},       {1, 4, 0, 3, {4, 2, 4, 4, 4, 4, 4, 4}},
      {4, 1, 0, 0, {4, 4, 4, 4, 1, 4, 4, 4}},       {4, 1, 2, 0, {4, 4, 4, 1, 3, 4, 4, 4}},
      {4, 1, 3, 0, {4, 4, 4, 2, 4, 4, 4, 4}},       {1, 1, 0, 0, {1, 1, 1, 1, 1, 1, 1, 1}}};
  for (const auto& k : cases) {
    GameState s = SizedState(k.cols, k.rows);
    BuildNeighbourRing(s, k.column, k.row);  // into the state's own ring
    EXPECT_EQ(s.NeighbourRing, k.ring)
        << k.cols << "x" << k.rows << " " << k.column << "," << k.row;
  }
}

struct SizeCase {
  int width, height, cols, rows;
};

template <size_t N>
void ExpectSizes(BoardSize (*size)(int, int), const SizeCase (&cases)[N]) {
  for (const SizeCase& k : cases) {
    const BoardSize b = size(k.width, k.height);
    EXPECT_EQ(b.cols, k.cols) << k.width << "x" << k.height;
    EXPECT_EQ(b.rows, k.rows) << k.width << "x" << k.height;
  }
}

TEST(FitBoardSize, RoundsToTheNearestCellWithinTheLimits) {
  const SizeCase cases[] = {
      {208, 160, 7, 5},     {207, 160, 6, 5},      // 6.5 cells round up, 6.49 down
      {192, 175, 6, 5},     {192, 176, 6, 6},      // 5.47 and 5.5 rows
      {16, 16, 1, 1},                              // half a cell is a cell
      {1920, 1920, 50, 50}, {1615, 1615, 50, 50},  // 60 cells, 50.47 cells
      {1616, 1616, 50, 50}, {100000, 64, 50, 2},   // 50.5 rounds to 51; one way only over
      {0, 0, 6, 5},         {15, 15, 6, 5},        // nothing, or rounds to nothing: default
      {320, 15, 6, 5},      {15, 320, 6, 5},       // one way is enough for the default
      {-32, 160, 6, 5},     {160, -1, 6, 5},      {INT_MIN, INT_MIN, 6, 5}};
  ExpectSizes(FitBoardSize, cases);
}

TEST(BoardSizeFromClient, TakesWholeCellsOnlyWithNoDefault) {
  const SizeCase cases[] = {{208, 160, 6, 5},     {223, 191, 6, 5},    {224, 192, 7, 6},
                            {31, 31, 0, 0},       {0, 0, 0, 0},        {-40, -40, 0, 0},
                            {1600, 1600, 50, 50}, {1920, 3200, 50, 50}};  // capped
  ExpectSizes(BoardSizeFromClient, cases);
}

TEST(GameOver, EndsOnlyAtALeadOfMoreThanTwenty) {
  const struct {
    int16_t a, b;
    bool over;
  } cases[] = {{0, 0, false},   {20, 0, false},  {21, 0, true},   {0, 20, false}, {0, 21, true},
               {30, 9, true},   {29, 9, false},  {9, 30, true},   {9, 29, false}, {-21, 0, true},
               {-20, 0, false}, {-5, -26, true}, {-5, -25, false}};
  for (const auto& k : cases) {
    GameState s = testing::MakeState({"F.", "OW"});
    s.Score = {k.a, k.b};
    EXPECT_EQ(IsGameOver(s), k.over) << "A " << k.a << " B " << k.b;
  }
}

TEST(GameOver, FullBoardEndsWhateverTheScoreAndCellsBeyondItDoNotCount) {
  GameState s = testing::MakeState({"FOW", "BOF"});
  for (int i = s.CellCount(); i < BoardCapacity; ++i) s.Board[i] = Empty;
  EXPECT_TRUE(IsGameOver(s));
  s.Board[0] = Empty;  // first cell
  EXPECT_FALSE(IsGameOver(s));
  s.Board[0] = Fire;
  s.Board[s.CellCount() - 1] = Empty;  // last cell
  EXPECT_FALSE(IsGameOver(s));
}

}  // namespace
}  // namespace pyra
