#include "display/colorbar.h"

#include "display/gridgeometry.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

uint8_t NextMask(uint8_t mask) {
  switch (mask) {
    case MASK_OPEN:
      return MASK_CLOSED;
    case MASK_CLOSED:
      return MASK_SHOWN;
    case MASK_SHOWN:
      return MASK_OPEN;
    default:
      return mask;
  }
}

}  // namespace

CColorBar::CColorBar(QWidget* parent) : QWidget(parent), m_clientRect(rect()) {
  setMouseTracking(true);  // pointer moves feed the hit test without a button held
  setAttribute(Qt::WA_OpaquePaintEvent);
}

bool CColorBar::AttachToItem(QWidget* item) {
  if (m_attached || item == nullptr || item->parentWidget() == nullptr) return false;
  setParent(item->parentWidget());
  setGeometry(item->geometry());
  m_item = item;
  item->installEventFilter(this);
  raise();
  show();
  m_attached = true;
  m_clientRect = rect();
  return true;
}

void CColorBar::StartRepaintTimer(int periodMs) {
  if (m_timerId != 0) killTimer(m_timerId);
  m_timerId = startTimer(periodMs, Qt::PreciseTimer);
}

int CColorBar::RowsInUse() const { return std::clamp(m_rows.load(kRelaxed), 0, GRID_MAX_ROWS); }

int CColorBar::ColsInUse() const { return std::clamp(m_cols.load(kRelaxed), 0, GRID_MAX_COLS); }

void CColorBar::ClearOverMarks() {
  const int rows = RowsInUse();
  const int cols = ColsInUse();
  for (int c = 0; c < cols; ++c)
    for (int r = 0; r < rows; ++r)
      for (auto& mark : m_cells[c][r].overMark) mark.store(0, kRelaxed);
}

bool CColorBar::HitTest() {
  m_clientRect = rect();  // a hidden widget gets its resize event only when shown
  return HitTestIn(m_clientRect.width(), m_clientRect.height());
}

bool CColorBar::HitTestIn(int width, int height) {
  const int rows = RowsInUse();
  const int cols = ColsInUse();
  m_hoverInside = false;
  if (rows == 0 || cols == 0) return false;
  const GridGeometry geometry(width, height, rows, cols, m_showVerdict);
  const double cw = geometry.CellWidth();
  const double ch = geometry.CellHeight();
  const int x = m_pointer.x;
  const int y = m_pointer.y;
  if (!(cw > 0) || !(ch > 0) || x < 0 || y < 0) return false;
  const int col = GridGeometry::Trunc(x / cw);
  const int row = GridGeometry::Trunc(y / ch);
  if (col >= cols || row >= rows) return false;

  m_hoverCol = col;
  m_hoverRow = row;
  const double x0 = geometry.X0(col);
  const double sw = geometry.SlotWidth();
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    if (GridGeometry::Trunc(x0 + k * sw + 2) < x && x < GridGeometry::Trunc(x0 + (k + 1) * sw - 1)) m_hoverChannel = k;
  }
  m_hoverInside = true;
  return true;
}

void CColorBar::Paint(QImage& image) {
  if (image.isNull()) return;
  if (image.format() != QImage::Format_RGB32) image = QImage(image.size(), QImage::Format_RGB32);
  Evaluate(image.width(), image.height());
  m_scene.DrawAll(image);
}

QRegion CColorBar::RepaintTick() {
  m_clientRect = rect();
  if (m_clientRect.isEmpty()) return {};
  const bool fresh = m_frame.size() != m_clientRect.size();
  if (fresh) m_frame = QImage(m_clientRect.size(), QImage::Format_RGB32);
  Evaluate(m_frame.width(), m_frame.height());
  if (fresh) m_scene.DamageAll();
  const QRegion damage = m_scene.TakeDamage();
  for (const QRect& part : damage) m_scene.Draw(m_frame, {part.left(), part.top(), part.right() + 1, part.bottom() + 1});
  return damage;
}

void CColorBar::Evaluate(int width, int height) {
  const int rows = RowsInUse();
  const int cols = ColsInUse();
  const bool overIndication = m_overIndication.load(kRelaxed) != 0;
  CellSnapshots seen;    // as this paint draws them
  CellSnapshots marked;  // with this paint's over-marks, for the sweep
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      seen[c][r] = CellSnapshot::Of(m_cells[c][r]);
      marked[c][r] = seen[c][r];
      MarkOver(r, c, seen[c][r].AboveChannels(), marked[c][r]);
    }
  }
  if (m_showVerdict == 1) {
    int failed = 0;
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) failed += seen[c][r].Verdict() == CELL_FAIL ? 1 : 0;
    m_failCount.store(failed, kRelaxed);
  }
  HitTestIn(width, height);
  CompleteSweep(marked, rows, cols);
  const bool overlay = m_failCount.load(kRelaxed) == 0 && cols > 1 && rows > 1;
  m_scene.Update({width, height, rows, cols, m_showVerdict}, seen, overIndication, overlay, m_texts);
}

void CColorBar::MarkOver(int row, int col, uint32_t channels, CellSnapshot& cell) {
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    if ((channels & (1u << k)) == 0) continue;
    cell.overMark[k] = 1;
    m_cells[col][row].overMark[k].store(1, kRelaxed);
  }
}

void CColorBar::CompleteSweep(const CellSnapshots& cells, int rows, int cols) {
  int open = 0;
  int marked = 0;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      open += cells[c][r].OpenCount();
      marked += cells[c][r].MarkedCount();
    }
  }
  if (open == marked && m_failCount.load(kRelaxed) == 0 && rows * cols != 0) ClearOverMarks();
}

void CColorBar::paintEvent(QPaintEvent* event) {
  // An expose between ticks shows the kept image; only a new size needs a tick first. Every
  // paint hit-tests, as a double-click acts on the channel found by the paint before it.
  if (m_frame.size() != rect().size()) RepaintTick();
  if (m_frame.isNull()) return;
  HitTest();
  QPainter painter(this);
  for (const QRect& part : event->region()) painter.drawImage(part.topLeft(), m_frame, part);
  emit FramePresented();
}

void CColorBar::timerEvent(QTimerEvent*) {
  const QRegion changed = RepaintTick();
  if (!changed.isEmpty()) update(changed);
}

void CColorBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_clientRect = rect();
}

void CColorBar::StorePointer(const QMouseEvent* event) {
  const QPoint position = event->position().toPoint();
  m_pointer = {position.x(), position.y(), event->buttons(), event->modifiers()};
}

void CColorBar::mouseMoveEvent(QMouseEvent* event) {
  StorePointer(event);
  QWidget::mouseMoveEvent(event);
}

void CColorBar::mouseDoubleClickEvent(QMouseEvent* event) {
  StorePointer(event);
  // Acts on the channel of the last hit test, which the last paint made from the last move.
  if (m_hoverInside && m_hoverRow < RowsInUse() && m_hoverCol < ColsInUse() && m_hoverChannel >= 0 &&
      m_hoverChannel < GRID_CHANNELS) {
    auto& mask = m_cells[m_hoverCol][m_hoverRow].mask[m_hoverChannel];
    mask.store(NextMask(mask.load(kRelaxed)), kRelaxed);
  }
  update(RepaintTick());
  QWidget::mouseDoubleClickEvent(event);
}

bool CColorBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_item && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
    setGeometry(m_item->geometry());
  return QWidget::eventFilter(watched, event);
}
