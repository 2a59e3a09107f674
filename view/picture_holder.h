// The hidden picture holder `p`: the piece sheets and the background pictures of the run.
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

  // All five are RGB32 surfaces (or null). Painting writes into Picture2 and Picture1.
  QImage Picture1;  // the background as drawn: the copy that cells are tiled from
  QImage Picture2;  // the active piece sheet
  QImage Picture3;  // the background as chosen
  QImage Picture4;  // the user's sheet file as loaded, kept for the size check
  QImage Picture5;  // the built-in piece sheet; never changed

  // The built-in background, which is also the about box's picture.
  const QImage& TitlePicture() const { return title_; }

  // Picture2 = Picture5.
  void UseBuiltInSheet();
  // Picture2 = Picture4 when Picture4 has exactly Picture5's size; false (nothing changed)
  // otherwise.
  bool UseLoadedSheet();
  // Picture3 = the built-in background.
  void UseBuiltInBackground();
  // Picture3 = `picture`.
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
