#include "app/platform_choice.h"

#include <unistd.h>

namespace pyra {

namespace {

// The variable's value; empty when it is not set. Qt, too, treats an empty value as unset.
std::string Value(const std::vector<std::string>& environment, const std::string& name) {
  const std::string prefix = name + "=";
  for (const std::string& entry : environment) {
    if (entry.compare(0, prefix.size(), prefix) == 0) return entry.substr(prefix.size());
  }
  return {};
}

}  // namespace

std::optional<std::string> ChoosePlatform(const std::vector<std::string>& environment) {
  if (!Value(environment, "QT_QPA_PLATFORM").empty()) return {};
  const bool wayland = !Value(environment, "WAYLAND_DISPLAY").empty() ||
                       Value(environment, "XDG_SESSION_TYPE") == "wayland";
  if (!wayland) return {};
  if (!Value(environment, "DISPLAY").empty()) return "xcb;wayland";
  return "wayland";
}

std::vector<std::string> ProcessEnvironment() {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) entries.emplace_back(*entry);
  return entries;
}

}  // namespace pyra
