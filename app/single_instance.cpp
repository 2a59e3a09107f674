#include "app/single_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace pyra {

SingleInstance::SingleInstance(const QString& lockPath) : lock_(lockPath) {
  // Only a dead owner makes a lock stale, however long the owner has been running.
  lock_.setStaleLockTime(0);
}

bool SingleInstance::AnotherInstanceRuns() {
  if (lock_.isLocked() || lock_.tryLock(0)) return false;
  return lock_.error() == QLockFile::LockFailedError;
}

QString SingleInstance::DefaultLockPath() {
  QString folder;
  // Without XDG_RUNTIME_DIR Qt would make up a folder under /tmp; the configuration folder
  // is the better place then.
  if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
    folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  }
  if (folder.isEmpty()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
             QStringLiteral("/Pyra3");
    QDir().mkpath(folder);
  }
  return folder + QStringLiteral("/pyra3.lock");
}

}  // namespace pyra
