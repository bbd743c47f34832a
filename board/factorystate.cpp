#include "board/factorystate.h"

#include "board/firmware.h"

#include <algorithm>

namespace board {
namespace {

using Page = Firmware::Page;

constexpr std::uint8_t kBuzzerEnable = 0x01;
constexpr std::uint8_t kLedEnable = 0x04;
constexpr std::uint16_t kViewMax = 2000;
constexpr std::uint8_t kPercentageRule = 1;
constexpr std::uint16_t kPercentage = 10;
constexpr std::uint16_t kAllowedOffset = 100;
constexpr std::size_t kCellSettingsSize = 15;
constexpr int kGroupsPerBoard = 8;

void PutU16(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
  bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutCode(Page& page, std::size_t offset, const std::string& code) {
  std::copy_n(code.begin(), std::min(code.size(), BoardConfig::kCodeSize), page.begin() + offset);
}

// The four 64-byte parameter parts of one cell: references, upper limits, lower limits, masks.
struct CellParameters {
  Page reference{}, thresholdHigh{}, thresholdLow{}, mask{};
};

CellParameters ParametersFor(GroupId group) {
  CellParameters parameters;
  for (int k = 0; k < Panel::kChannels; ++k) {
    const std::uint16_t reference = Panel::BaseValue(group, k);
    const std::uint16_t margin = static_cast<std::uint16_t>(reference * kPercentage / 100);
    PutU16(parameters.reference, 2 * k, reference);
    PutU16(parameters.thresholdHigh, 2 * k, static_cast<std::uint16_t>(reference + margin));
    PutU16(parameters.thresholdLow, 2 * k, static_cast<std::uint16_t>(reference - margin));
  }
  return parameters;  // masks stay 0: MASK_OPEN
}

int BoardCount(const BoardConfig& config) {
  return config.model == Model::Single ? 0 : (config.MappedCellCount() + kGroupsPerBoard - 1) / kGroupsPerBoard;
}

Page GlobalBlock(const BoardConfig& config) {
  Page page{};
  page[0] = kBuzzerEnable | kLedEnable;
  PutU16(page, 4, kViewMax);
  PutU16(page, 6, 0);
  page[8] = kPercentageRule;
  PutU16(page, 9, kPercentage);
  PutU16(page, 11, kAllowedOffset);
  PutU16(page, 13, kAllowedOffset);
  const int boards = BoardCount(config);
  page[Firmware::kBoardCountOffset] = static_cast<std::uint8_t>(boards);
  for (int b = 0; b < boards; ++b) page[Firmware::kBoardAddressOffset + b] = static_cast<std::uint8_t>(b + 1);
  const bool single = config.model == Model::Single;
  page[Firmware::kColsOffset] = static_cast<std::uint8_t>(single ? 1 : config.cols);
  page[Firmware::kRowsOffset] = static_cast<std::uint8_t>(single ? 1 : config.rows);
  return page;
}

Page IdentityPage(const BoardConfig& config) {
  Page page{};
  std::copy(config.deviceId.begin(), config.deviceId.end(), page.begin());
  PutCode(page, 32, config.brand);
  PutCode(page, 48, config.DeviceTypeCode());
  return page;
}

Page FirmwareInfo() {
  Page info{};
  info[0] = 0x21;                // firmware type 2.1
  PutU16(info, 1, 0x1007);       // version 1.0.0.7
  PutU16(info, 3, 2024);         // built 2024-05-17
  info[5] = 5;
  info[6] = 17;
  PutU16(info, 7, 0x0102);       // bootloader 0.1.0.2
  return info;
}

void WriteCellBlock(Firmware& firmware, int cell, GroupId group, const Page& global) {
  const auto base = static_cast<std::uint16_t>((cell + 1) * 0x100);
  const CellParameters parameters = ParametersFor(group);
  firmware.WriteMemory(base + 0x00, parameters.reference);
  firmware.WriteMemory(base + 0x40, parameters.thresholdHigh);
  firmware.WriteMemory(base + 0x80, parameters.thresholdLow);
  firmware.WriteMemory(base + 0xC0, std::span(parameters.mask).first(32));
  firmware.WriteMemory(base + 0xE0, std::span(global).first(kCellSettingsSize));
}

void WriteExpansionLayout(const BoardConfig& config, Firmware& firmware, const Page& global) {
  std::vector<std::uint8_t> addresses;
  for (int b = 0; b < BoardCount(config); ++b) addresses.push_back(global[Firmware::kBoardAddressOffset + b]);
  firmware.SetExpansionBoards(addresses);
  for (int cell = 0; cell < config.MappedCellCount(); ++cell) {
    const std::uint8_t entry[4] = {static_cast<std::uint8_t>(cell / config.cols),
                                   static_cast<std::uint8_t>(cell % config.cols),
                                   static_cast<std::uint8_t>(cell / kGroupsPerBoard),
                                   static_cast<std::uint8_t>(cell % kGroupsPerBoard)};
    firmware.WriteMemory(static_cast<std::uint16_t>(4 * cell), entry);
    WriteCellBlock(firmware, cell, Panel::ExpansionGroup(addresses[entry[2]], entry[3]), global);
  }
  // Cells past the table have parameters like any other, but no group behind them.
  for (int cell = config.MappedCellCount(); cell < config.CellCount(); ++cell) {
    WriteCellBlock(firmware, cell, Panel::kBridgeGroup, global);
  }
}

}  // namespace

void ApplyFactoryState(const BoardConfig& config, Firmware& firmware) {
  const Page global = GlobalBlock(config);
  const CellParameters bridge = ParametersFor(Panel::kBridgeGroup);
  firmware.WritePage(Firmware::kGlobalPage, global);
  firmware.WritePage(Firmware::kReferencePage, bridge.reference);
  firmware.WritePage(Firmware::kThresholdHighPage, bridge.thresholdHigh);
  firmware.WritePage(Firmware::kThresholdLowPage, bridge.thresholdLow);
  firmware.WritePage(Firmware::kMaskPage, bridge.mask);
  firmware.WritePage(Firmware::kIdentityPage, IdentityPage(config));
  firmware.SetFirmwareInfo(FirmwareInfo());
  if (config.model == Model::Expansion) WriteExpansionLayout(config, firmware, global);
}

}  // namespace board
