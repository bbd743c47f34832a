#pragma once

#include <QStringList>
#include <memory>

#include "camera/videoinput.h"

// The video capture devices of the machine, in enumeration order.
class VideoInputs {
 public:
  virtual ~VideoInputs() = default;

  // The devices' display names; a name's position is its device's position.
  virtual QStringList Names() const = 0;
  // The device at `index` of Names(); null when there is none there.
  virtual std::unique_ptr<VideoInput> Open(int index) const = 0;
};

// The devices in force: the Qt Multimedia ones unless a test installed its own.
VideoInputs& Inputs();
// Installs `inputs` (not owned) in place of the Qt Multimedia ones; null restores them.
void InstallInputs(VideoInputs* inputs);
