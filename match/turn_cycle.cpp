// Starting games and passing the move; the start-up demo, in which the computer plays both
// sides until a real game starts.
#include "ai/computer_player.h"
#include "match/game.h"
#include "match/messages.h"
#include "rules/board.h"
#include "rules/piece_supply.h"

namespace pyra {

void Game::StartGame() {
  if (newGameGuard_ || closing_) return;
  newGameGuard_ = true;
  EndDemo();
  if (Paused()) TogglePause();
  ports_.screen.HideMessage();
  RestoreCaption();
  if (!BeginGame()) return;
  AdvanceQueue();
  if (state_.gamesPlayed == 0) {
    const SeriesFormat format = settings_.Series();
    if (format != SeriesFormat::Unlimited()) {
      Ask(SeriesFormatName(format) + text::AnnouncementEnd + text::GoodLuck, ProductName,
          MsgButtons::Ok, MsgIcon::None);
    }
  }
}

bool Game::BeginGame() {
  // The game being replaced has no side to move any more, and no clock of its own.
  state_.turn = TurnNone;
  ArmComputerClock(false);
  ArmHumanClock(false);
  const unsigned generation = ++setupGeneration_;
  if (!ports_.screen.ProcessPendingEvents() || closing_) return false;
  if (generation != setupGeneration_) return false;
  DealOpening();
  SetCaptions(state_.turn);
  StopHumanClock();
  ArmClocks();
  return true;
}

void Game::DealOpening() {
  FitBoardToWindow();
  RevealBoard(true);
  state_.score = {0, 0};
  ShowScore(SideA);
  ShowScore(SideB);
  // A opens the first game of a series, B the second, and so on.
  state_.turn = static_cast<int16_t>(state_.gamesPlayed % 2);
}

void Game::HandOverTurn() {
  if (closing_) return;
  ArmComputerClock(false);
  ArmHumanClock(false);
  if (state_.turn == SideA || state_.turn == SideB) {
    state_.turn = static_cast<int16_t>(1 - state_.turn);
    SetCaptions(state_.turn);
  }
  ArmClocks();
  AdjustThinkLimit(state_, ai_, settings_);
}

void Game::StartDemoGame() {
  const unsigned generation = ++setupGeneration_;
  if (!ports_.screen.ProcessPendingEvents() || closing_) return;
  // A key may have ended the demo while window events ran.
  if (!state_.demoMode || generation != setupGeneration_) return;
  DealOpening();  // the score boxes keep their captions in the demo
  StopHumanClock();
  ArmComputerClock(true);
}

void Game::EndDemo() {
  if (!state_.demoMode) return;
  state_.wins = {0, 0};
  state_.seriesPoints = {0, 0};
  state_.score = {0, 0};
  ai_.leadStreakA = 0;
  ai_.leadStreakB = 0;
  state_.gamesPlayed = 0;
  ai_.thinkLimit = ThinkLimitAfterDemo(settings_);
  ArmComputerClock(false);
  ArmHumanClock(false);
  state_.demoMode = false;
  ports_.computerClock.SetInterval(500);
}

void Game::FitBoardToWindow() {
  if (!ports_.screen.WindowIsNormal()) return;
  ports_.screen.ClearBoard();
  const BoardSize size = FitBoardSize(ports_.screen.ClientWidth(), ports_.screen.ClientHeight());
  state_.boardCols = size.cols;
  state_.boardRows = size.rows;
  ports_.screen.SetClientSize(size.cols * CellPixels, size.rows * CellPixels);
  if (settings_.On(Switch::StretchBackground)) ports_.screen.PrepareBackground();
}

void Game::RevealBoard(bool dealNew) {
  const int cells = state_.CellCount();
  std::array<bool, BoardCapacity> marks{};
  for (int i = 0; i < cells; ++i) marks[i] = true;
  if (dealNew) NewBoard(state_, rng_);
  ports_.screen.BeginReveal(cells);
  // Random order, one cell at a time: draws that hit a painted cell are drawn again.
  for (int painted = 0; painted < cells;) {
    const int r = rng_.Below(cells);
    if (!marks[r]) continue;
    ports_.screen.PaintCell(CellColumn(state_, r), CellRow(state_, r), 0);
    marks[r] = false;
    ++painted;
  }
  ports_.screen.EndReveal();
  if (!state_.demoMode && !pauseVisible_) SetMenuVisible(MenuItem::Pause, true);
}

}  // namespace pyra
