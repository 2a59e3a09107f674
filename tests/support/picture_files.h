// Byte-built small bitmaps and placeable metafiles of any declared size: loader tests, benchmarks.
#pragma once

#include <QByteArray>
#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace pyra::testing {

inline void Put16(QByteArray& out, int v) {
  out.append(static_cast<char>(v & 0xFF)).append(static_cast<char>((v >> 8) & 0xFF));
}
inline void Put32(QByteArray& out, uint32_t v) {
  Put16(out, int(v & 0xFFFF)), Put16(out, int(v >> 16));
}

// A bitmap file's headers for width x height pixels at `bits` per pixel with a grey palette;
// `withPixels` adds the pixel rows (all zero), otherwise the file ends after the headers.
inline QByteArray BitmapFile(int width, int height, int bits, bool withPixels) {
  const int colours = bits <= 8 ? 1 << bits : 0;
  const int offset = 14 + 40 + 4 * colours;
  const qint64 rowBytes = (qint64{width} * bits + 31) / 32 * 4;
  const qint64 pixels = rowBytes * height;
  QByteArray bmp("BM");
  Put32(bmp, static_cast<uint32_t>(offset + pixels));
  for (uint32_t v : {0u, uint32_t(offset), 40u, uint32_t(width), uint32_t(height)}) Put32(bmp, v);
  Put16(bmp, 1), Put16(bmp, bits);
  for (uint32_t v : {0u, uint32_t(pixels), 3780u, 3780u, uint32_t(colours), 0u}) Put32(bmp, v);
  for (int i = 0; i < colours; ++i)
    Put32(bmp, 0x010101u * uint32_t(i * 255 / std::max(1, colours - 1)));
  if (withPixels) bmp.append(QByteArray(pixels, '\0'));
  return bmp;
}

// A placeable metafile: a white frame of width x height units at `perInch` to the inch from (left,
// top), red over its left half; the window origin at its corner if `setOrigin`, else at 0, 0.
inline QByteArray MetafileFile(int width, int height, int perInch, int left = 0, int top = 0,
                               bool setOrigin = true) {
  QByteArray records;
  int largest = 0;
  auto record = [&](int function, std::initializer_list<int> params) {
    const int words = 3 + static_cast<int>(params.size());
    largest = std::max(largest, words);
    Put32(records, static_cast<uint32_t>(words)), Put16(records, function);
    for (int p : params) Put16(records, p);
  };
  if (setOrigin) record(0x020B, {top, left});  // SetWindowOrg(y, x)
  record(0x020C, {height, width});             // SetWindowExt(height, width)
  record(0x02FC, {0, 0x00FF, 0x0000, 0});      // CreateBrushIndirect: solid, red
  record(0x012D, {0});                         // SelectObject(brush)
  record(0x02FA, {5, 0, 0, 0, 0});             // CreatePenIndirect: no pen
  record(0x012D, {1});                         // SelectObject(pen)
  record(0x041B, {top + height + 1, left + width / 2 + 1, top, left});  // Rectangle
  record(0x0000, {});                                                   // end of file

  QByteArray wmf;
  Put32(wmf, 0x9AC6CDD7u);
  for (int v : {0, left, top, left + width, top + height, perInch}) Put16(wmf, v);
  Put32(wmf, 0);
  uint16_t checksum = 0;
  for (int i = 0; i < 20; i += 2)
    checksum ^= static_cast<uint16_t>(uint8_t(wmf[i]) | uint8_t(wmf[i + 1]) << 8);
  Put16(wmf, checksum);
  const int words = 9 + static_cast<int>(records.size()) / 2;
  for (int v : {1, 9, 0x0300}) Put16(wmf, v);  // on disk, header words, version
  Put32(wmf, uint32_t(words)), Put16(wmf, 2);  // 2 objects
  Put32(wmf, uint32_t(largest)), Put16(wmf, 0);
  wmf.append(records);
  return wmf;
}

}  // namespace pyra::testing
