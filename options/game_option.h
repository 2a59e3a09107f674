// The settings dialog's logic: what it remembers when it opens, what its buttons do, and
// what OK applies. Its controls are the live settings (GameOptions); the window only shows
// them and passes the clicks on.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "match/game.h"
#include "options/game_options.h"
#include "store/dialog_choices.h"
#include "store/player_records.h"

namespace pyra {

// What the settings dialog asks of the windows around it.
class OptionWindows {
 public:
  virtual ~OptionWindows() = default;
  // The width in pixels of a text in the score boxes' caption font.
  virtual int CaptionWidth(const std::string& text) = 0;
  // The inner width in pixels of a side's score box.
  virtual int ScoreBoxWidth(int side) = 0;
  // Shows the picture chooser modally: for the background when backgroundMode is true,
  // otherwise for the piece sheet.
  virtual void ShowChooser(bool backgroundMode) = 0;
};

// A typed or pasted name without its control characters (tabs, line breaks and the like),
// which a name never holds.
std::string WithoutControlCharacters(const std::string& text);

// The name cut so that it fits a side's score box caption: after ">A - " for side A, on its
// own for side B. Characters are dropped from the end.
std::string FitNameToScoreBox(int side, const std::string& name, OptionWindows& windows);

class GameOption {
 public:
  GameOption(Game& game, GameOptions& options, PlayerRecords& records, ChoicesKeeper& keeper,
             OptionWindows& windows);

  // Each time the dialog is shown.
  void Form_Activate();
  // Option1: 0 A human, 1 A computer, 2 B human, 3 B computer.
  void Option1_Click(int index);
  // Option2: the series format.
  void Option2_Click(int index);
  // Option3: 0 automatic, 1 strongest.
  void Option3_Click(int index);
  // Check1: a box changed its state; it is applied by OK.
  void Check1_Click(int index, int state);
  // The text of a name box changed, typed or picked from its list; it keeps no control
  // characters.
  void Combo1_Change(int index, const std::string& text);
  // OK, once the dialog has closed (by OK, its close button or Esc). A name box left empty
  // keeps the name it had. The changes are kept in the store at once.
  void Command1_Click();
  // Delete (0) or clear the record of (1) the player named in the third name box.
  void Command2_Click(int index);
  // Choose the background (0) or the piece sheet (1).
  void Command3_Click(int index);
  // Applies the state of Check1(index); unchecks it when it cannot stay checked.
  void chkshori(int index);

  bool Command2Enabled() const { return command2Enabled_; }
  const GameOptions& Options() const { return options_; }

  // Remembered when the dialog was last activated.
  int16_t SeriesFormatAtOpen = 0;
  int16_t SeriesFormatChosen = 0;
  std::string NameAAtOpen;
  std::string NameBAtOpen;
  std::array<int, 4> BoxStateAtOpen{};
  // True while the chooser works on the background, false on the piece sheet.
  bool ChooserMode = true;

 private:
  void ApplyName(int side);
  // The name boxes of human sides take names while the player list has room.
  void EnableNameBoxes();

  Game& game_;
  GameOptions& options_;
  PlayerRecords& records_;
  ChoicesKeeper& keeper_;
  OptionWindows& windows_;
  bool command2Enabled_ = false;
};

}  // namespace pyra
