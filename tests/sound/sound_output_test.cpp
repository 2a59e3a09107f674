// The music and the cues as they come out of a real sound server: the private PulseAudio
// server of tests/system/with_sound_server.sh, whose null sink is recorded from its monitor
// and measured with sox.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include "app/program_folder.h"
#include "sound/fluid_sequencer.h"
#include "sound/midi_song.h"
#include "sound/music.h"
#include "sound/qt_wave_out.h"

namespace pyra {
namespace {

// Music and cues measure well above this; the silent null sink measures 0.
constexpr double Silence = 0.002;

QString Output(const QString& program, const QStringList& args) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  p.waitForFinished(10000);
  return QString::fromUtf8(p.readAll());
}

void Wait(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(5);
  }
}

// Records the null sink's monitor from construction to Stop().
class Recording {
 public:
  Recording() {
    // A short latency keeps the sink's clock close to the wall clock.
    recorder_.start("parecord", {"--device=@DEFAULT_MONITOR@", "--file-format=wav", "--channels=1",
                                 "--rate=44100", "--latency-msec=20", File()});
    recorder_.waitForStarted();
    Wait(300);
  }
  ~Recording() { Stop(); }
  void Stop() {
    if (recorder_.state() == QProcess::NotRunning) return;
    recorder_.terminate();
    recorder_.waitForFinished(5000);
  }
  QString File() const { return folder_.filePath("monitor.wav"); }
  // sox's RMS amplitude of the recording, after the effects given (trim, silence).
  double Rms(const QStringList& effects = {}) {
    Stop();
    const QString report = Output("sox", QStringList{File(), "-n"} + effects + QStringList{"stat"});
    const auto match = QRegularExpression(R"(RMS\s+amplitude:\s+([0-9.]+))").match(report);
    EXPECT_TRUE(match.hasMatch()) << report.toStdString();
    return match.captured(1).toDouble();
  }

 private:
  QTemporaryDir folder_;
  QProcess recorder_;
};

double TicksPerSecond() {
  const auto song = ReadMidiSong(ProgramFile(MusicFile).toStdString());
  return song ? song->division * 1e6 / song->events[0].tempo : 0;
}

class SoundServer : public ::testing::Test {
 protected:
  void SetUp() override {
    // Never the user's server (nor their speakers): only the private one, loudly otherwise.
    ASSERT_EQ(Output("pactl", {"get-default-sink"}).trimmed(), "pyra_null")
        << "needs the private sound server: run under tests/system/with_sound_server.sh "
           "(tools/test.sh does)";
  }
};

TEST_F(SoundServer, NothingPlaysWithoutItsFileOrASoundFont) {
  QTemporaryDir folder;
  const std::string damaged = folder.filePath("damaged.mid").toStdString();
  const std::string notAFont = folder.filePath("font.sf2").toStdString();
  QFile::copy(ProgramFile(MusicFile), QString::fromStdString(damaged));
  QFile::resize(QString::fromStdString(damaged), 100);
  QFile::copy(ProgramFile("TON.WAV"), QString::fromStdString(notAFont));
  const std::string music = ProgramFile(MusicFile).toStdString();
  const struct {
    std::string file;
    std::vector<std::string> fonts;
    bool canPlay;
  } cases[] = {
      {music, FluidSequencer::SystemSoundFonts(), true},
      {folder.filePath("none.mid").toStdString(), FluidSequencer::SystemSoundFonts(), false},
      {damaged, FluidSequencer::SystemSoundFonts(), false},
      {music, {folder.filePath("none.sf2").toStdString(), notAFont}, false},
      {music, {notAFont, FluidSequencer::SystemSoundFonts()[1]}, true},  // the next one
  };
  for (const auto& c : cases) {
    FluidSequencer device(c.fonts);
    device.Open(c.file);
    EXPECT_EQ(device.CanPlay(), c.canPlay) << c.file << " " << c.fonts[0];
    device.Play(0, 100);
    EXPECT_EQ(device.Mode(), c.canPlay ? ModePlaying : ModeNotReady) << c.file;
  }
}

TEST_F(SoundServer, TheMusicPlaysAtItsTempoAndStopsAtItsEnd) {
  FluidSequencer device;
  const std::string file = ProgramFile(MusicFile).toStdString();
  device.Open(file);
  ASSERT_TRUE(device.CanPlay());
  const auto song = ReadMidiSong(file);
  ASSERT_TRUE(song);
  EXPECT_EQ(device.Length(), song->length);
  EXPECT_EQ(device.Mode(), ModeStopped);

  Recording recording;
  device.Play(0, device.Length());
  device.WaitUntilLoaded();
  Wait(1000);
  const int32_t first = device.Position();
  Wait(1000);
  const int32_t second = device.Position();
  EXPECT_EQ(device.Mode(), ModePlaying);
  const double ticksPerSecond = TicksPerSecond();
  EXPECT_NEAR(second - first, ticksPerSecond, ticksPerSecond * 0.25);
  EXPECT_GT(recording.Rms(), Silence);

  // The last half second of the piece: it stops at its end, where the loop tick looks.
  device.Play(device.Length() - int32_t(ticksPerSecond / 2), device.Length());
  Wait(1500);
  EXPECT_EQ(device.Mode(), ModeStopped);
  EXPECT_EQ(device.Position(), device.Length());
}

TEST_F(SoundServer, UncheckingSilencesAndRecheckingStartsFromTheBeginning) {
  FluidSequencer device;
  GameOptions options = GameOptions::Defaults();
  Music music(device, options, ProgramFolder().toStdString());
  music.OpenMusic();
  ASSERT_EQ(options.Check1[2], Checked);
  device.WaitUntilLoaded();
  Wait(1500);
  music.StopMusic();
  EXPECT_EQ(device.Position(), 0);
  {
    Recording silence;
    Wait(1000);
    EXPECT_LT(silence.Rms(), Silence);
  }
  Recording again;
  EXPECT_TRUE(music.Play());
  Wait(1500);
  EXPECT_GT(again.Rms(), Silence);
  // From the beginning: not on from where it was stopped.
  EXPECT_LT(device.Position(), TicksPerSecond() * 2.5);
}

TEST_F(SoundServer, EveryCueComesOutAndALaterOneReplacesIt) {
  QtWaveOut wave;
  EXPECT_EQ(wave.OutputDevices(), 1);  // the null sink
  for (const char* cue : {"JAN", "JU", "BO", "TON"}) {
    Recording recording;
    wave.PlaySound(ProgramFile(QString(cue) + ".WAV").toStdString());
    Wait(1200);
    EXPECT_GT(recording.Rms(), Silence) << cue;
  }
  // JAN lasts 0.9 s; TON, started 0.1 s into it, ends it 0.3 s in.
  const auto tail = [&](bool replace) {
    Recording recording;
    wave.PlaySound(ProgramFile("JAN.WAV").toStdString());
    Wait(100);
    if (replace) wave.PlaySound(ProgramFile("TON.WAV").toStdString());
    Wait(1200);
    // From the first sound on: 0.5 to 0.8 s.
    return recording.Rms({"silence", "1", "0.002", "1%", "trim", "0.5", "0.3"});
  };
  EXPECT_GT(tail(false), Silence);
  EXPECT_LT(tail(true), Silence);
}

}  // namespace
}  // namespace pyra

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
