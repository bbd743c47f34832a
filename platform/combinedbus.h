#pragma once

#include "platform/hidbus.h"

namespace plat {

// One ordered view of several buses: every interface of the first bus, then of the second, ...
// Paths are tagged with the bus's position so that Open reaches the bus that listed them.
class CombinedBus final : public HidBus {
 public:
  explicit CombinedBus(std::vector<std::unique_ptr<HidBus>> buses);

  std::vector<HidInterface> Enumerate() override;
  std::unique_ptr<HidDevice> Open(const std::string& path) override;

 private:
  std::vector<std::unique_ptr<HidBus>> m_buses;
};

}  // namespace plat
