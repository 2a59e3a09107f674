#include "store/companion_placement.h"

namespace pyra {

TwipPoint ClampToScreen(TwipPoint position, TwipSize window, TwipSize screen) {
  if (position.top + window.height > screen.height) position.top = screen.height - window.height;
  if (position.left + window.width > screen.width) position.left = screen.width - window.width;
  if (position.top < 0) position.top = 0;
  if (position.left < 0) position.left = 0;
  return position;
}

TwipRect ClampMainWindow(TwipRect w, TwipSize screen) {
  if (w.top > screen.height) w.top = 0;
  if (w.left > screen.width) w.left = 0;
  if (w.width > screen.width) w.width = screen.width;
  if (w.height > screen.height) w.height = screen.height;
  if (w.top + w.height > screen.height) w.top = screen.height - w.height;
  if (w.left + w.width > screen.width) w.left = screen.width - w.width;
  if (w.top < 0) w.top = 0;
  if (w.left < 0) w.left = 0;
  return w;
}

}  // namespace pyra
