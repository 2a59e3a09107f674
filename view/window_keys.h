// Key releases as the game sees them.
#pragma once

#include <QSet>
#include <optional>

#include "match/game.h"

class QKeyEvent;

namespace pyra {

// The game's code for a Qt key: 32 for the space bar, 27 for Esc, 13 for Return and Enter, 0
// for keys the game has no code for, and the Qt code of any other printable key.
int GameKeyCode(int qtKey);
// The arrow of an arrow key.
std::optional<Arrow> ArrowOf(int qtKey);

// Passes on a key's release only when the same window also received its press: a key that
// closed a message box with its press must not act a second time with its release in the
// window below. Auto-repeated presses and releases count once.
class KeyReleaseFilter {
 public:
  void Pressed(const QKeyEvent& event);
  // The game's key code for a release to pass on; nothing for a release to drop.
  std::optional<int> Released(const QKeyEvent& event);
  // The window lost the keyboard: presses seen so far no longer count.
  void Forget() { pressed_.clear(); }

 private:
  QSet<int> pressed_;
};

}  // namespace pyra
