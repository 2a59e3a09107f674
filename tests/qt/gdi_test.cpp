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

QRgb V(int i) { return 0xFF000000u | static_cast<QRgb>(i); }

std::vector<QRgb> Vs(const std::vector<int>& values) {
  std::vector<QRgb> out;
  for (int v : values) out.push_back(V(v));
  return out;
}

// A one-pixel row (or column) of the given colours.
QImage Line(const std::vector<QRgb>& pixels, bool vertical = false) {
  const int n = static_cast<int>(pixels.size());
  QImage image(vertical ? 1 : n, vertical ? n : 1, QImage::Format_RGB32);
  for (int i = 0; i < n; ++i) image.setPixel(vertical ? 0 : i, vertical ? i : 0, pixels[i]);
  return image;
}

// Every pixel, row by row.
std::vector<QRgb> Pixels(const QImage& image) {
  std::vector<QRgb> out;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) out.push_back(image.pixel(x, y));
  }
  return out;
}

TEST(GdiTest, RasterOperationsCombineBitsExactly) {
  const struct {
    RasterOp rop;
    QRgb src, dst, expected;
  } cases[] = {
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
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << std::hex << "rop " << c.rop << " src " << c.src << " dst " << c.dst);
    QImage src = Filled(3, 3, 0xFF445566u);
    src.setPixel(2, 2, c.src);
    QImage want = Filled(4, 3, Sentinel);
    want.setPixel(1, 1, c.expected);
    for (bool stretch : {false, true}) {  // the same result through a 1:1 stretch
      QImage dest = Filled(4, 3, Sentinel);
      dest.setPixel(1, 1, c.dst);
      if (stretch) {
        StretchBlt(dest, 1, 1, 1, 1, src, 2, 2, 1, 1, c.rop);
      } else {
        BitBlt(dest, 1, 1, 1, 1, src, 2, 2, c.rop);
      }
      EXPECT_EQ(dest, want) << "stretch " << stretch;
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
  EXPECT_EQ(Pixels(dest), (std::vector<QRgb>{0xFF12F0A5u, 0xFFFFFFFFu}));

  // A 16-colour picture, as the built-in bitmaps are.
  QImage indexed(2, 1, QImage::Format_Indexed8);
  indexed.setColorCount(16);
  indexed.setColor(0, 0xFF000000u);
  indexed.setColor(9, 0xFFFF0000u);
  indexed.setPixel(0, 0, 9);
  indexed.setPixel(1, 0, 0);
  dest = Filled(2, 1, 0xFF00FF00u);
  BitBlt(dest, 0, 0, 2, 1, indexed, 0, 0, SRCERASE);
  EXPECT_EQ(Pixels(dest), (std::vector<QRgb>{0xFFFF0000u, 0xFF000000u}));

  // A destination in another format is made a surface first.
  QImage premultiplied(2, 1, QImage::Format_ARGB32_Premultiplied);
  premultiplied.fill(0xFF000000u);
  BitBlt(premultiplied, 0, 0, 1, 1, QImage(), 0, 0, WHITENESS);
  EXPECT_EQ(premultiplied.format(), QImage::Format_RGB32);
  EXPECT_EQ(Pixels(premultiplied), (std::vector<QRgb>{0xFFFFFFFFu, 0xFF000000u}));
  EXPECT_EQ(ToSurface(indexed).format(), QImage::Format_RGB32);
  EXPECT_TRUE(ToSurface(QImage()).isNull());
}

TEST(GdiTest, CopiesWithinOneImageReadTheSourceFirst) {
  const std::vector<int> start = {0, 1, 2, 3, 4, 5, 6, 7};
  const struct {
    const char* name;
    int dx, sx, w;
    std::vector<int> expected;
  } cases[] = {
      {"right", 2, 0, 5, {0, 1, 0, 1, 2, 3, 4, 7}},
      {"left", 0, 2, 5, {2, 3, 4, 5, 6, 5, 6, 7}},
      {"by one", 1, 0, 7, {0, 0, 1, 2, 3, 4, 5, 6}},
      {"apart", 5, 0, 3, {0, 1, 2, 3, 4, 0, 1, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QImage image = Line(Vs(start));
    BitBlt(image, c.dx, 0, c.w, 1, image, c.sx, 0, SRCCOPY);
    EXPECT_EQ(Pixels(image), Vs(c.expected));
  }

  // Vertically, in one column.
  QImage column = Line(Vs(start), true);
  BitBlt(column, 0, 1, 1, 6, column, 0, 0, SRCCOPY);
  EXPECT_EQ(Pixels(column), Vs({0, 0, 1, 2, 3, 4, 5, 7}));

  // Combined with itself: NOT (s OR s) is NOT s.
  QImage self = Line({0xFF0F0F0Fu, 0xFF123456u});
  BitBlt(self, 0, 0, 2, 1, self, 0, 0, NOTSRCERASE);
  EXPECT_EQ(Pixels(self), (std::vector<QRgb>{0xFFF0F0F0u, 0xFFEDCBA9u}));

  // Stretching a block over itself.
  QImage stretched = Line(Vs(start));
  StretchBlt(stretched, 0, 0, 8, 1, stretched, 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(Pixels(stretched), Vs({0, 0, 1, 1, 2, 2, 3, 3}));

  // Into a copy that shares the pixels until written: the original stays as it was.
  const QImage original = Line(Vs({1, 2, 3}));
  QImage copy = original;
  BitBlt(copy, 0, 0, 2, 1, original, 1, 0, SRCCOPY);
  EXPECT_EQ(Pixels(copy), Vs({2, 3, 3}));
  EXPECT_EQ(Pixels(original), Vs({1, 2, 3}));
}

TEST(GdiTest, StretchTakesTheNearestSourcePixel) {
  std::vector<int> source32;
  for (int i = 0; i < 32; ++i) source32.push_back(i);
  const struct {
    int srcWidth;
    std::vector<int> picks;
  } cases[] = {
      {4, {1, 3}},
      {32, {8, 24}},
      {3, {0, 0, 1, 1, 1, 2, 2}},
      {2, {0, 0, 1, 1}},
      {32, {2, 6, 10, 14, 18, 22, 26, 30}},
      {5, {0, 1, 2, 3, 4}},
  };
  for (const auto& c : cases) {
    const int destWidth = static_cast<int>(c.picks.size());
    SCOPED_TRACE(testing::Message() << c.srcWidth << " -> " << destWidth);
    QImage dest = Filled(destWidth + 2, 1, Sentinel);
    StretchBlt(dest, 1, 0, destWidth, 1, Line(Vs(source32)), 0, 0, c.srcWidth, 1, SRCCOPY);
    std::vector<QRgb> want = {Sentinel};
    for (int p : c.picks) want.push_back(V(p));
    want.push_back(Sentinel);
    EXPECT_EQ(Pixels(dest), want);
  }
}

// What a transfer must give, worked out pixel by pixel over the destination image: the
// destination pixel's centre mapped back into the source block (1:1 for a plain copy).
QImage Reference(QImage dest, int x, int y, int w, int h, const QImage& src, int sx, int sy, int sw,
                 int sh) {
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return dest;
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

TEST(GdiTest, BlocksAreClippedToBothImagesWithoutChangingTheScale) {
  // Without sw, sh the case is a plain BitBlt of w x h.
  const struct {
    const char* name;
    int x, y, w, h, sx, sy, sw = 0, sh = 0;
  } cases[] = {
      {"inside", 1, 1, 3, 2, 2, 2},
      {"lands where asked", 4, 3, 3, 2, 1, 2},
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
      {"stretch inside", 1, 1, 6, 4, 0, 0, 3, 2},
      {"stretch doubled", 0, 0, 4, 4, 0, 0, 2, 2},
      {"stretch dest left out", -4, 0, 8, 6, 0, 0, 4, 3},
      {"stretch dest right out", 5, 2, 8, 8, 0, 0, 8, 8},
      {"stretch source partly out", 0, 0, 8, 6, -2, -2, 8, 8},
      {"stretch source right out", 0, 0, 8, 6, 6, 6, 4, 4},
      {"shrink", 0, 0, 3, 3, 0, 0, 8, 8},
      {"zero source", 0, 0, 4, 4, 0, 0, 0, 4},
      {"negative stretch dest", 0, 0, -4, 4, 0, 0, 4, 4},
      {"stretch wholly out", 20, 20, 4, 4, 0, 0, 4, 4},
      {"huge stretch", INT_MIN / 2, 0, INT_MAX, 6, 0, 0, 8, 8},
      {"huge source", 0, 0, 8, 6, 0, 0, INT_MAX, INT_MAX},
  };
  const QImage src = Patterned(8, 8);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const bool stretch = c.sw != 0 || c.sh != 0;
    QImage dest = Filled(8, 6, Sentinel);
    const QImage want = Reference(dest, c.x, c.y, c.w, c.h, src, c.sx, c.sy, stretch ? c.sw : c.w,
                                  stretch ? c.sh : c.h);
    if (stretch) {
      StretchBlt(dest, c.x, c.y, c.w, c.h, src, c.sx, c.sy, c.sw, c.sh, SRCCOPY);
    } else {
      BitBlt(dest, c.x, c.y, c.w, c.h, src, c.sx, c.sy, SRCCOPY);
    }
    EXPECT_EQ(dest, want);
  }
  // The reference does draw something in the partial cases; make sure of it once.
  QImage partial = Filled(8, 6, Sentinel);
  BitBlt(partial, -2, -2, 4, 4, src, 0, 0, SRCCOPY);
  EXPECT_EQ(partial.pixel(0, 0), Pattern(2, 2));
  EXPECT_EQ(partial.pixel(1, 1), Pattern(3, 3));
  EXPECT_EQ(partial.pixel(2, 2), Sentinel);
  // Clipping on the left keeps each visible pixel's own source: a 2 x scale cut in half.
  QImage cut = Filled(2, 1, Sentinel);
  StretchBlt(cut, -2, 0, 4, 1, Line(Vs({0xAA, 0xBB})), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(Pixels(cut), Vs({0xBB, 0xBB}));
}

TEST(GdiTest, FillsAreClippedAndNullImagesDrawNothing) {
  QImage dest = Filled(4, 4, Sentinel);
  BitBlt(dest, -1, 2, 3, 5, QImage(), 0, 0, BLACKNESS);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(dest.pixel(x, y), x < 2 && y >= 2 ? 0xFF000000u : Sentinel) << x << "," << y;
    }
  }
  StretchBlt(dest, 3, 3, 9, 9, QImage(), 0, 0, 0, 0, WHITENESS);
  EXPECT_EQ(dest.pixel(3, 3), 0xFFFFFFFFu);
  EXPECT_EQ(dest.pixel(2, 3), Sentinel);

  QImage nothing;
  BitBlt(nothing, 0, 0, 4, 4, Patterned(4, 4), 0, 0, SRCCOPY);
  StretchBlt(nothing, 0, 0, 4, 4, Patterned(4, 4), 0, 0, 2, 2, SRCCOPY);
  EXPECT_TRUE(nothing.isNull());
  dest = Filled(4, 4, Sentinel);
  BitBlt(dest, 0, 0, 4, 4, QImage(), 0, 0, SRCCOPY);
  StretchBlt(dest, 0, 0, 4, 4, QImage(), 0, 0, 2, 2, NOTSRCERASE);
  EXPECT_EQ(dest, Filled(4, 4, Sentinel));
}

}  // namespace
}  // namespace pyra
