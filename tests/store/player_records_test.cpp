#include "store/player_records.h"

#include <gtest/gtest.h>

#include <sstream>

#include "game_fakes.h"
#include "store/ranking.h"
#include "store_test_support.h"

namespace pyra {
namespace {

using Names = std::vector<std::string>;
using Sides = std::array<int16_t, 2>;

// A run's records over a store that lists these players in order, each "name=games/win/lost"
// or a bare name (listed without a record); sides A and B human under these names (nullptr:
// the computer).
struct Rig {
  Rig(const Names& players, const char* a, const char* b) {
    for (size_t i = 0; i < players.size(); ++i) {
      const size_t eq = players[i].find('=');
      const std::string name = players[i].substr(0, eq);
      store.values[{"Pyra3", ListKey(static_cast<int>(i))}] = name;
      std::istringstream counts(players[i].substr(eq + 1));
      for (const char* key : {"Games", "Win", "Lost"}) {
        if (eq != std::string::npos) std::getline(counts, store.values[{name, key}], '/');
      }
    }
    Start(a, b);
  }
  void Start(const char* a, const char* b) {  // as the start-up load does
    options.SetPlayerKind(0, a == nullptr), options.SetPlayerKind(1, b == nullptr);
    options.Combo1[0].text = a != nullptr ? a : "コンピュータ";
    options.Combo1[1].text = b != nullptr ? b : "コンピュータ";
    records.LoadPlayerList();
    const auto& list = records.PlayerList;
    for (NameBox& box : options.Combo1)
      box.list.assign(list.begin(), list.begin() + records.PlayerCount);
  }
  // The list keys up to the first gap, and each name's games/win/lost as stored.
  std::string Stored(const Names& names) const {
    std::string s;
    for (int i = 0; store.Get("Pyra3", ListKey(i)) != "-"; ++i)
      s += store.Get("Pyra3", ListKey(i)) + ",";
    for (const std::string& n : names) {
      s += " " + store.Get(n, "Games") + "/" + store.Get(n, "Win") + "/" + store.Get(n, "Lost");
    }
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
  testing::MemoryStore store;
  GameOptions options;
  testing::FakeDialogs dialogs;
  PlayerRecords records{store, options, dialogs};
};

TEST(PlayerRecords, FirstWinOnAnEmptyStore) {
  EXPECT_EQ(ListKey(9) + ListKey(10), "Player09Player10");
  Rig r({}, "Player A", nullptr);
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
  EXPECT_EQ(r.Stored({"Player A"}) + " " + std::to_string(r.store.values.size()),
            "Player A, 1/1/0 4");
  EXPECT_EQ(r.Boxes(), "[Player A: Player A][コンピュータ: Player A][: Player A]");
  // Neither the computer nor an empty name is recorded.
  Rig nobody({}, nullptr, nullptr);
  for (int16_t result : {0, 1, -1}) nobody.records.RecordResult(result);
  nobody.Start("", "   ");
  nobody.records.RecordResult(0);
  EXPECT_TRUE(nobody.store.values.empty());
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
    Rig r({std::string("Ann=") + c.ann, "Bob=2/1/1"}, "Ann", c.b);
    r.records.RecordResult(c.result);
    EXPECT_EQ(r.Stored({"Ann", "Bob"}), std::string("Ann,Bob, ") + c.stored);
    EXPECT_EQ(r.records.SidePlayerIndex, (Sides{0, int16_t(c.b[0] == 'B')}));
    for (int run = 0; run < 2; ++run, r.Start(nullptr, nullptr)) {  // the next run reads the same
      EXPECT_EQ((std::array{r.records.PlayerRate[0], r.records.PlayerRate[1]}), c.rates)
          << c.stored;
    }
  }
}

TEST(PlayerRecords, NamesAreKeptAsTheyReadBack) {
  std::string name;
  for (int i = 0; i < 256; ++i) name += "名";
  const std::string cut = name.substr(0, 3 * 255);
  Rig r({}, "Ann  ", name.c_str());
  for (int game = 0; game < 2; ++game, r.Start("Ann ", (cut + "  ").c_str()))
    r.records.RecordResult(0);
  EXPECT_EQ(r.Stored({"Ann", cut}), "Ann," + cut + ", 2/2/0 2/0/2");
  EXPECT_EQ(r.records.SidePlayerIndex, (Sides{0, 1}));
}

TEST(PlayerRecords, NamesWithoutARecordLeaveTheListAndStartAfresh) {
  // Bob's and Dan's records were cleared; Ann is listed twice.
  Rig r({"Ann=3/2/0", "Bob", "Cid=4/1/3", "Ann", "Dan"}, "Bob", "Cid");
  EXPECT_EQ(r.Boxes(), "[Bob: Ann Cid][Cid: Ann Cid][: Ann Cid]");
  EXPECT_EQ(r.Stored({}) + std::to_string(r.store.values.size()), "Ann,Cid,8");
  EXPECT_EQ(r.records.SidePlayerIndex, (Sides{-1, 1}));
  r.records.RecordResult(0);
  EXPECT_EQ(r.Stored({"Bob", "Cid"}), "Ann,Cid,Bob, 1/1/0 5/1/4");
}

TEST(PlayerRecords, ListKeysAreNeverWrittenOver) {
  // When the list cannot be mended, no name is added to it or taken from it.
  Rig r({"Ann=3/2/0", "Cid=4/1/3"}, nullptr, nullptr);
  r.store.values[{"Pyra3", "Player01"}] = "Bob", r.store.values[{"Pyra3", "Player02"}] = "Cid";
  r.store.failWrites = true;
  r.Start("Eve", "Ann");
  r.store.failWrites = false;
  r.records.RecordResult(0);
  r.options.Combo1[2].text = "Cid";
  EXPECT_FALSE(r.records.Command2_Click(0));
  EXPECT_EQ(r.Stored({"Ann", "Eve"}), "Ann,Bob,Cid, 4/2/1 -/-/-");
  // A key taken behind the list's back is left alone.
  Rig t({"Ann=3/2/0"}, "Ann", "Cid");
  t.store.values[{"Pyra3", "Player01"}] = "Intruder";
  t.records.RecordResult(1);
  EXPECT_EQ(t.Stored({"Ann", "Cid"}), "Ann,Intruder, 4/2/1 -/-/-");
  // A hundred names fill the list.
  Names players;
  for (int i = 0; i < 98; ++i) players.push_back("P" + std::to_string(i) + "=1/0/1");
  Rig full(players, "New98", "New99");
  full.records.RecordResult(-1);
  full.Start("Zed", "P50");
  EXPECT_TRUE(full.records.ListFull());
  full.records.RecordResult(0);
  const std::string stored = full.Stored({"New99", "Zed", "P50"});
  EXPECT_EQ(stored.substr(stored.find("P97,")), "P97,New98,New99, 1/0/0 -/-/- 2/0/2");
  EXPECT_EQ(full.records.SidePlayerIndex, (Sides{-1, 50}));
}

TEST(PlayerRecords, DeletingAndClearing) {
  const struct {
    int index;
    const char *chosen, *b;
    bool done;
    const char *stored, *boxes;
  } cases[] = {
      {0, "Ann", "Ann", true, "Bob,コンピュータ, -/-/-",
       "[Player A: Bob コンピュータ][Player B: Bob コンピュータ][: Bob コンピュータ]"},
      // The computer's box keeps its text even where a person has taken that name.
      {0, "コンピュータ ", nullptr, true, "Ann,Bob, -/-/-",
       "[Ann: Ann Bob][コンピュータ: Ann Bob][: Ann Bob]"},
      {1, "Bob", "Bob", true, "Ann,コンピュータ, -/-/-",
       "[Ann: Ann コンピュータ][Bob: Ann コンピュータ][: Ann コンピュータ]"},
      {1, "ann", "Bob", false, "Ann,Bob,コンピュータ, -/-/-",
       "[Ann: Ann Bob コンピュータ][Bob: Ann Bob コンピュータ][ann: Ann Bob コンピュータ]"},
      {2, "Bob", "Bob", false, "Ann,Bob,コンピュータ, 2/1/1",
       "[Ann: Ann Bob コンピュータ][Bob: Ann Bob コンピュータ][Bob: Ann Bob コンピュータ]"},
      {-1, "Ann", "Bob", false, "Ann,Bob,コンピュータ, 3/2/1",
       "[Ann: Ann Bob コンピュータ][Bob: Ann Bob コンピュータ][Ann: Ann Bob コンピュータ]"},
  };
  for (const auto& c : cases) {
    Rig r({"Ann=3/2/1", "Bob=2/1/1", "コンピュータ=1/0/1"}, "Ann", c.b);
    r.options.Combo1[2].text = c.chosen;
    EXPECT_EQ(r.records.Command2_Click(c.index), c.done) << c.chosen;
    EXPECT_EQ(r.Stored({c.chosen}), c.stored);
    EXPECT_EQ(r.Boxes(), c.boxes);
  }
}

TEST(Ranking, BestFiveByRateThenGamesThenLaterInTheList) {
  const std::vector<int64_t> rates{5000, 5000, 5000, 6000, 0, 5000}, games{10, 10, 20, 5, 0, 4};
  EXPECT_EQ(RankSlots(rates, games), (RankSlotArray{5, 0, 1, 2, 3}));
  // Four digits where two neighbouring rows agree to three and the higher has fewer games.
  const std::pair<Names, const char*> cases[] = {
      {{"P0=10/5/0", "P1=10/5/0", "P2=20/10/0", "P3=5/3/0", "P4=0/0/0", "P5=4/2/0"},
       "1位 P3\n勝率 .600; 試合数5\n2位 P2\n勝率 .500; 試合数20\n3位 P1\n勝率 .500; 試合数10\n"
       "4位 P0\n勝率 .500; 試合数10\n5位 P5\n勝率 .500; 試合数4\n"},
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
    Rig r(players, nullptr, nullptr);
    r.records.ShowRanking();
    EXPECT_EQ(r.dialogs.boxes.at(0).text, text);
  }
  // clang-format off
  const std::pair<int64_t, const char*> texts[] = {
      {9, " .000"}, {99, " .009"}, {100, " .010"}, {999, " .099"}, {1000, " .100"}, {10000, "1.000"}};
  // clang-format on
  for (const auto& [rate, text] : texts) EXPECT_EQ(FormatWinRate(rate), text) << rate;
}

}  // namespace
}  // namespace pyra
