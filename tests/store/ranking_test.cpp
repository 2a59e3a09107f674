#include "store/ranking.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace pyra {
namespace {

TEST(Ranking, FormatWinRate) {
  const struct {
    int64_t rate;
    const char* text;
  } cases[] = {
      {0, " .000"},    {9, " .000"},    {80, " .008"},   {99, " .009"},
      {100, " .010"},  {500, " .050"},  {999, " .099"},  {1000, " .100"},
      {3333, " .333"}, {6666, " .666"}, {9999, " .999"}, {10000, "1.000"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatWinRate(c.rate), c.text) << c.rate;
}

TEST(Ranking, WinRateDropsTheFractionAndNeverOverflows) {
  EXPECT_EQ(WinRate(2, 3), 6666);
  EXPECT_EQ(WinRate(1, 3), 3333);
  EXPECT_EQ(WinRate(0, 0), 0);
  EXPECT_EQ(WinRate(5, 5), 10000);
  EXPECT_EQ(WinRate(40000, 80000), 5000);
  EXPECT_EQ(WinRate(50'000'000'001, 100'000'000'000), 5000);
  EXPECT_EQ(WinRate(100'000'000'000'000, 100'000'000'000'001), 9999);
}

struct Table {
  std::vector<std::string> names;
  std::vector<int64_t> rates;
  std::vector<int64_t> games;
  void Add(const std::string& name, int64_t wins, int64_t played) {
    names.push_back(name);
    rates.push_back(WinRate(wins, played));
    games.push_back(played);
  }
  std::string Text() const { return RankingText(RankSlots(rates, games), names, rates, games); }
  // The names from first place down.
  std::vector<std::string> Order() const {
    std::vector<std::string> order;
    const RankSlotArray slots = RankSlots(rates, games);
    for (int k = RankCount - 1; k >= 0; --k) {
      if (slots[k] >= 0) order.push_back(names[slots[k]]);
    }
    return order;
  }
};

TEST(Ranking, TheDocumentedExampleLineByLine) {
  Table t;
  t.Add("Ann", 2, 3);
  t.Add("Bob", 1, 3);
  t.Add("Cid", 333, 1000);
  t.Add("Eve", 0, 2);
  EXPECT_EQ(RankSlots(t.rates, t.games), (RankSlotArray{-1, 3, 2, 1, 0}));
  EXPECT_EQ(t.Text(),
            "1位 Ann\n"
            "勝率 .666; 試合数3\n"
            "2位 Bob\n"
            "勝率 .3333; 試合数3\n"
            "3位 Cid\n"
            "勝率 .3330; 試合数1000\n"
            "4位 Eve\n"
            "勝率 .000; 試合数2\n");
}

TEST(Ranking, TiesGoByRateThenGamesThenLaterListPosition) {
  Table t;
  t.Add("P0", 5, 10);
  t.Add("P1", 5, 10);
  t.Add("P2", 10, 20);
  t.Add("P3", 3, 5);
  t.Add("P4", 0, 0);
  t.Add("P5", 2, 4);
  EXPECT_EQ(t.Order(), (std::vector<std::string>{"P3", "P2", "P1", "P0", "P5"}));
  // Exactly five rows.
  EXPECT_EQ(t.Text().find("6位"), std::string::npos);
  EXPECT_NE(t.Text().find("5位 P5\n勝率 .500; 試合数4\n"), std::string::npos);
}

TEST(Ranking, OrderDoesNotDependOnTheListOrder) {
  // Distinct players: no tie reaches the list position.
  const struct {
    const char* name;
    int64_t wins;
    int64_t games;
  } players[] = {{"a", 3, 4}, {"b", 3, 8},  {"c", 6, 8}, {"d", 1, 1},
                 {"e", 0, 3}, {"f", 9, 10}, {"g", 2, 5}};
  std::vector<int> order(std::size(players));
  std::iota(order.begin(), order.end(), 0);
  // Rates: d 10000, f 9000, c and a 7500 (c with more games), g 4000, b 3750, e 0.
  const std::vector<std::string> expected{"d", "f", "c", "a", "g"};
  int permutations = 0;
  do {
    Table t;
    for (int i : order) t.Add(players[i].name, players[i].wins, players[i].games);
    ASSERT_EQ(t.Order(), expected);
    ++permutations;
  } while (std::next_permutation(order.begin(), order.end()));
  EXPECT_EQ(permutations, 5040);
}

TEST(Ranking, FourthDigitOnlyWhereTheHigherRowHasFewerGames) {
  {
    Table t;  // equal thousandths, the higher row with fewer games
    t.Add("High", 3339, 10000);
    t.Add("Low", 6662, 20000);
    EXPECT_EQ(t.Text(), "1位 High\n勝率 .3339; 試合数10000\n2位 Low\n勝率 .3331; 試合数20000\n");
  }
  {
    Table t;  // equal thousandths, the higher row with more games
    t.Add("High", 10017, 30000);
    t.Add("Low", 6662, 20000);
    EXPECT_EQ(t.Text(), "1位 High\n勝率 .333; 試合数30000\n2位 Low\n勝率 .333; 試合数20000\n");
  }
  {
    Table t;  // equal rates keep three digits
    t.Add("A", 1, 3);
    t.Add("B", 2, 6);
    EXPECT_EQ(t.Text(), "1位 B\n勝率 .333; 試合数6\n2位 A\n勝率 .333; 試合数3\n");
  }
  {
    Table t;  // no text gets a second digit, and a longer text matches no neighbour
    t.Add("A", 3339, 10000);
    t.Add("B", 6670, 20000);
    t.Add("C", 9993, 30000);
    EXPECT_EQ(t.Text(),
              "1位 A\n勝率 .333; 試合数10000\n"
              "2位 B\n勝率 .3335; 試合数20000\n"
              "3位 C\n勝率 .3331; 試合数30000\n");
  }
}

}  // namespace
}  // namespace pyra
