#include "store/player_records.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "store/settings_store.h"
#include "store/store_values.h"
#include "store_test_support.h"

namespace pyra {
namespace {

using test::LoggingStore;
using test::RecordingDialogs;
using Names = std::vector<std::string>;
using Sides = std::array<int16_t, 2>;

struct Rig {
  explicit Rig(LoggingStore& s) : store(s) {}
  // Both sides human, named a and b, and the list loaded.
  Rig(LoggingStore& s, const std::string& a, const std::string& b) : store(s) {
    Humans(a, b);
    Load();
  }
  LoggingStore& store;
  GameOptions options = GameOptions::Defaults();
  RecordingDialogs dialogs;
  PlayerRecords records{store, options, dialogs};

  void Humans(const std::string& a, const std::string& b) {
    options.SetPlayerKind(SideA, false);
    options.SetPlayerKind(SideB, false);
    options.Combo1[0].text = a;
    options.Combo1[1].text = b;
    options.Combo1[1].enabled = true;
  }
  // Loads the list and fills the name boxes' lists, as the start-up load does.
  void Load() {
    records.LoadPlayerList();
    for (NameBox& box : options.Combo1) box.list = List();
  }
  Names List() const {
    return Names(records.PlayerList.begin(), records.PlayerList.begin() + records.PlayerCount);
  }
  Names Texts() const {
    return {options.Combo1[0].text, options.Combo1[1].text, options.Combo1[2].text};
  }
  std::string Ranking() {
    records.ShowRanking();
    return dialogs.shown.empty() ? "" : dialogs.shown.back().text;
  }
};

// Players in list order; a player without games is listed but has no record.
struct Player {
  std::string name;
  const char* games = nullptr;
  const char* wins = "0";
  const char* lost = "0";
};
void AddPlayers(LoggingStore& store, const std::vector<Player>& players) {
  for (int i = 0; i < static_cast<int>(players.size()); ++i) {
    const Player& p = players[i];
    store.values[{"Pyra3", ListKey(i)}] = p.name;
    if (p.games == nullptr) continue;
    store.values[{p.name, "Games"}] = p.games;
    store.values[{p.name, "Win"}] = p.wins;
    store.values[{p.name, "Lost"}] = p.lost;
  }
}
void AddNumbered(LoggingStore& store, int count, const char* games) {
  std::vector<Player> players;
  for (int i = 0; i < count; ++i) players.push_back({"P" + std::to_string(i), games});
  AddPlayers(store, players);
}

// games/win/lost as stored.
std::string Record(const LoggingStore& store, const std::string& name) {
  return store.Value(name, "Games") + "/" + store.Value(name, "Win") + "/" +
         store.Value(name, "Lost");
}

// The list keys in the store, in key order, up to the first missing one.
Names StoredList(const LoggingStore& store) {
  Names names;
  for (int i = 0; i < MaxPlayers && store.Main(ListKey(i)) != "<none>"; ++i) {
    names.push_back(store.Main(ListKey(i)));
  }
  return names;
}

auto Box(const test::ShownBox& b) { return std::tie(b.text, b.title, b.buttons, b.icon); }

std::string Times(const std::string& text, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += text;
  return out;
}

TEST(PlayerRecords, ListKeys) {
  EXPECT_EQ(ListKey(0) + ListKey(7) + ListKey(23) + ListKey(99),
            "Player00Player07Player23Player99");
}

TEST(PlayerRecords, PlayerAWinsOnAnEmptyStore) {
  LoggingStore store;
  Rig r(store);  // A human "Player A", B the computer
  r.Load();
  r.records.ShowRanking();  // no player yet: the error box
  ASSERT_EQ(r.dialogs.shown.size(), 1u);
  EXPECT_EQ(Box(r.dialogs.shown[0]),
            std::make_tuple("まだどのプレーヤーの記録も保存されていません。", "Pyra3",
                            MsgButtons::Ok, MsgIcon::Error));
  r.records.RecordResult(0);
  EXPECT_EQ(store.writes, (Names{"Pyra3/Player00=Player A", "Player A/Games=1", "Player A/Win=1",
                                 "Player A/Lost=0"}));
  EXPECT_EQ(store.values.size(), 4u);
  for (const NameBox& box : r.options.Combo1) EXPECT_EQ(box.list, Names{"Player A"});
  r.records.ShowRanking();
  ASSERT_EQ(r.dialogs.shown.size(), 2u);
  EXPECT_EQ(Box(r.dialogs.shown[1]), std::make_tuple("1位 Player A\n勝率1.000; 試合数1\n", "番付",
                                                     MsgButtons::Ok, MsgIcon::None));
}

TEST(PlayerRecords, TheComputerIsNeverRecorded) {
  LoggingStore store;
  Rig r(store);
  r.options.SetPlayerKind(SideA, true);
  r.options.Combo1[0].text = "コンピュータ";
  r.Load();
  for (int16_t result : {0, 1, -1}) r.records.RecordResult(result);
  EXPECT_TRUE(store.writes.empty());
  // An empty name box records nothing either.
  r.Humans("", "   ");
  r.records.RecordResult(0);
  EXPECT_TRUE(store.writes.empty());
}

TEST(PlayerRecords, ResultsOfBothSides) {
  const struct {
    int16_t result;
    const char* ann;  // games/win/lost after the game
    const char* bob;
    int64_t annRate;
    int64_t bobRate;
  } cases[] = {
      {0, "5/3/1", "3/1/2", 6000, 3333},
      {1, "5/2/2", "3/2/1", 4000, 6666},
      {-1, "5/2/1", "3/1/1", 4000, 3333},  // a draw: both rates fall
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.result);
    LoggingStore store;
    AddPlayers(store, {{"Ann", "4", "2", "1"}, {"Bob", "2", "1", "1"}});
    Rig r(store, "Ann", "Bob");
    EXPECT_EQ(r.records.PlayerRate[0], 5000);
    r.records.RecordResult(c.result);
    EXPECT_EQ(Record(store, "Ann"), c.ann);
    EXPECT_EQ(Record(store, "Bob"), c.bob);
    EXPECT_EQ(r.records.PlayerRate[0], c.annRate);
    EXPECT_EQ(r.records.PlayerRate[1], c.bobRate);
    EXPECT_EQ(r.records.SidePlayerIndex, (Sides{0, 1}));
    EXPECT_EQ(StoredList(store), (Names{"Ann", "Bob"}));
  }
}

TEST(PlayerRecords, SameNameOnBothSidesGainsTwoGames) {
  const struct {
    int16_t result;
    const char* record;
    int64_t rate;
  } cases[] = {{0, "2/1/1", 5000}, {1, "2/1/1", 5000}, {-1, "2/0/0", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.result);
    LoggingStore store;
    Rig r(store, "Ann", "Ann");
    r.records.RecordResult(c.result);
    EXPECT_EQ(Record(store, "Ann"), c.record);
    EXPECT_EQ(StoredList(store), Names{"Ann"});
    EXPECT_EQ(r.List(), Names{"Ann"});
    EXPECT_EQ(r.records.PlayerGames[0], 2);
    EXPECT_EQ(r.records.PlayerRate[0], c.rate);
  }
}

TEST(PlayerRecords, CountsGoOnPast16Bits) {
  const struct {
    const char* games;
    const char* wins;
    const char* gamesAfter;
    const char* winsAfter;
    int64_t rate;
  } cases[] = {
      {"32767", "32767", "32768", "32768", 10000},
      {"65535", "0", "65536", "1", 0},
      {"99999999999", "50000000000", "100000000000", "50000000001", 5000},
      {"1e20", "1e20", "100000000000001", "100000000000001", 10000},
      {"-5", "-7", "1", "1", 10000},  // negative counts read as none
      {"abc", "", "1", "1", 10000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.games);
    LoggingStore store;
    AddPlayers(store, {{"Ann", c.games, c.wins}});
    Rig r(store);
    r.options.Combo1[0].text = "Ann";
    r.Load();
    r.records.RecordResult(0);
    EXPECT_EQ(store.Value("Ann", "Games"), c.gamesAfter);
    EXPECT_EQ(store.Value("Ann", "Win"), c.winsAfter);
    EXPECT_EQ(r.records.PlayerRate[0], c.rate);
    Rig next(store);  // the next run reads the same rate back
    next.Load();
    EXPECT_EQ(next.records.PlayerRate[0], c.rate);
  }
}

TEST(PlayerRecords, TrailingSpacesFindTheirRecordAgain) {
  LoggingStore store;
  {
    Rig r(store, "Ann  ", "  Bob");
    r.records.RecordResult(0);
    r.records.RecordResult(0);
  }
  EXPECT_EQ(StoredList(store), (Names{"Ann", "  Bob"}));
  EXPECT_EQ(store.Value("Ann", "Games"), "2");
  EXPECT_FALSE(store.HasSection("Ann  "));
  EXPECT_EQ(store.Value("  Bob", "Lost"), "2");
  Rig next(store, "Ann ", "  Bob");
  EXPECT_EQ(next.List(), (Names{"Ann", "  Bob"}));
  EXPECT_EQ(next.records.SidePlayerIndex, (Sides{0, 1}));
  EXPECT_EQ(next.records.PlayerGames[0], 2);
}

TEST(PlayerRecords, LongNamesAreRecordedAsTheyReadBack) {
  LoggingStore store;
  const std::string longName = Times("名", 300), cut = Times("名", 255);
  Rig r(store, longName, "Bob");
  r.records.RecordResult(1);
  EXPECT_EQ(store.Main("Player00"), cut);
  EXPECT_EQ(store.Value(cut, "Lost"), "1");
  Rig next(store, longName, "Bob");
  EXPECT_EQ(next.records.SidePlayerIndex[0], 0);
  EXPECT_EQ(next.records.PlayerGames[0], 1);
}

TEST(PlayerRecords, ClearedRecordsLeaveTheListAndStartAfresh) {
  LoggingStore store;
  // Bob's and Dan's records were cleared; Dan is last.
  AddPlayers(store, {{"Ann", "3", "2"}, {"Bob"}, {"Cid", "4", "1"}, {"Dan"}});
  Rig r(store, "Bob", "Cid");
  EXPECT_EQ(r.List(), (Names{"Ann", "Cid"}));
  EXPECT_EQ(r.records.SidePlayerIndex, (Sides{-1, 1}));
  EXPECT_EQ(StoredList(store), (Names{"Ann", "Cid"}));
  EXPECT_EQ(store.Main("Player02") + store.Main("Player03"), "<none><none>");

  r.records.RecordResult(0);  // Bob comes back with a fresh record
  EXPECT_EQ(StoredList(store), (Names{"Ann", "Cid", "Bob"}));
  EXPECT_EQ(store.Value("Bob", "Games") + store.Value("Cid", "Games") + store.Value("Ann", "Games"),
            "153");
}

TEST(PlayerRecords, EveryListedNameWithoutARecordStillEndsTheLoad) {
  LoggingStore store;
  AddNumbered(store, MaxPlayers, nullptr);
  Rig r(store);
  r.Load();
  EXPECT_EQ(r.records.PlayerCount, 0);
  EXPECT_EQ(store.values.size(), 0u);
}

TEST(PlayerRecords, ANameListedTwiceIsListedOnce) {
  LoggingStore store;
  AddPlayers(store, {{"Ann", "3", "2"}, {"Bob", "1", "1"}, {"Ann"}});
  Rig r(store);
  r.Load();
  EXPECT_EQ(r.List(), (Names{"Ann", "Bob"}));
  EXPECT_EQ(StoredList(store), (Names{"Ann", "Bob"}));
}

TEST(PlayerRecords, WhenTheListCannotBeMendedNoKeyIsWritten) {
  LoggingStore store;
  AddPlayers(store, {{"Ann", "3", "2"}, {"Bob"}, {"Cid", "4", "1"}});
  store.failWrites = true;
  Rig r(store, "Eve", "Ann");
  EXPECT_EQ(r.List(), (Names{"Ann", "Cid"}));
  store.failWrites = false;
  store.writes.clear();
  // The list and the keys are out of step: Eve is not added, so Cid's key stays his.
  r.records.RecordResult(0);
  EXPECT_EQ(store.writes, (Names{"Ann/Games=4", "Ann/Win=2", "Ann/Lost=1"}));
  EXPECT_EQ(store.Main("Player02"), "Cid");
}

TEST(PlayerRecords, AFullListIsNeverOverwritten) {
  LoggingStore store;
  AddNumbered(store, MaxPlayers, "1");
  Rig r(store, "Zed", "P50");
  EXPECT_EQ(r.records.PlayerCount, 100);
  EXPECT_TRUE(r.records.ListFull());
  store.writes.clear();
  r.records.RecordResult(0);
  // Zed does not fit: neither listed nor recorded. P50 is recorded as always.
  EXPECT_EQ(store.writes, (Names{"P50/Games=2", "P50/Win=0", "P50/Lost=1"}));
  EXPECT_EQ(store.Main("Player99"), "P99");
  EXPECT_EQ(r.records.SidePlayerIndex, (Sides{-1, 50}));
  EXPECT_EQ(r.options.Combo1[0].list.size(), 100u);
}

TEST(PlayerRecords, TheNinetyNinthAndHundredthNamesGetTheirOwnKeys) {
  LoggingStore store;
  AddNumbered(store, 98, "1");
  Rig r(store, "New98", "New99");
  r.records.RecordResult(-1);
  EXPECT_EQ(store.Main("Player98") + store.Main("Player99"), "New98New99");
  EXPECT_EQ(r.records.PlayerCount, 100);
  r.Humans("New100", "New101");
  r.records.RecordResult(-1);
  EXPECT_EQ(store.Main("Player99"), "New99");
  EXPECT_FALSE(store.HasSection("New100") || store.HasSection("New101"));
}

TEST(PlayerRecords, AKeyTakenBehindTheListsBackIsLeftAlone) {
  LoggingStore store;
  AddPlayers(store, {{"Ann", "3", "2"}});
  Rig r(store, "Ann", "Cid");
  store.values[{"Pyra3", "Player01"}] = "Intruder";
  r.records.RecordResult(1);
  EXPECT_EQ(store.Main("Player01"), "Intruder");
  EXPECT_FALSE(store.HasSection("Cid"));
  EXPECT_EQ(store.Value("Ann", "Lost"), "1");
}

// Three recorded players, Ann in list slot 0; side A human named Ann, side B Bob.
struct DeleteFixture {
  LoggingStore store;
  Rig r{store};
  DeleteFixture() {
    AddPlayers(store, {{"Ann", "3", "2"}, {"Bob", "2", "1"}, {"Cid", "4", "1"}});
    r.Humans("Ann", "Bob");
    r.Load();
  }
};

TEST(PlayerRecords, DeletingSlotZeroOfThree) {
  DeleteFixture f;
  f.r.options.Combo1[1].text = "Ann";
  f.r.options.Combo1[2].text = "Ann";
  EXPECT_TRUE(f.r.records.Command2_Click(0));
  EXPECT_EQ(StoredList(f.store), (Names{"Bob", "Cid"}));
  EXPECT_EQ(f.store.Main("Player02"), "<none>");
  EXPECT_FALSE(f.store.HasSection("Ann"));
  EXPECT_EQ(f.store.Value("Bob", "Games") + f.store.Value("Cid", "Games"), "24");
  EXPECT_EQ(f.r.Texts(), (Names{"Player A", "Player B", ""}));
  for (const NameBox& box : f.r.options.Combo1) EXPECT_EQ(box.list, (Names{"Bob", "Cid"}));
  EXPECT_EQ(f.r.List(), (Names{"Bob", "Cid"}));
  EXPECT_EQ(f.r.records.PlayerGames[1], 4);
  EXPECT_EQ(f.r.Ranking(), "1位 Bob\n勝率 .500; 試合数2\n2位 Cid\n勝率 .250; 試合数4\n");
}

TEST(PlayerRecords, DeletingTheLastOneAndAComputerSidesBox) {
  DeleteFixture f;
  f.r.options.SetPlayerKind(SideB, true);
  f.r.options.Combo1[1].text = "コンピュータ";
  f.store.values[{"Pyra3", "Player02"}] = "コンピュータ";  // a person may take that name
  f.store.values[{"コンピュータ", "Games"}] = "1";
  f.r.Load();
  f.r.options.Combo1[2].text = "コンピュータ ";
  EXPECT_TRUE(f.r.records.Command2_Click(0));
  EXPECT_EQ(StoredList(f.store), (Names{"Ann", "Bob"}));
  // Side B's box is still the computer's.
  EXPECT_EQ(f.r.options.Combo1[0].text + "|" + f.r.options.Combo1[1].text, "Ann|コンピュータ");
}

TEST(PlayerRecords, ClearingARecordKeepsTheOthersAndTheNameBoxes) {
  DeleteFixture f;
  f.r.options.Combo1[2].text = "Bob";
  EXPECT_TRUE(f.r.records.Command2_Click(1));
  EXPECT_FALSE(f.store.HasSection("Bob"));
  EXPECT_EQ(StoredList(f.store), (Names{"Ann", "Cid"}));
  EXPECT_EQ(f.r.List(), (Names{"Ann", "Cid"}));
  for (const NameBox& box : f.r.options.Combo1) EXPECT_EQ(box.list, (Names{"Ann", "Cid"}));
  EXPECT_EQ(f.r.Texts(), (Names{"Ann", "Bob", ""}));  // clearing leaves the name boxes alone
  EXPECT_EQ(f.r.records.SidePlayerIndex, (Sides{0, -1}));
  f.r.records.RecordResult(1);
  EXPECT_EQ(StoredList(f.store), (Names{"Ann", "Cid", "Bob"}));
  EXPECT_EQ(Record(f.store, "Bob"), "1/1/0");
  EXPECT_EQ(f.store.Value("Ann", "Games") + f.store.Value("Ann", "Lost"), "41");
}

TEST(PlayerRecords, DeleteOrClearOfAnUnknownNameDoesNothing) {
  for (const char* text : {"", "Zed", "ann"}) {
    for (int index : {0, 1}) {
      SCOPED_TRACE(text);
      DeleteFixture f;
      f.store.writes.clear();
      f.r.options.Combo1[2].text = text;
      EXPECT_FALSE(f.r.records.Command2_Click(index));
      EXPECT_TRUE(f.store.writes.empty());
      EXPECT_EQ(f.r.options.Combo1[2].text, text);
      EXPECT_EQ(f.r.options.Combo1[2].list, (Names{"Ann", "Bob", "Cid"}));
    }
  }
}

TEST(PlayerRecords, RankingOfTheBestFiveFromTheStore) {
  LoggingStore store;
  AddPlayers(store, {{"Ann", "3", "2"},
                     {"Bob", "3", "1"},
                     {"Cid", "1000", "333"},
                     {"Eve", "2", "0"},
                     {"Fay", "0", "0"},  // a record of no games
                     {"Gus", "1", "0"}});
  Rig r(store);
  r.Load();
  EXPECT_EQ(r.Ranking(),
            "1位 Ann\n勝率 .666; 試合数3\n2位 Bob\n勝率 .3333; 試合数3\n3位 Cid\n"
            "勝率 .3330; 試合数1000\n4位 Eve\n勝率 .000; 試合数2\n5位 Gus\n勝率 .000; 試合数1\n");
}

TEST(PlayerRecords, AnyNameStaysInItsOwnRowsOfTheRealStore) {
  SqliteSettingsStore store(":memory:");
  GameOptions options = GameOptions::Defaults();
  RecordingDialogs dialogs;
  PlayerRecords records(store, options, dialogs);
  const std::string evil = "x'); DROP TABLE store; --", odd = "O'Brien \"the\" 名人";
  options.SetPlayerKind(SideB, false);
  options.Combo1[0].text = odd;
  options.Combo1[1].text = evil;
  records.LoadPlayerList();
  records.RecordResult(1);
  records.RecordResult(-1);
  PlayerRecords reloaded(store, options, dialogs);
  reloaded.LoadPlayerList();
  ASSERT_EQ(reloaded.PlayerCount, 2);
  EXPECT_EQ(reloaded.PlayerList[0], odd);
  EXPECT_EQ(reloaded.PlayerList[1], evil);
  EXPECT_EQ(ReadStoreValue(store, evil, "Games", "") + ReadStoreValue(store, evil, "Win", ""),
            "21");
  reloaded.ShowRanking();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "1位 " + evil + "\n勝率 .500; 試合数2\n2位 " + odd + "\n勝率 .000; 試合数2\n");
}

}  // namespace
}  // namespace pyra
