#include <gtest/gtest.h>

#include "camera/rgb24frame.h"
#include "tests/camera/frames.h"

namespace {

struct Size {
  int width;
  int height;
  qsizetype stride;
};

class Rgb24FrameLayout : public ::testing::TestWithParam<Size> {};

// Blue, green, red per pixel, bottom row first, rows zero-padded to 4 bytes.
TEST_P(Rgb24FrameLayout, HoldsTheCaptureLayout) {
  const auto [width, height, stride] = GetParam();
  const QImage image = PatternImage(width, height);
  const Rgb24Frame frame = Rgb24Frame::FromImage(image);

  ASSERT_EQ(Rgb24Frame::Stride(width), stride);
  EXPECT_EQ(frame.Width(), width);
  EXPECT_EQ(frame.Height(), height);
  ASSERT_EQ(frame.Bytes().size(), stride * height);
  const auto* bytes = reinterpret_cast<const uchar*>(frame.Bytes().constData());
  for (int y = 0; y < height; ++y) {
    const uchar* row = bytes + (height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      const QRgb pixel = image.pixel(x, y);
      EXPECT_EQ(row[3 * x], qBlue(pixel)) << x << "," << y;
      EXPECT_EQ(row[3 * x + 1], qGreen(pixel)) << x << "," << y;
      EXPECT_EQ(row[3 * x + 2], qRed(pixel)) << x << "," << y;
    }
    for (qsizetype pad = 3 * width; pad < stride; ++pad) EXPECT_EQ(row[pad], 0) << "row " << y;
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, Rgb24FrameLayout,
                         ::testing::Values(Size{1, 1, 4}, Size{2, 3, 8}, Size{3, 2, 12},
                                           Size{4, 2, 12}, Size{5, 3, 16}, Size{7, 1, 24}));

TEST(Rgb24Frame, GivenBytesAreFittedToTheFrameSize) {
  const Rgb24Frame shortFrame(3, 2, QByteArray(5, '\x7f'));
  EXPECT_EQ(shortFrame.Bytes(), QByteArray(5, '\x7f') + QByteArray(19, '\0'));
  const Rgb24Frame longFrame(1, 1, QByteArray(9, '\x01'));
  EXPECT_EQ(longFrame.Bytes(), QByteArray(4, '\x01'));
}

TEST(Rgb24Frame, NullImageGivesAnEmptyFrame) {
  const Rgb24Frame frame = Rgb24Frame::FromImage(QImage());
  EXPECT_EQ(frame.Width(), 0);
  EXPECT_EQ(frame.Height(), 0);
  EXPECT_TRUE(frame.Bytes().isEmpty());
}

}  // namespace
