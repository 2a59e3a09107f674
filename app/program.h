// The whole program: the game state, the windows, their ports and the game, wired together.
#pragma once

#include "app/main_window.h"
#include "app/qt_ports.h"
#include "app/window_inputs.h"
#include "match/game.h"
#include "view/board_painter.h"
#include "view/companion_windows.h"
#include "view/picture_holder.h"

namespace pyra {

class Program {
 public:
  Program();

  // The main window's start-up; false when the start was refused (another copy runs).
  bool Start(bool anotherInstanceRuns);

  GameState& State() { return state_; }
  GameOptions& Options() { return options_; }
  Game& TheGame() { return game_; }
  MainWindow& Window() { return window_; }
  CompanionWindows& Companions() { return companions_; }
  BoardPainter& Painter() { return painter_; }
  QtScreen& Screen() { return screen_; }
  QtShell& Shell() { return shell_; }
  QtClock& Comtimer() { return comtimer_; }
  QtClock& Mantimer() { return mantimer_; }

 private:
  // Declared in the order they need each other; the windows outlive what draws on them.
  GameState state_;
  GameOptions options_;
  Random rng_;
  MainWindow window_;
  CompanionWindows companions_;
  PictureHolder pictures_;
  BoardPainter painter_;
  QtScreen screen_;
  QtDialogs dialogs_;
  QtClock comtimer_;
  QtClock mantimer_;
  SilentSound sound_;
  UnwiredRecords records_;
  QtShell shell_;
  Game game_;
  GameInputs inputs_;
};

}  // namespace pyra
