// The editable list driven the way an operator drives it: mouse clicks and keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/editlistctrl.h"
#include "tests/support/waituntil.h"

namespace {

class EditListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* layout = new QVBoxLayout(&window);
    outside = new QLineEdit(&window);
    list = new CEditListCtrl(&window);
    layout->addWidget(outside);
    layout->addWidget(list);
    for (const char* heading : {"序号", "行数", "列数", "索引", "通道"}) {
      list->AddColumn(QString::fromUtf8(heading), 60);
    }
    list->SetNumberedRows(4);
    for (int row = 0; row < 4; ++row) {
      for (int column = 1; column < 5; ++column) list->SetText(row, column, QString::number(row * 10 + column));
    }
    window.resize(400, 240);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    list->setFocus();
  }

  QRect CellRect(int row, int column) const { return list->visualRect(list->model()->index(row, column)); }
  void ClickCell(int row, int column) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, CellRect(row, column).center());
  }
  QStringList AllTexts() const {
    QStringList texts;
    for (int row = 0; row < list->rowCount(); ++row) {
      for (int column = 0; column < list->columnCount(); ++column) texts << list->Text(row, column);
    }
    return texts;
  }
  // The viewport as painted, without the editor on top of it.
  QImage Painted() const {
    QImage image(list->viewport()->size(), QImage::Format_RGB32);
    list->viewport()->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return image;
  }
  QColor Palette(QPalette::ColorRole role) const { return list->palette().color(role); }

  QWidget window;
  QLineEdit* outside = nullptr;
  CEditListCtrl* list = nullptr;
};

void ExpectNoCurrentCell(const CEditListCtrl& list) {
  EXPECT_EQ(list.m_curRow, -1);
  EXPECT_EQ(list.m_curColumn, -1);
  EXPECT_FALSE(list.m_cellSelected);
  EXPECT_FALSE(list.m_clicked);
}

TEST_F(EditListTest, FirstClickMakesCellCurrentAndAClickElsewhereMovesIt) {
  ExpectNoCurrentCell(*list);
  ClickCell(1, 2);
  EXPECT_EQ(list->m_curRow, 1);
  EXPECT_EQ(list->m_curColumn, 2);
  EXPECT_TRUE(list->m_cellSelected);
  EXPECT_TRUE(list->m_clicked);
  EXPECT_EQ(list->Editor(), nullptr);

  ClickCell(3, 4);
  EXPECT_EQ(list->m_curRow, 3);
  EXPECT_EQ(list->m_curColumn, 4);
  EXPECT_EQ(list->Editor(), nullptr);
}

TEST_F(EditListTest, SecondClickOnTheCurrentCellEditsExactlyThatCell) {
  ClickCell(2, 3);
  ClickCell(2, 3);
  CItemEdit* editor = list->Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), QStringLiteral("23"));
  const QRect cell = CellRect(2, 3);
  EXPECT_EQ(editor->x(), cell.left() + 4);
  EXPECT_LE(editor->geometry().right(), cell.right());
  EXPECT_TRUE(cell.intersects(editor->geometry()));
}

TEST_F(EditListTest, ADoubleClickOnTheCurrentCellAlsoEditsIt) {
  ClickCell(1, 1);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, CellRect(1, 1).center());
  ASSERT_NE(list->Editor(), nullptr);
  EXPECT_EQ(list->Editor()->text(), QStringLiteral("11"));
}

TEST_F(EditListTest, EnterWritesTheTypedTextIntoThatCellOnlyAndEscapeLeavesIt) {
  struct Case {
    Qt::Key key;
    bool written;
  };
  for (const Case c : {Case{Qt::Key_Return, true}, Case{Qt::Key_Escape, false}}) {
    SCOPED_TRACE(c.key);
    list->SetText(1, 2, QStringLiteral("12"));
    list->ClearCurrentCell();
    QStringList expected = AllTexts();
    ClickCell(1, 2);
    ClickCell(1, 2);
    ASSERT_NE(list->Editor(), nullptr);
    list->Editor()->selectAll();
    QTest::keyClicks(list->Editor(), QStringLiteral("77"));
    QTest::keyClick(list->Editor(), c.key);

    ASSERT_TRUE(WaitUntil([&] { return list->Editor() == nullptr; }, std::chrono::seconds(2)));
    if (c.written) expected[1 * 5 + 2] = QStringLiteral("77");
    EXPECT_EQ(AllTexts(), expected);
    // The focus came back to the list, so the cell stays current.
    EXPECT_EQ(list->m_curRow, 1);
    EXPECT_EQ(list->m_curColumn, 2);
    EXPECT_TRUE(list->m_cellSelected);
  }
}

TEST_F(EditListTest, ClickOnEmptySpaceDropsTheHighlightButKeepsTheCell) {
  ClickCell(0, 1);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, list->viewport()->height() - 3));
  EXPECT_FALSE(list->m_cellSelected);
  EXPECT_EQ(list->m_curRow, 0);
  EXPECT_EQ(list->m_curColumn, 1);
  // A click on the cell again only highlights it; it takes one more to edit.
  ClickCell(0, 1);
  EXPECT_TRUE(list->m_cellSelected);
  EXPECT_EQ(list->Editor(), nullptr);
}

TEST_F(EditListTest, FocusMovingOutsideTheListForgetsTheCurrentCell) {
  ClickCell(1, 3);
  outside->setFocus();
  ExpectNoCurrentCell(*list);
}

TEST_F(EditListTest, FocusMovingOutsideWhileEditingKeepsTheTextAndForgetsTheCell) {
  ClickCell(3, 1);
  ClickCell(3, 1);
  ASSERT_NE(list->Editor(), nullptr);
  list->Editor()->setFocus();
  list->Editor()->selectAll();
  QTest::keyClicks(list->Editor(), QStringLiteral("5"));
  outside->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return list->Editor() == nullptr; }, std::chrono::seconds(2)));
  EXPECT_EQ(list->Text(3, 1), QStringLiteral("5"));
  ExpectNoCurrentCell(*list);
}

TEST_F(EditListTest, FocusGoingToTheEditorKeepsTheCurrentCell) {
  ClickCell(2, 2);
  ClickCell(2, 2);
  ASSERT_NE(list->Editor(), nullptr);
  list->Editor()->setFocus();
  EXPECT_EQ(list->m_curRow, 2);
  EXPECT_EQ(list->m_curColumn, 2);
  EXPECT_TRUE(list->m_cellSelected);
}

TEST_F(EditListTest, EditorStaysAtItsLeftEdgeWhenMoved) {
  ClickCell(0, 2);
  ClickCell(0, 2);
  CItemEdit* editor = list->Editor();
  ASSERT_NE(editor, nullptr);
  const int left = editor->m_editLeft;
  editor->move(0, editor->y());
  EXPECT_EQ(editor->x(), left);
  editor->setGeometry(3, editor->y() + 1, editor->width(), editor->height());
  EXPECT_EQ(editor->x(), left);
}

// The columns from the first to the last `color` pixel on three lines through the cell's middle
// (three, so that the dots of a focus rectangle drawn over the box edge leave a gap on one).
std::pair<int, int> SpanOf(const QImage& image, const QRect& cell, QColor color) {
  int first = -1;
  int last = -2;
  for (int y = cell.center().y() - 1; y <= cell.center().y() + 1; ++y) {
    for (int x = cell.left(); x < image.width(); ++x) {
      if (QColor(image.pixel(x, y)) != color) continue;
      if (first < 0 || x < first) first = x;
      last = std::max(last, x);
    }
  }
  return {first, last - first + 1};
}

TEST_F(EditListTest, EmptyCurrentCellShowsAHighlight47PixelsWide) {
  list->SetText(2, 4, QString());
  ClickCell(2, 4);
  QApplication::processEvents();
  const QRect cell = CellRect(2, 4);
  const auto [first, length] = SpanOf(Painted(), cell, Palette(QPalette::Highlight));
  EXPECT_EQ(first, cell.left() + 4);
  EXPECT_EQ(length, std::min(41 + 6, cell.width() - 4));
}

TEST_F(EditListTest, OnlyTheCurrentCellIsHighlighted) {
  ClickCell(1, 1);
  const QImage image = Painted();
  const QColor highlight = Palette(QPalette::Highlight);
  EXPECT_GT(SpanOf(image, CellRect(1, 1), highlight).second, 0);
  for (int column = 0; column < 5; ++column) {
    for (int row : {0, 2, 3}) EXPECT_EQ(SpanOf(image, CellRect(row, column), highlight).second, 0);
  }
}

bool HasInk(const QImage& image, const QRect& area, QColor background) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (QColor(image.pixel(x, y)) != background) return true;
    }
  }
  return false;
}

TEST_F(EditListTest, LongTextEndsInsideItsColumn) {
  list->SetText(0, 1, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"));
  list->SetText(0, 2, QString());
  const QImage image = Painted();
  const QColor base = Palette(QPalette::Base);
  EXPECT_TRUE(HasInk(image, CellRect(0, 1), base));
  EXPECT_FALSE(HasInk(image, CellRect(0, 2), base));
}

TEST_F(EditListTest, CellUnderTheEditorShowsBlank) {
  list->SetText(1, 3, QStringLiteral("4"));
  ClickCell(1, 3);
  ClickCell(1, 3);
  ASSERT_NE(list->Editor(), nullptr);
  const QRect cell = CellRect(1, 3);
  EXPECT_LT(list->Editor()->geometry().right(), cell.right());
  const QImage image = Painted();
  EXPECT_FALSE(HasInk(image, cell, Palette(QPalette::Base)));
  EXPECT_TRUE(HasInk(image, CellRect(1, 2), Palette(QPalette::Base)));
}

TEST_F(EditListTest, GreyedRowCannotBeMadeCurrentOrEdited) {
  list->SetRowGreyed(3, true);
  ClickCell(3, 2);
  ClickCell(3, 2);
  EXPECT_EQ(list->m_curRow, -1);
  EXPECT_EQ(list->Editor(), nullptr);
}

}  // namespace
