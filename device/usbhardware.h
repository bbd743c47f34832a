#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "device/hiddata.h"
#include "platform/fairrecursivemutex.h"
#include "platform/hidbus.h"

// Raw HID access: finds the bridge board, owns its handle and the hardware lock, and moves
// 65-byte reports. Every exchange is bounded in time and every failed one is counted.
class CUSBHardWare : public hiddata {
 public:
  static constexpr std::uint16_t kBridgeVendorId = 0x04B4;
  static constexpr std::uint16_t kBridgeProductId = 0xE006;
  static constexpr const char* kBridgeManufacturer = "ORVAN TECH LTD.";  // 15 characters
  static constexpr const char* kBridgeProduct = "OrvanBoxLinkV4";
  static constexpr std::chrono::milliseconds kDefaultReadTimeout{1000};

  // Result codes of FindHidDevice.
  static constexpr int kFound = 0;
  static constexpr int kStringUnreadable = 2;
  static constexpr int kNotFound = 3;

  explicit CUSBHardWare(plat::HidBus& bus);
  ~CUSBHardWare() override;

  // Walks the bus's interfaces in order; on kFound `handle` holds the opened interface.
  // Null expected strings mean: accept the first interface whose identifiers match.
  int FindHidDevice(std::uint16_t vendorId, const char* manufacturer, std::uint16_t productId,
                    const char* product, std::unique_ptr<plat::HidDevice>& handle);
  // The bridge board's interface, or null.
  std::unique_ptr<plat::HidDevice> OpenBridgeBoard();
  bool IsOpen() const;

  void WriteReport(const plat::Report& report);
  // Reads the next input report into the receive buffer; after a failure or a time-out the
  // buffer is zero-filled, never left holding an earlier reply.
  void ReadReport();
  const plat::Report& ReceiveBuffer() const { return m_receive; }

  // Number of report writes and reads that failed since construction; a caller compares two
  // readings to learn whether every exchange in between succeeded.
  std::uint64_t FailedExchanges() const { return m_failures.load(std::memory_order_relaxed); }
  void SetReadTimeout(std::chrono::milliseconds timeout);

  plat::FairRecursiveMutex& HardwareLock() { return m_hardwareLock; }

 protected:
  // Closes any handle held, then opens the bridge board anew; true when no board was found.
  // The caller holds the channel lock, which this layer does not know.
  bool ReplaceHandle();

 private:
  void CountFailure() { m_failures.fetch_add(1, std::memory_order_relaxed); }
  void DiscardStaleReports();

  plat::HidBus& m_bus;
  plat::Report m_receive{};
  std::unique_ptr<plat::HidDevice> m_handle;
  plat::FairRecursiveMutex m_hardwareLock;
  std::atomic<std::uint64_t> m_failures{0};
  std::atomic<std::int64_t> m_readTimeoutMs{kDefaultReadTimeout.count()};
  // Set when a reply did not arrive in time: a late reply must not be taken for the next one.
  bool m_replyMissed = false;
};
