// Keyboard play: the arrows' focus cell, when and where framed; Return as a left click there.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "game_fakes.h"

namespace pyra::testing {
namespace {

struct Rig : PlayingRig {  // a person (A) against the computer (B) on 8 x 6, a game running
  std::string Focus() const {
    const std::optional<Cell> c = game.FocusCell();
    return c ? std::to_string(c->column) + "," + std::to_string(c->row) : "none";
  }
  void Arrows(const std::string& keys) {  // L, U, R, D: the arrows, in the order of Arrow
    for (char k : keys) game.OnArrow(static_cast<Arrow>(std::string("LURD").find(k)));
  }
  std::string Seen() const {  // all a player sees and hears of a game, for comparing two
    std::ostringstream out;
    for (int i = 0; i < state.CellCount(); ++i) out << state.board[i] << ' ';
    out << " | " << state.score[0] << ' ' << state.score[1] << " turn " << state.turn;
    for (int16_t piece : state.pieceQueue) out << ' ' << piece;
    out << " | " << screen.caption << " | " << screen.message << " | " << Clocks();
    for (const std::string& c : screen.captions) out << " / " << c;
    for (const Cue cue : sound.cues) out << " cue " << static_cast<int>(cue);
    out << " | steps " << screen.steps.size();
    return out.str();
  }
};

TEST(KeyboardPlay, ReturnOnTheFocusCellGivesTheSameGameAsAClickThere) {
  // Arrows from the centre (4,3), then Return; the other game clicks there. Both refuse the third,
  // an occupied cell. The arrows, the cell reached, whether it was taken.
  using Move = std::tuple<std::string, int, int, bool>;
  const Move moves[] = {{"", 4, 3, false},
                        {"LLLUUU", 1, 0, false},
                        {"RRR", 4, 0, true},
                        {"DDDDDDDDRRRRRRR", 7, 5, false}};
  Rig keys, mouse;
  for (Rig* rig : {&keys, &mouse}) {
    std::fill_n(rig->state.board.begin(), rig->state.CellCount(), Empty);
    rig->state.board[4 * 6 + 0] = Blocked;  // a cell no reaction clears
  }
  for (const auto& [arrows, column, row, taken] : moves) {
    SCOPED_TRACE(arrows);
    keys.Arrows(arrows);
    ASSERT_EQ(keys.Focus(), std::to_string(column) + "," + std::to_string(row));
    keys.game.OnKey(KeyReturn);
    mouse.game.OnMouseRelease(MouseButton::Left, column * CellPixels + 9, row * CellPixels + 30);
    EXPECT_EQ(std::tuple(keys.Seen(), keys.game.NewGameGuarded(), keys.state.turn),
              std::tuple(mouse.Seen(), mouse.game.NewGameGuarded(), taken ? SideA : SideB))
        << "the turn passes unless refused";
    keys.game.OnComputerClock(), mouse.game.OnComputerClock();  // the computer answers alike
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

  // Holds hide the frame (the random event test tries all); keys do nothing; it returns in place.
  const auto before = rig.state.board;
  rig.game.OnPause();
  rig.Arrows("DD");
  rig.game.OnKey(KeyReturn);
  EXPECT_EQ(std::tuple(rig.Focus(), rig.state.board == before, rig.state.turn),
            std::tuple("none", true, SideA));
  rig.game.OnPause();
  EXPECT_EQ(std::tuple(rig.Focus(), rig.screen.focusCells.back()), std::tuple("1,0", Cell{1, 0}))
      << "the screen frames what the game holds";
  const size_t told = rig.screen.focusCells.size();
  rig.game.SuspendClocks(), rig.game.SuspendClocks();  // a window over a window
  rig.game.ResumeClocks(), rig.game.ResumeClocks();
  EXPECT_EQ(rig.screen.focusCells.size(), told + 2) << "hidden and shown once";

  // A smaller board keeps the cell on it, and there it stays.
  rig.Arrows("RRRRRRRDDDDD");
  rig.SetBoard(3, 2), rig.game.OnNewGame();
  EXPECT_EQ(rig.Focus(), "2,1");
  rig.SetBoard(8, 6);
  rig.game.OnMouseRelease(MouseButton::Right, 0, 0);  // lets a new game be asked for again
  rig.game.OnNewGame();
  EXPECT_EQ(rig.Focus(), "2,1") << "where it was last shown";
}

}  // namespace
}  // namespace pyra::testing
