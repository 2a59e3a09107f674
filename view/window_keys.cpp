#include "view/window_keys.h"

#include <QKeyEvent>

namespace pyra {

int GameKeyCode(int qtKey) {
  if (qtKey == Qt::Key_Space) return 32;
  if (qtKey == Qt::Key_Escape) return 27;
  if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter) return KeyReturn;
  // Qt's codes below this mark are the characters' own codes; none is 27 or 32 here.
  if (qtKey > 0 && qtKey < Qt::Key_Escape) return qtKey;
  return 0;
}

std::optional<Arrow> ArrowOf(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Left:
      return Arrow::Left;
    case Qt::Key_Up:
      return Arrow::Up;
    case Qt::Key_Right:
      return Arrow::Right;
    case Qt::Key_Down:
      return Arrow::Down;
    default:
      return std::nullopt;
  }
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
