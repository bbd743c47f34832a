#include "platform/combinedbus.h"

#include <charconv>

namespace plat {

CombinedBus::CombinedBus(std::vector<std::unique_ptr<HidBus>> buses) : m_buses(std::move(buses)) {}

std::vector<HidInterface> CombinedBus::Enumerate() {
  std::vector<HidInterface> all;
  for (std::size_t bus = 0; bus < m_buses.size(); ++bus) {
    for (HidInterface& found : m_buses[bus]->Enumerate()) {
      all.push_back({std::to_string(bus) + ':' + found.path});
    }
  }
  return all;
}

std::unique_ptr<HidDevice> CombinedBus::Open(const std::string& path) {
  const std::size_t colon = path.find(':');
  std::size_t bus = 0;
  if (colon == std::string::npos) return nullptr;
  const auto [end, error] = std::from_chars(path.data(), path.data() + colon, bus);
  if (error != std::errc() || end != path.data() + colon || bus >= m_buses.size()) return nullptr;
  return m_buses[bus]->Open(path.substr(colon + 1));
}

}  // namespace plat
