#include "platform/virtualdevice.h"

#include "platform/virtualsocket.h"

#include <array>
#include <cerrno>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace plat {
namespace {

using Clock = std::chrono::steady_clock;

// A board that answered within this time is waited for without sleeping: on a virtual machine
// a wake-up from poll costs more than the whole exchange.
constexpr std::chrono::microseconds kSpinWindow{100};

// A board that accepts no report for this long is treated as gone for this write.
constexpr std::chrono::milliseconds kWriteBound{1000};

bool ConnectTo(int fd, const std::string& path) {
  sockaddr_un address;
  if (!MakeUnixAddress(path, address)) return false;
  // Non-blocking: a full backlog (a board process that is stopped) fails at once.
  return connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

std::optional<VirtualHandshake> ReceiveHandshake(int fd, std::chrono::milliseconds timeout) {
  const short events = WaitForEvents(fd, POLLIN, Clock::now() + timeout);
  if (!(events & POLLIN)) return std::nullopt;
  std::array<std::uint8_t, kVirtualDatagramLimit> buffer;
  const ssize_t size = recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
  if (size <= 0) return std::nullopt;
  return VirtualHandshake::Decode(std::span(buffer.data(), static_cast<std::size_t>(size)));
}

bool IsPeerGone(int error) { return error == EPIPE || error == ECONNRESET || error == ENOTCONN; }

}  // namespace

VirtualDevice::VirtualDevice(int fd, VirtualHandshake identity) : m_fd(fd), m_identity(std::move(identity)) {}

VirtualDevice::~VirtualDevice() { close(m_fd); }

std::unique_ptr<VirtualDevice> VirtualDevice::Connect(const std::string& path, std::chrono::milliseconds timeout) {
  const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  std::optional<VirtualHandshake> identity;
  if (ConnectTo(fd, path)) identity = ReceiveHandshake(fd, timeout);
  if (!identity) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<VirtualDevice>(fd, std::move(*identity));
}

bool VirtualDevice::GetAttributes(std::uint16_t& vendorId, std::uint16_t& productId) {
  vendorId = m_identity.vendorId;
  productId = m_identity.productId;
  return true;
}

bool VirtualDevice::GetManufacturerString(std::u16string& text) {
  if (!m_identity.manufacturer) return false;
  text = *m_identity.manufacturer;
  return true;
}

bool VirtualDevice::GetProductString(std::u16string& text) {
  if (!m_identity.product) return false;
  text = *m_identity.product;
  return true;
}

bool VirtualDevice::WriteReport(const Report& report) {
  const auto deadline = Clock::now() + kWriteBound;
  while (!m_gone) {
    const ssize_t sent = send(m_fd, report.data(), report.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent == static_cast<ssize_t>(report.size())) return true;
    if (sent >= 0 || IsPeerGone(errno)) {
      m_gone = true;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      const short events = WaitForEvents(m_fd, POLLOUT, deadline);
      if (events & (POLLHUP | POLLERR)) m_gone = true;
      if (!(events & POLLOUT)) return false;
    } else if (errno != EINTR) {
      return false;
    }
  }
  return false;
}

bool VirtualDevice::ReadReport(Report& report, std::chrono::milliseconds timeout) {
  const auto start = Clock::now();
  const auto deadline = start + timeout;
  const auto spinUntil = m_answersQuickly ? start + kSpinWindow : start;
  while (!m_gone) {
    // MSG_TRUNC reports the datagram's real size, so an oversized one is recognised.
    const ssize_t size = recv(m_fd, report.data(), report.size(), MSG_DONTWAIT | MSG_TRUNC);
    if (size == static_cast<ssize_t>(report.size())) {
      m_answersQuickly = Clock::now() - start < kSpinWindow;
      return true;
    }
    if (size > 0) return false;
    if (size == 0 || IsPeerGone(errno)) {
      m_gone = true;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      if (Clock::now() < spinUntil) continue;
      m_answersQuickly = false;
      // POLLHUP with data still queued is served by the next recv; without data it ends there.
      if (!WaitForEvents(m_fd, POLLIN, deadline)) return false;
    } else if (errno != EINTR) {
      return false;
    }
  }
  return false;
}

}  // namespace plat
