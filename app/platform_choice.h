// Which Qt platform plugin the program asks for, decided from the environment before the
// application object exists. Qt-free, so that it can be decided (and tested) without one.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pyra {

// A variable's value, or nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// The plugin list for QT_QPA_PLATFORM, or nothing to leave Qt's own choice alone.
//
// The game places its companion windows beside the main window and keeps their places
// between runs; a native Wayland client can do neither. In a Wayland session with an X
// display (XWayland) the program therefore runs on X11, falling back to Wayland should that
// display not answer. Without an X display it runs natively on Wayland. A platform the user
// chose (QT_QPA_PLATFORM, or Qt's -platform argument in `args`) is always kept.
std::optional<std::string> ChoosePlatform(const EnvironmentLookup& variable,
                                          const std::vector<std::string>& args);

}  // namespace pyra
