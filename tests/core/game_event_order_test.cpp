// Long random sequences of clicks, keys, menu commands, clock ticks and message-box
// answers, some of them arriving while the game itself is busy (inside a message box or
// while a new board is being set up). After every event the game must be consistent.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "game_fakes.h"

namespace pyra::testing {
namespace {

class EventStorm {
 public:
  explicit EventStorm(uint32_t seed) : random_(seed) { NewProgram(); }

  // A fresh run of the program, with random settings.
  void NewProgram() {
    rig_ = std::make_unique<GameRig>();
    rig_->rng.Seed(random_());
    rig_->SetPlayers(Chance(0.3), Chance(0.6));
    rig_->options.SelectSeriesFormat(Below(11));
    rig_->options.Check1[3] = Chance(0.5) ? Checked : Unchecked;
    rig_->options.Option3 =
        Chance(0.5) ? std::array<bool, 2>{true, false} : std::array<bool, 2>{false, true};
    Resize();
    rig_->screen.pendingEvents = [this] { Nested(); };
    rig_->dialogs.whileOpen = [this] { Nested(); };
    rig_->shell.onOptionsDialog = [this] {
      if (Chance(0.5)) rig_->game.RestartFromSettings();
    };
  }

  void Run(int events) {
    rig_->game.Form_Load(false, true);
    Check("start-up");
    for (int i = 0; i < events && !HasFailure(); ++i) {
      ScriptAnswers();
      if (rig_->game.closing) {
        // The program has ended: a late event must change nothing; then start it again.
        const GameState before = rig_->state;
        FireEvent();
        EXPECT_EQ(rig_->state.Board, before.Board);
        EXPECT_EQ(rig_->state.Turn, before.Turn);
        EXPECT_FALSE(rig_->comtimer.Enabled() || rig_->mantimer.Enabled());
        games += Games();
        ++programs;
        NewProgram();
        rig_->game.Form_Load(false, true);
        Check("restart");
        continue;
      }
      ++liveEvents;
      const std::string what = FireEvent();
      Check("event " + std::to_string(i) + " (" + what + ")");
    }
  }

  static bool HasFailure() { return ::testing::Test::HasFailure(); }

 private:
  bool Chance(double p) { return std::uniform_real_distribution<>(0, 1)(random_) < p; }
  int Below(int n) { return std::uniform_int_distribution<>(0, n - 1)(random_); }

  void Resize() {
    rig_->screen.clientWidth = (1 + Below(Chance(0.8) ? 3 : 12)) * 32 + Below(32) - 15;
    rig_->screen.clientHeight = (1 + Below(Chance(0.8) ? 3 : 10)) * 32 + Below(32) - 15;
  }

  void ScriptAnswers() {
    rig_->dialogs.answers.clear();
    for (int i = 0; i < 4; ++i) {
      // Mostly Yes, so that series go on; a No ends a series or the program.
      rig_->dialogs.answers.push_back(Chance(0.99) ? MsgAnswer::Yes : MsgAnswer::No);
    }
  }

  // An event of the kind a window could deliver at any moment.
  std::string FireEvent() {
    Game& g = rig_->game;
    const int kind = Below(100);
    if (kind < 30) {
      if (rig_->comtimer.Enabled()) g.comtimer_Timer();
      return "computer tick";
    }
    if (kind < 50) {
      if (rig_->mantimer.Enabled()) g.mantimer_Timer();
      return "person tick";
    }
    if (kind < 70) {
      const int x = Below(rig_->screen.clientWidth + 40) - 20;
      const int y = Below(rig_->screen.clientHeight + 40) - 20;
      g.Form_MouseUp(Chance(0.9) ? MouseButton::Left : MouseButton::Right, x, y);
      return "click " + std::to_string(x) + "," + std::to_string(y);
    }
    if (kind < 76) {
      g.HandleKeyUp(KeySpace);
      return "space";
    }
    if (kind < 79) {
      g.HandleKeyUp(Chance(0.02) ? KeyEscape : 65);
      return "key";
    }
    if (kind < 83) {
      g.NewGame_Click();
      return "new game";
    }
    if (kind < 88) {
      g.pause_Click();
      return "pause";
    }
    if (kind < 90) {
      g.gameset_Click();
      return "settings";
    }
    if (kind < 93) {
      if (Chance(0.5)) {
        g.Form_LostFocus();
      } else {
        g.Form_GotFocus();
      }
      return "focus";
    }
    if (kind < 96) {
      if (Chance(0.5)) {
        g.Form_Minimised();
      } else {
        g.Form_Restored();
      }
      return "minimise/restore";
    }
    if (kind < 98) {
      Resize();
      return "resize";
    }
    if (Chance(0.05)) {
      g.ExitGame_Click();
      return "exit";
    }
    g.about_Click();
    return "about";
  }

  // Events delivered while the game is inside a message box or setting up a board.
  void Nested() {
    if (depth_ > 2 || !Chance(0.3)) return;
    ++depth_;
    const bool insideMove = rig_->game.InMove();
    if (insideMove) ++nestedInMove_;
    const size_t paintsBefore = rig_->screen.paints.size();
    FireEvent();
    if (insideMove) {
      // A move started from inside another move would draw a placed piece's frames.
      for (size_t i = paintsBefore; i < rig_->screen.paints.size(); ++i) {
        const int step = rig_->screen.paints[i].step;
        EXPECT_FALSE(step == 4 || step == 8 || step == 12) << "a second move inside a move";
      }
      --nestedInMove_;
    }
    --depth_;
  }

  void Check(const std::string& where) {
    SCOPED_TRACE(where);
    const GameState& s = rig_->state;
    const Game& g = rig_->game;
    ASSERT_TRUE(s.Turn == SideA || s.Turn == SideB || s.Turn == TurnNone) << s.Turn;
    const int running = rig_->comtimer.Enabled() + rig_->mantimer.Enabled();
    if (s.DemoMode) {
      EXPECT_FALSE(rig_->mantimer.Enabled());
    } else {
      EXPECT_LE(running, 1);
    }
    if (g.Paused() || s.Turn == TurnNone || g.closing) {
      EXPECT_EQ(running, 0);
    }
    if (g.Paused()) {
      EXPECT_FALSE(g.newGameVisible);
    }
    EXPECT_FALSE(g.InMove());
    ASSERT_GE(s.BoardCols, 0);
    ASSERT_LE(s.BoardCols, 50);
    ASSERT_LE(s.BoardRows, 50);
    bool full = true;
    for (int i = 0; i < s.CellCount(); ++i) {
      const int16_t c = s.Board[i];
      ASSERT_TRUE(c == Empty || c == Fire || c == Oil || c == Water || c == Blocked)
          << "cell " << i << " holds " << c;
      if (c == Empty) full = false;
    }
    const auto& q = s.PieceQueue;
    if (q[0] || q[1] || q[2]) {
      EXPECT_TRUE(q[2] >= 1 && q[2] <= 4) << q[2];
      for (int i : {0, 1}) EXPECT_TRUE(q[i] >= 1 && q[i] <= 6 && q[i] != 5) << q[i];
    }
    if (s.Turn != TurnNone && !g.closing) {
      EXPECT_LE(std::abs(s.Score[0] - s.Score[1]), 20) << "a game runs on past its end";
      EXPECT_FALSE(full) << "a game runs on a full board";
    }
  }

 public:
  int liveEvents = 0;
  int programs = 1;
  int games = 0;
  int Games() const { return static_cast<int>(rig_->records.results.size()); }
  int Paints() const { return static_cast<int>(rig_->screen.paints.size()); }

 private:
  std::unique_ptr<GameRig> rig_;
  std::mt19937 random_;
  int depth_ = 0;
  int nestedInMove_ = 0;
};

TEST(EventOrder, RandomEventsNeverLeaveTheGameInconsistent) {
  int totalGames = 0;
  int totalLive = 0;
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed) +
                 " (the storm is deterministic: rerun this test to reproduce)");
    EventStorm storm(seed);
    storm.Run(3000);
    totalGames += storm.games + storm.Games();
    totalLive += storm.liveEvents;
    if (EventStorm::HasFailure()) break;
  }
  // The storm must really play: many events reach a running program and games end.
  EXPECT_GT(totalLive, 150000);
  EXPECT_GT(totalGames, 500);
}

}  // namespace
}  // namespace pyra::testing
