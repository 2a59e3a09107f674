// Which Qt platform plugin the program asks for, decided from the environment before the
// application object exists. Qt-free, so that it can be decided (and tested) without one.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pyra {

// The plugin list for QT_QPA_PLATFORM, or nothing to leave Qt's own choice alone;
// `environment` holds the process's variables as "NAME=value".
//
// The game places its companion windows beside the main window and keeps their places
// between runs; a native Wayland client can do neither. In a Wayland session with an X
// display (XWayland) the program therefore runs on X11, falling back to Wayland should that
// display not answer. Without an X display it runs natively on Wayland. A platform the user
// chose in QT_QPA_PLATFORM is kept (Qt's -platform argument takes precedence anyway).
std::optional<std::string> ChoosePlatform(const std::vector<std::string>& environment);

// The process's environment in the form ChoosePlatform takes.
std::vector<std::string> ProcessEnvironment();

}  // namespace pyra
