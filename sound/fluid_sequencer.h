// The sequencer device on FluidSynth: a General MIDI SoundFont from the system, the song
// walked by a cursor of our own inside the audio driver's callback, PulseAudio (or PipeWire
// through it) first and ALSA second.
#pragma once

#include <atomic>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sound/midi_song.h"
#include "sound/sequencer.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_audio_driver_t fluid_audio_driver_t;

namespace pyra {

// Hands one of the song's channel messages to the synthesizer.
void SendToSynth(fluid_synth_t* synth, const MidiEvent& e);
// The synthesizer's settings and what it asks of the sound device: 44.1 kHz in four periods
// of 512 frames, 46 ms, which rides out a busy moment without holding the music back.
fluid_settings_t* NewSynthSettings();

class FluidSequencer final : public Sequencer {
 public:
  // The SoundFonts to try, in order: the one of the first that is a SoundFont is used.
  static std::vector<std::string> SystemSoundFonts();

  explicit FluidSequencer(std::vector<std::string> soundFonts = SystemSoundFonts());
  ~FluidSequencer() override;
  FluidSequencer(const FluidSequencer&) = delete;
  FluidSequencer& operator=(const FluidSequencer&) = delete;

  // Reads the file, picks the SoundFont and tries the sound server, at once. The synthesizer
  // and its SoundFont load in the background on the first play, and the music starts once
  // they are there; the server streams only while the music plays.
  void Open(const std::string& file) override;
  bool CanPlay() override;
  void Play(int32_t from, int32_t to) override;
  void Stop() override;
  void Seek(int32_t to) override;
  void Close() override;
  void Revive() override;
  int32_t Start() override { return 0; }
  int32_t Length() override;
  int32_t Position() override;
  int32_t Mode() override;

  // Waits until the synthesizer is ready (or has failed); for tests and measurements.
  void WaitUntilLoaded();

 private:
  static int Render(void* self, int frames, int nfx, float* fx[], int nout, float* out[]);
  void RenderBlock(int frames, float* left, float* right);
  // The audio driver: PulseAudio first, then ALSA; nothing when neither can play.
  fluid_audio_driver_t* NewDriver();
  // Closes a stream in the background; with mutex_ held.
  void Reap(fluid_audio_driver_t*& driver);
  // Back to a closed device with nothing loaded; waits for every background thread.
  void Reset();
  void LoadSynth();
  // Opens the stream for a synthesizer that is ready; with mutex_ held.
  void StartStream();
  // Opens a stream in place of one the server dropped, on the reviver thread: a server that is
  // starting (or hangs) answers only when it is ready (or after libpulse's 30 s).
  void ReviveStream();

  std::vector<std::string> soundFonts_;
  std::string soundFont_;  // the one chosen at open
  bool open_ = false;      // opened with a song, a SoundFont and a sound server
  fluid_settings_t* settings_ = nullptr;
  std::thread loader_;
  std::thread reviver_;
  // One per closed stream still closing; joined once done, at the next close or at Reset.
  std::vector<std::future<void>> reapers_;
  // Written by the loader before it sets synthReady_; read by others only after that.
  fluid_synth_t* synth_ = nullptr;
  std::atomic<bool> synthReady_{false};
  std::atomic<bool> synthFailed_{false};

  // What the audio thread shares with the window thread.
  std::mutex mutex_;
  fluid_audio_driver_t* driver_ = nullptr;
  // When the driver last asked for sound (steady clock, ms), or its stream was opened.
  std::atomic<int64_t> lastRender_{0};
  std::optional<MidiSong> song_;
  SongCursor cursor_;
  bool playing_ = false;
  bool reviving_ = false;  // the reviver is connecting
  int32_t playTo_ = 0;
};

}  // namespace pyra
