// Owner-drawn panes and the progress control of the status bar.
#include "display/statusbarex.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <array>

namespace {

class StatusBar : public ::testing::Test {
 protected:
  QWidget window;
  CStatusBarEx* bar = new CStatusBarEx(&window);

  void SetUp() override {
    window.resize(1000, 300);
    const std::array<int, 3> ids{102, 104, 105};
    ASSERT_TRUE(bar->SetPaneCount(ids));
    bar->SetPaneInfo(0, 102, false, 120);
    bar->SetPaneInfo(1, 104, false, 460);
    bar->SetPaneInfo(2, 105, true, 200);
    QFont font(QStringLiteral("微软雅黑"));
    font.setPixelSize(24);
    bar->setFont(font);
    bar->setGeometry(0, 300 - CStatusBarEx::HEIGHT, 1000, CStatusBarEx::HEIGHT);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  QImage Grab() { return bar->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

TEST_F(StatusBar, PanesSitSideBySideAndTheLastStretches) {
  EXPECT_EQ(bar->PaneRect(0).left, 0);
  EXPECT_EQ(bar->PaneRect(0).right, 120);
  EXPECT_EQ(bar->PaneRect(1).left, 120 + CStatusBarEx::PANE_GAP);
  EXPECT_EQ(bar->PaneRect(1).right, 122 + 460);
  EXPECT_EQ(bar->PaneRect(2).right, 1000);
  EXPECT_EQ(bar->PaneId(1), 104);
}

TEST_F(StatusBar, HatchedPaneWithEmptyTextShowsOnlyTheHatchInAnOutline) {
  bar->m_paneStyle[1] = PANE_HATCHED;
  bar->PaneChanged(1);
  const QImage image = Grab();
  const GdiRect r = bar->PaneRect(1);
  for (int x = r.left; x < r.right; ++x) {
    ASSERT_EQ(image.pixel(x, r.top), qRgb(0, 0, 0)) << x;
    ASSERT_EQ(image.pixel(x, r.bottom - 1), qRgb(0, 0, 0)) << x;
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    ASSERT_EQ(image.pixel(r.left, y), qRgb(0, 0, 0));
    for (int x = r.left + 1; x < r.right - 1; ++x) {
      const bool line = (x - y) % 8 == 0 || (x + y) % 8 == 7;
      ASSERT_EQ(image.pixel(x, y), line ? qRgb(155, 155, 155) : qRgb(255, 255, 255)) << x << "," << y;
    }
  }
}

// The rightmost column that the text's ink reaches when drawn with its advance starting at 0.
int InkRight(const QFont& font, const QString& text) {
  const QFontMetrics metrics(font);
  QImage scratch(metrics.horizontalAdvance(text) + 40, metrics.height() + 10, QImage::Format_RGB32);
  scratch.fill(Qt::white);
  {
    QPainter p(&scratch);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(0, metrics.ascent(), text);
  }
  for (int x = scratch.width() - 1; x >= 0; --x)
    for (int y = 0; y < scratch.height(); ++y)
      if (scratch.pixel(x, y) != qRgb(255, 255, 255)) return x;
  return -1;
}

TEST_F(StatusBar, RightAlignedTextEndsTwoPixelsBeforeThePaneEdge) {
  for (const QString& text : {QStringLiteral("SUPPLIER"), QStringLiteral("设备ID=0123-ABCD")}) {
    bar->m_paneStyle[2] = PANE_FILLED;
    bar->m_paneBackColor[2] = QColor(0, 255, 0);
    bar->m_paneTextColor[2] = QColor(0, 0, 255);
    bar->m_paneAlign[2] = TEXT_RIGHT;
    bar->SetPaneTextOwnerDraw(2, text);
    const QImage image = Grab();
    const GdiRect r = bar->PaneRect(2);
    int rightmost = -1;
    for (int x = r.left; x < r.right; ++x)
      for (int y = r.top; y < r.bottom; ++y)
        if (image.pixel(x, y) != qRgb(0, 255, 0)) rightmost = x;
    const int advance = QFontMetrics(bar->font()).horizontalAdvance(text);
    EXPECT_EQ(rightmost, r.right - advance - 2 + InkRight(bar->font(), text)) << text.toStdString();
    EXPECT_LE(rightmost, r.right - 3);
  }
}

TEST_F(StatusBar, ProgressStaysOverPanesZeroAndOneAfterResizes) {
  bar->m_progress.show();
  bar->m_progressShown = 1;
  bar->PlaceProgress(0, 1);
  const int top = CStatusBarEx::PANE_BORDER, bottom = CStatusBarEx::HEIGHT - CStatusBarEx::PANE_BORDER;
  const QRect expected(0 + 2, top, (460 + 120) - 0, bottom - 2 * top + 2);
  EXPECT_EQ(bar->m_progress.geometry(), expected);

  bar->SetPaneInfo(0, 102, false, 200);
  bar->resize(1400, CStatusBarEx::HEIGHT);
  EXPECT_EQ(bar->m_progress.geometry(), QRect(2, top, 200 + 460, bottom - 2 * top + 2));

  bar->m_progressShown = 0;
  bar->SetPaneInfo(0, 102, false, 120);
  bar->resize(900, CStatusBarEx::HEIGHT);
  EXPECT_EQ(bar->m_progress.geometry().width(), 200 + 460) << "not re-placed while not shown";
}

TEST_F(StatusBar, SetPaneCountRestoresTheDefaults) {
  bar->m_paneStyle[0] = PANE_FILLED;
  bar->m_paneTextColor[0] = QColor(255, 255, 255);
  bar->SetPaneTextOwnerDraw(0, QStringLiteral("设备未插入"));
  const std::array<int, 2> ids{1, 2};
  ASSERT_TRUE(bar->SetPaneCount(ids));
  EXPECT_EQ(bar->m_paneText.size(), 2u);
  EXPECT_EQ(bar->m_paneStyle[0], PANE_PLAIN);
  EXPECT_EQ(bar->m_paneText[0], QString());
  EXPECT_EQ(bar->m_paneTextColor[0], QColor(0, 0, 0));
  EXPECT_EQ(bar->m_paneBackColor[0], bar->palette().color(QPalette::Button));
  EXPECT_FALSE(bar->SetPaneCount({}));
}

}  // namespace
