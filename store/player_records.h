// Every human player's record of games, wins and losses, the player list and the ranking.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "match/ports.h"
#include "settings/game_settings.h"
#include "store/settings_store.h"

namespace pyra {

// The list keys Player00..Player99.
inline constexpr int MaxPlayers = 100;
// Counts are kept at most this large, so that rates cannot overflow.
inline constexpr int64_t MaxRecordCount = 100'000'000'000'000;

// "Player" followed by the index in two digits.
std::string ListKey(int index);

class PlayerRecords final : public Records {
 public:
  PlayerRecords(SettingsStore& store, GameSettings& settings, Dialogs& dialogs);

  // Rebuilds the list from the store. A listed name without a record (what clearing leaves)
  // is taken out of the list keys, which stay dense.
  void LoadPlayerList();
  // The name's list index, added at the end of the list (and of the three name boxes' lists)
  // when it is new; -1 when a new name does not fit.
  int16_t FindOrAddPlayer(const std::string& name);

  void RecordResult(int16_t result) override;
  void ShowRanking() override;

  // The settings dialog's delete and clear-record buttons, for the player named in the
  // chosen-player box. False when that name is not listed and nothing was done; otherwise
  // the box's text is emptied. Deleting takes the name out of the list and the name boxes;
  // clearing keeps it listed with no games.
  bool DeletePlayer() { return RemovePlayer(true); }
  bool ClearRecord() { return RemovePlayer(false); }

  bool ListFull() const { return playerCount >= MaxPlayers; }

  std::array<std::string, MaxPlayers> playerList;
  int16_t playerCount = 0;
  std::array<int64_t, MaxPlayers> playerGames{};
  std::array<int64_t, MaxPlayers> playerWins{};
  std::array<int64_t, MaxPlayers> playerRate{};

 private:
  // The current name of a human side as it is stored; empty for the computer.
  std::string SideName(int side) const;
  int64_t ReadCount(const std::string& name, const char* key);
  // Removes the list key at index, moving the later ones down.
  bool CloseListGap(int index);
  void FillNameBoxLists();
  bool RemovePlayer(bool deleteName);

  SettingsStore& store_;
  GameSettings& settings_;
  Dialogs& dialogs_;
  // False when the list keys could not be kept in step with playerList: no list key is then
  // written until the next load.
  bool aligned_ = true;
};

}  // namespace pyra
