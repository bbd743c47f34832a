// Arrival, removal and identification of the bridge board.
#include <QMessageBox>
#include <thread>

#include "app/cellparameters.h"
#include "app/identity.h"
#include "app/varnostellionplusdlgdlg.h"
#include "platform/devicenotice.h"
#include "platform/operatorprompts.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr std::chrono::milliseconds kPulse{100};

}  // namespace

int CVarnostellionPlusDlgDlg::OnDeviceChange(unsigned eventCode, unsigned deviceType) {
  if (eventCode != plat::DBT_DEVICEARRIVAL && eventCode != plat::DBT_DEVICEREMOVECOMPLETE) return 0;
  if (deviceType == plat::DBT_DEVTYP_OEM) {
    plat::Prompts().ShowMessage(this, QStringLiteral("DBT_DEVTYP_OEM"), QString(),
                                plat::MessageIcon::None, plat::MessageButtons::Ok);
    return 0;
  }
  if (deviceType != plat::DBT_DEVTYP_DEVICEINTERFACE) return 0;
  if (eventCode == plat::DBT_DEVICEARRIVAL) {
    if (m_device.Connect()) return 0;
    setWindowTitle(QStringLiteral("USB设备已经插入"));
    ShowProgress();
    m_evIdentify.Set();
    SetTopLevelMenusEnabled(true);
  } else {
    setWindowTitle(QStringLiteral("设备已经断开"));
    HideProgress();
    ShowNotConnected();
    SetTopLevelMenusEnabled(false);
  }
  return 0;
}

void CVarnostellionPlusDlgDlg::IdentifyBoard(void* context) {
  static_cast<CVarnostellionPlusDlgDlg*>(context)->RunIdentification();
}

// The beep that tells the operator a board was found. False when a stop came in between.
bool CVarnostellionPlusDlgDlg::StartupPulse() {
  m_device.SetOutput(9, 1);
  m_device.SetOutput(CUSBChannel::OUTPUT_BUZZER, 1);
  if (!m_worker.SleepFor(kPulse)) return false;
  m_device.QueryStatus();
  m_device.SetOutput(1, 1);
  m_device.SetOutput(9, 1);
  m_device.SetOutput(CUSBChannel::OUTPUT_BUZZER, 0);
  return m_worker.SleepFor(kPulse);
}

CUSBChannel::Block CVarnostellionPlusDlgDlg::ReadIdentityPage() {
  std::lock_guard channel(m_device.ChannelLock());
  CUSBChannel::Block page{};
  m_device.ReadPage(CUSBChannel::PAGE_IDENTITY, page);
  return page;
}

QString CVarnostellionPlusDlgDlg::ReadDeviceType() {
  return identity::CodeAt(ReadIdentityPage(), identity::kDeviceTypeOffset);
}

void CVarnostellionPlusDlgDlg::RunIdentification() {
  if (!m_worker.LockAtSafePoint(m_lockIdentify)) return;
  std::lock_guard identify(m_lockIdentify, std::adopt_lock);
  if (!StartupPulse()) return;
  PostPane(0, [](CStatusBarEx& bar) {
    bar.m_paneText[0] = QStringLiteral("设备已经插入");
    bar.m_paneTextColor[0] = QColor(0, 0, 255);
    bar.m_paneBackColor[0] = QColor(0, 255, 0);
    bar.m_paneStyle[0] = PANE_FILLED;
  });
  const QString deviceId = identity::DeviceIdText(ReadIdentityPage());
  PostPane(1, [deviceId](CStatusBarEx& bar) {
    bar.m_paneText[1] = deviceId;
    bar.m_paneTextColor[1] = QColor(50, 50, 255);
    bar.m_paneBackColor[1] = QColor(0, 255, 0);
    bar.m_paneStyle[1] = PANE_FILLED;
  });
  const QString vendor = identity::VendorLine(identity::CodeAt(ReadIdentityPage(), identity::kBrandOffset));
  PostPane(2, [vendor](CStatusBarEx& bar) {
    bar.m_paneText[2] = vendor;
    bar.m_paneTextColor[2] = QColor(0, 0, 255);
    bar.m_paneStyle[2] = PANE_FILLED;
    bar.m_paneAlign[2] = TEXT_RIGHT;
  });

  switch (identity::ModelOf(ReadDeviceType())) {
    case identity::BoardModel::SingleBoard:
      PostModelMenus(true, true, false);
      m_worker.Start();
      PostProgressRange(1);
      LoadSingleBoardParameters();
      break;
    case identity::BoardModel::Expansion:
      PostModelMenus(true, false, true);
      m_worker.Start();
      LoadExpansionParameters();
      break;
    case identity::BoardModel::Unrecognised:
      PostModelMenus(false, false, false);
      break;
  }
  m_device.LoadFirmwareInfo();
  m_device.LoadGlobalBlock();
  PostToUi([this] { HideProgress(); });
}

void CVarnostellionPlusDlgDlg::ReloadSingleCell() {
  GridCell& cell = m_grid.m_cells[0][0];
  const std::pair<std::uint8_t, std::atomic<std::uint16_t>(*)[32]> pages[] = {
      {CUSBChannel::PAGE_REFERENCE, &cell.reference},
      {CUSBChannel::PAGE_THRESHOLD_HIGH, &cell.thresholdHigh},
      {CUSBChannel::PAGE_THRESHOLD_LOW, &cell.thresholdLow},
  };
  for (const auto& [page, target] : pages) {
    std::lock_guard channel(m_device.ChannelLock());
    CUSBChannel::Block bytes{};
    m_device.ReadPage(page, bytes);
    cellparameters::StoreWords(*target, bytes);
  }
  {
    std::lock_guard channel(m_device.ChannelLock());
    CUSBChannel::Block bytes{};
    m_device.ReadPage(CUSBChannel::PAGE_MASK, bytes);
    cellparameters::StoreMask(cell.mask, bytes);
  }
  const GlobalBlock global = m_device.GetGlobalBlock();
  cell.viewMax.store(global.U16(GlobalBlock::VIEWDATARANGE_MAX), kRelaxed);
  cell.viewMin.store(global.U16(GlobalBlock::VIEWDATARANGE_MIN), kRelaxed);
  m_grid.m_overIndication.store(global.U8(GlobalBlock::GUIOVERD), kRelaxed);
}

void CVarnostellionPlusDlgDlg::LoadSingleBoardParameters() {
  m_device.LoadGlobalBlock();
  m_grid.m_rows = 1;
  m_grid.m_cols = 1;
  ReloadSingleCell();
  PostProgressStep();
  m_evMeasure.Set();
}
