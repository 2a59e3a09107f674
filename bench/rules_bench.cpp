// The computer's search and whole games on the largest board, without any drawing.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "ai/computer_player.h"
#include "rules/board.h"
#include "rules/piece_supply.h"
#include "rules/placement.h"

namespace pyra {
namespace {

// Plays on without a screen; a game ends only when the board is full, so that every game
// is as long as the board allows.
class QuietHost : public PlacementHost {
 public:
  explicit QuietHost(GameState& s) : s_(s) {}
  void PaintCell(int16_t, int16_t, int16_t) override {}
  bool RasterCanStretch() override { return true; }
  void PlayCue(Cue) override {}
  void ShowScore(int) override {}
  void StopHumanClock() override {}
  void DrawNextPieces() override {}
  void RestoreCaption() override {}
  bool FinishGame() override {
    for (int i = 0; i < s_.CellCount(); ++i) {
      if (s_.board[i] == Empty) return false;
    }
    s_.turn = TurnNone;
    return true;
  }
  void HandOverTurn() override {
    if (s_.turn != TurnNone) s_.turn = static_cast<int16_t>(1 - s_.turn);
  }

 private:
  GameState& s_;
};

void StartGame(GameState& s, Random& rng) {
  s.boardCols = MaxBoardCols;
  s.boardRows = MaxBoardRows;
  NewBoard(s, rng);
  s.score = {0, 0};
  s.turn = SideA;
  AdvanceQueue(s, rng);
}

int EmptyCells(const GameState& s) {
  int n = 0;
  for (int i = 0; i < s.CellCount(); ++i) n += s.board[i] == Empty;
  return n;
}

// A 50 by 50 game played until half of its opening empty cells are taken.
GameState MidGamePosition() {
  GameState s;
  Random rng(2024);
  StartGame(s, rng);
  AiState ai;
  QuietHost host(s);
  const int target = EmptyCells(s) / 2;
  while (EmptyCells(s) > target) ComputerMove(s, ai, rng, host);
  return s;
}

void BM_ChooseComputerCell_MidGame(benchmark::State& state) {
  const GameState s = MidGamePosition();
  AiState ai;
  Random rng(1);
  for (auto _ : state) {
    ai.thinkLimit = 8;
    benchmark::DoNotOptimize(ChooseComputerCell(s, ai, rng));
  }
  state.counters["empty"] = EmptyCells(s);
}
BENCHMARK(BM_ChooseComputerCell_MidGame);

void BM_ChooseComputerCell_Opening(benchmark::State& state) {
  GameState s;
  Random rng(7);
  StartGame(s, rng);
  AiState ai;
  for (auto _ : state) {
    ai.thinkLimit = 3;
    benchmark::DoNotOptimize(ChooseComputerCell(s, ai, rng));
  }
  state.counters["empty"] = EmptyCells(s);
}
BENCHMARK(BM_ChooseComputerCell_Opening);

void BM_ChooseComputerCell_EmptyBoard(benchmark::State& state) {
  GameState s;
  s.boardCols = MaxBoardCols;
  s.boardRows = MaxBoardRows;
  s.pieceQueue = {Fire, Fire, Oil};
  AiState ai;
  Random rng(3);
  for (auto _ : state) {
    ai.thinkLimit = 8;
    benchmark::DoNotOptimize(ChooseComputerCell(s, ai, rng));
  }
  state.counters["empty"] = EmptyCells(s);
}
BENCHMARK(BM_ChooseComputerCell_EmptyBoard);

// Water to place; every empty cell sits among fires (some spent) and is worth 5 to 9, so a
// ceiling of 1 has to rise four times or more before any cell qualifies.
void BM_ChooseComputerCell_CeilingRises(benchmark::State& state) {
  GameState s;
  s.boardCols = MaxBoardCols;
  s.boardRows = MaxBoardRows;
  s.pieceQueue = {Fire, Fire, Water};
  s.board.fill(Fire);
  // Each hole is the middle of its own 3 by 3 block; block k spends k % 5 of its fires.
  static constexpr int8_t around[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
  int block = 0;
  for (int c = 1; c + 1 < s.boardCols; c += 3) {
    for (int r = 1; r + 1 < s.boardRows; r += 3, ++block) {
      s.board[CellIndex(s, c, r)] = Empty;
      for (int k = 0; k < block % 5; ++k) {
        s.board[CellIndex(s, c + around[k][0], r + around[k][1])] = Blocked;
      }
    }
  }
  int16_t lowest = 99;
  for (int i = 0; i < s.CellCount(); ++i) {
    if (s.board[i] == Empty) lowest = std::min(lowest, EvaluateCell(s, i));
  }
  AiState ai;
  Random rng(5);
  for (auto _ : state) {
    ai.thinkLimit = 1;
    benchmark::DoNotOptimize(ChooseComputerCell(s, ai, rng));
  }
  state.counters["empty"] = EmptyCells(s);
  state.counters["raisedTo"] = ai.thinkLimit;
  state.counters["lowest"] = lowest;
}
BENCHMARK(BM_ChooseComputerCell_CeilingRises);

void BM_WholeGame50x50(benchmark::State& state) {
  GameState s;
  AiState ai;
  Random rng(11);
  QuietHost host(s);
  long placements = 0;
  for (auto _ : state) {
    StartGame(s, rng);
    ai.thinkLimit = 8;
    while (s.turn != TurnNone) {
      ComputerMove(s, ai, rng, host);
      ++placements;
    }
  }
  state.counters["placements"] =
      benchmark::Counter(static_cast<double>(placements), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WholeGame50x50)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pyra
