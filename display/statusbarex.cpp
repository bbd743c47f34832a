#include "display/statusbarex.h"

#include <QBrush>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kDefaultPaneWidth = 100;
const QColor kHatchColour(155, 155, 155);

QRect ToQRect(const GdiRect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

}  // namespace

CStatusBarEx::CStatusBarEx(QWidget* parent) : QWidget(parent), m_progress(this) {
  setAutoFillBackground(true);
  resize(width(), HEIGHT);
  m_progress.setTextVisible(false);
  m_progress.setGeometry(0, 0, m_progressWidth, 10);
  m_progress.hide();
}

bool CStatusBarEx::SetPaneCount(std::span<const int> indicatorIds) {
  if (indicatorIds.empty()) return false;
  const size_t count = indicatorIds.size();
  m_paneStyle.assign(count, PANE_PLAIN);
  m_paneBackColor.assign(count, palette().color(QPalette::Button));
  m_paneTextColor.assign(count, QColor(0, 0, 0));
  m_paneText.assign(count, QString());
  m_paneAlign.assign(count, TEXT_LEFT);
  m_layout.clear();
  for (int id : indicatorIds) m_layout.push_back({id, false, kDefaultPaneWidth});
  update();
  return true;
}

void CStatusBarEx::SetPaneInfo(int pane, int id, bool stretch, int width) {
  if (!IsPane(pane)) return;
  m_layout[pane] = {id, stretch, width};
  update();
}

int CStatusBarEx::PaneId(int pane) const { return IsPane(pane) ? m_layout[pane].id : 0; }

int CStatusBarEx::PaneWidth(int pane) const {
  if (!m_layout[pane].stretch) return m_layout[pane].width;
  int others = PANE_GAP * (static_cast<int>(m_layout.size()) - 1);
  for (int i = 0; i < static_cast<int>(m_layout.size()); ++i)
    if (i != pane) others += m_layout[i].width;
  return std::max(m_layout[pane].width, width() - others);
}

GdiRect CStatusBarEx::PaneRect(int pane) const {
  if (!IsPane(pane)) return {0, 0, 0, 0};
  int left = 0;
  for (int i = 0; i < pane; ++i) left += PaneWidth(i) + PANE_GAP;
  return {left, PANE_BORDER, left + PaneWidth(pane), height() - PANE_BORDER};
}

void CStatusBarEx::SetPaneTextOwnerDraw(int pane, const QString& text) {
  if (!IsPane(pane)) return;
  m_paneText[pane] = text;
  PaneChanged(pane);
}

void CStatusBarEx::PaneChanged(int pane) {
  if (IsPane(pane)) update(ToQRect(PaneRect(pane)));
}

void CStatusBarEx::PlaceProgress(int firstPane, int lastPane) {
  if (!IsPane(firstPane) || !IsPane(lastPane)) return;
  m_progressFirstPane = firstPane;
  m_progressLastPane = lastPane;
  const GdiRect r1 = PaneRect(firstPane);
  const GdiRect r2 = PaneRect(lastPane);
  m_progressWidth = firstPane == lastPane ? r1.right - r1.left : (r2.right - r2.left) + (r1.right - r1.left);
  m_progress.setGeometry(r1.left + 2, r1.top, m_progressWidth - r1.left, r1.bottom - 2 * r1.top + 2);
}

void CStatusBarEx::DrawPane(QPainter& painter, int pane, const GdiRect& item) {
  if (!IsPane(pane)) return;
  painter.save();
  painter.setBackgroundMode(Qt::TransparentMode);
  GdiRect rect = item;
  DrawBackground(painter, pane, rect);
  painter.setPen(m_paneTextColor[pane]);
  DrawText(painter, pane, rect, item);
  painter.restore();
}

void CStatusBarEx::DrawBackground(QPainter& painter, int pane, GdiRect& rect) {
  if (m_paneStyle[pane] == PANE_FILLED) {
    painter.fillRect(ToQRect(rect), m_paneBackColor[pane]);
  } else if (m_paneStyle[pane] == PANE_HATCHED) {
    // Outline with the default black pen and white brush, then the hatch inside it; the
    // transparent background mode leaves the white between the hatch lines.
    painter.fillRect(ToQRect(rect), Qt::white);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(rect.left, rect.top, rect.right - rect.left - 1, rect.bottom - rect.top - 1));
    rect = {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    painter.fillRect(ToQRect(rect), QBrush(kHatchColour, Qt::DiagCrossPattern));
  }
}

void CStatusBarEx::DrawText(QPainter& painter, int pane, const GdiRect& rect, const GdiRect& item) {
  const QFontMetrics metrics(painter.font());
  const QString& text = m_paneText[pane];
  // Text is placed by the top left of its cell.
  if (m_paneAlign[pane] == TEXT_LEFT) {
    painter.drawText(rect.left + 1, rect.top + metrics.ascent(), text);
  } else if (m_paneAlign[pane] == TEXT_RIGHT) {
    painter.drawText(item.right - metrics.horizontalAdvance(text) - 2, item.top + metrics.ascent(), text);
  }
}

void CStatusBarEx::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  for (int pane = 0; pane < static_cast<int>(m_layout.size()); ++pane) DrawPane(painter, pane, PaneRect(pane));
}

void CStatusBarEx::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (m_progressShown != 0) PlaceProgress(m_progressFirstPane, m_progressLastPane);
}
