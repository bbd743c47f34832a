#include "dialogs/itemedit.h"

#include <QMoveEvent>
#include <algorithm>

namespace {

// Room for the caret and the frame around the text.
constexpr int kTextMargin = 12;
constexpr int kMinimumWidth = 24;

}  // namespace

CItemEdit::CItemEdit(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, &CItemEdit::FitToText);
}

void CItemEdit::SetBounds(int left, int maxRight) {
  m_editLeft = left;
  m_maxRight = maxRight;
  FitToText();
}

void CItemEdit::moveEvent(QMoveEvent* event) {
  QLineEdit::moveEvent(event);
  if (event->pos().x() != m_editLeft) move(m_editLeft, event->pos().y());
}

void CItemEdit::FitToText() {
  const int wanted = fontMetrics().horizontalAdvance(text()) + kTextMargin;
  const int room = std::max(kMinimumWidth, m_maxRight - m_editLeft);
  setGeometry(m_editLeft, y(), std::clamp(wanted, kMinimumWidth, room), height());
}
