// What the start-up load and the exit save need of the windows. Geometry is in twips
// (1440 per logical inch); the Qt side converts with the screen's twips per pixel.
#pragma once

#include <optional>
#include <string>

namespace pyra {

struct TwipSize {
  double width = 0;
  double height = 0;
};

struct TwipRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

struct PixelSize {
  int width = 0;
  int height = 0;
  bool operator==(const PixelSize&) const = default;
};

enum class Companion { NextBox, ScoreBoxA, ScoreBoxB, Message };

// What the load took from the first-run defaults because nothing was stored.
struct FirstRunLayout {
  bool width = false, height = false;                                  // of the main window
  bool next = false, scoreA = false, scoreB = false, message = false;  // companion places
};

class SessionPorts {
 public:
  virtual ~SessionPorts() = default;

  // The screen (the work area the windows are kept on).
  virtual TwipSize ScreenSize() = 0;
  virtual double TwipsPerPixelX() = 0;
  virtual double TwipsPerPixelY() = 0;

  // The main window: its outer rectangle (frame included) and its client size.
  virtual TwipRect MainWindow() = 0;
  virtual TwipSize MainClient() = 0;
  // Moves and sizes the outer frame; false when the window refuses (a size of zero or less,
  // or one it cannot take). The load reads MainWindow() back afterwards.
  virtual bool SetMainWindow(const TwipRect& outer) = 0;
  // Neither minimised nor maximised.
  virtual bool MainWindowIsNormal() = 0;
  // Whether the program places its windows and reads back where they are. Where the window
  // system keeps that to itself (native Wayland), positions are neither applied nor stored:
  // what it reports would be made up. Sizes still are.
  virtual bool CanPlaceWindows() = 0;

  // The companion windows: outer rectangle, and moving the top-left corner.
  virtual TwipRect CompanionWindow(Companion which) = 0;
  virtual bool MoveCompanion(Companion which, double left, double top) = 0;
  // Sizes NextBox so that its client area has this many pixels.
  virtual bool SetNextBoxClientPixels(int width, int height) = 0;

  // While another program holds the store at start-up: the main window is shown at once,
  // and the windows are kept painted (no input reaches the game) for a number of milliseconds.
  virtual void ShowWhileWaiting() = 0;
  virtual void Wait(int milliseconds) = 0;

  virtual bool RasterCanStretch() = 0;
  virtual bool SoundAvailable() = 0;
  // Opens the music device and plays the music when `play`; false when it cannot play.
  virtual bool OpenMusic(bool play) = 0;

  virtual std::string CurrentDirectory() = 0;
  virtual bool SetCurrentDirectory(const std::string& folder) = 0;

  // Pictures. A file name is resolved against the current directory; a load that fails
  // returns nothing.
  virtual void SetBusyCursor(bool busy) = 0;
  virtual std::optional<PixelSize> LoadBackgroundPicture(const std::string& file) = 0;
  virtual void UseBuiltInBackground() = 0;
  virtual std::optional<PixelSize> LoadUserSheet(const std::string& file) = 0;
  virtual PixelSize BuiltInSheetSize() = 0;
  virtual void UseUserSheet() = 0;     // the active sheet becomes a copy of the loaded one
  virtual void UseBuiltInSheet() = 0;  // the active sheet becomes a copy of the built-in one
  // The path shown by the picture chooser.
  virtual void SetChooserPathLabel(const std::string& path) = 0;
};

}  // namespace pyra
