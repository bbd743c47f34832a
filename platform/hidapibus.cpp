#include "platform/hidapibus.h"

#include <hidapi/hidapi.h>

#include <cstring>

namespace plat {
namespace {

// hidapi strings are wchar_t (UTF-32 on Linux); the link compares UTF-16 units.
std::u16string ToUtf16(const wchar_t* text) {
  std::u16string out;
  for (const wchar_t* p = text; *p != 0; ++p) {
    auto code = static_cast<char32_t>(*p);
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
  }
  return out;
}

class HidapiDevice final : public HidDevice {
 public:
  explicit HidapiDevice(hid_device* device) : m_device(device) {}
  ~HidapiDevice() override { hid_close(m_device); }
  HidapiDevice(const HidapiDevice&) = delete;
  HidapiDevice& operator=(const HidapiDevice&) = delete;

  bool GetAttributes(std::uint16_t& vendorId, std::uint16_t& productId) override {
    const hid_device_info* info = hid_get_device_info(m_device);
    if (info == nullptr) return false;
    vendorId = info->vendor_id;
    productId = info->product_id;
    return true;
  }

  bool GetManufacturerString(std::u16string& text) override {
    return ReadString(hid_get_manufacturer_string, text);
  }

  bool GetProductString(std::u16string& text) override {
    return ReadString(hid_get_product_string, text);
  }

  bool WriteReport(const Report& report) override {
    return hid_write(m_device, report.data(), report.size()) == static_cast<int>(report.size());
  }

  // hidapi delivers the payload without the report id of an unnumbered report; put it back
  // so that bytes 1..64 are the payload, as the link expects.
  bool ReadReport(Report& report, std::chrono::milliseconds timeout) override {
    report.fill(0);
    const int got = hid_read_timeout(m_device, report.data() + 1, report.size() - 1,
                                     static_cast<int>(timeout.count()));
    return got > 0;
  }

 private:
  using StringGetter = int (*)(hid_device*, wchar_t*, size_t);

  // 256 wide characters: the same 512 bytes of UTF-16 the original string buffer held.
  bool ReadString(StringGetter getter, std::u16string& text) {
    wchar_t buffer[256] = {};
    if (getter(m_device, buffer, std::size(buffer)) != 0) return false;
    text = ToUtf16(buffer);
    return true;
  }

  hid_device* m_device;
};

}  // namespace

// hid_init is idempotent and holds nothing worth releasing; hid_exit is left out so that one
// bus going away never pulls the library from under another.
HidapiBus::HidapiBus() : m_ready(hid_init() == 0) {}

std::vector<HidInterface> HidapiBus::Enumerate() {
  std::vector<HidInterface> found;
  if (!m_ready) return found;
  hid_device_info* list = hid_enumerate(0, 0);
  for (const hid_device_info* info = list; info != nullptr; info = info->next) {
    found.push_back({info->path});
  }
  hid_free_enumeration(list);
  return found;
}

std::unique_ptr<HidDevice> HidapiBus::Open(const std::string& path) {
  if (!m_ready) return nullptr;
  hid_device* device = hid_open_path(path.c_str());
  if (device == nullptr) return nullptr;
  return std::make_unique<HidapiDevice>(device);
}

}  // namespace plat
