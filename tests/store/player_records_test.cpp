#include "store/player_records.h"

#include <gtest/gtest.h>

#include <sstream>

#include "game_fakes.h"
#include "store/ranking.h"
#include "store_test_support.h"

namespace pyra {
namespace {

using testing::MemoryStore;
using Names = std::vector<std::string>;
using Sides = std::array<int16_t, 2>;

// Players in list order, "name=games/win/lost", or a bare name: listed without a record.
MemoryStore Listed(const Names& players) {
  MemoryStore store;
  for (size_t i = 0; i < players.size(); ++i) {
    const size_t eq = players[i].find('=');
    const std::string name = players[i].substr(0, eq);
    store.values[{"Pyra3", ListKey(static_cast<int>(i))}] = name;
    std::istringstream counts(players[i].substr(eq + 1));
    for (const char* key : {"Games", "Win", "Lost"}) {
      if (eq != std::string::npos) std::getline(counts, store.values[{name, key}], '/');
    }
  }
  return store;
}

// A run's records with sides A and B human under these names (nullptr: the computer), the
// list loaded into them and into the name boxes.
struct Rig {
  Rig(MemoryStore& s, const char* a, const char* b) : store(s) {
    for (int side : {0, 1}) {
      const char* name = side == 0 ? a : b;
      options.SetPlayerKind(side, name == nullptr);
      options.Combo1[side].text = name != nullptr ? name : "コンピュータ";
    }
    Load();
  }
  void Load() {
    records.LoadPlayerList();
    for (NameBox& box : options.Combo1) {
      box.list.assign(records.PlayerList.begin(), records.PlayerList.begin() + records.PlayerCount);
    }
  }
  // The stored list keys up to the first gap, then each name's games/win/lost as stored.
  std::string Stored(const Names& names) const {
    std::string s;
    for (int i = 0; store.Get("Pyra3", ListKey(i)) != "-"; ++i)
      s += store.Get("Pyra3", ListKey(i)) + ",";
    for (const std::string& n : names)
      s += " " + store.Get(n, "Games") + "/" + store.Get(n, "Win") + "/" + store.Get(n, "Lost");
    return s;
  }
  // Each name box's text and list.
  std::string Boxes() const {
    std::string s;
    for (const NameBox& box : options.Combo1) {
      s += "[" + box.text + ":";
      for (const std::string& name : box.list) s += " " + name;
      s += "]";
    }
    return s;
  }
  MemoryStore& store;
  GameOptions options;
  testing::FakeDialogs dialogs;
  PlayerRecords records{store, options, dialogs};
};

TEST(PlayerRecords, ListKeysHaveTwoDigits) {
  const std::pair<int, const char*> cases[] = {
      {0, "Player00"}, {9, "Player09"}, {10, "Player10"}, {99, "Player99"}};
  for (const auto& [index, key] : cases) EXPECT_EQ(ListKey(index), key);
}

TEST(PlayerRecords, FirstWinOnAnEmptyStore) {
  MemoryStore store;
  Rig r(store, "Player A", nullptr);
  r.records.ShowRanking();
  r.records.RecordResult(0);
  r.records.ShowRanking();
  ASSERT_EQ(r.dialogs.boxes.size(), 2u);
  const testing::BoxRecord &none = r.dialogs.boxes[0], &ranking = r.dialogs.boxes[1];
  EXPECT_EQ(std::tie(none.text, none.title, none.buttons, none.icon),
            std::tuple("まだどのプレーヤーの記録も保存されていません。", "Pyra3", MsgButtons::Ok,
                       MsgIcon::Error));
  EXPECT_EQ(
      std::tie(ranking.text, ranking.title, ranking.buttons, ranking.icon),
      std::tuple("1位 Player A\n勝率1.000; 試合数1\n", "番付", MsgButtons::Ok, MsgIcon::None));
  EXPECT_EQ(store.values.size(), 4u);
  EXPECT_EQ(r.Stored({"Player A"}), "Player A, 1/1/0");
  EXPECT_EQ(r.Boxes(), "[Player A: Player A][コンピュータ: Player A][: Player A]");
  // Neither the computer nor an empty name is recorded.
  MemoryStore nobody;
  for (int16_t result : {0, 1, -1}) Rig(nobody, nullptr, nullptr).records.RecordResult(result);
  Rig(nobody, "", "   ").records.RecordResult(0);
  EXPECT_TRUE(nobody.values.empty());
}

TEST(PlayerRecords, ResultsOfBothSides) {
  const struct {
    const char *ann, *b;
    int16_t result;
    const char* stored;  // Ann's record, then Bob's
    std::array<int64_t, 2> rates;
  } cases[] = {
      {"4/2/1", "Bob", 0, "5/3/1 3/1/2", {6000, 3333}},
      {"4/2/1", "Bob", 1, "5/2/2 3/2/1", {4000, 6666}},
      {"4/2/1", "Bob", -1, "5/2/1 3/1/1", {4000, 3333}},  // a draw: both rates fall
      {"4/2/1", "Ann", 0, "6/3/2 2/1/1", {5000, 5000}},   // one name on both sides: two games
      {"4/2/1", "Ann", -1, "6/2/1 2/1/1", {3333, 5000}},
      // Counts go on past 16 bits, and are kept below 10^14 so that a rate cannot overflow.
      {"32767/32767/0", "Bob", 0, "32768/32768/0 3/1/2", {10000, 3333}},
      {"99999999999/50000000000/x", "Bob", 1, "100000000000/50000000000/1 3/2/1", {5000, 6666}},
      {"1e20/1e20/1", "Bob", 0, "100000000000001/100000000000001/1 3/1/2", {10000, 3333}},
      {"-5/-7/-1", "Bob", 0, "1/1/0 3/1/2", {10000, 3333}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    MemoryStore store = Listed({std::string("Ann=") + c.ann, "Bob=2/1/1"});
    Rig r(store, "Ann", c.b);
    r.records.RecordResult(c.result);
    EXPECT_EQ(r.Stored({"Ann", "Bob"}), std::string("Ann,Bob, ") + c.stored);
    EXPECT_EQ(r.records.SidePlayerIndex, (Sides{0, int16_t(c.b[0] == 'B')}));
    EXPECT_EQ((std::array{r.records.PlayerRate[0], r.records.PlayerRate[1]}), c.rates);
    r.Load();  // the next run reads the same
    EXPECT_EQ((std::array{r.records.PlayerRate[0], r.records.PlayerRate[1]}), c.rates);
  }
}

TEST(PlayerRecords, NamesAreKeptAsTheyReadBack) {
  MemoryStore store;
  std::string longName;
  for (int i = 0; i < 256; ++i) longName += "名";
  const std::string cut = longName.substr(0, 3 * 255);
  for (int game = 0; game < 2; ++game)
    Rig(store, "Ann  ", longName.c_str()).records.RecordResult(0);
  EXPECT_EQ(Rig(store, nullptr, nullptr).Stored({"Ann", cut}), "Ann," + cut + ", 2/2/0 2/0/2");
  EXPECT_EQ(Rig(store, "Ann ", (cut + "  ").c_str()).records.SidePlayerIndex, (Sides{0, 1}));
}

TEST(PlayerRecords, NamesWithoutARecordLeaveTheListAndStartAfresh) {
  // Bob's and Dan's records were cleared; Ann is listed twice.
  MemoryStore store = Listed({"Ann=3/2/0", "Bob", "Cid=4/1/3", "Ann", "Dan"});
  Rig r(store, "Bob", "Cid");
  EXPECT_EQ(r.Boxes(), "[Bob: Ann Cid][Cid: Ann Cid][: Ann Cid]");
  EXPECT_EQ(r.Stored({}), "Ann,Cid,");
  EXPECT_EQ(store.values.size(), 2u + 6u);
  EXPECT_EQ(r.records.SidePlayerIndex, (Sides{-1, 1}));
  r.records.RecordResult(0);
  EXPECT_EQ(r.Stored({"Bob", "Cid"}), "Ann,Cid,Bob, 1/1/0 5/1/4");
  Names unrecorded;
  for (int i = 0; i < MaxPlayers; ++i) unrecorded.push_back("P" + std::to_string(i));
  MemoryStore none = Listed(unrecorded);
  EXPECT_EQ(Rig(none, nullptr, nullptr).records.PlayerCount, 0);
  EXPECT_TRUE(none.values.empty());
}

TEST(PlayerRecords, ListKeysAreNeverWrittenOver) {
  // When the list cannot be mended, no name is added to it or taken from it.
  MemoryStore store = Listed({"Ann=3/2/0", "Bob", "Cid=4/1/3"});
  store.failWrites = true;
  Rig r(store, "Eve", "Ann");
  store.failWrites = false;
  r.records.RecordResult(0);
  r.options.Combo1[2].text = "Cid";
  EXPECT_FALSE(r.records.Command2_Click(0));
  EXPECT_EQ(r.Stored({"Ann", "Eve"}), "Ann,Bob,Cid, 4/2/1 -/-/-");
  // A key taken behind the list's back is left alone.
  MemoryStore taken = Listed({"Ann=3/2/0"});
  Rig t(taken, "Ann", "Cid");
  taken.values[{"Pyra3", "Player01"}] = "Intruder";
  t.records.RecordResult(1);
  EXPECT_EQ(t.Stored({"Ann", "Cid"}), "Ann,Intruder, 4/2/1 -/-/-");
  // A hundred names fill the list.
  Names players;
  for (int i = 0; i < 98; ++i) players.push_back("P" + std::to_string(i) + "=1/0/1");
  MemoryStore full = Listed(players);
  Rig(full, "New98", "New99").records.RecordResult(-1);
  Rig f(full, "Zed", "P50");
  EXPECT_TRUE(f.records.ListFull());
  f.records.RecordResult(0);
  const std::string stored = f.Stored({"New99", "Zed", "P50"});
  EXPECT_EQ(stored.substr(stored.find("P97,")), "P97,New98,New99, 1/0/0 -/-/- 2/0/2");
  EXPECT_EQ(f.records.SidePlayerIndex, (Sides{-1, 50}));
}

// Three recorded players; side A is Ann, side B Bob.
struct Recorded {
  MemoryStore store = Listed({"Ann=3/2/1", "Bob=2/1/1", "Cid=4/1/3"});
  Rig r{store, "Ann", "Bob"};
  bool Click(int index, const std::string& chosen) {
    r.options.Combo1[2].text = chosen;
    return r.records.Command2_Click(index);
  }
};

TEST(PlayerRecords, DeletingAndClearing) {
  Recorded d;
  d.r.options.Combo1[1].text = "Ann";
  EXPECT_TRUE(d.Click(0, "Ann"));
  EXPECT_EQ(d.r.Stored({"Ann"}), "Bob,Cid, -/-/-");
  EXPECT_EQ(d.r.Boxes(), "[Player A: Bob Cid][Player B: Bob Cid][: Bob Cid]");
  d.r.records.ShowRanking();
  EXPECT_EQ(d.r.dialogs.boxes.at(0).text,
            "1位 Bob\n勝率 .500; 試合数2\n2位 Cid\n勝率 .250; 試合数4\n");

  // The computer's box keeps its text even where a person has taken that name.
  Recorded c;
  c.store.values[{"Pyra3", "Player03"}] = "コンピュータ";
  c.store.values[{"コンピュータ", "Games"}] = "1";
  c.r.options.SetPlayerKind(SideB, true);
  c.r.options.Combo1[1].text = "コンピュータ";
  c.r.Load();
  EXPECT_TRUE(c.Click(0, "コンピュータ "));
  EXPECT_EQ(c.r.Stored({"コンピュータ"}), "Ann,Bob,Cid, -/-/-");
  EXPECT_EQ(c.r.Boxes(), "[Ann: Ann Bob Cid][コンピュータ: Ann Bob Cid][: Ann Bob Cid]");

  Recorded k;
  EXPECT_TRUE(k.Click(1, "Bob"));
  EXPECT_EQ(k.r.Boxes(), "[Ann: Ann Cid][Bob: Ann Cid][: Ann Cid]");
  EXPECT_EQ(k.r.records.SidePlayerIndex, (Sides{0, -1}));
  k.r.records.RecordResult(1);
  EXPECT_EQ(k.r.Stored({"Bob", "Ann"}), "Ann,Cid,Bob, 1/1/0 4/2/2");

  const std::pair<int, const char*> unknown[] = {
      {0, ""}, {0, "Zed"}, {1, "ann"}, {2, "Bob"}, {-1, "Bob"}};
  for (const auto& [index, chosen] : unknown) {
    Recorded u;
    const auto before = u.store.values;
    EXPECT_FALSE(u.Click(index, chosen));
    EXPECT_EQ(u.store.values, before);
    EXPECT_EQ(u.r.Boxes(),
              "[Ann: Ann Bob Cid][Bob: Ann Bob Cid][" + std::string(chosen) + ": Ann Bob Cid]");
  }
}

TEST(Ranking, BestFiveByRateThenGamesThenLaterInTheList) {
  const std::vector<int64_t> rates{5000, 5000, 5000, 6000, 0, 5000}, games{10, 10, 20, 5, 0, 4};
  const RankSlotArray slots = RankSlots(rates, games);
  EXPECT_EQ(slots, (RankSlotArray{5, 0, 1, 2, 3}));
  EXPECT_EQ(RankingText(slots, Names{"P0", "P1", "P2", "P3", "P4", "P5"}, rates, games),
            "1位 P3\n勝率 .600; 試合数5\n2位 P2\n勝率 .500; 試合数20\n3位 P1\n勝率 .500; 試合数10\n"
            "4位 P0\n勝率 .500; 試合数10\n5位 P5\n勝率 .500; 試合数4\n");
  const std::pair<int64_t, const char*> texts[] = {
      {9, " .000"},    {99, " .009"},   {100, " .010"},  {999, " .099"},
      {1000, " .100"}, {9999, " .999"}, {10000, "1.000"}};
  for (const auto& [rate, text] : texts) EXPECT_EQ(FormatWinRate(rate), text) << rate;
}

TEST(Ranking, FourthDigitWhereTheHigherOfTwoEqualRowsHasFewerGames) {
  const std::pair<Names, const char*> cases[] = {
      {{"Ann=3/2/1", "Bob=3/1/2", "Cid=1000/333/667", "Eve=2/0/2"},
       "1位 Ann\n勝率 .666; 試合数3\n2位 Bob\n勝率 .3333; 試合数3\n3位 Cid\n勝率 .3330; "
       "試合数1000\n"
       "4位 Eve\n勝率 .000; 試合数2\n"},
      {{"High=30000/10017/0", "Low=20000/6662/0"},
       "1位 High\n勝率 .333; 試合数30000\n2位 Low\n勝率 .333; 試合数20000\n"},
      {{"A=10000/3339/0", "B=20000/6670/0", "C=30000/9993/0"},
       "1位 A\n勝率 .333; 試合数10000\n2位 B\n勝率 .3335; 試合数20000\n3位 C\n勝率 .3331; "
       "試合数30000\n"},
  };
  for (const auto& [players, text] : cases) {
    MemoryStore store = Listed(players);
    Rig r(store, nullptr, nullptr);
    r.records.ShowRanking();
    EXPECT_EQ(r.dialogs.boxes.at(0).text, text);
  }
}

}  // namespace
}  // namespace pyra
