#include "app/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "settings/product.h"

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
  return QString::fromStdString(JoinPath(ProgramFolder().toStdString(), name.toStdString()));
}

}  // namespace pyra
