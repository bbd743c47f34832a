#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QString>

namespace plat {

// Reports emulated boards that appear in or disappear from the virtual bus's directory
// (one socket file per board).
class BoardDirectoryWatch final : public QObject {
  Q_OBJECT

 public:
  explicit BoardDirectoryWatch(const QString& directory, QObject* parent = nullptr);

  bool IsWatching() const { return !m_watcher.directories().isEmpty(); }

 signals:
  void added();
  void removed();

 private:
  QSet<QString> ListBoards() const;
  void Rescan();

  QString m_directory;
  QFileSystemWatcher m_watcher;
  QSet<QString> m_boards;
};

}  // namespace plat
