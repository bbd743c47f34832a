#include "board/firmware.h"

#include "board/factorystate.h"
#include "board/identity.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace board {
namespace {

constexpr std::size_t kTableEntries = 64;
constexpr std::size_t kTagOffset = 8;
constexpr std::uint8_t kStatusShift = 2;

// Copies 64 payload bytes into a reply (byte 0 is the report id).
void PutPayload(plat::Report& reply, std::span<const std::uint8_t> payload) {
  reply[0] = 0;
  std::copy_n(payload.begin(), std::min(payload.size(), Firmware::kPageSize), reply.begin() + 1);
}

Firmware::Page PayloadOf(const plat::Report& report) {
  Firmware::Page page;
  std::copy_n(report.begin() + 1, page.size(), page.begin());
  return page;
}

bool IsPage(std::uint8_t page) { return page >= Firmware::kGlobalPage && page <= Firmware::kIdentityPage; }

std::uint16_t AddressOf(const plat::Report& parameter) {
  return static_cast<std::uint16_t>(parameter[1] << 8 | parameter[2]);
}

bool TagMatches(const plat::Report& header) {
  return std::equal(kModifyTag.begin(), kModifyTag.end(), header.begin() + kTagOffset);
}

}  // namespace

Firmware::Firmware(const BoardConfig& config) : m_model(config.model), m_memory(kMemorySize, 0) {
  if (!config.Valid()) throw std::invalid_argument("board configuration out of range");
  ApplyFactoryState(config, *this);
  m_status = CheckLayout();
}

bool Firmware::Execute(const Command& command, Clock::time_point now, plat::Report& reply) {
  reply.fill(0);
  switch (command.code) {
    case CommandCode::QueryStatus:
      reply[1] = static_cast<std::uint8_t>(static_cast<std::uint8_t>(m_status) << kStatusShift);
      return true;
    case CommandCode::WritePage: ExecuteWritePage(command); return false;
    case CommandCode::ReadPage: PutPayload(reply, ReadPage(command.parameter[1])); return true;
    case CommandCode::WriteMemory: ExecuteWriteMemory(command); return false;
    case CommandCode::ReadMemory:
      PutPayload(reply, ReadMemory(AddressOf(command.parameter), kPageSize));
      return true;
    case CommandCode::ReadOutputs: PutPayload(reply, m_outputs); return true;
    case CommandCode::WriteOutputs:
      m_outputs = PayloadOf(command.data);
      PutPayload(reply, m_outputs);
      return true;
    case CommandCode::ReadChannels: ReplyChannels(now, reply); return true;
    case CommandCode::ModifyPageBits: ExecuteModifyPageBits(command); return false;
    case CommandCode::SelectExpansionGroup: ExecuteSelectExpansionGroup(command); return false;
    case CommandCode::ParametersChanged: m_status = CheckLayout(); return false;
    case CommandCode::ReadFirmwareInfo: PutPayload(reply, m_firmwareInfo); return true;
  }
  return false;
}

void Firmware::ExecuteWritePage(const Command& command) { WritePage(command.parameter[1], PayloadOf(command.data)); }

void Firmware::ExecuteWriteMemory(const Command& command) {
  const std::size_t length = std::min<std::size_t>(command.parameter[3], kPageSize);
  WriteMemory(AddressOf(command.parameter), std::span(command.data).subspan(1, length));
}

// Bytes 4-7: page, byte offset, new bit values, bit mask; applied only with the right tag.
void Firmware::ExecuteModifyPageBits(const Command& command) {
  const std::uint8_t page = command.header[4];
  const std::uint8_t offset = command.header[5];
  if (!TagMatches(command.header) || !IsPage(page) || offset >= kPageSize) return;
  std::uint8_t& byte = m_pages[page - kGlobalPage][offset];
  const std::uint8_t value = command.header[6];
  const std::uint8_t mask = command.header[7];
  byte = static_cast<std::uint8_t>((byte & ~mask) | (value & mask));
}

// Byte 4: bus address; byte 5: group mask. Of several mask bits the lowest wins.
void Firmware::ExecuteSelectExpansionGroup(const Command& command) {
  const std::uint8_t mask = command.header[5];
  m_selected = mask == 0 ? Panel::kBridgeGroup
                         : Panel::ExpansionGroup(command.header[4], static_cast<std::uint8_t>(std::countr_zero(mask)));
}

// A group of an address where no expansion board answers reads as zeros.
void Firmware::ReplyChannels(Clock::time_point now, plat::Report& reply) {
  const bool present = m_selected == Panel::kBridgeGroup ||
                       std::ranges::count(m_expansionBoards, Panel::AddressOf(m_selected)) > 0;
  if (!present) return;
  const Panel::Values values = m_panel.Read(m_selected, now);
  for (int k = 0; k < Panel::kChannels; ++k) {
    reply[1 + 2 * k] = static_cast<std::uint8_t>(values[k] >> 8);
    reply[2 + 2 * k] = static_cast<std::uint8_t>(values[k] & 0xFF);
  }
}

Firmware::Page Firmware::ReadPage(std::uint8_t page) const { return IsPage(page) ? m_pages[page - kGlobalPage] : Page{}; }

bool Firmware::WritePage(std::uint8_t page, const Page& content) {
  if (!IsPage(page)) return false;
  m_pages[page - kGlobalPage] = content;
  return true;
}

std::vector<std::uint8_t> Firmware::ReadMemory(std::uint16_t address, std::size_t length) const {
  std::vector<std::uint8_t> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = m_memory[(address + i) % kMemorySize];
  return bytes;
}

void Firmware::WriteMemory(std::uint16_t address, std::span<const std::uint8_t> bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) m_memory[(address + i) % kMemorySize] = bytes[i];
}

void Firmware::SetExpansionBoards(std::vector<std::uint8_t> addresses) {
  addresses.resize(std::min(addresses.size(), kMaxExpansionBoards));
  m_expansionBoards = std::move(addresses);
}

std::optional<GroupId> Firmware::GroupOfCell(int cell) const {
  if (m_model == Model::Single) return cell == 0 ? std::optional(Panel::kBridgeGroup) : std::nullopt;
  const Page& global = m_pages[0];
  const int rows = global[kRowsOffset];
  const int cols = global[kColsOffset];
  if (cell < 0 || cols == 0 || cell / cols >= rows) return std::nullopt;
  const std::size_t entries = std::min<std::size_t>(rows * cols, kTableEntries);
  for (std::size_t k = 0; k < entries; ++k) {
    const std::uint8_t* entry = &m_memory[4 * k];
    if (entry[0] != cell / cols || entry[1] != cell % cols) continue;
    if (entry[2] >= kMaxExpansionBoards || entry[3] >= 8) return std::nullopt;
    return Panel::ExpansionGroup(global[kBoardAddressOffset + entry[2]], entry[3]);
  }
  return std::nullopt;
}

std::vector<GroupId> Firmware::CellGroups() const {
  const Page& global = m_pages[0];
  const int cells = m_model == Model::Single ? 1 : global[kRowsOffset] * global[kColsOffset];
  std::vector<GroupId> groups;
  for (int cell = 0; cell < cells; ++cell) {
    if (const std::optional<GroupId> group = GroupOfCell(cell)) groups.push_back(*group);
  }
  return groups;
}

Firmware::Status Firmware::CheckLayout() const {
  const Page& global = m_pages[0];
  const int rows = global[kRowsOffset];
  const int cols = global[kColsOffset];
  const bool valid = m_model == Model::Single ||
                     (rows <= BoardConfig::kMaxRowsOrCols && cols <= BoardConfig::kMaxRowsOrCols &&
                      global[kBoardCountOffset] <= kMaxExpansionBoards);
  return valid ? Status::Ready : Status::LayoutInvalid;
}

}  // namespace board
