// What the game asks of the windows, the message boxes, the clocks, the sound and the
// records. The Qt side implements these; tests implement them with fakes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "rules/board.h"
#include "rules/placement.h"

namespace pyra {

enum class MsgButtons { Ok, YesNo, RetryCancel };
enum class MsgIcon { None, Exclamation, Question, Information, Error };
enum class MsgAnswer { Ok, Yes, No, Retry, Cancel };

// Every modal message box of the program goes through here.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual MsgAnswer MessageBox(const std::string& text, const std::string& title,
                               MsgButtons buttons, MsgIcon icon) = 0;
};

// A window timer. Its ticks come back as Game::OnComputerClock / Game::OnHumanClock.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual void SetEnabled(bool on) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetInterval(int milliseconds) = 0;
  virtual int Interval() const = 0;
};

// The cue sounds and the music device.
class Sound {
 public:
  virtual ~Sound() = default;
  // Starts a cue's sound without waiting; a later cue replaces one still playing.
  virtual void PlayCue(Cue cue) = 0;
  // Whether sound effects can be played at all.
  virtual bool SoundAvailable() = 0;
  // Plays the music from where the device stands; false, and silent, when it cannot play.
  virtual bool PlayMusic() = 0;
  // Stops the music and rewinds it, so that the next play starts from the beginning.
  virtual void StopMusic() = 0;
};

// The player records: filled in by the store.
class Records {
 public:
  virtual ~Records() = default;
  // result: 0 side A won, 1 side B won, -1 a draw.
  virtual void RecordResult(int16_t result) = 0;
  virtual void ShowRanking() = 0;
};

enum class MenuItem { NewGame, Pause, Ranking, Separator, Exit };

// The main window and its companion windows as the game sees them.
class Screen {
 public:
  virtual ~Screen() = default;

  // Board painting. PaintCell reads the cell's code from the game state.
  virtual void PaintCell(int16_t column, int16_t row, int16_t step) = 0;
  // A reveal paints every cell once; the screen may present the cells in batches.
  virtual void BeginReveal(int cells) = 0;
  virtual void EndReveal() = 0;
  virtual bool RasterCanStretch() = 0;
  virtual void PrepareBackground() = 0;
  virtual void ClearBoard() = 0;
  virtual void ShowTitlePicture() = 0;
  // The cell the keyboard places on, framed on the board; nothing hides the frame.
  virtual void SetFocusCell(std::optional<Cell> cell) = 0;

  // Main window geometry, in pixels of the client area.
  virtual bool WindowIsNormal() = 0;  // neither minimised nor maximised
  virtual int ClientWidth() = 0;
  virtual int ClientHeight() = 0;
  // Resizes the window so that its client area is exactly this size.
  virtual void SetClientSize(int width, int height) = 0;

  virtual std::string Caption() = 0;
  virtual void SetCaption(const std::string& text) = 0;

  virtual void SetMenuCaption(MenuItem item, const std::string& text) = 0;
  virtual void SetMenuVisible(MenuItem item, bool visible) = 0;

  // Companion windows.
  virtual void ShowScore(int side, int16_t score) = 0;
  virtual void SetScoreCaption(int side, const std::string& caption) = 0;
  virtual void DrawNextPieces(const std::array<int16_t, 3>& queue) = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void HideMessage() = 0;
  virtual bool MessageVisible() = 0;
  virtual void ShowMessageWindow() = 0;  // shows it again with the text it had
  virtual void ShowCompanions() = 0;     // NEXT window and both score boxes
  virtual void HideCompanions() = 0;

  // Lets pending window events run once; false when no window of the program is open.
  virtual bool ProcessPendingEvents() = 0;
};

// Start-up and shut-down steps that belong to the application shell.
class Shell {
 public:
  virtual ~Shell() = default;
  virtual void LoadSettings() = 0;
  virtual void ShowMainWindow() = 0;
  virtual void OpenMusic() = 0;
  virtual void SaveWindowPositions() = 0;
  // Clears the message window, the NEXT window, the score boxes, the board and the
  // hidden pictures, in this order.
  virtual void ClearWindows() = 0;
  virtual void CloseMusic() = 0;
  virtual void SaveOptions() = 0;
  virtual void ShowSettingsDialog() = 0;  // modal
  virtual void ShowAboutBox() = 0;        // modal
  virtual void ShowHelpIndex() = 0;
  virtual void CloseHelp() = 0;
  // Ends the program once the current handler returns.
  virtual void Quit() = 0;
};

}  // namespace pyra
