#include "files/configfile.h"

#include <algorithm>

#include "display/colorbar.h"
#include "files/configvalues.h"
#include "platform/operatorprompts.h"
#include "platform/profilefile.h"

namespace {

using configvalues::FormatList;
using configvalues::ParseNumber;
using configvalues::StoreList;

const QString kGlobalSection = QStringLiteral("GLOBALPARAMETER");
const QString kBridgeSection = QStringLiteral("BRIDGEBOARD_PARA");
const QString kDeviceTypeKey = QStringLiteral("DEVICETYPE");
const QString kSingleBoardType = QStringLiteral("VARNOSTELLION");
const QString kExpansionType = QStringLiteral("VARNOSTELLIONPLU");
constexpr std::size_t kChannels = 32;
constexpr std::size_t kAddresses = 8;

enum class Form { U8, U16, AddressList };

// The keys of "PARAMETER" and "EXPANDBOARD", in the order of the file, with their block field.
struct BlockKey {
  const char* section;
  const char* key;
  std::size_t offset;
  Form form;
};

constexpr BlockKey kBlockKeys[] = {
    {"PARAMETER", "ALLOWEDTHRES_HIGH", GlobalBlock::ALLOWEDTHRES_HIGH, Form::U16},
    {"PARAMETER", "ALLOWEDTHRES_LOW", GlobalBlock::ALLOWEDTHRES_LOW, Form::U16},
    {"PARAMETER", "VIEWDATARANGE_MAX", GlobalBlock::VIEWDATARANGE_MAX, Form::U16},
    {"PARAMETER", "VIEWDATARANGE_MIN", GlobalBlock::VIEWDATARANGE_MIN, Form::U16},
    {"PARAMETER", "PERCENTAGE", GlobalBlock::PERCENTAGE, Form::U16},
    {"PARAMETER", "TYPE", GlobalBlock::TYPE, Form::U8},
    {"EXPANDBOARD", "EXPANDBOARDNUM", GlobalBlock::EXPANDBOARDNUM, Form::U8},
    {"EXPANDBOARD", "EXPANDBOARDADDRESS", GlobalBlock::EXPANDBOARDADDRESS, Form::AddressList},
    {"EXPANDBOARD", "EXPANDBOARDCOL", GlobalBlock::EXPANDBOARDCOL, Form::U8},
    {"EXPANDBOARD", "EXPANDBOARDROW", GlobalBlock::EXPANDBOARDROW, Form::U8},
};

// The flag keys of "GLOBALPARAMETER": each holds its bit's own value, 0 or the bit.
struct FlagKey {
  const char* key;
  std::uint8_t bit;
};

constexpr FlagKey kFlagKeys[] = {
    {"BUZZERENABLE", GlobalBlock::BUZZERENABLE},
    {"BUZZERINVERT", GlobalBlock::BUZZERINVERT},
    {"LEDENABLE", GlobalBlock::LEDENABLE},
    {"LEDINVERT", GlobalBlock::LEDINVERT},
};

// The per-channel lists, with the bridge board's page and the cell block part of each.
struct ChannelKey {
  const char* key;
  std::uint8_t page;
  CellBlockKind kind;
};

constexpr ChannelKey kChannelKeys[] = {
    {"REFERENCE", CUSBChannel::PAGE_REFERENCE, CellBlockKind::REFERENCE},
    {"THRESHOLD_HIGH", CUSBChannel::PAGE_THRESHOLD_HIGH, CellBlockKind::THRESHOLD_HIGH},
    {"THRESHOLD_LOW", CUSBChannel::PAGE_THRESHOLD_LOW, CellBlockKind::THRESHOLD_LOW},
    {"MASK", CUSBChannel::PAGE_MASK, CellBlockKind::MASK},
};

QString CellSection(int cell) { return QString::asprintf("EXPANDBOARD_%02d_PARA", cell); }

QString Number(std::int64_t value) { return QString::number(value); }

std::span<std::uint8_t> MaskBytes(CUSBChannel::Block& block) { return std::span(block).first(kChannels); }

// A channel list of a page or block as the file writes it.
QString ChannelList(CellBlockKind kind, const CUSBChannel::Block& block) {
  if (kind == CellBlockKind::MASK) return FormatList(std::span(block).first(kChannels));
  const configvalues::Words words = configvalues::WordsOf(block);
  return FormatList(std::span<const std::uint16_t>(words));
}

// Puts the list's items into `block`; entries the list does not supply keep their value.
void StoreChannelList(const QString& text, CellBlockKind kind, CUSBChannel::Block& block) {
  if (kind == CellBlockKind::MASK) {
    StoreList(text, MaskBytes(block));
    return;
  }
  configvalues::Words words = configvalues::WordsOf(block);
  StoreList(text, std::span<std::uint16_t>(words));
  configvalues::PutWords(block, words);
}

bool SuppliesEveryChannel(const QString& text) {
  return configvalues::ParseList(text).size() >= kChannels;
}

}  // namespace

// --- save ---------------------------------------------------------------------------------

void CConfigFile::OnSaveConfigFile() {
  const std::optional<QString> path =
      plat::Prompts().AskSaveFile(m_context.owner, kConfigFileFilter, QStringLiteral(".ini"));
  if (!path) return;
  const std::uint64_t failuresBefore = m_context.device.FailedExchanges();
  const QString deviceType = m_context.readDeviceType();
  plat::ProfileFile file = plat::ProfileFile::Open(*path);
  SaveCommonSections(file, deviceType);
  if (deviceType == kSingleBoardType) {
    SaveBridgeBoard(file);
  } else if (deviceType == kExpansionType) {
    SaveCells(file, failuresBefore);
  }
  const bool saved = !ExchangesFailedSince(failuresBefore) && file.Save(*path);
  ShowOutcome(saved, QStringLiteral("文件保存成功！"), QStringLiteral("文件保存失败！"),
              QStringLiteral("参数保存"));
}

void CConfigFile::SaveCommonSections(plat::ProfileFile& file, const QString& deviceType) {
  const GlobalBlock block = m_context.device.GetGlobalBlock();
  file.Write(kGlobalSection, kDeviceTypeKey, deviceType);
  file.Write(kGlobalSection, QStringLiteral("GUIROW"), Number(m_context.grid.m_rows.load()));
  file.Write(kGlobalSection, QStringLiteral("GUICOL"), Number(m_context.grid.m_cols.load()));
  file.Write(kGlobalSection, QStringLiteral("GUIOVERD"), Number(block.U8(GlobalBlock::GUIOVERD)));
  for (const FlagKey& flag : kFlagKeys) {
    file.Write(kGlobalSection, flag.key, Number(block.U8(GlobalBlock::FLAGS) & flag.bit));
  }
  for (const BlockKey& field : kBlockKeys) {
    QString value;
    switch (field.form) {
      case Form::U8: value = Number(block.U8(field.offset)); break;
      case Form::U16: value = Number(block.U16(field.offset)); break;
      case Form::AddressList: value = FormatList(std::span(block.bytes).subspan(field.offset, kAddresses)); break;
    }
    file.Write(field.section, field.key, value);
  }
}

void CConfigFile::SaveBridgeBoard(plat::ProfileFile& file) {
  for (const ChannelKey& channels : kChannelKeys) {
    CUSBChannel::Block page{};
    {
      std::lock_guard channel(m_context.device.ChannelLock());
      m_context.device.ReadPage(channels.page, page);
    }
    file.Write(kBridgeSection, channels.key, ChannelList(channels.kind, page));
  }
}

void CConfigFile::SaveCells(plat::ProfileFile& file, std::uint64_t failuresBefore) {
  const CUSBChannel::ExpansionTable table = m_context.device.GetExpansionTable();
  const int cells = FileCellCount(m_context.grid.m_rows.load(), m_context.grid.m_cols.load());
  for (int cell = 0; cell < cells && !ExchangesFailedSince(failuresBefore); ++cell) {
    const QString section = CellSection(cell);
    const ExpansionEntry& entry = table[static_cast<std::size_t>(cell)];
    file.Write(section, QStringLiteral("COL"), Number(entry.COL));
    file.Write(section, QStringLiteral("ROW"), Number(entry.ROW));
    file.Write(section, QStringLiteral("ADDRESS"), Number(entry.ADDRESS));
    file.Write(section, QStringLiteral("CHANNEL"), Number(entry.CHANNEL));
    m_context.device.LoadCellSettings(cell);
    for (const ChannelKey& channels : kChannelKeys) {
      CUSBChannel::Block block{};
      m_context.device.ReadCellBlock(channels.kind, cell, block);
      file.Write(section, channels.key, ChannelList(channels.kind, block));
    }
  }
}

// --- load ---------------------------------------------------------------------------------

void CConfigFile::OnLoadConfigFile() {
  const std::optional<QString> path =
      plat::Prompts().AskOpenFile(m_context.owner, kConfigFileFilter, QStringLiteral(".ini"));
  if (!path) return;
  const std::uint64_t failuresBefore = m_context.device.FailedExchanges();
  const QString deviceType = m_context.readDeviceType();
  const plat::ProfileFile file = plat::ProfileFile::Open(*path);
  // The file's code is taken as written: a code in lower case is another code.
  if (file.Read(kGlobalSection, kDeviceTypeKey) != deviceType) {
    plat::Prompts().ShowMessage(m_context.owner, QStringLiteral("设备类型与配置参数不符!"), QString(),
                                plat::MessageIcon::None, plat::MessageButtons::Ok);
    return;
  }
  m_context.pauseDispatcher();
  LoadCommonSections(file);
  if (deviceType == kSingleBoardType) {
    LoadBridgeBoard(file);
  } else if (deviceType == kExpansionType) {
    LoadCells(file, failuresBefore);
  }
  m_context.resumeDispatcher();
  ShowOutcome(!ExchangesFailedSince(failuresBefore), QStringLiteral("文件载入成功！"),
              QStringLiteral("文件载入失败！"), QStringLiteral("参数载入"));
  m_context.device.ParametersChanged();
}

void CConfigFile::LoadCommonSections(const plat::ProfileFile& file) {
  auto number = [&file](const QString& section, const QString& key) {
    return ParseNumber(file.Read(section, key));
  };
  m_context.grid.m_rows = number(kGlobalSection, QStringLiteral("GUIROW"));
  m_context.grid.m_cols = number(kGlobalSection, QStringLiteral("GUICOL"));

  CUSBChannel& device = m_context.device;
  std::lock_guard channel(device.ChannelLock());
  device.LoadGlobalBlock();
  GlobalBlock block = device.GetGlobalBlock();
  block.SetU8(GlobalBlock::GUIOVERD, static_cast<std::uint8_t>(number(kGlobalSection, QStringLiteral("GUIOVERD"))));
  std::uint8_t flags = 0;
  for (const FlagKey& flag : kFlagKeys) flags |= number(kGlobalSection, flag.key) & flag.bit;
  block.SetU8(GlobalBlock::FLAGS, flags);
  device.SetGlobalBlock(block);
  device.StoreGlobalBlock();

  device.LoadGlobalBlock();
  block = device.GetGlobalBlock();
  for (const BlockKey& field : kBlockKeys) {
    const QString text = file.Read(field.section, field.key);
    switch (field.form) {
      case Form::U8: block.SetU8(field.offset, static_cast<std::uint8_t>(ParseNumber(text))); break;
      case Form::U16: block.SetU16(field.offset, static_cast<std::uint16_t>(ParseNumber(text))); break;
      case Form::AddressList: StoreList(text, std::span(block.bytes).subspan(field.offset, kAddresses)); break;
    }
  }
  device.SetGlobalBlock(block);
  device.StoreGlobalBlock();
}

// Each page is read first: entries the file leaves out, and bytes 32..63 of the mask page,
// keep what the board holds.
void CConfigFile::LoadBridgeBoard(const plat::ProfileFile& file) {
  for (const ChannelKey& channels : kChannelKeys) {
    std::lock_guard channel(m_context.device.ChannelLock());
    CUSBChannel::Block page{};
    m_context.device.ReadPage(channels.page, page);
    StoreChannelList(file.Read(kBridgeSection, channels.key), channels.kind, page);
    m_context.device.WritePage(channels.page, page);
  }
}

void CConfigFile::LoadCells(const plat::ProfileFile& file, std::uint64_t failuresBefore) {
  CUSBChannel& device = m_context.device;
  const GlobalBlock block = device.GetGlobalBlock();
  const int cells = FileCellCount(block.U8(GlobalBlock::EXPANDBOARDROW), block.U8(GlobalBlock::EXPANDBOARDCOL));
  for (int cell = 0; cell < cells && !ExchangesFailedSince(failuresBefore); ++cell) {
    const QString section = CellSection(cell);
    auto byte = [&](const char* key) { return static_cast<std::uint8_t>(ParseNumber(file.Read(section, key))); };
    const std::uint8_t col = byte("COL");
    const std::uint8_t row = byte("ROW");
    const std::uint8_t address = byte("ADDRESS");
    const std::uint8_t group = byte("CHANNEL");
    device.SetExpansionEntry(cell, row, col, address, group);
    device.LoadCellSettings(cell);
    for (const ChannelKey& channels : kChannelKeys) {
      LoadCellBlock(file.Read(section, channels.key), channels.kind, cell);
    }
  }
}

// A list that leaves channels out costs one more block read, so that those channels keep what
// the board holds; a complete list is written straight away.
void CConfigFile::LoadCellBlock(const QString& text, CellBlockKind kind, int cell) {
  std::lock_guard channel(m_context.device.ChannelLock());
  CUSBChannel::Block block{};
  if (!SuppliesEveryChannel(text)) m_context.device.ReadCellBlock(kind, cell, block);
  StoreChannelList(text, kind, block);
  m_context.device.WriteCellBlock(kind, cell, block);
}

// --- outcome ------------------------------------------------------------------------------

bool CConfigFile::ExchangesFailedSince(std::uint64_t failuresBefore) const {
  return m_context.device.FailedExchanges() != failuresBefore;
}

void CConfigFile::ShowOutcome(bool success, const QString& done, const QString& failed,
                              const QString& caption) {
  plat::Prompts().ShowMessage(m_context.owner, success ? done : failed, caption,
                              success ? plat::MessageIcon::Information : plat::MessageIcon::Warning,
                              plat::MessageButtons::Ok);
}
