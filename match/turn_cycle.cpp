// Starting games and passing the move.
#include "ai/computer_player.h"
#include "match/game.h"
#include "match/messages.h"
#include "rules/board.h"
#include "rules/piece_supply.h"

namespace pyra {

void Game::StartGame() {
  if (newGameGuard || closing) return;
  newGameGuard = true;
  EndDemo();
  if (Paused()) TogglePause();
  ports.screen.HideMessage();
  RestoreCaption();
  if (!BeginGame()) return;
  AdvanceQueue();
  if (state.gamesPlayed == 0) {
    const int format = options.SelectedSeriesFormat();
    if (format != 10) {
      Ask(std::string(text::SeriesFormatNames[format]) + text::AnnouncementEnd + text::GoodLuck,
          ProductName, MsgButtons::Ok, MsgIcon::None);
    }
  }
}

bool Game::BeginGame() {
  // The game being replaced has no side to move any more, and no clock of its own.
  state.turn = TurnNone;
  SetCom(false);
  SetMan(false);
  const unsigned generation = ++setupGeneration;
  if (!ports.screen.ProcessPendingEvents() || closing) return false;
  if (generation != setupGeneration) return false;
  DealOpening();
  SetCaptions(state.turn);
  StopHumanClock();
  ArmClocks();
  return true;
}

void Game::DealOpening() {
  FitBoardToWindow();
  RevealBoard(true);
  state.score = {0, 0};
  ShowScore(SideA);
  ShowScore(SideB);
  // A opens the first game of a series, B the second, and so on.
  state.turn = static_cast<int16_t>(state.gamesPlayed % 2);
}

void Game::HandOverTurn() {
  if (closing) return;
  SetCom(false);
  SetMan(false);
  if (state.turn == SideA || state.turn == SideB) {
    state.turn = static_cast<int16_t>(1 - state.turn);
    SetCaptions(state.turn);
  }
  ArmClocks();
  AdjustThinkLimit(state, ai, options);
}

void Game::EndDemo() {
  if (!state.demoMode) return;
  state.wins = {0, 0};
  state.seriesPoints = {0, 0};
  state.score = {0, 0};
  ai.leadStreakA = 0;
  ai.leadStreakB = 0;
  state.gamesPlayed = 0;
  ai.thinkLimit = ThinkLimitAfterDemo(options);
  SetCom(false);
  SetMan(false);
  state.demoMode = false;
  ports.comtimer.SetInterval(500);
}

void Game::FitBoardToWindow() {
  if (!ports.screen.WindowIsNormal()) return;
  ports.screen.ClearBoard();
  const BoardSize size = FitBoardSize(ports.screen.ClientWidth(), ports.screen.ClientHeight());
  state.boardCols = size.cols;
  state.boardRows = size.rows;
  ports.screen.SetClientSize(size.cols * CellPixels, size.rows * CellPixels);
  if (options.Check1[0] == Checked) ports.screen.PrepareBackground();
}

void Game::RevealBoard(bool dealNew) {
  const int cells = state.CellCount();
  std::array<bool, BoardCapacity> marks{};
  for (int i = 0; i < cells; ++i) marks[i] = true;
  if (dealNew) NewBoard(state, rng);
  ports.screen.BeginReveal(cells);
  // Random order, one cell at a time: draws that hit a painted cell are drawn again.
  for (int painted = 0; painted < cells;) {
    const int r = rng.Below(cells);
    if (!marks[r]) continue;
    ports.screen.PaintCell(CellColumn(state, r), CellRow(state, r), 0);
    marks[r] = false;
    ++painted;
  }
  ports.screen.EndReveal();
  if (!state.demoMode && !pauseVisible) SetMenuVisible(MenuItem::Pause, true);
}

}  // namespace pyra
