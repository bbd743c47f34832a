#include "device/usbhardware.h"

#include <cstring>

namespace {

// Narrows UTF-16 units to bytes: units from 0x100 on become '?', a zero unit ends the text.
std::string Narrow(const std::u16string& wide) {
  std::string narrow;
  for (char16_t unit : wide) {
    if (unit == 0) break;
    narrow.push_back(unit < 0x100 ? static_cast<char>(unit) : '?');
  }
  return narrow;
}

// The expected strings live in 255-byte zero-filled buffers, so at most 254 characters count.
std::string Expected(const char* text) {
  std::string copy(text);
  if (copy.size() > 254) copy.resize(254);
  return copy;
}

}  // namespace

CUSBHardWare::CUSBHardWare(plat::HidBus& bus) : m_bus(bus) {}

CUSBHardWare::~CUSBHardWare() = default;

int CUSBHardWare::FindHidDevice(std::uint16_t vendorId, const char* manufacturer,
                                std::uint16_t productId, const char* product,
                                std::unique_ptr<plat::HidDevice>& handle) {
  handle.reset();
  int result = kNotFound;
  for (const plat::HidInterface& candidate : m_bus.Enumerate()) {
    std::unique_ptr<plat::HidDevice> device = m_bus.Open(candidate.path);
    if (!device) continue;
    std::uint16_t foundVendor = 0;
    std::uint16_t foundProduct = 0;
    if (!device->GetAttributes(foundVendor, foundProduct) || foundVendor != vendorId ||
        foundProduct != productId) {
      continue;
    }
    result = kNotFound;
    if (manufacturer == nullptr || product == nullptr) {
      handle = std::move(device);
      return kFound;
    }
    std::u16string text;
    if (!device->GetManufacturerString(text)) {
      result = kStringUnreadable;
      continue;
    }
    if (Narrow(text) != Expected(manufacturer)) continue;
    if (!device->GetProductString(text)) {
      result = kStringUnreadable;
      continue;
    }
    if (Narrow(text) == Expected(product)) {
      handle = std::move(device);
      return kFound;
    }
  }
  return result;
}

std::unique_ptr<plat::HidDevice> CUSBHardWare::OpenBridgeBoard() {
  std::unique_ptr<plat::HidDevice> handle;
  if (FindHidDevice(kBridgeVendorId, kBridgeManufacturer, kBridgeProductId, kBridgeProduct,
                    handle) != kFound) {
    return nullptr;
  }
  return handle;
}

bool CUSBHardWare::ReplaceHandle() {
  std::lock_guard hardware(m_hardwareLock);
  m_handle.reset();
  m_replyMissed = false;
  m_handle = OpenBridgeBoard();
  return !m_handle;
}

bool CUSBHardWare::IsOpen() const { return m_handle != nullptr; }

void CUSBHardWare::WriteReport(const plat::Report& report) {
  std::lock_guard hardware(m_hardwareLock);
  if (m_replyMissed) DiscardStaleReports();
  if (!m_handle || !m_handle->WriteReport(report)) CountFailure();
}

void CUSBHardWare::ReadReport() {
  std::lock_guard hardware(m_hardwareLock);
  const auto timeout = std::chrono::milliseconds(m_readTimeoutMs.load(std::memory_order_relaxed));
  if (m_handle && m_handle->ReadReport(m_receive, timeout)) {
    m_receive[0] = 0;
    return;
  }
  m_receive.fill(0);
  m_replyMissed = m_handle != nullptr;
  CountFailure();
}

void CUSBHardWare::SetReadTimeout(std::chrono::milliseconds timeout) {
  m_readTimeoutMs.store(timeout.count(), std::memory_order_relaxed);
}

// A reply that came after its command gave up would otherwise be read as the answer to the
// next command, and every reply after it would be off by one.
void CUSBHardWare::DiscardStaleReports() {
  plat::Report stale{};
  while (m_handle && m_handle->ReadReport(stale, std::chrono::milliseconds(0))) {
  }
  m_replyMissed = false;
}
