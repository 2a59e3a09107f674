// Where the user's store file lives.
#pragma once

#include <string>

namespace pyra {

// $XDG_CONFIG_HOME/Pyra3/store.sqlite3, or ~/.config/Pyra3/store.sqlite3 when the variable is
// unset, empty or not an absolute path.
std::string DefaultStorePath();

}  // namespace pyra
