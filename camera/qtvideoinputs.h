#pragma once

#include "camera/videoinputs.h"

// The cameras Qt Multimedia finds (QMediaDevices::videoInputs), in its order.
class QtVideoInputs final : public VideoInputs {
 public:
  QStringList Names() const override;
  std::unique_ptr<VideoInput> Open(int index) const override;
};
