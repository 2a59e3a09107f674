// Bit-block transfers over QImage: the few GDI operations the board painting is built on.
// Every surface is a QImage in Format_RGB32; the operations work bitwise on the colour bits
// and always leave alpha at 0xFF.
#pragma once

#include <QImage>
#include <cstdint>

namespace pyra {

// The raster operations in use, under their GDI codes.
enum RasterOp : uint32_t {
  SRCCOPY = 0x00CC0020,      // source
  NOTSRCERASE = 0x001100A6,  // NOT (source OR destination)
  SRCERASE = 0x00440328,     // source AND (NOT destination)
  BLACKNESS = 0x00000042,    // all bits clear
  WHITENESS = 0x00FF0062,    // all bits set
};

// `image` as a drawing surface: Format_RGB32, fully opaque. A null image stays null.
QImage ToSurface(const QImage& image);

// Combines the width x height block of `src` at (srcX, srcY) into `dest` at (x, y).
// Both blocks are clipped to their images; a size of zero or less draws nothing.
// BLACKNESS and WHITENESS do not read `src` (it may be a null image). `src` may be `dest`
// itself, also with overlapping blocks: the result is as if the source were read first.
// A `dest` in another format is converted to Format_RGB32 first.
void BitBlt(QImage& dest, int x, int y, int width, int height, const QImage& src, int srcX,
            int srcY, RasterOp rop);

// Like BitBlt, but the srcWidth x srcHeight block of `src` is scaled to width x height by
// nearest neighbour: destination pixel i of a row takes source pixel
// floor((2i + 1) * srcWidth / (2 * width)), the one under its centre. Clipping keeps the
// scale of the unclipped blocks; destination pixels whose source falls outside `src` are
// left alone. Sizes of zero or less draw nothing.
void StretchBlt(QImage& dest, int x, int y, int width, int height, const QImage& src, int srcX,
                int srcY, int srcWidth, int srcHeight, RasterOp rop);

}  // namespace pyra
