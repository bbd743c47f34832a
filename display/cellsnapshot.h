#pragma once

#include "display/gridcell.h"

#include <cstdint>

// A plain copy of one GridCell taken at the start of a paint, so the passes of one paint
// judge and draw the same values.
struct CellSnapshot {
  uint16_t thresholdHigh[GRID_CHANNELS];
  uint16_t thresholdLow[GRID_CHANNELS];
  uint8_t mask[GRID_CHANNELS];
  uint16_t data[GRID_CHANNELS];
  uint16_t reference[GRID_CHANNELS];
  double viewMax;
  double viewMin;
  uint16_t overMark[GRID_CHANNELS];

  static CellSnapshot Of(const GridCell& cell);
  // The same cell as its drawing sees it: an over-mark only shows on an open channel and
  // only while the indication is on, so every other over-mark is dropped.
  CellSnapshot AsDrawn(bool overIndication) const;
  // Bitwise equality, so a not-a-number view range compares equal to itself.
  bool SameAs(const CellSnapshot& other) const;

  bool IsOpen(int k) const { return mask[k] == MASK_OPEN; }
  bool IsAbove(int k) const { return data[k] > thresholdHigh[k]; }
  bool IsBelow(int k) const { return !IsAbove(k) && data[k] < thresholdLow[k]; }
  // CELL_LOAD without an open channel, CELL_FAIL when an open channel is out of limits.
  int Verdict() const;
  // Open channels above their upper limit (bit k), which become over-marked.
  uint32_t AboveChannels() const;
  int OpenCount() const;
  int MarkedCount() const;
};

using CellSnapshots = CellSnapshot[GRID_MAX_COLS][GRID_MAX_ROWS];  // [column][row]
