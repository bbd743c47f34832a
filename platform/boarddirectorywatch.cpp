#include "platform/boarddirectorywatch.h"

#include <QDir>

namespace plat {

BoardDirectoryWatch::BoardDirectoryWatch(const QString& directory, QObject* parent)
    : QObject(parent), m_directory(directory) {
  // The directory must exist to be watched; a board plugged in later creates its socket here.
  QDir().mkpath(directory);
  QFile::setPermissions(directory, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ExeOwner);
  m_watcher.addPath(directory);
  m_boards = ListBoards();
  connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &BoardDirectoryWatch::Rescan);
}

QSet<QString> BoardDirectoryWatch::ListBoards() const {
  const QStringList names =
      QDir(m_directory).entryList({QStringLiteral("*.sock")}, QDir::System | QDir::Files);
  return {names.begin(), names.end()};
}

void BoardDirectoryWatch::Rescan() {
  const QSet<QString> now = ListBoards();
  const qsizetype arrivals = (now - m_boards).size();
  const qsizetype removals = (m_boards - now).size();
  m_boards = now;
  for (qsizetype i = 0; i < removals; ++i) emit removed();
  for (qsizetype i = 0; i < arrivals; ++i) emit added();
}

}  // namespace plat
