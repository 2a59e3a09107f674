#include "store/ranking.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace pyra {
namespace {

using Names = std::vector<std::string>;

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

struct Player {
  const char* name;
  int64_t wins;
  int64_t games;
};

// Players in list order, with the ranking made of them.
struct Table {
  Names names;
  std::vector<int64_t> rates;
  std::vector<int64_t> games;
  explicit Table(const std::vector<Player>& players) {
    for (const Player& p : players) {
      names.push_back(p.name);
      rates.push_back(WinRate(p.wins, p.games));
      games.push_back(p.games);
    }
  }
  std::string Text() const { return RankingText(RankSlots(rates, games), names, rates, games); }
  // The names from first place down.
  Names Order() const {
    Names order;
    const RankSlotArray slots = RankSlots(rates, games);
    for (int k = RankCount - 1; k >= 0; --k) {
      if (slots[k] >= 0) order.push_back(names[slots[k]]);
    }
    return order;
  }
};

TEST(Ranking, TheDocumentedExampleLineByLine) {
  const Table t({{"Ann", 2, 3}, {"Bob", 1, 3}, {"Cid", 333, 1000}, {"Eve", 0, 2}});
  EXPECT_EQ(RankSlots(t.rates, t.games), (RankSlotArray{-1, 3, 2, 1, 0}));
  EXPECT_EQ(t.Text(),
            "1位 Ann\n勝率 .666; 試合数3\n2位 Bob\n勝率 .3333; 試合数3\n3位 Cid\n勝率 .3330; "
            "試合数1000\n4位 Eve\n勝率 .000; 試合数2\n");
}

TEST(Ranking, TiesGoByRateThenGamesThenLaterListPosition) {
  const Table t(
      {{"P0", 5, 10}, {"P1", 5, 10}, {"P2", 10, 20}, {"P3", 3, 5}, {"P4", 0, 0}, {"P5", 2, 4}});
  EXPECT_EQ(t.Order(), (Names{"P3", "P2", "P1", "P0", "P5"}));
  // Exactly five rows.
  EXPECT_EQ(t.Text().find("6位"), std::string::npos);
  EXPECT_NE(t.Text().find("5位 P5\n勝率 .500; 試合数4\n"), std::string::npos);
}

TEST(Ranking, OrderDoesNotDependOnTheListOrder) {
  // Distinct players: no tie reaches the list position.
  // Rates: d 10000, f 9000, c and a 7500 (c with more games), g 4000, b 3750, e 0.
  std::vector<Player> players{{"a", 3, 4}, {"b", 3, 8},  {"c", 6, 8}, {"d", 1, 1},
                              {"e", 0, 3}, {"f", 9, 10}, {"g", 2, 5}};
  int permutations = 0;
  const auto byName = [](const Player& x, const Player& y) { return std::string(x.name) < y.name; };
  do {
    ASSERT_EQ(Table(players).Order(), (Names{"d", "f", "c", "a", "g"}));
    ++permutations;
  } while (std::next_permutation(players.begin(), players.end(), byName));
  EXPECT_EQ(permutations, 5040);
}

TEST(Ranking, FourthDigitOnlyWhereTheHigherRowHasFewerGames) {
  const struct {
    const char* name;
    std::vector<Player> players;
    const char* expected;
  } cases[] = {
      {"equal thousandths, the higher row with fewer games",
       {{"High", 3339, 10000}, {"Low", 6662, 20000}},
       "1位 High\n勝率 .3339; 試合数10000\n2位 Low\n勝率 .3331; 試合数20000\n"},
      {"equal thousandths, the higher row with more games",
       {{"High", 10017, 30000}, {"Low", 6662, 20000}},
       "1位 High\n勝率 .333; 試合数30000\n2位 Low\n勝率 .333; 試合数20000\n"},
      {"equal rates keep three digits",
       {{"A", 1, 3}, {"B", 2, 6}},
       "1位 B\n勝率 .333; 試合数6\n2位 A\n勝率 .333; 試合数3\n"},
      {"no text gets a second digit, and a longer text matches no neighbour",
       {{"A", 3339, 10000}, {"B", 6670, 20000}, {"C", 9993, 30000}},
       "1位 A\n勝率 .333; 試合数10000\n2位 B\n勝率 .3335; 試合数20000\n3位 C\n勝率 .3331; "
       "試合数30000\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Table(c.players).Text(), c.expected);
  }
}

}  // namespace
}  // namespace pyra
