#pragma once

#include "platform/hidbus.h"

namespace plat {

// Real HID interfaces through hidapi (the hidraw backend on Linux).
class HidapiBus final : public HidBus {
 public:
  HidapiBus();

  std::vector<HidInterface> Enumerate() override;
  std::unique_ptr<HidDevice> Open(const std::string& path) override;

 private:
  bool m_ready = false;
};

}  // namespace plat
