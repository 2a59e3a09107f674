// Painting the board: each cell is its part of the background with its piece drawn over it
// through the piece's mask, at full size or at a reduced size for the grow/shrink effect.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <functional>

#include "rules/game_state.h"
#include "view/picture_holder.h"

namespace pyra {

// The copies that cover cell (column, row) with a bw x bh tile repeated from the client
// origin, in drawing order: the top-left piece, the rest of the first row, the rest of the
// first column, then the other columns, each top to bottom. A cell that ends exactly on a
// tile edge still gets its zero-sized remainder pieces. Nothing for bw or bh of 0 or less.
// copy(destX, destY, srcX, srcY, width, height).
template <typename Copy>
void ForEachBackgroundPiece(int column, int row, int bw, int bh, Copy&& copy);

class BoardPainter {
 public:
  const GameState& State() const { return state_; }
  // Called after every painted cell with the client rectangle that changed.
  using CellPaintedHook = std::function<void(const QRect&)>;

  // Reads the board from `state` and paints through `pictures` (drawnBackground and activeSheet).
  BoardPainter(const GameState& state, PictureHolder& pictures);

  // The persistent image of the main window's client area.
  const QImage& Image() const { return image_; }
  QImage& Image() { return image_; }

  // Resizes the client image; what overlaps is kept, new area is white.
  void Resize(QSize clientSize);
  // Fills the client image with white.
  void Clear();

  void SetCellPaintedHook(CellPaintedHook hook) { cellPainted_ = std::move(hook); }

  // Sheet column of cell code 1 to 5.
  static int16_t SheetX(int16_t code) { return static_cast<int16_t>((code - 1) * 32); }

  // Rebuilds drawnBackground from chosenBackground: a plain copy to tile from, or, with `stretch`,
  // chosenBackground stretched over the whole client size (nearest neighbour). Draws nothing on the
  // board.
  void PrepareBackground(bool stretch, QSize clientSize);
  // Copies the background under the cell from drawnBackground into the client image.
  void PaintCellBackground(int16_t column, int16_t row);
  // Paints the cell's background and then its piece: full size for step <= 0 or >= 16, a
  // centred (32 - 2 * step) square for steps 1 to 15. Cells off the board are ignored.
  void PaintCell(int16_t column, int16_t row, int16_t step);

  // Whether pictures can be drawn stretched; always so here, switchable for tests.
  bool RasterCanStretch() const { return canStretch_; }
  void SetRasterCanStretch(bool canStretch) { canStretch_ = canStretch; }

 private:
  const GameState& state_;
  PictureHolder& pictures_;
  QImage image_;
  CellPaintedHook cellPainted_;
  bool canStretch_ = true;
};

template <typename Copy>
void ForEachBackgroundPiece(int column, int row, int bw, int bh, Copy&& copy) {
  if (bw <= 0 || bh <= 0) return;
  constexpr int CellSide = CellPixels;
  // A span of the cell along one axis, and where it comes from in the tile.
  struct Span {
    int offset, source, length;
  };
  // At most one first span, 32 whole tiles (a 1-pixel tile) and one remainder.
  struct Spans {
    Span span[34];
    int count = 0;
  };
  auto split = [](int start, int tile) {
    Spans out;
    const int s = ((start % tile) + tile) % tile;
    if (s + CellSide < tile) {
      out.span[out.count++] = {0, s, CellSide};
      return out;
    }
    const int rem = tile - s;
    out.span[out.count++] = {0, s, rem};
    int k = 0;
    for (; rem + tile * (k + 1) <= CellSide; ++k) out.span[out.count++] = {rem + tile * k, 0, tile};
    out.span[out.count++] = {rem + tile * k, 0, CellSide - rem - tile * k};
    return out;
  };
  const int x = CellSide * column;
  const int y = CellSide * row;
  const Spans cols = split(x, bw);
  const Spans rows = split(y, bh);
  auto piece = [&](int c, int r) {
    const Span& cs = cols.span[c];
    const Span& rs = rows.span[r];
    copy(x + cs.offset, y + rs.offset, cs.source, rs.source, cs.length, rs.length);
  };
  piece(0, 0);
  for (int c = 1; c < cols.count; ++c) piece(c, 0);
  for (int r = 1; r < rows.count; ++r) piece(0, r);
  for (int c = 1; c < cols.count; ++c) {
    for (int r = 1; r < rows.count; ++r) piece(c, r);
  }
}

}  // namespace pyra
