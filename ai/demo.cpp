// The start-up demo: the computer plays both sides until a real game starts.
#include "match/game.h"

namespace pyra {

void Game::StartDemoGame() {
  const unsigned generation = ++setupGeneration;
  if (!ports.screen.ProcessPendingEvents() || closing) return;
  // A key may have ended the demo while window events ran.
  if (!state.demoMode || generation != setupGeneration) return;
  DealOpening();  // the score boxes keep their captions in the demo
  StopHumanClock();
  SetCom(true);
}

}  // namespace pyra
