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

int16_t ChooseComputerCell(const GameState& s, AiState& ai, Random& rng) {
  const int cells = s.CellCount();
  // Values depend only on the position, so work them out once and rescan when the
  // ceiling has to rise.
  std::array<int8_t, BoardCapacity> values;
  bool anyEmpty = false;
  for (int i = 0; i < cells; ++i) {
    if (s.Board[i] == Empty) {
      values[i] = static_cast<int8_t>(EvaluateCell(s, i));
      anyEmpty = true;
    }
  }
  if (!anyEmpty) return NoCell;
  for (;;) {
    int best = -8;
    int n = 0;
    for (int i = 0; i < cells; ++i) {
      if (s.Board[i] != Empty) continue;
      const int v = values[i];
      if (v > best && v <= ai.ThinkLimit) {
        ai.CandidateCells[0] = static_cast<int16_t>(i);
        n = 1;
        best = v;
      } else if (v == best) {
        ai.CandidateCells[n++] = static_cast<int16_t>(i);
      }
    }
    if (n > 0) return ai.CandidateCells[rng.Below(n)];
    ++ai.ThinkLimit;  // every empty cell is valued above the ceiling
  }
}

int16_t ChooseTimeoutCell(const GameState& s, AiState& ai, Random& rng) {
  int best = 8;
  int n = 0;
  bool anyEmpty = false;
  for (int i = 0; i < s.CellCount(); ++i) {
    if (s.Board[i] != Empty) continue;
    anyEmpty = true;
    const int v = EvaluateCell(s, i);
    if (v < best) {
      ai.CandidateCells[0] = static_cast<int16_t>(i);
      n = 1;
      best = v;
    } else if (v == best) {
      ai.CandidateCells[n++] = static_cast<int16_t>(i);
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

void ComputerMove(GameState& s, AiState& ai, Random& rng, PlacementHost& host) {
  const int16_t i = ChooseComputerCell(s, ai, rng);
  if (i == NoCell) {
    PlacePiece(s, rng, host, -1, -1);
  } else {
    PlacePiece(s, rng, host, CellColumn(s, i), CellRow(s, i));
  }
}

void TimeoutMove(GameState& s, AiState& ai, Random& rng, PlacementHost& host) {
  const int16_t i = ChooseTimeoutCell(s, ai, rng);
  if (i == NoCell) {
    PlacePiece(s, rng, host, 0, 0);
  } else {
    PlacePiece(s, rng, host, CellColumn(s, i), CellRow(s, i));
  }
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
