#include "view/next_pieces.h"

#include "match/messages.h"
#include "rules/game_state.h"
#include "view/board_painter.h"
#include "view/gdi.h"
#include "view/picture_holder.h"

namespace pyra {

namespace {

constexpr int CellSide = CellPixels;
constexpr int EntryStep = 17;

}  // namespace

void DrawNextPieces(QImage& box, const std::array<int16_t, 3>& queue, QImage& sheet,
                    const QColor& buttonFace) {
  if (box.width() != NextBoxWidth || box.height() != NextBoxHeight ||
      box.format() != QImage::Format_RGB32) {
    box = QImage(NextBoxWidth, NextBoxHeight, QImage::Format_RGB32);
  }
  box.fill(buttonFace.rgb() | 0xFF000000u);

  for (int i = 0; i < 3; ++i) {
    const int16_t code = queue[i];
    if (code < Fire || code > HeldTruck) continue;
    // A withheld truck is shown as the oil drum it will be placed as.
    const int x = code == HeldTruck ? BoardPainter::SheetX(Oil) : BoardPainter::SheetX(code);
    const int bx = EntryStep * i;
    BitBlt(sheet, ScratchX, ScratchY, CellSide, CellSide, sheet, x, CellSide, SRCCOPY);
    BitBlt(sheet, ScratchX, ScratchY, CellSide, CellSide, box, bx, 0, NOTSRCERASE);
    BitBlt(box, bx, 0, CellSide, CellSide, sheet, ScratchX, ScratchY, SRCCOPY);
    BitBlt(box, bx, 0, CellSide, CellSide, sheet, x, 0, SRCERASE);
  }
}

std::string NextPiecesText(const std::array<int16_t, 3>& queue) {
  std::string out;
  for (int16_t code : queue) {
    if (code < Fire || code > HeldTruck) continue;
    if (!out.empty()) out += ' ';
    out += text::CellContents[code == HeldTruck ? int{Oil} : code];
  }
  return out;
}

}  // namespace pyra
