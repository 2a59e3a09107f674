// One running copy per user: a lock file that the running copy holds.
#pragma once

#include <QLockFile>
#include <QString>

namespace pyra {

class SingleInstance {
 public:
  explicit SingleInstance(const QString& lockPath);

  // Takes the lock for this copy. True only when another running copy holds it; a lock
  // left behind by a copy that has ended (a crash) is taken over. When the lock cannot be
  // made at all (no writable folder), the program runs: it cannot tell, and refusing to
  // start would be worse.
  bool AnotherInstanceRuns();
  bool Held() const { return lock_.isLocked(); }

  // pyra3.lock in the user's runtime folder, or in the program's configuration folder when
  // there is no runtime folder.
  static QString DefaultLockPath();

 private:
  QLockFile lock_;
};

}  // namespace pyra
