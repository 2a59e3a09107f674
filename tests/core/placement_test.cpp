// PlacePiece: the reactions, the fate and drawing of the placed piece, the cues, the score,
// the order of the calls to the rest of the program, refused targets and the end test.
#include "rules/placement.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "fake_placement_host.h"
#include "rules/board.h"
#include "test_boards.h"

namespace pyra {
namespace {

using testing::FakePlacementHost;
using testing::MakeState;
using testing::PaintText;
using testing::Picture;

using Trace = std::vector<std::string>;

// The five frames of the placed piece: a piece that stays grows in (16 down to 0); one
// that goes is shown at full size and shrinks away, the cell Empty on the last frame.
Trace Frames(int column, int row, int16_t placed, int16_t finalCode, bool vanishes) {
  Trace t;
  for (int i = 0; i < 5; ++i) {
    t.push_back(vanishes ? PaintText(column, row, 4 * i, i == 4 ? int16_t{Empty} : placed)
                         : PaintText(column, row, 16 - 4 * i, finalCode));
  }
  return t;
}

Trace Join(std::initializer_list<Trace> parts) {
  Trace all;
  for (const Trace& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

Trace Cue(const char* name) { return name ? Trace{std::string("cue ") + name} : Trace{}; }

Trace Tail(int mover) {
  return {"score " + std::to_string(mover), "stop clock", "next pieces", "caption", "hand over"};
}

GameState FromLines(const std::vector<std::string>& lines, int16_t piece) {
  GameState s = MakeState({lines[0]}, piece);
  s.BoardRows = static_cast<int16_t>(lines.size());
  for (int r = 0; r < s.BoardRows; ++r) {
    for (int c = 0; c < s.BoardCols; ++c)
      s.Board[CellIndex(s, c, r)] = testing::CodeOf(lines[r][c]);
  }
  return s;
}

struct Scene {
  GameState s;
  Random rng{5};
  FakePlacementHost host{s};
  explicit Scene(GameState start) : s(start) {}
  void Place(int column, int row) {
    PlacePiece(s, rng, host, static_cast<int16_t>(column), static_cast<int16_t>(row));
  }
};

// The reaction table: every piece against every neighbour code, the neighbour placed at
// each of the eight ring positions in turn, both sides moving.
TEST(ReactionTable, NeighbourTargetScoreCuesAndPaints) {
  // Placed piece, neighbour, the neighbour after, score change, cue, the placed cell after.
  const struct {
    int16_t placed, neighbour, neighbourAfter;
    int scoreChange;
    const char* cue;
    int16_t targetAfter;
  } rows[] = {{Fire, Empty, Empty, 0, "TON", Fire},
              {Fire, Fire, Fire, 0, "TON", Fire},
              {Fire, Oil, Fire, -1, "BO", Fire},
              {Fire, Water, Blocked, 1, "JU", Empty},
              {Fire, Blocked, Blocked, 0, "TON", Fire},
              {Fire, Truck, Truck, 0, "TON", Fire},
              {Fire, HeldTruck, HeldTruck, 0, "TON", Fire},
              {Oil, Empty, Empty, 0, "TON", Oil},
              {Oil, Fire, Fire, -1, "BO", Fire},
              {Oil, Oil, Oil, 0, "TON", Oil},
              {Oil, Water, Water, 0, "TON", Oil},
              {Oil, Blocked, Blocked, 0, "TON", Oil},
              {Oil, Truck, Truck, 0, "TON", Oil},
              {Oil, HeldTruck, HeldTruck, 0, "TON", Oil},
              {Water, Empty, Empty, 0, "TON", Water},
              {Water, Fire, Empty, 1, "JU", Empty},
              {Water, Oil, Oil, 0, "TON", Water},
              {Water, Water, Water, 0, "TON", Water},
              {Water, Blocked, Blocked, 0, "TON", Water},
              {Water, Truck, Truck, 0, "TON", Water},
              {Water, HeldTruck, HeldTruck, 0, "TON", Water},
              {Truck, Empty, Empty, 0, nullptr, Empty},
              {Truck, Fire, Fire, 0, nullptr, Empty},
              {Truck, Oil, Empty, 1, "JAN", Empty},
              {Truck, Water, Water, 0, nullptr, Empty},
              {Truck, Blocked, Blocked, 0, nullptr, Empty},
              {Truck, Truck, Truck, 0, nullptr, Empty},
              {Truck, HeldTruck, HeldTruck, 0, nullptr, Empty}};
  for (const auto& k : rows) {
    SCOPED_TRACE(::testing::Message() << "placed " << k.placed << " by " << k.neighbour);
    for (const RingOffset offset : NeighbourOffsets) {
      SCOPED_TRACE(::testing::Message() << "offset " << int{offset.dc} << "," << int{offset.dr});
      Scene scene(MakeState({"...", "...", "..."}, k.placed));
      GameState& s = scene.s;
      const int nc = 1 + offset.dc;
      const int nr = 1 + offset.dr;
      s.Board[CellIndex(s, nc, nr)] = k.neighbour;
      const int mover = (offset.dc + offset.dr) & 1;
      s.Turn = static_cast<int16_t>(mover);
      s.Score = {3, -2};
      scene.Place(1, 1);
      EXPECT_EQ(s.Board[CellIndex(s, nc, nr)], k.neighbourAfter);
      EXPECT_EQ(s.Board[CellIndex(s, 1, 1)], k.targetAfter);
      Pair score = {3, -2};
      score[mover] = static_cast<int16_t>(score[mover] + k.scoreChange);
      EXPECT_EQ(s.Score, score);
      Trace paint;
      if (k.neighbourAfter != k.neighbour) paint.push_back(PaintText(nc, nr, 0, k.neighbourAfter));
      const bool vanishes = k.placed == Truck || k.targetAfter == Empty;
      EXPECT_EQ(scene.host.trace, Join({paint, Frames(1, 1, k.placed, k.targetAfter, vanishes),
                                        Cue(k.cue), Tail(mover)}));
    }
    // The same row, asked of the one-neighbour rule that the computer player also uses.
    const Reaction r = ReactionOf(k.placed, k.neighbour);
    EXPECT_EQ(r.neighbourBecomes, k.neighbourAfter);
    EXPECT_EQ(r.gains - r.losses, k.scoreChange);
    const std::string cue = k.cue ? k.cue : "";
    EXPECT_EQ(r.jan, cue == "JAN");
    EXPECT_EQ(r.ju, cue == "JU");
    EXPECT_EQ(r.bo, cue == "BO");
  }
}

// Several neighbours at once: the board after, the score, and the trace: the changed
// neighbours repainted in ring order, the placed piece's frames, the cues, the tail.
void ExpectScene(const char* name, const std::vector<std::string>& before, int16_t piece,
                 int16_t turn, int column, int row, const std::vector<std::string>& after,
                 Pair score, const std::vector<std::array<int, 3>>& repaints,
                 const std::vector<const char*>& cues) {
  SCOPED_TRACE(name);
  Scene scene(FromLines(before, piece));
  scene.s.Turn = turn;
  scene.Place(column, row);
  EXPECT_EQ(Picture(scene.s), after);
  EXPECT_EQ(scene.s.Score, score);
  Trace expected;
  for (const auto& [c, r, code] : repaints) expected.push_back(PaintText(c, r, 0, code));
  const int16_t finalCode = scene.s.Board[CellIndex(scene.s, column, row)];
  const bool vanishes = piece == Truck || finalCode == Empty;
  expected = Join({expected, Frames(column, row, piece, finalCode, vanishes)});
  for (const char* cue : cues) expected.push_back(std::string("cue ") + cue);
  expected = Join({expected, Tail(turn)});
  bool full = true;  // a full board ends the game before the hand-over
  for (const std::string& line : after) full = full && line.find('.') == std::string::npos;
  if (full) expected.insert(expected.end() - 1, "finish");
  EXPECT_EQ(scene.host.trace, expected);
}

// All eight neighbours of (1,1) in ring order.
std::vector<std::array<int, 3>> AllEight(int code) {
  const int cells[8][2] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};
  std::vector<std::array<int, 3>> all;
  for (const auto& cell : cells) all.push_back({cell[0], cell[1], code});
  return all;
}

TEST(Placement, SeveralNeighboursCornersEdgesAndNarrowBoards) {
  ExpectScene("OilBesideTwoFiresAndAWaterCatchesFire", {"F.W", "...", "F.."}, Oil, SideA, 1, 1,
              {"F.W", ".F.", "F.."}, {-2, 0}, {}, {"BO"});
  ExpectScene("FireBesideOilAndWaterSpreadsSpendsAndGoesOut", {"O..", "...", "..W"}, Fire, SideA, 1,
              1, {"F..", "...", "..B"}, {0, 0}, {{0, 0, Fire}, {2, 2, Blocked}}, {"JU", "BO"});
  ExpectScene("WaterBetweenThreeFiresPutsOutAllAndSoundsOnce", {"F.F", "...", ".F."}, Water, SideA,
              1, 1, {"...", "...", "..."}, {3, 0}, {{0, 0, Empty}, {2, 0, Empty}, {1, 2, Empty}},
              {"JU"});
  ExpectScene("TruckHaulsEveryOilAndIgnoresTheRest", {"OFO", "W.B", "O.F"}, Truck, SideB, 1, 1,
              {".F.", "W.B", "..F"}, {0, 3}, {{0, 0, Empty}, {2, 0, Empty}, {0, 2, Empty}},
              {"JAN"});
  ExpectScene("TruckWithoutOilVanishesSilently", {"FW.", "...", "B.F"}, Truck, SideA, 1, 1,
              {"FW.", "...", "B.F"}, {0, 0}, {}, {});
  ExpectScene("EightNeighboursInRingOrder", {"FFF", "F.F", "FFF"}, Water, SideA, 1, 1,
              {"...", "...", "..."}, {8, 0}, AllEight(Empty), {"JU"});
  ExpectScene("FireAmongEightOilLosesEightAndStays", {"OOO", "O.O", "OOO"}, Fire, SideB, 1, 1,
              {"FFF", "FFF", "FFF"}, {0, -8}, AllEight(Fire), {"BO"});
  ExpectScene("TopLeftCorner", {".FFF", "FFFF", "FFFF"}, Water, SideA, 0, 0,
              {"..FF", "..FF", "FFFF"}, {3, 0}, {{1, 0, Empty}, {0, 1, Empty}, {1, 1, Empty}},
              {"JU"});
  ExpectScene("BottomRightCorner", {"FFFF", "FFFF", "FFF."}, Water, SideA, 3, 2,
              {"FFFF", "FF..", "FF.."}, {3, 0}, {{2, 1, Empty}, {3, 1, Empty}, {2, 2, Empty}},
              {"JU"});
  ExpectScene("OneRow", {"FF.FF"}, Water, SideA, 2, 0, {"F...F"}, {2, 0},
              {{1, 0, Empty}, {3, 0, Empty}}, {"JU"});
  ExpectScene("OneCellBoardTakesThePieceAndEnds", {"."}, Water, SideA, 0, 0, {"W"}, {0, 0}, {},
              {"TON"});
  ExpectScene("OneColumn", {"O", "O", ".", "O", "O"}, Truck, SideA, 0, 2, {"O", ".", ".", ".", "O"},
              {2, 0}, {{0, 1, Empty}, {0, 3, Empty}}, {"JAN"});
  ExpectScene("VanishingPieceOnTheLastCellLeavesTheBoardOpen", {"FW", "W."}, Water, SideA, 1, 1,
              {".W", "W."}, {1, 0}, {{0, 0, Empty}}, {"JU"});
  // Column-major addressing: on a wide board the cell below is not the cell to the right.
  ExpectScene("WideBoard", {"..F..", "FF.FF", "..F.."}, Water, SideA, 2, 1,
              {".....", "F...F", "....."}, {4, 0},
              {{2, 0, Empty}, {1, 1, Empty}, {3, 1, Empty}, {2, 2, Empty}}, {"JU"});
}

TEST(PlacementDrawing, WithoutStretchDrawsTheLastStepAtOnce) {
  // The paints of the placed cell at (1,1); a Fire sits at (0,0).
  const struct {
    const char* name;
    std::vector<bool> answers;
    int16_t placed;
    Trace frames;
    int queries;
  } cases[] = {
      {"AlwaysStretches", {true}, Oil, Frames(1, 1, Oil, Fire, false), 5},
      // A water that puts out the fire goes straight to Empty: it is never shown.
      {"VanishingNever", {false}, Water, {PaintText(1, 1, 16, Empty)}, 1},
      {"StayingNever", {false}, Fire, {PaintText(1, 1, 0, Fire)}, 1},
      {"CatchingFireNever", {false}, Oil, {PaintText(1, 1, 0, Fire)}, 1},
      {"VanishingLostAfterFirstStep",
       {true, false},
       Water,
       {PaintText(1, 1, 0, Water), PaintText(1, 1, 16, Empty)},
       2},
      {"StayingLostAfterTwoSteps",
       {true, true, false},
       Oil,
       {PaintText(1, 1, 16, Fire), PaintText(1, 1, 12, Fire), PaintText(1, 1, 0, Fire)},
       3},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    Scene scene(MakeState({"F..", "...", "..."}, k.placed));
    scene.host.stretchAnswers = k.answers;
    scene.Place(1, 1);
    Trace paintsOfTarget;
    for (const auto& p : scene.host.paints) {
      if (p.column == 1 && p.row == 1) paintsOfTarget.push_back(PaintText(1, 1, p.step, p.code));
    }
    EXPECT_EQ(paintsOfTarget, k.frames);
    EXPECT_EQ(scene.host.stretchQueries, k.queries);
  }
}

TEST(PlacementCalls, ScoreQueueAndTurnAreSettledWhenTheyAreShown) {
  Scene k(MakeState({"F..", "...", "..."}, Water));
  k.s.Turn = SideB;
  k.s.Score = {4, 7};
  k.s.PieceQueue = {Oil, Fire, Water};
  k.Place(1, 1);
  EXPECT_EQ(k.host.scoresAtShowScore, (std::vector<Pair>{{4, 8}}));
  ASSERT_EQ(k.host.queueAtDrawNext.size(), 1u);
  EXPECT_EQ(k.host.queueAtDrawNext[0][2], Fire);
  EXPECT_EQ(k.host.queueAtDrawNext[0][1], Oil);
  EXPECT_EQ(k.host.turnAtDrawNext, (std::vector<int16_t>{SideB}));  // hand-over comes later
}

TEST(PlacementCalls, NextPieceIsDealtWhileTheMoverStillHoldsTheTurn) {
  // The withheld truck moves into entry 1, which belongs to the side that has just moved;
  // A trails by 15, so it is released to A. Handing over first would keep it withheld.
  Scene k(MakeState({"...", "...", "..."}, Water));
  k.s.Score = {0, 15};
  k.s.PieceQueue = {HeldTruck, Oil, Water};
  k.host.onHandOverTurn = [](GameState& s) { s.Turn = static_cast<int16_t>(1 - s.Turn); };
  k.Place(0, 0);
  EXPECT_EQ(k.s.PieceQueue[2], Oil);
  EXPECT_EQ(k.s.PieceQueue[1], Truck);
  EXPECT_EQ(k.s.Turn, SideB);
}

TEST(PlacementCalls, RefusedTargetChangesNothingButTheCaption) {
  const struct {
    const char* name;
    int column, row;
  } cases[] = {{"Fire", 0, 0},
               {"Oil", 1, 0},
               {"Water", 2, 0},
               {"Blocked", 0, 1},
               {"LastCellOccupied", 3, 2},
               {"LeftOfBoard", -1, 1},
               {"AboveBoardWrapsToAnEmptyCell", 1, -1},
               {"RightOfBoard", 4, 0},
               {"BelowBoard", 1, 3},
               {"MinusOneMinusOne", -1, -1},
               {"RowPastBottomWrapsToTheEmptyCell3_0", 2, 3},
               {"FarOff", SHRT_MAX, SHRT_MAX},
               {"FarNegative", SHRT_MIN, SHRT_MIN}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    // 4 columns, 3 rows; every code that occupies a cell is present.
    Scene scene(MakeState({"FOW.", "B...", "...F"}, Water));
    scene.s.Score = {6, 9};
    scene.s.Turn = SideB;
    const GameState before = scene.s;
    Random untouched(5);
    scene.Place(k.column, k.row);
    EXPECT_EQ(scene.host.trace, (Trace{"caption"}));
    EXPECT_EQ(scene.host.stretchQueries, 0);
    EXPECT_EQ(scene.s.Board, before.Board);
    EXPECT_EQ(scene.s.PieceQueue, before.PieceQueue);
    EXPECT_EQ(scene.s.Score, before.Score);
    EXPECT_EQ(scene.s.Turn, before.Turn);
    EXPECT_EQ(scene.rng.Next(), untouched.Next()) << "no piece may be dealt";
  }
}

TEST(PlacementCalls, NoSideToMoveRefusesEvenAnEmptyCellAndDoesNotFinishAgain) {
  Scene k(MakeState({"F..", "..."}, Water));
  k.s.Turn = TurnNone;
  k.s.Score = {40, 0};  // the game that just ended
  const GameState before = k.s;
  k.Place(1, 0);
  EXPECT_EQ(k.host.trace, (Trace{"caption"}));
  EXPECT_EQ(k.s.Board, before.Board);
  EXPECT_EQ(k.s.Score, before.Score);
}

TEST(PlacementCalls, RefusedTargetStillRunsTheEndTest) {
  Scene k(MakeState({"FO", "WB"}, Water));
  k.Place(-1, -1);
  EXPECT_EQ(k.host.trace, (Trace{"caption", "finish"}));
}

TEST(EndAfterMove, FinishesOnlyAtALeadOfTwentyOne) {
  // Scores before the move; the mover gains 1 by putting out the fire.
  const struct {
    int16_t scoreA, scoreB, turn;
    bool finishes;
  } cases[] = {{29, 9, SideA, true},   {28, 9, SideA, false}, {9, 29, SideB, true},
               {9, 28, SideB, false},  {9, 30, SideA, false},  // the trailing side's point
               {20, 0, SideA, true},   {0, 20, SideB, true},  {19, 0, SideA, false},
               {-30, -10, SideB, true}};
  for (const auto& k : cases) {
    for (const bool stop : {false, true}) {
      SCOPED_TRACE(::testing::Message() << k.scoreA << ":" << k.scoreB << " turn " << k.turn
                                        << (stop ? ", FinishGame stops" : ", FinishGame goes on"));
      Scene scene(MakeState({"F...", "....", "...."}, Water));
      scene.s.Score = {k.scoreA, k.scoreB};
      scene.s.Turn = k.turn;
      Pair seenAtFinish{};
      scene.host.onFinishGame = [&](GameState& s) {
        seenAtFinish = s.Score;
        return stop;
      };
      scene.Place(1, 1);
      Trace expected = Join(
          {{PaintText(0, 0, 0, Empty)}, Frames(1, 1, Water, Empty, true), Cue("JU"), Tail(k.turn)});
      expected.pop_back();
      if (k.finishes) expected.push_back("finish");
      if (!k.finishes || !stop) expected.push_back("hand over");
      EXPECT_EQ(scene.host.trace, expected);
      if (k.finishes) {
        EXPECT_EQ(seenAtFinish, scene.s.Score) << "the end sees the new score";
      }
    }
  }
}

TEST(EndAfterMove, FillingTheLastCellFinishes) {
  Scene k(MakeState({"WW", "W."}, Oil));
  k.s.Turn = SideB;
  k.host.onFinishGame = [](GameState& s) {
    s.Turn = TurnNone;
    return true;
  };
  k.Place(1, 1);
  EXPECT_EQ(Picture(k.s), testing::Lines({"WW", "WO"}));
  EXPECT_EQ(k.host.trace, Join({Frames(1, 1, Oil, Oil, false),
                                Cue("TON"),
                                {"score 1", "stop clock", "next pieces", "caption", "finish"}}));
  EXPECT_EQ(k.s.Turn, TurnNone);
}

}  // namespace
}  // namespace pyra
