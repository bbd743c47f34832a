#pragma once

#include <QPointer>
#include <QTableWidget>

#include "dialogs/itemedit.h"

// A report-style list whose single cells are edited in place: the first click on a cell makes
// it the current cell and highlights it, a second click on the same cell opens a CItemEdit
// over exactly that cell, and the text confirmed there replaces that cell's text alone.
// Enter confirms, Escape leaves the text as it was, leaving the editor for a widget outside
// the list confirms and forgets the current cell.
class CEditListCtrl : public QTableWidget {
  Q_OBJECT

 public:
  explicit CEditListCtrl(QWidget* parent = nullptr);

  // Takes the place and size of a dialog item and replaces it (the item is destroyed).
  void AttachToItem(QWidget* item);

  void AddColumn(const QString& heading, int width);
  // Empties the list, then adds `count` rows whose first column is the row number.
  void SetNumberedRows(int count);
  void SetText(int row, int column, const QString& text);
  QString Text(int row, int column) const;
  // A greyed row is drawn in the disabled colour and cannot be made current or edited.
  void SetRowGreyed(int row, bool greyed);

  // The open in-place editor, null when no cell is being edited.
  CItemEdit* Editor() const { return m_edit; }
  void ClearCurrentCell();

  int m_curColumn = -1;
  int m_curRow = -1;
  bool m_cellSelected = false;
  bool m_clicked = false;  // the current cell shows its focus rectangle only while set

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  class CellDelegate;

  void Click(QMouseEvent* event);
  bool ContainsWidget(const QWidget* widget) const;
  // Forgets the current cell when the focus went to a widget outside the list.
  void ForgetCellIfFocusLeft();

  QPointer<CItemEdit> m_edit;
};
