// The settings of one run: applied to the windows and the live settings at start-up, and
// the window positions and options written back at exit.
#pragma once

#include <cstdint>

#include "options/game_options.h"
#include "rules/game_state.h"
#include "store/player_records.h"
#include "store/settings_store.h"
#include "store/settings_windows.h"

namespace pyra {

class SettingsSession {
 public:
  SettingsSession(SettingsWindows& windows, SettingsStore& store, GameState& state,
                  GameOptions& options, PlayerRecords& records);

  // Once, at start-up. Starts from the settings dialog as freshly created (nothing selected,
  // nothing checked, empty name boxes); each step that fails leaves its setting as it was
  // and the load goes on with the next.
  void LoadSettings();

  // Each companion window is placed at most once per run.
  void PlaceNextBox();
  void PlacePointBox();
  void PlacePointBox2();

  // At exit. Both write only after LoadSettings has run (a refused start writes nothing), and
  // window positions only while the main window is neither minimised nor maximised, and
  // only where the windows can be placed (otherwise just the main window's size). False
  // when something that should have been written was not.
  bool SaveWindowPositions();
  bool SaveOptions();

  bool Loaded() const { return loaded_; }

 private:
  void PlaceCompanion(Companion which, bool& placed, const char* topKey, const char* leftKey,
                      double defaultTop, double defaultLeft);
  void LoadBackground();
  void LoadPieceSheet();
  bool WriteTwips(const char* key, double twips);

  SettingsWindows& windows_;
  SettingsStore& store_;
  GameState& state_;
  GameOptions& options_;
  PlayerRecords& records_;
  bool loaded_ = false;
  bool nextBoxPlaced_ = false;
  bool pointBoxPlaced_ = false;
  bool pointBox2Placed_ = false;
};

}  // namespace pyra
