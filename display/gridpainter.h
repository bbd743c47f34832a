#pragma once

#include "display/cellsnapshot.h"
#include "display/gridgeometry.h"
#include "display/paintlist.h"
#include "display/textmaskcache.h"

#include <array>

// Records the channel grid's drawing pass by pass, in the order the display defines, one
// piece (the lines, one cell's frames, one cell's channels, ...) per list. The bookkeeping
// the passes stand for (over-marks, verdicts) is the caller's, from the same snapshot.
class GridPainter {
 public:
  GridPainter(const GridGeometry& geometry, TextMaskCache& texts, int rows, int cols);

  // The white background and the grid lines.
  void DrawBackground(PaintList& out) const;
  // The label frame (with labels only) and the strip frame of one cell.
  void DrawCellFrames(int row, int col, bool withLabels, PaintList& out) const;
  // The 32 channel frames of one cell.
  void DrawChannelFrames(int row, int col, PaintList& out) const;
  // Zones, bars, reference lines, hatches, numbers and the channel strip of one cell.
  void DrawChannels(int row, int col, const CellSnapshot& cell, bool overIndication, PaintList& out);
  // The "PASS" / "FAIL" / "LOAD" label of one cell.
  void DrawVerdict(int row, int col, const CellSnapshot& cell, PaintList& out);
  // The large "PASS" across the whole grid, combined by AND so only green survives under it.
  void DrawPassOverlay(PaintList& out);

 private:
  void DrawZones(int row, int col, const CellSnapshot& cell, PaintList& out) const;
  void DrawValueBars(int row, int col, const CellSnapshot& cell, bool overIndication, PaintList& out) const;
  void DrawReferenceLines(int row, int col, const CellSnapshot& cell, PaintList& out) const;
  void DrawClosedColumns(int row, int col, const CellSnapshot& cell, PaintList& out) const;
  void DrawValueNumbers(int row, int col, const CellSnapshot& cell, PaintList& out);
  void DrawDifferenceNumbers(int row, int col, const CellSnapshot& cell, PaintList& out);
  void DrawStrip(int row, int col, const CellSnapshot& cell, PaintList& out);
  const GridGeometry::Channel& ChannelOf(int row, int col, int k) const;
  double LevelOf(const CellSnapshot& cell, uint16_t value) const;
  GdiFont::Request NumberFont(int escapement) const;

  const GridGeometry& m_geometry;
  TextMaskCache& m_texts;
  int m_rows;
  int m_cols;
  mutable std::array<GridGeometry::Channel, GRID_CHANNELS> m_channels{};
  mutable int m_channelsRow = -1;
  mutable int m_channelsCol = -1;
};
