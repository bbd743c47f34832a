#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// Every HID report in either direction is 65 bytes: byte 0 is the report id (0x00),
// bytes 1..64 the payload.
inline constexpr std::size_t kReportSize = 65;
using Report = std::array<std::uint8_t, kReportSize>;

// One present HID interface as an enumeration lists it.
struct HidInterface {
  std::string path;  // unique within the bus that listed it
};

// An opened HID interface.
class HidDevice {
 public:
  virtual ~HidDevice() = default;

  // The interface's USB identifiers; false when they cannot be read.
  virtual bool GetAttributes(std::uint16_t& vendorId, std::uint16_t& productId) = 0;
  // The interface's strings in UTF-16 code units; false when the device does not deliver them.
  virtual bool GetManufacturerString(std::u16string& text) = 0;
  virtual bool GetProductString(std::u16string& text) = 0;

  // Sends one output report; false when it could not be delivered.
  virtual bool WriteReport(const Report& report) = 0;
  // Receives the next input report, waiting at most `timeout`; false on failure or time-out,
  // in which case `report` is left unspecified.
  virtual bool ReadReport(Report& report, std::chrono::milliseconds timeout) = 0;
};

// A source of HID interfaces: real ones through hidapi, emulated ones on the virtual bus.
class HidBus {
 public:
  virtual ~HidBus() = default;

  // The present interfaces in enumeration order.
  virtual std::vector<HidInterface> Enumerate() = 0;
  // Opens an interface by the path Enumerate gave; null when it cannot be opened.
  virtual std::unique_ptr<HidDevice> Open(const std::string& path) = 0;
};

}  // namespace plat
