// What the windows report: every mouse, key, menu, focus and window-state event of the
// program's windows reaches the game through this one interface.
#pragma once

#include "match/game.h"

namespace pyra {

enum class Command { NewGame, Pause, Ranking, Exit, Settings, Help, About };

class WindowInputs {
 public:
  virtual ~WindowInputs() = default;
  // Client pixels of the board.
  virtual void MouseUp(MouseButton button, int x, int y) = 0;
  // KeySpace, KeyEscape, KeyReturn, or any other code for other keys.
  virtual void KeyUp(int keyCode) = 0;
  // An arrow key's press or repeat in the main window.
  virtual void ArrowKey(Arrow arrow) = 0;
  virtual void MenuCommand(Command command) = 0;
  // The main window's close box.
  virtual void CloseRequested() = 0;
  virtual void LostFocus() = 0;
  virtual void GotFocus() = 0;
  virtual void Minimised() = 0;
  // The window is shown normally again, or was resized while shown normally.
  virtual void Restored() = 0;
};

// The windows' events as calls of the game's handlers.
class GameInputs : public WindowInputs {
 public:
  explicit GameInputs(Game& game) : game_(game) {}

  void MouseUp(MouseButton button, int x, int y) override { game_.OnMouseRelease(button, x, y); }
  void KeyUp(int keyCode) override { game_.OnKey(keyCode); }
  void ArrowKey(Arrow arrow) override { game_.OnArrow(arrow); }
  void MenuCommand(Command command) override {
    switch (command) {
      case Command::NewGame:
        game_.OnNewGame();
        break;
      case Command::Pause:
        game_.OnPause();
        break;
      case Command::Ranking:
        game_.OnRanking();
        break;
      case Command::Exit:
        game_.OnExit();
        break;
      case Command::Settings:
        game_.OnSettings();
        break;
      case Command::Help:
        game_.OnHelp();
        break;
      case Command::About:
        game_.OnAbout();
        break;
    }
  }
  void CloseRequested() override { game_.ShutDown(); }
  void LostFocus() override { game_.OnFocusLost(); }
  void GotFocus() override { game_.OnFocusBack(); }
  void Minimised() override { game_.OnMinimised(); }
  void Restored() override { game_.OnRestored(); }

 private:
  Game& game_;
};

}  // namespace pyra
