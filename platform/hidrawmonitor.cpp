#include "platform/hidrawmonitor.h"

#include <libudev.h>

#include <QSocketNotifier>
#include <cstring>

namespace plat {

HidrawMonitor::HidrawMonitor(QObject* parent) : QObject(parent) {
  m_udev = udev_new();
  if (m_udev == nullptr) return;
  m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
  if (m_monitor == nullptr ||
      udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
      udev_monitor_enable_receiving(m_monitor) < 0) {
    return;
  }
  const int fd = udev_monitor_get_fd(m_monitor);
  if (fd < 0) return;
  m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &HidrawMonitor::ReceiveEvent);
}

HidrawMonitor::~HidrawMonitor() {
  delete m_notifier;
  if (m_monitor != nullptr) udev_monitor_unref(m_monitor);
  if (m_udev != nullptr) udev_unref(m_udev);
}

void HidrawMonitor::ReceiveEvent() {
  udev_device* device = udev_monitor_receive_device(m_monitor);
  if (device == nullptr) return;
  const char* action = udev_device_get_action(device);
  const bool isAdd = action != nullptr && std::strcmp(action, "add") == 0;
  const bool isRemove = action != nullptr && std::strcmp(action, "remove") == 0;
  udev_device_unref(device);
  if (isAdd) emit added();
  if (isRemove) emit removed();
}

}  // namespace plat
