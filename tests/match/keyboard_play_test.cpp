// Keyboard play: the focus cell the arrows move, where and when it is framed, and Return
// placing there exactly as a left-button release on that cell does.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "game_fakes.h"

namespace pyra::testing {
namespace {

using Texts = std::vector<std::string>;

// A person (A) against the computer (B) on an 8 x 6 board, a game running.
struct Rig : GameRig {
  Rig() {
    SetBoard(8, 6);
    game.Start(false, true);
    game.OnNewGame();
  }
  std::string Focus() const {
    const std::optional<Cell> cell = game.FocusCell();
    if (!cell) return "none";
    std::ostringstream out;
    out << cell->column << "," << cell->row;
    return out.str();
  }
  void Arrows(const std::string& keys) {
    for (char k : keys) {
      game.OnArrow(k == 'L'   ? Arrow::Left
                   : k == 'R' ? Arrow::Right
                   : k == 'U' ? Arrow::Up
                              : Arrow::Down);
    }
  }
  std::string Board() const {
    std::ostringstream out;
    for (int i = 0; i < state.CellCount(); ++i) out << state.board[i] << ' ';
    out << "turn " << state.turn;
    return out.str();
  }
  // All a player sees and hears of the game, for comparing two of them.
  std::string Seen() const {
    std::ostringstream out;
    out << Board() << " | " << state.score[0] << ' ' << state.score[1] << " turn " << state.turn;
    for (int16_t piece : state.pieceQueue) out << ' ' << piece;
    out << " | " << screen.caption << " | " << screen.message << " | " << Clocks();
    for (const std::string& c : screen.captions) out << " / " << c;
    out << " | cues " << sound.cues.size() << " | steps " << screen.steps.size();
    return out.str();
  }
};

TEST(KeyboardPlay, ReturnOnTheFocusCellGivesTheSameGameAsAClickThere) {
  // Arrows from the centre (4,3), then Return; the other game clicks the same cell. The
  // third move aims at an occupied cell, which both refuse.
  const struct {
    std::string arrows;
    int column, row;
    bool taken;
  } moves[] = {{"", 4, 3, false},
               {"LLLUUU", 1, 0, false},
               {"RRR", 4, 0, true},
               {"DDDDDDDDRRRRRRR", 7, 5, false}};
  Rig keys, mouse;
  for (Rig* rig : {&keys, &mouse}) {
    std::fill_n(rig->state.board.begin(), rig->state.CellCount(), Empty);
    rig->state.board[4 * 6 + 0] = Blocked;  // a cell no reaction clears
  }
  for (const auto& m : moves) {
    SCOPED_TRACE(m.arrows);
    keys.Arrows(m.arrows);
    ASSERT_EQ(keys.Focus(), std::to_string(m.column) + "," + std::to_string(m.row));
    keys.game.OnKey(KeyReturn);
    mouse.game.OnMouseRelease(MouseButton::Left, m.column * CellPixels + 9,
                              m.row * CellPixels + 30);
    EXPECT_EQ(keys.Seen(), mouse.Seen());
    EXPECT_EQ(keys.state.turn, m.taken ? SideA : SideB) << "the turn passes unless refused";
    EXPECT_EQ(keys.game.NewGameGuarded(), mouse.game.NewGameGuarded());
    // The computer answers in both games alike.
    keys.game.OnComputerClock(), mouse.game.OnComputerClock();
    EXPECT_EQ(keys.Seen(), mouse.Seen());
  }
}

TEST(KeyboardPlay, TheFrameShowsOnlyWhileAPersonIsToMove) {
  Rig rig;
  EXPECT_EQ(rig.Focus(), "4,3") << "the board's centre first";
  rig.Arrows("LLLLLLLUUUUUUU");
  EXPECT_EQ(rig.Focus(), "0,0") << "the edges stop it";
  rig.Arrows("R");
  rig.game.OnKey(KeyReturn);
  EXPECT_EQ(rig.Focus(), "none") << "the computer's move";
  rig.game.OnArrow(Arrow::Down);
  rig.game.OnKey(KeyReturn);
  rig.game.OnComputerClock();
  EXPECT_EQ(rig.Focus(), "1,0") << "kept from the last move; arrows did nothing meanwhile";

  const struct {
    const char* hold;
    std::function<void(Game&)> begin, end;
  } holds[] = {
      {"pause", [](Game& g) { g.OnPause(); }, [](Game& g) { g.OnPause(); }},
      {"focus elsewhere", [](Game& g) { g.OnFocusLost(); }, [](Game& g) { g.OnFocusBack(); }},
      {"minimised", [](Game& g) { g.OnMinimised(); }, [](Game& g) { g.OnRestored(); }},
      {"modal window", [](Game& g) { g.SuspendClocks(); }, [](Game& g) { g.ResumeClocks(); }},
  };
  for (const auto& h : holds) {
    SCOPED_TRACE(h.hold);
    const std::string before = rig.Board();
    h.begin(rig.game);
    EXPECT_EQ(rig.Focus(), "none");
    rig.Arrows("DD");
    rig.game.OnKey(KeyReturn);
    EXPECT_EQ(rig.Board(), before) << "nothing placed while held";
    h.end(rig.game);
    EXPECT_EQ(rig.Focus(), "1,0");
  }
  EXPECT_EQ(rig.screen.focusCells.back(), (Cell{1, 0})) << "the screen frames what the game holds";

  // A smaller board keeps the cell on it, and there it stays; the demo and a finished game
  // show none.
  rig.Arrows("RRRRRRRDDDDD");
  rig.SetBoard(3, 2);
  rig.game.OnNewGame();
  EXPECT_EQ(rig.Focus(), "2,1");
  rig.SetBoard(8, 6);
  rig.game.OnMouseRelease(MouseButton::Right, 0, 0);  // lets a new game be asked for again
  rig.game.OnNewGame();
  EXPECT_EQ(rig.Focus(), "2,1") << "where it was last shown";

  GameRig ended;  // a 1 x 1 board, games until a person starts the next
  ended.settings.series = SeriesFormat::Unlimited();
  ended.game.Start(false, true);
  ended.game.OnKey(KeySpace);
  ASSERT_EQ(ended.game.FocusCell(), (Cell{0, 0}));
  ended.EndGameWith(SideA);
  EXPECT_EQ(std::tuple(ended.state.turn, ended.game.FocusCell().has_value()),
            std::tuple(TurnNone, false))
      << "the game is over";
  GameRig demo;
  demo.settings.Set(Switch::OpeningDemo, true);
  demo.game.Start(false, true);
  ASSERT_TRUE(demo.state.demoMode);
  demo.game.OnComputerClock();
  EXPECT_EQ(std::tuple(demo.game.FocusCell().has_value(), demo.screen.focusCells.size()),
            std::tuple(false, 0u))
      << "the demo";
}

TEST(KeyboardPlay, ReturnDoesNothingWithoutAPersonToMove) {
  Rig rig;
  rig.state.demoMode = true;
  const std::string demo = rig.Seen();
  rig.game.OnKey(KeyReturn);
  EXPECT_EQ(rig.Seen(), demo) << "Return in the demo";
  rig.state.demoMode = false;
  rig.SetPlayers(true, true);
  rig.game.OnMouseRelease(MouseButton::Right, 0, 0);
  rig.game.OnNewGame();
  const std::string computers = rig.Seen();
  rig.game.OnKey(KeyReturn);
  rig.game.OnArrow(Arrow::Up);
  EXPECT_EQ(std::tuple(rig.Seen(), rig.Focus()), std::tuple(computers, "none"))
      << "Return with no person to move";
}

}  // namespace
}  // namespace pyra::testing
