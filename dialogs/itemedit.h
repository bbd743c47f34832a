#pragma once

#include <QLineEdit>

// The in-place editor of a list cell. It stays at a fixed horizontal position, whatever moves
// or resizes it, and grows with its text up to the right edge of its cell, as a label editor
// does.
class CItemEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit CItemEdit(QWidget* parent = nullptr);

  // Pins the editor's left edge to `left` and lets it grow up to `maxRight` (both in the
  // coordinates of its parent), then fits its width to its text.
  void SetBounds(int left, int maxRight);

  // The horizontal position every move and resize is forced to.
  int m_editLeft = 0;

 protected:
  void moveEvent(QMoveEvent* event) override;

 private:
  void FitToText();

  int m_maxRight = 0;
};
