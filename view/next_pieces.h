// The NEXT window's picture: the three queued pieces, overlapping from left to right.
#pragma once

#include <QColor>
#include <QImage>
#include <array>
#include <cstdint>
#include <string>

namespace pyra {

constexpr int NextBoxWidth = 58;
constexpr int NextBoxHeight = 32;

// Clears `box` to `buttonFace` (making it a 58 x 32 RGB32 image first if it is not one) and
// draws queue entries 0, 1, 2 at x = 0, 17, 34 through the scratch square of `sheet`, so
// that entry 2, the current piece, ends up on top with its left 24 pixels showing.
// HeldTruck is drawn as Oil; codes outside 1 to 6 draw nothing.
void DrawNextPieces(QImage& box, const std::array<int16_t, 3>& queue, QImage& sheet,
                    const QColor& buttonFace);

// What a screen reader hears of the same picture: the pieces' names from left to right, the
// current piece last ("火 油 水").
std::string NextPiecesText(const std::array<int16_t, 3>& queue);

}  // namespace pyra
