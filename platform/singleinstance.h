#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace plat {

// Holds a lock in the user's runtime directory for as long as this process runs, so a second
// copy of the program can tell that one already runs. A lock left by a crashed process is
// taken over.
class SingleInstance {
 public:
  explicit SingleInstance(const QString& name);

  // True when another live process holds the lock.
  bool IsAnotherRunning() const { return !m_owned; }

 private:
  std::unique_ptr<QLockFile> m_lock;
  bool m_owned = false;
};

}  // namespace plat
