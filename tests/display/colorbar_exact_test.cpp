// The fast scanline drawing against the literal QPainter drawing, pixel for pixel.
#include "display/colorbar.h"
#include "gridfixture.h"
#include "referencegridpainter.h"

#include <gtest/gtest.h>

namespace {

struct ExactCase {
  const char* name;
  int width, height, rows, cols;
  uint8_t showVerdict;
  int overIndication;
  uint32_t seed;
};

class GridMatchesReference : public ::testing::TestWithParam<ExactCase> {};

TEST_P(GridMatchesReference, PixelForPixel) {
  const ExactCase& c = GetParam();
  CColorBar grid;
  SetMixedGrid(grid, c.rows, c.cols, c.seed);
  grid.m_showVerdict = c.showVerdict;
  grid.m_overIndication = c.overIndication;
  ReferenceGridPainter::State state = ReferenceStateOf(grid);

  const QImage expected = ReferenceGridPainter::Paint(c.width, c.height, state);
  const QImage actual = PaintGrid(grid, c.width, c.height);

  int mismatches = 0;
  QPoint first(-1, -1);
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) {
      if (expected.pixel(x, y) == actual.pixel(x, y)) continue;
      if (mismatches++ == 0) first = QPoint(x, y);
    }
  }
  EXPECT_EQ(mismatches, 0) << "first at " << first.x() << "," << first.y() << " expected " << std::hex
                           << expected.pixel(first) << " got " << actual.pixel(first);
  if (c.showVerdict == 1) {
    EXPECT_EQ(grid.m_failCount.load(), state.failCount);
  }
}

// The passing case has every cell in limits so the "PASS" overlay is compared too.
TEST(GridMatchesReferenceOverlay, PassingGridWithOverlay) {
  CColorBar grid;
  SetGrid(grid, 2, 3, {});
  grid.m_cells[1][0].mask[4] = MASK_CLOSED;
  grid.m_cells[0][1].data[7] = 1200;
  ReferenceGridPainter::State state = ReferenceStateOf(grid);
  const QImage expected = ReferenceGridPainter::Paint(900, 500, state);
  const QImage actual = PaintGrid(grid, 900, 500);
  EXPECT_EQ(actual, expected);
}

const ExactCase kCases[] = {
    {"OneCell", 640, 400, 1, 1, 1, 1, 1},
    {"TwoByTwo", 640, 480, 2, 2, 1, 0, 2},
    {"ThreeByThreeOddSize", 777, 555, 3, 3, 1, 1, 3},
    {"NineByNine", 1920, 1000, 9, 9, 1, 1, 4},
    {"Preview", 612, 216, 1, 1, 0, 0, 5},
    {"TinyCells", 200, 150, 4, 5, 1, 1, 6},
    {"NoGrid", 300, 200, 0, 0, 1, 0, 7},
    // A client one pixel high or wide has cells of size 0; the paint must still end.
    {"OnePixelHigh", 300, 1, 1, 1, 1, 0, 8},
    {"OnePixelSquare", 1, 1, 2, 2, 0, 0, 9},
    {"OnePixelWide", 1, 200, 3, 1, 1, 1, 10},
};

INSTANTIATE_TEST_SUITE_P(Layouts, GridMatchesReference, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
