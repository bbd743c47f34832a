#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>

#include "device/globalblock.h"
#include "display/colorbar.h"

class CVarnostellionPlusDlgDlg;
class QLineEdit;
class QRadioButton;
class QTreeWidget;

namespace resources {
class DialogBuilder;
}

// The reference and threshold dialog: edits the references, limits, mask and view range of one
// grid cell, previews them and writes them to the board on OK.
//
// The opener sets m_owner, m_deviceType, m_targetRow and m_targetCol, then runs exec(); the
// dialog loads the cell's parameter set when it starts.
class CSettingDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CSettingDlg(QWidget* parent = nullptr);
  ~CSettingDlg() override;

  // Loads the parameter set into the preview and the controls; exec() runs it once first.
  void OnInitDialog();
  int exec() override;

  // Button handlers.
  void OnRead();
  void OnAverage();
  void OnOpenAll();
  void OnCloseAll();
  void OnOK();

  // Average of the ticked sample rows in list column `column` (1..32), truncated toward zero;
  // -1 after an "ERR" message when no row is ticked.
  int AverageColumn(int column);

  // Set by the opener.
  CVarnostellionPlusDlgDlg* m_owner = nullptr;
  QString m_deviceType;
  int m_targetRow = 0;
  int m_targetCol = 0;

  CColorBar* m_preview = nullptr;  // a child of the dialog, holding the edited set in cell (0, 0)
  QTreeWidget* m_sampleList = nullptr;
  QTreeWidget* m_averageList = nullptr;
  std::int32_t m_sampleCount = 0;

  // The control with that id, for the opener's and the tests' use.
  QWidget* Item(int id) const;

  // The board cell number of the expansion cell at `row`, `col` of a grid `cols` wide; -1 when
  // the number does not fit the cell parameter blocks or the expansion table, so that such a
  // cell is neither read nor written.
  static int CellNumber(int cols, int row, int col);

 private:
  enum class Model { Unrecognised, SingleBoard, Expansion };

  // The numbers of the edit boxes and the rule buttons.
  struct RuleControls {
    std::uint16_t viewMax = 0;
    std::uint16_t viewMin = 0;
    bool percentageRule = false;
    std::uint16_t percentage = 0;
    std::uint16_t lowerOffset = 0;
    std::uint16_t upperOffset = 0;
  };

  Model ModelOfDevice() const;
  GridCell& PreviewCell() const;
  // The main grid's cell whose live values feed "Read"; null when there is none.
  const GridCell* LiveCell() const;

  void BuildLists();
  void ConnectButtons();
  void TileBackground();

  void LoadSingleBoard();
  void LoadExpansionCell(int cell);
  void ShowRule(const GlobalBlock& fields);
  RuleControls ReadRule() const;
  static void ApplyRule(const RuleControls& rule, GlobalBlock& fields);
  void WriteSingleBoard();
  void WriteExpansionCell(int cell);

  std::unique_ptr<resources::DialogBuilder> m_layout;
  QLineEdit* m_viewMax = nullptr;
  QLineEdit* m_viewMin = nullptr;
  QLineEdit* m_percentage = nullptr;
  QLineEdit* m_lowerOffset = nullptr;
  QLineEdit* m_upperOffset = nullptr;
  QRadioButton* m_percentageRule = nullptr;
  QRadioButton* m_offsetRule = nullptr;
  int m_cell = -1;  // board cell number of the expansion model's target, -1 for none
  bool m_initialised = false;
};
