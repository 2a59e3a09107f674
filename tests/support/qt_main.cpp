// The Qt tests need an application object for widgets, fonts and the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  // Whatever a test forgets to point elsewhere lands in a folder of its own, never in the
  // user's settings and records. Headless, on a screen wide enough for 60 columns of cells.
  QTemporaryDir config;
  QFile screens(config.filePath("screens.json"));
  if (!config.isValid() || !screens.open(QIODevice::WriteOnly)) return 1;
  screens.write(R"({"screens": [{"name": "wide", "width": 2560, "height": 1600}]})");
  screens.close();
  qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (platform.isEmpty() || platform == "offscreen")
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
