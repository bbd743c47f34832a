#pragma once

#include <QDialog>
#include <cstdint>

#include "dialogs/editlistctrl.h"
#include "resources/dialogbuilder.h"

class CUSBChannel;
class QLineEdit;

// The expansion-board set-up: the number of expansion boards and their bus addresses, the grid
// size, and the expansion table that maps each grid cell to a board and a group. Every button
// talks to the board directly; the dialog keeps nothing but its controls.
//
// The expansion table has 64 entries: list rows past the 64th stand for cells without an entry,
// so they are greyed, stay empty and are never written.
class CExpandDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CExpandDlg(CUSBChannel& device, QWidget* parent = nullptr);

  // Fills the controls from the board; runs once, at the latest when the dialog is first shown.
  void OnInitDialog();

  // "快速初始化": lays the board's grid size out over the boards and groups in order; nothing
  // is sent.
  void OnQuickInit();
  // "读取": the table from the board into the list rows that have an entry.
  void OnReadTable();
  // "写入": each list row that has an entry into it, one read-modify-write of the table per
  // row under the channel lock.
  void OnWriteTable();
  // "Read": the board's grid size into the row and column fields.
  void OnReadLayout();
  // "Write": rebuilds the list for the typed grid size; nothing is sent.
  void OnWriteLayout();
  // "确定": stores every global field, each with its own load and store, then closes.
  void accept() override;

  CEditListCtrl& MappingList() { return m_list; }
  QLineEdit* Field(int id) const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  int RowsWithEntry() const;
  std::uint8_t NumberIn(int id) const;
  void ShowNumber(int id, int value);
  void ConnectButton(int id, void (CExpandDlg::*handler)());
  void SetUpList(int rows);
  void FillQuickLayout(int rows, int cols);
  void StoreGlobalField(std::size_t offset, std::uint8_t value);

  CUSBChannel& m_device;
  resources::DialogBuilder m_builder;
  CEditListCtrl m_list;
  bool m_initialised = false;
};
