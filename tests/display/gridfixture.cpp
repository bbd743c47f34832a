#include "gridfixture.h"

#include <random>

namespace {
constexpr auto kRelaxed = std::memory_order_relaxed;
}

void SetCell(CColorBar& grid, int row, int col, const CellSetup& s) {
  GridCell& cell = grid.m_cells[col][row];
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    cell.thresholdHigh[k] = s.high;
    cell.thresholdLow[k] = s.low;
    cell.data[k] = s.data;
    cell.reference[k] = s.reference;
    cell.mask[k] = s.mask;
    cell.overMark[k] = 0;
  }
  cell.viewMin = s.viewMin;
  cell.viewMax = s.viewMax;
}

void SetGrid(CColorBar& grid, int rows, int cols, const CellSetup& setup) {
  grid.m_rows = rows;
  grid.m_cols = cols;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) SetCell(grid, r, c, setup);
}

void SetMixedGrid(CColorBar& grid, int rows, int cols, uint32_t seed) {
  std::mt19937 random(seed);
  auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  grid.m_rows = rows;
  grid.m_cols = cols;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      GridCell& cell = grid.m_cells[c][r];
      for (int k = 0; k < GRID_CHANNELS; ++k) {
        const int reference = between(600, 1400);
        cell.reference[k] = reference;
        cell.thresholdHigh[k] = reference + between(50, 300);
        cell.thresholdLow[k] = reference - between(50, 300);
        cell.data[k] = reference + between(-450, 450);
        cell.mask[k] = between(0, 9) < 6 ? MASK_OPEN : between(1, 3);
        cell.overMark[k] = between(0, 3) == 0 ? 1 : 0;
      }
      cell.viewMin = between(0, 400);
      cell.viewMax = between(1500, 2500);
    }
  }
}

ReferenceGridPainter::State ReferenceStateOf(const CColorBar& grid) {
  ReferenceGridPainter::State s;
  s.rows = grid.m_rows.load(kRelaxed);
  s.cols = grid.m_cols.load(kRelaxed);
  s.showVerdict = grid.m_showVerdict;
  s.overIndication = grid.m_overIndication.load(kRelaxed);
  s.failCount = grid.m_failCount.load(kRelaxed);
  for (int c = 0; c < GRID_MAX_COLS; ++c) {
    for (int r = 0; r < GRID_MAX_ROWS; ++r) {
      const GridCell& from = grid.m_cells[c][r];
      ReferenceGridPainter::Cell& to = s.cells[c][r];
      for (int k = 0; k < GRID_CHANNELS; ++k) {
        to.thresholdHigh[k] = from.thresholdHigh[k];
        to.thresholdLow[k] = from.thresholdLow[k];
        to.mask[k] = from.mask[k];
        to.data[k] = from.data[k];
        to.reference[k] = from.reference[k];
        to.overMark[k] = from.overMark[k];
      }
      to.viewMax = from.viewMax;
      to.viewMin = from.viewMin;
    }
  }
  return s;
}

QImage PaintGrid(CColorBar& grid, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  grid.Paint(image);
  return image;
}

QRgb Rgb(int r, int g, int b) { return qRgb(r, g, b); }
