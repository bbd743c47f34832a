#pragma once

#include "display/cellsnapshot.h"
#include "display/gdirect.h"
#include "display/gridpainter.h"
#include "display/paintlist.h"
#include "display/textmaskcache.h"

#include <QImage>
#include <QRegion>

#include <cstdint>
#include <vector>

// The grid's drawing kept as recorded pieces between paints. Only the pieces whose inputs
// changed are recorded again, and the boxes they covered before and after are collected as
// damage, so an image that already shows the last drawing is brought up to date by drawing
// the damage alone. Whatever part is drawn, it is drawn by replaying every piece in the
// order of a complete paint, clipped to that part, so the pixels are those of a complete paint.
class GridScene {
 public:
  // What every box of the drawing depends on.
  struct Layout {
    int width = 0;
    int height = 0;
    int rows = 0;
    int cols = 0;
    uint8_t showVerdict = 1;
    bool operator==(const Layout&) const = default;
  };

  // Brings the recorded drawing to this layout and these cells (snapshots as the paint sees
  // them, before this paint's over-marks) and shows or hides the "PASS" overlay.
  void Update(const Layout& layout, const CellSnapshots& cells, bool overIndication, bool overlay,
              TextMaskCache& texts);
  // Draws the part area of the drawing into image, which has the layout's size.
  void Draw(QImage& image, const GdiRect& area) const;
  void DrawAll(QImage& image) const { Draw(image, {0, 0, m_layout.width, m_layout.height}); }
  // The parts that changed since the last call (for an image that keeps the drawing).
  QRegion TakeDamage();
  // Marks everything changed, as for an image that shows nothing yet.
  void DamageAll();

 private:
  // The pieces of one cell, one per pass of the paint.
  struct CellPieces {
    PaintList frames;
    PaintList channelFrames;
    PaintList channels;
    PaintList verdict;
    CellSnapshot drawn;
  };

  void Relayout(const GridGeometry& geometry, GridPainter& painter);
  void RecordCell(GridPainter& painter, int row, int col, const CellSnapshot& drawn);
  void AddDamage(const GdiRect& box);
  void AddDamage(const QRegion& region);
  int BandEnd(int top) const;
  void DrawBand(PixelCanvas& canvas) const;

  Layout m_layout;
  bool m_recorded = false;  // false until the first Update
  std::vector<int> m_rowTops;  // where cell rows 1.. start
  PaintList m_background;
  PaintList m_overlay;
  bool m_overlayShown = false;
  CellPieces m_cells[GRID_MAX_COLS][GRID_MAX_ROWS];  // [column][row]
  PaintList m_spareChannels;
  PaintList m_spareVerdict;
  QRegion m_damage;
};
