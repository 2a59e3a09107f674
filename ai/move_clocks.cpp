// The computer's move timer and the person's eight-second move clock.
#include "match/game.h"
#include "match/messages.h"

namespace pyra {

void Game::comtimer_Timer() {
  if (closing || !ports.comtimer.Enabled()) return;
  NewGameGuard = false;
  SetCom(false);  // one arming, one move
  RunMove([&] { ComputerMove(state, ai, rng, *this); });
}

void Game::mantimer_Timer() {
  if (closing || !ports.mantimer.Enabled()) return;
  NewGameGuard = false;
  int t = ManTicks;
  if (t >= 4 && t <= 6) {
    ports.screen.SetCaption(text::CountdownBefore + std::to_string(7 - t) + text::CountdownAfter);
  } else if (t >= 7) {
    ManTicks = 0;
    ports.screen.SetCaption(ProductName);
    RunMove([&] { TimeoutMove(state, ai, rng, *this); });
    t = ManTicks;
  }
  ManTicks = static_cast<int16_t>(t + 1);
}

}  // namespace pyra
