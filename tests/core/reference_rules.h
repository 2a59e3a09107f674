// The rules of a placement written out a second time, plainly, so that tests can predict
// a move's outcome from the position before it without asking the code under test.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "rules/game_state.h"

namespace pyra::testing {

struct ExpectedReaction {
  int16_t neighbourAfter;
  int gains;
  int losses;
  std::string cue;  // "JAN", "JU", "BO" or empty
};

// One placed piece against one neighbour, as the rules table lists it.
inline ExpectedReaction ExpectedReactionOf(int16_t placed, int16_t neighbour) {
  if (placed == Fire && neighbour == Oil) return {Fire, 0, 1, "BO"};
  if (placed == Fire && neighbour == Water) return {Blocked, 1, 0, "JU"};
  if (placed == Oil && neighbour == Fire) return {Fire, 0, 1, "BO"};
  if (placed == Water && neighbour == Fire) return {Empty, 1, 0, "JU"};
  if (placed == Truck && neighbour == Oil) return {Empty, 1, 0, "JAN"};
  return {neighbour, 0, 0, ""};
}

// One more than the points that placing `placed` on (column, row) would score.
inline int PredictValue(const GameState& before, int column, int row, int16_t placed) {
  int value = 1;
  for (int c = column - 1; c <= column + 1; ++c) {
    for (int r = row - 1; r <= row + 1; ++r) {
      if ((c == column && r == row) || c < 0 || r < 0 || c >= before.BoardCols ||
          r >= before.BoardRows) {
        continue;
      }
      const ExpectedReaction e = ExpectedReactionOf(placed, before.Board[c * before.BoardRows + r]);
      value += e.gains - e.losses;
    }
  }
  return value;
}

struct ExpectedMove {
  std::array<int16_t, BoardCapacity> board{};
  int gains = 0;
  int losses = 0;
  int16_t targetCode = Empty;     // the placed cell once the drawing is done
  std::vector<std::string> cues;  // in the order they are played
};

// The outcome of placing `placed` on the empty cell (column, row) of `before`.
inline ExpectedMove PredictMove(const GameState& before, int column, int row, int16_t placed) {
  ExpectedMove m;
  m.board = before.Board;
  bool heard[3] = {false, false, false};  // JAN, JU, BO
  for (int dc = -1; dc <= 1; ++dc) {
    for (int dr = -1; dr <= 1; ++dr) {
      const int c = column + dc;
      const int r = row + dr;
      if ((dc == 0 && dr == 0) || c < 0 || r < 0 || c >= before.BoardCols ||
          r >= before.BoardRows) {
        continue;
      }
      const int index = c * before.BoardRows + r;
      const ExpectedReaction e = ExpectedReactionOf(placed, before.Board[index]);
      m.board[index] = e.neighbourAfter;
      m.gains += e.gains;
      m.losses += e.losses;
      if (e.cue == "JAN") heard[0] = true;
      if (e.cue == "JU") heard[1] = true;
      if (e.cue == "BO") heard[2] = true;
    }
  }
  if (placed == Truck || m.gains > 0) {
    m.targetCode = Empty;
  } else if (m.losses > 0) {
    m.targetCode = Fire;
  } else {
    m.targetCode = placed;
  }
  m.board[column * before.BoardRows + row] = m.targetCode;
  if (heard[0]) m.cues.push_back("JAN");
  if (heard[1]) m.cues.push_back("JU");
  if (heard[2]) m.cues.push_back("BO");
  if (placed != Truck && m.gains == 0 && m.losses == 0) m.cues.push_back("TON");
  return m;
}

}  // namespace pyra::testing
