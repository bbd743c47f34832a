#include "platform/virtualserver.h"

#include "platform/virtualsocket.h"

#include <cerrno>
#include <filesystem>

#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace plat {
namespace {

constexpr int kBacklog = 16;
// On a virtual machine a wake-up from poll comes tens to hundreds of microseconds late, which
// would show in every exchange: after each report the next one is awaited this long without
// sleeping, and a planned wire time is reached by spinning through its last stretch.
constexpr std::chrono::microseconds kNextReportSpin{150};
constexpr std::chrono::microseconds kWakeEarly{400};
constexpr short kReadable = POLLIN | POLLHUP | POLLERR;

int NewSocket() { return socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0); }

bool BindTo(int fd, const sockaddr_un& address) {
  return bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

// A socket file left behind by a board process that died refuses connections.
bool IsStale(const sockaddr_un& address) {
  const int probe = NewSocket();
  const bool refused = connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
                       errno == ECONNREFUSED;
  close(probe);
  return refused;
}

timespec ToTimespec(std::chrono::nanoseconds span) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(span);
  return {static_cast<time_t>(seconds.count()), static_cast<long>((span - seconds).count())};
}

bool SendDatagram(int fd, const void* data, std::size_t size) {
  return send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT) == static_cast<ssize_t>(size);
}

}  // namespace

VirtualServer::VirtualServer(VirtualEndpoint& endpoint) : m_endpoint(endpoint) {}

VirtualServer::~VirtualServer() { Stop(); }

void VirtualServer::SetReportPeriod(std::chrono::nanoseconds period) {
  m_outbound.SetPeriod(period);
  m_inbound.SetPeriod(period);
}

bool VirtualServer::Start(const std::string& path) {
  Stop();
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  if (!Bind(path)) return false;
  m_stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (m_stopFd < 0) {
    Shutdown();
    return false;
  }
  m_serving = true;
  m_thread = std::thread(&VirtualServer::Run, this);
  return true;
}

bool VirtualServer::Bind(const std::string& path) {
  sockaddr_un address;
  if (!MakeUnixAddress(path, address)) return false;
  m_listenFd = NewSocket();
  if (m_listenFd < 0) return false;
  m_path = path;
  bool bound = BindTo(m_listenFd, address);
  if (!bound && errno == EADDRINUSE && IsStale(address)) {
    unlink(path.c_str());
    bound = BindTo(m_listenFd, address);
  }
  if (bound && listen(m_listenFd, kBacklog) == 0) return true;
  if (!bound) m_path.clear();  // the file belongs to someone else: leave it alone
  Shutdown();
  return false;
}

void VirtualServer::Stop() {
  if (m_thread.joinable()) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_stopFd, &one, sizeof one);
    m_thread.join();
  }
  if (m_stopFd >= 0) close(m_stopFd);
  m_stopFd = -1;
}

void VirtualServer::Run() {
  // Wake-ups within a microsecond keep the wire clock exact.
  prctl(PR_SET_TIMERSLACK, 1UL);
  while (WaitForActivity()) {
    m_readyFloor = Clock::now();
    const std::size_t polled = m_pollFds.size();
    if (m_pollFds[1].revents & POLLIN) AcceptAll();
    bool running = true;
    for (std::size_t i = 2; running && i < polled; ++i) {
      if (m_pollFds[i].revents & kReadable) running = Drain(i - 2);
    }
    if (!running) break;
    RemoveClosedConnections();
  }
  Shutdown();
}

bool VirtualServer::WaitForActivity() {
  m_pollFds.clear();
  m_pollFds.push_back({m_stopFd, POLLIN, 0});
  m_pollFds.push_back({m_listenFd, POLLIN, 0});
  for (const Connection& connection : m_connections) m_pollFds.push_back({connection.fd, POLLIN, 0});
  for (;;) {
    if (poll(m_pollFds.data(), m_pollFds.size(), -1) > 0) return !(m_pollFds[0].revents & POLLIN);
    if (errno != EINTR) return false;
  }
}

void VirtualServer::AcceptAll() {
  for (;;) {
    const int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    const std::vector<std::uint8_t> handshake = m_endpoint.Handshake().Encode();
    if (!SendDatagram(fd, handshake.data(), handshake.size())) {
      close(fd);
      continue;
    }
    m_connections.push_back({fd, m_endpoint.OpenSession()});
  }
}

// Serves every report queued on one connection; false when the server must end.
bool VirtualServer::Drain(std::size_t index) {
  auto spinUntil = Clock::now() + kNextReportSpin;
  bool spun = false;
  for (;;) {
    Connection& connection = m_connections[index];
    const ssize_t size = recv(connection.fd, m_report.data(), m_report.size(), MSG_DONTWAIT | MSG_TRUNC);
    if (size < 0 && errno == EINTR) continue;
    if (size < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (Clock::now() >= spinUntil) return true;
      spun = true;
      continue;
    }
    // A report caught while spinning was ready when it arrived, not when the server woke.
    if (spun) m_readyFloor = Clock::now();
    spun = false;
    if (size <= 0) {
      CloseConnection(index);
      return true;
    }
    if (size != static_cast<ssize_t>(m_report.size())) continue;  // not a report
    m_received.fetch_add(1, std::memory_order_relaxed);
    if (m_outbound.Period().count() > 0 && !WaitUntil(m_outbound.Book(m_readyFloor))) return false;
    const VirtualEndpoint::Outcome outcome = m_connections[index].session->OnReport(m_report, m_reply);
    if (outcome.vanish) return false;
    if (outcome.reply && !Reply(index, outcome.replyDelay)) return false;
    spinUntil = Clock::now() + kNextReportSpin;
  }
}

bool VirtualServer::Reply(std::size_t index, std::chrono::nanoseconds delay) {
  if (delay.count() > 0 || m_inbound.Period().count() > 0) {
    if (!WaitUntil(m_inbound.Book(Clock::now() + delay))) return false;
  }
  if (m_connections[index].fd < 0) return true;
  // Counted first, so a host that has read the reply also sees it counted.
  m_sent.fetch_add(1, std::memory_order_relaxed);
  if (!SendDatagram(m_connections[index].fd, m_reply.data(), m_reply.size())) {
    m_sent.fetch_sub(1, std::memory_order_relaxed);
    // A host that stopped reading loses the reply, as on a real endpoint.
    if (errno != EAGAIN && errno != EWOULDBLOCK) CloseConnection(index);
  }
  m_readyFloor = Clock::now();
  return true;
}

// Sleeps until `deadline`, still taking new connections; false when asked to stop.
bool VirtualServer::WaitUntil(Clock::time_point deadline) {
  for (;;) {
    const auto left = deadline - Clock::now();
    if (left.count() <= 0) return true;
    if (left < kWakeEarly) continue;
    pollfd fds[2] = {{m_stopFd, POLLIN, 0}, {m_listenFd, POLLIN, 0}};
    const timespec timeout = ToTimespec(left - kWakeEarly);
    if (ppoll(fds, 2, &timeout, nullptr) > 0) {
      if (fds[0].revents & POLLIN) return false;
      if (fds[1].revents & POLLIN) AcceptAll();
    }
  }
}

void VirtualServer::CloseConnection(std::size_t index) {
  Connection& connection = m_connections[index];
  if (connection.fd >= 0) close(connection.fd);
  connection.fd = -1;
}

void VirtualServer::RemoveClosedConnections() {
  std::erase_if(m_connections, [](const Connection& connection) { return connection.fd < 0; });
}

// Removing the file first means no host can connect to a board that is going away.
void VirtualServer::Shutdown() {
  m_serving = false;
  if (!m_path.empty()) unlink(m_path.c_str());
  m_path.clear();
  if (m_listenFd >= 0) close(m_listenFd);
  m_listenFd = -1;
  for (std::size_t i = 0; i < m_connections.size(); ++i) CloseConnection(i);
  m_connections.clear();
}

}  // namespace plat
