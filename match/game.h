// The game as one object: the state of the run, the turn cycle, the series, the clocks,
// pause, keys and demo. Every input of the windows enters through a handler here.
#pragma once

#include <cstdint>
#include <string>

#include "ai/computer_player.h"
#include "match/ports.h"
#include "options/game_options.h"
#include "rules/game_state.h"
#include "rules/placement.h"
#include "rules/random.h"

namespace pyra {

inline constexpr const char* ProductName = "Pyra3";

enum class MouseButton { Left, Right, Middle };
constexpr int KeySpace = 32;
constexpr int KeyEscape = 27;

struct Ports {
  Screen& screen;
  Dialogs& dialogs;
  Clock& comtimer;
  Clock& mantimer;
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
  bool manWasOn = false;
  bool messageWasVisible = false;
  bool comWasOn = false;
  bool captionSaved = false;
  std::string savedCaption;
};

// The name of a series format, "" for the unlimited one.
std::string SeriesFormatName(int format);

class Game : public PlacementHost {
 public:
  Game(GameState& state, GameOptions& options, Random& rng, Ports ports);

  // --- Inputs from the windows ---------------------------------------------------------
  // Start-up; false when the start was refused (another copy runs, or no bit-block
  // transfer), after the refusal has been shown and the program told to end.
  bool Form_Load(bool anotherInstanceRuns, bool canBitBlt);
  void Form_Unload();
  void Form_MouseUp(MouseButton button, int x, int y);  // client pixels
  void HandleKeyUp(int keyCode);
  void NewGame_Click();
  void pause_Click();
  void hiscore_Click();
  void ExitGame_Click();
  void gameset_Click();
  void about_Click();
  void index_Click();
  void comtimer_Timer();
  void mantimer_Timer();
  void Form_LostFocus();
  void Form_GotFocus();
  void Form_Minimised();
  void Form_Restored();
  // The settings dialog changed who plays, a name or the series format.
  void RestartFromSettings();
  // The music box was checked: plays the music, or says why it cannot and returns false
  // (the box is then unchecked).
  bool StartMusic();
  // The music box was unchecked.
  void StopMusic();

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
  void FitBoardToWindow();
  void RevealBoard(bool dealNew);

  // --- Series -----------------------------------------------------------------------------
  bool FinishGame() override;
  bool EndOfGameDialog(bool seriesOver);
  std::string SeriesResultText() const;
  void ResetSeries();
  std::string DisplayName(int side) const;

  // --- Pause, keyboard, demo ----------------------------------------------------------------
  void TogglePause();
  bool Paused() const;
  void StartDemoGame();

  // --- Clocks around other windows ------------------------------------------------------------
  void SuspendClocks();
  void ResumeClocks();
  // Runs a modal window with the move clocks suspended while it is open.
  template <typename Show>
  void WithClocksSuspended(Show show) {
    SuspendClocks();
    show();
    ResumeClocks();
  }
  // A modal message box, with the move clocks suspended while it is open.
  MsgAnswer Ask(const std::string& text, const std::string& title, MsgButtons buttons,
                MsgIcon icon);

  // --- Messages and captions ---------------------------------------------------------------
  void ShowMessage(const std::string& text);
  std::string ScoreCaption(int side, const std::string& name, bool toMove) const;

  // --- PlacementHost -----------------------------------------------------------------------
  void PaintCell(int16_t column, int16_t row, int16_t step) override;
  bool RasterCanStretch() override;
  void PlayCue(Cue cue) override;
  void ShowScore(int side) override;
  void StopHumanClock() override;
  void DrawNextPieces() override;
  void RestoreCaption() override;

  void PlacePiece(int16_t column, int16_t row);
  void AdvanceQueue();

  // --- State --------------------------------------------------------------------------------
  GameState& state;
  GameOptions& options;
  Random& rng;
  Ports ports;
  AiState ai;

  bool newGameGuard = false;
  bool askContinue = true;
  bool stopWhenDecided = false;
  int16_t humanTicks = 0;
  std::string lastMessage;
  PauseMemory pauseMemory;
  MinimiseMemory minimise;
  std::string pauseCaption;
  bool newGameVisible = true;
  bool exitGameVisible = true;
  bool pauseVisible = false;

  // Set once the program has been told to end: nothing may start after that.
  bool closing = false;
  bool startRefused = false;
  // Tests seed the generator themselves.
  bool seedOnLoad = true;

  bool ComArmed() const { return comArmed; }
  bool ManArmed() const { return manArmed; }
  bool InMove() const { return inMove; }

 private:
  void SetCaptions(int toMove);
  void SetMenuVisible(MenuItem item, bool visible);
  void SetPauseCaption(const std::string& caption);
  void Unload();
  // Runs one move; a move asked for while another is still running is dropped.
  template <typename Move>
  void RunMove(Move move) {
    if (inMove || closing) return;
    inMove = true;
    move();
    inMove = false;
  }

  // A clock runs only while it is armed and nothing holds the clocks: a pause, a
  // minimised window, or a suspension (focus elsewhere, a modal window). Suspensions nest.
  void SetCom(bool armed);
  void SetMan(bool armed);
  void ApplyClocks();
  bool ClocksHeld() const;
  bool comArmed = false;
  bool manArmed = false;
  bool minimisedHold = false;
  int suspendDepth = 0;
  bool focusSuspended = false;

  // Guards against a second move inside a move.
  bool inMove = false;
  // Counts game set-ups, so that a set-up overtaken while window events ran gives way.
  unsigned setupGeneration = 0;
  bool unloaded = false;
};

}  // namespace pyra
