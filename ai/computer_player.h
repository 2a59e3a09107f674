// The computer's choice of cell, the forced move of a person out of time, and the
// automatic playing strength.
#pragma once

#include <array>
#include <cstdint>

#include "rules/game_state.h"
#include "rules/placement.h"
#include "rules/random.h"
#include "settings/game_settings.h"

namespace pyra {

constexpr int16_t NoCell = -1;

struct AiState {
  // The highest cell value the computer accepts: its playing strength.
  int16_t thinkLimit = 8;
  int16_t leadStreakA = 0;
  int16_t leadStreakB = 0;
  std::array<int16_t, BoardCapacity> candidateCells{};
};

// One more than the points the current piece would score on this empty cell: -7..9. The one
// valuation of a cell, for the computer's choice and for a person's forced move.
int16_t EvaluateCell(const GameState& s, int index);

// A cell of the highest value not above thinkLimit, ties broken at random. When no empty cell
// qualifies, thinkLimit rises to the lowest value present, where raising it a step at a time
// would stop. NoCell on a full board.
int16_t ChooseComputerCell(const GameState& s, AiState& ai, Random& rng);

// A cell of the lowest value, ties broken at random. When every empty cell is valued 9 the
// forced move still takes one of them, so a person's time-out never leaves the turn stuck.
int16_t ChooseTimeoutCell(const GameState& s, AiState& ai, Random& rng);

void ComputerMove(GameState& s, AiState& ai, Random& rng, PlacementHost& host);
void TimeoutMove(GameState& s, AiState& ai, Random& rng, PlacementHost& host);

// Side A's lasting lead of more than 10 raises the ceiling, side B's lowers it; only with
// the automatic level in a game of a person against the computer.
void AdjustThinkLimit(const GameState& s, AiState& ai, const GameSettings& settings);

// 3 when exactly one side is the computer, else 8: the strength at start-up.
int16_t InitialThinkLimit(const GameSettings& settings);
// 3 with the automatic level, else 8: the strength after the demo.
int16_t ThinkLimitAfterDemo(const GameSettings& settings);

}  // namespace pyra
