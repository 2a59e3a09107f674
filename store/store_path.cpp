#include "store/store_path.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace pyra {
namespace {

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return home;
  const passwd* entry = getpwuid(getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

}  // namespace

std::string DefaultStorePath() {
  std::string config;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  // A relative path in the variable is invalid and is ignored.
  if (xdg != nullptr && xdg[0] == '/') {
    config = xdg;
  } else {
    config = HomeFolder() + "/.config";
  }
  while (config.size() > 1 && config.back() == '/') config.pop_back();
  return config + "/Pyra3/store.sqlite3";
}

}  // namespace pyra
