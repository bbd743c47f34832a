// Pixel probes of one paint at coordinates the grid's geometry formulas give.
#include "display/colorbar.h"
#include "expectedgeometry.h"
#include "gridfixture.h"

#include <gtest/gtest.h>

namespace {

const QRgb kPink = qRgb(255, 200, 200);
const QRgb kYellow = qRgb(255, 255, 200);
const QRgb kLightGreen = qRgb(200, 255, 200);
const QRgb kBlue = qRgb(150, 150, 255);
const QRgb kGreen = qRgb(100, 255, 100);
const QRgb kGrey = qRgb(100, 100, 100);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

QRgb HatchAt(int x, int y) {
  return ((x - y) % 8 == 0 || (x + y) % 8 == 7) ? qRgb(155, 155, 155) : kWhite;
}

// One cell at 640 x 400, limits 500..1500 in a view of 0..2000, channel 5 probed.
class OneCellPaint : public ::testing::Test {
 protected:
  static constexpr int kW = 640, kH = 400, kK = 5;
  CColorBar grid;
  ExpectedGeometry g{kW, kH, 1, 1, false};
  CellSetup setup{1500, 500, 1000, 1200, MASK_OPEN, 0, 2000};

  void SetUp() override { SetGrid(grid, 1, 1, setup); }
  double Level(double v) const { return g.Level(v, setup.viewMin, setup.viewMax); }
  int Y(double v) const { return ExpectedGeometry::T(g.Top0(0) + Level(v)); }
  QImage Paint() { return PaintGrid(grid, kW, kH); }
  int BarMidX() const { return (g.BarL(0, kK) + g.BarR(0, kK)) / 2; }
};

TEST_F(OneCellPaint, ZonesAndBandFollowTheLimits) {
  const QImage image = Paint();
  const int x = g.ColL(0, kK);
  EXPECT_EQ(image.pixel(x, (g.Top0(0) + Y(1500)) / 2), kPink);
  EXPECT_EQ(image.pixel(x, Y(1500) - 1), kPink);
  EXPECT_EQ(image.pixel(x, Y(800)), kLightGreen);
  EXPECT_EQ(image.pixel(x, Y(500)), kYellow);
  EXPECT_EQ(image.pixel(x, g.BarBottom(0) - 1), kYellow);
  EXPECT_NE(image.pixel(x, g.BarBottom(0)), kYellow);
  EXPECT_NE(image.pixel(g.ColR(0, kK), Y(800)), kLightGreen) << "zones end before colR";
}

TEST_F(OneCellPaint, OpenValueBarReachesFromTheValueToTheBottom) {
  const QImage image = Paint();
  EXPECT_EQ(image.pixel(BarMidX(), Y(1000) + 2), kBlue);
  EXPECT_EQ(image.pixel(g.BarL(0, kK), Y(1000) + 2), kBlue);
  EXPECT_EQ(image.pixel(g.BarR(0, kK) - 1, Y(1000) + 2), kBlue);
  EXPECT_NE(image.pixel(g.BarR(0, kK), Y(1000) + 2), kBlue);
  EXPECT_EQ(image.pixel(BarMidX(), Y(1000) - 1), kLightGreen);
}

TEST_F(OneCellPaint, OverMarkedBarIsGreenOnlyWithTheIndicationOn) {
  grid.m_cells[0][0].overMark[kK] = 1;
  grid.m_cells[0][0].overMark[kK + 1] = 0;  // keeps the sweep from completing
  grid.m_overIndication = 1;
  EXPECT_EQ(Paint().pixel(BarMidX(), Y(1000) + 2), kGreen);
  grid.m_overIndication = 0;
  EXPECT_EQ(Paint().pixel(BarMidX(), Y(1000) + 2), kBlue);
}

TEST_F(OneCellPaint, ShownChannelHasAGreyBarAndNoNumbers) {
  grid.m_cells[0][0].mask[kK] = MASK_SHOWN;
  const QImage image = Paint();
  EXPECT_EQ(image.pixel(BarMidX(), Y(1000) + 2), kGrey);
  EXPECT_EQ(image.pixel(BarMidX(), g.BarBottom(0) - 3), kGrey) << "where the value number would be";
  EXPECT_EQ(image.pixel(g.ColL(0, kK) + 2, g.Top0(0) + 4), kPink) << "where the difference would be";
}

TEST_F(OneCellPaint, ReferenceLineIsTwoPixelsAboveTheReferenceLevel) {
  const QImage image = Paint();
  const int y1 = ExpectedGeometry::T(g.Top0(0) + Level(1200) - 2);
  const int x = g.ColL(0, kK);
  EXPECT_EQ(image.pixel(x, y1), kRed);
  EXPECT_EQ(image.pixel(x, y1 + 1), kRed);
  EXPECT_NE(image.pixel(x, y1 - 1), kRed);
  EXPECT_NE(image.pixel(x, y1 + 2), kRed);
}

TEST_F(OneCellPaint, ClosedColumnIsHatchedWithoutBar) {
  grid.m_cells[0][0].mask[kK] = MASK_CLOSED;
  const QImage image = Paint();
  const int l = g.ColL(0, kK), r = g.ColR(0, kK), t = g.Top0(0), b = g.BarBottom(0);
  EXPECT_EQ(image.pixel(l, (t + b) / 2), kGrey);
  EXPECT_EQ(image.pixel(r - 1, (t + b) / 2), kGrey);
  EXPECT_EQ(image.pixel((l + r) / 2, t), kGrey);
  for (int y = t + 1; y < b - 1; ++y)
    for (int x = l + 1; x < r - 1; ++x) ASSERT_EQ(image.pixel(x, y), HatchAt(x, y)) << x << "," << y;
}

struct StripCase {
  const char* name;
  uint16_t data;
  QRgb strip;
};

class StripColour : public OneCellPaint, public ::testing::WithParamInterface<StripCase> {};

TEST_P(StripColour, FollowsTheChannelState) {
  grid.m_cells[0][0].data[kK] = GetParam().data;
  const QImage image = Paint();
  EXPECT_EQ(image.pixel(g.ColR(0, kK) - 1, g.StripCellB(0) - 1), GetParam().strip);
  EXPECT_EQ(image.pixel(g.ColL(0, kK), g.StripCellT(0) + 1), GetParam().strip);
}

INSTANTIATE_TEST_SUITE_P(States, StripColour,
                         ::testing::Values(StripCase{"Above", 1501, kPink}, StripCase{"AtHigh", 1500, kLightGreen},
                                           StripCase{"Within", 1000, kLightGreen}, StripCase{"AtLow", 500, kLightGreen},
                                           StripCase{"Below", 499, kYellow}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OneCellPaint, ClosedStripCellIsHatched) {
  grid.m_cells[0][0].mask[kK] = MASK_CLOSED;
  const QImage image = Paint();
  const int x = g.ColR(0, kK) - 2, y = g.StripCellB(0) - 2;
  EXPECT_EQ(image.pixel(x, y), HatchAt(x, y));
  EXPECT_EQ(image.pixel(g.ColR(0, kK) - 1, y), kGrey);
}

TEST_F(OneCellPaint, EqualViewRangePutsValuesAtOrAboveItAtTheTop) {
  grid.m_cells[0][0].viewMin = 1000;
  grid.m_cells[0][0].viewMax = 1000;
  grid.m_cells[0][0].data[kK + 1] = 999;
  const QImage image = Paint();
  const int mid = (g.Top0(0) + g.BarBottom(0)) / 2;
  // High (1500) sits at the top: no upper zone; low (500) at the bottom: the band fills all.
  EXPECT_EQ(image.pixel(g.ColL(0, kK), g.Top0(0)), kLightGreen);
  EXPECT_EQ(image.pixel(g.ColL(0, kK), g.BarBottom(0) - 1), kLightGreen);
  EXPECT_EQ(image.pixel(BarMidX(), g.Top0(0) + 30), kBlue) << "1000 is at the top";
  const int nextBar = (g.BarL(0, kK + 1) + g.BarR(0, kK + 1)) / 2;
  EXPECT_EQ(image.pixel(nextBar, mid), kLightGreen) << "999 is at the bottom, no bar";
}

TEST_F(OneCellPaint, InvertedViewRangeMirrorsTheLevels) {
  grid.m_cells[0][0].viewMin = 2000;
  grid.m_cells[0][0].viewMax = 0;
  const QImage image = Paint();
  const int x = g.ColL(0, kK);
  const double bh = g.BH();
  EXPECT_EQ(image.pixel(x, ExpectedGeometry::T(g.Top0(0) + 0.1 * bh)), kPink);
  EXPECT_EQ(image.pixel(x, ExpectedGeometry::T(g.Top0(0) + 0.5 * bh)), kYellow) << "lower zone painted over the upper";
  EXPECT_EQ(image.pixel(x, ExpectedGeometry::T(g.Top0(0) + 0.9 * bh)), kYellow);
}

struct LabelCase {
  const char* name;
  uint16_t data;
  uint8_t mask;
  bool hatched;
  QRgb fill;
};

class LabelFill : public OneCellPaint, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(LabelFill, FollowsTheVerdict) {
  SetCell(grid, 0, 0, {1500, 500, GetParam().data, 1200, GetParam().mask, 0, 2000});
  const QImage image = Paint();
  const int x = g.LabelL(0) + 3, y = g.LabelT(0) + 3;
  EXPECT_EQ(image.pixel(x, y), GetParam().hatched ? HatchAt(x, y) : GetParam().fill);
  EXPECT_EQ(image.pixel(g.LabelL(0), y), kGrey) << "label outline";
}

INSTANTIATE_TEST_SUITE_P(Verdicts, LabelFill,
                         ::testing::Values(LabelCase{"Pass", 1000, MASK_OPEN, false, kLightGreen},
                                           LabelCase{"Fail", 1600, MASK_OPEN, false, kPink},
                                           LabelCase{"Load", 1000, MASK_CLOSED, true, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// Pixels that only the AND of a green "PASS" can produce (no drawn colour has red and blue 0).
int OverlayPixels(const QImage& image, int greenValue) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == qRgb(0, greenValue, 0) ? 1 : 0;
  return count;
}

TEST(PassOverlay, CoversAPassingGridOfTwoByTwo) {
  CColorBar grid;
  SetGrid(grid, 2, 2, {1500, 500, 1000, 1200, MASK_OPEN, 0, 2000});
  const QImage image = PaintGrid(grid, 640, 480);
  EXPECT_GT(OverlayPixels(image, 255), 2000) << "white under the letters turns green";
  EXPECT_GT(OverlayPixels(image, 200), 100) << "pink and light green keep their green component";
  const int fh = 480 / 5, fw = 640 / 9;
  const int top = ExpectedGeometry::T(480 - 1.5 * fh) / 2, left = ExpectedGeometry::T(640 - 1.3 * 4 * fw) / 2;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      if (image.pixel(x, y) == qRgb(0, 255, 0)) {
        ASSERT_TRUE(x >= left && y >= top && y < top + fh + 2) << x << "," << y;
      }
}

TEST(PassOverlay, AbsentForOneCellAndAfterOneCellFails) {
  CColorBar single;
  SetGrid(single, 1, 1, {1500, 500, 1000, 1200, MASK_OPEN, 0, 2000});
  EXPECT_EQ(OverlayPixels(PaintGrid(single, 640, 480), 255), 0);

  CColorBar grid;
  SetGrid(grid, 2, 2, {1500, 500, 1000, 1200, MASK_OPEN, 0, 2000});
  ASSERT_GT(OverlayPixels(PaintGrid(grid, 640, 480), 255), 0);
  grid.m_cells[1][0].data[3] = 1600;
  EXPECT_EQ(OverlayPixels(PaintGrid(grid, 640, 480), 255), 0);
}

TEST(EmptyGrid, ShowsOnlyTheFirstLines) {
  CColorBar grid;
  grid.m_rows = 0;
  grid.m_cols = 0;
  const QImage image = PaintGrid(grid, 200, 100);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(image.pixel(x, y), (x == 0 || y == 0) ? kGrey : kWhite) << x << "," << y;
}

// The preview (612 x 216, one cell, no labels).
class PreviewPaint : public ::testing::Test {
 protected:
  static constexpr int kW = 612, kH = 216, kK = 9;
  CColorBar grid;
  ExpectedGeometry g{kW, kH, 1, 1, true};
  ExpectedGeometry main{kW, kH, 1, 1, false};
  void SetUp() override {
    SetGrid(grid, 1, 1, {1500, 500, 1000, 1200, MASK_OPEN, 0, 2000});
    grid.m_showVerdict = 0;
  }
};

TEST_F(PreviewPaint, BarsAndFramesReachAnEighthOfTheCellFurther) {
  ASSERT_GT(g.BarBottom(0), main.BarBottom(0));
  EXPECT_EQ(g.BarBottom(0), ExpectedGeometry::T(main.BarBottom(0) + ExpectedGeometry::T(g.CH()) / 8.0));
  const QImage image = PaintGrid(grid, kW, kH);
  EXPECT_EQ(image.pixel(g.ColL(0, kK), g.BarBottom(0) - 1), kYellow);
  EXPECT_EQ(image.pixel(g.ColL(0, kK), main.BarBottom(0) + 1), kYellow);
  EXPECT_EQ(image.pixel((g.BarL(0, kK) + g.BarR(0, kK)) / 2, ExpectedGeometry::T(g.Top0(0) + g.Level(1000, 0, 2000)) + 2),
            kBlue);
  EXPECT_EQ(image.pixel(g.FrameL(0, kK), g.FrameB(0) - 1), kGrey);
  EXPECT_EQ(image.pixel(g.ColR(0, kK) - 1, g.StripCellB(0) - 1), kLightGreen) << "strip moved down";
}

TEST_F(PreviewPaint, DrawsNoLabelAndKeepsTheFailCount) {
  grid.m_failCount = 7;
  grid.m_cells[0][0].data[0] = 1600;
  const QImage image = PaintGrid(grid, kW, kH);
  EXPECT_EQ(grid.m_failCount.load(), 7);
  // Frames and strip reach into the label area; the gaps between the frames stay white.
  const int y = g.LabelT(0) + 3;
  ASSERT_LT(y, g.StripFrameT(0));
  EXPECT_EQ(image.pixel(g.FrameR(0, kK), y), kWhite);
  EXPECT_EQ(image.pixel(g.FrameR(0, 0), y), kWhite);
}

}  // namespace
