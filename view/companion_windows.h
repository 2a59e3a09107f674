// The small windows beside the main window: the NEXT window, one score box per side and
// the message window. Each draws from its own persistent image, never keeps the keyboard
// and passes its key releases to the game. Where they go is the settings load's business.
#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "view/window_keys.h"

namespace pyra {

class CompanionWindow : public QWidget {
  Q_OBJECT

 public:
  // A tool window of `mainWindow` with this caption and a fixed client size.
  CompanionWindow(QWidget* mainWindow, const QString& caption, QSize clientSize);

  // The window's persistent image, of the client size; Present() shows what was drawn.
  QImage& Image() { return image_; }
  const QImage& Image() const { return image_; }
  // Shows the image at once (synchronously) when the window is visible.
  void Present();
  // Clears the image to the window's background colour and shows it.
  void Clear();
  QColor BackgroundColour() const;

  // Receives the game's key code of every key released in this window.
  void SetKeyHandler(std::function<void(int)> handler) { keyHandler_ = std::move(handler); }
  // Gives the activation back to the main window whenever this window is activated.
  void SetFocusReturn(std::function<void()> giveBack) { giveBack_ = std::move(giveBack); }

  // Puts the window's frame at this screen point. Applied again once the window is first
  // mapped: until then a window manager has not told the frame, and a window system may
  // ignore moves of a window it has not mapped.
  void Place(QPoint frameTopLeft);
  std::optional<QPoint> PlacedAt() const { return placedAt_; }

  void setVisible(bool visible) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 protected:
  // The image made ready for text: at the screen's pixel density, so that text stays sharp
  // on a scaled screen.
  QImage& TextCanvas();

  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QImage image_;
  std::function<void(int)> keyHandler_;
  std::function<void()> giveBack_;
  KeyReleaseFilter keys_;
  // Where the window was placed, and whether that still has to be applied to its mapping.
  std::optional<QPoint> placedAt_;
  bool shown_ = false;
  bool awaitingMap_ = false;
  void ApplyPlaceToFrame();
};

// The score text: a leading space for a score of 0 or more, a minus sign for a negative one.
QString ScoreText(int16_t score);
// Bold 24 pt Arial (or a font of the same metrics) at 96 dots per inch.
QFont ScoreFont();
// The message window's bold 13.5 pt Japanese font at 96 dots per inch.
QFont MessageFont();

class ScoreBox : public CompanionWindow {
  Q_OBJECT

 public:
  ScoreBox(QWidget* mainWindow, const QString& caption, QSize clientSize, QColor textColour);
  // Clears the box and prints the score from its top-left corner.
  void ShowScore(int16_t score);
  QColor TextColour() const { return textColour_; }

 private:
  QColor textColour_;
};

class MessageWindow : public CompanionWindow {
  Q_OBJECT

 public:
  explicit MessageWindow(QWidget* mainWindow);
  // Clears the window, prints the text from the top-left corner (a line break starts a new
  // line) and shows the window without taking the activation.
  void ShowText(const QString& text);
  const QString& Text() const { return text_; }

 private:
  QString text_;
};

class CompanionWindows {
 public:
  explicit CompanionWindows(QWidget* mainWindow);

  CompanionWindow& NextBox() { return *next_; }
  ScoreBox& ScoreBoxA() { return *scoreA_; }
  ScoreBox& ScoreBoxB() { return *scoreB_; }
  ScoreBox& Score(int side) { return side == 0 ? *scoreA_ : *scoreB_; }
  MessageWindow& Message() { return *message_; }

  // Every key released in one of the windows goes to `handler`.
  void SetKeyHandler(const std::function<void(int)>& handler);
  bool IsCompanion(const QWidget* window) const;

  // The NEXT window and both score boxes.
  void ShowCompanions();
  void HideCompanions();
  // Hides every companion window for good: the program is ending.
  void CloseAll();

 private:
  std::array<CompanionWindow*, 4> All() const;

  QWidget* main_;
  CompanionWindow* next_;
  ScoreBox* scoreA_;
  ScoreBox* scoreB_;
  MessageWindow* message_;
};

}  // namespace pyra
