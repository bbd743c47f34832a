#include "platform/virtualbus.h"

#include "platform/virtualdevice.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

namespace plat {
namespace {

bool IsBoardSocket(const std::filesystem::directory_entry& entry) {
  std::error_code error;
  return entry.path().extension() == VirtualBus::kSocketSuffix && entry.is_socket(error);
}

}  // namespace

VirtualBus::VirtualBus(std::string directory) : m_directory(std::move(directory)) {}

std::string VirtualBus::DefaultDirectory() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::string(runtime) + "/varnostellion-boards";
  return "/tmp/varnostellion-boards-" + std::to_string(getuid());
}

std::string VirtualBus::SocketPath(const std::string& directory, const std::string& name) {
  return (std::filesystem::path(directory) / (name + kSocketSuffix)).string();
}

std::vector<HidInterface> VirtualBus::Enumerate() {
  std::vector<HidInterface> found;
  std::error_code error;
  // The non-throwing walk: a board may unplug while the directory is listed.
  for (std::filesystem::directory_iterator it(m_directory, error), end; !error && it != end; it.increment(error)) {
    if (IsBoardSocket(*it)) found.push_back({it->path().string()});
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.path < b.path; });
  return found;
}

std::unique_ptr<HidDevice> VirtualBus::Open(const std::string& path) {
  return VirtualDevice::Connect(path, kHandshakeTimeout);
}

}  // namespace plat
