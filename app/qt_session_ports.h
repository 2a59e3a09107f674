// The windows as the settings load and the exit save see them, on Qt. Geometry is in twips
// relative to the top-left corner of the primary screen's work area, so that keeping a
// window on the screen also keeps it clear of panels and docks.
#pragma once

#include <QMargins>
#include <QRect>
#include <functional>
#include <optional>
#include <string>

#include "match/ports.h"
#include "store/session_ports.h"

class QScreen;
class QWidget;

namespace pyra {

class BoardPainter;
class CompanionWindow;
class CompanionWindows;
class MainWindow;
class Music;
class PictureHolder;

class QtSessionPorts final : public SessionPorts {
 public:
  QtSessionPorts(pyra::MainWindow& window, CompanionWindows& companions, PictureHolder& pictures,
                 BoardPainter& painter);

  TwipSize ScreenSize() override;
  double TwipsPerPixelX() override;
  double TwipsPerPixelY() override;

  TwipRect MainWindow() override;
  TwipSize MainClient() override;
  bool SetMainWindow(const TwipRect& outer) override;
  bool MainWindowIsNormal() override;
  bool CanPlaceWindows() override;

  TwipRect CompanionWindow(Companion which) override;
  bool MoveCompanion(Companion which, double left, double top) override;
  bool SetNextBoxClientPixels(int width, int height) override;

  // Shown while waiting: the first-run window with what `showTitle` draws on it.
  void ShowWhileWaiting() override;
  void SetTitleShow(std::function<void()> showTitle) { showTitle_ = std::move(showTitle); }
  void Wait(int milliseconds) override;

  bool RasterCanStretch() override;
  // The sound port's answer; no sound until one is given.
  bool SoundAvailable() override;
  void SetSound(Sound* sound) { sound_ = sound; }
  bool OpenMusic(bool play) override;
  void SetMusic(Music* music) { music_ = music; }

  std::string CurrentDirectory() override;
  bool SetCurrentDirectory(const std::string& folder) override;

  void SetBusyCursor(bool busy) override;
  std::optional<PixelSize> LoadBackgroundPicture(const std::string& file) override;
  void UseBuiltInBackground() override;
  std::optional<PixelSize> LoadUserSheet(const std::string& file) override;
  PixelSize BuiltInSheetSize() override;
  void UseUserSheet() override;
  void UseBuiltInSheet() override;
  void SetChooserPathLabel(const std::string& path) override;

  // What the picture chooser shows as the path of the picture last loaded from a file.
  const std::string& ChooserPathLabel() const { return chooserPathLabel_; }

  // Called once, right after the main window has been shown. Where the window system tells
  // the frame only now (an X11 window manager), the load sized the window by a guess: the
  // window is sized again by its real frame. A size read from the store is an outer size and
  // is kept as such; the first-run size is a board of whole cells and keeps its client size,
  // and the companion windows placed beside it by default move with its real edges.
  void SettleMainWindow(const FirstRunLayout& defaults);

 private:
  // The outer rectangle in twips of a window whose frame is `frame`.
  TwipRect ToTwips(const QRect& frame);
  QRect ToPixels(const TwipRect& rect);
  // The frame's margins around the window's geometry; none while the window system has not
  // told them (an X11 window manager tells them when it first maps the window).
  static QMargins FrameMargins(const QWidget& window);
  static QRect OuterRect(const QWidget& window);
  pyra::CompanionWindow& Window(Companion which);

  pyra::MainWindow& window_;
  CompanionWindows& companions_;
  PictureHolder& pictures_;
  BoardPainter& painter_;
  std::string chooserPathLabel_;
  // The outer rectangle (pixels) the load gave the main window last, and the frame it
  // reckoned with.
  std::optional<QRect> requestedMain_;
  QMargins requestedFrame_;
  int busy_ = 0;
  Sound* sound_ = nullptr;
  Music* music_ = nullptr;
  std::function<void()> showTitle_;
};

}  // namespace pyra
