#include "store/player_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/settings_store.h"
#include "store/store_values.h"
#include "store_test_support.h"

namespace pyra {
namespace {

using test::LoggingStore;
using test::RecordingDialogs;
using Names = std::vector<std::string>;

struct Rig {
  explicit Rig(LoggingStore& s) : store(s) {}
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
    for (NameBox& box : options.Combo1) {
      box.list.assign(records.PlayerList.begin(), records.PlayerList.begin() + records.PlayerCount);
    }
  }
  Names List() const {
    return Names(records.PlayerList.begin(), records.PlayerList.begin() + records.PlayerCount);
  }
  std::string Ranking() {
    records.ShowRanking();
    return dialogs.shown.empty() ? "" : dialogs.shown.back().text;
  }
};

void AddPlayer(LoggingStore& store, int index, const std::string& name, const char* games,
               const char* wins, const char* lost = "0") {
  store.values[{"Pyra3", ListKey(index)}] = name;
  store.values[{name, "Games"}] = games;
  store.values[{name, "Win"}] = wins;
  store.values[{name, "Lost"}] = lost;
}

// The list keys in the store, in key order, up to the first missing one.
Names StoredList(const LoggingStore& store) {
  Names names;
  for (int i = 0; i < MaxPlayers; ++i) {
    const std::string v = store.Main(ListKey(i));
    if (v == "<none>") break;
    names.push_back(v);
  }
  return names;
}

TEST(PlayerRecords, ListKeys) {
  EXPECT_EQ(ListKey(0), "Player00");
  EXPECT_EQ(ListKey(7), "Player07");
  EXPECT_EQ(ListKey(23), "Player23");
  EXPECT_EQ(ListKey(99), "Player99");
}

TEST(PlayerRecords, NoPlayerYetShowsTheErrorBox) {
  LoggingStore store;
  Rig r(store);
  r.Load();
  r.records.ShowRanking();
  ASSERT_EQ(r.dialogs.shown.size(), 1u);
  EXPECT_EQ(r.dialogs.shown[0].text, "まだどのプレーヤーの記録も保存されていません。");
  EXPECT_EQ(r.dialogs.shown[0].title, "Pyra3");
  EXPECT_EQ(r.dialogs.shown[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(r.dialogs.shown[0].icon, MsgIcon::Error);
}

TEST(PlayerRecords, PlayerAWinsOnAnEmptyStore) {
  LoggingStore store;
  Rig r(store);  // A human "Player A", B the computer
  r.Load();
  r.records.RecordResult(0);
  EXPECT_EQ(store.writes, (Names{"Pyra3/Player00=Player A", "Player A/Games=1", "Player A/Win=1",
                                 "Player A/Lost=0"}));
  EXPECT_EQ(store.values.size(), 4u);
  for (const NameBox& box : r.options.Combo1) EXPECT_EQ(box.list, Names{"Player A"});
  r.records.ShowRanking();
  ASSERT_EQ(r.dialogs.shown.size(), 1u);
  EXPECT_EQ(r.dialogs.shown[0].text, "1位 Player A\n勝率1.000; 試合数1\n");
  EXPECT_EQ(r.dialogs.shown[0].title, "番付");
  EXPECT_EQ(r.dialogs.shown[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(r.dialogs.shown[0].icon, MsgIcon::None);
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
    LoggingStore store;
    AddPlayer(store, 0, "Ann", "4", "2", "1");
    AddPlayer(store, 1, "Bob", "2", "1", "1");
    Rig r(store);
    r.Humans("Ann", "Bob");
    r.Load();
    EXPECT_EQ(r.records.PlayerRate[0], 5000);
    r.records.RecordResult(c.result);
    auto record = [&](const std::string& n) {
      return store.Value(n, "Games") + "/" + store.Value(n, "Win") + "/" + store.Value(n, "Lost");
    };
    EXPECT_EQ(record("Ann"), c.ann) << c.result;
    EXPECT_EQ(record("Bob"), c.bob) << c.result;
    EXPECT_EQ(r.records.PlayerRate[0], c.annRate) << c.result;
    EXPECT_EQ(r.records.PlayerRate[1], c.bobRate) << c.result;
    EXPECT_EQ(r.records.SidePlayerIndex, (std::array<int16_t, 2>{0, 1}));
    EXPECT_EQ(StoredList(store), (Names{"Ann", "Bob"}));
  }
}

TEST(PlayerRecords, SameNameOnBothSidesGainsTwoGames) {
  for (int16_t result : {0, 1}) {
    LoggingStore store;
    Rig r(store);
    r.Humans("Ann", "Ann");
    r.Load();
    r.records.RecordResult(result);
    EXPECT_EQ(store.Value("Ann", "Games"), "2");
    EXPECT_EQ(store.Value("Ann", "Win"), "1");
    EXPECT_EQ(store.Value("Ann", "Lost"), "1");
    EXPECT_EQ(StoredList(store), Names{"Ann"});
    EXPECT_EQ(r.List(), Names{"Ann"});
    EXPECT_EQ(r.records.PlayerGames[0], 2);
    EXPECT_EQ(r.records.PlayerRate[0], 5000);
  }
  LoggingStore store;
  Rig r(store);
  r.Humans("Ann", "Ann");
  r.Load();
  r.records.RecordResult(-1);
  EXPECT_EQ(store.Value("Ann", "Games") + store.Value("Ann", "Win") + store.Value("Ann", "Lost"),
            "200");
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
    LoggingStore store;
    AddPlayer(store, 0, "Ann", c.games, c.wins);
    Rig r(store);
    r.options.Combo1[0].text = "Ann";
    r.Load();
    r.records.RecordResult(0);
    EXPECT_EQ(store.Value("Ann", "Games"), c.gamesAfter) << c.games;
    EXPECT_EQ(store.Value("Ann", "Win"), c.winsAfter) << c.games;
    EXPECT_EQ(r.records.PlayerRate[0], c.rate) << c.games;
    // The next run reads the same rate back.
    Rig next(store);
    next.Load();
    EXPECT_EQ(next.records.PlayerRate[0], c.rate) << c.games;
  }
}

TEST(PlayerRecords, TrailingSpacesFindTheirRecordAgain) {
  LoggingStore store;
  {
    Rig r(store);
    r.Humans("Ann  ", "  Bob");
    r.Load();
    r.records.RecordResult(0);
    r.records.RecordResult(0);
  }
  EXPECT_EQ(StoredList(store), (Names{"Ann", "  Bob"}));
  EXPECT_EQ(store.Value("Ann", "Games"), "2");
  EXPECT_FALSE(store.HasSection("Ann  "));
  EXPECT_EQ(store.Value("  Bob", "Lost"), "2");
  Rig next(store);
  next.Humans("Ann ", "  Bob");
  next.Load();
  EXPECT_EQ(next.List(), (Names{"Ann", "  Bob"}));
  EXPECT_EQ(next.records.SidePlayerIndex, (std::array<int16_t, 2>{0, 1}));
  EXPECT_EQ(next.records.PlayerGames[0], 2);
}

TEST(PlayerRecords, LongNamesAreRecordedAsTheyReadBack) {
  LoggingStore store;
  std::string longName;
  for (int i = 0; i < 300; ++i) longName += "名";
  std::string cut;
  for (int i = 0; i < 255; ++i) cut += "名";
  Rig r(store);
  r.Humans(longName, "Bob");
  r.Load();
  r.records.RecordResult(1);
  EXPECT_EQ(store.Main("Player00"), cut);
  EXPECT_EQ(store.Value(cut, "Lost"), "1");
  Rig next(store);
  next.Humans(longName, "Bob");
  next.Load();
  EXPECT_EQ(next.records.SidePlayerIndex[0], 0);
  EXPECT_EQ(next.records.PlayerGames[0], 1);
}

TEST(PlayerRecords, ClearedRecordsLeaveTheListAndStartAfresh) {
  LoggingStore store;
  AddPlayer(store, 0, "Ann", "3", "2");
  store.values[{"Pyra3", "Player01"}] = "Bob";  // listed, but its record was cleared
  AddPlayer(store, 2, "Cid", "4", "1");
  store.values[{"Pyra3", "Player03"}] = "Dan";  // cleared too, and last
  Rig r(store);
  r.Humans("Bob", "Cid");
  r.Load();
  EXPECT_EQ(r.List(), (Names{"Ann", "Cid"}));
  EXPECT_EQ(r.records.SidePlayerIndex, (std::array<int16_t, 2>{-1, 1}));
  EXPECT_EQ(StoredList(store), (Names{"Ann", "Cid"}));
  EXPECT_EQ(store.Main("Player02"), "<none>");
  EXPECT_EQ(store.Main("Player03"), "<none>");

  r.records.RecordResult(0);  // Bob comes back with a fresh record
  EXPECT_EQ(StoredList(store), (Names{"Ann", "Cid", "Bob"}));
  EXPECT_EQ(store.Value("Bob", "Games"), "1");
  EXPECT_EQ(store.Value("Cid", "Games"), "5");
  EXPECT_EQ(store.Value("Ann", "Games"), "3");
}

TEST(PlayerRecords, EveryListedNameWithoutARecordStillEndsTheLoad) {
  LoggingStore store;
  for (int i = 0; i < MaxPlayers; ++i)
    store.values[{"Pyra3", ListKey(i)}] = "P" + std::to_string(i);
  Rig r(store);
  r.Load();
  EXPECT_EQ(r.records.PlayerCount, 0);
  EXPECT_TRUE(StoredList(store).empty());
  EXPECT_EQ(store.values.size(), 0u);
}

TEST(PlayerRecords, ANameListedTwiceIsListedOnce) {
  LoggingStore store;
  AddPlayer(store, 0, "Ann", "3", "2");
  AddPlayer(store, 1, "Bob", "1", "1");
  store.values[{"Pyra3", "Player02"}] = "Ann";
  Rig r(store);
  r.Load();
  EXPECT_EQ(r.List(), (Names{"Ann", "Bob"}));
  EXPECT_EQ(StoredList(store), (Names{"Ann", "Bob"}));
}

TEST(PlayerRecords, WhenTheListCannotBeMendedNoKeyIsWritten) {
  LoggingStore store;
  AddPlayer(store, 0, "Ann", "3", "2");
  store.values[{"Pyra3", "Player01"}] = "Bob";  // no record
  AddPlayer(store, 2, "Cid", "4", "1");
  store.failWrites = true;
  Rig r(store);
  r.Humans("Eve", "Ann");
  r.Load();
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
  for (int i = 0; i < MaxPlayers; ++i) AddPlayer(store, i, "P" + std::to_string(i), "1", "0");
  Rig r(store);
  r.Humans("Zed", "P50");
  r.Load();
  EXPECT_EQ(r.records.PlayerCount, 100);
  EXPECT_TRUE(r.records.ListFull());
  store.writes.clear();
  r.records.RecordResult(0);
  // Zed does not fit: neither listed nor recorded. P50 is recorded as always.
  EXPECT_EQ(store.writes, (Names{"P50/Games=2", "P50/Win=0", "P50/Lost=1"}));
  EXPECT_EQ(store.Main("Player99"), "P99");
  EXPECT_EQ(r.records.SidePlayerIndex, (std::array<int16_t, 2>{-1, 50}));
  EXPECT_EQ(r.options.Combo1[0].list.size(), 100u);
}

TEST(PlayerRecords, TheNinetyNinthAndHundredthNamesGetTheirOwnKeys) {
  LoggingStore store;
  for (int i = 0; i < 98; ++i) AddPlayer(store, i, "P" + std::to_string(i), "1", "0");
  Rig r(store);
  r.Humans("New98", "New99");
  r.Load();
  r.records.RecordResult(-1);
  EXPECT_EQ(store.Main("Player98"), "New98");
  EXPECT_EQ(store.Main("Player99"), "New99");
  EXPECT_EQ(r.records.PlayerCount, 100);
  r.Humans("New100", "New101");
  r.records.RecordResult(-1);
  EXPECT_EQ(store.Main("Player99"), "New99");
  EXPECT_FALSE(store.HasSection("New100"));
  EXPECT_FALSE(store.HasSection("New101"));
}

TEST(PlayerRecords, AKeyTakenBehindTheListsBackIsLeftAlone) {
  LoggingStore store;
  AddPlayer(store, 0, "Ann", "3", "2");
  Rig r(store);
  r.Humans("Ann", "Cid");
  r.Load();
  store.values[{"Pyra3", "Player01"}] = "Intruder";
  r.records.RecordResult(1);
  EXPECT_EQ(store.Main("Player01"), "Intruder");
  EXPECT_FALSE(store.HasSection("Cid"));
  EXPECT_EQ(store.Value("Ann", "Lost"), "1");
}

// Three recorded players, Ann in list slot 0; side A human named Ann, side B as given.
struct DeleteFixture {
  LoggingStore store;
  Rig r{store};
  DeleteFixture() {
    AddPlayer(store, 0, "Ann", "3", "2");
    AddPlayer(store, 1, "Bob", "2", "1");
    AddPlayer(store, 2, "Cid", "4", "1");
    r.Humans("Ann", "Bob");
    r.Load();
  }
};

TEST(PlayerRecords, DeletingSlotZeroOfThree) {
  DeleteFixture f;
  f.r.options.Combo1[1].text = "Ann";
  f.r.options.Combo1[2].text = "Ann";
  EXPECT_TRUE(f.r.records.Command2_Click(0));
  EXPECT_EQ(f.store.Main("Player00"), "Bob");
  EXPECT_EQ(f.store.Main("Player01"), "Cid");
  EXPECT_EQ(f.store.Main("Player02"), "<none>");
  EXPECT_FALSE(f.store.HasSection("Ann"));
  EXPECT_EQ(f.store.Value("Bob", "Games"), "2");
  EXPECT_EQ(f.store.Value("Cid", "Games"), "4");
  EXPECT_EQ(f.r.options.Combo1[0].text, "Player A");
  EXPECT_EQ(f.r.options.Combo1[1].text, "Player B");
  EXPECT_EQ(f.r.options.Combo1[2].text, "");
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
  EXPECT_EQ(f.r.options.Combo1[1].text, "コンピュータ");  // still the computer's box
  EXPECT_EQ(f.r.options.Combo1[0].text, "Ann");
}

TEST(PlayerRecords, ClearingARecordKeepsTheOthersAndTheNameBoxes) {
  DeleteFixture f;
  f.r.options.Combo1[2].text = "Bob";
  EXPECT_TRUE(f.r.records.Command2_Click(1));
  EXPECT_FALSE(f.store.HasSection("Bob"));
  EXPECT_EQ(StoredList(f.store), (Names{"Ann", "Cid"}));
  EXPECT_EQ(f.r.List(), (Names{"Ann", "Cid"}));
  for (const NameBox& box : f.r.options.Combo1) EXPECT_EQ(box.list, (Names{"Ann", "Cid"}));
  EXPECT_EQ(f.r.options.Combo1[1].text, "Bob");  // clearing leaves the name boxes alone
  EXPECT_EQ(f.r.options.Combo1[2].text, "");
  EXPECT_EQ(f.r.records.SidePlayerIndex, (std::array<int16_t, 2>{0, -1}));
  f.r.records.RecordResult(1);
  EXPECT_EQ(StoredList(f.store), (Names{"Ann", "Cid", "Bob"}));
  EXPECT_EQ(f.store.Value("Bob", "Games") + f.store.Value("Bob", "Win"), "11");
  EXPECT_EQ(f.store.Value("Ann", "Games") + f.store.Value("Ann", "Lost"), "41");
}

TEST(PlayerRecords, DeleteOrClearOfAnUnknownNameDoesNothing) {
  for (const char* text : {"", "Zed", "ann"}) {
    for (int index : {0, 1}) {
      DeleteFixture f;
      f.store.writes.clear();
      f.r.options.Combo1[2].text = text;
      EXPECT_FALSE(f.r.records.Command2_Click(index)) << text;
      EXPECT_TRUE(f.store.writes.empty()) << text;
      EXPECT_EQ(f.r.options.Combo1[2].text, text);
      EXPECT_EQ(f.r.options.Combo1[2].list, (Names{"Ann", "Bob", "Cid"}));
    }
  }
}

TEST(PlayerRecords, RankingOfTheBestFiveFromTheStore) {
  LoggingStore store;
  AddPlayer(store, 0, "Ann", "3", "2");
  AddPlayer(store, 1, "Bob", "3", "1");
  AddPlayer(store, 2, "Cid", "1000", "333");
  AddPlayer(store, 3, "Eve", "2", "0");
  AddPlayer(store, 4, "Fay", "0", "0");  // a record of no games
  AddPlayer(store, 5, "Gus", "1", "0");
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
  const std::string evil = "x'); DROP TABLE store; --";
  options.SetPlayerKind(SideB, false);
  options.Combo1[0].text = "O'Brien \"the\" 名人";
  options.Combo1[1].text = evil;
  records.LoadPlayerList();
  records.RecordResult(1);
  records.RecordResult(-1);
  PlayerRecords reloaded(store, options, dialogs);
  reloaded.LoadPlayerList();
  ASSERT_EQ(reloaded.PlayerCount, 2);
  EXPECT_EQ(reloaded.PlayerList[0], "O'Brien \"the\" 名人");
  EXPECT_EQ(reloaded.PlayerList[1], evil);
  EXPECT_EQ(ReadStoreValue(store, evil, "Games", "") + ReadStoreValue(store, evil, "Win", ""),
            "21");
  reloaded.ShowRanking();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "1位 " + evil + "\n勝率 .500; 試合数2\n2位 O'Brien \"the\" 名人\n勝率 .000; 試合数2\n");
}

}  // namespace
}  // namespace pyra
