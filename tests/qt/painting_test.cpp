// Board painting pixel by pixel: cells with masks at every animation size, the tiled and
// stretched background, the NEXT window, the picture holder and picture files.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "rules/board.h"
#include "rules/game_state.h"
#include "view/board_painter.h"
#include "view/gdi.h"
#include "view/next_pieces.h"
#include "view/picture_file.h"
#include "view/picture_holder.h"

namespace pyra {
namespace {

constexpr QRgb White = 0xFFFFFFFFu;
constexpr QRgb Black = 0xFF000000u;
constexpr QRgb Stale = 0xFF0A0B0Cu;  // what the board held before a paint

// --- Synthetic pictures -------------------------------------------------------------------

// An irregular mask, different for each slot, so that a shifted or mirrored sample shows.
bool MaskOn(int slot, int i, int j) { return ((i * 7 + j * 3 + slot * 5) % 11) < 6; }

QRgb PieceColour(int slot, int i, int j) {
  return 0xFF000000u | (static_cast<QRgb>(slot * 40 + 20) << 16) | (static_cast<QRgb>(i * 8) << 8) |
         static_cast<QRgb>(j * 8);
}

// Images are white outside their masks, except a few rim pixels that are not (a sheet may
// have them), and the scratch square holds junk that painting must not care about.
QImage TestSheet() {
  QImage sheet(SheetWidth, SheetHeight, QImage::Format_RGB32);
  for (int slot = 0; slot < 6; ++slot) {
    for (int j = 0; j < 32; ++j) {
      for (int i = 0; i < 32; ++i) {
        const int x = 32 * slot + i;
        if (slot == 5) {
          sheet.setPixel(x, j, 0xFF5A5A5Au + static_cast<QRgb>(i));
          sheet.setPixel(x, 32 + j, 0xFF3366CCu);
          continue;
        }
        const bool on = MaskOn(slot, i, j);
        const bool rim = !on && (i + j) % 9 == 0;
        sheet.setPixel(x, j, on ? PieceColour(slot, i, j) : (rim ? 0xFFC08040u : White));
        sheet.setPixel(x, 32 + j, on ? White : Black);
      }
    }
  }
  return sheet;
}

// Every slot a solid square of one colour with a full mask.
QImage SolidSheet(const std::array<QRgb, 5>& colours) {
  QImage sheet(SheetWidth, SheetHeight, QImage::Format_RGB32);
  sheet.fill(White);
  for (int slot = 0; slot < 5; ++slot) {
    for (int j = 0; j < 32; ++j) {
      for (int i = 0; i < 32; ++i) sheet.setPixel(32 * slot + i, j, colours[slot]);
    }
  }
  return sheet;
}

QRgb BackgroundColour(int x, int y) {
  return 0xFF000000u | (static_cast<QRgb>(x & 0xFF) << 16) | (static_cast<QRgb>(y & 0xFF) << 8) |
         static_cast<QRgb>((x * 3 + y * 5) & 0xFF);
}

QImage BackgroundPicture(int w, int h) {
  QImage picture(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) picture.setPixel(x, y, BackgroundColour(x, y));
  }
  return picture;
}

// --- The expected cell, worked out from the pictures alone --------------------------------

// The sheet position under pixel k of a d-pixel span of the 32-pixel piece.
int Sample(int k, int d) { return (2 * k + 1) * 32 / (2 * d); }

QRgb ExpectedPixel(const QImage& sheet, int16_t code, int step, int i, int j, QRgb under) {
  if (code < Fire || code > Blocked) return under;
  int offset = 0;
  int size = 32;
  if (step >= 1 && step <= 15) {
    offset = step;
    size = 32 - 2 * step;
  }
  if (i < offset || j < offset || i >= offset + size || j >= offset + size) return under;
  const int x = (code - 1) * 32 + Sample(i - offset, size);
  const int y = Sample(j - offset, size);
  const QRgb image = sheet.pixel(x, y);
  const bool opaque = sheet.pixel(x, 32 + y) == White;
  return opaque ? image : ((image & under) | 0xFF000000u);
}

class PaintingTest : public testing::Test {
 protected:
  PaintingTest() : painter_(state_, pictures_) {
    state_.BoardCols = 6;
    state_.BoardRows = 5;
    pictures_.Picture2 = TestSheet();
    pictures_.Picture3 = BackgroundPicture(100, 100);
    painter_.PrepareBackground(false, QSize(192, 160));
    painter_.Resize(QSize(192, 160));
    painter_.Image().fill(Stale);
    painter_.SetCellPaintedHook([this](const QRect& rect) { painted_.push_back(rect); });
  }

  void SetCell(int column, int row, int16_t code) {
    state_.Board[CellIndex(state_, column, row)] = code;
  }

  // Checks the whole board image: the cell as expected over `under`, the rest untouched.
  void ExpectCell(const QImage& before, int column, int row, int16_t code, int step,
                  const QImage& sheet) {
    const QImage& image = painter_.Image();
    const QImage& tile = pictures_.Picture1;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const int i = x - 32 * column;
        const int j = y - 32 * row;
        QRgb want = before.pixel(x, y);
        if (i >= 0 && i < 32 && j >= 0 && j < 32) {
          const QRgb under =
              tile.isNull() ? before.pixel(x, y) : tile.pixel(x % tile.width(), y % tile.height());
          want = ExpectedPixel(sheet, code, step, i, j, under);
        }
        ASSERT_EQ(image.pixel(x, y), want) << "pixel " << x << "," << y;
      }
    }
  }

  GameState state_;
  PictureHolder pictures_;
  BoardPainter painter_;
  std::vector<QRect> painted_;
};

// --- PaintCell ---------------------------------------------------------------------------

TEST_F(PaintingTest, EveryCodeAtEveryAnimationSizeOverTheTiledBackground) {
  // Cell (3, 3) lies across the right and bottom edges of the 100-pixel background tile.
  const QImage sheet = pictures_.Picture2;
  const int16_t codes[] = {Empty, Fire, Oil, Water, Truck, Blocked, HeldTruck, 7, -3};
  for (const QPoint cell : {QPoint(2, 1), QPoint(3, 3)}) {
    for (int16_t code : codes) {
      for (int step = -2; step <= 18; ++step) {
        SCOPED_TRACE(testing::Message() << "cell " << cell.x() << "," << cell.y() << " code "
                                        << code << " step " << step);
        painter_.Image().fill(Stale);
        SetCell(cell.x(), cell.y(), code);
        const QImage before = painter_.Image();
        const QImage sheetBefore = pictures_.Picture2;
        painter_.PaintCell(cell.x(), cell.y(), static_cast<int16_t>(step));
        ExpectCell(before, cell.x(), cell.y(), code, step, sheet);
        if (code == Empty) {  // not even the scratch square is touched
          ASSERT_EQ(pictures_.Picture2, sheetBefore);
        }
      }
    }
  }
}

TEST_F(PaintingTest, FrameSizesOfTheGrowAndShrinkEffect) {
  const QRgb piece = 0xFF20A040u;
  pictures_.Picture2 = SolidSheet({piece, piece, piece, piece, piece});
  pictures_.Picture3 = BackgroundPicture(1, 1);  // one colour, never the piece's
  painter_.PrepareBackground(false, QSize());
  SetCell(1, 2, Water);
  const struct {
    int step, offset, size;
  } frames[] = {{-1, 0, 32}, {0, 0, 32},  {4, 4, 24},  {8, 8, 16},
                {12, 12, 8}, {15, 15, 2}, {16, 0, 32}, {1, 1, 30}};
  for (const auto& f : frames) {
    SCOPED_TRACE(testing::Message() << "step " << f.step);
    painter_.PaintCell(1, 2, static_cast<int16_t>(f.step));
    int count = 0;
    for (int j = 0; j < 32; ++j) {
      for (int i = 0; i < 32; ++i) {
        const bool inside =
            i >= f.offset && i < f.offset + f.size && j >= f.offset && j < f.offset + f.size;
        const QRgb got = painter_.Image().pixel(32 + i, 64 + j);
        EXPECT_EQ(got, inside ? piece : BackgroundColour(0, 0)) << i << "," << j;
        count += got == piece;
      }
    }
    EXPECT_EQ(count, f.size * f.size);
  }
}

TEST_F(PaintingTest, ImageThatIsNotWhiteUnderABlackMaskIsAndedWithTheBackground) {
  // Blocked: image grey everywhere, mask black everywhere but the left half.
  QImage sheet(SheetWidth, SheetHeight, QImage::Format_RGB32);
  sheet.fill(White);
  for (int j = 0; j < 32; ++j) {
    for (int i = 0; i < 32; ++i) {
      sheet.setPixel(128 + i, j, 0xFFF0F0F0u);
      sheet.setPixel(128 + i, 32 + j, i < 16 ? White : Black);
    }
  }
  pictures_.Picture2 = sheet;
  pictures_.Picture3 = QImage(32, 32, QImage::Format_RGB32);
  pictures_.Picture3.fill(0xFF3C5A7Fu);
  painter_.PrepareBackground(false, QSize());
  SetCell(0, 0, Blocked);
  for (int step : {0, 8}) {
    painter_.PaintCell(0, 0, static_cast<int16_t>(step));
    EXPECT_EQ(painter_.Image().pixel(12, 12), 0xFFF0F0F0u) << step;  // under the white mask
    EXPECT_EQ(painter_.Image().pixel(20, 12), 0xFF305070u) << step;  // grey AND background
  }
}

TEST_F(PaintingTest, PaintingUsesOnlyTheScratchSquareOfTheSheet) {
  const QImage before = pictures_.Picture2;
  SetCell(1, 1, Truck);
  painter_.PaintCell(1, 1, 0);
  painter_.PaintCell(1, 1, 6);
  for (int y = 0; y < SheetHeight; ++y) {
    for (int x = 0; x < SheetWidth; ++x) {
      if (x < ScratchX || y >= 32) {
        ASSERT_EQ(pictures_.Picture2.pixel(x, y), before.pixel(x, y)) << x << "," << y;
      }
    }
  }
  // The built-in sheet is a separate picture and stays as it was loaded, even when in use.
  EXPECT_EQ(pictures_.Picture5, PictureHolder::LoadBuiltInSheet());
  pictures_.UseBuiltInSheet();
  const QImage original = pictures_.Picture5;
  SetCell(3, 2, Fire);
  painter_.PaintCell(3, 2, 0);
  painter_.PaintCell(3, 2, 8);
  EXPECT_EQ(pictures_.Picture5, original);
  EXPECT_NE(pictures_.Picture2, original);  // its scratch square has been used
}

TEST_F(PaintingTest, EachPaintReportsItsCellOnceAndCellsOffTheBoardAreIgnored) {
  SetCell(2, 1, Oil);
  painter_.PaintCell(2, 1, 12);
  painter_.PaintCell(0, 0, 0);
  EXPECT_EQ(painted_, (std::vector<QRect>{QRect(64, 32, 32, 32), QRect(0, 0, 32, 32)}));

  painted_.clear();
  const QImage before = painter_.Image();
  const QImage sheet = pictures_.Picture2;
  const int16_t cells[][2] = {{-1, 0}, {0, -1}, {6, 0}, {0, 5}, {400, 2}};
  for (const auto& c : cells) painter_.PaintCell(c[0], c[1], 0);
  EXPECT_TRUE(painted_.empty());
  EXPECT_EQ(painter_.Image(), before);
  EXPECT_EQ(pictures_.Picture2, sheet);
}

TEST_F(PaintingTest, PaintCellAtFindsTheCellColumnByColumn) {
  const struct {
    int16_t index;
    QRect rect;
  } cases[] = {{0, QRect(0, 0, 32, 32)},
               {4, QRect(0, 128, 32, 32)},
               {5, QRect(32, 0, 32, 32)},
               {13, QRect(64, 96, 32, 32)},
               {29, QRect(160, 128, 32, 32)}};
  for (const auto& c : cases) {
    painted_.clear();
    painter_.PaintCellAt(c.index);
    EXPECT_EQ(painted_, std::vector<QRect>{c.rect}) << c.index;
  }
  painted_.clear();
  painter_.PaintCellAt(-1);
  painter_.PaintCellAt(30);
  state_.BoardRows = 0;  // no board yet: no division by zero
  painter_.PaintCellAt(3);
  EXPECT_TRUE(painted_.empty());
}

TEST_F(PaintingTest, CellOutsideTheClientImageIsClipped) {
  painter_.Resize(QSize(40, 40));  // smaller than the board: cell (1, 1) is mostly outside
  SetCell(1, 1, Water);
  const QImage before = painter_.Image();
  painter_.PaintCell(1, 1, 0);
  painter_.PaintCell(1, 1, 5);
  painter_.PaintCell(5, 4, 0);
  ASSERT_EQ(painter_.Image().size(), QSize(40, 40));
  EXPECT_EQ(painter_.Image().copy(0, 0, 32, 32), before.copy(0, 0, 32, 32));
  EXPECT_NE(painter_.Image().pixel(35, 35), before.pixel(35, 35));
}

TEST_F(PaintingTest, WithoutABackgroundTheCellKeepsItsOldContentUnderThePiece) {
  pictures_.Picture3 = QImage();
  painter_.PrepareBackground(false, QSize(192, 160));
  EXPECT_TRUE(pictures_.Picture1.isNull());
  QImage before = painter_.Image();
  for (int y = 0; y < before.height(); ++y) {
    for (int x = 0; x < before.width(); ++x) before.setPixel(x, y, BackgroundColour(x * 5, y));
  }
  painter_.Image() = before;
  painter_.PaintCellBackground(1, 1);
  EXPECT_EQ(painter_.Image(), before);
  SetCell(1, 1, Fire);
  painter_.PaintCell(1, 1, 4);
  ExpectCell(before, 1, 1, Fire, 4, pictures_.Picture2);
}

// --- Background ---------------------------------------------------------------------------

// Each piece as x, y, sx, sy, w, h, one after the other.
std::vector<int> PiecesOf(int column, int row, int bw, int bh) {
  std::vector<int> out;
  ForEachBackgroundPiece(column, row, bw, bh, [&](int x, int y, int sx, int sy, int w, int h) {
    out.insert(out.end(), {x, y, sx, sy, w, h});
  });
  return out;
}

TEST(BackgroundPiecesTest, CellsAreCoveredInTheTilingOrder) {
  const struct {
    const char* name;
    int column, row, bw, bh;
    std::vector<int> pieces;
  } cases[] = {
      {"fits both ways", 1, 1, 100, 100, {32, 32, 32, 32, 32, 32}},
      {"fits, one short of the edge", 2, 0, 97, 97, {64, 0, 64, 0, 32, 32}},
      {"right edge", 3, 0, 100, 100, {96, 0, 96, 0, 4, 32, 100, 0, 0, 0, 28, 32}},
      {"bottom edge", 0, 3, 100, 100, {0, 96, 0, 96, 32, 4, 0, 100, 0, 0, 32, 28}},
      {"zero-sized rest", 2, 0, 96, 200, {64, 0, 64, 0, 32, 32, 96, 0, 0, 0, 0, 32}},
      {"tile of the cell's size", 1, 1, 32, 32, {32, 32, 0, 0, 32, 32, 64, 32, 0, 0, 0, 32,
                                                 32, 64, 0, 0, 32, 0,  64, 64, 0, 0, 0, 0}},
      {"whole tiles and a remainder in a grid",
       0,
       0,
       10,
       10,
       {0,  0,  0, 0, 10, 10, 10, 0,  0, 0, 10, 10, 20, 0,  0, 0, 10, 10, 30, 0,  0, 0, 2,  10,
        0,  10, 0, 0, 10, 10, 0,  20, 0, 0, 10, 10, 0,  30, 0, 0, 10, 2,  10, 10, 0, 0, 10, 10,
        10, 20, 0, 0, 10, 10, 10, 30, 0, 0, 10, 2,  20, 10, 0, 0, 10, 10, 20, 20, 0, 0, 10, 10,
        20, 30, 0, 0, 10, 2,  30, 10, 0, 0, 2,  10, 30, 20, 0, 0, 2,  10, 30, 30, 0, 0, 2,  2}},
      {"grid starting inside the tile",
       1,
       0,
       20,
       40,
       {32, 0, 12, 0, 8, 32, 40, 0, 0, 0, 20, 32, 60, 0, 0, 0, 4, 32}},
      {"no picture", 0, 0, 0, 10, {}},
      {"negative height", 0, 0, 10, -1, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PiecesOf(c.column, c.row, c.bw, c.bh), c.pieces);
  }
}

class BackgroundTest : public PaintingTest {
 protected:
  // Paints the background of every cell of a 10 x 8 client and checks every pixel against
  // the picture repeated from the client origin.
  void ExpectTiled(const QImage& tile) {
    painter_.Resize(QSize(320, 256));
    painter_.Image().fill(Stale);
    for (int16_t column = 0; column < 10; ++column) {
      for (int16_t row = 0; row < 8; ++row) painter_.PaintCellBackground(column, row);
    }
    const QImage& image = painter_.Image();
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        ASSERT_EQ(image.pixel(x, y), tile.pixel(x % tile.width(), y % tile.height()))
            << "pixel " << x << "," << y << " tile " << tile.width() << "x" << tile.height();
      }
    }
  }
};

TEST_F(BackgroundTest, TiledPicturesRepeatFromTheClientOrigin) {
  const QSize sizes[] = {{100, 100}, {32, 32}, {10, 10}, {1, 1},    {7, 40},
                         {40, 7},    {33, 31}, {64, 3},  {300, 200}};
  for (const QSize& size : sizes) {
    pictures_.Picture3 = BackgroundPicture(size.width(), size.height());
    painter_.PrepareBackground(false, QSize(320, 256));
    ASSERT_EQ(pictures_.Picture1.size(), size);
    ExpectTiled(pictures_.Picture1);
  }
}

TEST_F(BackgroundTest, StretchedPictureFillsTheClientOnce) {
  const QImage chosen = BackgroundPicture(50, 30);
  pictures_.Picture3 = chosen;
  painter_.PrepareBackground(true, QSize(320, 256));
  const QImage& stretched = pictures_.Picture1;
  ASSERT_EQ(stretched.size(), QSize(320, 256));
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 320; ++x) {
      ASSERT_EQ(stretched.pixel(x, y), chosen.pixel((2 * x + 1) * 50 / 640, (2 * y + 1) * 30 / 512))
          << x << "," << y;
    }
  }
  EXPECT_EQ(stretched.pixel(319, 255), chosen.pixel(49, 29));
  ExpectTiled(stretched);

  // Back to tiling: the picture at its own size again.
  painter_.PrepareBackground(false, QSize(320, 256));
  EXPECT_EQ(pictures_.Picture1, chosen);
}

TEST_F(BackgroundTest, NothingToStretchLeavesNoBackground) {
  pictures_.Picture3 = QImage();
  painter_.PrepareBackground(true, QSize(320, 256));
  EXPECT_TRUE(pictures_.Picture1.isNull());
  pictures_.Picture3 = BackgroundPicture(10, 10);
  painter_.PrepareBackground(true, QSize(0, 256));
  EXPECT_TRUE(pictures_.Picture1.isNull());
  const QImage before = painter_.Image();
  painter_.PaintCellBackground(0, 0);
  EXPECT_EQ(painter_.Image(), before);
}

// --- Client image -------------------------------------------------------------------------

TEST_F(PaintingTest, ResizingKeepsWhatOverlapsAndWhitensTheRest) {
  painter_.Resize(QSize(4, 3));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) painter_.Image().setPixel(x, y, BackgroundColour(x, y));
  }
  painter_.Resize(QSize(6, 2));
  ASSERT_EQ(painter_.Image().size(), QSize(6, 2));
  ASSERT_EQ(painter_.Image().format(), QImage::Format_RGB32);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 6; ++x) {
      EXPECT_EQ(painter_.Image().pixel(x, y), x < 4 ? BackgroundColour(x, y) : White);
    }
  }
  painter_.Clear();
  EXPECT_EQ(painter_.Image().pixel(0, 0), White);
  painter_.Resize(QSize(0, 0));
  EXPECT_TRUE(painter_.Image().isNull());
  painter_.Resize(QSize(-5, 8));
  EXPECT_TRUE(painter_.Image().isNull());

  EXPECT_TRUE(painter_.RasterCanStretch());
  painter_.SetRasterCanStretch(false);
  EXPECT_FALSE(painter_.RasterCanStretch());
  EXPECT_EQ(BoardPainter::SheetX(Fire), 0);
  EXPECT_EQ(BoardPainter::SheetX(Blocked), 128);
}

// --- NEXT window --------------------------------------------------------------------------

constexpr QRgb Face = 0xFFF0F0F0u;

// The NEXT picture worked out by layering the three entries, pixel by pixel.
QImage ExpectedNext(const std::array<int16_t, 3>& queue, const QImage& sheet) {
  QImage box(NextBoxWidth, NextBoxHeight, QImage::Format_RGB32);
  box.fill(Face);
  for (int e = 0; e < 3; ++e) {
    const int16_t code = queue[e] == HeldTruck ? int16_t{Oil} : queue[e];
    if (code < Fire || code > Blocked) continue;
    const int left = 17 * e;
    for (int y = 0; y < 32; ++y) {
      for (int x = left; x < std::min(left + 32, NextBoxWidth); ++x) {
        const int sx = (code - 1) * 32 + x - left;
        const QRgb image = sheet.pixel(sx, y);
        const bool opaque = sheet.pixel(sx, 32 + y) == White;
        box.setPixel(x, y, opaque ? image : ((image & box.pixel(x, y)) | 0xFF000000u));
      }
    }
  }
  return box;
}

TEST(NextPiecesTest, EntriesOverlapFromLeftToRight) {
  const std::array<QRgb, 5> colours = {0xFFAA0000u, 0xFF00AA00u, 0xFF0000AAu, 0xFFAAAA00u,
                                       0xFF00AAAAu};
  QImage sheet = SolidSheet(colours);
  QImage box;
  DrawNextPieces(box, {Fire, Oil, Water}, sheet, QColor(Face));
  ASSERT_EQ(box.size(), QSize(58, 32));
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 58; ++x) {
      const QRgb want = x < 17 ? colours[0] : (x < 34 ? colours[1] : colours[2]);
      ASSERT_EQ(box.pixel(x, y), want) << x << "," << y;
    }
  }
}

TEST(NextPiecesTest, MaskedEntriesLayerOverEachOtherAndAHeldTruckShowsAsOil) {
  const std::array<int16_t, 3> queues[] = {{Fire, Oil, Water},           {Truck, Water, Fire},
                                           {Water, Water, Oil},          {Blocked, Fire, Truck},
                                           {HeldTruck, Fire, HeldTruck}, {Empty, Empty, Water}};
  for (const auto& queue : queues) {
    SCOPED_TRACE(testing::Message() << queue[0] << " " << queue[1] << " " << queue[2]);
    QImage sheet = TestSheet();
    QImage box(NextBoxWidth, NextBoxHeight, QImage::Format_RGB32);
    box.fill(Stale);
    DrawNextPieces(box, queue, sheet, QColor(Face));
    EXPECT_EQ(box, ExpectedNext(queue, TestSheet()));
  }
  // Nothing dealt: the face colour alone, in a box of the right size.
  QImage sheet = TestSheet();
  QImage box(10, 10, QImage::Format_RGB32);
  DrawNextPieces(box, {Empty, 7, -1}, sheet, QColor(0x12, 0x34, 0x56));
  QImage face(58, 32, QImage::Format_RGB32);
  face.fill(0xFF123456u);
  EXPECT_EQ(box, face);
}

// --- Picture holder -----------------------------------------------------------------------

// The rules every piece sheet of the program follows; a generated one is also white
// wherever its mask is black.
void ExpectSheetRules(const QImage& sheet, bool whiteOutsideMasks = false) {
  ASSERT_EQ(sheet.size(), QSize(SheetWidth, SheetHeight));
  for (int slot = 0; slot < 6; ++slot) {
    int opaque = 0;
    for (int y = 0; y < 32; ++y) {
      for (int x = 32 * slot; x < 32 * slot + 32; ++x) {
        const QRgb mask = sheet.pixel(x, 32 + y);
        ASSERT_TRUE(mask == White || mask == Black) << x << "," << y;
        if (mask == White) ++opaque;
        if (slot == 5 || (whiteOutsideMasks && mask == Black)) {
          ASSERT_EQ(sheet.pixel(x, y), White) << x << "," << y;
        }
      }
    }
    if (slot < 5) {
      EXPECT_GT(opaque, 1024 / 4) << slot;
      EXPECT_LT(opaque, 1024 * 95 / 100) << slot;
    } else {
      EXPECT_EQ(opaque, 1024);
    }
  }
}

TEST(PictureHolderTest, StartsWithTheBuiltInPicturesInUse) {
  PictureHolder pictures;
  EXPECT_EQ(pictures.Picture5.size(), QSize(192, 64));
  EXPECT_EQ(pictures.Picture5.format(), QImage::Format_RGB32);
  EXPECT_EQ(pictures.Picture2, pictures.Picture5);
  EXPECT_FALSE(pictures.Picture3.isNull());
  EXPECT_EQ(pictures.Picture3, pictures.TitlePicture());
  EXPECT_EQ(pictures.Picture1, pictures.Picture3);
  EXPECT_TRUE(pictures.Picture4.isNull());
  EXPECT_TRUE(pictures.SheetIsBuiltIn());
  EXPECT_TRUE(pictures.BackgroundIsBuiltIn());
}

TEST(PictureHolderTest, BuiltInsComeFromTheResourcesWhenPresent) {
  if (!QFile::exists(QStringLiteral(":/assets/pieces.bmp"))) {
    GTEST_SKIP() << "the built-in pictures are not part of this build";
  }
  EXPECT_EQ(PictureHolder::LoadBuiltInSheet(),
            QImage(QStringLiteral(":/assets/pieces.bmp")).convertToFormat(QImage::Format_RGB32));
  EXPECT_EQ(PictureHolder::LoadBuiltInBackground().size(), QSize(300, 200));
}

TEST(PictureHolderTest, GeneratedStandInsFollowTheSheetRules) {
  ExpectSheetRules(PictureHolder::GeneratedSheet(), true);
  EXPECT_EQ(PictureHolder::GeneratedBackground().size(), QSize(300, 200));
  // Whichever the build has, the sheet in use is a valid one.
  ExpectSheetRules(PictureHolder::LoadBuiltInSheet());
}

TEST(PictureHolderTest, LoadedSheetIsUsedOnlyAtTheBuiltInSize) {
  PictureHolder pictures;
  const QImage builtIn = pictures.Picture2;
  for (const QSize& size : {QSize(193, 64), QSize(192, 65), QSize(191, 64)}) {
    pictures.Picture4 = BackgroundPicture(size.width(), size.height());
    EXPECT_FALSE(pictures.UseLoadedSheet()) << size.width() << "x" << size.height();
    EXPECT_EQ(pictures.Picture2, builtIn);
    EXPECT_TRUE(pictures.SheetIsBuiltIn());
  }
  pictures.Picture4 = TestSheet();
  EXPECT_TRUE(pictures.UseLoadedSheet());
  EXPECT_EQ(pictures.Picture2, TestSheet());
  EXPECT_FALSE(pictures.SheetIsBuiltIn());
  pictures.UseBuiltInSheet();
  EXPECT_EQ(pictures.Picture2, pictures.Picture5);
  EXPECT_TRUE(pictures.SheetIsBuiltIn());

  pictures.UseBackground(BackgroundPicture(5, 7));
  EXPECT_EQ(pictures.Picture3.size(), QSize(5, 7));
  EXPECT_FALSE(pictures.BackgroundIsBuiltIn());
  pictures.UseBuiltInBackground();
  EXPECT_EQ(pictures.Picture3, pictures.TitlePicture());
  EXPECT_TRUE(pictures.BackgroundIsBuiltIn());
}

// --- Picture files ------------------------------------------------------------------------

void Put16(QByteArray& out, int v) {
  out.append(static_cast<char>(v & 0xFF));
  out.append(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(QByteArray& out, uint32_t v) {
  Put16(out, static_cast<int>(v & 0xFFFF));
  Put16(out, static_cast<int>(v >> 16));
}

// A 4-bit bitmap with the 16-colour palette, as the built-in pictures are stored:
// 3 x 2 pixels, top row red, white, black; bottom row blue, lime, navy.
QByteArray FourBitBitmap() {
  static const uint32_t palette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                       0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                       0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  QByteArray bmp;
  const int rowBytes = 4;  // 3 pixels at 4 bits, padded to 4 bytes
  const int offset = 14 + 40 + 16 * 4;
  bmp.append("BM");
  for (int v : {offset + rowBytes * 2, 0, offset, 40, 3, 2}) Put32(bmp, static_cast<uint32_t>(v));
  Put16(bmp, 1);  // planes
  Put16(bmp, 4);  // bits per pixel
  for (int v : {0, rowBytes * 2, 3780, 3780, 16, 0}) Put32(bmp, static_cast<uint32_t>(v));
  for (uint32_t rgb : palette) Put32(bmp, rgb);  // stored as B, G, R, 0
  // Bottom row first: blue (12), lime (10), navy (4); then red (9), white (15), black (0).
  bmp.append(static_cast<char>(0xCA)).append(static_cast<char>(0x40)).append(2, '\0');
  bmp.append(static_cast<char>(0x9F)).append(static_cast<char>(0x00)).append(2, '\0');
  return bmp;
}

// A placeable metafile of 64 x 32 units at 96 units per inch, white, with a red rectangle
// over its left half. Its frame starts at (left, top); the window origin is set there when
// `setOrigin`, else it stays at 0, 0.
QByteArray RedHalfMetafile(int left = 0, int top = 0, bool setOrigin = true) {
  QByteArray records;
  int largest = 0;
  auto record = [&](int function, std::initializer_list<int> params) {
    const int words = 3 + static_cast<int>(params.size());
    largest = std::max(largest, words);
    Put32(records, static_cast<uint32_t>(words));
    Put16(records, function);
    for (int p : params) Put16(records, p);
  };
  if (setOrigin) record(0x020B, {top, left});        // SetWindowOrg(y, x)
  record(0x020C, {32, 64});                          // SetWindowExt(height, width)
  record(0x02FC, {0, 0x00FF, 0x0000, 0});            // CreateBrushIndirect: solid, red
  record(0x012D, {0});                               // SelectObject(brush)
  record(0x02FA, {5, 0, 0, 0, 0});                   // CreatePenIndirect: no pen
  record(0x012D, {1});                               // SelectObject(pen)
  record(0x041B, {top + 33, left + 33, top, left});  // Rectangle(bottom, right, top, left)
  record(0x0000, {});                                // end of file

  QByteArray wmf;
  Put32(wmf, 0x9AC6CDD7u);
  for (int v : {0, left, top, left + 64, top + 32, 96}) Put16(wmf, v);
  Put32(wmf, 0);
  uint16_t checksum = 0;
  for (int i = 0; i < 20; i += 2) {
    checksum ^= static_cast<uint16_t>(static_cast<uint8_t>(wmf[i]) |
                                      (static_cast<uint8_t>(wmf[i + 1]) << 8));
  }
  Put16(wmf, checksum);
  const int words = 9 + static_cast<int>(records.size()) / 2;
  for (int v : {1, 9, 0x0300}) Put16(wmf, v);  // on disk, header words, version
  Put32(wmf, static_cast<uint32_t>(words));
  Put16(wmf, 2);  // objects
  Put32(wmf, static_cast<uint32_t>(largest));
  Put16(wmf, 0);
  wmf.append(records);
  return wmf;
}

class PictureFileTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
  QString Write(const char* name, const QByteArray& bytes) const {
    QFile file(Path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) << name;
    return Path(name);
  }
  QString Save(const char* name, const QImage& picture) const {
    EXPECT_TRUE(picture.save(Path(name), "BMP")) << name;
    return Path(name);
  }

  QTemporaryDir dir_;
};

TEST_F(PictureFileTest, BitmapsLoadWithTheirExactPixels) {
  const QImage picture = BackgroundPicture(13, 7);
  const QImage loaded = LoadPictureFile(Save("picture.bmp", picture));
  EXPECT_EQ(loaded.format(), QImage::Format_RGB32);
  EXPECT_EQ(loaded, picture);

  const QImage indexed = LoadPictureFile(Write("sixteen.bmp", FourBitBitmap()));
  ASSERT_EQ(indexed.size(), QSize(3, 2));
  EXPECT_EQ(indexed.format(), QImage::Format_RGB32);
  const QRgb want[2][3] = {{0xFFFF0000u, 0xFFFFFFFFu, 0xFF000000u},
                           {0xFF0000FFu, 0xFF00FF00u, 0xFF000080u}};
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(indexed.pixel(x, y), want[y][x]) << x << "," << y;
  }
}

TEST_F(PictureFileTest, UnreadableOrOversizedFilesFail) {
  const struct {
    const char* name;
    QByteArray bytes;
  } cases[] = {
      {"empty.bmp", QByteArray()},
      {"junk.bmp", QByteArray("this is not a picture at all")},
      {"cut.bmp", FourBitBitmap().left(60)},
      {"junk.wmf", QByteArray(64, 'x')},
      {"cut.WMF", RedHalfMetafile().left(30)},
      {"noise.dat", QByteArray::fromHex("d7cdc69a0000")},
  };
  for (const auto& c : cases)
    EXPECT_TRUE(LoadPictureFile(Write(c.name, c.bytes)).isNull()) << c.name;
  EXPECT_TRUE(LoadPictureFile(Path("missing.bmp")).isNull());
  EXPECT_TRUE(LoadPictureFile(dir_.path()).isNull());  // a folder
  EXPECT_TRUE(LoadPictureFile(Save("wide.bmp", BackgroundPicture(MaxPictureSide + 1, 1))).isNull());
  EXPECT_EQ(LoadPictureFile(Save("widest.bmp", BackgroundPicture(MaxPictureSide, 1))).size(),
            QSize(MaxPictureSide, 1));
}

TEST_F(PictureFileTest, MetafilesRenderTheirFrameAtTheirOwnSize) {

  const struct {
    const char* name;
    QByteArray bytes;
  } cases[] = {
      {"half.wmf", RedHalfMetafile()},         {"HALF.WMF", RedHalfMetafile()},
      {"half.picture", RedHalfMetafile()},  // known by its first bytes
      {"moved.wmf", RedHalfMetafile(100, 50)}, {"no-origin.wmf", RedHalfMetafile(0, 0, false)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QImage picture = LoadPictureFile(Write(c.name, c.bytes));
    ASSERT_EQ(picture.size(), QSize(64, 32));
    EXPECT_EQ(picture.format(), QImage::Format_RGB32);
    // Red from the left edge to about the middle, on the full height; white beyond.
    for (const QPoint& p : {QPoint(1, 1), QPoint(10, 16), QPoint(25, 5), QPoint(30, 30)}) {
      EXPECT_EQ(picture.pixel(p), 0xFFFF0000u) << p.x() << "," << p.y();
    }
    for (const QPoint& p : {QPoint(40, 1), QPoint(45, 16), QPoint(62, 30)}) {
      EXPECT_EQ(picture.pixel(p), White) << p.x() << "," << p.y();
    }
  }
}

}  // namespace
}  // namespace pyra
