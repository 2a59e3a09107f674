// Bit-block transfers: the raster operations bit for bit, nearest-neighbour stretching,
// copies within one image and clipping at every edge.
#include "view/gdi.h"

#include <gtest/gtest.h>

#include <QImage>
#include <climits>
#include <cstdint>
#include <vector>

namespace pyra {
namespace {

constexpr QRgb Sentinel = 0xFF112233u;

QImage Filled(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// A different colour for every pixel, so that a misplaced copy shows.
QRgb Pattern(int x, int y) {
  return 0xFF000000u | (static_cast<QRgb>(x & 0xFF) << 16) | (static_cast<QRgb>(y & 0xFF) << 8) |
         static_cast<QRgb>((x * 7 + y * 13) & 0xFF);
}

QImage Patterned(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) image.setPixel(x, y, Pattern(x, y));
  }
  return image;
}

QImage Row(const std::vector<QRgb>& pixels) {
  QImage image(static_cast<int>(pixels.size()), 1, QImage::Format_RGB32);
  for (int x = 0; x < image.width(); ++x) image.setPixel(x, 0, pixels[x]);
  return image;
}

std::vector<QRgb> RowOf(const QImage& image) {
  std::vector<QRgb> out;
  for (int x = 0; x < image.width(); ++x) out.push_back(image.pixel(x, 0));
  return out;
}

struct OpCase {
  RasterOp rop;
  QRgb src;
  QRgb dst;
  QRgb expected;
};

TEST(GdiTest, RasterOperationsCombineBitsExactly) {
  const OpCase cases[] = {
      {SRCCOPY, 0xFF12F0A5u, 0xFF3C0F5Au, 0xFF12F0A5u},
      {NOTSRCERASE, 0xFF12F0A5u, 0xFF3C0F5Au, 0xFFC10000u},
      {SRCERASE, 0xFF12F0A5u, 0xFF3C0F5Au, 0xFF02F0A5u},
      {BLACKNESS, 0xFF12F0A5u, 0xFF3C0F5Au, 0xFF000000u},
      {WHITENESS, 0xFF12F0A5u, 0xFF3C0F5Au, 0xFFFFFFFFu},
      {NOTSRCERASE, 0xFFFFFFFFu, 0xFF000000u, 0xFF000000u},
      {NOTSRCERASE, 0xFF000000u, 0xFF808080u, 0xFF7F7F7Fu},
      {SRCERASE, 0xFFFFFFFFu, 0xFF000000u, 0xFFFFFFFFu},
      {SRCERASE, 0xFF000000u, 0xFF808080u, 0xFF000000u},
      {SRCERASE, 0xFFC0C0C0u, 0xFF0F0F0Fu, 0xFFC0C0C0u},
  };
  for (const OpCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << std::hex << "rop " << c.rop << " src " << c.src << " dst " << c.dst);
    QImage dest = Filled(4, 3, Sentinel);
    dest.setPixel(1, 1, c.dst);
    QImage src = Filled(3, 3, 0xFF445566u);
    src.setPixel(2, 2, c.src);
    BitBlt(dest, 1, 1, 1, 1, src, 2, 2, c.rop);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 4; ++x) {
        const QRgb want = (x == 1 && y == 1) ? c.expected : Sentinel;
        ASSERT_EQ(dest.pixel(x, y), want) << "at " << x << "," << y;
      }
    }
    // The same result through a 1:1 stretch.
    QImage stretched = Filled(4, 3, Sentinel);
    stretched.setPixel(1, 1, c.dst);
    StretchBlt(stretched, 1, 1, 1, 1, src, 2, 2, 1, 1, c.rop);
    EXPECT_EQ(stretched.pixel(1, 1), c.expected);
  }
}

TEST(GdiTest, BlockLandsWhereAskedAndNowhereElse) {
  QImage dest = Filled(10, 8, Sentinel);
  const QImage src = Patterned(6, 6);
  BitBlt(dest, 4, 3, 3, 2, src, 1, 2, SRCCOPY);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 4 && x < 7 && y >= 3 && y < 5;
      ASSERT_EQ(dest.pixel(x, y), inside ? Pattern(x - 3, y - 1) : Sentinel) << x << "," << y;
    }
  }
}

TEST(GdiTest, ResultsStayOpaqueWhateverTheSourceFormat) {
  // Transparent and semi-transparent source pixels still give their colour bits, opaque.
  QImage argb(2, 1, QImage::Format_ARGB32);
  argb.setPixel(0, 0, 0x0012F0A5u);
  argb.setPixel(1, 0, 0x80FFFFFFu);
  QImage dest = Filled(2, 1, 0xFF3C0F5Au);
  BitBlt(dest, 0, 0, 2, 1, argb, 0, 0, SRCCOPY);
  EXPECT_EQ(dest.pixel(0, 0), 0xFF12F0A5u);
  EXPECT_EQ(dest.pixel(1, 0), 0xFFFFFFFFu);

  // A 16-colour picture, as the built-in bitmaps are.
  QImage indexed(2, 1, QImage::Format_Indexed8);
  indexed.setColorCount(16);
  indexed.setColor(0, 0xFF000000u);
  indexed.setColor(9, 0xFFFF0000u);
  indexed.setPixel(0, 0, 9);
  indexed.setPixel(1, 0, 0);
  QImage fromIndexed = Filled(2, 1, 0xFF00FF00u);
  BitBlt(fromIndexed, 0, 0, 2, 1, indexed, 0, 0, SRCERASE);
  EXPECT_EQ(fromIndexed.pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(fromIndexed.pixel(1, 0), 0xFF000000u);

  // A destination in another format is made a surface first.
  QImage premultiplied(2, 1, QImage::Format_ARGB32_Premultiplied);
  premultiplied.fill(0xFF000000u);
  BitBlt(premultiplied, 0, 0, 1, 1, QImage(), 0, 0, WHITENESS);
  EXPECT_EQ(premultiplied.format(), QImage::Format_RGB32);
  EXPECT_EQ(premultiplied.pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(premultiplied.pixel(1, 0), 0xFF000000u);
  EXPECT_EQ(ToSurface(indexed).format(), QImage::Format_RGB32);
  EXPECT_TRUE(ToSurface(QImage()).isNull());
}

struct OverlapCase {
  const char* name;
  int dx, sx, w;
  std::vector<QRgb> expected;
};

TEST(GdiTest, CopiesWithinOneImageReadTheSourceFirst) {
  const std::vector<QRgb> start = {0xFF000000u, 0xFF000001u, 0xFF000002u, 0xFF000003u,
                                   0xFF000004u, 0xFF000005u, 0xFF000006u, 0xFF000007u};
  auto v = [](int i) { return 0xFF000000u | static_cast<QRgb>(i); };
  const OverlapCase cases[] = {
      {"right", 2, 0, 5, {v(0), v(1), v(0), v(1), v(2), v(3), v(4), v(7)}},
      {"left", 0, 2, 5, {v(2), v(3), v(4), v(5), v(6), v(5), v(6), v(7)}},
      {"by one", 1, 0, 7, {v(0), v(0), v(1), v(2), v(3), v(4), v(5), v(6)}},
      {"apart", 5, 0, 3, {v(0), v(1), v(2), v(3), v(4), v(0), v(1), v(2)}},
  };
  for (const OverlapCase& c : cases) {
    SCOPED_TRACE(c.name);
    QImage image = Row(start);
    BitBlt(image, c.dx, 0, c.w, 1, image, c.sx, 0, SRCCOPY);
    EXPECT_EQ(RowOf(image), c.expected);
  }

  // Vertically, in one column.
  QImage column(1, 8, QImage::Format_RGB32);
  for (int y = 0; y < 8; ++y) column.setPixel(0, y, v(y));
  BitBlt(column, 0, 1, 1, 6, column, 0, 0, SRCCOPY);
  const QRgb wantColumn[8] = {v(0), v(0), v(1), v(2), v(3), v(4), v(5), v(7)};
  for (int y = 0; y < 8; ++y) EXPECT_EQ(column.pixel(0, y), wantColumn[y]) << y;

  // Combined with itself: NOT (s OR s) is NOT s.
  QImage self = Row({0xFF0F0F0Fu, 0xFF123456u});
  BitBlt(self, 0, 0, 2, 1, self, 0, 0, NOTSRCERASE);
  EXPECT_EQ(RowOf(self), (std::vector<QRgb>{0xFFF0F0F0u, 0xFFEDCBA9u}));

  // Stretching a block over itself.
  QImage stretched = Row(start);
  StretchBlt(stretched, 0, 0, 8, 1, stretched, 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(RowOf(stretched), (std::vector<QRgb>{v(0), v(0), v(1), v(1), v(2), v(2), v(3), v(3)}));
}

TEST(GdiTest, CopyIntoASharedCopyLeavesTheOriginalAlone) {
  const QImage original = Row({0xFF000001u, 0xFF000002u, 0xFF000003u});
  QImage copy = original;  // shares the pixels until written
  BitBlt(copy, 0, 0, 2, 1, original, 1, 0, SRCCOPY);
  EXPECT_EQ(RowOf(copy), (std::vector<QRgb>{0xFF000002u, 0xFF000003u, 0xFF000003u}));
  EXPECT_EQ(RowOf(original), (std::vector<QRgb>{0xFF000001u, 0xFF000002u, 0xFF000003u}));
}

TEST(GdiTest, StretchTakesTheNearestSourcePixel) {
  auto v = [](int i) { return 0xFF000000u | static_cast<QRgb>(i); };
  std::vector<QRgb> source32;
  for (int i = 0; i < 32; ++i) source32.push_back(v(i));

  struct Case {
    int srcWidth, destWidth;
    std::vector<int> picks;
  };
  const Case cases[] = {
      {4, 2, {1, 3}},
      {32, 2, {8, 24}},
      {3, 7, {0, 0, 1, 1, 1, 2, 2}},
      {2, 4, {0, 0, 1, 1}},
      {32, 8, {2, 6, 10, 14, 18, 22, 26, 30}},
      {5, 5, {0, 1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.srcWidth << " -> " << c.destWidth);
    const QImage src = Row(source32);
    QImage dest = Filled(c.destWidth + 2, 1, Sentinel);
    StretchBlt(dest, 1, 0, c.destWidth, 1, src, 0, 0, c.srcWidth, 1, SRCCOPY);
    EXPECT_EQ(dest.pixel(0, 0), Sentinel);
    EXPECT_EQ(dest.pixel(c.destWidth + 1, 0), Sentinel);
    for (int i = 0; i < c.destWidth; ++i) EXPECT_EQ(dest.pixel(1 + i, 0), v(c.picks[i])) << i;
  }

  // Both axes: a 2 x 2 picture doubled.
  const QImage small = Patterned(2, 2);
  QImage big = Filled(4, 4, Sentinel);
  StretchBlt(big, 0, 0, 4, 4, small, 0, 0, 2, 2, SRCCOPY);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(big.pixel(x, y), Pattern(x / 2, y / 2));
  }
}

// What a block transfer must give, worked out pixel by pixel over the destination image.
QImage ReferenceCopy(QImage dest, int x, int y, int w, int h, const QImage& src, int sx, int sy) {
  for (int py = 0; py < dest.height(); ++py) {
    for (int px = 0; px < dest.width(); ++px) {
      const int64_t i = int64_t{px} - x;
      const int64_t j = int64_t{py} - y;
      if (i < 0 || j < 0 || i >= w || j >= h) continue;
      const int64_t qx = sx + i;
      const int64_t qy = sy + j;
      if (qx < 0 || qy < 0 || qx >= src.width() || qy >= src.height()) continue;
      dest.setPixel(px, py, src.pixel(static_cast<int>(qx), static_cast<int>(qy)));
    }
  }
  return dest;
}

struct ClipCase {
  const char* name;
  int x, y, w, h, sx, sy;
};

TEST(GdiTest, BlocksAreClippedToBothImages) {
  const ClipCase cases[] = {
      {"inside", 1, 1, 3, 2, 2, 2},
      {"dest top left out", -2, -2, 4, 4, 0, 0},
      {"dest bottom right out", 6, 5, 4, 4, 0, 0},
      {"source top left out", 1, 1, 3, 3, -1, -2},
      {"source bottom right out", 1, 1, 4, 4, 7, 6},
      {"both out", -1, 4, 5, 5, 6, -2},
      {"dest wholly right", 100, 0, 4, 4, 0, 0},
      {"dest wholly left", -10, -10, 4, 4, 0, 0},
      {"source wholly out", 0, 0, 4, 4, 50, 50},
      {"zero width", 1, 1, 0, 3, 0, 0},
      {"negative height", 1, 1, 3, -1, 0, 0},
      {"huge block", -5, 0, INT_MAX, 2, 0, 0},
      {"far right", INT_MAX - 1, 0, 10, 10, 0, 0},
      {"far left", INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0},
      {"far source", 0, 0, 8, 6, INT_MIN, INT_MAX - 2},
  };
  const QImage src = Patterned(8, 8);
  for (const ClipCase& c : cases) {
    SCOPED_TRACE(c.name);
    QImage dest = Filled(8, 6, Sentinel);
    const QImage want = ReferenceCopy(dest, c.x, c.y, c.w, c.h, src, c.sx, c.sy);
    BitBlt(dest, c.x, c.y, c.w, c.h, src, c.sx, c.sy, SRCCOPY);
    EXPECT_EQ(dest, want);
  }
  // The reference does draw something in the partial cases; make sure of it once.
  QImage partial = Filled(8, 6, Sentinel);
  BitBlt(partial, -2, -2, 4, 4, src, 0, 0, SRCCOPY);
  EXPECT_EQ(partial.pixel(0, 0), Pattern(2, 2));
  EXPECT_EQ(partial.pixel(1, 1), Pattern(3, 3));
  EXPECT_EQ(partial.pixel(2, 2), Sentinel);
}

TEST(GdiTest, FillsAreClippedAndNeedNoSource) {
  QImage dest = Filled(4, 4, Sentinel);
  BitBlt(dest, -1, 2, 3, 5, QImage(), 0, 0, BLACKNESS);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      const bool filled = x < 2 && y >= 2;
      EXPECT_EQ(dest.pixel(x, y), filled ? 0xFF000000u : Sentinel) << x << "," << y;
    }
  }
  StretchBlt(dest, 3, 3, 9, 9, QImage(), 0, 0, 0, 0, WHITENESS);
  EXPECT_EQ(dest.pixel(3, 3), 0xFFFFFFFFu);
  EXPECT_EQ(dest.pixel(2, 3), Sentinel);
}

TEST(GdiTest, NullImagesDrawNothing) {
  QImage nothing;
  BitBlt(nothing, 0, 0, 4, 4, Patterned(4, 4), 0, 0, SRCCOPY);
  StretchBlt(nothing, 0, 0, 4, 4, Patterned(4, 4), 0, 0, 2, 2, SRCCOPY);
  EXPECT_TRUE(nothing.isNull());

  QImage dest = Filled(4, 4, Sentinel);
  BitBlt(dest, 0, 0, 4, 4, QImage(), 0, 0, SRCCOPY);
  StretchBlt(dest, 0, 0, 4, 4, QImage(), 0, 0, 2, 2, NOTSRCERASE);
  EXPECT_EQ(dest, Filled(4, 4, Sentinel));
}

// The stretch reference: the destination pixel's centre mapped back into the source block.
QImage ReferenceStretch(QImage dest, int x, int y, int w, int h, const QImage& src, int sx, int sy,
                        int sw, int sh) {
  for (int py = 0; py < dest.height(); ++py) {
    for (int px = 0; px < dest.width(); ++px) {
      const int64_t i = int64_t{px} - x;
      const int64_t j = int64_t{py} - y;
      if (i < 0 || j < 0 || i >= w || j >= h) continue;
      const int64_t qx = sx + (2 * i + 1) * sw / (2 * int64_t{w});
      const int64_t qy = sy + (2 * j + 1) * sh / (2 * int64_t{h});
      if (qx < 0 || qy < 0 || qx >= src.width() || qy >= src.height()) continue;
      dest.setPixel(px, py, src.pixel(static_cast<int>(qx), static_cast<int>(qy)));
    }
  }
  return dest;
}

struct StretchClipCase {
  const char* name;
  int x, y, w, h, sx, sy, sw, sh;
};

TEST(GdiTest, StretchesAreClippedWithoutChangingTheScale) {
  const StretchClipCase cases[] = {
      {"inside", 1, 1, 6, 4, 0, 0, 3, 2},
      {"dest left out", -4, 0, 8, 6, 0, 0, 4, 3},
      {"dest right out", 5, 2, 8, 8, 0, 0, 8, 8},
      {"source partly out", 0, 0, 8, 6, -2, -2, 8, 8},
      {"source right out", 0, 0, 8, 6, 6, 6, 4, 4},
      {"shrink", 0, 0, 3, 3, 0, 0, 8, 8},
      {"zero source", 0, 0, 4, 4, 0, 0, 0, 4},
      {"negative dest", 0, 0, -4, 4, 0, 0, 4, 4},
      {"wholly out", 20, 20, 4, 4, 0, 0, 4, 4},
      {"huge", INT_MIN / 2, 0, INT_MAX, 6, 0, 0, 8, 8},
      {"huge source", 0, 0, 8, 6, 0, 0, INT_MAX, INT_MAX},
  };
  const QImage src = Patterned(8, 8);
  for (const StretchClipCase& c : cases) {
    SCOPED_TRACE(c.name);
    QImage dest = Filled(8, 6, Sentinel);
    const QImage want =
        (c.w <= 0 || c.h <= 0 || c.sw <= 0 || c.sh <= 0)
            ? dest
            : ReferenceStretch(dest, c.x, c.y, c.w, c.h, src, c.sx, c.sy, c.sw, c.sh);
    StretchBlt(dest, c.x, c.y, c.w, c.h, src, c.sx, c.sy, c.sw, c.sh, SRCCOPY);
    EXPECT_EQ(dest, want);
  }
  // Clipping on the left keeps each visible pixel's own source: a 2 x scale cut in half.
  QImage cut = Filled(2, 1, Sentinel);
  StretchBlt(cut, -2, 0, 4, 1, Row({0xFF0000AAu, 0xFF0000BBu}), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(RowOf(cut), (std::vector<QRgb>{0xFF0000BBu, 0xFF0000BBu}));
}

}  // namespace
}  // namespace pyra
