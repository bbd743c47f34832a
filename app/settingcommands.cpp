// The settings commands of the main window and the context menu of the grid's cells.
#include <QMenu>
#include <memory>

#include "app/identity.h"
#include "app/varnostellionplusdlgdlg.h"
#include "dialogs/settingdlg.h"
#include "resources/menutemplate.h"
#include "resources/resourceids.h"

namespace {

// Runs the reference dialog for one cell; true when the operator confirmed it.
bool RunSettingDialog(CVarnostellionPlusDlgDlg& owner, int row, int col, const QString& deviceType) {
  CSettingDlg dialog(&owner);
  dialog.m_owner = &owner;
  dialog.m_targetRow = row;
  dialog.m_targetCol = col;
  dialog.m_deviceType = deviceType;
  return dialog.exec() == QDialog::Accepted;
}

QString CellMenuText(const QString& deviceType, int row, int col) {
  switch (identity::ModelOf(deviceType)) {
    case identity::BoardModel::SingleBoard:
      return QStringLiteral("基准值参数设定");
    case identity::BoardModel::Expansion:
      return QStringLiteral("%1行%2列参数设定").arg(row).arg(col);
    case identity::BoardModel::Unrecognised:
      break;
  }
  return QString();
}

}  // namespace

void CVarnostellionPlusDlgDlg::OnSettings() {
  const QString deviceType = ReadDeviceType();
  if (!RunSettingDialog(*this, 0, 0, deviceType)) return;
  if (identity::ModelOf(deviceType) == identity::BoardModel::SingleBoard) ReloadSingleCell();
}

void CVarnostellionPlusDlgDlg::OnCellSettings() {
  const int row = m_grid.m_hoverRow;
  const int col = m_grid.m_hoverCol;
  const QString deviceType = ReadDeviceType();
  if (!RunSettingDialog(*this, row, col, deviceType)) return;
  switch (identity::ModelOf(deviceType)) {
    case identity::BoardModel::SingleBoard:
      ReloadSingleCell();
      break;
    case identity::BoardModel::Expansion: {
      const int cols = m_device.GetGlobalBlock().U8(GlobalBlock::EXPANDBOARDCOL);
      if (CSettingDlg::CellNumber(cols, row, col) >= 0) LoadExpansionCell(row, col, cols);
      break;
    }
    case identity::BoardModel::Unrecognised:
      break;
  }
}

void CVarnostellionPlusDlgDlg::OnRButtonDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                                             QPoint point) {
  if (m_grid.m_rows == 0 && m_grid.m_cols == 0) return;
  // The hit test works in the grid's own coordinates; a click beside the cells edits none.
  const QPoint inGrid = m_grid.mapFromGlobal(m_client->mapToGlobal(point));
  m_grid.m_pointer = {inGrid.x(), inGrid.y(), buttons, modifiers};
  if (!m_grid.HitTest()) return;

  const std::vector<resources::MenuEntry>& menu = resources::Menu(resources::IDR_CONTEXT_MENU);
  if (menu.empty()) return;
  resources::MenuBuilder builder;
  const std::unique_ptr<QMenu> popup(builder.BuildPopup(menu.front(), this));
  QAction* entry = popup->actions().value(0);
  if (entry == nullptr) return;
  entry->setText(CellMenuText(ReadDeviceType(), m_grid.m_hoverRow, m_grid.m_hoverCol));
  entry->setData(resources::ID_CELL_SETTINGS);
  connect(popup.get(), &QMenu::aboutToShow, this, [this, shown = popup.get()] { OnInitMenuPopup(shown); });
  const QAction* chosen = popup->exec(m_client->mapToGlobal(point));
  if (chosen != nullptr) OnCommand(chosen->data().toInt());
}

bool CVarnostellionPlusDlgDlg::OnContextMenu() { return true; }
