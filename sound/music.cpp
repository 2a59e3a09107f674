#include "sound/music.h"

#include "store/store_values.h"

namespace pyra {

Music::Music(Sequencer& device, GameOptions& options, std::string programFolder)
    : MMControl1(device), options_(options), folder_(std::move(programFolder)) {}

void Music::OpenMusic() {
  MMControl1.Open(folder_ + FolderSeparator(folder_) + MusicFile);
  if (options_.Check1[2] == Checked && MMControl1.CanPlay()) {
    MMControl1.Play(MMControl1.Position(), MMControl1.Length());
  } else {
    options_.Check1[2] = Unchecked;
  }
}

bool Music::Play() {
  if (!MMControl1.CanPlay()) return false;
  MMControl1.Play(MMControl1.Position(), MMControl1.Length());
  return true;
}

void Music::StopMusic() {
  MMControl1.Stop();
  MMControl1.Seek(MMControl1.Start());
}

void Music::Timer1_Timer() {
  MMControl1.Revive();
  const int32_t length = MMControl1.Length();
  const int32_t position = MMControl1.Position();
  if (position == length && MMControl1.Mode() == ModeStopped) {
    MMControl1.Seek(MMControl1.Start());
    MMControl1.Play(MMControl1.Start(), length);
  }
}

void Music::Close() { MMControl1.Close(); }

}  // namespace pyra
