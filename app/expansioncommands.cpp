// The openers of the expansion-board dialog and the device information dialog.
#include "app/identity.h"
#include "app/varnostellionplusdlgdlg.h"
#include "dialogs/expanddlg.h"
#include "dialogs/useraboutdlg.h"

void CVarnostellionPlusDlgDlg::OnExpansionSettings() {
  CExpandDlg dialog(m_device, this);
  if (dialog.exec() != QDialog::Accepted) return;
  m_device.LoadGlobalBlock();
  const GlobalBlock global = m_device.GetGlobalBlock();
  m_grid.m_rows = global.U8(GlobalBlock::EXPANDBOARDROW);
  m_grid.m_cols = global.U8(GlobalBlock::EXPANDBOARDCOL);
  m_device.LoadExpansionTable();
  m_device.ParametersChanged();
}

void CVarnostellionPlusDlgDlg::OnAbout() {
  CUserAboutDlg dialog(m_device, this);
  dialog.m_brandCode = identity::CodeAt(ReadIdentityPage(), identity::kBrandOffset);
  dialog.exec();
}
