#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

namespace pyra {

namespace {

void DescribeOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(QStringLiteral(
      "A two-player board game: place fire, oil, water and trucks; every piece reacts with "
      "its neighbours."));
  // Qt's own options are whole words after one dash (-platform): never letters to split.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.addHelpOption();
  parser.addVersionOption();
}

}  // namespace

void AnswerInformationOptions(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QCommandLineParser parser;
  DescribeOptions(parser);
  // Qt's options are still on the line and count as unknown here; they are judged once the
  // application object has taken them (RejectLeftoverArguments).
  parser.parse(arguments);
  QString request;
  for (const char* name : {"version", "help", "help-all"}) {  // the order in which Qt answers
    if (parser.isSet(QLatin1String(name))) {
      request = QStringLiteral("--") + QLatin1String(name);
      break;
    }
  }
  if (request.isEmpty()) return;
  // The application object names the program in the usage line. It sees the program's name
  // alone, so that no -platform on the line can send it looking for a display.
  int programOnly = 1;
  const QStringList answer{arguments.value(0), request};
  if (request == QLatin1String("--help-all")) {
    // Qt's windowing options are listed by the GUI application object: one without a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(programOnly, argv);
    parser.process(answer);  // prints and exits
  } else {
    QCoreApplication app(programOnly, argv);
    parser.process(answer);  // prints and exits
  }
}

std::optional<int> RejectLeftoverArguments() {
  const QStringList arguments = QCoreApplication::arguments();
  QCommandLineParser parser;
  DescribeOptions(parser);
  QString mistake;
  if (!parser.parse(arguments)) {
    mistake = parser.errorText();
  } else if (!parser.positionalArguments().isEmpty()) {
    mistake = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments()[0]);
  }
  if (mistake.isEmpty()) return std::nullopt;
  const QString program = QFileInfo(arguments.value(0)).fileName();
  std::fprintf(stderr, "%s: %s Try '%s --help'.\n", qPrintable(program), qPrintable(mistake),
               qPrintable(program));
  return 2;
}

}  // namespace pyra
