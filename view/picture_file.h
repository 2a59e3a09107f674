// Loading a picture file from the disk: bitmaps through Qt, Windows metafiles through libwmf.
#pragma once

#include <QImage>
#include <QString>

namespace pyra {

// Loads `path` as a picture at its own pixel size, as an RGB32 surface. A metafile (*.wmf,
// or any file that starts like one) is rendered on white at 96 pixels per inch; every other
// file goes to Qt's image readers, which decide by content. A null image when the file
// cannot be read or decoded, or would be larger than MaxPictureSide either way.
QImage LoadPictureFile(const QString& path);

// Whether metafiles can be rendered at all in this build.
bool CanLoadMetafiles();

constexpr int MaxPictureSide = 8192;

}  // namespace pyra
