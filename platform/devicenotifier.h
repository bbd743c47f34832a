#pragma once

#include <QObject>
#include <QString>

namespace plat {

class BoardDirectoryWatch;
class HidrawMonitor;

// Delivers every HID interface arrival and removal, real or emulated, on the thread that owns
// this object (the user-interface thread) as a device notice: event code and device type.
class DeviceNotifier final : public QObject {
  Q_OBJECT

 public:
  // `boardDirectory` is the virtual bus's directory; empty leaves emulated boards unwatched.
  explicit DeviceNotifier(const QString& boardDirectory, QObject* parent = nullptr);

  bool IsWatchingHidraw() const;
  // False when neither real nor emulated boards can be watched: only a search at start-up
  // would find a board.
  bool IsWatching() const;

 signals:
  void deviceChange(unsigned eventCode, unsigned deviceType);

 private:
  void Arrived();
  void Removed();

  HidrawMonitor* m_hidraw;
  BoardDirectoryWatch* m_boards = nullptr;
};

}  // namespace plat
