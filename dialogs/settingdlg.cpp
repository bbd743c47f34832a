#include "dialogs/settingdlg.h"

#include <QBrush>
#include <QHeaderView>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <cmath>
#include <mutex>

#include "app/identity.h"
#include "app/varnostellionplusdlgdlg.h"
#include "dialogs/numbertext.h"
#include "platform/operatorprompts.h"
#include "resources/artwork.h"
#include "resources/dialogbuilder.h"
#include "resources/settingtemplate.h"

namespace {

namespace ids = resources::setting;
constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr int kPreviewRepaintMs = 10;
constexpr int kColumnWidth = 50;
using Block = CUSBChannel::Block;
using Words = std::atomic<std::uint16_t>[GRID_CHANNELS];
using Masks = std::atomic<std::uint8_t>[GRID_CHANNELS];

void StoreWords(Words& target, const Block& bytes) {
  for (std::size_t k = 0; k < GRID_CHANNELS; ++k) {
    target[k].store(static_cast<std::uint16_t>(bytes[2 * k] | (bytes[2 * k + 1] << 8)), kRelaxed);
  }
}

void StoreMasks(Masks& target, const Block& bytes) {
  for (std::size_t k = 0; k < GRID_CHANNELS; ++k) target[k].store(bytes[k], kRelaxed);
}

Block BytesOf(const Words& words) {
  Block bytes{};
  for (std::size_t k = 0; k < GRID_CHANNELS; ++k) {
    const std::uint16_t word = words[k].load(kRelaxed);
    bytes[2 * k] = static_cast<std::uint8_t>(word & 0xFF);
    bytes[2 * k + 1] = static_cast<std::uint8_t>(word >> 8);
  }
  return bytes;
}

// The 32 mask bytes, zeros after them.
Block BytesOf(const Masks& masks) {
  Block bytes{};
  for (std::size_t k = 0; k < GRID_CHANNELS; ++k) bytes[k] = masks[k].load(kRelaxed);
  return bytes;
}

// Cell settings are laid out like the first bytes of the global parameter block.
GlobalBlock FieldsOf(const CUSBChannel::CellSettings& settings) {
  GlobalBlock fields;
  std::copy(settings.begin(), settings.end(), fields.bytes.begin());
  return fields;
}

CUSBChannel::CellSettings SettingsOf(const GlobalBlock& fields) {
  CUSBChannel::CellSettings settings{};
  std::copy_n(fields.bytes.begin(), settings.size(), settings.begin());
  return settings;
}

std::uint16_t CutTo16Bits(double value) {
  // |value| stays below 65535 × 65536 / 100, well inside int.
  return static_cast<std::uint16_t>(static_cast<int>(std::trunc(value)));
}

QString Decimal(int value) { return QString::number(value); }

}  // namespace

CSettingDlg::CSettingDlg(QWidget* parent)
    : QDialog(parent),
      m_layout(std::make_unique<resources::DialogBuilder>(resources::Dialog(ids::kDialog))) {
  m_layout->Build(this);
  setFixedSize(m_layout->ClientSize());
  m_sampleList = qobject_cast<QTreeWidget*>(Item(ids::kSampleList));
  m_averageList = qobject_cast<QTreeWidget*>(Item(ids::kAverageList));
  m_viewMax = qobject_cast<QLineEdit*>(Item(ids::kViewMax));
  m_viewMin = qobject_cast<QLineEdit*>(Item(ids::kViewMin));
  m_percentage = qobject_cast<QLineEdit*>(Item(ids::kPercentage));
  m_lowerOffset = qobject_cast<QLineEdit*>(Item(ids::kLowerOffset));
  m_upperOffset = qobject_cast<QLineEdit*>(Item(ids::kUpperOffset));
  m_percentageRule = qobject_cast<QRadioButton*>(Item(ids::kPercentageRule));
  m_offsetRule = qobject_cast<QRadioButton*>(Item(ids::kOffsetRule));
  ConnectButtons();
}

CSettingDlg::~CSettingDlg() = default;

QWidget* CSettingDlg::Item(int id) const { return m_layout->Item(id); }

void CSettingDlg::ConnectButtons() {
  const std::pair<int, void (CSettingDlg::*)()> handlers[] = {
      {ids::kRead, &CSettingDlg::OnRead},         {ids::kAverage, &CSettingDlg::OnAverage},
      {ids::kOpenAll, &CSettingDlg::OnOpenAll},   {ids::kCloseAll, &CSettingDlg::OnCloseAll},
      {ids::kOk, &CSettingDlg::OnOK},             {ids::kCancel, &CSettingDlg::reject},
  };
  for (const auto& [id, handler] : handlers) {
    if (auto* button = qobject_cast<QPushButton*>(Item(id))) connect(button, &QPushButton::clicked, this, handler);
  }
}

int CSettingDlg::exec() {
  if (!m_initialised) OnInitDialog();
  return QDialog::exec();
}

void CSettingDlg::OnInitDialog() {
  m_initialised = true;
  TileBackground();
  m_preview = new CColorBar(this);
  m_preview->AttachToItem(Item(ids::kPreview));
  m_preview->StartRepaintTimer(kPreviewRepaintMs);
  m_preview->m_rows = 1;
  m_preview->m_cols = 1;
  m_preview->m_showVerdict = 0;
  BuildLists();

  switch (ModelOfDevice()) {
    case Model::SingleBoard:
      setWindowTitle(QStringLiteral("基准值参数设定"));
      LoadSingleBoard();
      break;
    case Model::Expansion:
      setWindowTitle(QStringLiteral("第%1行,第%2列 基准值参数设定").arg(m_targetRow).arg(m_targetCol));
      m_cell = CellNumber(m_owner->m_device.GetGlobalBlock().U8(GlobalBlock::EXPANDBOARDCOL),
                          m_targetRow, m_targetCol);
      if (m_cell >= 0) LoadExpansionCell(m_cell);
      break;
    case Model::Unrecognised:
      break;
  }
}

void CSettingDlg::TileBackground() {
  QPalette tiled = palette();
  tiled.setBrush(QPalette::Window, QBrush(resources::Bitmap(ids::kBackground)));
  setPalette(tiled);
  setAutoFillBackground(true);
}

void CSettingDlg::BuildLists() {
  QStringList headers{QStringLiteral("No.")};
  for (int k = 0; k < GRID_CHANNELS; ++k) headers << Decimal(k);
  for (QTreeWidget* list : {m_sampleList, m_averageList}) {
    list->setColumnCount(static_cast<int>(headers.size()));
    list->setHeaderLabels(headers);
    list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->header()->setStretchLastSection(false);
    for (int column = 0; column < headers.size(); ++column) list->setColumnWidth(column, kColumnWidth);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setAllColumnsShowFocus(true);
    list->setTextElideMode(Qt::ElideNone);
    list->setStyleSheet(QStringLiteral("QTreeView::item { border: 1px solid #d4d4d4; border-top: none; border-left: none; }"));
  }
  auto* average = new QTreeWidgetItem(QStringList{QStringLiteral("AVG")});
  average->setFlags(average->flags() | Qt::ItemIsUserCheckable);
  average->setCheckState(0, Qt::Unchecked);
  m_averageList->addTopLevelItem(average);
}

CSettingDlg::Model CSettingDlg::ModelOfDevice() const {
  if (m_owner == nullptr) return Model::Unrecognised;
  if (m_deviceType == identity::kSingleBoardType) return Model::SingleBoard;
  if (m_deviceType == identity::kExpansionType) return Model::Expansion;
  return Model::Unrecognised;
}

int CSettingDlg::CellNumber(int cols, int row, int col) {
  const long long cell = static_cast<long long>(cols) * row + col;
  const bool inTable = cell >= 0 && cell < static_cast<long long>(ExpansionEntry::kCount);
  return inTable && CUSBChannel::IsCellNumberValid(static_cast<int>(cell)) ? static_cast<int>(cell) : -1;
}

GridCell& CSettingDlg::PreviewCell() const { return m_preview->m_cells[0][0]; }

const GridCell* CSettingDlg::LiveCell() const {
  switch (ModelOfDevice()) {
    case Model::SingleBoard:
      return &m_owner->m_grid.m_cells[0][0];
    case Model::Expansion: {
      if (m_cell < 0) return nullptr;
      const ExpansionEntry entry = m_owner->m_device.GetExpansionTable()[static_cast<std::size_t>(m_cell)];
      if (entry.ROW >= GRID_MAX_ROWS || entry.COL >= GRID_MAX_COLS) return nullptr;
      return &m_owner->m_grid.m_cells[entry.COL][entry.ROW];
    }
    case Model::Unrecognised:
      break;
  }
  return nullptr;
}

// --- loading ------------------------------------------------------------------------------

void CSettingDlg::LoadSingleBoard() {
  CUSBChannel& device = m_owner->m_device;
  GridCell& cell = PreviewCell();
  const std::pair<std::uint8_t, Words*> pages[] = {
      {CUSBChannel::PAGE_REFERENCE, &cell.reference},
      {CUSBChannel::PAGE_THRESHOLD_HIGH, &cell.thresholdHigh},
      {CUSBChannel::PAGE_THRESHOLD_LOW, &cell.thresholdLow},
  };
  Block bytes{};
  for (const auto& [page, target] : pages) {
    std::lock_guard channel(device.ChannelLock());
    device.ReadPage(page, bytes);
    StoreWords(*target, bytes);
  }
  {
    std::lock_guard channel(device.ChannelLock());
    device.ReadPage(CUSBChannel::PAGE_MASK, bytes);
    StoreMasks(cell.mask, bytes);
  }
  const GlobalBlock global = device.GetGlobalBlock();
  cell.viewMax.store(global.U16(GlobalBlock::VIEWDATARANGE_MAX), kRelaxed);
  cell.viewMin.store(global.U16(GlobalBlock::VIEWDATARANGE_MIN), kRelaxed);
  const GridCell& live = *LiveCell();
  for (int k = 0; k < GRID_CHANNELS; ++k) cell.data[k].store(live.data[k].load(kRelaxed), kRelaxed);
  ShowRule(global);
}

void CSettingDlg::LoadExpansionCell(int number) {
  CUSBChannel& device = m_owner->m_device;
  GridCell& cell = PreviewCell();
  const std::pair<CellBlockKind, Words*> blocks[] = {
      {CellBlockKind::REFERENCE, &cell.reference},
      {CellBlockKind::THRESHOLD_HIGH, &cell.thresholdHigh},
      {CellBlockKind::THRESHOLD_LOW, &cell.thresholdLow},
  };
  Block bytes{};
  for (const auto& [kind, target] : blocks) {
    device.ReadCellBlock(kind, number, bytes);
    StoreWords(*target, bytes);
  }
  device.ReadCellBlock(CellBlockKind::MASK, number, bytes);
  StoreMasks(cell.mask, bytes);
  device.LoadCellSettings(number);
  const GlobalBlock fields = FieldsOf(device.GetCellSettings());
  cell.viewMax.store(fields.U16(GlobalBlock::VIEWDATARANGE_MAX), kRelaxed);
  cell.viewMin.store(fields.U16(GlobalBlock::VIEWDATARANGE_MIN), kRelaxed);
  if (const GridCell* live = LiveCell()) {
    for (int k = 0; k < GRID_CHANNELS; ++k) cell.data[k].store(live->data[k].load(kRelaxed), kRelaxed);
  }
  ShowRule(fields);
}

void CSettingDlg::ShowRule(const GlobalBlock& fields) {
  m_viewMin->setText(Decimal(fields.U16(GlobalBlock::VIEWDATARANGE_MIN)));
  m_viewMax->setText(Decimal(fields.U16(GlobalBlock::VIEWDATARANGE_MAX)));
  m_percentage->setText(Decimal(fields.U16(GlobalBlock::PERCENTAGE)));
  m_lowerOffset->setText(Decimal(fields.U16(GlobalBlock::ALLOWEDTHRES_LOW)));
  m_upperOffset->setText(Decimal(fields.U16(GlobalBlock::ALLOWEDTHRES_HIGH)));
  const bool percentage = fields.U8(GlobalBlock::TYPE) != 0;
  m_percentageRule->setChecked(percentage);
  m_offsetRule->setChecked(!percentage);
}

CSettingDlg::RuleControls CSettingDlg::ReadRule() const {
  RuleControls rule;
  rule.viewMax = TextToU16(m_viewMax->text());
  rule.viewMin = TextToU16(m_viewMin->text());
  rule.percentageRule = m_percentageRule->isChecked();
  rule.percentage = TextToU16(m_percentage->text());
  rule.lowerOffset = TextToU16(m_lowerOffset->text());
  rule.upperOffset = TextToU16(m_upperOffset->text());
  return rule;
}

void CSettingDlg::ApplyRule(const RuleControls& rule, GlobalBlock& fields) {
  fields.SetU16(GlobalBlock::VIEWDATARANGE_MAX, rule.viewMax);
  fields.SetU16(GlobalBlock::VIEWDATARANGE_MIN, rule.viewMin);
  fields.SetU8(GlobalBlock::TYPE, rule.percentageRule ? 1 : 0);
  fields.SetU16(GlobalBlock::PERCENTAGE, rule.percentage);
  fields.SetU16(GlobalBlock::ALLOWEDTHRES_HIGH, rule.upperOffset);
  fields.SetU16(GlobalBlock::ALLOWEDTHRES_LOW, rule.lowerOffset);
}

// --- sampling and averaging -----------------------------------------------------------------

void CSettingDlg::OnRead() {
  const GridCell* live = LiveCell();
  if (live == nullptr) return;
  QStringList texts{Decimal(m_sampleCount)};
  ++m_sampleCount;
  for (int k = 0; k < GRID_CHANNELS; ++k) texts << Decimal(live->data[k].load(kRelaxed));
  auto* row = new QTreeWidgetItem(texts);
  row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
  row->setCheckState(0, Qt::Checked);
  m_sampleList->insertTopLevelItem(0, row);
}

int CSettingDlg::AverageColumn(int column) {
  std::int64_t sum = 0;
  int ticked = 0;
  for (int i = 0; i < m_sampleList->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* row = m_sampleList->topLevelItem(i);
    if (row->checkState(0) != Qt::Checked) continue;
    sum += TextToInt(row->text(column));
    ++ticked;
  }
  if (ticked == 0) {
    plat::Prompts().ShowMessage(this, QStringLiteral("ERR"), QString(), plat::MessageIcon::None,
                                plat::MessageButtons::Ok);
    return -1;
  }
  return static_cast<int>(sum / ticked);
}

void CSettingDlg::OnAverage() {
  if (m_sampleList->topLevelItemCount() == 0) return;
  QTreeWidgetItem* averageRow = m_averageList->topLevelItem(0);
  std::array<std::uint16_t, GRID_CHANNELS> average{};
  for (int column = 1; column <= GRID_CHANNELS; ++column) {
    average[static_cast<std::size_t>(column - 1)] = static_cast<std::uint16_t>(AverageColumn(column));
    averageRow->setText(column, Decimal(average[static_cast<std::size_t>(column - 1)]));
  }
  averageRow->setCheckState(0, Qt::Checked);

  const RuleControls rule = ReadRule();
  GridCell& cell = PreviewCell();
  for (std::size_t k = 0; k < GRID_CHANNELS; ++k) {
    const std::uint16_t reference = average[k];
    cell.reference[k].store(reference, kRelaxed);
    if (rule.percentageRule) {
      const double margin = static_cast<double>(reference) * rule.percentage / 100;
      cell.thresholdLow[k].store(CutTo16Bits(reference - margin), kRelaxed);
      cell.thresholdHigh[k].store(CutTo16Bits(margin + reference), kRelaxed);
    } else {
      cell.thresholdLow[k].store(static_cast<std::uint16_t>(reference - rule.lowerOffset), kRelaxed);
      cell.thresholdHigh[k].store(static_cast<std::uint16_t>(reference + rule.upperOffset), kRelaxed);
    }
  }
  cell.viewMax.store(rule.viewMax, kRelaxed);
  cell.viewMin.store(rule.viewMin, kRelaxed);
}

void CSettingDlg::OnOpenAll() {
  for (auto& mask : PreviewCell().mask) mask.store(MASK_OPEN, kRelaxed);
}

void CSettingDlg::OnCloseAll() {
  for (auto& mask : PreviewCell().mask) mask.store(MASK_CLOSED, kRelaxed);
}

// --- writing --------------------------------------------------------------------------------

void CSettingDlg::OnOK() {
  switch (ModelOfDevice()) {
    case Model::SingleBoard:
      WriteSingleBoard();
      break;
    case Model::Expansion:
      if (m_cell >= 0) WriteExpansionCell(m_cell);
      break;
    case Model::Unrecognised:
      break;
  }
  accept();
}

void CSettingDlg::WriteSingleBoard() {
  CUSBChannel& device = m_owner->m_device;
  const GridCell& cell = PreviewCell();
  const std::pair<std::uint8_t, Block> pages[] = {
      {CUSBChannel::PAGE_MASK, BytesOf(cell.mask)},
      {CUSBChannel::PAGE_THRESHOLD_HIGH, BytesOf(cell.thresholdHigh)},
      {CUSBChannel::PAGE_THRESHOLD_LOW, BytesOf(cell.thresholdLow)},
      {CUSBChannel::PAGE_REFERENCE, BytesOf(cell.reference)},
  };
  for (const auto& [page, bytes] : pages) {
    std::lock_guard channel(device.ChannelLock());
    device.WritePage(page, bytes);
  }
  // One hold for the read-modify-write, so no other command changes the block in between.
  std::lock_guard channel(device.ChannelLock());
  device.LoadGlobalBlock();
  GlobalBlock global = device.GetGlobalBlock();
  ApplyRule(ReadRule(), global);
  device.SetGlobalBlock(global);
  device.StoreGlobalBlock();
}

void CSettingDlg::WriteExpansionCell(int number) {
  CUSBChannel& device = m_owner->m_device;
  const GridCell& cell = PreviewCell();
  device.WriteCellBlock(CellBlockKind::MASK, number, BytesOf(cell.mask));
  device.WriteCellBlock(CellBlockKind::THRESHOLD_HIGH, number, BytesOf(cell.thresholdHigh));
  device.WriteCellBlock(CellBlockKind::THRESHOLD_LOW, number, BytesOf(cell.thresholdLow));
  device.WriteCellBlock(CellBlockKind::REFERENCE, number, BytesOf(cell.reference));
  std::lock_guard channel(device.ChannelLock());
  device.LoadCellSettings(number);
  GlobalBlock fields = FieldsOf(device.GetCellSettings());
  ApplyRule(ReadRule(), fields);
  device.SetCellSettings(SettingsOf(fields));
  device.StoreCellSettings(number);
}
