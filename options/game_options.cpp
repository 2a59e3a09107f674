#include "options/game_options.h"

namespace pyra {

int16_t GameOptions::SelectedSeriesFormat() const {
  for (int i = 0; i < static_cast<int>(Option2.size()); ++i) {
    if (Option2[i]) return static_cast<int16_t>(i);
  }
  return 0;
}

void GameOptions::SelectSeriesFormat(int format) {
  for (int i = 0; i < static_cast<int>(Option2.size()); ++i) Option2[i] = i == format;
}

void GameOptions::SetPlayerKind(int side, bool computer) {
  const int base = side == 0 ? 0 : 2;
  Option1[base] = !computer;
  Option1[base + 1] = computer;
}

GameOptions GameOptions::Defaults() {
  GameOptions o;
  o.SetPlayerKind(0, false);
  o.SetPlayerKind(1, true);
  o.SelectSeriesFormat(0);
  o.Option3 = {true, false};
  o.Check1 = {Checked, Checked, Checked, Checked};
  o.Combo1[0].text = DefaultPlayerNames[0];
  o.Combo1[1].text = ComputerName;
  o.Combo1[1].enabled = false;
  return o;
}

}  // namespace pyra
