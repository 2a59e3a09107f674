#include "rules/placement.h"

#include "rules/board.h"
#include "rules/piece_supply.h"

namespace pyra {

const char* CueName(Cue cue) {
  switch (cue) {
    case Cue::Jan:
      return "JAN";
    case Cue::Ju:
      return "JU";
    case Cue::Bo:
      return "BO";
    case Cue::Ton:
      return "TON";
  }
  return "";
}

bool IsGameOver(const GameState& s) {
  bool full = true;
  for (int i = 0; i < s.CellCount(); ++i) {
    if (s.board[i] == Empty) {
      full = false;
      break;
    }
  }
  return full || s.score[1] > s.score[0] + 20 || s.score[0] > s.score[1] + 20;
}

namespace {

// Draws the placed piece in five steps: growing in when it stays, shrinking away when it
// goes. Without stretching only the last step is drawn.
void DrawPlacedPiece(GameState& s, PlacementHost& host, int16_t column, int16_t row, int16_t placed,
                     int16_t finalCode, bool vanishes) {
  int16_t& cell = s.board[CellIndex(s, column, row)];
  for (int16_t step = 16; step >= 0; step -= 4) {
    if (!host.RasterCanStretch()) step = 0;
    if (vanishes) {
      if (step == 16) cell = placed;
      if (step == 0) cell = Empty;
      host.PaintCell(column, row, static_cast<int16_t>(16 - step));
    } else {
      cell = finalCode;
      host.PaintCell(column, row, step);
    }
  }
}

}  // namespace

void PlacePiece(GameState& s, Random& rng, PlacementHost& host, int16_t column, int16_t row) {
  // No side may move once a game has ended; a stray call must not finish it a second time.
  if (s.turn != SideA && s.turn != SideB) {
    host.RestoreCaption();
    return;
  }
  const bool moved = column >= 0 && column <= s.boardCols - 1 && row >= 0 &&
                     row <= s.boardRows - 1 && s.board[CellIndex(s, column, row)] == Empty;
  if (moved) {
    BuildNeighbourRing(s, column, row);
    const int16_t placed = s.pieceQueue[2];
    const int16_t off = s.OffBoard();
    int16_t gains = 0;
    int16_t losses = 0;
    bool flags[4] = {false, false, false, false};
    for (int16_t neighbour : s.neighbourRing) {
      if (neighbour == off) continue;
      const Reaction r = ReactionOf(placed, s.board[neighbour]);
      gains = static_cast<int16_t>(gains + r.gains);
      losses = static_cast<int16_t>(losses + r.losses);
      flags[0] |= r.jan;
      flags[1] |= r.ju;
      flags[2] |= r.bo;
      if (r.neighbourBecomes != s.board[neighbour]) {
        s.board[neighbour] = r.neighbourBecomes;
        host.PaintCell(CellColumn(s, neighbour), CellRow(s, neighbour), 0);
      }
    }

    const bool vanishes = placed == Truck || gains > 0;
    int16_t finalCode = placed;
    if (vanishes) {
      finalCode = Empty;
    } else if (losses > 0) {
      finalCode = Fire;
    } else {
      flags[3] = true;  // placed without any reaction
    }
    DrawPlacedPiece(s, host, column, row, placed, finalCode, vanishes);

    for (int i = 0; i < 4; ++i) {
      if (flags[i]) host.PlayCue(CueOrder[i]);
    }

    const int mover = s.turn;
    s.score[mover] = static_cast<int16_t>(s.score[mover] + gains - losses);
    host.ShowScore(mover);
    host.StopHumanClock();
    AdvanceQueue(s, rng);
    host.DrawNextPieces();
  }

  host.RestoreCaption();
  if (IsGameOver(s)) {
    if (host.FinishGame()) return;
  }
  if (moved) host.HandOverTurn();
}

}  // namespace pyra
