// The background music: the sequencer device, opened once with the music file, and the loop
// clock that starts the piece again each time it has played to its end.
#pragma once

#include <string>

#include "sound/sequencer.h"

namespace pyra {

inline constexpr const char* MusicFile = "teku2.mid";

class Music {
 public:
  Music(Sequencer& sequencer, std::string programFolder);

  // Start-up, once the main window is shown: opens the music file and plays it when `play`.
  // False when the device cannot play it.
  bool Open(bool play);
  // The music switch was turned on: plays from where the device stands; false when it cannot.
  bool Play();
  // The music switch was turned off: stops and rewinds, so that the next play is from the start.
  void Stop();
  // Every second: a piece that has played to its end starts again, and a stream the sound
  // server dropped is opened again.
  void OnLoopClock();
  // Shut-down.
  void Close();

 private:
  Sequencer& sequencer_;
  std::string folder_;
};

}  // namespace pyra
