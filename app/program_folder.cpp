#include "app/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "store/store_values.h"

namespace pyra {

QString ProgramFolder() {
  static const QString folder = [] {
    const QString executable = QCoreApplication::applicationDirPath();
    const QFileInfo installed(executable + QStringLiteral("/../share/pyra3"));
    if (installed.isDir()) return installed.canonicalFilePath();
    return executable;
  }();
  return folder;
}

QString ProgramFile(const QString& name) {
  const std::string folder = ProgramFolder().toStdString();
  return ProgramFolder() + QString::fromStdString(FolderSeparator(folder)) + name;
}

}  // namespace pyra
