#include "ai/computer_player.h"

#include "rules/board.h"

namespace pyra {

namespace {

// What a neighbour of each code counts for each piece (gains minus losses), worked out once
// from the reaction rules so that a search only looks values up.
constexpr int WorthCodes = 8;
using WorthRow = std::array<int8_t, WorthCodes>;
constexpr std::array<WorthRow, WorthCodes> Worth = [] {
  std::array<WorthRow, WorthCodes> table{};
  for (int16_t placed = Fire; placed <= Truck; ++placed) {
    for (int16_t code = 0; code < WorthCodes; ++code) {
      const Reaction r = ReactionOf(placed, code);
      table[placed][code] = static_cast<int8_t>(r.gains - r.losses);
    }
  }
  return table;
}();

}  // namespace

int16_t EvaluateCell(const GameState& s, int index) {
  const int rows = s.boardRows;
  const int column = index / rows;
  const int row = index % rows;
  const auto placed = static_cast<uint16_t>(s.pieceQueue[2]);
  const WorthRow& worth = Worth[placed < WorthCodes ? placed : 0];
  auto count = [&](int neighbour) -> int {
    const auto code = static_cast<uint16_t>(s.board[neighbour]);
    return code < WorthCodes ? worth[code] : 0;  // codes outside the table never react
  };
  // The neighbour ring with each edge tested once: off-board neighbours never count.
  const bool up = row >= 1;
  const bool down = row < rows - 1;
  int value = 1;
  if (column >= 1) {
    const int left = index - rows;
    if (up) value += count(left - 1);
    value += count(left);
    if (down) value += count(left + 1);
  }
  if (up) value += count(index - 1);
  if (down) value += count(index + 1);
  if (column < s.boardCols - 1) {
    const int right = index + rows;
    if (up) value += count(right - 1);
    value += count(right);
    if (down) value += count(right + 1);
  }
  return static_cast<int16_t>(value);
}

int16_t ChooseComputerCell(const GameState& s, AiState& ai, Random& rng) {
  // One pass finds the best cell under the ceiling. When none qualifies the ceiling would
  // rise a step per pass until it reaches the lowest value present, so go there at once and
  // take the cells of that value.
  std::array<int8_t, BoardCapacity> values;
  const int cells = s.CellCount();
  bool anyEmpty = false;
  int best = -8;
  int lowest = 127;
  int n = 0;
  for (int index = 0; index < cells; ++index) {
    if (s.board[index] != Empty) continue;
    anyEmpty = true;
    const int v = EvaluateCell(s, index);
    values[index] = static_cast<int8_t>(v);
    if (v < lowest) lowest = v;
    if (v > best && v <= ai.thinkLimit) {
      ai.candidateCells[0] = static_cast<int16_t>(index);
      n = 1;
      best = v;
    } else if (v == best) {
      ai.candidateCells[n++] = static_cast<int16_t>(index);
    }
  }
  if (!anyEmpty) return NoCell;
  if (n == 0) {
    ai.thinkLimit = static_cast<int16_t>(lowest);
    for (int i = 0; i < cells; ++i) {
      if (s.board[i] == Empty && values[i] == lowest) {
        ai.candidateCells[n++] = static_cast<int16_t>(i);
      }
    }
  }
  return ai.candidateCells[rng.Below(n)];
}

int16_t ChooseTimeoutCell(const GameState& s, AiState& ai, Random& rng) {
  const int cells = s.CellCount();
  int best = 8;
  int n = 0;
  bool anyEmpty = false;
  for (int index = 0; index < cells; ++index) {
    if (s.board[index] != Empty) continue;
    anyEmpty = true;
    const int v = EvaluateCell(s, index);
    if (v < best) {
      ai.candidateCells[0] = static_cast<int16_t>(index);
      n = 1;
      best = v;
    } else if (v == best) {
      ai.candidateCells[n++] = static_cast<int16_t>(index);
    }
  }
  if (!anyEmpty) return NoCell;
  if (n == 0) {
    // Every empty cell is valued 9: all of them are equally bad.
    for (int i = 0; i < cells; ++i) {
      if (s.board[i] == Empty) ai.candidateCells[n++] = static_cast<int16_t>(i);
    }
  }
  return ai.candidateCells[rng.Below(n)];
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

void AdjustThinkLimit(const GameState& s, AiState& ai, const GameSettings& settings) {
  if (!settings.AutomaticLevel() || !settings.OneHuman()) return;
  if (s.score[0] > s.score[1] + 10) {
    if (ai.leadStreakA > 2) {
      ai.thinkLimit = static_cast<int16_t>(ai.thinkLimit + 1);
      if (ai.thinkLimit > 8) ai.thinkLimit = 8;
      ai.leadStreakA = 0;
    } else {
      ++ai.leadStreakA;
    }
  } else if (s.score[1] > s.score[0] + 10) {
    if (ai.leadStreakB > 2) {
      ai.thinkLimit = static_cast<int16_t>(ai.thinkLimit - 1);
      if (ai.thinkLimit < 1) ai.thinkLimit = 1;
      ai.leadStreakB = 0;
    } else {
      ++ai.leadStreakB;
    }
  } else {
    ai.leadStreakA = 0;
    ai.leadStreakB = 0;
  }
}

int16_t InitialThinkLimit(const GameSettings& settings) { return settings.OneComputer() ? 3 : 8; }

int16_t ThinkLimitAfterDemo(const GameSettings& settings) {
  return settings.AutomaticLevel() ? 3 : 8;
}

}  // namespace pyra
