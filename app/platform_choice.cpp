#include "app/platform_choice.h"

namespace pyra {

namespace {

bool IsSet(const EnvironmentLookup& variable, const char* name) {
  const char* value = variable(name);
  return value != nullptr && *value != '\0';
}

bool Is(const EnvironmentLookup& variable, const char* name, const std::string& wanted) {
  const char* value = variable(name);
  return value != nullptr && value == wanted;
}

// Qt reads the platform from "-platform NAME", also written with two dashes.
bool PlatformArgument(const std::vector<std::string>& args) {
  for (std::size_t i = 1; i + 1 < args.size(); ++i) {
    if (args[i] == "-platform" || args[i] == "--platform") return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> ChoosePlatform(const EnvironmentLookup& variable,
                                          const std::vector<std::string>& args) {
  // Qt ignores an empty QT_QPA_PLATFORM: that is no choice either.
  if (IsSet(variable, "QT_QPA_PLATFORM") || PlatformArgument(args)) return std::nullopt;
  const bool wayland =
      IsSet(variable, "WAYLAND_DISPLAY") || Is(variable, "XDG_SESSION_TYPE", "wayland");
  if (!wayland) return std::nullopt;
  if (IsSet(variable, "DISPLAY")) return "xcb;wayland";
  return "wayland";
}

}  // namespace pyra
