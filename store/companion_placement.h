// Keeping a window on the screen.
#pragma once

#include "store/session_ports.h"

namespace pyra {

struct TwipPoint {
  double left = 0;
  double top = 0;
};

// Pulls a window's top-left corner back so that the window ends at the bottom and right
// screen edges, then moves it to 0 where it starts above or left of the screen. A window
// taller or wider than the screen therefore ends up at 0 on that axis.
TwipPoint ClampToScreen(TwipPoint position, TwipSize window, TwipSize screen);

// The main window: an edge beyond the screen goes to 0, a size larger than the screen
// shrinks to it, then the window is pulled onto the screen.
TwipRect ClampMainWindow(TwipRect window, TwipSize screen);

}  // namespace pyra
