#pragma once

#include <array>
#include <cstdint>
#include <mutex>

#include "device/expansionentry.h"
#include "device/globalblock.h"
#include "device/usbhardware.h"

// The kinds of 64-byte parts of a cell parameter block in board memory.
enum class CellBlockKind : std::uint8_t {
  REFERENCE = 0x00,
  THRESHOLD_HIGH = 0x40,
  THRESHOLD_LOW = 0x80,
  MASK = 0xC0,
};

// The board's command protocol on top of the raw reports, the composite operations that keep
// sequences of commands together under the channel lock, and the program's copies of board data.
class CUSBChannel : public CUSBHardWare {
 public:
  using Block = std::array<std::uint8_t, 64>;
  using ChannelValues = std::array<std::uint16_t, 32>;
  using CellSettings = std::array<std::uint8_t, 15>;
  using FirmwareInfo = std::array<std::uint8_t, 41>;
  using ExpansionTable = std::array<ExpansionEntry, ExpansionEntry::kCount>;

  static constexpr std::uint8_t PAGE_GLOBAL = 0xF9;
  static constexpr std::uint8_t PAGE_REFERENCE = 0xFA;
  static constexpr std::uint8_t PAGE_THRESHOLD_HIGH = 0xFB;
  static constexpr std::uint8_t PAGE_THRESHOLD_LOW = 0xFC;
  static constexpr std::uint8_t PAGE_MASK = 0xFD;
  static constexpr std::uint8_t PAGE_IDENTITY = 0xFE;

  // Output-state bytes the program drives.
  static constexpr int OUTPUT_LAMP_A = 6;
  static constexpr int OUTPUT_LAMP_B = 7;
  static constexpr int OUTPUT_BUZZER = 8;

  // The board accepts a page-bit change only with this tag.
  static constexpr char kModifyPageBitsTag[] = "OV20240517";
  // Cells whose 256-byte parameter block still lies inside the 16-bit address space.
  static constexpr int kMaxCellNumber = 254;

  explicit CUSBChannel(plat::HidBus& bus);
  ~CUSBChannel() override;

  // Closes any handle held and opens the bridge board anew; true when no board was found.
  bool Connect();

  // Single commands, each atomic on the wire under the hardware lock.
  int QueryStatus();
  void WritePage(std::uint8_t page, const Block& data);
  void ReadPage(std::uint8_t page, Block& data);
  void WriteMemory(std::uint16_t address, std::uint8_t length, const std::uint8_t* data);
  void ReadMemory(std::uint16_t address, std::uint8_t length, Block& data);
  void ReadOutputs(Block& outputs);
  void WriteOutputs(const Block& outputs);
  void ReadChannels(Block& raw);
  void ModifyPageBits(std::uint8_t value, std::uint8_t mask);
  void SelectExpansionGroup(std::uint8_t busAddress, std::uint8_t groupMask);
  void ParametersChanged();
  void ReadFirmwareInfo(Block& info);

  // Composite operations, each under the channel lock for its whole sequence.
  void LoadGlobalBlock();
  void StoreGlobalBlock();
  void ReadChannelValues(ChannelValues& values);
  void LoadExpansionTable();
  void StoreExpansionTable();
  // False (and no board traffic) when the entry number lies outside the table.
  bool SetExpansionEntry(int entry, std::uint8_t row, std::uint8_t col, std::uint8_t address,
                         std::uint8_t channel);
  // The cell operations refuse (false, no board traffic) a cell number whose parameter block
  // would not fit in board memory.
  bool ReadCellBlock(CellBlockKind kind, int cell, Block& data);
  bool WriteCellBlock(CellBlockKind kind, int cell, const Block& data);
  bool LoadCellSettings(int cell);
  bool StoreCellSettings(int cell);
  void SetOutput(int byteIndex, std::uint8_t value);
  void ReadExpansionGroup(std::uint8_t busAddress, int group, ChannelValues& values);
  void LoadFirmwareInfo();

  // The local copies, read and written under the channel lock.
  GlobalBlock GetGlobalBlock();
  void SetGlobalBlock(const GlobalBlock& block);
  ExpansionTable GetExpansionTable();
  void SetExpansionTable(const ExpansionTable& table);
  CellSettings GetCellSettings();
  void SetCellSettings(const CellSettings& settings);
  FirmwareInfo GetFirmwareInfo();

  plat::FairRecursiveMutex& ChannelLock() { return m_channelLock; }

  static std::uint16_t CellBlockAddress(CellBlockKind kind, int cell);
  static std::uint16_t CellSettingsAddress(int cell);
  static bool IsCellNumberValid(int cell) { return cell >= 0 && cell <= kMaxCellNumber; }

 private:
  void SendHeader(std::uint8_t command);
  void SendParameters(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3);
  void SendData(const std::uint8_t* data, std::size_t length);
  void CopyReply(Block& data);
  void PauseWhileOpen(std::chrono::milliseconds pause);

  // Fair, so that the measurement loop, which takes it again right after every exchange,
  // cannot keep the operator's commands and the identification out.
  plat::FairRecursiveMutex m_channelLock;
  GlobalBlock m_globalBlock;
  std::array<std::uint8_t, ExpansionEntry::kCount * ExpansionEntry::kSize> m_expansionTable{};
  CellSettings m_cellSettings{};
  FirmwareInfo m_firmwareInfo{};
};
