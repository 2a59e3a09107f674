// Start-up, shut-down, the menu commands, the mouse, and the space bar and Esc from the main
// window and every companion window.
#include "match/game.h"
#include "match/messages.h"

namespace pyra {

bool Game::Start(bool anotherInstanceRuns, bool canBitBlt) {
  askContinue_ = true;
  if (anotherInstanceRuns || !canBitBlt) {
    startRefused_ = true;
    std::string message;
    if (anotherInstanceRuns) message += std::string(ProductName) + text::AlreadyRunning + "\n";
    if (!canBitBlt) message += std::string(text::NoBitBlt) + "\n";
    ports_.dialogs.MessageBox(message, ProductName, MsgButtons::Ok, MsgIcon::Exclamation);
    ShutDown();
    return false;
  }
  ports_.screen.SetCaption(ProductName);
  ports_.shell.LoadSettings();
  state_.turn = TurnNone;
  ports_.shell.ShowMainWindow();
  ports_.shell.OpenMusic();
  if (seedOnStart_) rng_.SeedFromClock();
  state_.gamesPlayed = 0;
  ai_.thinkLimit = InitialThinkLimit(settings_);
  ports_.screen.ShowCompanions();

  const bool anyHuman = settings_.IsHuman(SideA) || settings_.IsHuman(SideB);
  if (settings_.On(Switch::OpeningDemo) && anyHuman) {
    newGameGuard_ = true;
    state_.demoMode = true;
    ports_.computerClock.SetInterval(250);
    ShowMessage(text::DemoNotice);
    StartDemoGame();
    if (state_.demoMode && !closing_) AdvanceQueue();
  } else if (settings_.IsComputer(SideA) && settings_.IsComputer(SideB)) {
    if (BeginGame()) AdvanceQueue();
  } else {
    newGameGuard_ = false;
    ports_.screen.ShowTitlePicture();
  }
  return true;
}

void Game::ShutDown() {
  if (unloaded_) return;
  unloaded_ = true;
  closing_ = true;
  ApplyClocks();  // nothing runs once the program is ending
  if (!startRefused_) ports_.shell.SaveWindowPositions();
  ports_.shell.ClearWindows();
  ports_.shell.CloseMusic();
  if (!startRefused_) ports_.shell.SaveOptions();
  ports_.shell.Quit();
}

void Game::OnMouseRelease(MouseButton button, int x, int y) {
  if (state_.demoMode || closing_) return;
  newGameGuard_ = false;
  if (button != MouseButton::Left) return;
  // The cell under the pointer: the board is drawn from the client origin.
  PersonPlaces(x >= 0 ? x / CellPixels : -1, y >= 0 ? y / CellPixels : -1);
}

void Game::PersonPlaces(int column, int row) {
  if (state_.turn == TurnNone || Paused()) return;
  if (!settings_.IsHuman(state_.turn)) return;
  // Positions beyond 16 bits cannot be cells; anything else off the board PlacePiece refuses.
  if (column > INT16_MAX || row > INT16_MAX) return;
  PlacePiece(static_cast<int16_t>(column), static_cast<int16_t>(row));
}

void Game::OnKey(int keyCode) {
  if (closing_ || Paused()) return;
  if (keyCode == KeyEscape) {
    if (exitVisible_) OnExit();
  } else if (keyCode == KeySpace) {
    if (newGameVisible_) OnNewGame();
  } else if (keyCode == KeyReturn && shownFocus_) {
    // As a left-button release on the focus cell.
    newGameGuard_ = false;
    PersonPlaces(shownFocus_->column, shownFocus_->row);
  }
}

void Game::OnArrow(Arrow arrow) {
  if (closing_ || !shownFocus_) return;
  Cell cell = *shownFocus_;
  const int16_t lastColumn = state_.boardCols - 1, lastRow = state_.boardRows - 1;
  if (arrow == Arrow::Left && cell.column > 0) --cell.column;
  if (arrow == Arrow::Right && cell.column < lastColumn) ++cell.column;
  if (arrow == Arrow::Up && cell.row > 0) --cell.row;
  if (arrow == Arrow::Down && cell.row < lastRow) ++cell.row;
  focusCell_ = cell;
  ShowFocusCell();
}

void Game::OnNewGame() {
  if (closing_) return;
  if (settings_.series != SeriesFormat::Unlimited()) ResetSeries();
  StartGame();
}

void Game::OnPause() {
  if (closing_ || !pauseVisible_) return;
  TogglePause();
}

void Game::OnRanking() {
  if (closing_) return;
  WithClocksSuspended([&] { ports_.records.ShowRanking(); });
}

void Game::OnExit() {
  if (closing_) return;
  EndDemo();
  ports_.shell.CloseHelp();
  ShutDown();
}

void Game::OnSettings() {
  if (closing_) return;
  WithClocksSuspended([&] { ports_.shell.ShowSettingsDialog(); });
}

void Game::OnAbout() {
  if (closing_) return;
  WithClocksSuspended([&] { ports_.shell.ShowAboutBox(); });
}

void Game::OnHelp() {
  if (closing_) return;
  ports_.shell.ShowHelpIndex();
}

bool Game::StartMusic() {
  if (ports_.sound.PlayMusic()) return true;
  Ask(text::CannotPlayMusic, ProductName, MsgButtons::Ok, MsgIcon::None);
  return false;
}

void Game::StopMusic() { ports_.sound.StopMusic(); }

void Game::RestartFromSettings() {
  if (closing_) return;
  ResetSeries();
  StartGame();
}

}  // namespace pyra
