#pragma once

#include "platform/virtualendpoint.h"
#include "platform/virtualwireclock.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>

namespace plat {

// The board end of the virtual bus: owns the socket file of one board and serves every
// connection to it from one thread. Each connection first gets the endpoint's handshake;
// after that each datagram is one report, passed on to the connection's session.
// The wire clocks delay each received report and each reply by the report period.
class VirtualServer {
 public:
  // One report per millisecond in each direction, as a full-speed interrupt endpoint.
  static constexpr std::chrono::nanoseconds kDefaultReportPeriod = std::chrono::milliseconds(1);

  explicit VirtualServer(VirtualEndpoint& endpoint);
  ~VirtualServer();
  VirtualServer(const VirtualServer&) = delete;
  VirtualServer& operator=(const VirtualServer&) = delete;

  // Creates the socket file at `path` (and its directory when missing), replacing a stale
  // socket nobody serves, and starts serving. False when the socket cannot be created or a
  // live board already serves that path. A running server is stopped first.
  bool Start(const std::string& path);
  // Closes every connection, removes the socket file and joins the thread; returns promptly
  // also while the thread waits out wire time or a reply delay.
  void Stop();
  // False after Stop and after the endpoint made the board vanish.
  bool Serving() const { return m_serving.load(); }

  // Wire time per report in each direction; zero switches the timing model off.
  void SetReportPeriod(std::chrono::nanoseconds period);
  std::chrono::nanoseconds ReportPeriod() const { return m_inbound.Period(); }

  // Reports received from and sent to all connections since construction.
  std::uint64_t ReportsReceived() const { return m_received.load(std::memory_order_relaxed); }
  std::uint64_t ReportsSent() const { return m_sent.load(std::memory_order_relaxed); }

 private:
  struct Connection {
    int fd = -1;
    std::unique_ptr<VirtualEndpoint::Session> session;
  };
  using Clock = VirtualWireClock::Clock;

  bool Bind(const std::string& path);
  void Run();
  bool WaitForActivity();
  void AcceptAll();
  bool Drain(std::size_t index);
  bool Reply(std::size_t index, std::chrono::nanoseconds delay);
  bool WaitUntil(Clock::time_point deadline);
  void CloseConnection(std::size_t index);
  void RemoveClosedConnections();
  void Shutdown();

  VirtualEndpoint& m_endpoint;
  std::string m_path;
  int m_listenFd = -1;
  int m_stopFd = -1;
  std::thread m_thread;
  std::atomic<bool> m_serving{false};
  std::atomic<std::uint64_t> m_received{0};
  std::atomic<std::uint64_t> m_sent{0};

  // Owned by the serving thread.
  VirtualWireClock m_outbound{kDefaultReportPeriod};  // host to board
  VirtualWireClock m_inbound{kDefaultReportPeriod};   // board to host
  std::vector<Connection> m_connections;
  std::vector<pollfd> m_pollFds;
  Clock::time_point m_readyFloor{};  // no report read now can have arrived before this
  Report m_report{};
  Report m_reply{};
};

}  // namespace plat
