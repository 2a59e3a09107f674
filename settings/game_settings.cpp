#include "settings/game_settings.h"

namespace pyra {

std::optional<SeriesFormat> SeriesFormat::FromNumber(int number) {
  if (number >= 0 && number <= 4) return BestOf(2 * number + 1);
  if (number >= 5 && number <= 9) return FirstTo(2 * (number - 4));
  if (number == 10) return Unlimited();
  return std::nullopt;
}

int SeriesFormat::Number() const {
  switch (kind_) {
    case Kind::BestOf:
      return (target_ - 1) / 2;
    case Kind::FirstTo:
      return target_ / 2 + 4;
    case Kind::Unlimited:
      break;
  }
  return 10;
}

GameSettings GameSettings::Defaults() {
  GameSettings s;
  s.players = {PlayerKind::Human, PlayerKind::Computer};
  s.series = SeriesFormat::BestOf(1);
  s.level = Level::Automatic;
  s.switches.fill(true);
  s.names[0].text = DefaultPlayerNames[0];
  s.names[1].text = ComputerName;
  s.names[1].enabled = false;
  return s;
}

}  // namespace pyra
