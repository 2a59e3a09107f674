// The settings dialog's rules, apart from its window.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "match/game.h"
#include "settings/game_settings.h"
#include "store/choices_keeper.h"
#include "store/player_records.h"

namespace pyra {

// What the settings dialog asks of the windows around it.
class DialogWindows {
 public:
  virtual ~DialogWindows() = default;
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
std::string FitNameToScoreBox(int side, const std::string& name, DialogWindows& windows);

// The settings dialog's rules: what it remembers when it opens, what its controls change in
// the live settings, and what OK applies. The window only shows the settings and passes the
// player's changes on.
class SettingsDialog {
 public:
  SettingsDialog(Game& game, GameSettings& settings, PlayerRecords& records, ChoicesKeeper& keeper,
                 DialogWindows& windows);

  // Each time the dialog is shown.
  void Opened();
  void ChoosePlayer(int side, PlayerKind kind);
  void ChooseSeries(SeriesFormat format);
  void ChooseLevel(Level level);
  // A switch was turned on or off; it is applied by OK.
  void SetSwitch(Switch which, bool on);
  // The text of a name box changed, typed or picked from its list; it keeps no control
  // characters.
  void EditName(int box, const std::string& text);
  // OK, once the dialog has closed (by OK, its close button or Esc). A name box left empty
  // keeps the name it had. The changes are kept in the store at once.
  void Confirm();
  // The player named in the chosen-player box: deleted, or the record cleared.
  void DeletePlayer();
  void ClearRecord();
  void ChooseBackground();
  void ChoosePieces();
  // Applies a switch's state; turns it off again when it cannot stay on.
  void ApplySwitch(Switch which);

  // Whether the delete and clear buttons act: a player is named in the chosen-player box.
  bool RemovalEnabled() const { return removalEnabled_; }
  const GameSettings& Settings() const { return settings_; }

 private:
  void ApplyName(int side);
  // The name boxes of human sides take names while the player list has room.
  void EnableNameBoxes();
  void AfterRemoval(bool removed);

  Game& game_;
  GameSettings& settings_;
  PlayerRecords& records_;
  ChoicesKeeper& keeper_;
  DialogWindows& windows_;
  bool removalEnabled_ = false;
  // Remembered when the dialog was last opened.
  SeriesFormat seriesAtOpen_ = SeriesFormat::BestOf(1);
  SeriesFormat seriesChosen_ = SeriesFormat::BestOf(1);
  std::array<std::string, 2> namesAtOpen_;
  std::array<bool, SwitchCount> switchesAtOpen_{};
};

}  // namespace pyra
