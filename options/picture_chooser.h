// The picture chooser's rules: which files it lists, what its OK and Default install and
// store, and what it says when a place or a file cannot be used.
#pragma once

#include <string>

#include "match/game.h"
#include "store/choices_keeper.h"
#include "store/session_ports.h"

namespace pyra {

// Whether a file name matches a pattern such as "*.bmp;*.wmf": any of its ';'-separated
// parts, where '*' stands for any text, without regard to case.
bool MatchesPattern(const std::string& fileName, const std::string& pattern);

std::string ChooserTitle(bool backgroundMode);
// "画像(*.bmp;*.wmf)".
std::string PatternLabel();

class PictureChooser {
 public:
  PictureChooser(Game& game, ChoicesKeeper& keeper, SessionPorts& windows);

  // OK: installs `file` from `folder` as the background or the piece sheet. False, after
  // saying why, when it could not; the picture in use is then unchanged.
  bool Install(bool backgroundMode, const std::string& folder, const std::string& file);
  // Default: the built-in picture again; `folder` is the folder list's path once cleared.
  void RestoreDefault(bool backgroundMode, const std::string& folder);
  // A place of the drive list cannot be read: true when the user wants to try it again.
  bool RetryPlace(const std::string& placeName);

 private:
  Game& game_;
  ChoicesKeeper& keeper_;
  SessionPorts& windows_;
};

}  // namespace pyra
