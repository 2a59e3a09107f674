// Loading a picture file from the disk: bitmaps through Qt, Windows metafiles through libwmf.
#pragma once

#include <QImage>
#include <QString>

namespace pyra {

// The one rule for every picture file, whatever its kind: at most this large on disk, at most
// this many pixels either way, and at most this many pixels in all (64 MB as the 32-bit
// surface the board draws from), so that no file can stall the game or exhaust its memory.
constexpr qint64 MaxPictureFileBytes = 64 * 1024 * 1024;
constexpr int MaxPictureSide = 8192;
constexpr qint64 MaxPicturePixels = qint64{1} << 24;

// Whether a picture of this size may be loaded.
bool PictureSizeAllowed(qint64 width, qint64 height);

// Loads `path` as a picture at its own pixel size, as an RGB32 surface. A metafile (*.wmf,
// or any file that starts like one) is rendered on white at 96 pixels per inch; every other
// file goes to Qt's image readers, which decide by content. A null image when the file
// cannot be read or decoded, or breaks the rule above; the size is checked before anything
// is decoded or drawn.
QImage LoadPictureFile(const QString& path);

}  // namespace pyra
