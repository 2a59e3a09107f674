// Painting, pixel by pixel, against what the pictures alone say: raster operations, cells at every
// step of the grow/shrink effect, backgrounds, the NEXT window; picture files under one size rule.
#include <gtest/gtest.h>
#include <malloc.h>

#include <QSet>
#include <climits>

#include "picture_files.h"
#include "qt_helpers.h"
#include "rules/board.h"
#include "temp_dir.h"
#include "view/board_painter.h"
#include "view/gdi.h"
#include "view/next_pieces.h"
#include "view/picture_file.h"
#include "view/picture_holder.h"

namespace pyra {
namespace {

using testing::Difference;
constexpr QRgb White = 0xFFFFFFFFu, Black = 0xFF000000u, Stale = 0xFF0A0B0Cu;

QImage Pattern(int w, int h, int seed = 0) {  // a colour a pixel: shifted or mirrored copies show
  QImage image(w, h, QImage::Format_RGB32);
  for (int x = 0, i = 0; i < w * h; x = ++i % w)
    image.setPixel(x, i / w,
                   Black | x % 256 << 16 | i / w % 256 << 8 | (x * 7 + i / w * 13 + seed) % 256);
  return image;
}

QImage Filled(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  return image.fill(colour), image;
}

QRgb Combine(RasterOp rop, QRgb s, QRgb d) {
  return Black | (rop == SRCCOPY       ? s
                  : rop == NOTSRCERASE ? ~(s | d)
                  : rop == SRCERASE    ? s & ~d
                  : rop == WHITENESS   ? White
                                       : 0);
}

// A transfer by hand: each block pixel combines with the source pixel under its centre, if any.
QImage Transferred(QImage dest, int x, int y, int w, int h, const QImage& src, int sx, int sy,
                   int sw, int sh, RasterOp rop) {
  const QImage before = dest;
  const bool reads = rop != BLACKNESS && rop != WHITENESS;
  for (int py = 0; py < dest.height(); ++py)
    for (int px = 0; px < dest.width(); ++px) {
      const int64_t i = int64_t{px} - x, j = int64_t{py} - y;
      if (i < 0 || j < 0 || i >= w || j >= h) continue;
      const int64_t qx = sx + (2 * i + 1) * sw / (2 * int64_t{w});
      const int64_t qy = sy + (2 * j + 1) * sh / (2 * int64_t{h});
      const bool inside =
          sw > 0 && sh > 0 && qx >= 0 && qy >= 0 && qx < src.width() && qy < src.height();
      if (reads && !inside) continue;
      dest.setPixel(px, py,
                    Combine(rop, reads ? src.pixel(int(qx), int(qy)) : 0, before.pixel(px, py)));
    }
  return dest;
}

// Column-varied masks over images not all white outside them (as a user's may be); junk in scratch.
QImage TestSheet() {
  QImage sheet = Pattern(192, 64, 5);
  for (int i = 0; i < 160 * 32; ++i) {
    const int x = i % 160, j = i / 160;
    const bool on = (x * 7 + j * 3 + x / 32 * 5) % 11 < 6;
    sheet.setPixel(x, 32 + j, on ? White : Black);
    if (!on && (x + j) % 9 != 0) sheet.setPixel(x, j, White);
  }
  return sheet;
}

// `under`, piece `code` scaled into d x d at (x, y): image on white mask, else image AND under.
QImage WithPiece(QImage under, const QImage& sheet, int code, int x, int y, int d) {
  if (code == HeldTruck) code = Oil;
  for (int k = 0; k < d * d && code >= Fire && code <= Blocked; ++k) {
    const int px = x + k % d, py = y + k / d;
    const int sx = (code - 1) * 32 + (2 * (k % d) + 1) * 32 / (2 * d),
              sy = (2 * (k / d) + 1) * 32 / (2 * d);
    if (px >= under.width()) continue;
    const QRgb image = sheet.pixel(sx, sy);
    under.setPixel(
        px, py, sheet.pixel(sx, 32 + sy) == White ? image : (image & under.pixel(px, py)) | Black);
  }
  return under;
}

QImage Tiled(QImage image, const QImage& tile, QRect area) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      image.setPixel(x, y, tile.pixel(x % tile.width(), y % tile.height()));
  return image;
}
// The background of every other cell over stale pixels, so that a piece spilling over shows.
QImage EveryOtherCell(const QImage& tile) {
  QImage want = Filled(320, 256, Stale);
  for (int i = 0; i < 80; ++i)
    if ((i / 8 + i % 8) % 2 == 0) want = Tiled(want, tile, QRect(i / 8 * 32, i % 8 * 32, 32, 32));
  return want;
}

struct Board {  // cols x rows cells over `background`, with the test sheet in use
  GameState state;
  PictureHolder pictures;
  BoardPainter painter{state, pictures};
  Board(int cols, int rows, const QImage& background, bool stretch = false) {
    state.boardCols = int16_t(cols), state.boardRows = int16_t(rows);
    pictures.activeSheet = TestSheet(), pictures.chosenBackground = background;
    painter.PrepareBackground(stretch, QSize(32 * cols, 32 * rows));
    painter.Resize(QSize(32 * cols, 32 * rows)), painter.Image().fill(Stale);
  }
  QImage EveryOtherBackground() {  // of a 10 x 8 board
    for (int i = 0; i < 80; ++i)
      if ((i / 8 + i % 8) % 2 == 0) painter.PaintCellBackground(int16_t(i / 8), int16_t(i % 8));
    return painter.Image();
  }
};

struct Blt {  // kind: 'B' BitBlt, 'S' StretchBlt, lower case within one image; 'n' from nothing
  const char* name;
  char kind;
  RasterOp rop;
  int x, y, w, h, sx, sy, sw = 0, sh = 0;
};

// Empty when `got` is null or 32-bit and has the pixels of `want`; otherwise what differs.
std::string Mismatch(const QImage& got, const QImage& want) {
  if (!got.isNull() && got.format() != QImage::Format_RGB32)
    return "format " + std::to_string(got.format());
  return Difference(got, want);
}

TEST(Painting, EveryCopyGivesThePixelsItsRasterOperationCallsFor) {
  const RasterOp C = SRCCOPY, N = NOTSRCERASE, E = SRCERASE;
  // clang-format off
  const Blt blts[] = {
      {"inside", 'B', C, 1, 1, 3, 2, 2, 2}, {"rows", 'B', N, 0, 0, 8, 6, 0, 0},
      {"tails", 'B', E, 1, 0, 7, 6, 0, 1}, {"dest out", 'B', C, -2, -2, 4, 4, 0, 0},
      {"dest out far", 'B', C, 6, 5, 4, 4, 0, 0}, {"src out", 'B', C, 1, 1, 3, 3, -1, -2},
      {"src out far", 'B', C, 1, 1, 4, 4, 7, 6}, {"both out", 'B', C, -1, 4, 5, 5, 6, -2},
      {"no width", 'B', C, 1, 1, 0, 3, 0, 0}, {"negative", 'B', C, 1, 1, 3, -1, 0, 0},
      {"huge", 'B', C, -5, 0, INT_MAX, 2, 0, 0},
      {"far left", 'B', C, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0},
      {"black", 'B', BLACKNESS, -1, 2, 3, 5, 0, 0}, {"white", 'S', WHITENESS, 3, 3, 9, 9, 0, 0},
      {"none", 'n', C, 0, 0, 4, 4, 0, 0}, {"black of none", 'n', BLACKNESS, 2, 1, 4, 4, 0, 0},
      {"3 to 7", 'S', C, 0, 0, 7, 1, 0, 0, 3, 1}, {"s inverted", 'S', N, 0, 0, 8, 6, 0, 0, 4, 3},
      {"s erased", 'S', E, 0, 0, 8, 6, 1, 1, 5, 5}, {"s dest out", 'S', C, -4, 0, 8, 6, 0, 0, 4, 3},
      {"s src out", 'S', C, 0, 0, 8, 6, -2, -2, 8, 8},
      {"s src far", 'S', C, 0, 0, 8, 6, 6, 6, 4, 4}, {"shrink", 'S', C, 0, 0, 3, 3, 0, 0, 8, 8},
      {"no source", 'S', C, 0, 0, 4, 4, 0, 0, 0, 4},
      {"s negative", 'S', C, 0, 0, -4, 4, 0, 0, 4, 4},
      {"s huge", 'S', C, INT_MIN / 2, 0, INT_MAX, 6, 0, 0, 8, 8},
      {"self right", 'b', C, 2, 0, 5, 1, 0, 0}, {"self left", 'b', C, 0, 0, 5, 1, 2, 0},
      {"self down", 'b', C, 1, 1, 7, 5, 0, 0}, {"self combined", 'b', N, 0, 0, 8, 6, 0, 0},
      {"self stretched", 's', C, 0, 0, 8, 6, 0, 0, 4, 3}, {"indexed", 'i', C, 1, 1, 3, 2, 2, 2}};
  // clang-format on
  const QImage src = Pattern(8, 8, 1), before = Pattern(8, 6, 2);
  for (const Blt& b : blts) {
    QImage dest = before;
    const bool self = b.kind == 'b' || b.kind == 's', stretch = b.kind == 'S' || b.kind == 's';
    const QImage from = b.kind == 'n'   ? QImage()
                        : self          ? before
                        : b.kind == 'i' ? src.convertToFormat(QImage::Format_Indexed8)
                                        : src;
    if (stretch)
      StretchBlt(dest, b.x, b.y, b.w, b.h, self ? dest : src, b.sx, b.sy, b.sw, b.sh, b.rop);
    if (!stretch) BitBlt(dest, b.x, b.y, b.w, b.h, self ? dest : from, b.sx, b.sy, b.rop);
    ASSERT_EQ(Mismatch(dest, Transferred(before, b.x, b.y, b.w, b.h, from, b.sx, b.sy,
                                         stretch ? b.sw : b.w, stretch ? b.sh : b.h, b.rop)),
              "")
        << b.name;
  }
}

TEST(Painting, EveryCellBackgroundAndNextBoxGivesThePixelsItsPicturesCallFor) {
  Board grown(2, 1, QImage());  // a resize keeps what overlaps, and the new area is white
  grown.painter.Resize(QSize(96, 64));
  const QImage& g = grown.painter.Image();
  EXPECT_EQ(std::tuple(g.pixel(63, 31), g.pixel(64, 31), g.pixel(0, 32)),
            std::tuple(Stale, White, White));
  // Every code at every step, on a cell inside the 100-pixel tile and on one across its edges.
  Board board(6, 5, Pattern(100, 100));
  const QImage sheet = board.pictures.activeSheet;
  QRect told;
  board.painter.SetCellPaintedHook([&](const QRect& r) { told = r; });
  for (int code : {0, 1, 2, 3, 4, 5, 6, 7, -3}) {
    for (int step = -2; step <= 18; ++step) {
      for (const QPoint at : {QPoint(2, 1), QPoint(3, 3)}) {
        SCOPED_TRACE("code " + std::to_string(code) + " step " + std::to_string(step) + " at " +
                     std::to_string(at.x()));
        board.painter.Image().fill(Stale);
        board.state.board[CellIndex(board.state, at.x(), at.y())] = int16_t(code);
        const QImage before = board.painter.Image();
        board.painter.PaintCell(int16_t(at.x()), int16_t(at.y()), int16_t(step));
        EXPECT_EQ(told, QRect(at * 32, QSize(32, 32)));  // for the pacing
        const int inset = step >= 1 && step <= 15 ? step : 0;
        const QImage under =
            Tiled(before, board.pictures.drawnBackground, QRect(at * 32, QSize(32, 32)));
        ASSERT_EQ(Mismatch(board.painter.Image(),
                           code == HeldTruck ? under
                                             : WithPiece(under, sheet, code, at.x() * 32 + inset,
                                                         at.y() * 32 + inset, 32 - 2 * inset)),
                  "");
      }
    }
  }
  // Backgrounds tiled from the client origin, or stretched once over the client.
  for (const QSize size : {QSize(100, 100), QSize(32, 32), QSize(10, 10), QSize(1, 1), QSize(7, 40),
                           QSize(40, 7), QSize(33, 31), QSize(64, 3), QSize(300, 200)}) {
    const QImage tile = Pattern(size.width(), size.height());
    ASSERT_EQ(Mismatch(Board(10, 8, tile).EveryOtherBackground(), EveryOtherCell(tile)), "")
        << "tile " << size.width() << "x" << size.height();
  }
  const QImage stretched =
      Transferred(Filled(320, 256, 0), 0, 0, 320, 256, Pattern(50, 30), 0, 0, 50, 30, SRCCOPY);
  ASSERT_EQ(Mismatch(Board(10, 8, Pattern(50, 30), true).EveryOtherBackground(),
                     EveryOtherCell(stretched)),
            "")
      << "stretched";
  // The NEXT window: entries at 0, 17 and 34 over the button face, the current one on top.
  for (const std::array<int16_t, 3> queue : {std::array<int16_t, 3>{Fire, Oil, Water},
                                             {Truck, Water, Fire},
                                             {HeldTruck, Fire, HeldTruck},
                                             {Blocked, Empty, Truck},
                                             {0, 7, -1}}) {
    QImage sheet = TestSheet(), box(10, 10, QImage::Format_ARGB32),
           want = Filled(58, 32, 0xFF123456u);
    DrawNextPieces(box, queue, sheet, QColor(0x12, 0x34, 0x56));
    for (int e = 0; e < 3; ++e) want = WithPiece(want, TestSheet(), queue[e], 17 * e, 0, 32);
    ASSERT_EQ(Mismatch(box, want), "") << "next " << queue[0] << queue[1] << queue[2];
  }
}

using testing::BitmapFile, testing::MetafileFile;

TEST(PictureFiles, LoadAtTheirOwnSizeUnderOneSizeRuleOrNotAtAll) {
  const std::tuple<qint64, qint64, bool> sizes[] = {
      {1, 1, true},       {0, 1, false},       {1, 0, false},      {-1, 5, false},
      {8192, 1, true},    {8193, 1, false},    {1, 8192, true},    {1, 8193, false},
      {8192, 2048, true}, {8192, 2049, false}, {2048, 8192, true}, {2049, 8192, false},
      {4096, 4096, true}, {4097, 4096, false}};
  for (const auto& [w, h, allowed] : sizes)
    EXPECT_EQ(PictureSizeAllowed(w, h), allowed) << w << "x" << h;

  testing::TempDir dir;
  QByteArray plain = MetafileFile(64, 32, 96).remove(0, 22);  // without the placeable header
  // 32-bit colour masks, and no size of the pixel data stated: only the rows tell it.
  QByteArray masked =
      BitmapFile(200, 200, 32, true).insert(54, QByteArray::fromHex("0000ff0000ff0000ff000000"));
  masked[10] = 54 + 12, masked[30] = 3, masked[34] = masked[35] = masked[36] = masked[37] = 0;
  // size: invalid when refused; 1 x 1 for a picture as large as what it draws, all red.
  const std::tuple<const char*, QByteArray, QSize, qint64> files[] = {
      {"empty.bmp", "", {}, 0},
      {"junk.bmp", "no picture at all", {}, 0},
      {"cut.bmp", BitmapFile(3, 2, 24, true).left(40), {}, 0},
      {"truncated.bmp", BitmapFile(2000, 2000, 24, true).left(100000), {}, 0},
      {"masked.bmp", masked, {200, 200}, 0},
      {"masked cut.bmp", masked.left(100000), {}, 0},
      {"junk.wmf", QByteArray(64, 'x'), {}, 0},
      {"bitmap.wmf", BitmapFile(3, 2, 24, true), {}, 0},  // a .wmf is read as a metafile
      {"cut.WMF", MetafileFile(64, 32, 96).left(30), {}, 0},
      {"noise", QByteArray::fromHex("d7cdc69a00"), {}, 0},
      {"widest.bmp", BitmapFile(8192, 1, 24, true), {8192, 1}, 0},
      {"too wide.bmp", BitmapFile(8193, 1, 24, true), {}, 0},
      {"square.bmp", BitmapFile(8192, 8192, 1, false), {}, 0},
      {"largest.bmp", BitmapFile(8192, 2048, 1, true), {8192, 2048}, 0},
      {"padded.bmp", BitmapFile(3, 2, 24, true), {3, 2}, qint64{64} << 20},
      {"too long.bmp", BitmapFile(3, 2, 24, true), {}, (qint64{64} << 20) + 1},
      {"square.wmf", MetafileFile(8192, 8192, 96), {}, 0},
      {"5700.wmf", MetafileFile(5700, 5700, 96), {}, 0},
      {"largest.wmf", MetafileFile(8192, 2048, 96), {8192, 2048}, 0},
      {"half.wmf", MetafileFile(64, 32, 96), {64, 32}, 0},
      {"HALF.WMF", MetafileFile(64, 32, 96), {64, 32}, 0},
      {"half.pic", MetafileFile(64, 32, 96), {64, 32}, 0},  // known by its first bytes
      {"moved.wmf", MetafileFile(64, 32, 96, 100, 50), {64, 32}, 0},
      {"no origin.wmf", MetafileFile(64, 32, 96, 0, 0, false), {64, 32}, 0},
      {"coarse.wmf", MetafileFile(32, 16, 48), {64, 32}, 0},
      {"plain.pic", plain, {1, 1}, 0},
      {"disk.pic", QByteArray(plain).replace(0, 1, "\2"), {1, 1}, 0},
      {"wide.wmf", MetafileFile(1024, 32, 96), {1024, 32}, 0}};
  for (const auto& [name, bytes, size, padTo] : files) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(testing::WriteFileBytes(dir.File(name), bytes.toStdString()));
    if (padTo != 0) std::filesystem::resize_file(dir.File(name), padTo);
    const QImage picture = LoadPictureFile(QString::fromStdString(dir.File(name)));
    const bool framed = size != QSize(1, 1);
    ASSERT_EQ(picture.isNull() ? QSize() : framed ? picture.size() : QSize(1, 1), size);
    if (picture.isNull()) continue;
    EXPECT_EQ(picture.format(), QImage::Format_RGB32);
    if (QString(name).endsWith(".bmp")) continue;
    // A metafile is white with red over its left half.
    const int half = framed ? picture.width() / 2 : picture.width() + 4;
    const int down = picture.height() > 64 ? 97 : 1, across = picture.width() > 64 ? 89 : 1;
    for (int y = 0; y < picture.height(); y += down) {
      for (int x = 0; x < picture.width(); x += across) {
        const QRgb want = x < half - 3 ? qRgb(255, 0, 0) : x > half + 3 ? qRgb(255, 255, 255) : 0;
        ASSERT_EQ(want == 0 ? want : picture.pixel(x, y), want) << x << "," << y;
      }
    }
  }
  // Loaded again and again, a metafile keeps no memory: libwmf's picture is freed whole.
  const auto before = int64_t(mallinfo2().uordblks);
  for (int i = 0; i < 40; ++i) LoadPictureFile(QString::fromStdString(dir.File("wide.wmf")));
  EXPECT_LT(int64_t(mallinfo2().uordblks) - before, 40 * 1024) << "bytes kept by 40 loads";
}

// Without the sheet file: five discs in their own colours over masks that mirror both ways.
TEST(PictureFiles, TheGeneratedSheetHasFiveDiscsAndTheirMasks) {
  const QImage sheet = PictureHolder::GeneratedSheet();
  ASSERT_EQ(sheet.size(), QSize(SheetWidth, SheetHeight));
  QSet<QRgb> centres;
  for (int k = 0; k < 5; ++k) {
    centres << sheet.pixel(32 * k + 16, 16);
    for (int p = 0; p < 32 * 32; ++p) {
      const int i = p % 32, j = p / 32;
      const QRgb mask = sheet.pixel(32 * k + i, 32 + j);
      ASSERT_EQ(mask, sheet.pixel(32 * k + 31 - i, 63 - j)) << k << ": " << i << "," << j;
      ASSERT_EQ(mask == Black ? sheet.pixel(32 * k + i, j) : White, White)
          << k << ": white around the disc";
    }
  }
  EXPECT_EQ(centres.size(), 5);
  EXPECT_EQ(Difference(sheet.copy(160, 0, 32, 64), Filled(32, 64, White)), "")
      << "the scratch square";
}

}  // namespace
}  // namespace pyra
