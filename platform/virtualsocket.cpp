#include "platform/virtualsocket.h"

#include <cerrno>
#include <algorithm>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>

namespace plat {

bool MakeUnixAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size());
  return true;
}

short WaitForEvents(int fd, short events, std::chrono::steady_clock::time_point deadline) {
  using namespace std::chrono;
  for (;;) {
    const auto left = ceil<milliseconds>(deadline - steady_clock::now());
    pollfd entry{fd, events, 0};
    const int ready = poll(&entry, 1, static_cast<int>(std::max<milliseconds::rep>(left.count(), 0)));
    if (ready > 0) return entry.revents;
    if (ready == 0) return 0;
    if (errno != EINTR) return POLLERR;
  }
}

}  // namespace plat
