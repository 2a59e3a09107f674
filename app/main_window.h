// The main window: the menu bar and the board as its whole client area.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <QProxyStyle>
#include <functional>

#include "app/window_inputs.h"
#include "match/ports.h"
#include "view/board_widget.h"
#include "view/window_keys.h"

class QAction;
class QMenu;

namespace pyra {

// Gives each menu item the room Qt's eliding asks for. Qt measures a caption without its
// access-key markers but elides it as if they took room, which would cut captions with
// Japanese text and two markers short ("Pyra3につい…").
class MenuCaptionStyle : public QProxyStyle {
 public:
  // The extra width that keeps the caption from being elided.
  static int Room(const QString& caption, const QFontMetrics& metrics);

  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override;
};

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow();

  void SetInputs(WindowInputs* inputs) { inputs_ = inputs; }
  // Tells the main window which windows are its companions: their activation is handed
  // straight back and does not count as the main window losing the focus.
  void SetCompanionTest(std::function<bool(const QWidget*)> isCompanion) {
    isCompanion_ = std::move(isCompanion);
  }

  BoardWidget& Board() { return *board_; }

  // The menu items the game shows, hides and renames.
  QAction* Item(MenuItem item) const;
  QMenu* GameMenu() const { return game_; }
  QMenu* HelpMenu() const { return help_; }
  QAction* SettingsAction() const { return settings_; }
  QAction* HelpIndexAction() const { return helpIndex_; }
  QAction* HelpSeparatorAction() const { return helpSeparator_; }
  QAction* AboutAction() const { return about_; }

  // The client area is the board: the window without its frame and menu bar.
  QSize ClientSize();
  // Resizes the window so that the client area gets this size, as far as the window system
  // and the size limits allow; gives up after a few attempts.
  void SetClientSize(QSize client);
  // Neither minimised nor maximised nor full screen.
  bool IsNormal() const;

  // The program is ending: no further events reach the game.
  void SetClosing() { closing_ = true; }
  bool Closing() const { return closing_; }

 protected:
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void BuildMenus();
  void Connect(QAction* action, Command command);
  // Lays the window out now, so that the board's size follows the window's at once.
  void SyncLayout();
  bool Live() const { return inputs_ != nullptr && !closing_; }

  BoardWidget* board_;
  QMenu* game_ = nullptr;
  QMenu* help_ = nullptr;
  QAction* newGame_ = nullptr;
  QAction* pause_ = nullptr;
  QAction* ranking_ = nullptr;
  QAction* gameSeparator_ = nullptr;
  QAction* exit_ = nullptr;
  QAction* settings_ = nullptr;
  QAction* helpIndex_ = nullptr;
  QAction* helpSeparator_ = nullptr;
  QAction* about_ = nullptr;

  WindowInputs* inputs_ = nullptr;
  std::function<bool(const QWidget*)> isCompanion_;
  KeyReleaseFilter keys_;
  // A loss of the focus was reported, so that its return is reported once too.
  bool focusLost_ = false;
  bool closing_ = false;
};

}  // namespace pyra
