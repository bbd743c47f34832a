// The repaint tick draws only what changed into its kept image; after any change the kept
// image must still be the image of one complete paint of the same state.
#include "display/colorbar.h"
#include "expectedgeometry.h"
#include "gridfixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

// Everything a paint reads and writes, so a second grid can paint the same moment.
void CopyState(const CColorBar& from, CColorBar& to) {
  to.m_rows = from.m_rows.load(kRelaxed);
  to.m_cols = from.m_cols.load(kRelaxed);
  to.m_overIndication = from.m_overIndication.load(kRelaxed);
  to.m_failCount = from.m_failCount.load(kRelaxed);
  to.m_showVerdict = from.m_showVerdict;
  to.m_pointer = from.m_pointer;
  for (int c = 0; c < GRID_MAX_COLS; ++c) {
    for (int r = 0; r < GRID_MAX_ROWS; ++r) {
      const GridCell& a = from.m_cells[c][r];
      GridCell& b = to.m_cells[c][r];
      for (int k = 0; k < GRID_CHANNELS; ++k) {
        b.thresholdHigh[k] = a.thresholdHigh[k].load(kRelaxed);
        b.thresholdLow[k] = a.thresholdLow[k].load(kRelaxed);
        b.mask[k] = a.mask[k].load(kRelaxed);
        b.data[k] = a.data[k].load(kRelaxed);
        b.reference[k] = a.reference[k].load(kRelaxed);
        b.overMark[k] = a.overMark[k].load(kRelaxed);
      }
      b.viewMax = a.viewMax.load(kRelaxed);
      b.viewMin = a.viewMin.load(kRelaxed);
    }
  }
}

// The number of differing pixels; the first one goes into where.
int Mismatches(const QImage& a, const QImage& b, QPoint& where) {
  if (a.size() != b.size()) return -1;
  if (a == b) return 0;
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) == b.pixel(x, y)) continue;
      if (count++ == 0) where = QPoint(x, y);
    }
  }
  return count;
}

class Changes {
 public:
  Changes(uint32_t seed, int scale) : m_random(seed), m_scale(scale) {}
  // Sizes are multiplied by this, so a large case stays large after a resize.
  int Scale() const { return m_scale; }
  int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_random); }

  // A cell in use (or cell 0,0 of an empty grid) and one of its channels.
  GridCell& AnyCell(CColorBar& grid) {
    const int rows = std::max(1, grid.m_rows.load());
    const int cols = std::max(1, grid.m_cols.load());
    return grid.m_cells[Between(0, cols - 1)][Between(0, rows - 1)];
  }
  int AnyChannel() { return Between(0, GRID_CHANNELS - 1); }

 private:
  std::mt19937 m_random;
  int m_scale;
};

struct Change {
  const char* name;
  std::function<void(CColorBar&, Changes&)> apply;
};

const Change kChanges[] = {
    {"value", [](CColorBar& g, Changes& x) { x.AnyCell(g).data[x.AnyChannel()] = x.Between(300, 1700); }},
    {"every value of a cell",
     [](CColorBar& g, Changes& x) {
       GridCell& cell = x.AnyCell(g);
       for (auto& value : cell.data) value = x.Between(700, 1300);
     }},
    {"every value of a cell moves a little, as a live panel's do",
     [](CColorBar& g, Changes& x) {
       for (auto& value : x.AnyCell(g).data) value = value.load() + x.Between(-4, 4);
     }},
    {"mask", [](CColorBar& g, Changes& x) { x.AnyCell(g).mask[x.AnyChannel()] = x.Between(0, 4); }},
    {"upper limit", [](CColorBar& g, Changes& x) { x.AnyCell(g).thresholdHigh[x.AnyChannel()] = x.Between(900, 1800); }},
    {"lower limit", [](CColorBar& g, Changes& x) { x.AnyCell(g).thresholdLow[x.AnyChannel()] = x.Between(200, 1100); }},
    {"reference", [](CColorBar& g, Changes& x) { x.AnyCell(g).reference[x.AnyChannel()] = x.Between(500, 1500); }},
    {"view range",
     [](CColorBar& g, Changes& x) {
       GridCell& cell = x.AnyCell(g);
       cell.viewMin = x.Between(0, 600);
       cell.viewMax = x.Between(1400, 2600);
     }},
    {"over-mark", [](CColorBar& g, Changes& x) { x.AnyCell(g).overMark[x.AnyChannel()] = x.Between(0, 1); }},
    {"clear over-marks", [](CColorBar& g, Changes&) { g.ClearOverMarks(); }},
    {"indication switch", [](CColorBar& g, Changes&) { g.m_overIndication = g.m_overIndication.load() == 0 ? 1 : 0; }},
    {"resize", [](CColorBar& g, Changes& x) {
       g.resize(x.Between(150, 420) * x.Scale(), x.Between(100, 300) * x.Scale());
     }},
    {"rows and columns",
     [](CColorBar& g, Changes& x) {
       g.m_rows = x.Between(0, 4);
       g.m_cols = x.Between(0, 4);
     }},
    {"every cell within limits (the overlay may appear)",
     [](CColorBar& g, Changes&) {
       for (int c = 0; c < g.m_cols.load(); ++c)
         for (int r = 0; r < g.m_rows.load(); ++r)
           for (int k = 0; k < GRID_CHANNELS; ++k) {
             GridCell& cell = g.m_cells[c][r];
             cell.data[k] = (cell.thresholdHigh[k].load() + cell.thresholdLow[k].load()) / 2;
             if (cell.thresholdLow[k].load() > cell.thresholdHigh[k].load()) cell.mask[k] = MASK_CLOSED;
           }
     }},
    {"a cell starts to fail", [](CColorBar& g, Changes& x) {
       GridCell& cell = x.AnyCell(g);
       const int k = x.AnyChannel();
       cell.mask[k] = MASK_OPEN;
       cell.data[k] = cell.thresholdHigh[k].load() + 1;
     }},
    {"nothing", [](CColorBar&, Changes&) {}},
};

struct SequenceCase {
  const char* name;
  uint32_t seed;
  int rows, cols;
  uint8_t showVerdict;
  int scale = 1;
};

class KeptImage : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(KeptImage, EqualsACompletePaintAfterEveryTick) {
  const SequenceCase& c = GetParam();
  CColorBar grid;
  grid.resize(320 * c.scale, 220 * c.scale);
  SetMixedGrid(grid, c.rows, c.cols, c.seed);
  grid.m_showVerdict = c.showVerdict;
  Changes changes(c.seed, c.scale);
  std::string history;
  for (int step = 0; step < 160; ++step) {
    const int changeCount = changes.Between(0, 2);
    for (int i = 0; i < changeCount; ++i) {
      const Change& change = kChanges[changes.Between(0, std::size(kChanges) - 1)];
      change.apply(grid, changes);
      history += std::string(change.name) + "; ";
    }
    CColorBar complete;
    CopyState(grid, complete);
    grid.RepaintTick();
    const QImage expected = PaintGrid(complete, grid.width(), grid.height());
    QPoint where;
    ASSERT_EQ(Mismatches(grid.KeptImage(), expected, where), 0)
        << "step " << step << ", first at " << where.x() << "," << where.y() << ", after: " << history;
    ASSERT_EQ(grid.m_failCount.load(), complete.m_failCount.load()) << "step " << step;
    history += "| ";
  }
}

INSTANTIATE_TEST_SUITE_P(Sequences, KeptImage,
                         ::testing::Values(SequenceCase{"OneCell", 11, 1, 1, 1}, SequenceCase{"TwoByTwo", 12, 2, 2, 1},
                                           SequenceCase{"ThreeByTwo", 13, 3, 2, 1},
                                           SequenceCase{"Preview", 14, 1, 1, 0},
                                           // Cells this large are redrawn piece by piece.
                                           SequenceCase{"LargeOneCell", 15, 1, 1, 1, 4},
                                           SequenceCase{"LargeTwoByOne", 16, 2, 1, 1, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

// Three cells: cell (0,0) fails, so there is no overlay and a change stays in its own cell.
class QuietTick : public ::testing::Test {
 protected:
  static constexpr int kW = 600, kH = 200;
  CColorBar grid;
  ExpectedGeometry g{kW, kH, 1, 3, false};
  void SetUp() override {
    grid.resize(kW, kH);
    SetGrid(grid, 1, 3);
    grid.m_cells[0][0].data[0] = 500;
    grid.RepaintTick();
  }
};

TEST_F(QuietTick, NothingChangedDrawsNothing) {
  const QImage before = grid.KeptImage();
  EXPECT_TRUE(grid.RepaintTick().isEmpty());
  EXPECT_TRUE(grid.RepaintTick().isEmpty());
  EXPECT_EQ(grid.KeptImage(), before);
  EXPECT_EQ(grid.m_failCount.load(), 1) << "the quiet tick still evaluates";
}

TEST_F(QuietTick, OneValueRedrawsOnlyItsCell) {
  grid.m_cells[1][0].data[7] = 1100;
  const QRect changed = grid.RepaintTick().boundingRect();
  ASSERT_FALSE(changed.isEmpty());
  // The last channel's rotated difference number may reach a pixel or two over the grid line.
  const QRect cell(ExpectedGeometry::T(g.X0(1)) - 3, 0, ExpectedGeometry::T(g.CW()) + 7, kH);
  EXPECT_TRUE(cell.contains(changed)) << changed.x() << "," << changed.y() << " " << changed.width() << "x"
                                      << changed.height();
  EXPECT_TRUE(grid.RepaintTick().isEmpty());
}

TEST_F(QuietTick, AnOverMarkRedrawsOnlyWhileTheIndicationShowsIt) {
  grid.m_cells[2][0].overMark[3] = 1;
  EXPECT_TRUE(grid.RepaintTick().isEmpty()) << "a marked bar looks the same without the indication";
  grid.m_overIndication = 1;
  EXPECT_FALSE(grid.RepaintTick().isEmpty());
}

// A live panel moves every value of a large cell by a few counts each cycle: the tick hands
// over the moved bar tops and the new numbers, not the whole cell.
TEST(LargeCellTick, SmallMovesEverywhereRedrawLittleOfTheCell) {
  constexpr int kW = 1600, kH = 900;
  CColorBar grid;
  grid.resize(kW, kH);
  SetGrid(grid, 1, 1);
  grid.RepaintTick();
  for (int k = 0; k < GRID_CHANNELS; ++k) grid.m_cells[0][0].data[k] = 1000 + (k % 7) - 3;
  qint64 area = 0;
  for (const QRect& part : grid.RepaintTick()) area += qint64{part.width()} * part.height();
  EXPECT_GT(area, 0);
  EXPECT_LT(area, qint64{kW} * kH / 10);
}

TEST_F(QuietTick, ResizeRedrawsEverything) {
  grid.resize(500, 180);
  EXPECT_EQ(grid.RepaintTick(), QRegion(0, 0, 500, 180));
  EXPECT_EQ(grid.KeptImage().size(), QSize(500, 180));
}

}  // namespace
