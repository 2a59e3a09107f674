// The space bar and Esc, from the main window and every companion window.
#include "match/game.h"

namespace pyra {

void Game::HandleKeyUp(int keyCode) {
  if (closing || Paused()) return;
  if (keyCode == KeyEscape) {
    if (exitGameVisible) ExitGame_Click();
  } else if (keyCode == KeySpace) {
    if (newGameVisible) NewGame_Click();
  }
}

}  // namespace pyra
