#include "view/picture_file.h"

#include <libwmf/api.h>
#include <libwmf/gd.h>
#include <libwmf/gd/gd.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "view/gdi.h"

namespace pyra {

namespace {

// Metafiles are measured in inches; the program's screen has 96 pixels to the inch.
constexpr double MetafileDpi = 96.0;
// Decoding may pass through a 64-bit format on its way to the 32-bit surface.
constexpr int DecodeMegabytes = static_cast<int>(MaxPicturePixels * 8 / (1024 * 1024));

bool LooksLikeMetafile(const QString& path, const QByteArray& head) {
  if (QFileInfo(path).suffix().compare(QLatin1String("wmf"), Qt::CaseInsensitive) == 0) {
    return true;
  }
  if (head.size() < 4) return false;
  const auto* b = reinterpret_cast<const unsigned char*>(head.constData());
  const bool placeable = b[0] == 0xD7 && b[1] == 0xCD && b[2] == 0xC6 && b[3] == 0x9A;
  const bool plain = (b[0] == 1 || b[0] == 2) && b[1] == 0 && b[2] == 9 && b[3] == 0;
  return placeable || plain;
}

int16_t Read16(const QByteArray& bytes, qsizetype at) {
  return static_cast<int16_t>(static_cast<uint8_t>(bytes[at]) |
                              (static_cast<uint8_t>(bytes[at + 1]) << 8));
}

uint32_t Read32(const QByteArray& bytes, qsizetype at) {
  return static_cast<uint16_t>(Read16(bytes, at)) |
         (static_cast<uint32_t>(static_cast<uint16_t>(Read16(bytes, at + 2))) << 16);
}

// The frame of a placeable metafile in libwmf's device space, which is in points from the
// window origin: the picture is the frame, as Windows shows it, not just what is drawn.
// The origin is the metafile's first SetWindowOrg, or 0, 0 without one.
bool PlaceableFrame(const QByteArray& bytes, wmfD_Rect& frame) {
  constexpr qsizetype PlaceableSize = 22;
  constexpr int SetWindowOrg = 0x020B;
  if (bytes.size() < PlaceableSize + 18 || Read32(bytes, 0) != 0x9AC6CDD7u) return false;
  const int left = Read16(bytes, 6);
  const int top = Read16(bytes, 8);
  const int right = Read16(bytes, 10);
  const int bottom = Read16(bytes, 12);
  const int inch = static_cast<uint16_t>(Read16(bytes, 14));
  if (inch == 0) return false;

  int originX = 0;
  int originY = 0;
  qsizetype at = PlaceableSize + 2 * static_cast<uint16_t>(Read16(bytes, PlaceableSize + 2));
  while (at + 6 <= bytes.size()) {
    const uint32_t words = Read32(bytes, at);
    const int function = static_cast<uint16_t>(Read16(bytes, at + 4));
    if (words < 3 || function == 0) break;
    if (function == SetWindowOrg && words >= 5 && at + 10 <= bytes.size()) {
      originY = Read16(bytes, at + 6);
      originX = Read16(bytes, at + 8);
      break;
    }
    if (words > static_cast<uint32_t>(bytes.size())) break;
    at += 2 * static_cast<qsizetype>(words);
  }

  const float scale = 72.0f / static_cast<float>(inch);
  frame.TL.x = static_cast<float>(std::min(left, right) - originX) * scale;
  frame.TL.y = static_cast<float>(std::min(top, bottom) - originY) * scale;
  frame.BR.x = static_cast<float>(std::max(left, right) - originX) * scale;
  frame.BR.y = static_cast<float>(std::max(top, bottom) - originY) * scale;
  return frame.BR.x > frame.TL.x && frame.BR.y > frame.TL.y;
}

// Whether a bitmap file holds all the pixel data its header promises: Qt's reader fills
// what is missing with black, so a cut-off file would otherwise pass for a picture. Other
// kinds, and headers it cannot read, are left to their decoders (libwmf refuses a metafile
// that ends early).
bool HoldsWhatItPromises(const QByteArray& head, qint64 fileSize) {
  if (head.size() < 38 || !head.startsWith("BM")) return true;
  const auto u16 = [&](qsizetype at) { return qint64{static_cast<uint16_t>(Read16(head, at))}; };
  const qint64 offset = Read32(head, 10);
  const uint32_t infoSize = Read32(head, 14);
  qint64 width = 0, height = 0, bits = 0, compression = 0, imageBytes = 0;
  if (infoSize == 12) {
    width = u16(18), height = u16(20), bits = u16(24);
  } else if (infoSize >= 40) {
    width = static_cast<int32_t>(Read32(head, 18));
    height = static_cast<int32_t>(Read32(head, 22));
    bits = u16(28), compression = Read32(head, 30), imageBytes = Read32(head, 34);
  } else {
    return true;
  }
  constexpr int Rgb = 0, BitFields = 3, AlphaBitFields = 6;
  if (compression == Rgb || compression == BitFields || compression == AlphaBitFields) {
    const qint64 rowBytes = (std::abs(width) * bits + 31) / 32 * 4;
    return fileSize >= offset + rowBytes * std::abs(height);
  }
  return fileSize >= offset + imageBytes;  // compressed: the header tells the data's size
}

// The gd image that libwmf hands over is the caller's to free, but libwmf does not export
// gd's own destructor; its parts come from malloc.
void FreeGdImage(void* handle) {
  auto* image = static_cast<gdImagePtr>(handle);
  if (image == nullptr) return;
  if (image->pixels != nullptr) {
    for (int y = 0; y < image->sy; ++y) free(image->pixels[y]);
    free(image->pixels);
  }
  free(image->_tpixels);
  free(image->tpixels);
  free(image->polyInts);
  free(image->style);
  if (image->clip != nullptr) {
    free(image->clip->list);
    free(image->clip);
  }
  free(image);
}

// libwmf draws into a gd image of exactly the picture's size, whose pixels are copied once
// into the surface.
QImage RenderMetafile(QByteArray bytes) {
  wmfAPI_Options options{};
  options.function = wmf_gd_function;
  const unsigned long flags =
      WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
  wmfAPI* api = nullptr;
  if (wmf_api_create(&api, flags, &options) != wmf_E_None || api == nullptr) return QImage();

  QImage result;
  wmf_gd_t* device = WMF_GD_GetData(api);
  wmfD_Rect drawn{};
  wmfD_Rect frame{};
  unsigned int width = 0;
  unsigned int height = 0;
  const bool placeable = PlaceableFrame(bytes, frame);
  if (wmf_mem_open(api, reinterpret_cast<unsigned char*>(bytes.data()), bytes.size()) ==
      wmf_E_None) {
    if (wmf_scan(api, 0, &drawn) == wmf_E_None &&
        wmf_display_size(api, &width, &height, MetafileDpi, MetafileDpi) == wmf_E_None &&
        PictureSizeAllowed(width, height)) {
      if (!placeable) frame = drawn;
      if (frame.BR.x > frame.TL.x && frame.BR.y > frame.TL.y) {
        device->type = wmf_gd_image;
        device->bbox = frame;
        device->width = width;
        device->height = height;
        if (wmf_play(api, 0, &drawn) == wmf_E_None && device->gd_image != nullptr) {
          const int* pixels = wmf_gd_image_pixels(device->gd_image);
          if (pixels != nullptr) result = QImage(int(width), int(height), QImage::Format_RGB32);
          for (int y = 0; y < result.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
            const int* from = pixels + size_t(y) * width;
            // gd keeps seven bits of transparency in the top byte; the picture is opaque.
            for (int x = 0; x < result.width(); ++x) line[x] = 0xFF000000u | QRgb(from[x]);
          }
        }
        FreeGdImage(device->gd_image);
        device->gd_image = nullptr;
      }
    }
    wmf_mem_close(api);
  }
  wmf_api_destroy(api);
  return result;
}

}  // namespace

bool PictureSizeAllowed(qint64 width, qint64 height) {
  return width > 0 && height > 0 && width <= MaxPictureSide && height <= MaxPictureSide &&
         width * height <= MaxPicturePixels;
}

QImage LoadPictureFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() > MaxPictureFileBytes) return QImage();
  const QByteArray head = file.peek(38);
  if (!HoldsWhatItPromises(head, file.size())) return QImage();
  if (LooksLikeMetafile(path, head)) return RenderMetafile(file.readAll());

  // Qt's own limit on what a reader may allocate follows the same rule, so that neither
  // refuses a picture the other accepts.
  QImageReader::setAllocationLimit(DecodeMegabytes);
  QImageReader reader(&file);
  reader.setDecideFormatFromContent(true);
  const QSize size = reader.size();
  // A reader that cannot tell the size beforehand is checked after decoding instead.
  if (size.isValid() && !PictureSizeAllowed(size.width(), size.height())) return QImage();
  const QImage image = reader.read();
  if (image.isNull() || !PictureSizeAllowed(image.width(), image.height())) return QImage();
  return ToSurface(image);
}

}  // namespace pyra
