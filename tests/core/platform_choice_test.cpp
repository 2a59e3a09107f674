#include "app/platform_choice.h"

#include <gtest/gtest.h>

#include <map>

namespace pyra {
namespace {

using Env = std::map<std::string, std::string>;
using Args = std::vector<std::string>;

TEST(ChoosePlatform, FromTheSessionUnlessTheUserChose) {
  const Env xwayland{{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":1"}};
  const struct {
    Env env;
    Args args;
    std::optional<std::string> expected;
  } cases[] = {
      // A Wayland session with an X display: X11 first, natively should that not answer.
      {xwayland, {"pyra3"}, "xcb;wayland"},
      {{{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":0"}}, {}, "xcb;wayland"},
      // No X display: natively on Wayland.
      {{{"WAYLAND_DISPLAY", "wayland-0"}}, {}, "wayland"},
      {{{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ""}}, {}, "wayland"},
      // Not a Wayland session: Qt's own choice.
      {{{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}}, {}, std::nullopt},
      {{{"WAYLAND_DISPLAY", ""}, {"DISPLAY", ":0"}}, {}, std::nullopt},
      {{}, {}, std::nullopt},
      // The user's choice stays; an empty variable or a -platform without a name is none.
      {{{"QT_QPA_PLATFORM", "wayland"}, {"WAYLAND_DISPLAY", "w"}, {"DISPLAY", ":0"}},
       {},
       std::nullopt},
      {{{"QT_QPA_PLATFORM", ""}, {"WAYLAND_DISPLAY", "w"}, {"DISPLAY", ":0"}}, {}, "xcb;wayland"},
      {xwayland, {"pyra3", "-platform", "wayland"}, std::nullopt},
      {xwayland, {"pyra3", "--platform", "wayland"}, std::nullopt},
      {xwayland, {"pyra3", "-platform"}, "xcb;wayland"},
  };
  for (const auto& c : cases) {
    const auto lookup = [&](const char* name) -> const char* {
      const auto it = c.env.find(name);
      return it == c.env.end() ? nullptr : it->second.c_str();
    };
    std::string described;
    for (const auto& [name, value] : c.env) described += name + "=" + value + " ";
    for (const auto& arg : c.args) described += arg + " ";
    EXPECT_EQ(ChoosePlatform(lookup, c.args), c.expected) << described;
  }
}

}  // namespace
}  // namespace pyra
