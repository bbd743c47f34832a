// Verdicts, fail count, over-marks and sweeps, hit test, mask cycling and attachment.
#include "display/colorbar.h"
#include "expectedgeometry.h"
#include "gridfixture.h"

#include <QFrame>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kW = 640, kH = 400;

struct VerdictCase {
  const char* name;
  CellSetup cell;
  int channel;  // channel given `data`/`mask` below, -1 for none
  uint16_t data;
  uint8_t mask;
  int failCount;
};

class Verdict : public ::testing::TestWithParam<VerdictCase> {};

// Cell (0,0) carries the case, cell (0,1) always passes.
TEST_P(Verdict, CountsFailingCellsOnly) {
  const VerdictCase& c = GetParam();
  CColorBar grid;
  SetGrid(grid, 1, 2);
  SetCell(grid, 0, 0, c.cell);
  if (c.channel >= 0) {
    grid.m_cells[0][0].data[c.channel] = c.data;
    grid.m_cells[0][0].mask[c.channel] = c.mask;
  }
  grid.m_failCount = 9;
  PaintGrid(grid, kW, kH);
  EXPECT_EQ(grid.m_failCount.load(), c.failCount);
}

const CellSetup kWithin{1200, 800, 1000, 1000, MASK_OPEN, 0, 2000};

INSTANTIATE_TEST_SUITE_P(
    Cases, Verdict,
    ::testing::Values(VerdictCase{"AllWithin", kWithin, -1, 0, 0, 0},
                      VerdictCase{"EqualToHigh", kWithin, 3, 1200, MASK_OPEN, 0},
                      VerdictCase{"EqualToLow", kWithin, 3, 800, MASK_OPEN, 0},
                      VerdictCase{"AboveHigh", kWithin, 3, 1201, MASK_OPEN, 1},
                      VerdictCase{"BelowLow", kWithin, 31, 799, MASK_OPEN, 1},
                      VerdictCase{"FailingButClosed", kWithin, 3, 5000, MASK_CLOSED, 0},
                      VerdictCase{"FailingButShown", kWithin, 3, 5000, MASK_SHOWN, 0},
                      VerdictCase{"FailingOtherMask", kWithin, 3, 5000, 7, 0},
                      VerdictCase{"AllClosedIsLoad", {1200, 800, 5000, 1000, MASK_CLOSED, 0, 2000}, -1, 0, 0, 0},
                      VerdictCase{"LowAboveHighAlwaysFails", {800, 1200, 1000, 1000, MASK_OPEN, 0, 2000}, -1, 0, 0, 1},
                      VerdictCase{"UnsignedCompare", {1200, 800, 65535, 1000, MASK_OPEN, 0, 2000}, -1, 0, 0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FailCount, CountsEveryFailingCellAndIsZeroForAnEmptyGrid) {
  CColorBar grid;
  SetGrid(grid, 3, 3, kWithin);
  grid.m_cells[0][0].data[0] = 2000;
  grid.m_cells[1][2].data[5] = 10;
  grid.m_cells[2][1].data[31] = 1300;
  PaintGrid(grid, kW, kH);
  EXPECT_EQ(grid.m_failCount.load(), 3);
  grid.m_rows = 0;
  grid.m_cols = 0;
  PaintGrid(grid, kW, kH);
  EXPECT_EQ(grid.m_failCount.load(), 0);
}

TEST(OverMark, StaysAfterTheValueReturns) {
  CColorBar grid;
  SetGrid(grid, 1, 1, kWithin);
  grid.m_cells[0][0].data[4] = 1300;
  PaintGrid(grid, kW, kH);
  EXPECT_EQ(grid.m_cells[0][0].overMark[4].load(), 1);
  EXPECT_EQ(grid.m_cells[0][0].overMark[5].load(), 0);
  grid.m_cells[0][0].data[4] = 1000;
  PaintGrid(grid, kW, kH);
  EXPECT_EQ(grid.m_cells[0][0].overMark[4].load(), 1);
}

struct SweepCase {
  const char* name;
  bool markAll;        // every open channel of both cells marked beforehand
  bool cellFails;      // one channel currently below its limit
  bool closedUnmarked; // one channel closed and unmarked
  bool reset;
};

class Sweep : public ::testing::TestWithParam<SweepCase> {};

TEST_P(Sweep, ResetsOnlyWhenEveryOpenChannelIsMarkedAndNothingFails) {
  const SweepCase& c = GetParam();
  CColorBar grid;
  SetGrid(grid, 1, 2, kWithin);
  for (int col = 0; col < 2; ++col)
    for (int k = 0; k < GRID_CHANNELS; ++k) grid.m_cells[col][0].overMark[k] = 1;
  if (!c.markAll) grid.m_cells[1][0].overMark[17] = 0;
  if (c.cellFails) grid.m_cells[0][0].data[2] = 700;
  if (c.closedUnmarked) {
    grid.m_cells[1][0].mask[9] = MASK_CLOSED;
    grid.m_cells[1][0].overMark[9] = 0;
  }
  PaintGrid(grid, kW, kH);
  EXPECT_EQ(grid.m_cells[0][0].overMark[0].load(), c.reset ? 0 : 1);
  EXPECT_EQ(grid.m_cells[1][0].overMark[31].load(), c.reset ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, Sweep,
                         ::testing::Values(SweepCase{"AllMarked", true, false, false, true},
                                           SweepCase{"OneOpenUnmarked", false, false, false, false},
                                           SweepCase{"AllMarkedButFailing", true, true, false, false},
                                           SweepCase{"ClosedChannelNeedsNoMark", true, false, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ClearOverMarks, TouchesOnlyTheCellsInUse) {
  CColorBar grid;
  SetGrid(grid, 2, 2, kWithin);
  grid.m_cells[1][1].overMark[3] = 1;
  grid.m_cells[2][0].overMark[3] = 1;  // column 2 is not in use
  grid.ClearOverMarks();
  EXPECT_EQ(grid.m_cells[1][1].overMark[3].load(), 0);
  EXPECT_EQ(grid.m_cells[2][0].overMark[3].load(), 1);
}

class HitTestFixture : public ::testing::Test {
 protected:
  CColorBar grid;
  ExpectedGeometry g{kW, kH, 2, 3, false};
  void SetUp() override {
    grid.resize(kW, kH);
    SetGrid(grid, 2, 3, kWithin);
  }
  bool HitAt(int x, int y) {
    grid.m_pointer.x = x;
    grid.m_pointer.y = y;
    return grid.HitTest();
  }
  int ChannelCentre(int col, int k) const { return (g.FrameL(col, k) + g.FrameR(col, k)) / 2; }
};

TEST_F(HitTestFixture, FindsCellAndChannel) {
  ASSERT_TRUE(HitAt(ChannelCentre(2, 17), ExpectedGeometry::T(g.Y0(1) + 20)));
  EXPECT_EQ(grid.m_hoverRow, 1);
  EXPECT_EQ(grid.m_hoverCol, 2);
  EXPECT_EQ(grid.m_hoverChannel, 17);
}

TEST_F(HitTestFixture, GapBetweenChannelsKeepsThePreviousChannel) {
  ASSERT_TRUE(HitAt(ChannelCentre(0, 6), 30));
  ASSERT_TRUE(HitAt(g.FrameR(1, 20), 30));  // just right of channel 20's frame, in cell column 1
  EXPECT_EQ(grid.m_hoverCol, 1);
  EXPECT_EQ(grid.m_hoverChannel, 6);
}

struct OutsideCase {
  const char* name;
  int rows, cols, x, y;
};

class HitTestOutside : public HitTestFixture, public ::testing::WithParamInterface<OutsideCase> {};

TEST_P(HitTestOutside, ReportsOutsideAndKeepsTheHoverInStorage) {
  ASSERT_TRUE(HitAt(ChannelCentre(1, 3), 30));
  grid.m_rows = GetParam().rows;
  grid.m_cols = GetParam().cols;
  EXPECT_FALSE(HitAt(GetParam().x, GetParam().y));
  EXPECT_EQ(grid.m_hoverRow, 0);
  EXPECT_EQ(grid.m_hoverCol, 1);
  EXPECT_EQ(grid.m_hoverChannel, 3);
}

INSTANTIATE_TEST_SUITE_P(Cases, HitTestOutside,
                         ::testing::Values(OutsideCase{"NoRows", 0, 3, 10, 10}, OutsideCase{"NoColumns", 2, 0, 10, 10},
                                           OutsideCase{"LastPixelColumn", 2, 3, kW - 1, 10},
                                           OutsideCase{"LastPixelRow", 2, 3, 10, kH - 1},
                                           OutsideCase{"BeyondRight", 2, 3, 5000, 10},
                                           OutsideCase{"BeyondBottom", 2, 3, 10, 5000},
                                           OutsideCase{"LeftOfControl", 2, 3, -3, 10},
                                           OutsideCase{"AboveControl", 2, 3, 10, -3},
                                           OutsideCase{"RowsBeyondStorage", 40, 40, 5000, 5000}),
                         [](const auto& info) { return std::string(info.param.name); });

// The preview receives pointer input: a move, a paint (which hit-tests) and a double-click.
class PreviewDoubleClick : public ::testing::Test {
 protected:
  CColorBar preview;
  ExpectedGeometry g{306, 108, 1, 1, true};
  void SetUp() override {
    preview.resize(306, 108);
    SetGrid(preview, 1, 1, kWithin);
    preview.m_showVerdict = 0;
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
  }
  void MoveAndDoubleClick(QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, preview.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&preview, &move);
    preview.grab();
    QTest::mouseDClick(&preview, Qt::LeftButton, Qt::NoModifier, at);
  }
};

TEST_F(PreviewDoubleClick, CyclesTheMaskOfTheChannelUnderThePointer) {
  const QPoint at((g.FrameL(0, 12) + g.FrameR(0, 12)) / 2, 40);
  const uint8_t expected[] = {MASK_CLOSED, MASK_SHOWN, MASK_OPEN};
  for (uint8_t mask : expected) {
    MoveAndDoubleClick(at);
    EXPECT_EQ(preview.m_cells[0][0].mask[12].load(), mask);
  }
  EXPECT_EQ(preview.m_cells[0][0].mask[11].load(), MASK_OPEN);
}

TEST_F(PreviewDoubleClick, LeavesOtherMaskValuesAndOutsideClicksAlone) {
  preview.m_cells[0][0].mask[12] = 5;
  const QPoint at((g.FrameL(0, 12) + g.FrameR(0, 12)) / 2, 40);
  MoveAndDoubleClick(at);
  EXPECT_EQ(preview.m_cells[0][0].mask[12].load(), 5);

  MoveAndDoubleClick(QPoint(305, 40));  // last pixel column: outside the cell
  for (int k = 0; k < GRID_CHANNELS; ++k) ASSERT_EQ(preview.m_cells[0][0].mask[k].load(), k == 12 ? 5 : MASK_OPEN);
  EXPECT_EQ(preview.m_pointer.x, 305);
}

TEST(AttachToItem, TakesTheItemsPlaceAndFollowsIt) {
  QWidget dialog;
  dialog.resize(800, 600);
  auto* item = new QFrame(&dialog);
  item->setGeometry(10, 20, 300, 200);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  CColorBar grid;
  ASSERT_TRUE(grid.AttachToItem(item));
  EXPECT_TRUE(grid.m_attached);
  EXPECT_EQ(grid.parentWidget(), &dialog);
  EXPECT_EQ(grid.geometry(), QRect(10, 20, 300, 200));
  EXPECT_EQ(grid.m_clientRect, QRect(0, 0, 300, 200));
  EXPECT_FALSE(grid.AttachToItem(item));

  item->setGeometry(5, 55, 640, 480);
  EXPECT_EQ(grid.geometry(), QRect(5, 55, 640, 480));
  EXPECT_EQ(grid.m_clientRect, QRect(0, 0, 640, 480));
  grid.setParent(nullptr);  // the grid is destroyed before the dialog
}

TEST(RepaintTimer, EvaluatesWithoutAnExplicitPaint) {
  CColorBar grid;
  grid.resize(320, 200);
  SetGrid(grid, 1, 1, kWithin);
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
  grid.StartRepaintTimer(5);
  grid.m_cells[0][0].data[0] = 1500;
  EXPECT_TRUE(QTest::qWaitFor([&] { return grid.m_failCount.load() == 1; }, 2000));
}

}  // namespace
