#pragma once

#include <atomic>
#include <cstdint>

// Grid limits and channel count of one cell.
inline constexpr int GRID_MAX_ROWS = 10;
inline constexpr int GRID_MAX_COLS = 10;
inline constexpr int GRID_CHANNELS = 32;

// Channel mask values.
inline constexpr uint8_t MASK_OPEN = 0;
inline constexpr uint8_t MASK_CLOSED = 1;
inline constexpr uint8_t MASK_SHOWN = 2;

// Cell verdicts.
inline constexpr int CELL_PASS = 0;
inline constexpr int CELL_FAIL = 1;
inline constexpr int CELL_LOAD = 2;

// One grid cell of 32 channels. Measurement threads write it while the user-interface
// thread paints it, without a lock: every field is atomic so no read is torn; relaxed
// order is enough because a paint tolerates values of two consecutive cycles.
struct GridCell {
  std::atomic<uint16_t> thresholdHigh[GRID_CHANNELS] = {};
  std::atomic<uint16_t> thresholdLow[GRID_CHANNELS] = {};
  std::atomic<uint8_t> mask[GRID_CHANNELS] = {};
  std::atomic<uint16_t> data[GRID_CHANNELS] = {};
  std::atomic<uint16_t> reference[GRID_CHANNELS] = {};
  std::atomic<double> viewMax{0.0};
  std::atomic<double> viewMin{0.0};
  std::atomic<uint16_t> overMark[GRID_CHANNELS] = {};
};
