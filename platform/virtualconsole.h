#pragma once

#include <optional>
#include <string>

namespace plat {

// Command lines from standard input for the standalone board program, ended by the end of
// input or by SIGINT / SIGTERM. One instance at a time; it restores the signal handlers when
// it goes.
class VirtualConsole {
 public:
  VirtualConsole();
  ~VirtualConsole();
  VirtualConsole(const VirtualConsole&) = delete;
  VirtualConsole& operator=(const VirtualConsole&) = delete;

  // The next line without its line end; empty once input ended or a stop signal came.
  std::optional<std::string> NextLine();
  // True when a stop signal ended the input.
  bool Signalled() const { return m_signalled; }

 private:
  std::optional<std::string> TakeLine();
  bool FillBuffer();

  std::string m_buffer;
  bool m_ended = false;
  bool m_signalled = false;
};

}  // namespace plat
