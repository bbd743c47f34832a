// Menu commands, the menu update and the close sequence of the main window.
#include <QMenu>
#include <QThread>
#include <thread>

#include "app/varnostellionplusdlgdlg.h"
#include "resources/resourceids.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr std::chrono::milliseconds kCloseSettle{200};

// The check mark of a command, from the flags and indication switch of the local copy; no
// value for commands without a check mark.
std::optional<bool> CheckMarkOf(int id, const GlobalBlock& global) {
  switch (id) {
    case resources::ID_EDIT_INDICATION: return global.U8(GlobalBlock::GUIOVERD) != 0;
    case resources::ID_BUZZER_ENABLE: return global.Flag(GlobalBlock::BUZZERENABLE);
    case resources::ID_BUZZER_INVERT: return global.Flag(GlobalBlock::BUZZERINVERT);
    case resources::ID_LED_ENABLE: return global.Flag(GlobalBlock::LEDENABLE);
    case resources::ID_LED_INVERT: return global.Flag(GlobalBlock::LEDINVERT);
    default: return std::nullopt;
  }
}

}  // namespace

void CVarnostellionPlusDlgDlg::OnInitMenuPopup(QMenu* popup) {
  const GlobalBlock global = m_device.GetGlobalBlock();
  for (QAction* action : popup->actions()) {
    if (action->isSeparator() || action->menu() != nullptr) continue;
    const std::optional<bool> checked = CheckMarkOf(action->data().toInt(), global);
    if (!checked) continue;
    action->setCheckable(true);
    action->setChecked(*checked);
  }
}

void CVarnostellionPlusDlgDlg::OnCommand(int id) {
  switch (id) {
    case resources::ID_EDIT_INDICATION:
      ToggleIndication();
      break;
    case resources::ID_EDIT_CLEAR_INDICATION:
      m_grid.ClearOverMarks();
      break;
    case resources::ID_BUZZER_ENABLE:
      ToggleFlag(GlobalBlock::BUZZERENABLE);
      break;
    case resources::ID_BUZZER_INVERT:
      ToggleFlag(GlobalBlock::BUZZERINVERT);
      break;
    case resources::ID_LED_ENABLE:
      ToggleFlag(GlobalBlock::LEDENABLE);
      break;
    case resources::ID_LED_INVERT:
      ToggleFlag(GlobalBlock::LEDINVERT);
      break;
    case resources::ID_FILE_SAVE_CONFIG:
      OnSaveConfigFile();
      break;
    case resources::ID_FILE_LOAD_CONFIG:
      OnLoadConfigFile();
      break;
    case resources::ID_FILE_SAVE_LEGACY:
      OnSaveLegacyConfigFile();
      break;
    case resources::ID_EDIT_SETTINGS:
      OnSettings();
      break;
    case resources::ID_CELL_SETTINGS:
      OnCellSettings();
      break;
    case resources::ID_EXPANSION_SETTINGS:
      OnExpansionSettings();
      break;
    case resources::ID_HELP_ABOUT:
      OnAbout();
      break;
    case resources::ID_EDIT_CAMERA:
      OnCamera();
      break;
    default:
      break;
  }
}

void CVarnostellionPlusDlgDlg::ToggleIndication() {
  m_grid.ClearOverMarks();
  std::lock_guard channel(m_device.ChannelLock());
  m_device.LoadGlobalBlock();
  GlobalBlock global = m_device.GetGlobalBlock();
  global.SetU8(GlobalBlock::GUIOVERD, global.U8(GlobalBlock::GUIOVERD) == 0 ? 1 : 0);
  m_device.SetGlobalBlock(global);
  m_device.StoreGlobalBlock();
  m_grid.m_overIndication.store(global.U8(GlobalBlock::GUIOVERD), kRelaxed);
}

void CVarnostellionPlusDlgDlg::ToggleFlag(std::uint8_t bit) {
  const bool current = m_device.GetGlobalBlock().Flag(bit);
  {
    std::lock_guard channel(m_device.ChannelLock());
    m_device.ModifyPageBits(current ? 0 : bit, bit);
  }
  m_device.LoadGlobalBlock();
}

// The loops are parked before the outputs go off, so that no cycle can switch them on again.
void CVarnostellionPlusDlgDlg::OnClose() {
  if (m_closing) return;
  m_closing = true;
  m_worker.Pause();
  m_device.SetOutput(CUSBChannel::OUTPUT_BUZZER, 0);
  m_device.SetOutput(CUSBChannel::OUTPUT_LAMP_A, 0);
  m_device.SetOutput(5, 0);
  m_device.SetOutput(CUSBChannel::OUTPUT_LAMP_B, 0);
  m_device.SetOutput(1, 0);
  m_device.SetOutput(9, 1);
  std::this_thread::sleep_for(kCloseSettle);
  while (!m_worker.Stop()) {
  }
  std::this_thread::sleep_for(kCloseSettle);
}
