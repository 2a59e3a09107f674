#include "app/platform_choice.h"

#include <gtest/gtest.h>

TEST(ChoosePlatform, FromTheSessionUnlessTheUserChose) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:1"}, "xcb;wayland"},
      {{"XDG_SESSION_TYPE=wayland", "DISPLAY=:0"}, "xcb;wayland"},
      {{"WAYLAND_DISPLAY=w", "DISPLAY="}, "wayland"},
      {{"XDG_SESSION_TYPE=x11", "DISPLAY=:0", "WAYLAND_DISPLAY="}, "Qt"},
      {{"DISPLAY=:0"}, "Qt"},
      {{"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=w", "DISPLAY=:0"}, "Qt"},
      {{"QT_QPA_PLATFORM=", "WAYLAND_DISPLAY=w", "DISPLAY=:0"}, "xcb;wayland"},
  };
  for (const auto& [env, expected] : cases)
    EXPECT_EQ(pyra::ChoosePlatform(env).value_or("Qt"), expected) << testing::PrintToString(env);
}
