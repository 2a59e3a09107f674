// Start-up, shut-down, the menu commands and the mouse.
#include "match/game.h"
#include "match/messages.h"

namespace pyra {

bool Game::Form_Load(bool anotherInstanceRuns, bool canBitBlt) {
  askContinue = true;
  if (anotherInstanceRuns || !canBitBlt) {
    startRefused = true;
    std::string message;
    if (anotherInstanceRuns) message += std::string(ProductName) + text::AlreadyRunning + "\n";
    if (!canBitBlt) message += std::string(text::NoBitBlt) + "\n";
    ports.dialogs.MessageBox(message, ProductName, MsgButtons::Ok, MsgIcon::Exclamation);
    Unload();
    return false;
  }
  ports.screen.SetCaption(ProductName);
  ports.shell.LoadSettings();
  state.turn = TurnNone;
  ports.shell.ShowMainWindow();
  ports.shell.OpenMusic();
  if (seedOnLoad) rng.SeedFromClock();
  state.gamesPlayed = 0;
  ai.thinkLimit = InitialThinkLimit(options);
  ports.screen.ShowCompanions();

  const bool anyHuman = options.IsHuman(SideA) || options.IsHuman(SideB);
  if (options.Check1[3] == Checked && anyHuman) {
    newGameGuard = true;
    state.demoMode = true;
    ports.comtimer.SetInterval(250);
    ShowMessage(text::DemoNotice);
    StartDemoGame();
    if (state.demoMode && !closing) AdvanceQueue();
  } else if (options.IsComputer(SideA) && options.IsComputer(SideB)) {
    if (BeginGame()) AdvanceQueue();
  } else {
    newGameGuard = false;
    ports.screen.ShowTitlePicture();
  }
  return true;
}

void Game::Unload() { Form_Unload(); }

void Game::Form_Unload() {
  if (unloaded) return;
  unloaded = true;
  closing = true;
  ApplyClocks();  // nothing runs once the program is ending
  if (!startRefused) ports.shell.SaveWindowPositions();
  ports.shell.ClearWindows();
  ports.shell.CloseMusic();
  if (!startRefused) ports.shell.SaveOptions();
  ports.shell.Quit();
}

void Game::Form_MouseUp(MouseButton button, int x, int y) {
  if (state.demoMode || closing) return;
  newGameGuard = false;
  if (button != MouseButton::Left || state.turn == TurnNone) return;
  if (Paused()) return;
  // The cell under the pointer: the board is drawn from the client origin.
  const int column = x >= 0 ? x / CellPixels : -1;
  const int row = y >= 0 ? y / CellPixels : -1;
  if (state.turn == SideA && !options.Option1[0]) return;
  if (state.turn == SideB && !options.Option1[2]) return;
  // Positions beyond 16 bits cannot be cells; anything else off the board PlacePiece refuses.
  if (column > INT16_MAX || row > INT16_MAX) return;
  PlacePiece(static_cast<int16_t>(column), static_cast<int16_t>(row));
}

void Game::NewGame_Click() {
  if (closing) return;
  if (!options.Option2[10]) ResetSeries();
  StartGame();
}

void Game::pause_Click() {
  if (closing || !pauseVisible) return;
  TogglePause();
}

void Game::hiscore_Click() {
  if (closing) return;
  WithClocksSuspended([&] { ports.records.ShowRanking(); });
}

void Game::ExitGame_Click() {
  if (closing) return;
  EndDemo();
  ports.shell.CloseHelp();
  Unload();
}

void Game::gameset_Click() {
  if (closing) return;
  WithClocksSuspended([&] { ports.shell.ShowOptionsDialog(); });
}

void Game::about_Click() {
  if (closing) return;
  WithClocksSuspended([&] { ports.shell.ShowAboutBox(); });
}

void Game::index_Click() {
  if (closing) return;
  ports.shell.ShowHelpIndex();
}

bool Game::StartMusic() {
  if (ports.sound.PlayMusic()) return true;
  Ask(text::CannotPlayMusic, ProductName, MsgButtons::Ok, MsgIcon::None);
  return false;
}

void Game::StopMusic() { ports.sound.StopMusic(); }

void Game::RestartFromSettings() {
  if (closing) return;
  ResetSeries();
  StartGame();
}

}  // namespace pyra
