#pragma once

#include "display/cellsnapshot.h"
#include "display/gridcell.h"
#include "display/gridscene.h"
#include "display/textmaskcache.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QWidget>

#include <atomic>
#include <cstdint>

// The channel grid: up to 10 x 10 cells of 32 bar charts with their verdict labels. It decides
// every cell's verdict and the fail count while it paints, keeps the over-marks and finds the
// cell and channel under the pointer.
//
// The main window's grid passes pointer input through to its owner: the owner sets
// Qt::WA_TransparentForMouseEvents on it. The preview keeps the default and receives
// double-clicks, which cycle a channel's mask.
class CColorBar : public QWidget {
  Q_OBJECT

 public:
  struct Pointer {
    int x = 0;
    int y = 0;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
  };

  explicit CColorBar(QWidget* parent = nullptr);

  // Takes the place and size of item in its parent dialog and follows the item when the owner
  // moves or resizes it. Does nothing and returns false once attached or without a parent.
  bool AttachToItem(QWidget* item);
  // Runs RepaintTick every periodMs milliseconds (5 in the main window, 10 in the preview) and
  // puts what changed on the screen; a second call replaces the period.
  void StartRepaintTimer(int periodMs);
  // Zeroes the over-marks of every cell in use.
  void ClearOverMarks();
  // Finds the cell and channel under m_pointer (client coordinates). Returns false when the
  // pointer lies outside the cells in use, or the grid has no row or column; m_hoverRow,
  // m_hoverCol and m_hoverChannel then keep their previous values, which always address the
  // 10 x 10 storage. A pointer on a gap between channels keeps the previous channel.
  bool HitTest();
  // One complete paint into image (its size is the client area): evaluation, over-marks, fail
  // count, hit test, sweep completion and drawing. The image becomes Format_RGB32.
  void Paint(QImage& image);
  // One repaint of the control at its current size: the same evaluation as Paint, but only
  // what changed since the last tick is drawn into the kept image. Returns the region that
  // changed, empty when nothing did (and when the control has no area).
  QRegion RepaintTick();
  // The kept image: after every tick, what a complete paint of that moment would show.
  const QImage& KeptImage() const { return m_frame; }

  // Tester state shared with the measurement threads.
  std::atomic<int32_t> m_rows{2};
  std::atomic<int32_t> m_cols{2};
  GridCell m_cells[GRID_MAX_COLS][GRID_MAX_ROWS];  // [column][row]
  std::atomic<int32_t> m_overIndication{0};
  std::atomic<int32_t> m_failCount{0};

  // 1 = verdict labels drawn and judged; 0 = preview layout.
  uint8_t m_showVerdict = 1;
  Pointer m_pointer;
  int m_hoverRow = 0;
  int m_hoverCol = 0;
  int m_hoverChannel = 0;
  bool m_hoverInside = false;  // result of the last hit test
  QRect m_clientRect;
  bool m_attached = false;

 signals:
  // A paint has put (part of) the kept image on the screen.
  void FramePresented();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int RowsInUse() const;
  int ColsInUse() const;
  bool HitTestIn(int width, int height);
  void StorePointer(const QMouseEvent* event);
  // Evaluates every cell in use and brings m_scene up to date for an image of this size.
  void Evaluate(int width, int height);
  void MarkOver(int row, int col, uint32_t channels, CellSnapshot& cell);
  void CompleteSweep(const CellSnapshots& cells, int rows, int cols);

  QImage m_frame;  // kept off-screen image; only what changed reaches the widget
  GridScene m_scene;
  TextMaskCache m_texts;
  QPointer<QWidget> m_item;
  int m_timerId = 0;
};
