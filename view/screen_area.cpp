#include "view/screen_area.h"

#include <QGuiApplication>
#include <QScreen>

namespace pyra {

QScreen* TheScreen() { return QGuiApplication::primaryScreen(); }

QRect WorkArea() {
  const QScreen* screen = TheScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace pyra
