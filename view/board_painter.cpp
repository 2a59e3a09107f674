#include "view/board_painter.h"

#include "rules/board.h"
#include "view/gdi.h"

namespace pyra {

namespace {

constexpr int CellSide = CellPixels;

bool IsBoardPiece(int16_t code) { return code >= Fire && code <= Blocked; }

}  // namespace

BoardPainter::BoardPainter(const GameState& state, PictureHolder& pictures)
    : state_(state), pictures_(pictures) {}

void BoardPainter::Resize(QSize clientSize) {
  const QSize size = clientSize.expandedTo(QSize(0, 0));
  if (size == image_.size()) return;
  QImage resized;
  if (!size.isEmpty()) {
    resized = QImage(size, QImage::Format_RGB32);
    resized.fill(0xFFFFFFFFu);
    BitBlt(resized, 0, 0, image_.width(), image_.height(), image_, 0, 0, SRCCOPY);
  }
  image_ = resized;
}

void BoardPainter::Clear() {
  if (!image_.isNull()) image_.fill(0xFFFFFFFFu);
}

void BoardPainter::PrepareBackground(bool stretch, QSize clientSize) {
  const QImage& chosen = pictures_.chosenBackground;
  if (!stretch) {
    pictures_.drawnBackground = ToSurface(chosen);
    return;
  }
  if (chosen.isNull() || clientSize.isEmpty()) {
    pictures_.drawnBackground = QImage();
    return;
  }
  QImage stretched(clientSize, QImage::Format_RGB32);
  stretched.fill(0xFFFFFFFFu);
  StretchBlt(stretched, 0, 0, clientSize.width(), clientSize.height(), chosen, 0, 0, chosen.width(),
             chosen.height(), SRCCOPY);
  pictures_.drawnBackground = stretched;
}

void BoardPainter::PaintCellBackground(int16_t column, int16_t row) {
  const QImage& tile = pictures_.drawnBackground;
  ForEachBackgroundPiece(column, row, tile.width(), tile.height(),
                         [&](int x, int y, int sx, int sy, int w, int h) {
                           BitBlt(image_, x, y, w, h, tile, sx, sy, SRCCOPY);
                         });
}

void BoardPainter::PaintCell(int16_t column, int16_t row, int16_t step) {
  if (column < 0 || row < 0 || column >= state_.boardCols || row >= state_.boardRows) return;
  const int index = CellIndex(state_, column, row);
  if (index < 0 || index >= BoardCapacity) return;
  const int16_t code = state_.board[index];
  PaintCellBackground(column, row);

  if (IsBoardPiece(code)) {
    QImage& sheet = pictures_.activeSheet;
    const int x = SheetX(code);
    const int cx = CellSide * column;
    const int cy = CellSide * row;
    if (step >= 1 && step <= 15) {
      // The piece shrunk by `step` on every side; the rest of the scratch square is black in
      // the mask pass and white in the image pass, so the background shows there.
      const int d = CellSide - 2 * step;
      BitBlt(sheet, ScratchX, ScratchY, CellSide, CellSide, sheet, 0, 0, BLACKNESS);
      StretchBlt(sheet, ScratchX + step, ScratchY + step, d, d, sheet, x, CellSide, CellSide,
                 CellSide, SRCCOPY);
      BitBlt(sheet, ScratchX, ScratchY, CellSide, CellSide, image_, cx, cy, NOTSRCERASE);
      BitBlt(image_, cx, cy, CellSide, CellSide, sheet, ScratchX, ScratchY, SRCCOPY);
      BitBlt(sheet, ScratchX, ScratchY, CellSide, CellSide, sheet, 0, 0, WHITENESS);
      StretchBlt(sheet, ScratchX + step, ScratchY + step, d, d, sheet, x, 0, CellSide, CellSide,
                 SRCCOPY);
      BitBlt(image_, cx, cy, CellSide, CellSide, sheet, ScratchX, ScratchY, SRCERASE);
    } else {
      // Black where the mask is opaque, the inverted background elsewhere; then the image
      // ANDed over the restored background.
      BitBlt(sheet, ScratchX, ScratchY, CellSide, CellSide, sheet, x, CellSide, SRCCOPY);
      BitBlt(sheet, ScratchX, ScratchY, CellSide, CellSide, image_, cx, cy, NOTSRCERASE);
      BitBlt(image_, cx, cy, CellSide, CellSide, sheet, ScratchX, ScratchY, SRCCOPY);
      BitBlt(sheet, ScratchX, ScratchY, CellSide, CellSide, sheet, x, 0, SRCCOPY);
      BitBlt(image_, cx, cy, CellSide, CellSide, sheet, ScratchX, ScratchY, SRCERASE);
    }
  }

  if (cellPainted_) cellPainted_(QRect(CellSide * column, CellSide * row, CellSide, CellSide));
}

}  // namespace pyra
