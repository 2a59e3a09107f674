// The rules again, plainly, so tests predict a move and the computer's choice without the code
// under test; positions written as pictures; a placement host that writes down every call.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "rules/game_state.h"
#include "rules/placement.h"

namespace pyra::testing {

constexpr std::string_view Letters = ".FOWTBH";  // Empty Fire Oil Water Truck Blocked HeldTruck

// A state with this position (one string per row, from the top), side A to move.
inline GameState MakeState(std::initializer_list<std::string_view> rows, int16_t current = Fire) {
  GameState s;
  s.boardRows = static_cast<int16_t>(rows.size());
  s.boardCols = static_cast<int16_t>(rows.begin()->size());
  for (int i = 0; i < s.CellCount(); ++i)
    s.board[i] = static_cast<int16_t>(Letters.find(rows.begin()[i % s.boardRows][i / s.boardRows]));
  s.pieceQueue = {Water, Oil, current};
  s.turn = SideA;
  return s;
}

// A placed piece by one neighbour: fire and oil cost a point, the oil burns; fire and water score
// one, the fire out or the water spent for good; a truck scores each oil it hauls; else nothing.
struct PairOutcome {
  int16_t neighbourAfter;
  int gains, losses;
  const char* cue;
};
inline PairOutcome Outcome(int16_t placed, int16_t n) {
  if (placed == Truck) return n == Oil ? PairOutcome{Empty, 1, 0, "JAN"} : PairOutcome{n, 0, 0, ""};
  if ((placed == Fire && n == Oil) || (placed == Oil && n == Fire)) return {Fire, 0, 1, "BO"};
  if (placed == Fire && n == Water) return {Blocked, 1, 0, "JU"};
  if (placed == Water && n == Fire) return {Empty, 1, 0, "JU"};
  return {n, 0, 0, ""};
}

template <typename F>
void ForNeighbours(const GameState& s, int column, int row, F f) {
  for (int c = column - 1; c <= column + 1; ++c)
    for (int r = row - 1; r <= row + 1; ++r)
      if ((c != column || r != row) && c >= 0 && r >= 0 && c < s.boardCols && r < s.boardRows)
        f(c * s.boardRows + r);
}

struct Expected {
  std::array<int16_t, BoardCapacity> board{};
  int gains = 0, losses = 0;
  std::vector<std::string> cues;
};

// Placing `placed` on the empty cell (column, row): a scoring piece goes, a burned one stays fire.
inline Expected Predict(const GameState& s, int column, int row, int16_t placed) {
  Expected e;
  e.board = s.board;
  std::string heard;
  ForNeighbours(s, column, row, [&](int i) {
    const PairOutcome o = Outcome(placed, s.board[i]);
    e.board[i] = o.neighbourAfter, e.gains += o.gains, e.losses += o.losses, heard += o.cue;
  });
  int16_t& target = e.board[column * s.boardRows + row];
  target = placed == Truck || e.gains > 0 ? int16_t{Empty} : e.losses > 0 ? int16_t{Fire} : placed;
  for (const char* cue : {"JAN", "JU", "BO"})
    if (heard.find(cue) != std::string::npos) e.cues.push_back(cue);
  if (placed != Truck && e.gains == 0 && e.losses == 0) e.cues.push_back("TON");
  return e;
}

// One more than the points the current piece would score on the cell.
inline int PredictValue(const GameState& s, int index) {
  const Expected e = Predict(s, index / s.boardRows, index % s.boardRows, s.pieceQueue[2]);
  return 1 + e.gains - e.losses;
}

// The computer's choice, plainly: top-valued cells not above the ceiling, raised by one while none.
struct ReferenceChoice {
  std::vector<int> cells;
  int ceiling = 0;
};
inline ReferenceChoice ReferenceComputerChoice(const GameState& s, int ceiling) {
  ReferenceChoice choice{{}, ceiling};
  for (;; ++choice.ceiling) {
    int best = -100;
    bool anyEmpty = false;
    for (int i = 0; i < s.CellCount(); ++i) {
      if (s.board[i] != Empty) continue;
      anyEmpty = true;
      const int v = PredictValue(s, i);
      if (v > choice.ceiling) continue;
      if (v > best) choice.cells.clear(), best = v;
      if (v == best) choice.cells.push_back(i);
    }
    if (!anyEmpty || !choice.cells.empty()) return choice;
  }
}

inline std::string Painted(int c, int r, int step, int code) {  // as RecordingHost logs a paint
  return "paint " + std::to_string(c) + "," + std::to_string(r) + " step " + std::to_string(step) +
         " code " + std::to_string(code);
}

// Every call a placement makes, in order: "paint c,r step s code k", "cue JU", "score 0",
// "stop clock", "next pieces", "caption", "finish", "hand over".
struct RecordingHost : PlacementHost {
  explicit RecordingHost(GameState& s) : state(s) {}
  GameState& state;
  std::vector<std::string> trace;
  std::string stretch = "Y";  // answers in order, Y or N; the last one repeats
  size_t asked = 0;
  bool finishStops = false;

  void PaintCell(int16_t c, int16_t r, int16_t step) override {
    trace.push_back(Painted(c, r, step, state.board[c * state.boardRows + r]));
  }
  bool RasterCanStretch() override { return stretch[std::min(asked++, stretch.size() - 1)] == 'Y'; }
  void PlayCue(Cue cue) override { trace.push_back(std::string("cue ") + CueName(cue)); }
  void ShowScore(int side) override {
    trace.push_back("score " + std::to_string(side) + "=" + std::to_string(state.score[side]));
  }
  void StopHumanClock() override { trace.push_back("stop clock"); }
  void DrawNextPieces() override {
    trace.push_back("next pieces, turn " + std::to_string(state.turn));
  }
  void RestoreCaption() override { trace.push_back("caption"); }
  bool FinishGame() override { return trace.push_back("finish"), finishStops; }
  void HandOverTurn() override { trace.push_back("hand over"); }
};

// Places the current piece on (column, row) with these stretch answers: every call, in order.
inline std::vector<std::string> Placed(GameState& s, int column, int row, std::string stretch = "Y",
                                       bool finishStops = false) {
  RecordingHost host(s);
  host.stretch = stretch, host.finishStops = finishStops;
  Random rng(1);
  PlacePiece(s, rng, host, int16_t(column), int16_t(row));
  return host.trace;
}

}  // namespace pyra::testing
