// The background music: the main window's sequencer device MMControl1 and its loop timer
// Timer1, driven in the order the game has always used them.
#pragma once

#include <string>

#include "options/game_options.h"
#include "sound/sequencer.h"

namespace pyra {

inline constexpr const char* MusicFile = "teku2.mid";

class Music {
 public:
  Music(Sequencer& device, GameOptions& options, std::string programFolder);

  // Start-up, once the main window is shown: opens the music file and plays it when the
  // music box is checked; a device that cannot play unchecks the box, silently.
  void OpenMusic();
  // The music box was checked: plays from where the device stands; false when it cannot.
  bool Play();
  // The music box was unchecked: stops and rewinds, so that the next play is from the start.
  void StopMusic();
  // Every second: a piece that has played to its end starts again, and a stream the sound
  // server dropped is opened again.
  void Timer1_Timer();
  // Shut-down.
  void Close();

 private:
  Sequencer& MMControl1;
  GameOptions& options_;
  std::string folder_;
};

}  // namespace pyra
