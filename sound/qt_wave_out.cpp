#include "sound/qt_wave_out.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <cstdio>

namespace pyra {

namespace {

QtMessageHandler previousHandler = nullptr;

bool IsAudioChatter(const QMessageLogContext& context, const QString& message) {
  const QLatin1String category(context.category != nullptr ? context.category : "");
  return category.startsWith(QLatin1String("qt.multimedia")) ||
         message.startsWith(QLatin1String("PulseAudioService:"));
}

void FilterAudioChatter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg && IsAudioChatter(context, message)) return;
  if (previousHandler != nullptr) {
    previousHandler(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
  }
}

}  // namespace

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
  std::unique_ptr<QSoundEffect>& effect = effects_[file];
  if (!effect) {
    effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(QString::fromStdString(file)));
  }
  if (playing_ != nullptr) playing_->stop();
  playing_ = effect.get();
  effect->play();
}

int QtWaveOut::OutputDevices() { return int(QMediaDevices::audioOutputs().size()); }

}  // namespace pyra
