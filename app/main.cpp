// Pyra3: the command line, the application object, Qt's Japanese texts, one copy per user, and
// the game.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/command_line.h"
#include "app/platform_choice.h"
#include "app/program.h"
#include "app/single_instance.h"
#include "app/termination_signals.h"
#include "store/store_path.h"

int main(int argc, char** argv) {
  QApplication::setApplicationName(QStringLiteral("Pyra3"));
  QApplication::setApplicationVersion(QStringLiteral(PYRA_VERSION));
  // --help and --version are answered before Qt looks for a display.
  pyra::AnswerInformationOptions(argc, argv);

  // Where the windows go is the game's business: on Wayland desktops, X11 through XWayland.
  if (const auto platform = pyra::ChoosePlatform(pyra::ProcessEnvironment())) {
    qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(*platform));
  }
  // Whole-number scale factors keep the 32-pixel cells crisp on scaled screens.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
  QApplication app(argc, argv);
  if (const auto status = pyra::RejectLeftoverArguments()) return *status;
  // Desktops match the windows to the installed desktop entry by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral(PYRA_APP_ID));

  // Qt's own texts (the message boxes' buttons) in Japanese, like the rest of the program.
  QTranslator qtTexts;
  if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                   QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTexts);
  }

  pyra::SingleInstance instance(pyra::SingleInstance::DefaultLockPath());
  const bool anotherInstanceRuns = instance.AnotherInstanceRuns();

  pyra::Program program(pyra::DefaultStorePath());
  pyra::TerminationSignals termination([&program] { program.Terminate(); });
  // A refused start has shown its message; the program ends without writing anything.
  if (!program.Start(anotherInstanceRuns)) return 0;
  return app.exec();
}
