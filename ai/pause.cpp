// Pausing and resuming a running game.
#include "match/game.h"
#include "match/messages.h"

namespace pyra {

bool Game::Paused() const { return pauseCaption != text::PauseCaption; }

void Game::TogglePause() {
  if (!Paused()) {
    SetPauseCaption(text::ResumeCaption);
    // The armed clocks stay armed; the pause holds them until the resume.
    pauseMemory.computerWasOn = comArmed;
    pauseMemory.humanWasOn = manArmed;
    ApplyClocks();
    pauseMemory.savedMessage = ports.screen.MessageVisible() ? lastMessage : "";
    ShowMessage(text::PauseNotice);
    SetMenuVisible(MenuItem::NewGame, false);
    SetMenuVisible(MenuItem::ExitGame, false);
    SetMenuVisible(MenuItem::Jimi, false);
  } else {
    SetPauseCaption(text::PauseCaption);
    // The clocks armed now run again. They are the ones that ran at the pause, unless a move
    // that was under way when the pause came has since passed the turn: then the new side's
    // clock runs, never the old one beside it.
    pauseMemory.computerWasOn = pauseMemory.humanWasOn = false;
    ApplyClocks();
    if (!pauseMemory.savedMessage.empty()) {
      ShowMessage(pauseMemory.savedMessage);
    } else {
      ports.screen.HideMessage();
    }
    SetMenuVisible(MenuItem::NewGame, true);
    SetMenuVisible(MenuItem::ExitGame, true);
    SetMenuVisible(MenuItem::Jimi, true);
  }
}

}  // namespace pyra
