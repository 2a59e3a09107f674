#include "sound/game_sound.h"

#include <sys/utsname.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "settings/product.h"

namespace pyra {

std::string PlatformVersion(int major, int minor) {
  char text[32];
  const auto end =
      std::to_chars(text, text + sizeof text, major + minor / 100.0, std::chars_format::fixed, 2);
  return std::string(text, end.ptr);
}

std::string PlatformVersion() {
  utsname name{};
  int major = 0;
  int minor = 0;
  if (uname(&name) == 0) std::sscanf(name.release, "%d.%d", &major, &minor);
  return PlatformVersion(major, minor);
}

GameSound::GameSound(Music& music, WaveOut& wave, std::string programFolder,
                     std::string platformVersion)
    : music_(music),
      wave_(wave),
      folder_(std::move(programFolder)),
      version_(std::move(platformVersion)) {}

void GameSound::PlayCue(Cue cue) {
  const std::string file = std::string(CueName(cue)) + ".WAV";
  // The listed name must match exactly, whatever the file system makes of case.
  std::error_code error;
  std::filesystem::directory_iterator entry(folder_, error), end;
  for (; !error && entry != end; entry.increment(error)) {
    if (entry->path().filename() == file) {
      wave_.PlaySound(JoinPath(folder_, file));
      return;
    }
  }
}

bool GameSound::SoundAvailable() {
  double version = 0;
  std::from_chars(version_.data(), version_.data() + version_.size(), version);
  // At least one device: nearly every machine has several outputs (speakers, HDMI,
  // headsets), and any of them will do.
  return version > 3.0 && wave_.OutputDevices() >= 1;
}

}  // namespace pyra
