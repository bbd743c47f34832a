#include "platform/virtualconsole.h"

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace plat {
namespace {

int s_signalPipe[2] = {-1, -1};
struct sigaction s_previousInt;
struct sigaction s_previousTerm;

void OnStopSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(s_signalPipe[1], &byte, 1);
}

}  // namespace

VirtualConsole::VirtualConsole() {
  if (pipe2(s_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) s_signalPipe[0] = s_signalPipe[1] = -1;
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &s_previousInt);
  sigaction(SIGTERM, &action, &s_previousTerm);
}

VirtualConsole::~VirtualConsole() {
  sigaction(SIGINT, &s_previousInt, nullptr);
  sigaction(SIGTERM, &s_previousTerm, nullptr);
  for (int& fd : s_signalPipe) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

std::optional<std::string> VirtualConsole::NextLine() {
  for (;;) {
    if (std::optional<std::string> line = TakeLine()) return line;
    if (m_ended || m_signalled || !FillBuffer()) return std::nullopt;
  }
}

std::optional<std::string> VirtualConsole::TakeLine() {
  const std::size_t end = m_buffer.find('\n');
  if (end == std::string::npos && !(m_ended && !m_buffer.empty())) return std::nullopt;
  std::string line = m_buffer.substr(0, end);
  m_buffer.erase(0, end == std::string::npos ? end : end + 1);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// Waits for input or a stop signal; false when neither can come any more.
bool VirtualConsole::FillBuffer() {
  pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {s_signalPipe[0], POLLIN, 0}};
  if (poll(fds, 2, -1) < 0) return errno == EINTR;
  if (fds[1].revents & POLLIN) {
    m_signalled = true;
    return false;
  }
  char chunk[512];
  const ssize_t size = read(STDIN_FILENO, chunk, sizeof chunk);
  if (size > 0) m_buffer.append(chunk, static_cast<std::size_t>(size));
  if (size == 0 || (size < 0 && errno != EINTR && errno != EAGAIN)) m_ended = true;
  return true;
}

}  // namespace plat
