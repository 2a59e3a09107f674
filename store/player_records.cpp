#include "store/player_records.h"

#include <algorithm>
#include <span>

#include "settings/product.h"
#include "store/number_reading.h"
#include "store/ranking.h"
#include "store/store_values.h"

namespace pyra {

std::string ListKey(int index) {
  return std::string("Player") + (index < 10 ? "0" : "") + std::to_string(index);
}

PlayerRecords::PlayerRecords(SettingsStore& store, GameSettings& settings, Dialogs& dialogs)
    : store_(store), settings_(settings), dialogs_(dialogs) {}

std::string PlayerRecords::SideName(int side) const {
  // Names are stored as they read back (cut and without trailing spaces), so that a name
  // with trailing spaces finds its record again.
  return settings_.IsHuman(side) ? StoreText(settings_.names[side].text) : std::string();
}

int64_t PlayerRecords::ReadCount(const std::string& name, const char* key) {
  const double count = ReadWholeNumber(ReadStoreValue(store_, name, key, "0"));
  if (!(count > 0)) return 0;  // also a negative or unreadable count
  return count >= static_cast<double>(MaxRecordCount) ? MaxRecordCount
                                                      : static_cast<int64_t>(count);
}

bool PlayerRecords::CloseListGap(int index) {
  int last = index;
  while (last + 1 < MaxPlayers && !ReadSetting(store_, ListKey(last + 1), "").empty()) ++last;
  for (int j = index; j < last; ++j) {
    if (!WriteSetting(store_, ListKey(j), ReadSetting(store_, ListKey(j + 1), ""))) return false;
  }
  return DeleteStoreKey(store_, MainSection, ListKey(last));
}

void PlayerRecords::LoadPlayerList() {
  playerCount = 0;
  aligned_ = true;
  const int failures = store_.ReadFailures();
  int key = 0;
  int gapsClosed = 0;
  while (key < MaxPlayers && playerCount < MaxPlayers) {
    const std::string name = ReadSetting(store_, ListKey(key), "");
    const auto listedEnd = playerList.begin() + playerCount;
    const bool listedTwice = std::find(playerList.begin(), listedEnd, name) != listedEnd;
    const bool recorded =
        !name.empty() && !listedTwice && !ReadStoreValue(store_, name, "Games", "").empty();
    // A list the store would not let us read whole is neither mended nor added to.
    if (store_.ReadFailures() != failures) {
      aligned_ = false;
      break;
    }
    if (name.empty()) break;
    if (recorded) {
      playerList[playerCount] = name;
      playerGames[playerCount] = ReadCount(name, "Games");
      playerWins[playerCount] = ReadCount(name, "Win");
      playerRate[playerCount] = WinRate(playerWins[playerCount], playerGames[playerCount]);
      ++playerCount;
      ++key;
      continue;
    }
    // A cleared record, or a name listed a second time: the key leaves the list, so that the
    // keys stay dense and in step with playerList. A later game starts a fresh record.
    if (aligned_ && gapsClosed < MaxPlayers && CloseListGap(key)) {
      ++gapsClosed;
      continue;  // the next name now sits under the same key
    }
    aligned_ = false;
    ++key;
  }
  for (int i = playerCount; i < MaxPlayers; ++i) {
    playerList[i].clear();
    playerGames[i] = playerWins[i] = playerRate[i] = 0;
  }
}

int16_t PlayerRecords::FindOrAddPlayer(const std::string& name) {
  const std::string stored = StoreText(name);
  for (int16_t i = 0; i < playerCount; ++i) {
    if (playerList[i] == stored) return i;
  }
  if (stored.empty() || !aligned_ || ListFull()) return -1;
  // Never write over another player's list key.
  const std::string key = ListKey(playerCount);
  const int failures = store_.ReadFailures();
  if (!ReadSetting(store_, key, "").empty() || store_.ReadFailures() != failures ||
      !WriteSetting(store_, key, stored)) {
    return -1;
  }

  const int16_t index = playerCount;
  playerList[index] = stored;
  playerGames[index] = playerWins[index] = playerRate[index] = 0;
  for (NameBox& box : settings_.names) {
    box.list.insert(box.list.begin() + std::min<size_t>(index, box.list.size()), stored);
  }
  ++playerCount;
  return index;
}

void PlayerRecords::RecordResult(int16_t result) {
  for (int side = 0; side < 2; ++side) {
    const std::string name = SideName(side);
    if (name.empty()) continue;
    // Read back from the store each time: the same name may play both sides.
    const int failures = store_.ReadFailures();
    int64_t games = ReadCount(name, "Games");
    int64_t wins = ReadCount(name, "Win");
    int64_t losses = ReadCount(name, "Lost");
    if (store_.ReadFailures() != failures) continue;  // a record unread is not written over
    ++games;
    if (result == side) ++wins;
    if (result == 1 - side) ++losses;
    const int16_t i = FindOrAddPlayer(name);
    if (i < 0) continue;  // a new name with no room in the list is not recorded
    store_.WriteAll({{name, "Games", std::to_string(games)},
                     {name, "Win", std::to_string(wins)},
                     {name, "Lost", std::to_string(losses)}});
    playerGames[i] = games;
    playerWins[i] = wins;
    playerRate[i] = WinRate(wins, games);
  }
}

void PlayerRecords::ShowRanking() {
  // A player whose record was cleared stays listed, but has no results to rank.
  std::vector<std::string> names;
  std::vector<int64_t> rates;
  std::vector<int64_t> games;
  for (int i = 0; i < playerCount; ++i) {
    if (playerGames[i] == 0) continue;
    names.push_back(playerList[i]);
    rates.push_back(playerRate[i]);
    games.push_back(playerGames[i]);
  }
  if (names.empty()) {
    dialogs_.MessageBox("まだどのプレーヤーの記録も保存されていません。", ProductName,
                        MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  dialogs_.MessageBox(RankingText(RankSlots(rates, games), names, rates, games), "番付",
                      MsgButtons::Ok, MsgIcon::None);
}

void PlayerRecords::FillNameBoxLists() {
  for (NameBox& box : settings_.names) {
    box.list.assign(playerList.begin(), playerList.begin() + playerCount);
  }
}

bool PlayerRecords::RemovePlayer(bool deleteName) {
  const std::string sel = StoreText(settings_.names[ChosenPlayer].text);
  if (sel.empty() || !aligned_) return false;
  const std::vector<std::string>& chosen = settings_.names[ChosenPlayer].list;
  int pos = -1;
  for (int i = static_cast<int>(chosen.size()) - 1; i >= 0 && pos < 0; --i) {
    if (StoreText(chosen[i]) == sel) pos = i;
  }
  if (pos < 0) return false;

  if (deleteName) {
    for (NameBox& box : settings_.names) {
      if (static_cast<size_t>(pos) < box.list.size()) box.list.erase(box.list.begin() + pos);
    }
    const std::vector<std::string> remaining = settings_.names[ChosenPlayer].list;
    for (int n = 0; n < playerCount; ++n) {
      if (static_cast<size_t>(n) < remaining.size()) {
        playerList[n] = remaining[n];
        WriteSetting(store_, ListKey(n), remaining[n]);
      } else {
        playerList[n].clear();
        DeleteStoreKey(store_, MainSection, ListKey(n));
      }
    }
    // Only a human side's box shows a player's name; a computer side keeps "コンピュータ".
    if (settings_.IsHuman(0) && StoreText(settings_.names[0].text) == sel) {
      settings_.names[0].text = DefaultPlayerNames[0];
    }
    if (settings_.IsHuman(1) && StoreText(settings_.names[1].text) == sel) {
      settings_.names[1].text = DefaultPlayerNames[1];
    }
  }
  if (deleteName) {
    DeleteStoreSection(store_, sel);
  } else {
    // Cleared, the player stays listed with no games, and the next game starts a new record.
    store_.WriteAll({{sel, "Games", "0"}, {sel, "Win", "0"}, {sel, "Lost", "0"}});
  }
  LoadPlayerList();
  // The lists follow the reloaded list, which no longer holds a cleared player either.
  FillNameBoxLists();
  settings_.names[ChosenPlayer].text.clear();
  return true;
}

}  // namespace pyra
