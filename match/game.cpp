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

void Game::ShowScore(int side) { ports.screen.ShowScore(side, state.score[side]); }

void Game::DrawNextPieces() { ports.screen.DrawNextPieces(state.pieceQueue); }

void Game::RestoreCaption() {
  if (ports.screen.Caption() != ProductName) ports.screen.SetCaption(ProductName);
}

// --- Messages and captions ---------------------------------------------------------------

void Game::ShowMessage(const std::string& message) {
  lastMessage = message;
  ports.screen.ShowMessage(message);
}

std::string Game::ScoreCaption(int side, const std::string& name, bool toMove) const {
  std::string caption = toMove ? ">" : " ";
  caption += side == SideA ? "A" : "B";
  if (!name.empty() && !state.demoMode) caption += " - " + name;
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

}  // namespace pyra
