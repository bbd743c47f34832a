#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// The grid's paint written literally with QPainter calls, one GDI call at a time, as the
// yardstick for the fast scanline drawing of the display library.
class ReferenceGridPainter {
 public:
  struct Cell {
    uint16_t thresholdHigh[32] = {};
    uint16_t thresholdLow[32] = {};
    uint8_t mask[32] = {};
    uint16_t data[32] = {};
    uint16_t reference[32] = {};
    double viewMax = 0;
    double viewMin = 0;
    uint16_t overMark[32] = {};
  };
  struct State {
    int rows = 0;
    int cols = 0;
    uint8_t showVerdict = 1;
    int overIndication = 0;
    int failCount = 0;
    Cell cells[10][10];  // [column][row]
  };

  // Paints like the grid's paint and updates failCount and overMark like it does (without
  // the sweep reset, which the comparison does not need).
  static QImage Paint(int width, int height, State& state);
};
