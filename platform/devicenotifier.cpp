#include "platform/devicenotifier.h"

#include "platform/boarddirectorywatch.h"
#include "platform/devicenotice.h"
#include "platform/hidrawmonitor.h"

namespace plat {

DeviceNotifier::DeviceNotifier(const QString& boardDirectory, QObject* parent)
    : QObject(parent), m_hidraw(new HidrawMonitor(this)) {
  connect(m_hidraw, &HidrawMonitor::added, this, &DeviceNotifier::Arrived);
  connect(m_hidraw, &HidrawMonitor::removed, this, &DeviceNotifier::Removed);
  if (boardDirectory.isEmpty()) return;
  m_boards = new BoardDirectoryWatch(boardDirectory, this);
  connect(m_boards, &BoardDirectoryWatch::added, this, &DeviceNotifier::Arrived);
  connect(m_boards, &BoardDirectoryWatch::removed, this, &DeviceNotifier::Removed);
}

bool DeviceNotifier::IsWatchingHidraw() const { return m_hidraw->IsListening(); }

bool DeviceNotifier::IsWatching() const {
  return IsWatchingHidraw() || (m_boards != nullptr && m_boards->IsWatching());
}

void DeviceNotifier::Arrived() { emit deviceChange(DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE); }

void DeviceNotifier::Removed() {
  emit deviceChange(DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_DEVICEINTERFACE);
}

}  // namespace plat
