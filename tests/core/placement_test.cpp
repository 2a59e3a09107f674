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
using testing::Lines;
using testing::MakeState;
using testing::PaintText;
using testing::Picture;

using Trace = std::vector<std::string>;

// The five frames of the placed piece: a piece that stays grows in (16 down to 0); one
// that goes is shown at full size and shrinks away, the cell Empty on the last frame.
Trace Frames(int column, int row, int16_t placed, int16_t finalCode, bool vanishes) {
  if (vanishes) {
    return {PaintText(column, row, 0, placed), PaintText(column, row, 4, placed),
            PaintText(column, row, 8, placed), PaintText(column, row, 12, placed),
            PaintText(column, row, 16, Empty)};
  }
  return {PaintText(column, row, 16, finalCode), PaintText(column, row, 12, finalCode),
          PaintText(column, row, 8, finalCode), PaintText(column, row, 4, finalCode),
          PaintText(column, row, 0, finalCode)};
}

Trace Join(std::initializer_list<Trace> parts) {
  Trace all;
  for (const Trace& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

Trace Cues(std::initializer_list<const char*> names) {
  Trace t;
  for (const char* n : names) t.push_back(std::string("cue ") + n);
  return t;
}

Trace Tail(int mover) {
  return {"score " + std::to_string(mover), "stop clock", "next pieces", "caption", "hand over"};
}

// ---------------------------------------------------------------------------------------
// The reaction table: every piece against every neighbour code, the neighbour placed at
// each of the eight ring positions in turn.

struct ReactionRow {
  const char* name;
  int16_t placed;
  int16_t neighbour;
  int16_t neighbourAfter;
  int scoreChange;
  std::vector<const char*> cues;
  int16_t targetAfter;
};

void PrintTo(const ReactionRow& row, std::ostream* os) { *os << row.name; }

class ReactionTable : public ::testing::TestWithParam<ReactionRow> {};

TEST_P(ReactionTable, NeighbourTargetScoreCuesAndPaints) {
  const ReactionRow& k = GetParam();
  for (const RingOffset offset : NeighbourOffsets) {
    SCOPED_TRACE(::testing::Message()
                 << "neighbour at offset " << int{offset.dc} << "," << int{offset.dr});
    GameState s = MakeState({"...", "...", "..."}, k.placed);
    const int nc = 1 + offset.dc;
    const int nr = 1 + offset.dr;
    s.Board[CellIndex(s, nc, nr)] = k.neighbour;
    const int mover = (offset.dc + offset.dr) & 1;  // both sides get their turn
    s.Turn = static_cast<int16_t>(mover);
    s.Score = {3, -2};
    Random rng(11);
    FakePlacementHost host(s);

    PlacePiece(s, rng, host, 1, 1);

    EXPECT_EQ(s.Board[CellIndex(s, nc, nr)], k.neighbourAfter);
    EXPECT_EQ(s.Board[CellIndex(s, 1, 1)], k.targetAfter);
    Pair score = {3, -2};
    score[mover] = static_cast<int16_t>(score[mover] + k.scoreChange);
    EXPECT_EQ(s.Score, score);

    Trace expected;
    if (k.neighbourAfter != k.neighbour) expected.push_back(PaintText(nc, nr, 0, k.neighbourAfter));
    const bool vanishes = k.placed == Truck || k.targetAfter == Empty;
    Trace cues;
    for (const char* c : k.cues) cues.push_back(std::string("cue ") + c);
    expected = Join({expected, Frames(1, 1, k.placed, k.targetAfter, vanishes), cues, Tail(mover)});
    EXPECT_EQ(host.trace, expected);
  }

  // The same row, asked of the one-neighbour rule that the computer player also uses.
  const Reaction r = ReactionOf(k.placed, k.neighbour);
  EXPECT_EQ(r.neighbourBecomes, k.neighbourAfter);
  EXPECT_EQ(r.gains - r.losses, k.scoreChange);
  const bool janHeard = !k.cues.empty() && std::string(k.cues[0]) == "JAN";
  const bool juHeard = !k.cues.empty() && std::string(k.cues[0]) == "JU";
  const bool boHeard = !k.cues.empty() && std::string(k.cues[0]) == "BO";
  EXPECT_EQ(r.jan, janHeard);
  EXPECT_EQ(r.ju, juHeard);
  EXPECT_EQ(r.bo, boHeard);
}

INSTANTIATE_TEST_SUITE_P(
    AllPairs, ReactionTable,
    ::testing::Values(ReactionRow{"FireByEmpty", Fire, Empty, Empty, 0, {"TON"}, Fire},
                      ReactionRow{"FireByFire", Fire, Fire, Fire, 0, {"TON"}, Fire},
                      ReactionRow{"FireByOil", Fire, Oil, Fire, -1, {"BO"}, Fire},
                      ReactionRow{"FireByWater", Fire, Water, Blocked, 1, {"JU"}, Empty},
                      ReactionRow{"FireByBlocked", Fire, Blocked, Blocked, 0, {"TON"}, Fire},
                      ReactionRow{"FireByTruck", Fire, Truck, Truck, 0, {"TON"}, Fire},
                      ReactionRow{"FireByHeldTruck", Fire, HeldTruck, HeldTruck, 0, {"TON"}, Fire},
                      ReactionRow{"OilByEmpty", Oil, Empty, Empty, 0, {"TON"}, Oil},
                      ReactionRow{"OilByFire", Oil, Fire, Fire, -1, {"BO"}, Fire},
                      ReactionRow{"OilByOil", Oil, Oil, Oil, 0, {"TON"}, Oil},
                      ReactionRow{"OilByWater", Oil, Water, Water, 0, {"TON"}, Oil},
                      ReactionRow{"OilByBlocked", Oil, Blocked, Blocked, 0, {"TON"}, Oil},
                      ReactionRow{"OilByTruck", Oil, Truck, Truck, 0, {"TON"}, Oil},
                      ReactionRow{"OilByHeldTruck", Oil, HeldTruck, HeldTruck, 0, {"TON"}, Oil},
                      ReactionRow{"WaterByEmpty", Water, Empty, Empty, 0, {"TON"}, Water},
                      ReactionRow{"WaterByFire", Water, Fire, Empty, 1, {"JU"}, Empty},
                      ReactionRow{"WaterByOil", Water, Oil, Oil, 0, {"TON"}, Water},
                      ReactionRow{"WaterByWater", Water, Water, Water, 0, {"TON"}, Water},
                      ReactionRow{"WaterByBlocked", Water, Blocked, Blocked, 0, {"TON"}, Water},
                      ReactionRow{"WaterByTruck", Water, Truck, Truck, 0, {"TON"}, Water},
                      ReactionRow{
                          "WaterByHeldTruck", Water, HeldTruck, HeldTruck, 0, {"TON"}, Water},
                      ReactionRow{"TruckByEmpty", Truck, Empty, Empty, 0, {}, Empty},
                      ReactionRow{"TruckByFire", Truck, Fire, Fire, 0, {}, Empty},
                      ReactionRow{"TruckByOil", Truck, Oil, Empty, 1, {"JAN"}, Empty},
                      ReactionRow{"TruckByWater", Truck, Water, Water, 0, {}, Empty},
                      ReactionRow{"TruckByBlocked", Truck, Blocked, Blocked, 0, {}, Empty},
                      ReactionRow{"TruckByTruck", Truck, Truck, Truck, 0, {}, Empty},
                      ReactionRow{"TruckByHeldTruck", Truck, HeldTruck, HeldTruck, 0, {}, Empty}),
    [](const ::testing::TestParamInfo<ReactionRow>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// Several neighbours at once.

struct Scene {
  GameState s;
  Random rng{5};
  FakePlacementHost host{s};
  explicit Scene(GameState start) : s(start) {}
  void Place(int column, int row) {
    PlacePiece(s, rng, host, static_cast<int16_t>(column), static_cast<int16_t>(row));
  }
};

TEST(Placement, OilBesideTwoFiresAndAWaterCatchesFire) {
  Scene k(MakeState({"F.W",  //
                     "...",  //
                     "F.."},
                    Oil));
  k.Place(1, 1);
  EXPECT_EQ(Picture(k.s), Lines({"F.W", ".F.", "F.."}));
  EXPECT_EQ(k.s.Score[SideA], -2);
  EXPECT_EQ(k.host.trace, Join({Frames(1, 1, Oil, Fire, false), Cues({"BO"}), Tail(SideA)}));
}

TEST(Placement, FireBesideOilAndWaterSpreadsSpendsAndGoesOut) {
  Scene k(MakeState({"O..",  //
                     "...",  //
                     "..W"},
                    Fire));
  k.Place(1, 1);
  EXPECT_EQ(Picture(k.s), Lines({"F..", "...", "..B"}));
  EXPECT_EQ(k.s.Score[SideA], 0);
  EXPECT_EQ(k.host.trace, Join({{PaintText(0, 0, 0, Fire), PaintText(2, 2, 0, Blocked)},
                                Frames(1, 1, Fire, Empty, true),
                                Cues({"JU", "BO"}),
                                Tail(SideA)}));
}

TEST(Placement, WaterBetweenThreeFiresPutsOutAllAndSoundsOnce) {
  Scene k(MakeState({"F.F",  //
                     "...",  //
                     ".F."},
                    Water));
  k.Place(1, 1);
  EXPECT_EQ(Picture(k.s), Lines({"...", "...", "..."}));
  EXPECT_EQ(k.s.Score[SideA], 3);
  EXPECT_EQ(k.host.cues, (Trace{"JU"}));
  EXPECT_EQ(k.host.trace,
            Join({{PaintText(0, 0, 0, Empty), PaintText(2, 0, 0, Empty), PaintText(1, 2, 0, Empty)},
                  Frames(1, 1, Water, Empty, true),
                  Cues({"JU"}),
                  Tail(SideA)}));
}

TEST(Placement, TruckHaulsEveryOilAndIgnoresTheRest) {
  Scene k(MakeState({"OFO",  //
                     "W.B",  //
                     "O.F"},
                    Truck));
  k.s.Turn = SideB;
  k.Place(1, 1);
  EXPECT_EQ(Picture(k.s), Lines({".F.", "W.B", "..F"}));
  EXPECT_EQ(k.s.Score, (Pair{0, 3}));
  EXPECT_EQ(k.host.trace,
            Join({{PaintText(0, 0, 0, Empty), PaintText(2, 0, 0, Empty), PaintText(0, 2, 0, Empty)},
                  Frames(1, 1, Truck, Empty, true),
                  Cues({"JAN"}),
                  Tail(SideB)}));
}

TEST(Placement, TruckWithoutOilShowsAndVanishesSilentlyAndTheTurnStillPasses) {
  Scene k(MakeState({"FW.", "...", "B.F"}, Truck));
  k.Place(1, 1);
  EXPECT_EQ(Picture(k.s), Lines({"FW.", "...", "B.F"}));
  EXPECT_EQ(k.s.Score, (Pair{0, 0}));
  EXPECT_TRUE(k.host.cues.empty());
  EXPECT_EQ(k.host.trace, Join({Frames(1, 1, Truck, Empty, true), Tail(SideA)}));
}

TEST(Placement, EightNeighboursAreRepaintedInRingOrder) {
  Scene k(MakeState({"FFF", "F.F", "FFF"}, Water));
  k.Place(1, 1);
  EXPECT_EQ(k.s.Score[SideA], 8);
  EXPECT_EQ(k.host.trace,
            Join({{PaintText(0, 0, 0, Empty), PaintText(1, 0, 0, Empty), PaintText(2, 0, 0, Empty),
                   PaintText(0, 1, 0, Empty), PaintText(2, 1, 0, Empty), PaintText(0, 2, 0, Empty),
                   PaintText(1, 2, 0, Empty), PaintText(2, 2, 0, Empty)},
                  Frames(1, 1, Water, Empty, true),
                  Cues({"JU"}),
                  Tail(SideA)}));
}

TEST(Placement, FireAmongEightOilLosesEightAndStays) {
  Scene k(MakeState({"OOO", "O.O", "OOO"}, Fire));
  k.s.Turn = SideB;
  k.Place(1, 1);
  EXPECT_EQ(Picture(k.s), Lines({"FFF", "FFF", "FFF"}));
  EXPECT_EQ(k.s.Score, (Pair{0, -8}));
  EXPECT_EQ(k.host.cues, (Trace{"BO"}));
}

TEST(Placement, TopLeftCornerReachesOnlyItsThreeNeighbours) {
  Scene k(MakeState({".FFF", "FFFF", "FFFF"}, Water));
  k.Place(0, 0);
  EXPECT_EQ(Picture(k.s), Lines({"..FF", "..FF", "FFFF"}));
  EXPECT_EQ(k.s.Score[SideA], 3);
  EXPECT_EQ(k.host.trace,
            Join({{PaintText(1, 0, 0, Empty), PaintText(0, 1, 0, Empty), PaintText(1, 1, 0, Empty)},
                  Frames(0, 0, Water, Empty, true),
                  Cues({"JU"}),
                  Tail(SideA)}));
}

TEST(Placement, BottomRightCornerAndEdgesOfOneRowAndOneColumnBoards) {
  {
    Scene k(MakeState({"FFFF", "FFFF", "FFF."}, Water));
    k.Place(3, 2);
    EXPECT_EQ(Picture(k.s), Lines({"FFFF", "FF..", "FF.."}));
  }
  {
    Scene k(MakeState({"FF.FF"}, Water));
    k.Place(2, 0);
    EXPECT_EQ(Picture(k.s), Lines({"F...F"}));
    EXPECT_EQ(k.s.Score[SideA], 2);
  }
  {
    Scene k(MakeState({"O", "O", ".", "O", "O"}, Truck));
    k.Place(0, 2);
    EXPECT_EQ(Picture(k.s), Lines({"O", ".", ".", ".", "O"}));
    EXPECT_EQ(k.s.Score[SideA], 2);
  }
  {
    // Column-major addressing: on a wide board the cell below is not the cell to the right.
    Scene k(MakeState({"..F..", "FF.FF", "..F.."}, Water));
    k.Place(2, 1);
    EXPECT_EQ(Picture(k.s), Lines({".....", "F...F", "....."}));
  }
}

TEST(Placement, OneCellBoardTakesThePieceAndEndsTheGame) {
  Scene k(MakeState({"."}, Water));
  k.Place(0, 0);
  EXPECT_EQ(Picture(k.s), Lines({"W"}));
  EXPECT_EQ(k.host.trace,
            Join({Frames(0, 0, Water, Water, false),
                  Cues({"TON"}),
                  {"score 0", "stop clock", "next pieces", "caption", "finish", "hand over"}}));
}

// ---------------------------------------------------------------------------------------
// Drawing without stretch support.

TEST(PlacementDrawing, AsksForStretchBeforeEachOfTheFiveSteps) {
  Scene k(MakeState({"...", "...", "..."}, Oil));
  k.Place(1, 1);
  EXPECT_EQ(k.host.stretchQueries, 5);
}

struct StretchCase {
  const char* name;
  std::vector<bool> answers;
  int16_t placed;
  Trace frames;  // the paints of the placed cell at (1,1); a Fire sits at (0,0)
  int queries;
};

void PrintTo(const StretchCase& c, std::ostream* os) { *os << c.name; }

class PlacementWithoutStretch : public ::testing::TestWithParam<StretchCase> {};

TEST_P(PlacementWithoutStretch, DrawsTheLastStepAtOnce) {
  const StretchCase& k = GetParam();
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

INSTANTIATE_TEST_SUITE_P(
    Cases, PlacementWithoutStretch,
    ::testing::Values(
        // A water that puts out the fire goes straight to Empty: it is never shown.
        StretchCase{"VanishingNever", {false}, Water, {PaintText(1, 1, 16, Empty)}, 1},
        StretchCase{"StayingNever", {false}, Fire, {PaintText(1, 1, 0, Fire)}, 1},
        StretchCase{"CatchingFireNever", {false}, Oil, {PaintText(1, 1, 0, Fire)}, 1},
        StretchCase{"VanishingLostAfterFirstStep",
                    {true, false},
                    Water,
                    {PaintText(1, 1, 0, Water), PaintText(1, 1, 16, Empty)},
                    2},
        StretchCase{
            "StayingLostAfterTwoSteps",
            {true, true, false},
            Oil,
            {PaintText(1, 1, 16, Fire), PaintText(1, 1, 12, Fire), PaintText(1, 1, 0, Fire)},
            3}),
    [](const ::testing::TestParamInfo<StretchCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// The calls after the drawing, and what each one sees.

TEST(PlacementCalls, ScoreQueueAndTurnAreSettledWhenTheyAreShown) {
  Scene k(MakeState({"F..", "...", "..."}, Water));
  k.s.Turn = SideB;
  k.s.Score = {4, 7};
  k.s.PieceQueue = {Oil, Fire, Water};
  k.Place(1, 1);
  ASSERT_EQ(k.host.scoresAtShowScore.size(), 1u);
  EXPECT_EQ(k.host.scoresAtShowScore[0], (Pair{4, 8}));
  ASSERT_EQ(k.host.queueAtDrawNext.size(), 1u);
  EXPECT_EQ(k.host.queueAtDrawNext[0][2], Fire);
  EXPECT_EQ(k.host.queueAtDrawNext[0][1], Oil);
  EXPECT_EQ(k.host.turnAtDrawNext[0], SideB);  // the hand-over comes later
  EXPECT_EQ(k.host.trace, Join({{PaintText(0, 0, 0, Empty)},
                                Frames(1, 1, Water, Empty, true),
                                Cues({"JU"}),
                                Tail(SideB)}));
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

struct RefusedCase {
  const char* name;
  int column;
  int row;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class RefusedTarget : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedTarget, ChangesNothingButTheCaption) {
  const RefusedCase& k = GetParam();
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

INSTANTIATE_TEST_SUITE_P(
    Targets, RefusedTarget,
    ::testing::Values(RefusedCase{"Fire", 0, 0}, RefusedCase{"Oil", 1, 0},
                      RefusedCase{"Water", 2, 0}, RefusedCase{"Blocked", 0, 1},
                      RefusedCase{"LastCellOccupied", 3, 2}, RefusedCase{"LeftOfBoard", -1, 1},
                      RefusedCase{"AboveBoardWrapsToAnEmptyCell", 1, -1},
                      RefusedCase{"RightOfBoard", 4, 0}, RefusedCase{"BelowBoard", 1, 3},
                      RefusedCase{"MinusOneMinusOne", -1, -1},
                      // Row 3 of column 2 would be the index of the empty (3,0).
                      RefusedCase{"RowPastBottomWrapsToAnEmptyCell", 2, 3},
                      RefusedCase{"FarOff", SHRT_MAX, SHRT_MAX},
                      RefusedCase{"FarNegative", SHRT_MIN, SHRT_MIN}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

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
  // Only a finished position can make the end test true here; it runs on every call.
  Scene k(MakeState({"FO", "WB"}, Water));
  k.Place(-1, -1);
  EXPECT_EQ(k.host.trace, (Trace{"caption", "finish"}));
}

// ---------------------------------------------------------------------------------------
// The end of the game after a move.

struct EndCase {
  const char* name;
  int16_t scoreA, scoreB;
  int16_t turn;
  bool finishes;
};

void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }

class EndAfterMove : public ::testing::TestWithParam<EndCase> {};

TEST_P(EndAfterMove, FinishesOnlyAtALeadOfTwentyOne) {
  const EndCase& k = GetParam();
  for (const bool stop : {false, true}) {
    // The mover gains 1 by putting out the fire.
    Scene scene(MakeState({"F...", "....", "...."}, Water));
    scene.s.Score = {k.scoreA, k.scoreB};
    scene.s.Turn = k.turn;
    Pair seenAtFinish{};
    scene.host.onFinishGame = [&](GameState& s) {
      seenAtFinish = s.Score;
      return stop;
    };
    scene.Place(1, 1);
    const Trace head = {"score " + std::to_string(k.turn), "stop clock", "next pieces", "caption"};
    Trace expected =
        Join({{PaintText(0, 0, 0, Empty)}, Frames(1, 1, Water, Empty, true), Cues({"JU"}), head});
    if (k.finishes) expected.push_back("finish");
    if (!k.finishes || !stop) expected.push_back("hand over");
    EXPECT_EQ(scene.host.trace, expected) << (stop ? "FinishGame stops" : "FinishGame goes on");
    if (k.finishes) {
      EXPECT_EQ(seenAtFinish, scene.s.Score) << "the end sees the new score";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Leads, EndAfterMove,
    ::testing::Values(EndCase{"A30B9", 29, 9, SideA, true}, EndCase{"A29B9", 28, 9, SideA, false},
                      EndCase{"B30A9", 9, 29, SideB, true}, EndCase{"B29A9", 9, 28, SideB, false},
                      // The trailing side's point brings a lead of 21 back to 20.
                      EndCase{"A10B30", 9, 30, SideA, false}, EndCase{"A21B0", 20, 0, SideA, true},
                      EndCase{"A0B21", 0, 20, SideB, true}, EndCase{"A20B0", 19, 0, SideA, false},
                      EndCase{"Negative", -30, -10, SideB, true}),
    [](const ::testing::TestParamInfo<EndCase>& info) { return std::string(info.param.name); });

TEST(EndAfterMove, FillingTheLastCellFinishes) {
  Scene k(MakeState({"WW", "W."}, Oil));
  k.s.Turn = SideB;
  k.host.onFinishGame = [](GameState& s) {
    s.Turn = TurnNone;
    return true;
  };
  k.Place(1, 1);
  EXPECT_EQ(Picture(k.s), Lines({"WW", "WO"}));
  EXPECT_EQ(k.host.trace, Join({Frames(1, 1, Oil, Oil, false),
                                Cues({"TON"}),
                                {"score 1", "stop clock", "next pieces", "caption", "finish"}}));
  EXPECT_EQ(k.s.Turn, TurnNone);
}

TEST(EndAfterMove, AVanishingPieceLeavesTheBoardOpen) {
  Scene k(MakeState({"FW", "W."}, Water));
  k.Place(1, 1);
  EXPECT_EQ(Picture(k.s), Lines({".W", "W."}));
  EXPECT_EQ(k.host.Count("finish"), 0);
  EXPECT_EQ(k.host.Count("hand over"), 1);
}

}  // namespace
}  // namespace pyra
