#include "sound/music.h"

#include "settings/product.h"

namespace pyra {

Music::Music(Sequencer& sequencer, std::string programFolder)
    : sequencer_(sequencer), folder_(std::move(programFolder)) {}

bool Music::Open(bool play) {
  sequencer_.Open(JoinPath(folder_, MusicFile));
  if (!sequencer_.CanPlay()) return false;
  if (play) sequencer_.Play(sequencer_.Position(), sequencer_.Length());
  return true;
}

bool Music::Play() {
  if (!sequencer_.CanPlay()) return false;
  sequencer_.Play(sequencer_.Position(), sequencer_.Length());
  return true;
}

void Music::Stop() {
  sequencer_.Stop();
  sequencer_.Seek(sequencer_.Start());
}

void Music::OnLoopClock() {
  sequencer_.Revive();
  const int32_t length = sequencer_.Length();
  const int32_t position = sequencer_.Position();
  if (position == length && sequencer_.Mode() == ModeStopped) {
    sequencer_.Seek(sequencer_.Start());
    sequencer_.Play(sequencer_.Start(), length);
  }
}

void Music::Close() { sequencer_.Close(); }

}  // namespace pyra
