// Builds the game's sounds from reviewable sources:
//   assets/teku2.score -> assets/teku2.mid (the background music, a standard MIDI file)
//   the recipes in this file -> assets/JAN.WAV, JU.WAV, BO.WAV, TON.WAV (the cue sounds,
//   16-bit mono PCM at 44.1 kHz, each under a second, peaks at -3 dBFS)
//
// Usage: make_sounds <assets-folder>          writes the five files
//        make_sounds --check <assets-folder>  exit 1 if the committed files are out of date
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pyra {
namespace {

using Bytes = std::vector<std::uint8_t>;

class SourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

void PutBe(Bytes& out, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutLe(Bytes& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// ---------------------------------------------------------------------------------------------
// The score

constexpr int kDivision = 480;  // ticks a quarter note

struct Track {
  std::string name;
  int channel = 0, program = 0, volume = 100, pan = 64, velocity = 90, gate = 90;
};

struct Note {
  int tick = 0, length = 0, key = 0, velocity = 0;
};

struct Score {
  int tempo = 120;
  int beats = 4, beatUnit = 4;
  std::vector<Track> tracks;
  std::map<std::string, std::vector<std::string>> chords;  // name -> pitch tokens
  // section -> track -> bars, each bar a list of tokens
  std::map<std::string, std::map<std::string, std::vector<std::vector<std::string>>>> sections;
  std::vector<std::string> form;
  int BarTicks() const { return kDivision * 4 * beats / beatUnit; }
};

struct Drum {
  int key, velocity;
};
const std::map<std::string, Drum> kDrums = {
    {"kick", {36, 100}}, {"snare", {38, 92}}, {"hat", {42, 62}}, {"open", {46, 70}},
    {"crash", {49, 84}}, {"clap", {39, 80}},  {"tom", {45, 88}}, {"ride", {51, 72}}};

std::vector<std::string> Split(const std::string& text, char by) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, by)) parts.push_back(part);
  return parts;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

int Number(const std::string& word) {
  size_t used = 0;
  int value = 0;
  try {
    value = std::stoi(word, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != word.size() || word.empty()) throw SourceError("not a number: " + word);
  return value;
}

// "c4" is 60; "f#5", "bb3".
int Pitch(const std::string& name) {
  static const std::map<char, int> steps = {{'c', 0}, {'d', 2}, {'e', 4}, {'f', 5},
                                            {'g', 7}, {'a', 9}, {'b', 11}};
  if (name.size() < 2 || !steps.count(name[0])) throw SourceError("not a pitch: " + name);
  int key = steps.at(name[0]);
  size_t at = 1;
  if (name[at] == '#')
    key += 1, ++at;
  else if (name[at] == 'b' && at + 1 < name.size())
    key -= 1, ++at;
  const int octave = Number(name.substr(at));
  key += 12 * (octave + 1);
  if (key < 0 || key > 127) throw SourceError("pitch out of range: " + name);
  return key;
}

int Length(const std::string& text) {
  const bool dotted = !text.empty() && text.back() == '.';
  const int unit = Number(dotted ? text.substr(0, text.size() - 1) : text);
  if (unit != 1 && unit != 2 && unit != 4 && unit != 8 && unit != 16) {
    throw SourceError("not a length: " + text);
  }
  const int ticks = kDivision * 4 / unit;
  return dotted ? ticks * 3 / 2 : ticks;
}

Score ParseScore(const std::string& text) {
  Score score;
  std::string section;
  int lineNumber = 0;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    ++lineNumber;
    try {
      // A comment starts with a word that begins with "#" (f#4 is a pitch).
      for (size_t at = line.find('#'); at != std::string::npos; at = line.find('#', at + 1)) {
        if (at == 0 || line[at - 1] == ' ' || line[at - 1] == '\t') {
          line.resize(at);
          break;
        }
      }
      const std::vector<std::string> w = Words(line);
      if (w.empty()) continue;
      if (w[0] == "tempo" && w.size() == 2) {
        score.tempo = Number(w[1]);
      } else if (w[0] == "meter" && w.size() == 2) {
        const auto parts = Split(w[1], '/');
        if (parts.size() != 2) throw SourceError("meter is beats/unit");
        score.beats = Number(parts[0]);
        score.beatUnit = Number(parts[1]);
      } else if (w[0] == "track" && w.size() == 8) {
        score.tracks.push_back({w[1], Number(w[2]), Number(w[3]), Number(w[4]), Number(w[5]),
                                Number(w[6]), Number(w[7])});
      } else if (w[0] == "chord" && w.size() == 4 && w[2] == "=") {
        score.chords[w[1]] = Split(w[3], '+');
      } else if (w[0] == "section" && w.size() == 2) {
        section = w[1];
        score.sections[section];
      } else if (w[0] == "form") {
        score.form.assign(w.begin() + 1, w.end());
      } else if (w.size() >= 2 && w[1] == "|") {
        if (section.empty()) throw SourceError("bars outside a section");
        auto& bars = score.sections[section][w[0]];
        std::vector<std::string> bar;
        for (size_t i = 2; i < w.size(); ++i) {
          if (w[i] != "|") {
            bar.push_back(w[i]);
            continue;
          }
          if (bar.empty()) throw SourceError("empty bar");
          if (bar.size() == 1 && bar[0] == "%") {
            if (bars.empty()) throw SourceError("% with no bar before it");
            bar = bars.back();
          }
          bars.push_back(bar);
          bar.clear();
        }
        if (!bar.empty()) throw SourceError("a bar line must end the line");
      } else {
        throw SourceError("cannot read: " + line);
      }
    } catch (const SourceError& e) {
      throw SourceError("teku2.score:" + std::to_string(lineNumber) + ": " + e.what());
    }
  }
  return score;
}

// The notes of one track through the whole form.
std::vector<Note> Notes(const Score& score, const Track& track) {
  std::vector<Note> notes;
  int barStart = 0;
  for (const std::string& name : score.form) {
    if (!score.sections.count(name)) throw SourceError("form names no section " + name);
    const auto& section = score.sections.at(name);
    size_t barsInSection = 0;
    for (const auto& [trackName, bars] : section) {
      barsInSection = std::max(barsInSection, bars.size());
    }
    const auto found = section.find(track.name);
    for (size_t b = 0; found != section.end() && b < found->second.size(); ++b) {
      int tick = barStart + static_cast<int>(b) * score.BarTicks();
      for (const std::string& token : found->second[b]) {
        const auto slash = token.rfind('/');
        if (slash == std::string::npos) throw SourceError("no length in " + token);
        const int length = Length(token.substr(slash + 1));
        const std::string what = token.substr(0, slash);
        if (what != "r") {
          std::vector<std::string> parts = Split(what, '+');
          if (parts.size() == 1 && score.chords.count(what)) parts = score.chords.at(what);
          for (const std::string& part : parts) {
            Note note{tick, std::max(1, length * track.gate / 100), 0, track.velocity};
            if (track.channel == 9) {
              if (!kDrums.count(part)) throw SourceError("not a drum: " + part);
              note.key = kDrums.at(part).key;
              note.velocity = kDrums.at(part).velocity;
            } else {
              note.key = Pitch(part);
            }
            notes.push_back(note);
          }
        }
        tick += length;
      }
      const int expected = barStart + static_cast<int>(b + 1) * score.BarTicks();
      if (tick != expected) {
        throw SourceError("section " + name + ", " + track.name + ", bar " + std::to_string(b + 1) +
                          " does not fill the meter");
      }
    }
    barStart += static_cast<int>(barsInSection) * score.BarTicks();
  }
  return notes;
}

int FormTicks(const Score& score) {
  int ticks = 0;
  for (const std::string& name : score.form) {
    size_t bars = 0;
    for (const auto& [track, trackBars] : score.sections.at(name)) {
      bars = std::max(bars, trackBars.size());
    }
    ticks += static_cast<int>(bars) * score.BarTicks();
  }
  return ticks;
}

// ---------------------------------------------------------------------------------------------
// MIDI output

void PutQuantity(Bytes& out, std::uint32_t value) {
  std::uint8_t groups[4];
  int count = 0;
  do {
    groups[count++] = value & 0x7F;
    value >>= 7;
  } while (value != 0);
  while (count > 1) out.push_back(groups[--count] | 0x80);
  out.push_back(groups[0]);
}

struct TimedBytes {
  int tick;
  int order;  // at one tick: settings, then note-offs, then note-ons
  Bytes bytes;
};

Bytes TrackChunk(std::vector<TimedBytes> events, int endTick) {
  std::stable_sort(events.begin(), events.end(), [](const TimedBytes& a, const TimedBytes& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
  });
  Bytes body;
  int now = 0;
  for (const TimedBytes& e : events) {
    PutQuantity(body, static_cast<std::uint32_t>(e.tick - now));
    body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    now = e.tick;
  }
  PutQuantity(body, static_cast<std::uint32_t>(endTick - now));
  body.insert(body.end(), {0xFF, 0x2F, 0x00});
  Bytes chunk = {'M', 'T', 'r', 'k'};
  PutBe(chunk, static_cast<std::uint32_t>(body.size()), 4);
  chunk.insert(chunk.end(), body.begin(), body.end());
  return chunk;
}

Bytes EncodeMidi(const Score& score) {
  const int end = FormTicks(score);
  Bytes file = {'M', 'T', 'h', 'd'};
  PutBe(file, 6, 4);
  PutBe(file, 1, 2);
  PutBe(file, static_cast<std::uint32_t>(score.tracks.size() + 1), 2);
  PutBe(file, kDivision, 2);

  const std::uint32_t tempo = 60000000u / static_cast<std::uint32_t>(score.tempo);
  const std::uint8_t unitPower = static_cast<std::uint8_t>(std::log2(score.beatUnit));
  Bytes title = {0xFF, 0x03, 5, 't', 'e', 'k', 'u', '2'};
  Bytes meter = {0xFF, 0x58, 4, static_cast<std::uint8_t>(score.beats), unitPower, 24, 8};
  Bytes tempoEvent = {0xFF,
                      0x51,
                      3,
                      static_cast<std::uint8_t>(tempo >> 16),
                      static_cast<std::uint8_t>(tempo >> 8),
                      static_cast<std::uint8_t>(tempo)};
  const Bytes conductor = TrackChunk({{0, 0, title}, {0, 0, meter}, {0, 0, tempoEvent}}, end);
  file.insert(file.end(), conductor.begin(), conductor.end());

  for (const Track& track : score.tracks) {
    const auto ch = static_cast<std::uint8_t>(track.channel);
    auto byte = [](int v) { return static_cast<std::uint8_t>(v); };
    std::vector<TimedBytes> events = {
        {0, 0, {byte(0xC0 | ch), byte(track.program)}},
        {0, 0, {byte(0xB0 | ch), 7, byte(track.volume)}},
        {0, 0, {byte(0xB0 | ch), 10, byte(track.pan)}},
        {0, 0, {byte(0xB0 | ch), 91, 40}},
    };
    for (const Note& n : Notes(score, track)) {
      events.push_back({n.tick, 2, {byte(0x90 | ch), byte(n.key), byte(n.velocity)}});
      events.push_back({n.tick + n.length, 1, {byte(0x80 | ch), byte(n.key), 64}});
    }
    const Bytes chunk = TrackChunk(std::move(events), end);
    file.insert(file.end(), chunk.begin(), chunk.end());
  }
  return file;
}

// ---------------------------------------------------------------------------------------------
// The cue sounds

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

// A fixed generator, so that every build makes the same noise.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed) {}
  double Next() {  // in [-1, 1)
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_ / 2147483648.0 - 1.0;
  }

 private:
  std::uint32_t state_;
};

class LowPass {
 public:
  double Run(double x, double cutoff) {
    y_ += (1.0 - std::exp(-2.0 * kPi * cutoff / kRate)) * (x - y_);
    return y_;
  }

 private:
  double y_ = 0;
};

// A band-pass biquad (constant peak gain).
class BandPass {
 public:
  BandPass(double centre, double q) {
    const double w = 2.0 * kPi * centre / kRate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    b0_ = alpha / a0;
    b2_ = -alpha / a0;
    a1_ = -2.0 * std::cos(w) / a0;
    a2_ = (1.0 - alpha) / a0;
  }
  double Run(double x) {
    const double y = b0_ * x + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

 private:
  double b0_, b2_, a1_, a2_;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// A sound of `seconds`, sample by sample: `at` gives the sample at time t.
std::vector<double> Render(double seconds, const std::function<double(double)>& at) {
  std::vector<double> out(static_cast<size_t>(std::lround(seconds * kRate)));
  for (size_t i = 0; i < out.size(); ++i) out[i] = at(static_cast<double>(i) / kRate);
  return out;
}

// JAN: a small truck pulls away with its load: an engine's firing pulses speeding up, a
// clank of the drums on the bed, and the sound fading as it drives off.
std::vector<double> Truck() {
  Noise noise(0x4A414E);
  LowPass body, rumble;
  double phase = 0;
  return Render(0.9, [&](double t) {
    const double firing = 26.0 + 22.0 * t;  // pulses a second
    phase += firing / kRate;
    const double inPulse = phase - std::floor(phase);
    // Each firing swells in over a few milliseconds rather than clicking on.
    const double pulse = (1.0 - std::exp(-inPulse * 70.0)) * std::exp(-inPulse * 9.0);
    const double engine = body.Run(noise.Next() * pulse, 520.0) * 2.6 +
                          std::sin(2 * kPi * firing * 2.0 * t) * pulse * 0.35;
    const double road = rumble.Run(noise.Next(), 160.0) * 0.9;
    const double clankT = t - 0.06;
    const double clank =
        clankT < 0 ? 0
                   : std::exp(-clankT * 28.0) * (std::sin(2 * kPi * 431.0 * clankT) * 0.5 +
                                                 std::sin(2 * kPi * 1187.0 * clankT) * 0.3 +
                                                 std::sin(2 * kPi * 1913.0 * clankT) * 0.2);
    const double away = t < 0.35 ? 1.0 : std::exp(-(t - 0.35) * 3.2);
    return (engine + road) * away + clank * 0.8;
  });
}

// JU: water on fire: a hiss that flares and dies away, with a few crackles in it.
std::vector<double> Hiss() {
  Noise noise(0x4A55);
  BandPass sizzle(5200.0, 0.9);
  BandPass steam(1800.0, 0.6);
  LowPass crackleShape;
  return Render(0.8, [&](double t) {
    const double flare = std::min(1.0, t / 0.025) * std::exp(-t * 3.4);
    const double white = noise.Next();
    double crackle = 0;
    if (noise.Next() > 0.9965) crackle = noise.Next() * 6.0;
    const double hiss = sizzle.Run(white) * 1.0 + steam.Run(white) * 0.35 * std::exp(-t * 6.0);
    return hiss * flare + crackleShape.Run(crackle, 3000.0) * flare;
  });
}

// BO: fire catching oil: a deep whoomp that swells through the low end, with a roar on top.
std::vector<double> Whoomp() {
  Noise noise(0x424F);
  LowPass roar, roar2;
  double phase = 0;
  return Render(0.7, [&](double t) {
    const double swell = std::min(1.0, t / 0.045) * std::exp(-t * 4.2);
    const double cutoff = 180.0 + 1400.0 * std::exp(-std::pow((t - 0.09) / 0.08, 2.0));
    const double flame = roar2.Run(roar.Run(noise.Next(), cutoff), cutoff) * 3.2;
    const double pitch = 48.0 + 70.0 * std::exp(-t * 9.0);
    phase += pitch / kRate;
    const double thump = std::sin(2 * kPi * phase) * std::min(1.0, t / 0.02) * std::exp(-t * 7.5);
    return flame * swell + thump * 0.8;
  });
}

// TON: a piece set down on the board: a short wooden knock.
std::vector<double> Knock() {
  Noise noise(0x544F4E);
  BandPass tap(2600.0, 1.4);
  return Render(0.22, [&](double t) {
    const double wood = std::sin(2 * kPi * 196.0 * t) * std::exp(-t * 38.0) * 0.9 +
                        std::sin(2 * kPi * 587.0 * t) * std::exp(-t * 60.0) * 0.5 +
                        std::sin(2 * kPi * 1410.0 * t) * std::exp(-t * 110.0) * 0.25;
    const double click = tap.Run(noise.Next()) * std::exp(-t * 420.0) * 0.8;
    return wood + click;
  });
}

// Peaks at -3 dBFS; raised-cosine fades so that neither end clicks.
std::vector<std::int16_t> Finish(std::vector<double> wave, double fadeIn, double fadeOut) {
  double peak = 0;
  for (double v : wave) peak = std::max(peak, std::abs(v));
  const double scale = peak > 0 ? std::pow(10.0, -3.0 / 20.0) * 32767.0 / peak : 0.0;
  const int n = static_cast<int>(wave.size());
  const int in = static_cast<int>(fadeIn * kRate);
  const int out = static_cast<int>(fadeOut * kRate);
  std::vector<std::int16_t> samples(wave.size());
  for (int i = 0; i < n; ++i) {
    double gain = 1.0;
    if (i < in) gain *= 0.5 - 0.5 * std::cos(kPi * i / in);
    if (i >= n - out) gain *= 0.5 - 0.5 * std::cos(kPi * (n - 1 - i) / out);
    samples[i] = static_cast<std::int16_t>(std::lround(wave[i] * scale * gain));
  }
  return samples;
}

// What a cue must be: under a second, peaks below -1 dBFS, silent at both ends (no click).
std::vector<std::int16_t> Checked(const std::string& name, std::vector<std::int16_t> samples) {
  int peak = 0;
  for (std::int16_t s : samples) peak = std::max(peak, std::abs(int(s)));
  if (samples.size() >= kRate || peak >= 32768 * std::pow(10.0, -1.0 / 20.0) ||
      std::abs(int(samples.front())) > 64 || std::abs(int(samples.back())) > 64) {
    throw SourceError(name + ": longer than a second, too loud or clicking at an end");
  }
  return samples;
}

Bytes EncodeWav(const std::vector<std::int16_t>& samples) {
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  Bytes file = {'R', 'I', 'F', 'F'};
  PutLe(file, 36 + dataBytes, 4);
  file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLe(file, 16, 4);
  PutLe(file, 1, 2);  // PCM
  PutLe(file, 1, 2);  // mono
  PutLe(file, kRate, 4);
  PutLe(file, kRate * 2, 4);
  PutLe(file, 2, 2);
  PutLe(file, 16, 2);
  file.insert(file.end(), {'d', 'a', 't', 'a'});
  PutLe(file, dataBytes, 4);
  for (std::int16_t s : samples) PutLe(file, static_cast<std::uint16_t>(s), 2);
  return file;
}

// ---------------------------------------------------------------------------------------------

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SourceError("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::map<std::string, Bytes> BuildAll(const std::string& folder) {
  const Score score = ParseScore(ReadText(folder + "/teku2.score"));
  const double seconds = FormTicks(score) / double(kDivision) * 60.0 / score.tempo;
  if (seconds < 40 || seconds > 90) throw SourceError("the loop must last 40 to 90 seconds");
  return {
      {"teku2.mid", EncodeMidi(score)},
      {"JAN.WAV", EncodeWav(Checked("JAN", Finish(Truck(), 0.008, 0.06)))},
      {"JU.WAV", EncodeWav(Checked("JU", Finish(Hiss(), 0.004, 0.08)))},
      {"BO.WAV", EncodeWav(Checked("BO", Finish(Whoomp(), 0.006, 0.08)))},
      {"TON.WAV", EncodeWav(Checked("TON", Finish(Knock(), 0.002, 0.04)))},
  };
}

int Run(int argc, char** argv) {
  const bool check = argc == 3 && std::string_view(argv[1]) == "--check";
  if (argc != 2 && !check) {
    std::fprintf(stderr, "usage: make_sounds [--check] <assets-folder>\n");
    return 2;
  }
  const std::string folder = argv[argc - 1];
  try {
    int stale = 0;
    for (const auto& [name, bytes] : BuildAll(folder)) {
      const std::string path = folder + "/" + name;
      if (check) {
        std::ifstream in(path, std::ios::binary);
        const Bytes committed((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
        if (committed != bytes) {
          std::fprintf(stderr, "%s is out of date: run make_sounds %s\n", path.c_str(),
                       folder.c_str());
          ++stale;
        }
        continue;
      }
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
      if (!out) throw SourceError("cannot write " + path);
    }
    return stale == 0 ? 0 : 1;
  } catch (const SourceError& e) {
    std::fprintf(stderr, "make_sounds: %s\n", e.what());
    return 1;
  }
}

}  // namespace
}  // namespace pyra

int main(int argc, char** argv) { return pyra::Run(argc, argv); }
