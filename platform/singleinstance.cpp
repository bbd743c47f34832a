#include "platform/singleinstance.h"

#include <QDir>
#include <QStandardPaths>

namespace plat {

SingleInstance::SingleInstance(const QString& name) {
  QString directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (directory.isEmpty()) directory = QDir::tempPath();
  m_lock = std::make_unique<QLockFile>(QDir(directory).filePath(name + QStringLiteral(".lock")));
  m_lock->setStaleLockTime(0);  // only a dead owner makes the lock stale, never its age
  m_owned = m_lock->tryLock(0);
}

}  // namespace plat
