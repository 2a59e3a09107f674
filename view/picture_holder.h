// The pictures of the run: the piece sheets and the backgrounds, kept off screen.
#pragma once

#include <QImage>

namespace pyra {

// Piece sheet layout: six 32 x 32 columns, images on top, their masks below. Column 5's
// image area is the scratch square that every paint overwrites.
constexpr int SheetWidth = 192;
constexpr int SheetHeight = 64;
constexpr int ScratchX = 160;
constexpr int ScratchY = 0;

class PictureHolder {
 public:
  // Loads the built-in pictures and puts them in use.
  PictureHolder();

  // All five are RGB32 surfaces (or null). Painting writes into activeSheet and drawnBackground.
  QImage drawnBackground;   // the background as drawn: the copy that cells are tiled from
  QImage activeSheet;       // the active piece sheet
  QImage chosenBackground;  // the background as chosen
  QImage loadedSheet;       // the user's sheet file as loaded, kept for the size check
  QImage builtInSheet;      // the built-in piece sheet; never changed

  // The built-in background, which is also the about box's picture.
  const QImage& TitlePicture() const { return title_; }

  // activeSheet = builtInSheet.
  void UseBuiltInSheet();
  // activeSheet = loadedSheet when loadedSheet has exactly builtInSheet's size; false (nothing
  // changed) otherwise.
  bool UseLoadedSheet();
  // chosenBackground = the built-in background.
  void UseBuiltInBackground();
  // chosenBackground = `picture`.
  void UseBackground(const QImage& picture);

  // Whether the picture in use came from the program rather than from a file; kept by the
  // Use* functions above.
  bool SheetIsBuiltIn() const { return sheetIsBuiltIn_; }
  bool BackgroundIsBuiltIn() const { return backgroundIsBuiltIn_; }

  // The built-in pictures from the program's resources, or generated stand-ins when a
  // resource is missing or unreadable, so that painting always has a valid sheet.
  static QImage LoadBuiltInSheet();
  static QImage LoadBuiltInBackground();
  static QImage GeneratedSheet();
  static QImage GeneratedBackground();

 private:
  QImage title_;
  bool sheetIsBuiltIn_ = true;
  bool backgroundIsBuiltIn_ = true;
};

}  // namespace pyra
