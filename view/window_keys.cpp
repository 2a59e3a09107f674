#include "view/window_keys.h"

#include <QKeyEvent>

namespace pyra {

int GameKeyCode(int qtKey) {
  if (qtKey == Qt::Key_Space) return 32;
  if (qtKey == Qt::Key_Escape) return 27;
  // Qt's codes below this mark are the characters' own codes; none is 27 or 32 here.
  if (qtKey > 0 && qtKey < Qt::Key_Escape) return qtKey;
  return 0;
}

void KeyReleaseFilter::Pressed(const QKeyEvent& event) {
  if (event.isAutoRepeat()) return;
  pressed_.insert(event.key());
}

std::optional<int> KeyReleaseFilter::Released(const QKeyEvent& event) {
  if (event.isAutoRepeat()) return std::nullopt;
  if (!pressed_.remove(event.key())) return std::nullopt;
  return GameKeyCode(event.key());
}

}  // namespace pyra
