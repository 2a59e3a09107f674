#include "view/picture_holder.h"

#include <QtGlobal>

#include "view/gdi.h"

// The pictures live in a static library: their resource must be pulled in by name, and
// Q_INIT_RESOURCE only works outside a namespace.
static void InitPictureResources() { Q_INIT_RESOURCE(assets); }

namespace pyra {

namespace {

constexpr int TitleWidth = 300;
constexpr int TitleHeight = 200;

void EnsureResources() {
  static const bool done = [] {
    InitPictureResources();
    return true;
  }();
  (void)done;
}

}  // namespace

PictureHolder::PictureHolder() {
  builtInSheet = LoadBuiltInSheet();
  title_ = LoadBuiltInBackground();
  UseBuiltInSheet();
  UseBuiltInBackground();
  drawnBackground = chosenBackground;
}

void PictureHolder::UseBuiltInSheet() {
  activeSheet = builtInSheet;
  sheetIsBuiltIn_ = true;
}

bool PictureHolder::UseLoadedSheet() {
  if (loadedSheet.isNull() || loadedSheet.size() != builtInSheet.size()) return false;
  activeSheet = ToSurface(loadedSheet);
  sheetIsBuiltIn_ = false;
  return true;
}

void PictureHolder::UseBuiltInBackground() {
  chosenBackground = title_;
  backgroundIsBuiltIn_ = true;
}

void PictureHolder::UseBackground(const QImage& picture) {
  chosenBackground = ToSurface(picture);
  backgroundIsBuiltIn_ = false;
}

QImage PictureHolder::LoadBuiltInSheet() {
  EnsureResources();
  QImage sheet(QStringLiteral(":/assets/pieces.bmp"));
  if (sheet.width() != SheetWidth || sheet.height() != SheetHeight) return GeneratedSheet();
  return ToSurface(sheet);
}

QImage PictureHolder::LoadBuiltInBackground() {
  EnsureResources();
  QImage title(QStringLiteral(":/assets/title.bmp"));
  if (title.isNull()) return GeneratedBackground();
  return ToSurface(title);
}

QImage PictureHolder::GeneratedSheet() {
  // Plain outlined discs in the pieces' colours: enough to play with when the real sheet is
  // missing. Drawn pixel by pixel so that it needs no paint engine.
  static const QRgb colours[5] = {0xFFFF6000, 0xFF505050, 0xFF2060FF, 0xFF00A000, 0xFFE00000};
  QImage sheet(SheetWidth, SheetHeight, QImage::Format_RGB32);
  sheet.fill(0xFFFFFFFFu);
  for (int k = 0; k < 5; ++k) {
    for (int j = 0; j < 32; ++j) {
      for (int i = 0; i < 32; ++i) {
        const double dx = i - 15.5;
        const double dy = j - 15.5;
        const double r2 = dx * dx + dy * dy;
        const bool opaque = r2 <= 14.0 * 14.0;
        const QRgb colour = r2 <= 12.5 * 12.5 ? colours[k] : 0xFF000000u;
        sheet.setPixel(32 * k + i, j, opaque ? colour : 0xFFFFFFFFu);
        sheet.setPixel(32 * k + i, 32 + j, opaque ? 0xFFFFFFFFu : 0xFF000000u);
      }
    }
  }
  return sheet;
}

QImage PictureHolder::GeneratedBackground() {
  QImage picture(TitleWidth, TitleHeight, QImage::Format_RGB32);
  for (int y = 0; y < TitleHeight; ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < TitleWidth; ++x) {
      line[x] = ((x + y) % 16 == 0) ? 0xFF304860u : 0xFF203040u;
    }
  }
  return picture;
}

}  // namespace pyra
