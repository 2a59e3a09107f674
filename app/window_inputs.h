// What the windows report: every mouse, key, menu, focus and window-state event of the
// program's windows reaches the game through this one interface.
#pragma once

#include "match/game.h"

namespace pyra {

enum class Command { NewGame, Pause, Hiscore, ExitGame, GameSet, Index, About };

class WindowInputs {
 public:
  virtual ~WindowInputs() = default;
  // Client pixels of the board.
  virtual void MouseUp(MouseButton button, int x, int y) = 0;
  // KeySpace, KeyEscape, or any other code for other keys.
  virtual void KeyUp(int keyCode) = 0;
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

  void MouseUp(MouseButton button, int x, int y) override { game_.Form_MouseUp(button, x, y); }
  void KeyUp(int keyCode) override { game_.HandleKeyUp(keyCode); }
  void MenuCommand(Command command) override {
    switch (command) {
      case Command::NewGame:
        game_.NewGame_Click();
        break;
      case Command::Pause:
        game_.pause_Click();
        break;
      case Command::Hiscore:
        game_.hiscore_Click();
        break;
      case Command::ExitGame:
        game_.ExitGame_Click();
        break;
      case Command::GameSet:
        game_.gameset_Click();
        break;
      case Command::Index:
        game_.index_Click();
        break;
      case Command::About:
        game_.about_Click();
        break;
    }
  }
  void CloseRequested() override { game_.Form_Unload(); }
  void LostFocus() override { game_.Form_LostFocus(); }
  void GotFocus() override { game_.Form_GotFocus(); }
  void Minimised() override { game_.Form_Minimised(); }
  void Restored() override { game_.Form_Restored(); }

 private:
  Game& game_;
};

}  // namespace pyra
