// The computer's move timer and the person's eight-second move clock: their ticks, which
// clock runs for whom, when an armed clock really runs, and what holds the clocks for a
// while (a modal window, the focus elsewhere, a minimised main window) with what minimising
// puts aside until the window is restored.
#include <algorithm>

#include "match/game.h"
#include "match/messages.h"

namespace pyra {

void Game::OnComputerClock() {
  if (closing_ || !ports_.computerClock.Enabled()) return;
  newGameGuard_ = false;
  ArmComputerClock(false);  // one arming, one move
  RunMove([&] { ComputerMove(state_, ai_, rng_, *this); });
}

void Game::OnHumanClock() {
  if (closing_ || !ports_.humanClock.Enabled()) return;
  newGameGuard_ = false;
  int t = humanTicks_;
  if (t >= 4 && t <= 6) {
    ports_.screen.SetCaption(text::CountdownBefore + std::to_string(7 - t) + text::CountdownAfter);
  } else if (t >= 7) {
    humanTicks_ = 0;
    ports_.screen.SetCaption(ProductName);
    RunMove([&] { TimeoutMove(state_, ai_, rng_, *this); });
    t = humanTicks_;
  }
  humanTicks_ = static_cast<int16_t>(t + 1);
}

void Game::StopHumanClock() {
  ArmHumanClock(false);
  humanTicks_ = 0;
}

void Game::ArmClocks() {
  // Only the clock of the side to move may run; one left over from before never does.
  bool com = false;
  bool man = false;
  if (!closing_) {
    if (state_.demoMode) {
      com = true;
    } else if (state_.turn == SideA || state_.turn == SideB) {
      com = settings_.IsComputer(state_.turn);
      man = settings_.IsHuman(state_.turn);
    }
  }
  computerArmed_ = com;
  humanArmed_ = man;
  ApplyClocks();
}

void Game::ApplyClocks() {
  const bool held = ClocksHeld() || closing_;
  const bool com = computerArmed_ && !held;
  const bool man = humanArmed_ && !held;
  if (ports_.computerClock.Enabled() != com) ports_.computerClock.SetEnabled(com);
  if (ports_.humanClock.Enabled() != man) ports_.humanClock.SetEnabled(man);
  ShowFocusCell();
}

void Game::ShowFocusCell() {
  // A person is to move and nothing holds the game: not the demo, a computer's move, a pause,
  // the end of the game, a modal window or the focus elsewhere.
  std::optional<Cell> shown;
  if (ports_.humanClock.Enabled() && state_.boardCols > 0 && state_.boardRows > 0) {
    Cell cell =
        focusCell_.value_or(Cell{int16_t(state_.boardCols / 2), int16_t(state_.boardRows / 2)});
    cell.column = std::min<int16_t>(cell.column, state_.boardCols - 1);
    cell.row = std::min<int16_t>(cell.row, state_.boardRows - 1);
    focusCell_ = shown = cell;
  }
  if (shown == shownFocus_) return;
  shownFocus_ = shown;
  ports_.screen.SetFocusCell(shown);
}

void Game::ArmComputerClock(bool armed) {
  computerArmed_ = armed;
  ApplyClocks();
}

void Game::ArmHumanClock(bool armed) {
  humanArmed_ = armed;
  ApplyClocks();
}

bool Game::ClocksHeld() const { return Paused() || minimisedHold_ || suspendDepth_ > 0; }

void Game::SuspendClocks() {
  ++suspendDepth_;
  ApplyClocks();
}

void Game::ResumeClocks() {
  if (suspendDepth_ > 0) --suspendDepth_;
  ApplyClocks();
}

void Game::OnFocusLost() {
  if (focusSuspended_) return;
  focusSuspended_ = true;
  SuspendClocks();
}

void Game::OnFocusBack() {
  if (!focusSuspended_) return;
  focusSuspended_ = false;
  ResumeClocks();
}

MsgAnswer Game::Ask(const std::string& message, const std::string& title, MsgButtons buttons,
                    MsgIcon icon) {
  MsgAnswer answer = MsgAnswer::Ok;
  WithClocksSuspended([&] { answer = ports_.dialogs.MessageBox(message, title, buttons, icon); });
  return answer;
}

void Game::OnMinimised() {
  if (minimisedHold_) return;  // already put aside; a second call must not lose it
  ports_.screen.HideCompanions();
  minimise_.companionsHidden = true;
  minimise_.humanWasOn = humanArmed_;
  minimise_.computerWasOn = computerArmed_;
  minimisedHold_ = true;
  ApplyClocks();
  minimise_.messageWasVisible = ports_.screen.MessageVisible();
  if (minimise_.messageWasVisible) ports_.screen.HideMessage();
  const std::string caption = ports_.screen.Caption();
  minimise_.captionSaved = caption != ProductName;
  if (minimise_.captionSaved) {
    minimise_.savedCaption = caption;
    ports_.screen.SetCaption(ProductName);
  }
}

void Game::OnRestored() {
  if (minimise_.companionsHidden) {
    ports_.screen.ShowCompanions();
    minimise_.companionsHidden = false;
  }
  minimisedHold_ = false;
  minimise_.humanWasOn = minimise_.computerWasOn = false;
  ApplyClocks();
  if (minimise_.messageWasVisible) {
    ports_.screen.ShowMessageWindow();
    minimise_.messageWasVisible = false;
  }
  if (minimise_.captionSaved) {
    ports_.screen.SetCaption(minimise_.savedCaption);
    minimise_.captionSaved = false;
  }
  ports_.screen.PrepareBackground();
}

}  // namespace pyra
