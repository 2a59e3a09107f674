// Pausing and resuming a running game.
#include "match/game.h"
#include "match/messages.h"

namespace pyra {

bool Game::Paused() const { return pauseCaption_ != text::PauseCaption; }

void Game::TogglePause() {
  if (!Paused()) {
    SetPauseCaption(text::ResumeCaption);
    // The armed clocks stay armed; the pause holds them until the resume.
    pauseMemory_.computerWasOn = computerArmed_;
    pauseMemory_.humanWasOn = humanArmed_;
    ApplyClocks();
    pauseMemory_.savedMessage = ports_.screen.MessageVisible() ? lastMessage_ : "";
    ShowMessage(text::PauseNotice);
    SetMenuVisible(MenuItem::NewGame, false);
    SetMenuVisible(MenuItem::Exit, false);
    SetMenuVisible(MenuItem::Separator, false);
  } else {
    SetPauseCaption(text::PauseCaption);
    // The clocks armed now run again. They are the ones that ran at the pause, unless a move
    // that was under way when the pause came has since passed the turn: then the new side's
    // clock runs, never the old one beside it.
    pauseMemory_.computerWasOn = pauseMemory_.humanWasOn = false;
    ApplyClocks();
    if (!pauseMemory_.savedMessage.empty()) {
      ShowMessage(pauseMemory_.savedMessage);
    } else {
      ports_.screen.HideMessage();
    }
    SetMenuVisible(MenuItem::NewGame, true);
    SetMenuVisible(MenuItem::Exit, true);
    SetMenuVisible(MenuItem::Separator, true);
  }
}

}  // namespace pyra
