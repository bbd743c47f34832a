#pragma once

#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/hidbus.h"

// A bus whose interfaces are a scripted list: ids, strings (absent = unreadable), whether
// they open, and a shared record of which ones were opened, read and closed.
struct ScriptedInterface {
  std::uint16_t vendorId = 0x04B4;
  std::uint16_t productId = 0xE006;
  std::optional<std::u16string> manufacturer = u"ORVAN TECH LTD.";
  std::optional<std::u16string> product = u"OrvanBoxLinkV4";
  bool opens = true;
};

struct BusRecord {
  std::vector<std::string> events;  // "open ifN" and "close ifN" in the order they happened
  int stringReads = 0;
  int writes = 0;
};

class ScriptedDevice final : public plat::HidDevice {
 public:
  ScriptedDevice(std::string path, ScriptedInterface script, BusRecord& record)
      : m_path(std::move(path)), m_script(std::move(script)), m_record(record) {}
  ~ScriptedDevice() override { m_record.events.push_back("close " + m_path); }

  bool GetAttributes(std::uint16_t& vendorId, std::uint16_t& productId) override {
    vendorId = m_script.vendorId;
    productId = m_script.productId;
    return true;
  }
  bool GetManufacturerString(std::u16string& text) override { return Read(m_script.manufacturer, text); }
  bool GetProductString(std::u16string& text) override { return Read(m_script.product, text); }
  bool WriteReport(const plat::Report&) override {
    ++m_record.writes;
    return true;
  }
  bool ReadReport(plat::Report& report, std::chrono::milliseconds) override {
    report.fill(0);
    return false;
  }
  const std::string& Path() const { return m_path; }

 private:
  bool Read(const std::optional<std::u16string>& value, std::u16string& text) {
    ++m_record.stringReads;
    if (!value) return false;
    text = *value;
    return true;
  }

  std::string m_path;
  ScriptedInterface m_script;
  BusRecord& m_record;
};

class ScriptedBus final : public plat::HidBus {
 public:
  explicit ScriptedBus(std::vector<ScriptedInterface> interfaces) : m_interfaces(std::move(interfaces)) {}

  std::vector<plat::HidInterface> Enumerate() override {
    std::vector<plat::HidInterface> list;
    for (std::size_t i = 0; i < m_interfaces.size(); ++i) list.push_back({"if" + std::to_string(i)});
    return list;
  }
  std::unique_ptr<plat::HidDevice> Open(const std::string& path) override {
    const std::size_t index = std::stoul(path.substr(2));
    if (index >= m_interfaces.size() || !m_interfaces[index].opens) return nullptr;
    record.events.push_back("open " + path);
    return std::make_unique<ScriptedDevice>(path, m_interfaces[index], record);
  }

  std::vector<ScriptedInterface> m_interfaces;
  BusRecord record;
};
