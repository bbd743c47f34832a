#pragma once

#include <QObject>

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace plat {

// Reports hidraw interfaces that the kernel adds or removes, through the udev monitor.
// Where udev is not available it stays silent.
class HidrawMonitor final : public QObject {
  Q_OBJECT

 public:
  explicit HidrawMonitor(QObject* parent = nullptr);
  ~HidrawMonitor() override;

  bool IsListening() const { return m_notifier != nullptr; }

 signals:
  void added();
  void removed();

 private:
  void ReceiveEvent();

  udev* m_udev = nullptr;
  udev_monitor* m_monitor = nullptr;
  QSocketNotifier* m_notifier = nullptr;
};

}  // namespace plat
