// The measurement loops, the expansion parameter load and the buzzer and lamp outputs.
#include "app/cellparameters.h"
#include "app/indication.h"
#include "app/varnostellionplusdlgdlg.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;
// A cycle that could not reach the board is followed by this pause, so a loop without a
// board does not spin a core; the board is picked up again within it.
constexpr std::chrono::milliseconds kIdleAfterFailure{50};
constexpr int kMaxLayout = 10;

template <std::size_t N>
void StoreValues(std::atomic<std::uint16_t> (&target)[N], const CUSBChannel::ChannelValues& values) {
  for (std::size_t k = 0; k < N; ++k) target[k].store(values[k], kRelaxed);
}

}  // namespace

void CVarnostellionPlusDlgDlg::MeasureLoop(void* context) {
  auto* self = static_cast<CVarnostellionPlusDlgDlg*>(context);
  self->RunMeasureLoop(self->m_lockMeasure, s_frameCount, &CVarnostellionPlusDlgDlg::MeasureOnce);
}

void CVarnostellionPlusDlgDlg::MeasureExpansionLoop(void* context) {
  auto* self = static_cast<CVarnostellionPlusDlgDlg*>(context);
  self->RunMeasureLoop(self->m_lockMeasureExpansion, s_frameCountExpansion,
                       &CVarnostellionPlusDlgDlg::MeasureExpansionOnce);
}

// One loop of a kind runs at a time: a second one waits at the loop lock (parked, so that it
// can still be paused and stopped) for as long as the first runs.
void CVarnostellionPlusDlgDlg::RunMeasureLoop(std::recursive_mutex& loopLock,
                                              std::atomic<std::int32_t>& counter,
                                              void (CVarnostellionPlusDlgDlg::*cycle)()) {
  if (!m_worker.LockAtSafePoint(loopLock)) return;
  std::lock_guard held(loopLock, std::adopt_lock);
  while (m_worker.SafePoint()) {
    PostFrameTitle(counter.fetch_add(1, kRelaxed));
    const std::uint64_t failuresBefore = m_device.FailedExchanges();
    (this->*cycle)();
    if (m_device.FailedExchanges() != failuresBefore && !m_worker.SleepFor(kIdleAfterFailure)) return;
  }
}

void CVarnostellionPlusDlgDlg::MeasureOnce() {
  CUSBChannel::ChannelValues values{};
  m_device.ReadChannelValues(values);
  StoreValues(m_grid.m_cells[0][0].data, values);
  DriveOutputs();
}

// Entries past the table's 64 do not exist, and an entry naming an expansion board past the
// eighth has no bus address: neither is polled.
void CVarnostellionPlusDlgDlg::MeasureExpansionOnce() {
  const GlobalBlock global = m_device.GetGlobalBlock();
  const int rows = global.U8(GlobalBlock::EXPANDBOARDROW);
  const int cols = global.U8(GlobalBlock::EXPANDBOARDCOL);
  const int polled = std::min<int>(rows * cols, ExpansionEntry::kCount);
  const CUSBChannel::ExpansionTable table = m_device.GetExpansionTable();
  for (int k = 0; k < polled; ++k) {
    const ExpansionEntry& entry = table[static_cast<std::size_t>(k)];
    if (entry.ADDRESS >= 8) continue;
    if (k > 0 && !m_worker.SafePoint()) return;
    CUSBChannel::ChannelValues values{};
    m_device.ReadExpansionGroup(global.ExpandBoardAddress(entry.ADDRESS), entry.CHANNEL, values);
    if (entry.ROW < rows && entry.COL < cols && entry.ROW < kMaxLayout && entry.COL < kMaxLayout) {
      StoreValues(m_grid.m_cells[entry.COL][entry.ROW].data, values);
    }
  }
  DriveOutputs();
}

void CVarnostellionPlusDlgDlg::DriveOutputs() {
  const std::uint8_t flags = m_device.GetGlobalBlock().U8(GlobalBlock::FLAGS);
  m_device.SetOutput(CUSBChannel::OUTPUT_BUZZER,
                     indication::BuzzerLevel(flags, m_grid.m_failCount.load(kRelaxed)));
  m_device.SetOutput(CUSBChannel::OUTPUT_LAMP_A,
                     indication::LampALevel(flags, m_grid.m_failCount.load(kRelaxed)));
  m_device.SetOutput(CUSBChannel::OUTPUT_LAMP_B,
                     indication::LampBLevel(flags, m_grid.m_failCount.load(kRelaxed)));
}

void CVarnostellionPlusDlgDlg::LoadExpansionParameters() {
  m_device.LoadGlobalBlock();
  const GlobalBlock global = m_device.GetGlobalBlock();
  const int rows = global.U8(GlobalBlock::EXPANDBOARDROW);
  const int cols = global.U8(GlobalBlock::EXPANDBOARDCOL);
  PostProgressRange(rows * cols);
  if (rows < kMaxLayout && cols < kMaxLayout) {
    m_grid.m_rows = rows;
    m_grid.m_cols = cols;
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < cols; ++c) {
        if (!m_worker.SafePoint() || !LoadExpansionCell(r, c, cols)) return;
        PostProgressStep();
      }
    }
  } else {
    PostTitle(QStringLiteral("参数设置有误，请重新设置参数！"));
    m_device.SetOutput(CUSBChannel::OUTPUT_LAMP_A, 1);
  }
  m_device.LoadExpansionTable();
  m_grid.m_overIndication.store(m_device.GetGlobalBlock().U8(GlobalBlock::GUIOVERD), kRelaxed);
  m_evMeasureExpansion.Set();
}

bool CVarnostellionPlusDlgDlg::LoadExpansionCell(int row, int col, int cols) {
  const int number = cols * row + col;
  GridCell& cell = m_grid.m_cells[col][row];
  CUSBChannel::Block bytes{};
  if (!m_device.ReadCellBlock(CellBlockKind::REFERENCE, number, bytes)) return false;
  cellparameters::StoreWords(cell.reference, bytes);
  m_device.ReadCellBlock(CellBlockKind::THRESHOLD_HIGH, number, bytes);
  cellparameters::StoreWords(cell.thresholdHigh, bytes);
  m_device.ReadCellBlock(CellBlockKind::THRESHOLD_LOW, number, bytes);
  cellparameters::StoreWords(cell.thresholdLow, bytes);
  m_device.ReadCellBlock(CellBlockKind::MASK, number, bytes);
  cellparameters::StoreMask(cell.mask, bytes);
  m_device.LoadCellSettings(number);
  const CUSBChannel::CellSettings settings = m_device.GetCellSettings();
  cell.viewMax.store(settings[4] | (settings[5] << 8), kRelaxed);
  cell.viewMin.store(settings[6] | (settings[7] << 8), kRelaxed);
  return true;
}
