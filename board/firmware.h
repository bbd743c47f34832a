#pragma once

#include "board/boardconfig.h"
#include "board/command.h"
#include "board/panel.h"

#include <array>
#include <span>
#include <vector>

namespace board {

// The bridge board's firmware and everything it stores: pages 0xF9-0xFE, the 64 KiB memory,
// the output-state block, the firmware information, the expansion boards on its bus and
// the panel wired to them. Not thread-safe; EmulatedBoard guards it.
class Firmware {
 public:
  using Clock = Panel::Clock;
  static constexpr std::size_t kPageSize = 64;
  using Page = std::array<std::uint8_t, kPageSize>;

  static constexpr std::uint8_t kGlobalPage = 0xF9;
  static constexpr std::uint8_t kReferencePage = 0xFA;
  static constexpr std::uint8_t kThresholdHighPage = 0xFB;
  static constexpr std::uint8_t kThresholdLowPage = 0xFC;
  static constexpr std::uint8_t kMaskPage = 0xFD;
  static constexpr std::uint8_t kIdentityPage = 0xFE;
  static constexpr std::size_t kMemorySize = 0x10000;
  static constexpr std::size_t kMaxExpansionBoards = 8;

  // Global parameter block offsets (page 0xF9).
  static constexpr std::size_t kFlagsOffset = 0;
  static constexpr std::size_t kBoardCountOffset = 16;
  static constexpr std::size_t kBoardAddressOffset = 17;
  static constexpr std::size_t kColsOffset = 25;
  static constexpr std::size_t kRowsOffset = 26;

  // QueryStatus reports this in bits 2-3 of its first payload byte.
  enum class Status : std::uint8_t { Ready = 1, LayoutInvalid = 2 };

  // A board in its factory state.
  explicit Firmware(const BoardConfig& config);

  // Runs one complete command received at `now`; true when it answers, with `reply` filled
  // (report id 0, payload in bytes 1-64).
  bool Execute(const Command& command, Clock::time_point now, plat::Report& reply);

  // Pages outside 0xF9-0xFE read as zeros and ignore writes (false).
  Page ReadPage(std::uint8_t page) const;
  bool WritePage(std::uint8_t page, const Page& content);
  // Addresses wrap around at 64 KiB, as 16-bit addresses do.
  std::vector<std::uint8_t> ReadMemory(std::uint16_t address, std::size_t length) const;
  void WriteMemory(std::uint16_t address, std::span<const std::uint8_t> bytes);
  const Page& Outputs() const { return m_outputs; }
  void SetOutputs(const Page& outputs) { m_outputs = outputs; }
  const Page& FirmwareInfo() const { return m_firmwareInfo; }
  void SetFirmwareInfo(const Page& info) { m_firmwareInfo = info; }

  // Bus addresses at which expansion boards answer (at most 8).
  const std::vector<std::uint8_t>& ExpansionBoards() const { return m_expansionBoards; }
  void SetExpansionBoards(std::vector<std::uint8_t> addresses);
  // The group ReadChannels reads now: the bridge's own unless an expansion group is selected.
  GroupId SelectedGroup() const { return m_selected; }

  // The group the program shows in grid cell `cell`, through page 0xF9's layout and
  // addresses and the expansion table; none when no table entry places a group there.
  std::optional<GroupId> GroupOfCell(int cell) const;
  // The groups of cells 0, 1, ... that have one.
  std::vector<GroupId> CellGroups() const;
  // The status as of the last ParametersChanged (or the factory).
  Status CurrentStatus() const { return m_status; }

  Panel& GetPanel() { return m_panel; }
  const Panel& GetPanel() const { return m_panel; }

 private:
  void ExecuteWritePage(const Command& command);
  void ExecuteWriteMemory(const Command& command);
  void ExecuteModifyPageBits(const Command& command);
  void ExecuteSelectExpansionGroup(const Command& command);
  void ReplyChannels(Clock::time_point now, plat::Report& reply);
  Status CheckLayout() const;

  Model m_model;
  std::array<Page, kIdentityPage - kGlobalPage + 1> m_pages{};
  std::vector<std::uint8_t> m_memory;
  Page m_outputs{};
  Page m_firmwareInfo{};
  std::vector<std::uint8_t> m_expansionBoards;
  GroupId m_selected = Panel::kBridgeGroup;
  Status m_status = Status::Ready;
  Panel m_panel;
};

}  // namespace board
