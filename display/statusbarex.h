#pragma once

#include "display/gdirect.h"

#include <QColor>
#include <QProgressBar>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <span>
#include <vector>

// Pane background styles.
inline constexpr int32_t PANE_PLAIN = 0;
inline constexpr int32_t PANE_FILLED = 1;
inline constexpr int32_t PANE_HATCHED = 2;
// Pane text placement; any other value draws no text.
inline constexpr int32_t TEXT_LEFT = 0;
inline constexpr int32_t TEXT_RIGHT = 2;

// The main window's status bar: panes drawn by the program itself from per-pane text, colours,
// style and placement, and a progress control the owner shows over some of the panes.
//
// The owner writes the per-pane fields directly and calls PaneChanged(pane) after each write,
// on the user-interface thread. The text font is the widget's font (QWidget::setFont).
class CStatusBarEx : public QWidget {
  Q_OBJECT

 public:
  static constexpr int HEIGHT = 30;
  static constexpr int PANE_GAP = 2;     // between two panes
  static constexpr int PANE_BORDER = 2;  // above and below the panes

  explicit CStatusBarEx(QWidget* parent = nullptr);

  // One pane per indicator id, every field at its default. Returns false for no pane.
  bool SetPaneCount(std::span<const int> indicatorIds);
  // Pane width in pixels; a stretching pane also takes whatever width the others leave.
  void SetPaneInfo(int pane, int id, bool stretch, int width);
  int PaneId(int pane) const;
  // The pane's item rectangle in widget coordinates.
  GdiRect PaneRect(int pane) const;
  // Stores the text (empty when none is given) and redraws the pane.
  void SetPaneTextOwnerDraw(int pane, const QString& text = QString());
  // A pane field was written: redraw that pane.
  void PaneChanged(int pane);
  // Moves the progress control over panes firstPane..lastPane.
  void PlaceProgress(int firstPane, int lastPane);
  // Draws one pane into painter; item is its item rectangle.
  void DrawPane(QPainter& painter, int pane, const GdiRect& item);

  std::vector<int32_t> m_paneStyle;
  std::vector<QColor> m_paneBackColor;
  std::vector<QColor> m_paneTextColor;
  std::vector<QString> m_paneText;
  std::vector<int32_t> m_paneAlign;

  QProgressBar m_progress;
  int32_t m_progressWidth = 300;
  int32_t m_progressShown = 0;
  int m_progressFirstPane = 0;
  int m_progressLastPane = 0;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct PaneLayout {
    int id;
    bool stretch;
    int width;
  };

  bool IsPane(int pane) const { return pane >= 0 && pane < static_cast<int>(m_layout.size()); }
  int PaneWidth(int pane) const;
  void DrawBackground(QPainter& painter, int pane, GdiRect& rect);
  void DrawText(QPainter& painter, int pane, const GdiRect& rect, const GdiRect& item);

  std::vector<PaneLayout> m_layout;
};
