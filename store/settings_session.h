// The settings of one run: applied to the windows and the live settings at start-up, and
// written back when the player confirms the settings dialog and at exit.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "rules/game_state.h"
#include "settings/game_settings.h"
#include "settings/stored_settings.h"
#include "store/choices_keeper.h"
#include "store/player_records.h"
#include "store/session_ports.h"
#include "store/settings_store.h"

namespace pyra {

class SettingsSession final : public ChoicesKeeper {
 public:
  // How long the start-up waits for another program's lock on the store, and how long it
  // waits before it shows the main window meanwhile, in milliseconds.
  static constexpr int LockWaitMs = 5000;
  static constexpr int LockMomentMs = 300;
  static constexpr int LockPollMs = 50;

  SettingsSession(SessionPorts& windows, SettingsStore& store, GameState& state,
                  GameSettings& settings, PlayerRecords& records);

  // Once, at start-up. Starts from the settings dialog as freshly created (nothing selected,
  // nothing checked, empty name boxes); each step that fails leaves its setting as it was
  // and the load goes on with the next.
  void LoadSettings();

  // Each companion window is placed at most once per run.
  void PlaceNextBox();
  void PlaceScoreBoxA();
  void PlaceScoreBoxB();

  // At exit: SaveWindowPositions notes the window places, SaveOptions writes them with the
  // options in one transaction. Both write only after LoadSettings has run (a refused start
  // writes nothing), window positions only while the main window is neither minimised nor
  // maximised, and only where the windows can be placed (otherwise just the main window's
  // size). After a load that could not read the store, only what the player changed in this
  // run is written. False, with one line on standard error, when the save failed.
  void SaveWindowPositions();
  bool SaveOptions();

  // The settings dialog's OK: the changed names and the options are written at once.
  void KeepChoices(const DialogChoices& changed) override;
  void KeepPicture(bool background, const std::string& folder, const std::string& file) override;

  // Start-up, once the main window is shown: the music plays if its switch is on; a device
  // that cannot play turns the switch off, silently.
  void OpenMusic();

  bool Loaded() const { return loaded_; }
  // The load read everything it asked the store for.
  bool LoadedWholly() const { return wholly_; }
  const FirstRunLayout& FirstRun() const { return firstRun_; }

 private:
  void WaitForStore();
  void NoteFirstRun();
  void PlaceCompanion(Companion which, bool& placed, Setting topSetting, Setting leftSetting,
                      double defaultTop, double defaultLeft);
  // A window value: the stored number, or the default when nothing is stored; nothing when
  // either is outside 16 bits.
  std::optional<int16_t> ReadTwips(Setting setting, double fallback);
  // An option: the stored number or its default; nothing when outside 16 bits.
  std::optional<int16_t> ReadNumber(Setting setting);
  bool SwitchOn(Setting setting);
  void LoadBackground();
  void LoadPieceSheet();
  void AddTwips(Setting setting, double twips);
  // The option keys as the live settings would be stored, in their order; the sound
  // switches as the player last chose them, which this run's machine may not honour.
  std::vector<StoreWrite> OptionWrites() const;
  // The options to write: all of them, or after a partial load those the player changed.
  void AddOptions(bool all);
  bool Commit();

  SessionPorts& windows_;
  SettingsStore& store_;
  GameState& state_;
  GameSettings& settings_;
  PlayerRecords& records_;
  bool loaded_ = false;
  bool wholly_ = false;
  bool nextBoxPlaced_ = false;
  bool scoreBoxAPlaced_ = false;
  bool scoreBoxBPlaced_ = false;
  FirstRunLayout firstRun_;
  // The player's choice of sound effects and music, as stored.
  std::array<bool, 2> soundWish_{};
  // The option values this run has read or written, to tell the player's changes.
  std::map<std::string, std::string> kept_;
  std::vector<StoreWrite> pending_;
};

}  // namespace pyra
