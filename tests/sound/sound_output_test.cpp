// Music and cues as the null sink of tools/with_sound_server.sh gets them, measured with sox.
#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <tuple>

#include "app/program_folder.h"
#include "sound/fluid_sequencer.h"
#include "sound/music.h"
#include "sound/qt_wave_out.h"

namespace pyra {
namespace {

constexpr double Silence = 0.002;  // RMS amplitude; music and cues measure far above it

QString Output(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  p.waitForFinished(10000);
  return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

// Records the null sink's monitor from construction to the first measurement.
struct Recording {
  Recording() {
    recorder_.start("parecord", {"--device=@DEFAULT_MONITOR@", "--file-format=wav", "--channels=1",
                                 "--latency-msec=20", folder_.filePath("heard.wav")});
    QTest::qWait(300);
  }
  // A figure of sox's report ("RMS amplitude", "Length (seconds)"), after sox effects.
  double Sox(const QStringList& effects = {}, const QString& figure = "RMS amplitude") {
    recorder_.terminate();
    recorder_.waitForFinished(5000);
    const QString report =
        Output("sox", QStringList{folder_.filePath("heard.wav"), "-n"} + effects << "stat");
    const auto match = QRegularExpression(figure + R"(: ([0-9.]+))").match(report.simplified());
    EXPECT_TRUE(match.hasMatch()) << report.toStdString();
    return match.captured(1).toDouble();
  }
  QTemporaryDir folder_;
  QProcess recorder_;
};

class SoundServer : public ::testing::Test {
 protected:
  void SetUp() override {
    // Never the user's server (nor their speakers), and loudly so.
    ASSERT_EQ(Output("pactl", {"get-default-sink"}).trimmed(), "pyra_null")
        << "needs the private sound server: run under tools/with_sound_server.sh";
  }
  const std::string music = ProgramFile(MusicFile).toStdString();
};

// The device wants four periods of 512 frames at 44100 a second. Each channel message reaches the
// synthesizer as itself; a note-off in either form ends a note an organ would hold for ever.
TEST(FluidSynth, TheDeviceIsAskedForFourPeriodsOf512AndEachMessageReachesTheSynthesizer) {
  fluid_settings_t* settings = NewSynthSettings();
  int size = 0, periods = 0;
  double rate = 0;
  fluid_settings_getint(settings, "audio.period-size", &size);
  fluid_settings_getint(settings, "audio.periods", &periods);
  fluid_settings_getnum(settings, "synth.sample-rate", &rate);
  EXPECT_EQ(std::tuple(size, periods, rate), std::tuple(512, 4, 44100.0));
  fluid_synth_t* synth = new_fluid_synth(settings);
  ASSERT_NE(fluid_synth_sfload(synth, FluidSequencer::SystemSoundFonts().back().c_str(), 1),
            FLUID_FAILED);
  const auto send = [synth](int status, int data1, int data2 = 0) {
    SendToSynth(synth, {0, uint8_t(status), uint8_t(data1), uint8_t(data2)});
  };
  send(0xC3, 19), send(0xB3, 7, 90), send(0xE3, 0x10, 0x50);  // church organ, volume, bend
  int font = 0, bank = 0, program = 0, volume = 0, bend = 0;
  fluid_synth_get_program(synth, 3, &font, &bank, &program);
  fluid_synth_get_cc(synth, 3, 7, &volume), fluid_synth_get_pitch_bend(synth, 3, &bend);
  EXPECT_EQ(std::tuple(program, volume, bend), std::tuple(19, 90, 0x10 | 0x50 << 7));
  std::vector<float> out(44100);
  const auto voicesASecondLater = [&] {
    fluid_synth_write_float(synth, 44100, out.data(), 0, 1, out.data(), 0, 1);
    return fluid_synth_get_active_voice_count(synth);
  };
  for (const auto& [off, velocity] : {std::pair{0x83, 64}, {0x93, 0}}) {
    send(0x93, 60, 100);
    EXPECT_GT(voicesASecondLater(), 0) << "the organ holds its note";
    send(off, 60, velocity);
    EXPECT_EQ(voicesASecondLater(), 0) << "ended by " << std::hex << off;
  }
  delete_fluid_synth(synth), delete_fluid_settings(settings);
}

TEST(QtWaveOut, OnlyTheAudioLibrariesComplaintsAreHidden) {
  const std::tuple<const char*, const char*, bool> messages[] = {
      {"qt.multimedia.audiooutput", "no device", true},
      {"default", "PulseAudioService: pa_context_connect() failed", true},
      {"default", "\"Stream error: Connection terminated\"", true},
      {"default", "Stream error: Connection terminated", false},
      {nullptr, "a warning of the game's own", false},
      {"qt.gui", "qt.multimedia", false}};
  for (const auto& [category, message, hidden] : messages)
    EXPECT_EQ(IsAudioChatter(category, message), hidden) << message;
}

TEST_F(SoundServer, NothingPlaysWithoutItsFileOrASoundFont) {
  QTemporaryDir folder;
  QFile::copy(ProgramFile(MusicFile), folder.filePath("cut.mid"));
  QFile::resize(folder.filePath("cut.mid"), 100);
  const std::string cut = folder.filePath("cut.mid").toStdString();
  const std::string small = FluidSequencer::SystemSoundFonts().back();
  for (const auto& [file, font, canPlay] : {std::tuple{cut, small, false},
                                            {music, ProgramFile("TON.WAV").toStdString(), false},
                                            {music, small, true}}) {
    FluidSequencer device({"/nonexistent.sf2", font});
    device.Open(file);
    device.Play(0, 100);
    EXPECT_EQ(device.Mode(), canPlay ? ModePlaying : ModeNotReady) << file << " " << font;
  }
}

TEST_F(SoundServer, TheMusicPlaysAtItsTempoStopsRewindsAndLoops) {
  FluidSequencer device;
  Music loop(device, ProgramFolder().toStdString());
  const auto song = ReadMidiSong(music).value();
  const double ticksPerSecond = song.division * 1e6 / song.events[0].tempo;
  ASSERT_TRUE(loop.Open(true));
  EXPECT_EQ(device.Length(), song.length);
  device.WaitUntilLoaded();
  QTest::qWait(500);
  // The position moves on with what is played, never ahead of the sound server's clock; a
  // busy machine may play less than it records (the tempo itself is checked headless).
  Recording heard;
  const int32_t first = device.Position();
  QTest::qWait(2000);
  const double advance = device.Position() - first;
  const double seconds = heard.Sox({}, "Length \\(seconds\\)");
  EXPECT_GT(advance, 0);
  EXPECT_LT(advance, seconds * ticksPerSecond * 1.2) << "ahead of what was heard";
  EXPECT_GT(heard.Sox(), Silence);

  const auto streams = [] { return Output("pactl", {"list", "sink-inputs"}).count("FluidSynth"); };
  EXPECT_GT(streams(), 0) << "the music's stream";
  loop.Stop();
  EXPECT_EQ(device.Position(), 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return streams() == 0; }, 3000)) << "a stream after the stop";
  QTest::qWait(200);  // what the server already had
  EXPECT_LT(Recording().Sox(), Silence);

  // The last half second: it stops at its end, and the loop tick starts it again.
  device.Play(device.Length() - int32_t(ticksPerSecond / 2), device.Length());
  QTest::qWait(1500);
  EXPECT_EQ(std::tuple(device.Mode(), device.Position()), std::tuple(ModeStopped, device.Length()));
  Recording again;
  loop.OnLoopClock();
  QTest::qWait(1000);
  EXPECT_EQ(device.Mode(), ModePlaying);
  EXPECT_LT(device.Position(), ticksPerSecond * 2) << "from the start again";
  EXPECT_GT(again.Sox(), Silence);
}

TEST_F(SoundServer, ACueComesOutAndALaterOneReplacesIt) {
  QtWaveOut wave;
  EXPECT_EQ(wave.OutputDevices(), 1);  // the null sink
  const auto play = [&](const char* cue) { wave.PlaySound(ProgramFile(cue).toStdString()); };
  // JAN lasts 0.9 s; TON, started 0.1 s into it, ends it 0.3 s in (measured from the start).
  for (const bool replace : {false, true}) {
    Recording heard;
    play("JAN.WAV");
    QTest::qWait(100);
    if (replace) play("TON.WAV");
    QTest::qWait(1200);
    const double tail = heard.Sox({"silence", "1", "0.002", "1%", "trim", "0.5", "0.3"});
    EXPECT_EQ(tail < Silence, replace) << "the tail of JAN: " << tail;
    EXPECT_GT(heard.Sox(), Silence);
  }
}

}  // namespace
}  // namespace pyra

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
