#pragma once

#include "platform/hidbus.h"
#include "platform/virtualhandshake.h"

namespace plat {

// An opened emulated board: a connected SOCK_SEQPACKET socket on which each datagram is one
// 65-byte report. Used by one thread at a time (the device link serialises access).
class VirtualDevice final : public HidDevice {
 public:
  // Takes ownership of the connected socket `fd`.
  VirtualDevice(int fd, VirtualHandshake identity);
  ~VirtualDevice() override;
  VirtualDevice(const VirtualDevice&) = delete;
  VirtualDevice& operator=(const VirtualDevice&) = delete;

  // Connects to the board socket at `path` and reads its handshake, waiting at most
  // `timeout`; null when there is no board answering there.
  static std::unique_ptr<VirtualDevice> Connect(const std::string& path, std::chrono::milliseconds timeout);

  bool GetAttributes(std::uint16_t& vendorId, std::uint16_t& productId) override;
  bool GetManufacturerString(std::u16string& text) override;
  bool GetProductString(std::u16string& text) override;
  // False once the board has gone (and when its input buffer stays full for a second).
  bool WriteReport(const Report& report) override;
  // False on time-out, once the board has gone, and for a datagram that is not one report.
  bool ReadReport(Report& report, std::chrono::milliseconds timeout) override;

 private:
  int m_fd;
  VirtualHandshake m_identity;
  bool m_gone = false;
  // The last reply came within the spin window, so the next one is awaited without sleeping.
  bool m_answersQuickly = true;
};

}  // namespace plat
