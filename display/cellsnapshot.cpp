#include "display/cellsnapshot.h"

#include <cstring>

namespace {
constexpr auto kRelaxed = std::memory_order_relaxed;
}

// SameAs compares the bytes; the fields leave no padding between them.
static_assert(sizeof(CellSnapshot) == 5 * 2 * GRID_CHANNELS + GRID_CHANNELS + 2 * sizeof(double));

CellSnapshot CellSnapshot::Of(const GridCell& cell) {
  CellSnapshot s;
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    s.thresholdHigh[k] = cell.thresholdHigh[k].load(kRelaxed);
    s.thresholdLow[k] = cell.thresholdLow[k].load(kRelaxed);
    s.mask[k] = cell.mask[k].load(kRelaxed);
    s.data[k] = cell.data[k].load(kRelaxed);
    s.reference[k] = cell.reference[k].load(kRelaxed);
    s.overMark[k] = cell.overMark[k].load(kRelaxed);
  }
  s.viewMax = cell.viewMax.load(kRelaxed);
  s.viewMin = cell.viewMin.load(kRelaxed);
  return s;
}

int CellSnapshot::Verdict() const {
  bool loaded = false;
  bool failed = false;
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    if (!IsOpen(k)) continue;
    loaded = true;
    failed = failed || IsAbove(k) || IsBelow(k);
  }
  if (!loaded) return CELL_LOAD;
  return failed ? CELL_FAIL : CELL_PASS;
}

CellSnapshot CellSnapshot::AsDrawn(bool overIndication) const {
  CellSnapshot drawn = *this;
  for (int k = 0; k < GRID_CHANNELS; ++k) drawn.overMark[k] = overIndication && IsOpen(k) && overMark[k] != 0 ? 1 : 0;
  return drawn;
}

bool CellSnapshot::SameAs(const CellSnapshot& other) const { return std::memcmp(this, &other, sizeof other) == 0; }

uint32_t CellSnapshot::AboveChannels() const {
  uint32_t above = 0;
  for (int k = 0; k < GRID_CHANNELS; ++k)
    if (IsOpen(k) && IsAbove(k)) above |= 1u << k;
  return above;
}

int CellSnapshot::OpenCount() const {
  int open = 0;
  for (int k = 0; k < GRID_CHANNELS; ++k) open += IsOpen(k) ? 1 : 0;
  return open;
}

int CellSnapshot::MarkedCount() const {
  int marked = 0;
  for (int k = 0; k < GRID_CHANNELS; ++k) marked += overMark[k] != 0 ? 1 : 0;
  return marked;
}
