#include "ai/computer_player.h"

#include "rules/board.h"

namespace pyra {

int16_t EvaluateCell(const GameState& s, int index) {
  std::array<int16_t, 8> ring;
  BuildNeighbourRing(s, CellColumn(s, index), CellRow(s, index), ring);
  const int16_t off = s.OffBoard();
  const int16_t placed = s.PieceQueue[2];
  int value = 1;
  for (int16_t neighbour : ring) {
    if (neighbour == off) continue;
    const Reaction r = ReactionOf(placed, s.Board[neighbour]);
    value += r.gains - r.losses;
  }
  return static_cast<int16_t>(value);
}

namespace {

// What one neighbour of each code is worth to the piece being placed (gains minus losses),
// looked up once per search instead of asked of the rules for every neighbour.
struct NeighbourWorth {
  explicit NeighbourWorth(int16_t placed) : placed_(placed) {
    for (int16_t code = 0; code < static_cast<int16_t>(byCode_.size()); ++code) {
      const Reaction r = ReactionOf(placed, code);
      byCode_[code] = static_cast<int8_t>(r.gains - r.losses);
    }
  }
  int operator()(int16_t code) const {
    if (static_cast<uint16_t>(code) < byCode_.size()) return byCode_[code];
    const Reaction r = ReactionOf(placed_, code);
    return r.gains - r.losses;
  }

 private:
  int16_t placed_;
  std::array<int8_t, 8> byCode_{};
};

// EvaluateCell for the cell (column, row) at `index`, with the edges tested once each.
int ValueAt(const GameState& s, const NeighbourWorth& worth, int column, int row, int index) {
  const int rows = s.BoardRows;
  const int16_t* board = s.Board.data();
  const bool up = row >= 1;
  const bool down = row < rows - 1;
  int value = 1;
  if (column >= 1) {
    const int left = index - rows;
    if (up) value += worth(board[left - 1]);
    value += worth(board[left]);
    if (down) value += worth(board[left + 1]);
  }
  if (up) value += worth(board[index - 1]);
  if (down) value += worth(board[index + 1]);
  if (column < s.BoardCols - 1) {
    const int right = index + rows;
    if (up) value += worth(board[right - 1]);
    value += worth(board[right]);
    if (down) value += worth(board[right + 1]);
  }
  return value;
}

}  // namespace

int16_t ChooseComputerCell(const GameState& s, AiState& ai, Random& rng) {
  const NeighbourWorth worth(s.PieceQueue[2]);
  // One pass finds the best cell under the ceiling. When none qualifies the ceiling would
  // rise a step per pass until it reaches the lowest value present, so go there at once and
  // take the cells of that value.
  std::array<int8_t, BoardCapacity> values;
  bool anyEmpty = false;
  int best = -8;
  int lowest = 127;
  int n = 0;
  for (int column = 0, index = 0; column < s.BoardCols; ++column) {
    for (int row = 0; row < s.BoardRows; ++row, ++index) {
      if (s.Board[index] != Empty) continue;
      anyEmpty = true;
      const int v = ValueAt(s, worth, column, row, index);
      values[index] = static_cast<int8_t>(v);
      if (v < lowest) lowest = v;
      if (v > best && v <= ai.ThinkLimit) {
        ai.CandidateCells[0] = static_cast<int16_t>(index);
        n = 1;
        best = v;
      } else if (v == best) {
        ai.CandidateCells[n++] = static_cast<int16_t>(index);
      }
    }
  }
  if (!anyEmpty) return NoCell;
  if (n == 0) {
    ai.ThinkLimit = static_cast<int16_t>(lowest);
    const int cells = s.CellCount();
    for (int i = 0; i < cells; ++i) {
      if (s.Board[i] == Empty && values[i] == lowest)
        ai.CandidateCells[n++] = static_cast<int16_t>(i);
    }
  }
  return ai.CandidateCells[rng.Below(n)];
}

int16_t ChooseTimeoutCell(const GameState& s, AiState& ai, Random& rng) {
  const NeighbourWorth worth(s.PieceQueue[2]);
  int best = 8;
  int n = 0;
  bool anyEmpty = false;
  for (int column = 0, index = 0; column < s.BoardCols; ++column) {
    for (int row = 0; row < s.BoardRows; ++row, ++index) {
      if (s.Board[index] != Empty) continue;
      anyEmpty = true;
      const int v = ValueAt(s, worth, column, row, index);
      if (v < best) {
        ai.CandidateCells[0] = static_cast<int16_t>(index);
        n = 1;
        best = v;
      } else if (v == best) {
        ai.CandidateCells[n++] = static_cast<int16_t>(index);
      }
    }
  }
  if (!anyEmpty) return NoCell;
  if (n == 0) {
    // Every empty cell is valued 9: all of them are equally bad.
    for (int i = 0; i < s.CellCount(); ++i) {
      if (s.Board[i] == Empty) ai.CandidateCells[n++] = static_cast<int16_t>(i);
    }
  }
  return ai.CandidateCells[rng.Below(n)];
}

namespace {

// Places on the chosen cell; without one, on a target that the placement refuses.
void PlaceOnChoice(GameState& s, Random& rng, PlacementHost& host, int16_t choice,
                   int16_t refusedColumn, int16_t refusedRow) {
  if (choice == NoCell) {
    PlacePiece(s, rng, host, refusedColumn, refusedRow);
  } else {
    PlacePiece(s, rng, host, CellColumn(s, choice), CellRow(s, choice));
  }
}

}  // namespace

void ComputerMove(GameState& s, AiState& ai, Random& rng, PlacementHost& host) {
  PlaceOnChoice(s, rng, host, ChooseComputerCell(s, ai, rng), -1, -1);
}

void TimeoutMove(GameState& s, AiState& ai, Random& rng, PlacementHost& host) {
  PlaceOnChoice(s, rng, host, ChooseTimeoutCell(s, ai, rng), 0, 0);
}

void AdjustThinkLimit(const GameState& s, AiState& ai, const GameOptions& options) {
  if (!options.AutomaticLevel() || !options.OneHuman()) return;
  if (s.Score[0] > s.Score[1] + 10) {
    if (ai.LeadStreakA > 2) {
      ai.ThinkLimit = static_cast<int16_t>(ai.ThinkLimit + 1);
      if (ai.ThinkLimit > 8) ai.ThinkLimit = 8;
      ai.LeadStreakA = 0;
    } else {
      ++ai.LeadStreakA;
    }
  } else if (s.Score[1] > s.Score[0] + 10) {
    if (ai.LeadStreakB > 2) {
      ai.ThinkLimit = static_cast<int16_t>(ai.ThinkLimit - 1);
      if (ai.ThinkLimit < 1) ai.ThinkLimit = 1;
      ai.LeadStreakB = 0;
    } else {
      ++ai.LeadStreakB;
    }
  } else {
    ai.LeadStreakA = 0;
    ai.LeadStreakB = 0;
  }
}

int16_t InitialThinkLimit(const GameOptions& options) { return options.OneComputer() ? 3 : 8; }

int16_t ThinkLimitAfterDemo(const GameOptions& options) { return options.AutomaticLevel() ? 3 : 8; }

}  // namespace pyra
