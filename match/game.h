// The game as one object: the state of the run, the turn cycle, the series, the clocks,
// pause, keys and demo. Every input of the windows enters through a handler here.
#pragma once

#include <cstdint>
#include <string>

#include "ai/computer_player.h"
#include "match/ports.h"
#include "rules/game_state.h"
#include "rules/placement.h"
#include "rules/random.h"
#include "settings/game_settings.h"
#include "settings/product.h"

namespace pyra {

enum class MouseButton { Left, Right, Middle };
constexpr int KeySpace = 32;
constexpr int KeyEscape = 27;
constexpr int KeyReturn = 13;
enum class Arrow { Left, Up, Right, Down };

struct Ports {
  Screen& screen;
  Dialogs& dialogs;
  Clock& computerClock;
  Clock& humanClock;
  Sound& sound;
  Records& records;
  Shell& shell;
};

// What a pause remembers so that resuming restores it exactly.
struct PauseMemory {
  bool computerWasOn = false;
  bool humanWasOn = false;
  std::string savedMessage;
};

// What minimising the main window put aside.
struct MinimiseMemory {
  bool companionsHidden = false;
  bool humanWasOn = false;
  bool messageWasVisible = false;
  bool computerWasOn = false;
  bool captionSaved = false;
  std::string savedCaption;
};

// The name of a series format, "" for the unlimited one.
std::string SeriesFormatName(SeriesFormat format);

class Game : public PlacementHost {
 public:
  Game(GameState& state, AiState& ai, const GameSettings& settings, Random& rng, Ports ports);

  // --- Inputs from the windows ---------------------------------------------------------
  // Start-up; false when the start was refused (another copy runs, or no bit-block
  // transfer), after the refusal has been shown and the program told to end.
  bool Start(bool anotherInstanceRuns, bool canBitBlt);
  // The end of the run: saves, clears the windows, closes the music and ends the program.
  void ShutDown();
  void OnMouseRelease(MouseButton button, int x, int y);  // client pixels
  // A key's release: KeySpace, KeyEscape, KeyReturn, or another key's code.
  void OnKey(int keyCode);
  // An arrow key's press (and each of its repeats): moves the keyboard's focus cell while a
  // person is to move; it stops at the board's edges.
  void OnArrow(Arrow arrow);
  void OnNewGame();
  void OnPause();
  void OnRanking();
  void OnExit();
  void OnSettings();
  void OnAbout();
  void OnHelp();
  void OnComputerClock();
  void OnHumanClock();
  void OnFocusLost();
  void OnFocusBack();
  void OnMinimised();
  void OnRestored();

  // --- What the settings dialog and the picture chooser ask of the game ---------------------
  // The settings dialog changed who plays, a name or the series format.
  void RestartFromSettings();
  // The music box was checked: plays the music, or says why it cannot and returns false
  // (the box is then unchecked).
  bool StartMusic();
  // The music box was unchecked.
  void StopMusic();
  bool EffectsAvailable();
  bool RasterCanStretch() override;
  // The score box of a side shows its name from the settings, marked when it is to move.
  void ShowPlayerName(int side);
  // The background made anew from the chosen picture, then the board drawn over it again.
  void PrepareBackground();
  void RepaintBoard();
  void DrawNextPieces() override;
  // A modal message box, with the move clocks suspended while it is open.
  MsgAnswer Ask(const std::string& text, const std::string& title, MsgButtons buttons,
                MsgIcon icon);
  bool InDemo() const { return state_.demoMode; }
  // Set once the program has been told to end: nothing may start after that.
  bool Closing() const { return closing_; }

  // --- What the windows and tests may read ----------------------------------------------
  bool Paused() const;
  bool NewGameGuarded() const { return newGameGuard_; }
  // The cell framed for the keyboard, while a person is to move and nothing holds the game.
  std::optional<Cell> FocusCell() const { return shownFocus_; }
  bool InMove() const { return inMove_; }
  int16_t HumanTicks() const { return humanTicks_; }
  std::string SeriesResultText() const;
  std::string DisplayName(int side) const;
  void ShowMessage(const std::string& text);
  void SuspendClocks();
  void ResumeClocks();
  // Tests seed the generator themselves.
  void SeedOnStart(bool seed) { seedOnStart_ = seed; }

 private:
  // --- Turn cycle -------------------------------------------------------------------------
  void StartGame();
  // False when the set-up did not complete: the program is ending, or a newer set-up took
  // over while window events ran.
  bool BeginGame();
  // Fits the board, deals and reveals a new position, clears the scores and sets the opener.
  void DealOpening();
  void HandOverTurn() override;
  void ArmClocks();
  void EndDemo();
  void StartDemoGame();
  void FitBoardToWindow();
  void RevealBoard(bool dealNew);

  // --- Series -----------------------------------------------------------------------------
  bool FinishGame() override;
  bool EndOfGameDialog(bool seriesOver);
  void ResetSeries();

  void TogglePause();

  // Runs a modal window with the move clocks suspended while it is open.
  template <typename Show>
  void WithClocksSuspended(Show show) {
    SuspendClocks();
    show();
    ResumeClocks();
  }

  std::string ScoreCaption(int side, const std::string& name, bool toMove) const;
  void SetCaptions(int toMove);
  void SetMenuVisible(MenuItem item, bool visible);
  void SetPauseCaption(const std::string& caption);

  // --- PlacementHost -----------------------------------------------------------------------
  void PaintCell(int16_t column, int16_t row, int16_t step) override;
  void PlayCue(Cue cue) override;
  void ShowScore(int side) override;
  void StopHumanClock() override;
  void RestoreCaption() override;

  void PlacePiece(int16_t column, int16_t row);
  // A person's move on a cell, by the mouse or the keyboard.
  void PersonPlaces(int column, int row);
  void AdvanceQueue();
  // Frames the focus cell exactly while the person's clock runs, kept on the board.
  void ShowFocusCell();
  // Runs one move; a move asked for while another is still running is dropped.
  template <typename Move>
  void RunMove(Move move) {
    if (inMove_ || closing_) return;
    inMove_ = true;
    move();
    inMove_ = false;
  }

  // A clock runs only while it is armed and nothing holds the clocks: a pause, a
  // minimised window, or a suspension (focus elsewhere, a modal window). Suspensions nest.
  void ArmComputerClock(bool armed);
  void ArmHumanClock(bool armed);
  void ApplyClocks();
  bool ClocksHeld() const;

  GameState& state_;
  AiState& ai_;
  const GameSettings& settings_;
  Random& rng_;
  Ports ports_;

  bool newGameGuard_ = false;
  bool askContinue_ = true;
  bool stopWhenDecided_ = false;
  int16_t humanTicks_ = 0;
  std::string lastMessage_;
  PauseMemory pauseMemory_;
  MinimiseMemory minimise_;
  std::string pauseCaption_;
  bool newGameVisible_ = true;
  bool exitVisible_ = true;
  bool pauseVisible_ = false;
  bool closing_ = false;
  bool startRefused_ = false;
  bool seedOnStart_ = true;

  // Where the keyboard places; the board's middle until it is first shown.
  std::optional<Cell> focusCell_;
  std::optional<Cell> shownFocus_;

  bool computerArmed_ = false;
  bool humanArmed_ = false;
  bool minimisedHold_ = false;
  int suspendDepth_ = 0;
  bool focusSuspended_ = false;
  // Guards against a second move inside a move.
  bool inMove_ = false;
  // Counts game set-ups, so that a set-up overtaken while window events ran gives way.
  unsigned setupGeneration_ = 0;
  bool unloaded_ = false;
};

}  // namespace pyra
