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

  bool IsOpen(int k) const { return mask[k] == MASK_OPEN; }
  bool IsAbove(int k) const { return data[k] > thresholdHigh[k]; }
  bool IsBelow(int k) const { return !IsAbove(k) && data[k] < thresholdLow[k]; }
  // CELL_LOAD without an open channel, CELL_FAIL when an open channel is out of limits.
  int Verdict() const;
  int OpenCount() const;
  int MarkedCount() const;
};
