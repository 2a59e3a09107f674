// What the settings dialog's OK hands on to be kept: which names and switches the player
// changed, so that only the player's own changes reach the store.
#pragma once

#include <array>
#include <string>

namespace pyra {

struct DialogChoices {
  std::array<bool, 2> names{};     // side A, side B
  std::array<bool, 4> switches{};  // stretch, effects, music, demo
};

class ChoicesKeeper {
 public:
  virtual ~ChoicesKeeper() = default;
  // After OK has applied the changes; a store that cannot take them is reported.
  virtual void KeepChoices(const DialogChoices& changed) = 0;
  // The picture chooser installed a picture file, or the built-in picture (file "").
  virtual void KeepPicture(bool background, const std::string& folder, const std::string& file) = 0;
};

}  // namespace pyra
