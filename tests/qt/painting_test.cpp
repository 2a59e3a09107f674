// Painting, pixel by pixel, against what the pictures alone say each pixel must be: the
// raster operations, cells at every step of the grow/shrink effect, the tiled and stretched
// background, the NEXT window.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "qt_helpers.h"
#include "rules/board.h"
#include "view/board_painter.h"
#include "view/gdi.h"
#include "view/next_pieces.h"
#include "view/picture_holder.h"

namespace pyra {
namespace {

using testing::Difference;
constexpr QRgb White = 0xFFFFFFFFu, Black = 0xFF000000u, Stale = 0xFF0A0B0Cu;

// A different colour at every pixel, so that a shifted or mirrored copy shows.
QImage Pattern(int w, int h, int seed = 0) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      image.setPixel(x, y, Black | (x & 0xFF) << 16 | (y & 0xFF) << 8 | ((x * 7 + y * 13 + seed) & 0xFF));
    }
  }
  return image;
}

QRgb Combine(RasterOp rop, QRgb s, QRgb d) {
  switch (rop) {
    case SRCCOPY: return s | Black;
    case NOTSRCERASE: return ~(s | d) | Black;
    case SRCERASE: return (s & ~d) | Black;
    case BLACKNESS: return Black;
    default: return White;
  }
}

// A transfer done pixel by pixel: each destination pixel of the block combines with the
// source pixel under its centre, when there is one.
QImage Transferred(QImage dest, int x, int y, int w, int h, const QImage& src, int sx, int sy,
                   int sw, int sh, RasterOp rop) {
  const QImage before = dest;
  const bool reads = rop != BLACKNESS && rop != WHITENESS;
  for (int py = 0; py < dest.height(); ++py) {
    for (int px = 0; px < dest.width(); ++px) {
      const int64_t i = int64_t{px} - x, j = int64_t{py} - y;
      if (i < 0 || j < 0 || i >= w || j >= h) continue;
      QRgb s = 0;
      if (reads) {
        const int64_t qx = sx + (2 * i + 1) * sw / (2 * int64_t{w});
        const int64_t qy = sy + (2 * j + 1) * sh / (2 * int64_t{h});
        if (sw <= 0 || sh <= 0 || qx < 0 || qy < 0 || qx >= src.width() || qy >= src.height()) continue;
        s = src.pixel(int(qx), int(qy));
      }
      dest.setPixel(px, py, Combine(rop, s, before.pixel(px, py)));
    }
  }
  return dest;
}

// A piece sheet whose masks are irregular and different in every column, whose images are
// not all white outside their masks (a user's sheet may do that), and whose scratch square
// holds junk.
QImage TestSheet() {
  QImage sheet = Pattern(SheetWidth, SheetHeight, 5);
  for (int j = 0; j < 32; ++j) {
    for (int x = 0; x < ScratchX; ++x) {
      const bool on = ((x * 7 + j * 3 + x / 32 * 5) % 11) < 6;
      sheet.setPixel(x, 32 + j, on ? White : Black);
      if (!on && (x + j) % 9 != 0) sheet.setPixel(x, j, White);
    }
  }
  return sheet;
}

// Where the mask is white the image shows, elsewhere the image AND what was under it.
QRgb Masked(const QImage& sheet, int sx, int sy, QRgb under) {
  const QRgb image = sheet.pixel(sx, sy);
  return sheet.pixel(sx, 32 + sy) == White ? image : (image & under) | Black;
}

// The expected board after painting cell (c, r) with `code` at `step` over a tiled background.
QImage ExpectedCell(const QImage& before, const QImage& tile, const QImage& sheet, int c, int r,
                    int16_t code, int step) {
  QImage want = before;
  const bool piece = code >= Fire && code <= Blocked;
  const int offset = step >= 1 && step <= 15 ? step : 0;
  const int size = 32 - 2 * offset;
  for (int j = 0; j < 32; ++j) {
    for (int i = 0; i < 32; ++i) {
      const int x = 32 * c + i, y = 32 * r + j;
      QRgb pixel = tile.pixel(x % tile.width(), y % tile.height());
      if (piece && i >= offset && j >= offset && i < offset + size && j < offset + size) {
        const auto sample = [size](int k) { return (2 * k + 1) * 32 / (2 * size); };
        pixel = Masked(sheet, (code - 1) * 32 + sample(i - offset), sample(j - offset), pixel);
      }
      want.setPixel(x, y, pixel);
    }
  }
  return want;
}

// The NEXT window layered entry by entry: a held truck shows as an oil drum.
QImage ExpectedNext(const std::array<int16_t, 3>& queue, const QImage& sheet, QRgb face) {
  QImage box(NextBoxWidth, NextBoxHeight, QImage::Format_RGB32);
  box.fill(face);
  for (int e = 0; e < 3; ++e) {
    const int16_t code = queue[e] == HeldTruck ? int16_t{Oil} : queue[e];
    if (code < Fire || code > Blocked) continue;
    for (int y = 0; y < 32; ++y) {
      for (int x = 17 * e; x < std::min(17 * e + 32, NextBoxWidth); ++x) {
        box.setPixel(x, y, Masked(sheet, (code - 1) * 32 + x - 17 * e, y, box.pixel(x, y)));
      }
    }
  }
  return box;
}

// A board of `cols` x `rows` cells over `background` with the test sheet in use.
struct Board {
  GameState state;
  PictureHolder pictures;
  BoardPainter painter{state, pictures};
  Board(int cols, int rows, const QImage& background, bool stretch = false) {
    state.BoardCols = int16_t(cols);
    state.BoardRows = int16_t(rows);
    pictures.Picture2 = TestSheet();
    pictures.Picture3 = background;
    painter.PrepareBackground(stretch, QSize(32 * cols, 32 * rows));
    painter.Resize(QSize(32 * cols, 32 * rows));
    painter.Image().fill(Stale);
  }
  QImage AllBackgrounds() {
    for (int c = 0; c < state.BoardCols; ++c) {
      for (int r = 0; r < state.BoardRows; ++r) painter.PaintCellBackground(int16_t(c), int16_t(r));
    }
    return painter.Image();
  }
};

QImage Tiled(const QImage& tile, QSize size) {
  QImage want(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x) want.setPixel(x, y, tile.pixel(x % tile.width(), y % tile.height()));
  }
  return want;
}

using Painted = std::pair<QImage, QImage>;  // what was painted, and what it must be
struct Case {
  std::string name;
  std::function<Painted()> paint;
};

// kind: 'B' BitBlt, 'S' StretchBlt; lower case within one image; 'n' BitBlt from nothing.
struct Blt {
  const char* name;
  char kind;
  RasterOp rop;
  int x, y, w, h, sx, sy, sw = 0, sh = 0;
};

Case Transfer(const Blt& b) {
  return {b.name, [b] {
            const QImage src = Pattern(8, 8, 1);
            QImage dest = Pattern(8, 6, 2);
            const QImage before = dest;
            const bool self = b.kind == 'b' || b.kind == 's';
            const bool stretch = b.kind == 'S' || b.kind == 's';
            const QImage from = b.kind == 'n' ? QImage() : self ? before : src;
            if (stretch) {
              StretchBlt(dest, b.x, b.y, b.w, b.h, self ? dest : src, b.sx, b.sy, b.sw, b.sh, b.rop);
            } else {
              BitBlt(dest, b.x, b.y, b.w, b.h, self ? dest : from, b.sx, b.sy, b.rop);
            }
            return Painted{dest, Transferred(before, b.x, b.y, b.w, b.h, from, b.sx, b.sy,
                                             stretch ? b.sw : b.w, stretch ? b.sh : b.h, b.rop)};
          }};
}

TEST(Painting, EveryCaseGivesThePixelsItsPicturesCallFor) {
  // The operations bit for bit, on two colours that differ in every pair of bits somewhere.
  const std::pair<RasterOp, QRgb> ops[] = {{SRCCOPY, 0xFF12F0A5u}, {NOTSRCERASE, 0xFFC10000u},
                                           {SRCERASE, 0xFF02F0A5u}, {BLACKNESS, Black}, {WHITENESS, White}};
  for (const auto& [rop, want] : ops) EXPECT_EQ(Combine(rop, 0x0012F0A5u, 0xFF3C0F5Au), want);

  const Blt transfers[] = {
      {"inside", 'B', SRCCOPY, 1, 1, 3, 2, 2, 2},
      {"whole rows", 'B', NOTSRCERASE, 0, 0, 8, 6, 0, 0},
      {"rows with a tail", 'B', SRCERASE, 1, 0, 7, 6, 0, 1},
      {"dest top left out", 'B', SRCCOPY, -2, -2, 4, 4, 0, 0},
      {"dest bottom right out", 'B', SRCCOPY, 6, 5, 4, 4, 0, 0},
      {"source top left out", 'B', SRCCOPY, 1, 1, 3, 3, -1, -2},
      {"source bottom right out", 'B', SRCCOPY, 1, 1, 4, 4, 7, 6},
      {"both out", 'B', SRCCOPY, -1, 4, 5, 5, 6, -2},
      {"wholly right", 'B', SRCCOPY, 100, 0, 4, 4, 0, 0},
      {"wholly left", 'B', SRCCOPY, -10, -10, 4, 4, 0, 0},
      {"source wholly out", 'B', SRCCOPY, 0, 0, 4, 4, 50, 50},
      {"zero width", 'B', SRCCOPY, 1, 1, 0, 3, 0, 0},
      {"negative height", 'B', SRCCOPY, 1, 1, 3, -1, 0, 0},
      {"huge block", 'B', SRCCOPY, -5, 0, INT_MAX, 2, 0, 0},
      {"far right", 'B', SRCCOPY, INT_MAX - 1, 0, 10, 10, 0, 0},
      {"far left", 'B', SRCCOPY, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0},
      {"far source", 'B', SRCCOPY, 0, 0, 8, 6, INT_MIN, INT_MAX - 2},
      {"black fill", 'B', BLACKNESS, -1, 2, 3, 5, 0, 0},
      {"white fill by stretch", 'S', WHITENESS, 3, 3, 9, 9, 0, 0, 0, 0},
      {"from nothing", 'n', SRCCOPY, 0, 0, 4, 4, 0, 0},
      {"black from nothing", 'n', BLACKNESS, 2, 1, 4, 4, 0, 0},
      {"stretch inside", 'S', SRCCOPY, 1, 1, 6, 4, 0, 0, 3, 2},
      {"stretch 3 to 7", 'S', SRCCOPY, 0, 0, 7, 1, 0, 0, 3, 1},
      {"stretch inverted", 'S', NOTSRCERASE, 0, 0, 8, 6, 0, 0, 4, 3},
      {"stretch erased", 'S', SRCERASE, 0, 0, 8, 6, 1, 1, 5, 5},
      {"stretch dest left out", 'S', SRCCOPY, -4, 0, 8, 6, 0, 0, 4, 3},
      {"stretch dest right out", 'S', SRCCOPY, 5, 2, 8, 8, 0, 0, 8, 8},
      {"stretch source partly out", 'S', SRCCOPY, 0, 0, 8, 6, -2, -2, 8, 8},
      {"stretch source right out", 'S', SRCCOPY, 0, 0, 8, 6, 6, 6, 4, 4},
      {"shrink", 'S', SRCCOPY, 0, 0, 3, 3, 0, 0, 8, 8},
      {"zero source", 'S', SRCCOPY, 0, 0, 4, 4, 0, 0, 0, 4},
      {"negative stretch", 'S', SRCCOPY, 0, 0, -4, 4, 0, 0, 4, 4},
      {"stretch wholly out", 'S', SRCCOPY, 20, 20, 4, 4, 0, 0, 4, 4},
      {"huge stretch", 'S', SRCCOPY, INT_MIN / 2, 0, INT_MAX, 6, 0, 0, 8, 8},
      {"huge source", 'S', SRCCOPY, 0, 0, 8, 6, 0, 0, INT_MAX, INT_MAX},
      {"self, right", 'b', SRCCOPY, 2, 0, 5, 1, 0, 0},
      {"self, left", 'b', SRCCOPY, 0, 0, 5, 1, 2, 0},
      {"self, down and right", 'b', SRCCOPY, 1, 1, 7, 5, 0, 0},
      {"self, apart", 'b', SRCCOPY, 5, 0, 3, 1, 0, 0},
      {"self, combined with itself", 'b', NOTSRCERASE, 0, 0, 8, 6, 0, 0},
      {"self, stretched over itself", 's', SRCCOPY, 0, 0, 8, 6, 0, 0, 4, 3},
  };
  std::vector<Case> cases;
  for (const Blt& b : transfers) cases.push_back(Transfer(b));

  // Every code at every step, on a cell inside the 100-pixel tile and on one across its
  // edges; the step-0 frame of a piece that goes away is the background alone.
  static Board board(6, 5, Pattern(100, 100));
  const QImage sheet = board.pictures.Picture2;
  for (int code : {0, 1, 2, 3, 4, 5, 6, 7, -3}) {
    for (int step = -2; step <= 18; ++step) {
      for (const QPoint cell : {QPoint(2, 1), QPoint(3, 3)}) {
        cases.push_back({"code " + std::to_string(code) + " step " + std::to_string(step) +
                             " cell " + std::to_string(cell.x()),
                         [=] {
                           board.painter.Image().fill(Stale);
                           board.state.Board[CellIndex(board.state, cell.x(), cell.y())] = code;
                           const QImage before = board.painter.Image();
                           board.painter.PaintCell(int16_t(cell.x()), int16_t(cell.y()), int16_t(step));
                           return Painted{board.painter.Image(),
                                          ExpectedCell(before, board.pictures.Picture1, sheet,
                                                       cell.x(), cell.y(), code, step)};
                         }});
      }
    }
  }
  cases.push_back({"the sheet outside its scratch square is never written", [sheet] {
                     QImage used = board.pictures.Picture2, want = sheet;
                     for (QImage* s : {&used, &want}) BitBlt(*s, ScratchX, 0, 32, 32, QImage(), 0, 0, BLACKNESS);
                     return Painted{used, want};
                   }});

  // Backgrounds: tiled from the client origin whatever the picture's size; stretched once
  // over the client by the pixel under each centre, and tiled again at its own size.
  for (const QSize size : {QSize(100, 100), QSize(32, 32), QSize(10, 10), QSize(1, 1), QSize(7, 40),
                           QSize(40, 7), QSize(33, 31), QSize(64, 3), QSize(300, 200)}) {
    cases.push_back({"tile " + std::to_string(size.width()) + "x" + std::to_string(size.height()), [size] {
                       Board tiled(10, 8, Pattern(size.width(), size.height()));
                       return Painted{tiled.AllBackgrounds(), Tiled(Pattern(size.width(), size.height()), {320, 256})};
                     }});
  }
  cases.push_back({"stretched", [] {
                     const QImage chosen = Pattern(50, 30);
                     QImage want(320, 256, QImage::Format_RGB32);
                     for (int y = 0; y < 256; ++y) {
                       for (int x = 0; x < 320; ++x) want.setPixel(x, y, chosen.pixel((2 * x + 1) * 50 / 640, (2 * y + 1) * 30 / 512));
                     }
                     Board stretched(10, 8, chosen, true);
                     return Painted{stretched.AllBackgrounds(), want};
                   }});
  cases.push_back({"stretched, then tiled", [] {
                     Board board(10, 8, Pattern(50, 30), true);
                     board.painter.PrepareBackground(false, QSize(320, 256));
                     return Painted{board.AllBackgrounds(), Tiled(Pattern(50, 30), {320, 256})};
                   }});
  for (bool stretch : {false, true}) {
    cases.push_back({std::string("no picture, stretch ") + (stretch ? "on" : "off"), [stretch] {
                       Board none(3, 2, QImage(), stretch);
                       const QImage before = none.painter.Image();
                       return Painted{none.AllBackgrounds(), before};
                     }});
  }
  cases.push_back({"nothing to stretch over", [] {
                     Board board(3, 2, Pattern(5, 5));
                     board.painter.PrepareBackground(true, QSize(0, 64));
                     return Painted{board.pictures.Picture1, QImage()};
                   }});

  // The NEXT window: entries at 0, 17 and 34 over the button face, the current one on top.
  const std::array<int16_t, 3> queues[] = {{Fire, Oil, Water}, {Truck, Water, Fire}, {HeldTruck, Fire, HeldTruck},
                                           {Blocked, Empty, Truck}, {Empty, 7, -1}};
  for (const auto& queue : queues) {
    cases.push_back({"next " + std::to_string(queue[0]) + std::to_string(queue[1]) + std::to_string(queue[2]), [queue] {
                       QImage sheet = TestSheet(), box(10, 10, QImage::Format_ARGB32);
                       DrawNextPieces(box, queue, sheet, QColor(0x12, 0x34, 0x56));
                       return Painted{box, ExpectedNext(queue, TestSheet(), 0xFF123456u)};
                     }});
  }

  // The client image keeps what overlaps a new size and is white elsewhere.
  cases.push_back({"resized", [] {
                     Board board(1, 1, QImage());
                     board.painter.Resize(QSize(4, 3));
                     board.painter.Image() = Pattern(4, 3);
                     board.painter.Resize(QSize(6, 2));
                     QImage want(6, 2, QImage::Format_RGB32);
                     want.fill(White);
                     BitBlt(want, 0, 0, 4, 2, Pattern(4, 3), 0, 0, SRCCOPY);
                     return Painted{board.painter.Image(), want};
                   }});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto [got, want] = c.paint();
    ASSERT_EQ(Difference(got, want), "");
    EXPECT_TRUE(got.isNull() || got.format() == QImage::Format_RGB32);
  }
}

TEST(Painting, CellsAreFoundColumnByColumnAndCellsOffTheBoardAreLeftAlone) {
  Board board(6, 5, Pattern(100, 100));
  std::vector<QRect> painted;
  board.painter.SetCellPaintedHook([&](const QRect& r) { painted.push_back(r); });
  for (int16_t index : {0, 4, 5, 13, 29}) board.painter.PaintCellAt(index);
  EXPECT_EQ(painted, (std::vector<QRect>{{0, 0, 32, 32}, {0, 128, 32, 32}, {32, 0, 32, 32},
                                         {64, 96, 32, 32}, {160, 128, 32, 32}}));
  painted.clear();
  const QImage before = board.painter.Image();
  for (int16_t index : {-1, 30}) board.painter.PaintCellAt(index);
  for (const QPoint cell : {QPoint(-1, 0), QPoint(0, -1), QPoint(6, 0), QPoint(0, 5)}) {
    board.painter.PaintCell(int16_t(cell.x()), int16_t(cell.y()), 0);
  }
  board.state.BoardRows = 0;  // no board yet
  board.painter.PaintCellAt(3);
  EXPECT_TRUE(painted.empty());
  EXPECT_EQ(Difference(board.painter.Image(), before), "");
}

TEST(Painting, SizesOutsideTheImageLeaveNoImageAndClearingWhitens) {
  Board board(2, 2, Pattern(5, 5));
  board.painter.Clear();
  QImage white(64, 64, QImage::Format_RGB32);
  white.fill(White);
  EXPECT_EQ(Difference(board.painter.Image(), white), "");
  for (const QSize size : {QSize(0, 0), QSize(-5, 8), QSize(8, 0)}) {
    board.painter.Resize(size);
    EXPECT_TRUE(board.painter.Image().isNull()) << size.width() << "x" << size.height();
  }
}

}  // namespace
}  // namespace pyra
