#include "sound/qt_wave_out.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <cstdio>

namespace pyra {

namespace {

QtMessageHandler previousHandler = nullptr;

void FilterAudioChatter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg && IsAudioChatter(context.category, message)) return;
  if (previousHandler != nullptr) {
    previousHandler(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
  }
}

}  // namespace

bool IsAudioChatter(const char* category, const QString& message) {
  // Qt's PulseAudio streams report a server that went away (a restart) in these words; Qt
  // connects again by itself when the server is back within three seconds.
  return QLatin1String(category != nullptr ? category : "")
             .startsWith(QLatin1String("qt.multimedia")) ||
         message.startsWith(QLatin1String("PulseAudioService:")) ||
         message == QLatin1String("\"Stream error: Connection terminated\"");
}

void QuietenAudioWarnings() {
  static const bool installed = [] {
    previousHandler = qInstallMessageHandler(FilterAudioChatter);
    return true;
  }();
  (void)installed;
}

QtWaveOut::QtWaveOut() { QuietenAudioWarnings(); }

QtWaveOut::~QtWaveOut() = default;

void QtWaveOut::PlaySound(const std::string& file) {
  const QUrl url = QUrl::fromLocalFile(QString::fromStdString(file));
  // Qt keeps a sound decoded only while an effect holds it.
  std::unique_ptr<QSoundEffect>& loaded = loaded_[file];
  if (!loaded) {
    loaded = std::make_unique<QSoundEffect>();
    loaded->setSource(url);
  }
  // A new effect for every cue: Qt's output asks each new stream for the buffer its last one
  // was given, and one given a buffer smaller than its writes (as a restarted server came up)
  // stays silent for good. The effect still playing stops as it goes.
  playing_ = std::make_unique<QSoundEffect>();
  playing_->setSource(url);
  playing_->play();
}

int QtWaveOut::OutputDevices() { return int(QMediaDevices::audioOutputs().size()); }

}  // namespace pyra
