#pragma once

#include "platform/hidbus.h"

namespace plat {

// Emulated boards, each a Unix-domain SOCK_SEQPACKET socket file "<name>.sock" in one board
// directory. Listing the directory enumerates (sorted by file name), connecting opens; the
// board answers a connection with a VirtualHandshake, then every datagram is one report.
class VirtualBus final : public HidBus {
 public:
  // How long Open waits for a board's handshake.
  static constexpr std::chrono::milliseconds kHandshakeTimeout{1000};
  // The file name suffix of a board socket.
  static constexpr const char* kSocketSuffix = ".sock";

  explicit VirtualBus(std::string directory = DefaultDirectory());

  // $XDG_RUNTIME_DIR/varnostellion-boards, or /tmp/varnostellion-boards-<uid> without it.
  static std::string DefaultDirectory();
  // The socket path of the board called `name` in `directory`.
  static std::string SocketPath(const std::string& directory, const std::string& name);

  const std::string& Directory() const { return m_directory; }

  // Never connects, so a socket whose board has gone costs nothing here; Open skips it.
  std::vector<HidInterface> Enumerate() override;
  std::unique_ptr<HidDevice> Open(const std::string& path) override;

 private:
  std::string m_directory;
};

}  // namespace plat
