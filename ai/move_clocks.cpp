// The computer's move timer and the person's eight-second move clock: their ticks, which
// clock runs for whom, and when a clock that is armed really runs.
#include "match/game.h"
#include "match/messages.h"

namespace pyra {

void Game::comtimer_Timer() {
  if (closing || !ports.comtimer.Enabled()) return;
  newGameGuard = false;
  SetCom(false);  // one arming, one move
  RunMove([&] { ComputerMove(state, ai, rng, *this); });
}

void Game::mantimer_Timer() {
  if (closing || !ports.mantimer.Enabled()) return;
  newGameGuard = false;
  int t = humanTicks;
  if (t >= 4 && t <= 6) {
    ports.screen.SetCaption(text::CountdownBefore + std::to_string(7 - t) + text::CountdownAfter);
  } else if (t >= 7) {
    humanTicks = 0;
    ports.screen.SetCaption(ProductName);
    RunMove([&] { TimeoutMove(state, ai, rng, *this); });
    t = humanTicks;
  }
  humanTicks = static_cast<int16_t>(t + 1);
}

void Game::StopHumanClock() {
  SetMan(false);
  humanTicks = 0;
}

void Game::ArmClocks() {
  // Only the clock of the side to move may run; one left over from before never does.
  bool com = false;
  bool man = false;
  if (!closing) {
    if (state.demoMode) {
      com = true;
    } else if (state.turn == SideA || state.turn == SideB) {
      com = options.IsComputer(state.turn);
      man = options.IsHuman(state.turn);
    }
  }
  comArmed = com;
  manArmed = man;
  ApplyClocks();
}

void Game::ApplyClocks() {
  const bool held = ClocksHeld() || closing;
  const bool com = comArmed && !held;
  const bool man = manArmed && !held;
  if (ports.comtimer.Enabled() != com) ports.comtimer.SetEnabled(com);
  if (ports.mantimer.Enabled() != man) ports.mantimer.SetEnabled(man);
}

void Game::SetCom(bool armed) {
  comArmed = armed;
  ApplyClocks();
}

void Game::SetMan(bool armed) {
  manArmed = armed;
  ApplyClocks();
}

}  // namespace pyra
