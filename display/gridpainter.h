#pragma once

#include "display/cellsnapshot.h"
#include "display/gridgeometry.h"
#include "display/pixelcanvas.h"
#include "display/textmaskcache.h"

#include <cstdint>

// Draws the channel grid into an off-screen image pass by pass, in the order the display
// defines; the bookkeeping that the passes feed (over-marks, verdicts) is returned to the
// caller rather than kept here.
class GridPainter {
 public:
  GridPainter(PixelCanvas& canvas, const GridGeometry& geometry, TextMaskCache& texts, int rows, int cols);

  // Grid lines, label and strip frames, channel frames.
  void DrawGrid(bool withLabels);
  // Zones, bars, reference lines, hatches, numbers and the channel strip of one cell.
  // Returns the channels (bit k) that are above their upper limit, which become over-marked.
  uint32_t DrawChannels(int row, int col, const CellSnapshot& cell, bool overIndication);
  // The "PASS" / "FAIL" / "LOAD" label of one cell; returns the cell's verdict.
  int DrawVerdict(int row, int col, const CellSnapshot& cell);
  // The large "PASS" across the whole grid, combined by AND so only green survives under it.
  void DrawPassOverlay();

 private:
  void DrawZones(int row, int col, const CellSnapshot& cell);
  void DrawValueBars(int row, int col, const CellSnapshot& cell, bool overIndication);
  void DrawReferenceLines(int row, int col, const CellSnapshot& cell);
  void DrawClosedColumns(int row, int col, const CellSnapshot& cell);
  void DrawValueNumbers(int row, int col, const CellSnapshot& cell);
  void DrawDifferenceNumbers(int row, int col, const CellSnapshot& cell);
  uint32_t DrawStrip(int row, int col, const CellSnapshot& cell);
  double LevelOf(const CellSnapshot& cell, uint16_t value) const;
  GdiFont::Spec NumberFont(int escapement) const;

  PixelCanvas& m_canvas;
  const GridGeometry& m_geometry;
  TextMaskCache& m_texts;
  int m_rows;
  int m_cols;
};
