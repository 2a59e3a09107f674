// Positions written as pictures, one string per row from the top: '.' Empty, 'F' Fire,
// 'O' Oil, 'W' Water, 'T' Truck, 'B' Blocked, 'H' HeldTruck.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "rules/game_state.h"

namespace pyra::testing {

inline int16_t CodeOf(char ch) {
  switch (ch) {
    case '.':
      return Empty;
    case 'F':
      return Fire;
    case 'O':
      return Oil;
    case 'W':
      return Water;
    case 'T':
      return Truck;
    case 'B':
      return Blocked;
    case 'H':
      return HeldTruck;
  }
  ADD_FAILURE() << "unknown cell letter '" << ch << "'";
  return -99;
}

inline char LetterOf(int16_t code) {
  static constexpr char letters[] = ".FOWTBH";
  return code >= 0 && code <= 6 ? letters[code] : '?';
}

// A game state with this position, side A to move and `current` as the piece to place.
inline GameState MakeState(std::initializer_list<std::string_view> picture,
                           int16_t current = Fire) {
  GameState s;
  s.BoardRows = static_cast<int16_t>(picture.size());
  s.BoardCols = static_cast<int16_t>(picture.begin()->size());
  int row = 0;
  for (std::string_view line : picture) {
    EXPECT_EQ(static_cast<int>(line.size()), s.BoardCols) << "ragged picture";
    for (int col = 0; col < s.BoardCols; ++col) {
      s.Board[col * s.BoardRows + row] = CodeOf(line[col]);
    }
    ++row;
  }
  s.PieceQueue = {Water, Oil, current};
  s.Turn = SideA;
  return s;
}

// The position as a picture, to compare whole boards in one readable assertion.
inline std::vector<std::string> Picture(const GameState& s) {
  std::vector<std::string> lines(s.BoardRows, std::string(s.BoardCols, '?'));
  for (int col = 0; col < s.BoardCols; ++col) {
    for (int row = 0; row < s.BoardRows; ++row) {
      lines[row][col] = LetterOf(s.Board[col * s.BoardRows + row]);
    }
  }
  return lines;
}

inline std::vector<std::string> Lines(std::initializer_list<std::string_view> picture) {
  return std::vector<std::string>(picture.begin(), picture.end());
}

}  // namespace pyra::testing
