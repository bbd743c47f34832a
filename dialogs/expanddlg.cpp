#include "dialogs/expanddlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <mutex>

#include "device/usbchannel.h"
#include "dialogs/numbertext.h"
#include "resources/artwork.h"
#include "resources/dialogbuilder.h"
#include "resources/expandtemplate.h"

namespace {

using namespace resources::expand;

constexpr int kColumnWidth = 60;
constexpr int kTableEntries = static_cast<int>(ExpansionEntry::kCount);
constexpr int kGroupsPerBoard = 8;
enum Column { NUMBER, ROW, COL, ADDRESS, CHANNEL };

void TileBackground(QWidget* dialog, int bitmap) {
  const QPixmap tile = resources::Bitmap(bitmap);
  if (tile.isNull()) return;
  QPalette palette = dialog->palette();
  palette.setBrush(QPalette::Window, QBrush(tile));
  dialog->setPalette(palette);
  dialog->setAutoFillBackground(true);
}

}  // namespace

CExpandDlg::CExpandDlg(CUSBChannel& device, QWidget* parent)
    : QDialog(parent), m_device(device), m_builder(resources::Dialog(kDialog)) {
  m_builder.Build(this);
  setFixedSize(m_builder.ClientSize());
  TileBackground(this, kBackground);
  for (QLabel* picture : findChildren<QLabel*>()) {
    if (!picture->pixmap().isNull()) picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  }
  m_list.AttachToItem(m_builder.Item(kMappingList));
  m_list.setShowGrid(true);
  for (const char* heading : {"序号", "行数", "列数", "索引", "通道"}) {
    m_list.AddColumn(QString::fromUtf8(heading), kColumnWidth);
  }
  ConnectButton(kQuickInit, &CExpandDlg::OnQuickInit);
  ConnectButton(kReadTable, &CExpandDlg::OnReadTable);
  ConnectButton(kWriteTable, &CExpandDlg::OnWriteTable);
  ConnectButton(kReadLayout, &CExpandDlg::OnReadLayout);
  ConnectButton(kWriteLayout, &CExpandDlg::OnWriteLayout);
  ConnectButton(kOk, &CExpandDlg::accept);
  ConnectButton(kCancel, &CExpandDlg::reject);
}

QLineEdit* CExpandDlg::Field(int id) const { return qobject_cast<QLineEdit*>(m_builder.Item(id)); }

void CExpandDlg::ConnectButton(int id, void (CExpandDlg::*handler)()) {
  if (auto* button = qobject_cast<QPushButton*>(m_builder.Item(id))) {
    connect(button, &QPushButton::clicked, this, handler);
  }
}

void CExpandDlg::showEvent(QShowEvent* event) {
  OnInitDialog();
  QDialog::showEvent(event);
}

void CExpandDlg::OnInitDialog() {
  if (m_initialised) return;
  m_initialised = true;
  m_device.LoadGlobalBlock();
  const GlobalBlock global = m_device.GetGlobalBlock();
  ShowNumber(kBoardCount, global.U8(GlobalBlock::EXPANDBOARDNUM));
  for (std::size_t board = 0; board < std::size(kBoardAddresses); ++board) {
    ShowNumber(kBoardAddresses[board], global.ExpandBoardAddress(board));
  }
  ShowNumber(kRows, global.U8(GlobalBlock::EXPANDBOARDROW));
  ShowNumber(kCols, global.U8(GlobalBlock::EXPANDBOARDCOL));
  SetUpList(global.U8(GlobalBlock::EXPANDBOARDROW) * global.U8(GlobalBlock::EXPANDBOARDCOL));
  OnReadTable();
}

// Every list row that has a table entry is read and written, also the rows of a layout typed
// with "Write" and not yet confirmed, so that no row the operator sees is silently skipped.
int CExpandDlg::RowsWithEntry() const { return std::min(m_list.rowCount(), kTableEntries); }

void CExpandDlg::OnReadTable() {
  m_device.LoadExpansionTable();
  const CUSBChannel::ExpansionTable table = m_device.GetExpansionTable();
  for (int i = 0; i < RowsWithEntry(); ++i) {
    const ExpansionEntry& entry = table[static_cast<std::size_t>(i)];
    m_list.SetText(i, ROW, QString::number(entry.ROW));
    m_list.SetText(i, COL, QString::number(entry.COL));
    m_list.SetText(i, ADDRESS, QString::number(entry.ADDRESS));
    m_list.SetText(i, CHANNEL, QString::number(entry.CHANNEL));
  }
}

void CExpandDlg::OnWriteTable() {
  const auto number = [this](int row, int column) {
    return static_cast<std::uint8_t>(TextToInt(m_list.Text(row, column)));
  };
  for (int i = 0; i < RowsWithEntry(); ++i) {
    m_device.SetExpansionEntry(i, number(i, ROW), number(i, COL), number(i, ADDRESS),
                               number(i, CHANNEL));
  }
}

void CExpandDlg::OnQuickInit() {
  m_device.LoadGlobalBlock();
  const GlobalBlock global = m_device.GetGlobalBlock();
  FillQuickLayout(global.U8(GlobalBlock::EXPANDBOARDROW), global.U8(GlobalBlock::EXPANDBOARDCOL));
}

void CExpandDlg::OnReadLayout() {
  m_device.LoadGlobalBlock();
  const GlobalBlock global = m_device.GetGlobalBlock();
  ShowNumber(kRows, global.U8(GlobalBlock::EXPANDBOARDROW));
  ShowNumber(kCols, global.U8(GlobalBlock::EXPANDBOARDCOL));
}

void CExpandDlg::OnWriteLayout() {
  const int rows = NumberIn(kRows);
  const int cols = NumberIn(kCols);
  SetUpList(rows * cols);
  FillQuickLayout(rows, cols);
}

void CExpandDlg::accept() {
  StoreGlobalField(GlobalBlock::EXPANDBOARDNUM, NumberIn(kBoardCount));
  for (std::size_t board = 0; board < std::size(kBoardAddresses); ++board) {
    StoreGlobalField(GlobalBlock::EXPANDBOARDADDRESS + board, NumberIn(kBoardAddresses[board]));
  }
  StoreGlobalField(GlobalBlock::EXPANDBOARDROW, NumberIn(kRows));
  StoreGlobalField(GlobalBlock::EXPANDBOARDCOL, NumberIn(kCols));
  QDialog::accept();
}

// The lock keeps another command's change of the page from falling between load and store.
void CExpandDlg::StoreGlobalField(std::size_t offset, std::uint8_t value) {
  std::lock_guard channel(m_device.ChannelLock());
  m_device.LoadGlobalBlock();
  GlobalBlock global = m_device.GetGlobalBlock();
  global.SetU8(offset, value);
  m_device.SetGlobalBlock(global);
  m_device.StoreGlobalBlock();
}

// Board numbers are stored in 8 bits: "300" keeps its low byte, 44.
std::uint8_t CExpandDlg::NumberIn(int id) const {
  const QLineEdit* field = Field(id);
  return static_cast<std::uint8_t>(TextToInt(field != nullptr ? field->text() : QString()));
}

void CExpandDlg::ShowNumber(int id, int value) {
  if (QLineEdit* field = Field(id)) field->setText(QString::number(value));
}

void CExpandDlg::SetUpList(int rows) {
  m_list.ClearCurrentCell();
  m_list.SetNumberedRows(rows);
  for (int row = kTableEntries; row < rows; ++row) m_list.SetRowGreyed(row, true);
}

// Consecutive cells take the eight groups of one board before the next board is used.
void CExpandDlg::FillQuickLayout(int rows, int cols) {
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const int k = r * cols + c;
      if (k >= kTableEntries || k >= m_list.rowCount()) return;
      m_list.SetText(k, ROW, QString::number(r));
      m_list.SetText(k, COL, QString::number(c));
      m_list.SetText(k, ADDRESS, QString::number(k / kGroupsPerBoard));
      m_list.SetText(k, CHANNEL, QString::number(k % kGroupsPerBoard));
    }
  }
}
