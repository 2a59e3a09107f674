#include "match/game.h"

#include "match/messages.h"
#include "rules/piece_supply.h"

namespace pyra {

Game::Game(GameState& state, AiState& ai, const GameSettings& settings, Random& rng, Ports ports)
    : state_(state),
      ai_(ai),
      settings_(settings),
      rng_(rng),
      ports_(ports),
      pauseCaption_(text::PauseCaption) {}

void Game::PlacePiece(int16_t column, int16_t row) {
  RunMove([&] { pyra::PlacePiece(state_, rng_, *this, column, row); });
}

void Game::AdvanceQueue() {
  pyra::AdvanceQueue(state_, rng_);
  DrawNextPieces();
}

// --- PlacementHost ---------------------------------------------------------------------

void Game::PaintCell(int16_t column, int16_t row, int16_t step) {
  ports_.screen.PaintCell(column, row, step);
}

bool Game::RasterCanStretch() { return ports_.screen.RasterCanStretch(); }

bool Game::EffectsAvailable() { return ports_.sound.SoundAvailable(); }

void Game::PrepareBackground() { ports_.screen.PrepareBackground(); }

void Game::RepaintBoard() { RevealBoard(false); }

void Game::ShowPlayerName(int side) {
  // A is marked as the side to move unless B is.
  const bool toMove = side == SideA ? state_.turn != SideB : state_.turn == SideB;
  ports_.screen.SetScoreCaption(side, ScoreCaption(side, settings_.names[side].text, toMove));
}

void Game::PlayCue(Cue cue) {
  if (settings_.On(Switch::SoundEffects)) ports_.sound.PlayCue(cue);
}

void Game::ShowScore(int side) { ports_.screen.ShowScore(side, state_.score[side]); }

void Game::DrawNextPieces() { ports_.screen.DrawNextPieces(state_.pieceQueue); }

void Game::RestoreCaption() {
  if (ports_.screen.Caption() != ProductName) ports_.screen.SetCaption(ProductName);
}

// --- Messages and captions ---------------------------------------------------------------

void Game::ShowMessage(const std::string& message) {
  lastMessage_ = message;
  ports_.screen.ShowMessage(message);
}

std::string Game::ScoreCaption(int side, const std::string& name, bool toMove) const {
  std::string caption = toMove ? ">" : " ";
  caption += side == SideA ? "A" : "B";
  if (!name.empty() && !state_.demoMode) caption += " - " + name;
  return caption;
}

void Game::SetCaptions(int toMove) {
  for (int side : {SideA, SideB}) {
    ports_.screen.SetScoreCaption(side,
                                  ScoreCaption(side, settings_.names[side].text, side == toMove));
  }
}

void Game::SetMenuVisible(MenuItem item, bool visible) {
  switch (item) {
    case MenuItem::NewGame:
      newGameVisible_ = visible;
      break;
    case MenuItem::Exit:
      exitVisible_ = visible;
      break;
    case MenuItem::Pause:
      pauseVisible_ = visible;
      break;
    default:
      break;
  }
  ports_.screen.SetMenuVisible(item, visible);
}

void Game::SetPauseCaption(const std::string& caption) {
  pauseCaption_ = caption;
  ports_.screen.SetMenuCaption(MenuItem::Pause, caption);
}

}  // namespace pyra
