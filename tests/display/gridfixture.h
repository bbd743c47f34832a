#pragma once

#include "display/colorbar.h"
#include "referencegridpainter.h"

#include <QImage>

#include <cstdint>

// Channel settings applied to a whole cell in tests.
struct CellSetup {
  uint16_t high = 1200;
  uint16_t low = 800;
  uint16_t data = 1000;
  uint16_t reference = 1000;
  uint8_t mask = MASK_OPEN;
  double viewMin = 0;
  double viewMax = 2000;
};

void SetCell(CColorBar& grid, int row, int col, const CellSetup& setup);
void SetGrid(CColorBar& grid, int rows, int cols, const CellSetup& setup = {});
// A varied grid: every mask value, values above, below and within, negative differences.
void SetMixedGrid(CColorBar& grid, int rows, int cols, uint32_t seed);
ReferenceGridPainter::State ReferenceStateOf(const CColorBar& grid);
QImage PaintGrid(CColorBar& grid, int width, int height);
QRgb Rgb(int r, int g, int b);
