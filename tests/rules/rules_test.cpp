// The rules: reactions, placement and its calls, a game's end, board addressing and sizes, supply.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "rules/board.h"
#include "rules/piece_supply.h"
#include "rules/placement.h"
#include "rules_reference.h"

namespace pyra::testing {
namespace {

using Trace = std::vector<std::string>;

// Random boards to 7 x 5, random empty target and piece: board, score, cues as the plain rules say.
TEST(Placement, EveryMoveOnRandomPositionsIsWhatTheRulesPredict) {
  Random rng(99);
  for (int n = 0; n < 3000; ++n) {
    GameState s;
    s.boardCols = static_cast<int16_t>(1 + rng.Below(7));
    s.boardRows = static_cast<int16_t>(1 + rng.Below(5));
    for (int i = 0; i < s.CellCount(); ++i) s.board[i] = static_cast<int16_t>(rng.Below(6));
    const int target = rng.Below(s.CellCount());
    s.board[target] = Empty;
    s.board[s.CellCount()] = Oil;  // the off-board sentinel's cell must never react
    const int16_t piece = static_cast<int16_t>(1 + rng.Below(4));
    s.pieceQueue = {Water, Oil, piece};
    s.turn = static_cast<int16_t>(rng.Below(2));
    s.score = {5, -3};
    const GameState before = s;
    const Expected e = Predict(before, target / s.boardRows, target % s.boardRows, piece);
    const Trace trace = Placed(s, CellColumn(s, target), CellRow(s, target));
    SCOPED_TRACE(::testing::Message() << "move " << n);
    ASSERT_EQ(s.board, e.board);
    Pair score = before.score;
    score[before.turn] += e.gains - e.losses;
    Trace cues;
    for (const auto& t : trace)
      if (t.starts_with("cue ")) cues.push_back(t.substr(4));
    // The queue moved on by one piece; a withheld truck never stays current.
    EXPECT_EQ(std::tuple(s.score, cues, s.pieceQueue[2]),
              std::tuple(score, e.cues, before.pieceQueue[1]));
  }
}

// The whole conversation of one placement with the rest of the program, in order.
TEST(Placement, CallsInOrderWithTheDrawingSteps) {
  const auto paint = Painted;
  // What a move says first; every move ends the same way.
  auto calls = [](auto... first) {
    return Trace{first..., "stop clock", "next pieces, turn 1", "caption", "hand over"};
  };
  // Name; top row (then "..." and "O.."); the piece; stretch answers (see RecordingHost); calls.
  const std::tuple<const char*, std::string_view, int16_t, std::string, Trace> cases[] = {
      {"oil beside fire catches fire and grows in as fire", "..F", Oil, "Y",
       calls(paint(1, 1, 16, Fire), paint(1, 1, 12, Fire), paint(1, 1, 8, Fire),
             paint(1, 1, 4, Fire), paint(1, 1, 0, Fire), "cue BO", "score 1=1")},
      // Stretching lost on the way: the last step at once.
      {"a piece without a reaction stays and sounds TON", "...", Water, "YYN",
       calls(paint(1, 1, 16, Water), paint(1, 1, 12, Water), paint(1, 1, 0, Water), "cue TON",
             "score 1=2")},
      {"a scoring piece shrinks away, the neighbour first", "..F", Water, "Y",
       calls(paint(2, 0, 0, Empty), paint(1, 1, 0, Water), paint(1, 1, 4, Water),
             paint(1, 1, 8, Water), paint(1, 1, 12, Water), paint(1, 1, 16, Empty), "cue JU",
             "score 1=3")},
      {"without stretching only the last step", "..F", Water, "N",
       calls(paint(2, 0, 0, Empty), paint(1, 1, 16, Empty), "cue JU", "score 1=3")},
      {"a truck hauls the oil and ignores the fire", "..F", Truck, "N",
       calls(paint(0, 2, 0, Empty), paint(1, 1, 16, Empty), "cue JAN", "score 1=3")},
      {"fire spends the water and catches the oil: JU before BO", "..W", Fire, "N",
       calls(paint(2, 0, 0, Blocked), paint(0, 2, 0, Fire), paint(1, 1, 16, Empty), "cue JU",
             "cue BO", "score 1=2")},
  };
  for (const auto& [name, top, piece, stretch, expected] : cases) {
    SCOPED_TRACE(name);
    GameState s = MakeState({top, "...", "O.."}, piece);
    s.turn = SideB, s.score = {0, 2};
    EXPECT_EQ(Placed(s, 1, 1, stretch), expected);
  }
}

TEST(Placement, RefusedTargetsChangeNothingButTheCaptionAndTheEndTest) {
  // The target, the side to move, a full board; the calls.
  const std::tuple<int16_t, int16_t, int16_t, bool, Trace> cases[] = {
      {-1, 0, SideA, false, {"caption"}},
      {0, -1, SideA, false, {"caption"}},
      {3, 0, SideA, false, {"caption"}},
      {0, 2, SideA, false, {"caption"}},
      {1, 0, SideA, false, {"caption"}},  // occupied
      {3, 0, SideB, true, {"caption", "finish"}},
      {0, 0, TurnNone, true, {"caption"}},  // no side to move: not finished again
  };
  for (const auto& [column, row, turn, full, expected] : cases) {
    SCOPED_TRACE(::testing::Message() << column << "," << row);
    GameState s = MakeState({".O.", "..."});
    if (full) std::fill_n(s.board.begin(), s.CellCount(), Oil);
    s.turn = turn;
    const GameState before = s;
    const Trace trace = Placed(s, column, row);
    EXPECT_EQ(std::tuple(trace, s.board, s.pieceQueue),
              std::tuple(expected, before.board, before.pieceQueue));
  }
}

TEST(Placement, GameEndsOnAFullBoardOrALeadOfMoreThanTwenty) {
  const struct {
    Pair score;
    bool full, over;
  } cases[] = {{{20, 0}, false, false},  {{21, 0}, false, true},  {{0, 21}, false, true},
               {{-5, 15}, false, false}, {{-6, 15}, false, true}, {{0, 0}, true, true}};
  for (const auto& k : cases) {
    GameState s = MakeState({"OO", "O."});
    if (k.full) s.board[3] = Oil;
    s.board[4] = Empty;  // beyond the board: never counts
    s.score = k.score;
    EXPECT_EQ(IsGameOver(s), k.over) << k.score[0] << ":" << k.score[1];
  }
  // The move that ends a game: finished, and with FinishGame's say-so not handed over.
  GameState s = MakeState({"O.", "OO"}, Water);
  const Trace trace = Placed(s, 1, 0, "Y", true);
  EXPECT_EQ(Trace(trace.end() - 2, trace.end()), (Trace{"caption", "finish"}));
}

TEST(Board, AddressingRingAndSizes) {
  GameState s;
  for (auto [cols, rows] : {std::pair{6, 5}, {1, 4}, {4, 1}, {1, 1}, {60, 10}}) {
    s.boardCols = static_cast<int16_t>(cols), s.boardRows = static_cast<int16_t>(rows);
    for (int c = 0; c < cols; ++c) {
      for (int r = 0; r < rows; ++r) {
        const int index = CellIndex(s, c, r);
        ASSERT_EQ(std::tuple(index, CellColumn(s, index), CellRow(s, index)),
                  std::tuple(c * rows + r, c, r));
        std::array<int16_t, 8> ring;
        BuildNeighbourRing(s, c, r, ring);
        for (int k = 0; k < 8; ++k) {
          // Row by row from the top left, the cell itself left out.
          const int j = k + (k >= 4), nc = c + j % 3 - 1, nr = r + j / 3 - 1;
          const bool on = nc >= 0 && nr >= 0 && nc < cols && nr < rows;
          ASSERT_EQ(ring[k], on ? nc * rows + nr : cols * rows) << c << "," << r << " #" << k;
        }
      }
    }
  }
  // Client width and height; a new game's board; the board a restored window shows before any game.
  // clang-format off
  const std::array<int, 6> sizes[] = {
      {8 * 32, 6 * 32, 8, 6, 8, 6},              {6 * 32 + 16, 5 * 32 + 15, 7, 5, 6, 5},
      {15, 1000, 6, 5, 0, 31},                   {1000, 15, 6, 5, 31, 0},
      {60 * 32, 10 * 32, 50, 10, 60, 10},        {100 * 32, 30 * 32, 50, 30, 50, 30},
      {2500 * 32, 32, 50, 1, 2500, 1},           {2501 * 32, 32, 50, 1, 50, 1},
      {-40, -40, 6, 5, 0, 0},                    {51 * 32 + 15, 49 * 32 + 16, 50, 50, 51, 49}};
  // clang-format on
  for (const auto& [width, height, fitCols, fitRows, startCols, startRows] : sizes) {
    SCOPED_TRACE(::testing::Message() << width << " x " << height);
    const BoardSize fit = FitBoardSize(width, height), at = BoardSizeFromClient(width, height);
    EXPECT_EQ(std::tuple(fit.cols, fit.rows, at.cols, at.rows),
              std::tuple(fitCols, fitRows, startCols, startRows));
  }
}

TEST(Supply, DealtPiecesAndOpeningPositions) {
  Random rng(2024);
  std::map<int16_t, int> dealt;
  const int deals = 200000;
  for (int i = 0; i < deals; ++i) ++dealt[DealPiece(rng)];
  // Trucks one in twenty, the rest alike; within five standard deviations.
  const std::map<int16_t, double> share = {
      {Fire, 19.0 / 60}, {Oil, 19.0 / 60}, {Water, 19.0 / 60}, {Truck, 1.0 / 20}};
  ASSERT_EQ(dealt.size(), 4u);
  for (auto [piece, p] : share)
    EXPECT_NEAR(dealt[piece], deals * p, 5 * std::sqrt(deals * p * (1 - p))) << piece;

  GameState s;
  s.boardCols = 10, s.boardRows = 1;  // ten cells: at least two must be empty
  std::map<int16_t, int> codes;
  for (int n = 0; n < 2000; ++n) {
    s.board[10] = Truck;
    NewBoard(s, rng);
    ASSERT_EQ(s.board[10], Truck);  // cells beyond the board are left alone
    ASSERT_GT(std::count(s.board.begin(), s.board.begin() + 10, Empty), 1);
    for (int i = 0; i < 10; ++i) ++codes[s.board[i]];
  }
  EXPECT_EQ(codes.size(), 4u);  // Empty, Fire, Oil, Water only
  for (auto [code, count] : codes) EXPECT_GT(count, 20000 / 5) << code;
  // Nine cells: more than a tenth is one, so a board with a single empty cell stands.
  s.boardCols = 3, s.boardRows = 3;
  int single = 0;
  for (int n = 0; n < 200; ++n)
    single += (NewBoard(s, rng), std::count(s.board.begin(), s.board.begin() + 9, Empty) == 1);
  EXPECT_GT(single, 0);
  s.boardCols = 0;
  NewBoard(s, rng);  // a board without cells: nothing to fill, and no endless loop
}

TEST(Supply, CatchUpRuleAndTheQueue) {
  // Entry 1 is the mover's, 0 and 2 the other's. A truck is withheld from a side not trailing by
  // over 10 and released to one that is. The mover, the scores; the queue before and after.
  const std::tuple<int16_t, Pair, std::array<int16_t, 3>, std::array<int16_t, 3>> cases[] = {
      {SideA, {0, 10}, {Truck, Truck, Truck}, {HeldTruck, HeldTruck, HeldTruck}},
      {SideA, {0, 11}, {Truck, Truck, Truck}, {HeldTruck, Truck, HeldTruck}},
      {SideB, {0, 11}, {Truck, Truck, Truck}, {Truck, HeldTruck, Truck}},
      {SideA, {11, 0}, {HeldTruck, HeldTruck, Fire}, {Truck, HeldTruck, Fire}},
      {SideB, {11, 0}, {HeldTruck, HeldTruck, Oil}, {HeldTruck, Truck, Oil}},
  };
  for (const auto& [turn, score, before, after] : cases) {
    GameState s;
    s.turn = turn, s.score = score, s.pieceQueue = before, ApplyCatchUpRule(s);
    EXPECT_EQ(s.pieceQueue, after) << turn << " " << score[0] << ":" << score[1];
  }
  // The first deal fills all three entries; later ones shift by one and deal one.
  GameState s;
  Random rng(8), same(8);
  AdvanceQueue(s, rng);
  std::array<int16_t, 3> want;
  for (int16_t& e : want) e = DealPiece(same);
  // Nobody trails: trucks are withheld, and the current one is placed as oil.
  std::ranges::replace(want, Truck, HeldTruck);
  if (want[2] == HeldTruck) want[2] = Oil;
  EXPECT_EQ(s.pieceQueue, want);
  s.pieceQueue = {Fire, HeldTruck, Water};
  AdvanceQueue(s, rng);
  EXPECT_EQ(std::tuple(s.pieceQueue[1], s.pieceQueue[2]), std::tuple(Fire, Oil));
}

}  // namespace
}  // namespace pyra::testing
