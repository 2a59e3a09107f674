#include "view/gdi.h"

#include <QVarLengthArray>
#include <algorithm>
#include <cstring>

namespace pyra {

namespace {

constexpr uint32_t Opaque = 0xFF000000u;

bool ReadsSource(RasterOp rop) { return rop != BLACKNESS && rop != WHITENESS; }

// Four pixels at a time; GCC and Clang turn this into plain SIMD instructions.
using Quad = uint32_t __attribute__((vector_size(16)));

template <RasterOp Rop, typename Pixels>
inline Pixels Apply(Pixels s, Pixels d) {
  if constexpr (Rop == SRCCOPY) {
    return s | Opaque;
  } else if constexpr (Rop == NOTSRCERASE) {
    return ~(s | d) | Opaque;
  } else if constexpr (Rop == SRCERASE) {
    return (s & ~d) | Opaque;
  } else if constexpr (Rop == BLACKNESS) {
    return (d & 0) | Opaque;
  } else {
    return d | 0xFFFFFFFFu;
  }
}

// One row: d[i] = s[i] combined with d[i]. The rows never overlap (see BitBlt).
template <RasterOp Rop>
inline void ApplyRow(uint32_t* d, const uint32_t* s, int w) {
  int i = 0;
  for (; i + 4 <= w; i += 4) {
    Quad sq;
    Quad dq;
    std::memcpy(&sq, s + i, sizeof sq);
    std::memcpy(&dq, d + i, sizeof dq);
    dq = Apply<Rop>(sq, dq);
    std::memcpy(d + i, &dq, sizeof dq);
  }
  for (; i < w; ++i) d[i] = Apply<Rop>(s[i], d[i]);
}

// Formats whose 32-bit pixels can be read as they are: the colour bits are plain RGB.
bool ReadableAsIs(const QImage& image) {
  return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
}

void EnsureSurface(QImage& image) {
  if (!image.isNull() && image.format() != QImage::Format_RGB32) image = ToSurface(image);
}

bool Overlap(int64_t ax, int64_t ay, int64_t aw, int64_t ah, int64_t bx, int64_t by, int64_t bw,
             int64_t bh) {
  return ax < bx + bw && bx < ax + aw && ay < by + bh && by < ay + ah;
}

// One clipped block: destination (dx, dy), source (sx, sy), w x h, all inside their images.
struct Block {
  int dx, dy, sx, sy, w, h;
};

template <RasterOp Rop>
void Fill(QImage& dest, const Block& b) {
  uchar* base = dest.bits();
  const qsizetype stride = dest.bytesPerLine();
  for (int j = 0; j < b.h; ++j) {
    auto* d = reinterpret_cast<uint32_t*>(base + (b.dy + j) * stride) + b.dx;
    ApplyRow<Rop>(d, d, b.w);
  }
}

template <RasterOp Rop>
void Copy(QImage& dest, const QImage& src, const Block& b) {
  uchar* dBase = dest.bits();
  const uchar* sBase = src.constBits();
  const qsizetype dStride = dest.bytesPerLine();
  const qsizetype sStride = src.bytesPerLine();
  for (int j = 0; j < b.h; ++j) {
    auto* d = reinterpret_cast<uint32_t*>(dBase + (b.dy + j) * dStride) + b.dx;
    const auto* s = reinterpret_cast<const uint32_t*>(sBase + (b.sy + j) * sStride) + b.sx;
    ApplyRow<Rop>(d, s, b.w);
  }
}

// cols[i] / rows[j]: the source column / row of destination pixel (b.dx + i, b.dy + j),
// or -1 when it lies outside the source.
template <RasterOp Rop>
void Stretch(QImage& dest, const QImage& src, int dx, int dy, const int* cols, int w,
             const int* rows, int h) {
  uchar* dBase = dest.bits();
  const uchar* sBase = src.constBits();
  const qsizetype dStride = dest.bytesPerLine();
  const qsizetype sStride = src.bytesPerLine();
  for (int j = 0; j < h; ++j) {
    if (rows[j] < 0) continue;
    auto* d = reinterpret_cast<uint32_t*>(dBase + (dy + j) * dStride) + dx;
    const auto* s = reinterpret_cast<const uint32_t*>(sBase + rows[j] * sStride);
    for (int i = 0; i < w; ++i) {
      if (cols[i] >= 0) d[i] = Apply<Rop>(s[cols[i]], d[i]);
    }
  }
}

// Clips [start, start + length) to [0, limit) and moves `other` along with the start.
void ClipSpan(int64_t& start, int64_t& length, int64_t& other, int64_t limit) {
  if (start < 0) {
    other -= start;
    length += start;
    start = 0;
  }
  length = std::min(length, limit - start);
}

// The source pixels under the centres of `count` destination pixels that start `first`
// pixels into a destination span of `destLength`, mapped onto [srcStart, srcStart + srcLength).
template <typename Array>
void MapSpan(Array& out, int64_t first, int count, int64_t destLength, int64_t srcStart,
             int64_t srcLength, int64_t srcLimit) {
  out.resize(count);
  for (int k = 0; k < count; ++k) {
    const int64_t i = first + k;
    const int64_t s = srcStart + ((2 * i + 1) * srcLength) / (2 * destLength);
    out[k] = (s >= 0 && s < srcLimit) ? static_cast<int>(s) : -1;
  }
}

}  // namespace

QImage ToSurface(const QImage& image) {
  if (image.isNull()) return QImage();
  if (image.format() == QImage::Format_RGB32) return image;
  return image.convertToFormat(QImage::Format_RGB32);
}

void BitBlt(QImage& dest, int x, int y, int width, int height, const QImage& src, int srcX,
            int srcY, RasterOp rop) {
  if (width <= 0 || height <= 0 || dest.isNull()) return;
  EnsureSurface(dest);
  const bool readsSource = ReadsSource(rop);
  if (readsSource && src.isNull()) return;

  int64_t dx = x, dy = y, w = width, h = height, sx = srcX, sy = srcY;
  ClipSpan(dx, w, sx, dest.width());
  ClipSpan(dy, h, sy, dest.height());
  if (readsSource) {
    ClipSpan(sx, w, dx, src.width());
    ClipSpan(sy, h, dy, src.height());
  }
  if (w <= 0 || h <= 0) return;
  const Block block{static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(sx),
                    static_cast<int>(sy), static_cast<int>(w),  static_cast<int>(h)};

  if (!readsSource) {
    dest.bits();  // detach before writing
    if (rop == BLACKNESS) {
      Fill<BLACKNESS>(dest, block);
    } else {
      Fill<WHITENESS>(dest, block);
    }
    return;
  }

  QImage held;  // a converted or detached copy of the source, when one is needed
  const QImage* source = &src;
  if (!ReadableAsIs(src)) {
    held = ToSurface(src);
    source = &held;
  }
  dest.bits();  // detach first, so that a shared source is no longer the same buffer
  if (source->constBits() == dest.constBits() && Overlap(dx, dy, w, h, sx, sy, w, h)) {
    held = source->copy();
    source = &held;
  }

  switch (rop) {
    case SRCCOPY:
      Copy<SRCCOPY>(dest, *source, block);
      break;
    case NOTSRCERASE:
      Copy<NOTSRCERASE>(dest, *source, block);
      break;
    case SRCERASE:
      Copy<SRCERASE>(dest, *source, block);
      break;
    default:
      break;
  }
}

void StretchBlt(QImage& dest, int x, int y, int width, int height, const QImage& src, int srcX,
                int srcY, int srcWidth, int srcHeight, RasterOp rop) {
  if (!ReadsSource(rop)) {
    BitBlt(dest, x, y, width, height, src, srcX, srcY, rop);
    return;
  }
  if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0) return;
  if (dest.isNull() || src.isNull()) return;
  EnsureSurface(dest);

  // Destination pixels inside the destination image, as offsets into the unclipped block.
  const int64_t firstCol = std::max<int64_t>(0, -int64_t{x});
  const int64_t lastCol = std::min<int64_t>(width, int64_t{dest.width()} - x);
  const int64_t firstRow = std::max<int64_t>(0, -int64_t{y});
  const int64_t lastRow = std::min<int64_t>(height, int64_t{dest.height()} - y);
  if (lastCol <= firstCol || lastRow <= firstRow) return;
  const int w = static_cast<int>(lastCol - firstCol);
  const int h = static_cast<int>(lastRow - firstRow);
  const int dx = static_cast<int>(x + firstCol);
  const int dy = static_cast<int>(y + firstRow);

  QImage held;
  const QImage* source = &src;
  if (!ReadableAsIs(src)) {
    held = ToSurface(src);
    source = &held;
  }

  QVarLengthArray<int, 128> cols;
  QVarLengthArray<int, 128> rows;
  MapSpan(cols, firstCol, w, width, srcX, srcWidth, source->width());
  MapSpan(rows, firstRow, h, height, srcY, srcHeight, source->height());

  dest.bits();
  if (source->constBits() == dest.constBits() &&
      Overlap(dx, dy, w, h, srcX, srcY, srcWidth, srcHeight)) {
    held = source->copy();
    source = &held;
  }

  switch (rop) {
    case SRCCOPY:
      Stretch<SRCCOPY>(dest, *source, dx, dy, cols.data(), w, rows.data(), h);
      break;
    case NOTSRCERASE:
      Stretch<NOTSRCERASE>(dest, *source, dx, dy, cols.data(), w, rows.data(), h);
      break;
    case SRCERASE:
      Stretch<SRCERASE>(dest, *source, dx, dy, cols.data(), w, rows.data(), h);
      break;
    default:
      break;
  }
}

}  // namespace pyra
