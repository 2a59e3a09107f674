// Long random runs of clicks, keys, menu commands, ticks and message-box answers, some while the
// game is busy (in a message box or setting up a board); after each event it must be consistent.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "game_fakes.h"

namespace pyra::testing {
namespace {

class EventStorm {
 public:
  explicit EventStorm(uint32_t seed) : random_(seed) { NewProgram(); }

  void NewProgram() {  // a fresh run of the program, with random settings
    rig_ = std::make_unique<GameRig>();
    rig_->rng.Seed(random_());
    rig_->SetPlayers(Chance(0.3), Chance(0.6));
    rig_->settings.series = SeriesFormat::FromNumber(Below(SeriesFormat::Count));
    rig_->settings.Set(Switch::OpeningDemo, Chance(0.5));
    rig_->settings.level = Chance(0.5) ? Level::Automatic : Level::Strongest;
    Resize();
    rig_->screen.pendingEvents = rig_->dialogs.whileOpen = [this] { Nested(); };
    rig_->shell.onModal = [this] {
      if (Chance(0.5)) rig_->game.RestartFromSettings();
    };
    rig_->game.Start(false, true);
    Check("start-up");
  }

  void Run(int events) {
    for (int i = 0; i < events && !::testing::Test::HasFailure(); ++i) {
      rig_->dialogs.answers.clear();
      for (int k = 0; k < 4; ++k)  // mostly Yes, so series go on; a No ends a series or the program
        rig_->dialogs.answers.push_back(Chance(0.99) ? MsgAnswer::Yes : MsgAnswer::No);
      if (rig_->game.Closing()) {
        // The program has ended: a late event changes nothing; then it is started again.
        const auto board = rig_->state.board;
        FireEvent();
        EXPECT_EQ(std::tuple(rig_->state.board, rig_->Clocks()), std::tuple(board, "none"));
        games += static_cast<int>(rig_->records.results.size());
        NewProgram();
        continue;
      }
      ++liveEvents;
      const std::string what = FireEvent();
      Check("event " + std::to_string(i) + " (" + what + ")");
    }
    games += static_cast<int>(rig_->records.results.size());
  }

  int liveEvents = 0, games = 0;

 private:
  bool Chance(double p) { return std::uniform_real_distribution<>(0, 1)(random_) < p; }
  int Below(int n) { return std::uniform_int_distribution<>(0, n - 1)(random_); }

  void Resize() {
    rig_->screen.clientWidth = (1 + Below(Chance(0.8) ? 3 : 12)) * 32 + Below(32) - 15;
    rig_->screen.clientHeight = (1 + Below(Chance(0.8) ? 3 : 10)) * 32 + Below(32) - 15;
  }

  std::string FireEvent() {  // one a window could deliver at any moment
    Game& g = rig_->game;
    const int kind = Below(100);
    ++moving_;  // ticks and clicks may move: what they let happen meanwhile must not move too
    std::string what;
    if (kind < 30 && rig_->computerClock.Enabled()) g.OnComputerClock(), what = "computer tick";
    if (kind >= 30 && kind < 50 && rig_->humanClock.Enabled()) g.OnHumanClock(), what = "tick";
    if (kind >= 50 && kind < 70) {
      const int x = Below(rig_->screen.clientWidth + 40) - 20;
      const int y = Below(rig_->screen.clientHeight + 40) - 20;
      g.OnMouseRelease(Chance(0.9) ? MouseButton::Left : MouseButton::Right, x, y);
      what = "click " + std::to_string(x) + "," + std::to_string(y);
    }
    --moving_;
    if (kind < 70) return what;
    if (kind < 76) return g.OnKey(32), "space";
    if (kind < 78) return g.OnKey(Chance(0.02) ? 27 : Chance(0.5) ? KeyReturn : 65), "key";
    if (kind < 79) return g.OnArrow(static_cast<Arrow>(Below(4))), "arrow";
    if (kind < 83) return g.OnNewGame(), "new game";
    if (kind < 88) return g.OnPause(), "pause";
    if (kind < 90) return g.OnSettings(), "settings";
    if (kind < 93) return Chance(0.5) ? g.OnFocusLost() : g.OnFocusBack(), "focus";
    if (kind < 96) return Chance(0.5) ? g.OnMinimised() : g.OnRestored(), "minimise";
    if (kind < 98) return Resize(), "resize";
    if (Chance(0.05)) return g.OnExit(), "exit";
    return g.OnAbout(), "about";
  }

  void Nested() {  // events while the game is in a message box or setting up a board
    if (depth_ > 2 || !Chance(0.3)) return;
    ++depth_;
    const bool insideMove = moving_ > 0;
    const size_t paintsBefore = rig_->screen.steps.size();
    FireEvent();
    // A move started inside another move would draw a placed piece's frames.
    for (size_t i = paintsBefore; insideMove && i < rig_->screen.steps.size(); ++i) {
      const int step = rig_->screen.steps[i];
      EXPECT_FALSE(step == 4 || step == 8 || step == 12)
          << "a second move inside a move: placement step " << step;
    }
    --depth_;
  }

  void Check(const std::string& where) {
    SCOPED_TRACE(where);
    const GameState& s = rig_->state;
    const Game& g = rig_->game;
    ASSERT_TRUE(s.turn == SideA || s.turn == SideB || s.turn == TurnNone) << s.turn;
    const std::string clocks = rig_->Clocks();
    EXPECT_NE(clocks, "both");
    EXPECT_FALSE(s.demoMode && clocks == "man") << "a person's clock in the demo";
    if (g.Paused() || s.turn == TurnNone || g.Closing()) {
      EXPECT_EQ(clocks, "none") << "paused " << g.Paused() << ", turn " << s.turn << ", closing "
                                << g.Closing();
    }
    EXPECT_FALSE(g.InMove());
    EXPECT_EQ(g.FocusCell().has_value(), clocks == "man") << "the keyboard's frame";
    ASSERT_LE(std::max(s.boardCols, s.boardRows), 50) << s.boardCols << "x" << s.boardRows;
    bool full = true;
    for (int i = 0; i < s.CellCount(); ++i) {
      const int16_t c = s.board[i];
      ASSERT_TRUE(c == Empty || c == Fire || c == Oil || c == Water || c == Blocked)
          << "cell " << i << " holds " << c;
      full = full && c != Empty;
    }
    const auto& q = s.pieceQueue;
    if (q[0] || q[1] || q[2]) {
      EXPECT_TRUE(q[2] >= Fire && q[2] <= Truck) << "the current piece " << q[2];
      for (int i : {0, 1}) {
        EXPECT_TRUE(q[i] >= Fire && q[i] <= HeldTruck && q[i] != Blocked)
            << "queue entry " << i << " holds " << q[i];
      }
    }
    if (s.turn != TurnNone && !g.Closing()) {
      EXPECT_LE(std::abs(s.score[0] - s.score[1]), 20) << "a game runs on past its end";
      EXPECT_FALSE(full) << "a game runs on a full board";
    }
  }

  std::unique_ptr<GameRig> rig_;
  std::mt19937 random_;
  int depth_ = 0, moving_ = 0;
};

TEST(EventOrder, RandomEventsNeverLeaveTheGameInconsistent) {
  int games = 0, live = 0;
  for (uint32_t seed = 1; seed <= 60 && !::testing::Test::HasFailure(); ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " (deterministic: rerun to reproduce)");
    EventStorm storm(seed);
    storm.Run(3000);
    games += storm.games, live += storm.liveEvents;
  }
  // The storm must really play: many events reach a running program and games end.
  EXPECT_GT(live, 150000);
  EXPECT_GT(games, 500);
}

}  // namespace
}  // namespace pyra::testing
