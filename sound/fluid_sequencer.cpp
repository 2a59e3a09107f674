#include "sound/fluid_sequencer.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace pyra {

namespace {

constexpr int SampleRate = 44100;
// Events are placed to within this many frames (1.5 ms).
constexpr int EventBlock = 64;
// A live stream asks for sound every few milliseconds, a new one on an idle null sink after up
// to two seconds; one silent longer than this has lost its server.
constexpr int64_t DroppedAfterMs = 3000;

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void Quiet(const char*, int, const char*, int, const char*, ...) {}

// FluidSynth and ALSA report to the terminal by default; a game without sound stays quiet.
void SilenceSoundLibraries() {
  static const bool silenced = [] {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
      fluid_set_log_function(level, nullptr, nullptr);
    }
    snd_lib_error_set_handler(&Quiet);
    return true;
  }();
  (void)silenced;
}

}  // namespace

void SendToSynth(fluid_synth_t* synth, const MidiEvent& e) {
  const int channel = e.status & 0x0F;
  switch (e.status & 0xF0) {
    case 0x80:
      fluid_synth_noteoff(synth, channel, e.data1);
      break;
    case 0x90:
      if (e.data2 == 0) {
        fluid_synth_noteoff(synth, channel, e.data1);
      } else {
        fluid_synth_noteon(synth, channel, e.data1, e.data2);
      }
      break;
    case 0xA0:
      fluid_synth_key_pressure(synth, channel, e.data1, e.data2);
      break;
    case 0xB0:
      fluid_synth_cc(synth, channel, e.data1, e.data2);
      break;
    case 0xC0:
      fluid_synth_program_change(synth, channel, e.data1);
      break;
    case 0xD0:
      fluid_synth_channel_pressure(synth, channel, e.data1);
      break;
    case 0xE0:
      fluid_synth_pitch_bend(synth, channel, e.data1 | e.data2 << 7);
      break;
  }
}

fluid_settings_t* NewSynthSettings() {
  fluid_settings_t* settings = new_fluid_settings();
  fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
  fluid_settings_setnum(settings, "synth.sample-rate", SampleRate);
  fluid_settings_setnum(settings, "synth.gain", 0.5);
  fluid_settings_setint(settings, "synth.polyphony", 96);
  fluid_settings_setint(settings, "synth.chorus.active", 0);
  fluid_settings_setint(settings, "audio.period-size", 512);
  fluid_settings_setint(settings, "audio.periods", 4);
  return settings;
}

std::vector<std::string> FluidSequencer::SystemSoundFonts() {
  // Debian's SoundFont packages share this folder; default-GM.sf2 is the system's choice
  // among those installed, and TimGM6mb the small one the set-up installs.
  return {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"};
}

FluidSequencer::FluidSequencer(std::vector<std::string> soundFonts)
    : soundFonts_(std::move(soundFonts)) {
  SilenceSoundLibraries();
}

FluidSequencer::~FluidSequencer() { Reset(); }

void FluidSequencer::Reap(fluid_audio_driver_t*& driver) {
  if (driver == nullptr) return;
  // Closing a stream waits for the server to take what was written, up to two seconds
  // while the stream is young; the window thread does not wait with it. Those closed earlier
  // and done by now are joined, so that their threads do not pile up until the exit.
  std::erase_if(reapers_, [](const std::future<void>& reaper) {
    return reaper.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
  });
  reapers_.push_back(
      std::async(std::launch::async, [doomed = driver] { delete_fluid_audio_driver(doomed); }));
  driver = nullptr;
}

void FluidSequencer::Reset() {
  if (loader_.joinable()) loader_.join();
  if (reviver_.joinable()) reviver_.join();
  {
    std::lock_guard lock(mutex_);
    Reap(driver_);
  }
  reapers_.clear();  // waits for each: no audio thread runs after this
  if (synth_ != nullptr) delete_fluid_synth(synth_);
  if (settings_ != nullptr) delete_fluid_settings(settings_);
  synth_ = nullptr;
  settings_ = nullptr;
  synthReady_ = false;
  synthFailed_ = false;
  open_ = false;
  std::lock_guard lock(mutex_);
  playing_ = false;
  cursor_ = SongCursor();
  song_.reset();
}

fluid_audio_driver_t* FluidSequencer::NewDriver() {
  for (const char* name : {"pulseaudio", "alsa"}) {
    if (fluid_settings_setstr(settings_, "audio.driver", name) != FLUID_OK) continue;
    if (fluid_audio_driver_t* driver = new_fluid_audio_driver2(settings_, &Render, this)) {
      return driver;
    }
  }
  return nullptr;
}

void FluidSequencer::Open(const std::string& file) {
  Reset();
  std::optional<MidiSong> song = ReadMidiSong(file);
  if (!song) return;
  const auto font =
      std::find_if(soundFonts_.begin(), soundFonts_.end(),
                   [](const std::string& path) { return fluid_is_soundfont(path.c_str()); });
  if (font == soundFonts_.end()) return;
  settings_ = NewSynthSettings();
  // Whether a server takes the stream is known now; the stream itself waits for the music.
  fluid_audio_driver_t* probe = NewDriver();
  if (probe == nullptr) {
    Reset();
    return;
  }
  soundFont_ = *font;
  open_ = true;
  std::lock_guard lock(mutex_);
  Reap(probe);
  song_ = std::move(song);
  cursor_ = SongCursor(*song_, SampleRate);
}

void FluidSequencer::LoadSynth() {
  // Behind the window's start-up: the music can wait the moment that takes.
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
  fluid_synth_t* synth = new_fluid_synth(settings_);
  // Only the presets the song selects are read from the file.
  if (synth == nullptr || fluid_synth_sfload(synth, soundFont_.c_str(), 0) == FLUID_FAILED) {
    if (synth != nullptr) delete_fluid_synth(synth);
    synthFailed_ = true;
    return;
  }
  // The song's first instruments are read here rather than by the audio thread, where a
  // large drum kit would make the music stumble at its start.
  for (int channel = 0; channel < 16; ++channel) {
    const int program = song_->startPrograms[channel];
    if (program >= 0) fluid_synth_program_change(synth, channel, program);
  }
  synth_ = synth;
  synthReady_ = true;
  std::lock_guard lock(mutex_);
  if (playing_) StartStream();
}

void FluidSequencer::StartStream() {
  // Only a ready synthesizer streams: silence sent ahead would wait in the server's buffer
  // and hold the music back by as much. Without a server the music stays playing where it
  // stands, for Revive to try again; while the reviver connects, it brings the stream.
  if (driver_ == nullptr && !reviving_) {
    driver_ = NewDriver();
    lastRender_ = NowMs();
  }
}

void FluidSequencer::Revive() {
  std::unique_lock lock(mutex_);
  if (!playing_ || !synthReady_ || reviving_) return;
  // FluidSynth's PulseAudio thread ends at its first failed write when the server goes away,
  // and the driver asks for nothing more.
  if (driver_ != nullptr && NowMs() - lastRender_ <= DroppedAfterMs) return;
  Reap(driver_);
  reviving_ = true;
  lock.unlock();
  if (reviver_.joinable()) reviver_.join();  // done: it has cleared reviving_
  reviver_ = std::thread(&FluidSequencer::ReviveStream, this);
}

void FluidSequencer::ReviveStream() {
  fluid_audio_driver_t* driver = NewDriver();
  std::lock_guard lock(mutex_);
  reviving_ = false;
  if (playing_ && driver_ == nullptr) {
    driver_ = driver;
    lastRender_ = NowMs();
  } else {
    Reap(driver);  // the music stopped meanwhile
  }
}

void FluidSequencer::WaitUntilLoaded() {
  if (loader_.joinable()) loader_.join();
}

bool FluidSequencer::CanPlay() { return open_ && !synthFailed_; }

void FluidSequencer::Play(int32_t from, int32_t to) {
  if (!CanPlay()) return;
  std::lock_guard lock(mutex_);
  if (from != cursor_.Tick()) cursor_.Seek(from);
  playTo_ = to;
  playing_ = true;
  if (synthReady_) {
    StartStream();
  } else if (!loader_.joinable()) {
    loader_ = std::thread(&FluidSequencer::LoadSynth, this);
  }
}

void FluidSequencer::Stop() {
  std::lock_guard lock(mutex_);
  playing_ = false;
  // Silent at once, though the stream takes a moment to close; the next play opens another.
  if (synthReady_) fluid_synth_all_sounds_off(synth_, -1);
  Reap(driver_);
}

void FluidSequencer::Seek(int32_t to) {
  std::lock_guard lock(mutex_);
  if (!song_) return;
  playing_ = false;
  if (synthReady_) fluid_synth_all_notes_off(synth_, -1);
  cursor_.Seek(std::clamp(to, 0, song_->length));
}

void FluidSequencer::Close() {
  std::lock_guard lock(mutex_);
  playing_ = false;
  Reap(driver_);
  open_ = false;
}

int32_t FluidSequencer::Length() {
  std::lock_guard lock(mutex_);
  return open_ && song_ ? song_->length : 0;
}

int32_t FluidSequencer::Position() {
  std::lock_guard lock(mutex_);
  return cursor_.Tick();
}

int32_t FluidSequencer::Mode() {
  if (!CanPlay()) return ModeNotReady;
  std::lock_guard lock(mutex_);
  return playing_ ? ModePlaying : ModeStopped;
}

int FluidSequencer::Render(void* self, int frames, int, float*[], int nout, float* out[]) {
  auto* me = static_cast<FluidSequencer*>(self);
  me->lastRender_ = NowMs();
  if (nout < 2) return FLUID_OK;
  for (int done = 0; done < frames; done += EventBlock) {
    me->RenderBlock(std::min(EventBlock, frames - done), out[0] + done, out[1] + done);
  }
  return FLUID_OK;
}

void FluidSequencer::RenderBlock(int frames, float* left, float* right) {
  // The driver hands over silence; it stays so until the synthesizer is there.
  if (!synthReady_) return;
  // One stream renders at a time: a stream being closed may ask for a last block while the one
  // that replaces it has started, and the synthesizer renders for one thread only.
  std::lock_guard lock(mutex_);
  if (playing_ &&
      cursor_.Advance(frames, playTo_, [this](const MidiEvent& e) { SendToSynth(synth_, e); })) {
    playing_ = false;
    fluid_synth_all_notes_off(synth_, -1);
  }
  float* dry[2] = {left, right};
  float* effects[4] = {left, right, left, right};
  fluid_synth_process(synth_, frames, 4, effects, 2, dry);
}

}  // namespace pyra
