// The expansion-board dialog against an emulated expansion board.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "resources/expandtemplate.h"
#include "tests/app/testerfixture.h"
#include "tests/dialogs/expandfixture.h"

namespace {

using namespace resources::expand;

QStringList Entry(int row, int col, int address, int channel) {
  return {QString::number(row), QString::number(col), QString::number(address), QString::number(channel)};
}

// Writes table entry k as (k, k + 1, k + 2, k + 3) with each value past 255 cut, on the board.
void FillBoardTable(board::EmulatedBoard& board) {
  std::vector<std::uint8_t> table(256);
  for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::uint8_t>(i / 4 + i % 4);
  board.WriteMemory(0, table);
}

TEST_F(ExpandDialogFixture, OpeningShowsTheGlobalFieldsAndTheBoardsTable) {
  board.ResetToFactory({.model = board::Model::Expansion, .rows = 3, .cols = 5});
  board::EmulatedBoard::Page global = board.ReadPage(0xF9);
  global[16] = 6;
  for (std::size_t b = 0; b < 8; ++b) global[17 + b] = static_cast<std::uint8_t>(0x30 + b);
  board.WritePage(0xF9, global);
  FillBoardTable(board);

  CExpandDlg opened(link);
  opened.OnInitDialog();
  EXPECT_EQ(opened.Field(kBoardCount)->text(), QStringLiteral("6"));
  for (std::size_t b = 0; b < 8; ++b) {
    EXPECT_EQ(opened.Field(kBoardAddresses[b])->text(), QString::number(0x30 + b));
  }
  EXPECT_EQ(opened.Field(kRows)->text(), QStringLiteral("3"));
  EXPECT_EQ(opened.Field(kCols)->text(), QStringLiteral("5"));
  ASSERT_EQ(opened.MappingList().rowCount(), 15);
  for (int i = 0; i < 15; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(opened.MappingList().Text(i, 0), QString::number(i));
    for (int column = 1; column < 5; ++column) {
      EXPECT_EQ(opened.MappingList().Text(i, column), QString::number(i + column - 1));
    }
  }
}

TEST_F(ExpandDialogFixture, QuickInitLaysCellsOverTheGroupsOfOneBoardAfterAnother) {
  OpenWith(3, 5);
  for (int i = 0; i < 15; ++i) List().SetText(i, 1, QStringLiteral("x"));
  dialog->OnQuickInit();
  ASSERT_EQ(List().rowCount(), 15);
  struct Case {
    int row;
    QStringList entry;
  };
  for (const Case& c : {Case{0, Entry(0, 0, 0, 0)}, Case{7, Entry(1, 2, 0, 7)}, Case{8, Entry(1, 3, 1, 0)},
                        Case{9, Entry(1, 4, 1, 1)}, Case{14, Entry(2, 4, 1, 6)}}) {
    EXPECT_EQ(Row(c.row), c.entry) << "list row " << c.row;
  }
  // Only the global block was read: nothing was written.
  EXPECT_EQ(CommandsAfter(2), (std::vector<std::uint8_t>{0x21}));
}

TEST_F(ExpandDialogFixture, WriteLayoutRebuildsTheListWhileTheBoardKeepsItsSize) {
  OpenWith(3, 5);
  Type(kRows, QStringLiteral("2"));
  Type(kCols, QStringLiteral("2"));
  dialog->OnWriteLayout();
  ASSERT_EQ(List().rowCount(), 4);
  EXPECT_EQ(List().Text(3, 0), QStringLiteral("3"));
  EXPECT_EQ(Row(3), Entry(1, 1, 0, 3));
  EXPECT_EQ(GlobalByte(26), 3);
  EXPECT_EQ(GlobalByte(25), 5);
  EXPECT_TRUE(board.ReceivedReports().empty());

  dialog->OnReadLayout();
  EXPECT_EQ(Shown(kRows), QStringLiteral("3"));
  EXPECT_EQ(Shown(kCols), QStringLiteral("5"));
  EXPECT_EQ(List().rowCount(), 4);
}

TEST_F(ExpandDialogFixture, WriteTableWritesEveryRowWithItsOwnReadModifyWrite) {
  OpenWith(2, 3);
  FillBoardTable(board);
  const std::vector<std::uint8_t> before = Table(64);
  for (int i = 0; i < 6; ++i) {
    for (int column = 1; column < 5; ++column) List().SetText(i, column, QString::number(100 + i * 4 + column));
  }
  dialog->OnWriteTable();

  // Per row four quarter reads and four quarter writes of the table.
  std::vector<std::uint8_t> expected;
  for (int i = 0; i < 6; ++i) expected.insert(expected.end(), {0x23, 0x23, 0x23, 0x23, 0x22, 0x22, 0x22, 0x22});
  EXPECT_EQ(CommandsAfter(6 * (4 * 2 + 4 * 3)), expected);
  const std::vector<std::uint8_t> after = Table(64);
  for (std::size_t b = 0; b < after.size(); ++b) {
    const std::size_t entry = b / 4;
    const int expectedByte = entry < 6 ? 100 + static_cast<int>(entry * 4 + b % 4 + 1) : before[b];
    EXPECT_EQ(after[b], expectedByte) << "byte " << b;
  }

  dialog->OnQuickInit();
  dialog->OnReadTable();
  EXPECT_EQ(Row(5), (QStringList{"121", "122", "123", "124"}));
}

TEST_F(ExpandDialogFixture, WriteTableWritesTheRowsOfATypedLayout) {
  OpenWith(2, 2);
  Type(kRows, QStringLiteral("3"));
  Type(kCols, QStringLiteral("4"));
  dialog->OnWriteLayout();
  dialog->OnWriteTable();
  ASSERT_TRUE(WaitUntil([&] { return board.ReceivedReports().size() >= 12 * 20; }));
  const std::vector<std::uint8_t> table = Table(12);
  EXPECT_EQ(table[11 * 4 + 0], 2);
  EXPECT_EQ(table[11 * 4 + 1], 3);
  EXPECT_EQ(table[11 * 4 + 2], 1);
  EXPECT_EQ(table[11 * 4 + 3], 3);
}

TEST_F(ExpandDialogFixture, TypedNumbersAreStoredInEightBits) {
  struct Case {
    const char* text;
    std::uint8_t stored;
  };
  OpenWith(2, 2);
  for (const Case& c : {Case{"300", 44}, Case{"7", 7}, Case{"", 0}, Case{"abc", 0}, Case{"-1", 255},
                        Case{"12ab", 12}, Case{" 255", 255}}) {
    SCOPED_TRACE(c.text);
    dialog = std::make_unique<CExpandDlg>(link);
    dialog->OnInitDialog();
    Type(kBoardAddresses[3], QString::fromUtf8(c.text));
    dialog->accept();
    ASSERT_TRUE(WaitUntil([&] { return GlobalByte(17 + 3) == c.stored; }, std::chrono::seconds(2)));
  }
}

TEST_F(ExpandDialogFixture, OkStoresEachGlobalFieldWithItsOwnLoadAndStore) {
  OpenWith(2, 2);
  Type(kBoardCount, QStringLiteral("3"));
  for (std::size_t b = 0; b < 8; ++b) Type(kBoardAddresses[b], QString::number(0x50 + b));
  Type(kRows, QStringLiteral("4"));
  Type(kCols, QStringLiteral("6"));
  const std::vector<std::uint8_t> table = Table(64);
  dialog->accept();

  std::vector<std::uint8_t> expected;
  for (int field = 0; field < 11; ++field) expected.insert(expected.end(), {0x21, 0x21, 0x20});
  EXPECT_EQ(CommandsAfter(11 * 7), expected);
  EXPECT_EQ(GlobalByte(16), 3);
  for (std::size_t b = 0; b < 8; ++b) EXPECT_EQ(GlobalByte(17 + b), 0x50 + b);
  EXPECT_EQ(GlobalByte(26), 4);
  EXPECT_EQ(GlobalByte(25), 6);
  EXPECT_EQ(Table(64), table);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(ExpandDialogFixture, CancelAfterWriteKeepsTheTableAndStoresNoGlobalField) {
  OpenWith(2, 2);
  const board::EmulatedBoard::Page global = board.ReadPage(0xF9);
  List().SetText(1, 3, QStringLiteral("5"));
  dialog->OnWriteTable();
  Type(kBoardCount, QStringLiteral("7"));
  Type(kRows, QStringLiteral("1"));
  ASSERT_TRUE(WaitUntil([&] { return board.ReceivedReports().size() >= 4 * 20; }));
  for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
    if (button->text() == QStringLiteral("取消")) button->click();
  }
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_EQ(Table(2)[1 * 4 + 2], 5);
  EXPECT_EQ(board.ReadPage(0xF9), global);
}

TEST_F(ExpandDialogFixture, LayoutWithoutCellsGivesAnEmptyListAndWritesNoEntry) {
  OpenWith(0, 4);
  EXPECT_EQ(List().rowCount(), 0);
  dialog->OnQuickInit();
  dialog->OnWriteTable();
  EXPECT_EQ(List().rowCount(), 0);
  EXPECT_EQ(CommandsAfter(2), (std::vector<std::uint8_t>{0x21}));
}

// Rows past the table's 64 entries stand for cells without an entry.
TEST_F(ExpandDialogFixture, RowsPastTheTableAreGreyedEmptyAndNeverWritten) {
  OpenWith(9, 9);
  ASSERT_EQ(List().rowCount(), 81);
  dialog->OnQuickInit();
  EXPECT_EQ(Row(63), Entry(7, 0, 7, 7));
  for (int row : {64, 80}) {
    SCOPED_TRACE(row);
    EXPECT_EQ(List().Text(row, 0), QString::number(row));
    EXPECT_EQ(Row(row), (QStringList{"", "", "", ""}));
    EXPECT_FALSE(List().item(row, 1)->flags() & Qt::ItemIsEnabled);
  }
  EXPECT_TRUE(List().item(63, 1)->flags() & Qt::ItemIsEditable);

  const std::vector<std::uint8_t> firstCell = board.ReadMemory(0x100, 64);
  board.ClearLog();
  dialog->OnWriteTable();
  const std::vector<std::uint8_t> commands = CommandsAfter(64 * 20);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), 0x22), 64 * 4);
  EXPECT_EQ(board.ReadMemory(0x100, 64), firstCell);
}

// The operator's whole round: lay out 3 x 4, write the table, confirm; the grid follows.
class ExpandOpenerTest : public TesterFixture {};

TEST_F(ExpandOpenerTest, ConfirmedLayoutReachesTheBoardAndTheGrid) {
  AddBoard({.model = board::Model::Expansion, .rows = 2, .cols = 2}).Plug();
  StartWindow();
  ASSERT_TRUE(WaitIdentified());

  bool driven = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<CExpandDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->Field(kRows)->setText(QStringLiteral("3"));
    dialog->Field(kCols)->setText(QStringLiteral("4"));
    dialog->OnWriteLayout();
    dialog->OnWriteTable();
    dialog->accept();
    driven = true;
  });
  window->OnCommand(resources::ID_EXPANSION_SETTINGS);
  ASSERT_TRUE(driven);

  EXPECT_EQ(window->m_grid.m_rows.load(), 3);
  EXPECT_EQ(window->m_grid.m_cols.load(), 4);
  const board::EmulatedBoard::Page global = Board().ReadPage(0xF9);
  EXPECT_EQ(global[26], 3);
  EXPECT_EQ(global[25], 4);
  const CUSBChannel::ExpansionTable table = window->m_device.GetExpansionTable();
  EXPECT_EQ(table[11], (ExpansionEntry{2, 3, 1, 3}));
  const auto parametersChanged = [this] {
    const auto log = Board().ReceivedReports();
    return std::any_of(log.begin(), log.end(), [](const plat::Report& report) {
      return report[1] == 0xAA && report[2] == 0x55 && report[3] == 0xFD;
    });
  };
  EXPECT_TRUE(WaitUntil(parametersChanged, std::chrono::seconds(5)));
}

TEST_F(ExpandOpenerTest, CancelledDialogLeavesTheGrid) {
  AddBoard({.model = board::Model::Expansion, .rows = 2, .cols = 3}).Plug();
  StartWindow();
  ASSERT_TRUE(WaitIdentified());
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<CExpandDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->Field(kRows)->setText(QStringLiteral("4"));
    dialog->reject();
  });
  window->OnCommand(resources::ID_EXPANSION_SETTINGS);
  EXPECT_EQ(window->m_grid.m_rows.load(), 2);
  EXPECT_EQ(window->m_grid.m_cols.load(), 3);
  EXPECT_EQ(Board().ReadPage(0xF9)[26], 2);
}

}  // namespace
