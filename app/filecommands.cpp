// The file commands of the main window: configuration file save and load, legacy export.
#include "app/varnostellionplusdlgdlg.h"
#include "files/configfile.h"
#include "files/legacyexport.h"

FileCommandContext CVarnostellionPlusDlgDlg::FileContext() {
  return FileCommandContext{
      .owner = this,
      .device = m_device,
      .grid = m_grid,
      .statusBar = m_statusBar,
      .readDeviceType = [this] { return ReadDeviceType(); },
      .pauseDispatcher = [this] { m_worker.Pause(); },
      .resumeDispatcher = [this] { m_worker.Resume(); },
  };
}

void CVarnostellionPlusDlgDlg::OnSaveConfigFile() { CConfigFile(FileContext()).OnSaveConfigFile(); }

void CVarnostellionPlusDlgDlg::OnLoadConfigFile() { CConfigFile(FileContext()).OnLoadConfigFile(); }

void CVarnostellionPlusDlgDlg::OnSaveLegacyConfigFile() { CLegacyExport(FileContext()).OnSaveLegacyConfigFile(); }
