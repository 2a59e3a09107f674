#include "store/player_records.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "game_fakes.h"
#include "store/ranking.h"
#include "store_test_support.h"

namespace pyra {
namespace {

using testing::MemoryStore;
using Names = std::vector<std::string>;
using Sides = std::array<int16_t, 2>;

// One run's records, side A and B human under these names (nullptr: the computer), the list
// loaded and the name boxes filled as the start-up load does.
struct Rig {
  Rig(MemoryStore& s, const char* a, const char* b) : store(s) {
    for (int side : {0, 1}) {
      const char* name = side == 0 ? a : b;
      options.SetPlayerKind(side, name == nullptr);
      options.Combo1[side].text = name != nullptr ? name : "コンピュータ";
    }
    records.LoadPlayerList();
    for (NameBox& box : options.Combo1) box.list = List();
  }
  MemoryStore& store;
  GameOptions options;
  testing::FakeDialogs dialogs;
  PlayerRecords records{store, options, dialogs};

  Names List() const { return {records.PlayerList.begin(), records.PlayerList.begin() + records.PlayerCount}; }
  std::string Ranking() {
    records.ShowRanking();
    return dialogs.boxes.back().text;
  }
};

// Players in list order, "name=games/win/lost", or a bare name: listed without a record.
void AddPlayers(MemoryStore& store, const Names& players) {
  for (size_t i = 0; i < players.size(); ++i) {
    const size_t eq = players[i].find('=');
    const std::string name = players[i].substr(0, eq);
    store.values[{"Pyra3", ListKey(static_cast<int>(i))}] = name;
    if (eq == std::string::npos) continue;
    std::istringstream counts(players[i].substr(eq + 1));
    for (const char* key : {"Games", "Win", "Lost"}) std::getline(counts, store.values[{name, key}], '/');
  }
}
Names Numbered(int count, const std::string& record) {
  Names players;
  for (int i = 0; i < count; ++i) players.push_back("P" + std::to_string(i) + record);
  return players;
}

// "games/win/lost" as stored.
std::string Record(const MemoryStore& store, const std::string& name) {
  return store.Get(name, "Games") + "/" + store.Get(name, "Win") + "/" + store.Get(name, "Lost");
}

// The list keys in the store, up to the first missing one.
Names StoredList(const MemoryStore& store) {
  Names names;
  for (int i = 0; store.Get("Pyra3", ListKey(i)) != "-"; ++i) names.push_back(store.Get("Pyra3", ListKey(i)));
  return names;
}

TEST(PlayerRecords, ListKeysHaveTwoDigits) {
  const std::pair<int, const char*> cases[] = {{0, "Player00"}, {9, "Player09"}, {10, "Player10"}, {99, "Player99"}};
  for (const auto& [index, key] : cases) EXPECT_EQ(ListKey(index), key);
}

TEST(PlayerRecords, FirstWinOnAnEmptyStore) {
  MemoryStore store;
  Rig r(store, "Player A", nullptr);
  r.records.ShowRanking();
  r.records.RecordResult(0);
  r.records.ShowRanking();
  ASSERT_EQ(r.dialogs.boxes.size(), 2u);
  const testing::BoxRecord& none = r.dialogs.boxes[0];
  EXPECT_EQ(std::tie(none.text, none.title, none.buttons, none.icon),
            std::tuple("まだどのプレーヤーの記録も保存されていません。", "Pyra3", MsgButtons::Ok, MsgIcon::Error));
  const testing::BoxRecord& ranking = r.dialogs.boxes[1];
  EXPECT_EQ(std::tie(ranking.text, ranking.title, ranking.buttons, ranking.icon),
            std::tuple("1位 Player A\n勝率1.000; 試合数1\n", "番付", MsgButtons::Ok, MsgIcon::None));
  EXPECT_EQ(store.values.size(), 4u);
  EXPECT_EQ(StoredList(store), Names{"Player A"});
  EXPECT_EQ(Record(store, "Player A"), "1/1/0");
  for (const NameBox& box : r.options.Combo1) EXPECT_EQ(box.list, Names{"Player A"});
}

TEST(PlayerRecords, NeitherTheComputerNorAnEmptyNameIsRecorded) {
  MemoryStore store;
  for (int16_t result : {0, 1, -1}) Rig(store, nullptr, nullptr).records.RecordResult(result);
  Rig(store, "", "   ").records.RecordResult(0);
  EXPECT_TRUE(store.values.empty());
}

TEST(PlayerRecords, ResultsOfBothSides) {
  const struct {
    int16_t result;
    const char* b;
    const char* records;  // Ann's, then Bob's
    Sides sides;
    std::array<int64_t, 2> rates;
  } cases[] = {
      {0, "Bob", "5/3/1 3/1/2", {0, 1}, {6000, 3333}},
      {1, "Bob", "5/2/2 3/2/1", {0, 1}, {4000, 6666}},
      {-1, "Bob", "5/2/1 3/1/1", {0, 1}, {4000, 3333}},  // a draw: both rates fall
      {0, "Ann", "6/3/2 2/1/1", {0, 0}, {5000, 5000}},   // one name on both sides: two games
      {-1, "Ann", "6/2/1 2/1/1", {0, 0}, {3333, 5000}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.records);
    MemoryStore store;
    AddPlayers(store, {"Ann=4/2/1", "Bob=2/1/1"});
    Rig r(store, "Ann", c.b);
    r.records.RecordResult(c.result);
    EXPECT_EQ(Record(store, "Ann") + " " + Record(store, "Bob"), c.records);
    EXPECT_EQ(r.records.SidePlayerIndex, c.sides);
    EXPECT_EQ((std::array{r.records.PlayerRate[0], r.records.PlayerRate[1]}), c.rates);
    EXPECT_EQ(r.records.PlayerGames[0], std::stoll(store.Get("Ann", "Games")));
    EXPECT_EQ(StoredList(store), (Names{"Ann", "Bob"}));
  }
}

TEST(PlayerRecords, CountsBeyond16Bits) {
  const struct {
    const char* stored;
    const char* after;  // a win later
    int64_t rate;
  } cases[] = {
      {"32767/32767/0", "32768/32768/0", 10000},
      {"99999999999/50000000000/1", "100000000000/50000000001/1", 5000},
      {"1e20/1e20/x", "100000000000001/100000000000001/0", 10000},  // kept below 10^14
      {"-5/-7/-1", "1/1/0", 10000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    MemoryStore store;
    AddPlayers(store, {std::string("Ann=") + c.stored});
    Rig(store, "Ann", nullptr).records.RecordResult(0);
    EXPECT_EQ(Record(store, "Ann"), c.after);
    Rig next(store, nullptr, nullptr);
    EXPECT_EQ(next.records.PlayerRate[0], c.rate);
  }
}

TEST(PlayerRecords, NamesAreRecordedAsTheyReadBack) {
  MemoryStore store;
  std::string longName;
  for (int i = 0; i < 256; ++i) longName += "名";
  for (int game = 0; game < 2; ++game) Rig(store, "Ann  ", longName.c_str()).records.RecordResult(0);
  const std::string cut = longName.substr(0, 255 * 3);
  EXPECT_EQ(StoredList(store), (Names{"Ann", cut}));
  EXPECT_EQ(Record(store, "Ann") + " " + Record(store, cut), "2/2/0 2/0/2");
  Rig next(store, "Ann ", (cut + "  ").c_str());
  EXPECT_EQ(next.records.SidePlayerIndex, (Sides{0, 1}));
}

TEST(PlayerRecords, NamesWithoutARecordLeaveTheListAndStartAfresh) {
  MemoryStore store;
  // Bob's and Dan's records were cleared; Ann is listed twice.
  AddPlayers(store, {"Ann=3/2/0", "Bob", "Cid=4/1/3", "Ann", "Dan"});
  Rig r(store, "Bob", "Cid");
  EXPECT_EQ(r.List(), (Names{"Ann", "Cid"}));
  EXPECT_EQ(StoredList(store), (Names{"Ann", "Cid"}));
  EXPECT_EQ(store.values.size(), 2u + 6u);
  EXPECT_EQ(r.records.SidePlayerIndex, (Sides{-1, 1}));
  r.records.RecordResult(0);
  EXPECT_EQ(StoredList(store), (Names{"Ann", "Cid", "Bob"}));
  EXPECT_EQ(Record(store, "Bob") + " " + Record(store, "Cid"), "1/1/0 5/1/4");

  MemoryStore unrecorded;
  AddPlayers(unrecorded, Numbered(MaxPlayers, ""));
  EXPECT_EQ(Rig(unrecorded, nullptr, nullptr).records.PlayerCount, 0);
  EXPECT_TRUE(unrecorded.values.empty());
}

TEST(PlayerRecords, ListKeysAreNeverWrittenOver) {
  // When the list cannot be mended, no new name is listed and nothing is deleted.
  MemoryStore store;
  AddPlayers(store, {"Ann=3/2/0", "Bob", "Cid=4/1/3"});
  store.failWrites = true;
  Rig r(store, "Eve", "Ann");
  store.failWrites = false;
  r.records.RecordResult(0);
  r.options.Combo1[2].text = "Cid";
  EXPECT_FALSE(r.records.Command2_Click(0));
  EXPECT_EQ(StoredList(store), (Names{"Ann", "Bob", "Cid"}));
  EXPECT_EQ(Record(store, "Ann") + " " + Record(store, "Eve"), "4/2/1 -/-/-");

  // A key taken behind the list's back is left alone.
  MemoryStore taken;
  AddPlayers(taken, {"Ann=3/2/0"});
  Rig t(taken, "Ann", "Cid");
  taken.values[{"Pyra3", "Player01"}] = "Intruder";
  t.records.RecordResult(1);
  EXPECT_EQ(StoredList(taken), (Names{"Ann", "Intruder"}));
  EXPECT_EQ(Record(taken, "Ann") + " " + Record(taken, "Cid"), "4/2/1 -/-/-");
}

TEST(PlayerRecords, TheListEndsAtAHundredNames) {
  MemoryStore store;
  AddPlayers(store, Numbered(98, "=1/0/1"));
  Rig r(store, "New98", "New99");
  r.records.RecordResult(-1);
  EXPECT_EQ(r.records.PlayerCount, 100);
  EXPECT_TRUE(r.records.ListFull());
  EXPECT_EQ(store.Get("Pyra3", "Player98") + store.Get("Pyra3", "Player99"), "New98New99");
  EXPECT_EQ(r.options.Combo1[2].list.back(), "New99");
  Rig full(store, "Zed", "P50");
  EXPECT_EQ(full.records.PlayerCount, 100);
  full.records.RecordResult(0);
  EXPECT_EQ(store.Get("Pyra3", "Player99"), "New99");
  EXPECT_EQ(Record(store, "Zed") + " " + Record(store, "P50"), "-/-/- 2/0/2");
  EXPECT_EQ(full.records.SidePlayerIndex, (Sides{-1, 50}));
}

// Three recorded players; side A is Ann, side B Bob.
struct Recorded {
  MemoryStore store;
  Rig r;
  Recorded() : store(Filled()), r(store, "Ann", "Bob") {}
  static MemoryStore Filled() {
    MemoryStore s;
    AddPlayers(s, {"Ann=3/2/1", "Bob=2/1/1", "Cid=4/1/3"});
    return s;
  }
  bool Click(int index, const std::string& chosen) {
    r.options.Combo1[2].text = chosen;
    return r.records.Command2_Click(index);
  }
  std::string Boxes() const {
    std::string s;
    for (const NameBox& box : r.options.Combo1) {
      s += "[" + box.text + ":";
      for (const std::string& name : box.list) s += " " + name;
      s += "]";
    }
    return s;
  }
};

TEST(PlayerRecords, DeletingAPlayer) {
  Recorded f;
  f.r.options.Combo1[1].text = "Ann";
  EXPECT_TRUE(f.Click(0, "Ann"));
  EXPECT_EQ(StoredList(f.store), (Names{"Bob", "Cid"}));
  EXPECT_EQ(f.store.values.size(), 2u + 6u);
  EXPECT_EQ(f.Boxes(), "[Player A: Bob Cid][Player B: Bob Cid][: Bob Cid]");
  EXPECT_EQ(f.r.Ranking(), "1位 Bob\n勝率 .500; 試合数2\n2位 Cid\n勝率 .250; 試合数4\n");

  // The computer's box keeps its text even when a person has taken that name.
  Recorded g;
  g.store.values[{"Pyra3", "Player03"}] = "コンピュータ";
  g.store.values[{"コンピュータ", "Games"}] = "1";
  g.r.options.SetPlayerKind(SideB, true);
  g.r.options.Combo1[1].text = "コンピュータ";
  g.r.records.LoadPlayerList();
  for (NameBox& box : g.r.options.Combo1) box.list = g.r.List();
  EXPECT_TRUE(g.Click(0, "コンピュータ "));
  EXPECT_EQ(StoredList(g.store), (Names{"Ann", "Bob", "Cid"}));
  EXPECT_EQ(g.Boxes(), "[Ann: Ann Bob Cid][コンピュータ: Ann Bob Cid][: Ann Bob Cid]");
}

TEST(PlayerRecords, ClearingARecord) {
  Recorded f;
  EXPECT_TRUE(f.Click(1, "Bob"));
  EXPECT_EQ(StoredList(f.store), (Names{"Ann", "Cid"}));
  EXPECT_EQ(f.store.Get("Bob", "Games"), "-");
  EXPECT_EQ(f.Boxes(), "[Ann: Ann Cid][Bob: Ann Cid][: Ann Cid]");
  EXPECT_EQ(f.r.records.SidePlayerIndex, (Sides{0, -1}));
  f.r.records.RecordResult(1);
  EXPECT_EQ(StoredList(f.store), (Names{"Ann", "Cid", "Bob"}));
  EXPECT_EQ(Record(f.store, "Bob") + " " + Record(f.store, "Ann"), "1/1/0 4/2/2");
}

TEST(PlayerRecords, DeletingOrClearingAnUnknownNameDoesNothing) {
  const std::pair<int, const char*> cases[] = {{0, ""}, {0, "Zed"}, {1, "ann"}, {1, "Zed"}, {2, "Bob"}, {-1, "Bob"}};
  for (const auto& [index, chosen] : cases) {
    SCOPED_TRACE(chosen);
    Recorded f;
    const auto before = f.store.values;
    EXPECT_FALSE(f.Click(index, chosen));
    EXPECT_EQ(f.store.values, before);
    EXPECT_EQ(f.Boxes(), "[Ann: Ann Bob Cid][Bob: Ann Bob Cid][" + std::string(chosen) + ": Ann Bob Cid]");
  }
}

TEST(Ranking, RateTexts) {
  const std::pair<int64_t, const char*> cases[] = {{0, " .000"},    {9, " .000"},    {99, " .009"},
                                                   {100, " .010"},  {999, " .099"},  {1000, " .100"},
                                                   {9999, " .999"}, {10000, "1.000"}};
  for (const auto& [rate, text] : cases) EXPECT_EQ(FormatWinRate(rate), text) << rate;
  EXPECT_EQ(WinRate(2, 3), 6666);
  EXPECT_EQ(WinRate(0, 0), 0);
}

TEST(Ranking, BestFiveByRateThenGamesThenLaterInTheList) {
  const std::vector<int64_t> rates{5000, 5000, 5000, 6000, 0, 5000}, games{10, 10, 20, 5, 0, 4};
  const RankSlotArray slots = RankSlots(rates, games);
  EXPECT_EQ(slots, (RankSlotArray{5, 0, 1, 2, 3}));
  const Names names{"P0", "P1", "P2", "P3", "P4", "P5"};
  EXPECT_EQ(RankingText(slots, names, rates, games),
            "1位 P3\n勝率 .600; 試合数5\n2位 P2\n勝率 .500; 試合数20\n3位 P1\n勝率 .500; 試合数10\n"
            "4位 P0\n勝率 .500; 試合数10\n5位 P5\n勝率 .500; 試合数4\n");
}

TEST(Ranking, FourthDigitWhereTheHigherOfTwoEqualRowsHasFewerGames) {
  const struct {
    Names players;
    const char* text;
  } cases[] = {
      {{"Ann=3/2/1", "Bob=3/1/2", "Cid=1000/333/667", "Eve=2/0/2"},
       "1位 Ann\n勝率 .666; 試合数3\n2位 Bob\n勝率 .3333; 試合数3\n3位 Cid\n勝率 .3330; 試合数1000\n"
       "4位 Eve\n勝率 .000; 試合数2\n"},
      {{"High=30000/10017/0", "Low=20000/6662/0"},
       "1位 High\n勝率 .333; 試合数30000\n2位 Low\n勝率 .333; 試合数20000\n"},
      {{"A=10000/3339/0", "B=20000/6670/0", "C=30000/9993/0"},
       "1位 A\n勝率 .333; 試合数10000\n2位 B\n勝率 .3335; 試合数20000\n3位 C\n勝率 .3331; 試合数30000\n"},
  };
  for (const auto& c : cases) {
    MemoryStore store;
    AddPlayers(store, c.players);
    EXPECT_EQ(Rig(store, nullptr, nullptr).Ranking(), c.text);
  }
}

}  // namespace
}  // namespace pyra
