#include "match/game.h"

#include "match/messages.h"
#include "rules/piece_supply.h"

namespace pyra {

Game::Game(GameState& state_, GameOptions& options_, Random& rng_, Ports ports_)
    : state(state_),
      options(options_),
      rng(rng_),
      ports(ports_),
      pauseCaption(text::PauseCaption) {}

void Game::PlacePiece(int16_t column, int16_t row) {
  RunMove([&] { pyra::PlacePiece(state, rng, *this, column, row); });
}

void Game::AdvanceQueue() {
  pyra::AdvanceQueue(state, rng);
  DrawNextPieces();
}

// --- PlacementHost ---------------------------------------------------------------------

void Game::PaintCell(int16_t column, int16_t row, int16_t step) {
  ports.screen.PaintCell(column, row, step);
}

bool Game::RasterCanStretch() { return ports.screen.RasterCanStretch(); }

void Game::PlayCue(Cue cue) {
  if (options.Check1[1] == Checked) ports.sound.PlayCue(cue);
}

void Game::ShowScore(int side) { ports.screen.ShowScore(side, state.Score[side]); }

void Game::StopHumanClock() {
  SetMan(false);
  ManTicks = 0;
}

void Game::DrawNextPieces() { ports.screen.DrawNextPieces(state.PieceQueue); }

void Game::RestoreCaption() {
  if (ports.screen.Caption() != ProductName) ports.screen.SetCaption(ProductName);
}

// --- Messages and captions ---------------------------------------------------------------

void Game::ShowMessage(const std::string& message) {
  LastMessage = message;
  ports.screen.ShowMessage(message);
}

std::string Game::ScoreCaption(int side, const std::string& name, bool toMove) const {
  std::string caption = toMove ? ">" : " ";
  caption += side == SideA ? "A" : "B";
  if (!name.empty() && !state.DemoMode) caption += " - " + name;
  return caption;
}

void Game::SetCaptions(int toMove) {
  for (int side : {SideA, SideB}) {
    ports.screen.SetScoreCaption(side,
                                 ScoreCaption(side, options.Combo1[side].text, side == toMove));
  }
}

void Game::SetMenuVisible(MenuItem item, bool visible) {
  switch (item) {
    case MenuItem::NewGame:
      newGameVisible = visible;
      break;
    case MenuItem::ExitGame:
      exitGameVisible = visible;
      break;
    case MenuItem::Pause:
      pauseVisible = visible;
      break;
    default:
      break;
  }
  ports.screen.SetMenuVisible(item, visible);
}

void Game::SetPauseCaption(const std::string& caption) {
  pauseCaption = caption;
  ports.screen.SetMenuCaption(MenuItem::Pause, caption);
}

// --- Clocks ------------------------------------------------------------------------------

bool Game::ClocksHeld() const { return Paused() || minimisedHold || suspendDepth > 0; }

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

void Game::SuspendClocks() {
  ++suspendDepth;
  ApplyClocks();
}

void Game::ResumeClocks() {
  if (suspendDepth > 0) --suspendDepth;
  ApplyClocks();
}

void Game::Form_LostFocus() {
  if (focusSuspended) return;
  focusSuspended = true;
  SuspendClocks();
}

void Game::Form_GotFocus() {
  if (!focusSuspended) return;
  focusSuspended = false;
  ResumeClocks();
}

MsgAnswer Game::Ask(const std::string& message, const std::string& title, MsgButtons buttons,
                    MsgIcon icon) {
  MsgAnswer answer = MsgAnswer::Ok;
  WithClocksSuspended([&] { answer = ports.dialogs.MessageBox(message, title, buttons, icon); });
  return answer;
}

void Game::Form_Minimised() {
  if (minimisedHold) return;  // already put aside; a second call must not lose it
  ports.screen.HideCompanions();
  minimise.companionsHidden = true;
  minimise.manWasOn = manArmed;
  minimise.comWasOn = comArmed;
  minimisedHold = true;
  ApplyClocks();
  minimise.messageWasVisible = ports.screen.MessageVisible();
  if (minimise.messageWasVisible) ports.screen.HideMessage();
  const std::string caption = ports.screen.Caption();
  minimise.captionSaved = caption != ProductName;
  if (minimise.captionSaved) {
    minimise.savedCaption = caption;
    ports.screen.SetCaption(ProductName);
  }
}

void Game::Form_Restored() {
  if (minimise.companionsHidden) {
    ports.screen.ShowCompanions();
    minimise.companionsHidden = false;
  }
  minimisedHold = false;
  minimise.manWasOn = minimise.comWasOn = false;
  ApplyClocks();
  if (minimise.messageWasVisible) {
    ports.screen.ShowMessageWindow();
    minimise.messageWasVisible = false;
  }
  if (minimise.captionSaved) {
    ports.screen.SetCaption(minimise.savedCaption);
    minimise.captionSaved = false;
  }
  ports.screen.PrepareBackground();
}

}  // namespace pyra
