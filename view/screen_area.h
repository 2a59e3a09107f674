// The screen the windows are measured on, and its work area: the screen without panels and
// docks, where windows are kept and dialogs centred.
#pragma once

#include <QRect>

class QScreen;

namespace pyra {

QScreen* TheScreen();
// In pixels; a 1024 by 768 stand-in when there is no screen.
QRect WorkArea();

}  // namespace pyra
