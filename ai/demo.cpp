// The start-up demo: the computer plays both sides until a real game starts.
#include "match/game.h"

namespace pyra {

void Game::StartDemoGame() {
  const unsigned generation = ++setupGeneration;
  if (!ports.screen.ProcessPendingEvents() || closing) return;
  // A key may have ended the demo while window events ran.
  if (!state.DemoMode || generation != setupGeneration) return;
  FitBoardToWindow();
  RevealBoard(true);
  state.Score = {0, 0};
  ShowScore(SideA);
  ShowScore(SideB);
  state.Turn = static_cast<int16_t>(state.GamesPlayed % 2);
  StopHumanClock();
  SetCom(true);
}

}  // namespace pyra
