#pragma once

#include <chrono>
#include <string>

#include <sys/un.h>

// Small POSIX helpers shared by both ends of the virtual bus.
namespace plat {

// Datagram sizes never exceed this on the virtual bus (a report or a handshake).
inline constexpr std::size_t kVirtualDatagramLimit = 1024;

// Fills `address` for a Unix-domain socket at `path`; false when the path does not fit.
bool MakeUnixAddress(const std::string& path, sockaddr_un& address);

// Waits until `fd` reports one of `events` (poll flags) or `deadline` passes, retrying
// after signals. Returns the revents seen, 0 on time-out.
short WaitForEvents(int fd, short events, std::chrono::steady_clock::time_point deadline);

}  // namespace plat
