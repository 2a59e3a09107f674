#include "app/qt_session_ports.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDeadlineTimer>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWindow>
#include <cmath>

#include "app/main_window.h"
#include "rules/board.h"
#include "sound/music.h"
#include "store/companion_placement.h"
#include "view/board_painter.h"
#include "view/companion_windows.h"
#include "view/picture_file.h"
#include "view/picture_holder.h"
#include "view/screen_area.h"

namespace pyra {

namespace {

constexpr double TwipsPerInch = 1440.0;
// How long the start-up waits for the window system to map the main window.
constexpr int MapWaitMilliseconds = 1000;

int ToInt(double value) { return static_cast<int>(std::lround(value)); }

QString Q(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QtSessionPorts::QtSessionPorts(pyra::MainWindow& window, CompanionWindows& companions,
                               PictureHolder& pictures, BoardPainter& painter)
    : window_(window), companions_(companions), pictures_(pictures), painter_(painter) {
  // The window system tells a window's frame only once the window exists there; creating the
  // windows now lets the load size and place them by their real frames where it can.
  window_.winId();
  for (Companion which :
       {Companion::NextBox, Companion::ScoreBoxA, Companion::ScoreBoxB, Companion::Message}) {
    Window(which).winId();
  }
}

TwipSize QtSessionPorts::ScreenSize() {
  const QRect area = WorkArea();
  return {area.width() * TwipsPerPixelX(), area.height() * TwipsPerPixelY()};
}

double QtSessionPorts::TwipsPerPixelX() {
  const QScreen* screen = TheScreen();
  const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 0;
  return dpi > 0 ? TwipsPerInch / dpi : 15.0;
}

double QtSessionPorts::TwipsPerPixelY() {
  const QScreen* screen = TheScreen();
  const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 0;
  return dpi > 0 ? TwipsPerInch / dpi : 15.0;
}

TwipRect QtSessionPorts::ToTwips(const QRect& frame) {
  const QRect area = WorkArea();
  const double tppx = TwipsPerPixelX();
  const double tppy = TwipsPerPixelY();
  return {(frame.x() - area.x()) * tppx, (frame.y() - area.y()) * tppy, frame.width() * tppx,
          frame.height() * tppy};
}

QRect QtSessionPorts::ToPixels(const TwipRect& rect) {
  const QRect area = WorkArea();
  const double tppx = TwipsPerPixelX();
  const double tppy = TwipsPerPixelY();
  return {ToInt(rect.left / tppx) + area.x(), ToInt(rect.top / tppy) + area.y(),
          ToInt(rect.width / tppx), ToInt(rect.height / tppy)};
}

QMargins QtSessionPorts::FrameMargins(const QWidget& window) {
  const QRect frame = window.frameGeometry();
  const QRect inner = window.geometry();
  return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
          frame.bottom() - inner.bottom()};
}

QRect QtSessionPorts::OuterRect(const QWidget& window) { return window.frameGeometry(); }

pyra::CompanionWindow& QtSessionPorts::Window(Companion which) {
  switch (which) {
    case Companion::NextBox:
      return companions_.NextBox();
    case Companion::ScoreBoxA:
      return companions_.ScoreBoxA();
    case Companion::ScoreBoxB:
      return companions_.ScoreBoxB();
    case Companion::Message:
      break;
  }
  return companions_.Message();
}

TwipRect QtSessionPorts::MainWindow() { return ToTwips(OuterRect(window_)); }

TwipSize QtSessionPorts::MainClient() {
  const QSize client = window_.ClientSize();
  return {client.width() * TwipsPerPixelX(), client.height() * TwipsPerPixelY()};
}

bool QtSessionPorts::SetMainWindow(const TwipRect& outer) {
  if (!(outer.width > 0 && outer.height > 0)) return false;
  const QRect want = ToPixels(outer);
  const QMargins frame = FrameMargins(window_);
  const QSize inner = want.size().shrunkBy(frame);
  if (inner.width() <= 0 || inner.height() <= 0) return false;
  window_.resize(inner);
  window_.move(want.topLeft());
  // What the window really took (its minimum size may have stopped it), for the settling.
  requestedMain_ = OuterRect(window_);
  requestedFrame_ = frame;
  return *requestedMain_ == want;
}

bool QtSessionPorts::MainWindowIsNormal() { return window_.IsNormal(); }

bool QtSessionPorts::CanPlaceWindows() {
  // A Wayland client neither places its windows nor learns where the compositor put them.
  return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

void QtSessionPorts::SettleMainWindow(const FirstRunLayout& defaults) {
  if (!requestedMain_) return;
  const QRect requested = *requestedMain_;
  const QMargins guessed = requestedFrame_;
  requestedMain_.reset();
  QWindow* handle = window_.windowHandle();
  if (handle == nullptr || !window_.isVisible()) return;
  // The frame comes with the mapping. Input waits, so that no key or click reaches the game
  // before its start-up is done.
  const QDeadlineTimer deadline(MapWaitMilliseconds);
  while (!handle->isExposed() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (!handle->isExposed()) QThread::msleep(5);
  }
  if (!window_.IsNormal()) return;
  const QMargins real = FrameMargins(window_);
  if (real == guessed) return;
  QSize inner = requested.size().shrunkBy(real);
  if (defaults.width) inner.setWidth(window_.width());
  if (defaults.height) inner.setHeight(window_.height());
  if (inner.width() > 0 && inner.height() > 0) window_.resize(inner);
  window_.move(requested.topLeft());

  const QSize growth = OuterRect(window_).size() - requested.size();
  const int sides = real.left() + real.right() - guessed.left() - guessed.right();
  auto follow = [&](Companion which, bool placedByDefault, QPoint shift) {
    pyra::CompanionWindow& window = Window(which);
    if (!placedByDefault || shift.isNull() || !window.PlacedAt() || window.isVisible()) return;
    // A companion's own frame is not known before it is mapped: like the main window's.
    const QMargins frame = FrameMargins(window).isNull() ? real : FrameMargins(window);
    const TwipRect at = ToTwips(QRect(*window.PlacedAt() + shift, window.size().grownBy(frame)));
    const TwipPoint kept = ClampToScreen({at.left, at.top}, {at.width, at.height}, ScreenSize());
    MoveCompanion(which, kept.left, kept.top);
  };
  follow(Companion::NextBox, defaults.next, {growth.width(), 0});
  follow(Companion::ScoreBoxA, defaults.scoreA, {0, growth.height()});
  // Right of score box A, whose frame grows like the main window's sides.
  follow(Companion::ScoreBoxB, defaults.scoreB, {sides, growth.height()});
  follow(Companion::Message, defaults.message, {0, growth.height()});
}

TwipRect QtSessionPorts::CompanionWindow(Companion which) {
  return ToTwips(OuterRect(Window(which)));
}

bool QtSessionPorts::MoveCompanion(Companion which, double left, double top) {
  const QRect at = ToPixels({left, top, 0, 0});
  Window(which).Place(at.topLeft());
  return true;
}

bool QtSessionPorts::SetNextBoxClientPixels(int width, int height) {
  pyra::CompanionWindow& next = companions_.NextBox();
  if (width <= 0 || height <= 0) return false;
  next.setFixedSize(width, height);
  return next.size() == QSize(width, height);
}

void QtSessionPorts::ShowWhileWaiting() {
  window_.SetClientSize(QSize(FirstRunBoard.cols * CellPixels, FirstRunBoard.rows * CellPixels));
  window_.show();
  window_.raise();
  if (showTitle_) showTitle_();
}

void QtSessionPorts::Wait(int milliseconds) {
  // The windows paint; keys and clicks wait until the game has started.
  const QDeadlineTimer deadline(milliseconds);
  while (!deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QThread::msleep(5);
  }
}

bool QtSessionPorts::RasterCanStretch() { return painter_.RasterCanStretch(); }

bool QtSessionPorts::OpenMusic(bool play) { return music_ != nullptr && music_->Open(play); }

bool QtSessionPorts::SoundAvailable() { return sound_ != nullptr && sound_->SoundAvailable(); }

std::string QtSessionPorts::CurrentDirectory() { return QDir::currentPath().toStdString(); }

bool QtSessionPorts::SetCurrentDirectory(const std::string& folder) {
  return !folder.empty() && QDir::setCurrent(Q(folder));
}

void QtSessionPorts::SetBusyCursor(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++busy_;
  } else if (busy_ > 0) {
    QApplication::restoreOverrideCursor();
    --busy_;
  }
}

std::optional<PixelSize> QtSessionPorts::LoadBackgroundPicture(const std::string& file) {
  if (file.empty()) return std::nullopt;
  // A relative name is found from the current directory.
  const QImage picture = LoadPictureFile(Q(file));
  if (picture.isNull()) return std::nullopt;
  pictures_.UseBackground(picture);
  return PixelSize{picture.width(), picture.height()};
}

void QtSessionPorts::UseBuiltInBackground() { pictures_.UseBuiltInBackground(); }

std::optional<PixelSize> QtSessionPorts::LoadUserSheet(const std::string& file) {
  if (file.empty()) return std::nullopt;
  const QImage sheet = LoadPictureFile(Q(file));
  if (sheet.isNull()) return std::nullopt;
  pictures_.loadedSheet = sheet;
  return PixelSize{sheet.width(), sheet.height()};
}

PixelSize QtSessionPorts::BuiltInSheetSize() {
  return {pictures_.builtInSheet.width(), pictures_.builtInSheet.height()};
}

void QtSessionPorts::UseUserSheet() {
  // A sheet that cannot be cut into pieces is never put in use.
  if (!pictures_.UseLoadedSheet()) pictures_.UseBuiltInSheet();
}

void QtSessionPorts::UseBuiltInSheet() { pictures_.UseBuiltInSheet(); }

void QtSessionPorts::SetChooserPathLabel(const std::string& path) { chooserPathLabel_ = path; }

}  // namespace pyra
