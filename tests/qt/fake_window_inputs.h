// Records what the windows report to the game, as short readable lines.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/window_inputs.h"

namespace pyra::testing {

class FakeInputs : public WindowInputs {
 public:
  std::vector<std::string> calls;
  std::function<void()> onClose;

  void MouseUp(MouseButton button, int x, int y) override {
    const char* name = button == MouseButton::Left ? "L" : button == MouseButton::Right ? "R" : "M";
    calls.push_back(QString("MouseUp %1 %2 %3").arg(name).arg(x).arg(y).toStdString());
  }
  void KeyUp(int keyCode) override {
    calls.push_back(QString("KeyUp %1").arg(keyCode).toStdString());
  }
  void MenuCommand(Command command) override {
    static const char* names[] = {"NewGame", "Pause", "Hiscore", "ExitGame",
                                  "GameSet", "Index", "About"};
    calls.push_back(std::string("Menu ") + names[static_cast<int>(command)]);
  }
  void CloseRequested() override {
    calls.push_back("CloseRequested");
    if (onClose) onClose();
  }
  void LostFocus() override { calls.push_back("LostFocus"); }
  void GotFocus() override { calls.push_back("GotFocus"); }
  void Minimised() override { calls.push_back("Minimised"); }
  void Restored() override { calls.push_back("Restored"); }

  // The calls with this name, in order.
  std::vector<std::string> Named(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : calls) {
      if (c.rfind(prefix, 0) == 0) out.push_back(c);
    }
    return out;
  }
  int Count(const std::string& prefix) const { return static_cast<int>(Named(prefix).size()); }
};

}  // namespace pyra::testing
