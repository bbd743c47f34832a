#include "camera/qtvideoinputs.h"

#include <QMediaDevices>

#include "camera/qtvideoinput.h"

QStringList QtVideoInputs::Names() const {
  QStringList names;
  for (const QCameraDevice& device : QMediaDevices::videoInputs()) names << device.description();
  return names;
}

std::unique_ptr<VideoInput> QtVideoInputs::Open(int index) const {
  const QList<QCameraDevice> devices = QMediaDevices::videoInputs();
  if (index < 0 || index >= devices.size()) return nullptr;
  return std::make_unique<QtVideoInput>(devices.at(index));
}
