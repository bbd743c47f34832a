#include "dialogs/editlistctrl.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

// Where the highlight and the editor start inside a cell, where the text starts, and the
// highlight's width for an empty cell plus its margin.
constexpr int kBoxInset = 4;
constexpr int kTextInset = 6;
constexpr int kEmptyTextWidth = 41;
constexpr int kBoxMargin = 6;

}  // namespace

// Draws every cell itself: the current cell's highlight and focus rectangle, texts cut with an
// ellipsis, and a blank cell under the open editor. Creates the in-place editors.
class CEditListCtrl::CellDelegate : public QStyledItemDelegate {
 public:
  explicit CellDelegate(CEditListCtrl* list) : QStyledItemDelegate(list), m_list(list) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QRect label = option.rect;
    const QPalette& palette = option.palette;
    painter->save();
    painter->fillRect(label, palette.color(QPalette::Base));
    if (!IsEdited(index)) PaintCell(painter, option, index);
    painter->restore();
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex&) const override {
    auto* editor = new CItemEdit(parent);
    m_list->m_edit = editor;
    return editor;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    static_cast<CItemEdit*>(editor)->setText(index.data().toString());
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    model->setData(index, static_cast<CItemEdit*>(editor)->text());
  }

  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex&) const override {
    auto* edit = static_cast<CItemEdit*>(editor);
    edit->setGeometry(option.rect.left() + kBoxInset, option.rect.top(), edit->width(),
                      option.rect.height());
    edit->SetBounds(option.rect.left() + kBoxInset, option.rect.right() + 1);
  }

 private:
  bool IsEdited(const QModelIndex& index) const {
    return m_list->m_edit != nullptr && index.row() == m_list->m_curRow &&
           index.column() == m_list->m_curColumn;
  }
  bool IsCurrent(const QModelIndex& index) const {
    return index.row() == m_list->m_curRow && index.column() == m_list->m_curColumn;
  }

  void PaintCell(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const {
    const QRect label = option.rect;
    const QPalette& palette = option.palette;
    const QFontMetrics& metrics = option.fontMetrics;
    const QString text = index.data().toString();
    const bool enabled = (index.flags() & Qt::ItemIsEnabled) != 0;
    QColor textColor = palette.color(enabled ? QPalette::Normal : QPalette::Disabled, QPalette::Text);

    if (m_list->m_clicked && IsCurrent(index)) {
      const int textWidth = text.isEmpty() ? kEmptyTextWidth : metrics.horizontalAdvance(text);
      const int boxWidth = std::min(textWidth + kBoxMargin, label.width() - kBoxInset);
      const QRect box(label.left() + kBoxInset, label.top(), boxWidth, label.height());
      if (m_list->m_cellSelected) {
        painter->fillRect(box, palette.color(QPalette::Highlight));
        textColor = palette.color(QPalette::HighlightedText);
      }
      painter->setPen(QPen(textColor, 1, Qt::DotLine));
      painter->drawRect(box.adjusted(0, 0, -1, -1));
    }

    const QRect textRect = label.adjusted(kTextInset, 0, 0, 0);
    painter->setPen(textColor);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      metrics.elidedText(text, Qt::ElideRight, textRect.width()));
  }

  CEditListCtrl* m_list;
};

CEditListCtrl::CEditListCtrl(QWidget* parent) : QTableWidget(parent) {
  setItemDelegate(new CellDelegate(this));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setWordWrap(false);
  setShowGrid(false);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
}

void CEditListCtrl::AttachToItem(QWidget* item) {
  if (item == nullptr) return;
  setParent(item->parentWidget());
  setGeometry(item->geometry());
  stackUnder(item);
  delete item;
  show();
}

void CEditListCtrl::AddColumn(const QString& heading, int width) {
  const int column = columnCount();
  setColumnCount(column + 1);
  setHorizontalHeaderItem(column, new QTableWidgetItem(heading));
  setColumnWidth(column, width);
}

void CEditListCtrl::SetNumberedRows(int count) {
  setRowCount(0);
  setRowCount(count);
  for (int row = 0; row < count; ++row) SetText(row, 0, QString::number(row));
}

void CEditListCtrl::SetText(int row, int column, const QString& text) {
  if (QTableWidgetItem* cell = item(row, column)) {
    cell->setText(text);
  } else {
    setItem(row, column, new QTableWidgetItem(text));
  }
}

QString CEditListCtrl::Text(int row, int column) const {
  const QTableWidgetItem* cell = item(row, column);
  return cell != nullptr ? cell->text() : QString();
}

void CEditListCtrl::SetRowGreyed(int row, bool greyed) {
  for (int column = 0; column < columnCount(); ++column) {
    if (item(row, column) == nullptr) setItem(row, column, new QTableWidgetItem);
    QTableWidgetItem* cell = item(row, column);
    const Qt::ItemFlags usable = Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsSelectable;
    cell->setFlags(greyed ? cell->flags() & ~usable : cell->flags() | usable);
  }
}

void CEditListCtrl::ClearCurrentCell() {
  m_curRow = -1;
  m_curColumn = -1;
  m_cellSelected = false;
  m_clicked = false;
  viewport()->update();
}

void CEditListCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QTableWidget::mousePressEvent(event);
    return;
  }
  Click(event);
}

// However quickly it follows the first, a second click on the current cell opens its editor.
void CEditListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QTableWidget::mouseDoubleClickEvent(event);
    return;
  }
  Click(event);
}

void CEditListCtrl::Click(QMouseEvent* event) {
  m_clicked = true;
  const QModelIndex hit = indexAt(event->position().toPoint());
  const bool usable = hit.isValid() && (hit.flags() & Qt::ItemIsEnabled) != 0;
  if (usable) {
    QTableWidget::mousePressEvent(event);
    if (m_cellSelected && hit.row() == m_curRow && hit.column() == m_curColumn) {
      edit(hit);
      return;
    }
    m_curRow = hit.row();
    m_curColumn = hit.column();
    m_cellSelected = true;
  } else {
    if (m_edit == nullptr) m_cellSelected = false;
    QTableWidget::mousePressEvent(event);
  }
  viewport()->update();
}

// The view's own focus handling would move its current index; the current cell is ours.
void CEditListCtrl::focusInEvent(QFocusEvent* event) { QWidget::focusInEvent(event); }

void CEditListCtrl::focusOutEvent(QFocusEvent* event) {
  QTableWidget::focusOutEvent(event);
  ForgetCellIfFocusLeft();
}

void CEditListCtrl::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  QTableWidget::closeEditor(editor, hint);
  m_edit = nullptr;
  ForgetCellIfFocusLeft();
  viewport()->update();
}

bool CEditListCtrl::ContainsWidget(const QWidget* widget) const {
  return widget == this || isAncestorOf(widget);
}

// A focus that moved to the editor or stays in the list keeps the cell; a focus that left the
// program's windows altogether keeps it too, for the operator's return.
void CEditListCtrl::ForgetCellIfFocusLeft() {
  const QWidget* focus = QApplication::focusWidget();
  if (focus == nullptr || ContainsWidget(focus)) return;
  ClearCurrentCell();
}
