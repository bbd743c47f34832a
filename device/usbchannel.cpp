#include "device/usbchannel.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace {

constexpr std::uint8_t CMD_QUERY_STATUS = 0x1C;
constexpr std::uint8_t CMD_WRITE_PAGE = 0x20;
constexpr std::uint8_t CMD_READ_PAGE = 0x21;
constexpr std::uint8_t CMD_WRITE_MEMORY = 0x22;
constexpr std::uint8_t CMD_READ_MEMORY = 0x23;
constexpr std::uint8_t CMD_READ_OUTPUTS = 0x24;
constexpr std::uint8_t CMD_WRITE_OUTPUTS = 0x25;
constexpr std::uint8_t CMD_READ_CHANNELS = 0x30;
constexpr std::uint8_t CMD_MODIFY_PAGE_BITS = 0x40;
constexpr std::uint8_t CMD_SELECT_EXPANSION_GROUP = 0x50;
constexpr std::uint8_t CMD_PARAMETERS_CHANGED = 0xFD;
constexpr std::uint8_t CMD_READ_FIRMWARE_INFO = 0xFF;

constexpr std::chrono::milliseconds kAfterMemoryWrite{10};
constexpr std::chrono::milliseconds kBeforeCellTransfer{20};

constexpr std::uint16_t kTableQuarters[] = {0x0000, 0x0040, 0x0080, 0x00C0};

plat::Report HeaderReport(std::uint8_t command) {
  plat::Report report{};
  report[1] = 0xAA;
  report[2] = 0x55;
  report[3] = command;
  return report;
}

std::uint8_t High(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }
std::uint8_t Low(std::uint16_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

std::uint8_t BlockLength(CellBlockKind kind) { return kind == CellBlockKind::MASK ? 32 : 64; }

}  // namespace

CUSBChannel::CUSBChannel(plat::HidBus& bus) : CUSBHardWare(bus) {}

CUSBChannel::~CUSBChannel() = default;

bool CUSBChannel::Connect() {
  std::lock_guard channel(m_channelLock);
  return ReplaceHandle();
}

// --- report composition -------------------------------------------------------------------

void CUSBChannel::SendHeader(std::uint8_t command) { WriteReport(HeaderReport(command)); }

void CUSBChannel::SendParameters(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
  plat::Report report{};
  report[1] = b1;
  report[2] = b2;
  report[3] = b3;
  WriteReport(report);
}

void CUSBChannel::SendData(const std::uint8_t* data, std::size_t length) {
  plat::Report report{};
  std::memcpy(report.data() + 1, data, std::min<std::size_t>(length, 64));
  WriteReport(report);
}

void CUSBChannel::CopyReply(Block& data) {
  ReadReport();
  std::memcpy(data.data(), ReceiveBuffer().data() + 1, data.size());
}

void CUSBChannel::PauseWhileOpen(std::chrono::milliseconds pause) {
  if (IsOpen()) std::this_thread::sleep_for(pause);
}

// --- commands -----------------------------------------------------------------------------

int CUSBChannel::QueryStatus() {
  std::lock_guard hardware(HardwareLock());
  SendHeader(CMD_QUERY_STATUS);
  SendParameters(0x01, 0, 0);
  ReadReport();
  return (ReceiveBuffer()[1] >> 2) & 3;
}

void CUSBChannel::WritePage(std::uint8_t page, const Block& data) {
  std::lock_guard hardware(HardwareLock());
  SendHeader(CMD_WRITE_PAGE);
  SendParameters(page, 0, 0);
  SendData(data.data(), data.size());
}

void CUSBChannel::ReadPage(std::uint8_t page, Block& data) {
  std::lock_guard hardware(HardwareLock());
  SendHeader(CMD_READ_PAGE);
  SendParameters(page, 0x40, 0);
  CopyReply(data);
}

void CUSBChannel::WriteMemory(std::uint16_t address, std::uint8_t length, const std::uint8_t* data) {
  std::lock_guard hardware(HardwareLock());
  SendHeader(CMD_WRITE_MEMORY);
  SendParameters(High(address), Low(address), length);
  SendData(data, length);
  PauseWhileOpen(kAfterMemoryWrite);
}

void CUSBChannel::ReadMemory(std::uint16_t address, std::uint8_t length, Block& data) {
  std::lock_guard hardware(HardwareLock());
  SendHeader(CMD_READ_MEMORY);
  SendParameters(High(address), Low(address), length);
  CopyReply(data);
}

void CUSBChannel::ReadOutputs(Block& outputs) {
  std::lock_guard hardware(HardwareLock());
  SendHeader(CMD_READ_OUTPUTS);
  CopyReply(outputs);
}

void CUSBChannel::WriteOutputs(const Block& outputs) {
  std::lock_guard hardware(HardwareLock());
  SendHeader(CMD_WRITE_OUTPUTS);
  SendData(outputs.data(), outputs.size());
  ReadReport();
}

void CUSBChannel::ReadChannels(Block& raw) {
  std::lock_guard hardware(HardwareLock());
  plat::Report request = HeaderReport(CMD_READ_CHANNELS);
  request[4] = 0x20;
  WriteReport(request);
  CopyReply(raw);
}

void CUSBChannel::ModifyPageBits(std::uint8_t value, std::uint8_t mask) {
  std::lock_guard hardware(HardwareLock());
  plat::Report request = HeaderReport(CMD_MODIFY_PAGE_BITS);
  request[4] = PAGE_GLOBAL;
  request[5] = 0x00;
  request[6] = value;
  request[7] = mask;
  std::memcpy(request.data() + 8, kModifyPageBitsTag, 10);
  WriteReport(request);
}

void CUSBChannel::SelectExpansionGroup(std::uint8_t busAddress, std::uint8_t groupMask) {
  std::lock_guard hardware(HardwareLock());
  plat::Report request = HeaderReport(CMD_SELECT_EXPANSION_GROUP);
  request[4] = busAddress;
  request[5] = groupMask;
  WriteReport(request);
}

void CUSBChannel::ParametersChanged() {
  std::lock_guard hardware(HardwareLock());
  SendHeader(CMD_PARAMETERS_CHANGED);
}

void CUSBChannel::ReadFirmwareInfo(Block& info) {
  std::lock_guard hardware(HardwareLock());
  SendHeader(CMD_READ_FIRMWARE_INFO);
  CopyReply(info);
}

// --- composite operations -----------------------------------------------------------------

void CUSBChannel::LoadGlobalBlock() {
  std::lock_guard channel(m_channelLock);
  Block page{};
  ReadPage(PAGE_GLOBAL, page);
  std::copy_n(page.begin(), GlobalBlock::kSize, m_globalBlock.bytes.begin());
}

void CUSBChannel::StoreGlobalBlock() {
  std::lock_guard channel(m_channelLock);
  Block page{};
  ReadPage(PAGE_GLOBAL, page);
  std::copy(m_globalBlock.bytes.begin(), m_globalBlock.bytes.end(), page.begin());
  WritePage(PAGE_GLOBAL, page);
}

void CUSBChannel::ReadChannelValues(ChannelValues& values) {
  std::lock_guard channel(m_channelLock);
  Block raw{};
  ReadChannels(raw);
  for (std::size_t k = 0; k < values.size(); ++k) {
    values[k] = static_cast<std::uint16_t>(raw[2 * k] * 256 + raw[2 * k + 1]);
  }
}

void CUSBChannel::LoadExpansionTable() {
  std::lock_guard channel(m_channelLock);
  for (std::uint16_t address : kTableQuarters) {
    Block quarter{};
    ReadMemory(address, 64, quarter);
    std::copy(quarter.begin(), quarter.end(), m_expansionTable.begin() + address);
  }
}

void CUSBChannel::StoreExpansionTable() {
  std::lock_guard channel(m_channelLock);
  for (std::uint16_t address : kTableQuarters) {
    WriteMemory(address, 64, m_expansionTable.data() + address);
  }
}

bool CUSBChannel::SetExpansionEntry(int entry, std::uint8_t row, std::uint8_t col,
                                    std::uint8_t address, std::uint8_t channel) {
  if (entry < 0 || entry >= static_cast<int>(ExpansionEntry::kCount)) return false;
  std::lock_guard lock(m_channelLock);
  LoadExpansionTable();
  std::uint8_t* bytes = m_expansionTable.data() + entry * ExpansionEntry::kSize;
  bytes[0] = row;
  bytes[1] = col;
  bytes[2] = address;
  bytes[3] = channel;
  StoreExpansionTable();
  return true;
}

std::uint16_t CUSBChannel::CellBlockAddress(CellBlockKind kind, int cell) {
  return static_cast<std::uint16_t>((cell + 1) * 0x100 + static_cast<int>(kind));
}

std::uint16_t CUSBChannel::CellSettingsAddress(int cell) {
  return static_cast<std::uint16_t>((cell + 1) * 0x100 + 0xE0);
}

bool CUSBChannel::ReadCellBlock(CellBlockKind kind, int cell, Block& data) {
  if (!IsCellNumberValid(cell)) return false;
  std::lock_guard channel(m_channelLock);
  PauseWhileOpen(kBeforeCellTransfer);
  const std::uint8_t length = BlockLength(kind);
  Block reply{};
  ReadMemory(CellBlockAddress(kind, cell), length, reply);
  std::copy_n(reply.begin(), length, data.begin());
  return true;
}

bool CUSBChannel::WriteCellBlock(CellBlockKind kind, int cell, const Block& data) {
  if (!IsCellNumberValid(cell)) return false;
  std::lock_guard channel(m_channelLock);
  PauseWhileOpen(kBeforeCellTransfer);
  WriteMemory(CellBlockAddress(kind, cell), BlockLength(kind), data.data());
  return true;
}

bool CUSBChannel::LoadCellSettings(int cell) {
  if (!IsCellNumberValid(cell)) return false;
  std::lock_guard channel(m_channelLock);
  PauseWhileOpen(kBeforeCellTransfer);
  Block reply{};
  ReadMemory(CellSettingsAddress(cell), 64, reply);
  std::copy_n(reply.begin(), m_cellSettings.size(), m_cellSettings.begin());
  return true;
}

bool CUSBChannel::StoreCellSettings(int cell) {
  if (!IsCellNumberValid(cell)) return false;
  std::lock_guard channel(m_channelLock);
  PauseWhileOpen(kBeforeCellTransfer);
  WriteMemory(CellSettingsAddress(cell), static_cast<std::uint8_t>(m_cellSettings.size()),
              m_cellSettings.data());
  return true;
}

void CUSBChannel::SetOutput(int byteIndex, std::uint8_t value) {
  if (byteIndex < 0 || byteIndex >= 64) return;
  std::lock_guard channel(m_channelLock);
  std::lock_guard hardware(HardwareLock());
  Block outputs{};
  ReadOutputs(outputs);
  outputs[static_cast<std::size_t>(byteIndex)] = value;
  WriteOutputs(outputs);
}

void CUSBChannel::ReadExpansionGroup(std::uint8_t busAddress, int group, ChannelValues& values) {
  // The group mask is one byte: groups from 8 on select nothing.
  const auto mask = static_cast<std::uint8_t>(group >= 0 && group < 8 ? 1u << group : 0u);
  {
    std::lock_guard channel(m_channelLock);
    std::lock_guard hardware(HardwareLock());
    SelectExpansionGroup(busAddress, mask);
  }
  ReadChannelValues(values);
  std::lock_guard channel(m_channelLock);
  std::lock_guard hardware(HardwareLock());
  SelectExpansionGroup(busAddress, 0);
}

void CUSBChannel::LoadFirmwareInfo() {
  std::lock_guard channel(m_channelLock);
  Block reply{};
  ReadFirmwareInfo(reply);
  std::copy_n(reply.begin(), m_firmwareInfo.size(), m_firmwareInfo.begin());
}

// --- local copies -------------------------------------------------------------------------

GlobalBlock CUSBChannel::GetGlobalBlock() {
  std::lock_guard channel(m_channelLock);
  return m_globalBlock;
}

void CUSBChannel::SetGlobalBlock(const GlobalBlock& block) {
  std::lock_guard channel(m_channelLock);
  m_globalBlock = block;
}

CUSBChannel::ExpansionTable CUSBChannel::GetExpansionTable() {
  std::lock_guard channel(m_channelLock);
  ExpansionTable table;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const std::uint8_t* bytes = m_expansionTable.data() + i * ExpansionEntry::kSize;
    table[i] = {bytes[0], bytes[1], bytes[2], bytes[3]};
  }
  return table;
}

void CUSBChannel::SetExpansionTable(const ExpansionTable& table) {
  std::lock_guard channel(m_channelLock);
  for (std::size_t i = 0; i < table.size(); ++i) {
    std::uint8_t* bytes = m_expansionTable.data() + i * ExpansionEntry::kSize;
    bytes[0] = table[i].ROW;
    bytes[1] = table[i].COL;
    bytes[2] = table[i].ADDRESS;
    bytes[3] = table[i].CHANNEL;
  }
}

CUSBChannel::CellSettings CUSBChannel::GetCellSettings() {
  std::lock_guard channel(m_channelLock);
  return m_cellSettings;
}

void CUSBChannel::SetCellSettings(const CellSettings& settings) {
  std::lock_guard channel(m_channelLock);
  m_cellSettings = settings;
}

CUSBChannel::FirmwareInfo CUSBChannel::GetFirmwareInfo() {
  std::lock_guard channel(m_channelLock);
  return m_firmwareInfo;
}
