// What holds the move clocks for a while: a modal window, the focus elsewhere, a minimised
// main window; and what minimising puts aside until the window is restored.
#include "match/game.h"

namespace pyra {

bool Game::ClocksHeld() const { return Paused() || minimisedHold || suspendDepth > 0; }

void Game::SuspendClocks() {
  ++suspendDepth;
  ApplyClocks();
}

void Game::ResumeClocks() {
  if (suspendDepth > 0) --suspendDepth;
  ApplyClocks();
}

void Game::Form_LostFocus() {
  if (focusSuspended) return;
  focusSuspended = true;
  SuspendClocks();
}

void Game::Form_GotFocus() {
  if (!focusSuspended) return;
  focusSuspended = false;
  ResumeClocks();
}

MsgAnswer Game::Ask(const std::string& message, const std::string& title, MsgButtons buttons,
                    MsgIcon icon) {
  MsgAnswer answer = MsgAnswer::Ok;
  WithClocksSuspended([&] { answer = ports.dialogs.MessageBox(message, title, buttons, icon); });
  return answer;
}

void Game::Form_Minimised() {
  if (minimisedHold) return;  // already put aside; a second call must not lose it
  ports.screen.HideCompanions();
  minimise.companionsHidden = true;
  minimise.manWasOn = manArmed;
  minimise.comWasOn = comArmed;
  minimisedHold = true;
  ApplyClocks();
  minimise.messageWasVisible = ports.screen.MessageVisible();
  if (minimise.messageWasVisible) ports.screen.HideMessage();
  const std::string caption = ports.screen.Caption();
  minimise.captionSaved = caption != ProductName;
  if (minimise.captionSaved) {
    minimise.savedCaption = caption;
    ports.screen.SetCaption(ProductName);
  }
}

void Game::Form_Restored() {
  if (minimise.companionsHidden) {
    ports.screen.ShowCompanions();
    minimise.companionsHidden = false;
  }
  minimisedHold = false;
  minimise.manWasOn = minimise.comWasOn = false;
  ApplyClocks();
  if (minimise.messageWasVisible) {
    ports.screen.ShowMessageWindow();
    minimise.messageWasVisible = false;
  }
  if (minimise.captionSaved) {
    ports.screen.SetCaption(minimise.savedCaption);
    minimise.captionSaved = false;
  }
  ports.screen.PrepareBackground();
}

}  // namespace pyra
