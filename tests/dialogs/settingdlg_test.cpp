#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTreeWidget>
#include <climits>

#include "app/identity.h"
#include "dialogs/numbertext.h"
#include "tests/dialogs/settingfixture.h"

namespace {

namespace ids = resources::setting;
using identity::kExpansionType;
using identity::kSingleBoardType;

QString Text(const CSettingDlg& dialog, int id) { return qobject_cast<QLineEdit*>(dialog.Item(id))->text(); }
void Type(CSettingDlg& dialog, int id, const QString& text) { qobject_cast<QLineEdit*>(dialog.Item(id))->setText(text); }
void Choose(CSettingDlg& dialog, int radio) { qobject_cast<QRadioButton*>(dialog.Item(radio))->setChecked(true); }
bool Chosen(const CSettingDlg& dialog, int radio) { return qobject_cast<QRadioButton*>(dialog.Item(radio))->isChecked(); }
GridCell& Preview(const CSettingDlg& dialog) { return dialog.m_preview->m_cells[0][0]; }

// A sample row with `value` in every channel column, appended below the others.
void AddSample(CSettingDlg& dialog, const QString& value, bool ticked) {
  QStringList texts{QString::number(dialog.m_sampleList->topLevelItemCount())};
  for (int k = 0; k < 32; ++k) texts << value;
  auto* row = new QTreeWidgetItem(texts);
  row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
  row->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
  dialog.m_sampleList->addTopLevelItem(row);
}

// --- number texts ---------------------------------------------------------------------------

TEST(NumberText, ReadsLikeThePlatformConversionAndCutsTo16Bits) {
  struct Case {
    const char* text;
    int value;
    std::uint16_t cut;
  } cases[] = {
      {"1234", 1234, 1234},   {"  42", 42, 42},          {"\t-3", -3, 65533},
      {"+7x", 7, 7},          {"12abc", 12, 12},         {"1 2", 1, 1},
      {"abc", 0, 0},          {"", 0, 0},                {"-", 0, 0},
      {"70000", 70000, 4464}, {"-1", -1, 65535},         {"99999999999", INT_MAX, 65535},
      {"-99999999999", INT_MIN, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextToInt(QString::fromUtf8(c.text)), c.value) << c.text;
    EXPECT_EQ(TextToU16(QString::fromUtf8(c.text)), c.cut) << c.text;
  }
}

// --- averaging and limits, no board needed -----------------------------------------------

class SettingAverageTest : public ::testing::Test {
 protected:
  void SetUp() override { dialog.OnInitDialog(); }
  ScriptedPrompts prompts;
  CSettingDlg dialog;
};

TEST_F(SettingAverageTest, AveragesTickedSamplesAndDerivesLimitsByEitherRule) {
  struct Case {
    const char* name;
    bool percentageRule;
    const char* percentage;
    const char* lower;
    const char* upper;
    std::vector<std::pair<const char*, bool>> samples;  // value, ticked
    std::uint16_t average, low, high;
  } cases[] = {
      {"P10", true, "10", "0", "0", {{"1000", true}}, 1000, 900, 1100},
      {"P15", true, "15", "0", "0", {{"1234", true}}, 1234, 1048, 1419},
      {"P10 halves cut", true, "10", "0", "0", {{"1005", true}}, 1005, 904, 1105},
      {"offsets", false, "10", "50", "80", {{"1000", true}}, 1000, 950, 1080},
      {"offset wraps", false, "10", "50", "80", {{"30", true}}, 30, 65516, 110},
      {"three ticked", false, "0", "0", "0", {{"100", true}, {"101", true}, {"103", true}}, 101, 101, 101},
      {"one unticked", false, "0", "0", "0", {{"100", true}, {"101", true}, {"103", false}}, 100, 100, 100},
      {"toward zero", false, "0", "0", "0", {{"-7", true}, {"-8", true}}, 65529, 65529, 65529},
      {"not a number", false, "0", "0", "0", {{"x", true}, {"10", true}}, 5, 5, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CSettingDlg fresh;
    fresh.OnInitDialog();
    Choose(fresh, c.percentageRule ? ids::kPercentageRule : ids::kOffsetRule);
    Type(fresh, ids::kPercentage, c.percentage);
    Type(fresh, ids::kLowerOffset, c.lower);
    Type(fresh, ids::kUpperOffset, c.upper);
    Type(fresh, ids::kViewMax, "3000");
    Type(fresh, ids::kViewMin, "-1");
    for (const auto& [value, ticked] : c.samples) AddSample(fresh, value, ticked);
    Click(fresh, ids::kAverage);

    const GridCell& cell = Preview(fresh);
    for (int k : {0, 31}) {
      EXPECT_EQ(cell.reference[k].load(), c.average);
      EXPECT_EQ(cell.thresholdLow[k].load(), c.low);
      EXPECT_EQ(cell.thresholdHigh[k].load(), c.high);
    }
    const QTreeWidgetItem* averageRow = fresh.m_averageList->topLevelItem(0);
    EXPECT_EQ(averageRow->text(0), "AVG");
    EXPECT_EQ(averageRow->text(32), QString::number(c.average));
    EXPECT_EQ(averageRow->checkState(0), Qt::Checked);
    EXPECT_EQ(cell.viewMax.load(), 3000.0);
    EXPECT_EQ(cell.viewMin.load(), 65535.0);
  }
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(SettingAverageTest, NoTickedRowGivesOneErrPerChannelAndAllOnes) {
  Choose(dialog, ids::kOffsetRule);
  Type(dialog, ids::kLowerOffset, "50");
  Type(dialog, ids::kUpperOffset, "80");
  AddSample(dialog, "1000", false);
  AddSample(dialog, "1200", false);
  Click(dialog, ids::kAverage);

  ASSERT_EQ(prompts.messages.size(), 32u);
  for (const auto& message : prompts.messages) EXPECT_EQ(message.text, "ERR");
  const GridCell& cell = Preview(dialog);
  for (int k = 0; k < 32; ++k) {
    EXPECT_EQ(cell.reference[k].load(), 65535);
    EXPECT_EQ(cell.thresholdLow[k].load(), 65485);
    EXPECT_EQ(cell.thresholdHigh[k].load(), 79);  // wraps past 65535
  }
}

TEST_F(SettingAverageTest, AverageWithoutSamplesDoesNothing) {
  Preview(dialog).reference[3] = 77;
  Click(dialog, ids::kAverage);
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(Preview(dialog).reference[3].load(), 77);
  EXPECT_EQ(dialog.m_averageList->topLevelItem(0)->checkState(0), Qt::Unchecked);
}

TEST_F(SettingAverageTest, MaskButtonsAndDoubleClicksEditThePreview) {
  Click(dialog, ids::kCloseAll);
  for (const auto& mask : Preview(dialog).mask) EXPECT_EQ(mask.load(), MASK_CLOSED);
  Click(dialog, ids::kOpenAll);
  for (const auto& mask : Preview(dialog).mask) EXPECT_EQ(mask.load(), MASK_OPEN);

  // The double-click acts on the channel that the paint after the last move found.
  CColorBar& preview = *dialog.m_preview;
  const double slot = (preview.width() - 1) / 32.0;
  const QPointF onChannel5(5 * slot + slot / 2, preview.height() / 2);
  QMouseEvent move(QEvent::MouseMove, onChannel5, preview.mapToGlobal(onChannel5), Qt::NoButton, Qt::NoButton, {});
  QCoreApplication::sendEvent(&preview, &move);
  QImage frame(preview.size(), QImage::Format_RGB32);
  preview.Paint(frame);
  std::vector<int> seen;
  for (int click = 0; click < 3; ++click) {
    QMouseEvent twice(QEvent::MouseButtonDblClick, onChannel5, preview.mapToGlobal(onChannel5), Qt::LeftButton,
                      Qt::LeftButton, {});
    QCoreApplication::sendEvent(&preview, &twice);
    seen.push_back(Preview(dialog).mask[5].load());
  }
  EXPECT_EQ(seen, (std::vector<int>{MASK_CLOSED, MASK_SHOWN, MASK_OPEN}));
  EXPECT_EQ(Preview(dialog).mask[4].load(), MASK_OPEN);
  EXPECT_EQ(Preview(dialog).mask[6].load(), MASK_OPEN);
}

// --- the single-board model -----------------------------------------------------------------

class SettingSingleTest : public SettingFixture {
 protected:
  void SetUp() override {
    StartWith({});
    board::EmulatedBoard& board = Board();
    board.WritePage(0xFA, WordBytes(Ramp(500, 3)));
    board.WritePage(0xFB, WordBytes(Ramp(600, 3)));
    board.WritePage(0xFC, WordBytes(Ramp(400, 3)));
    board::EmulatedBoard::Page mask;
    mask.fill(0x77);  // the bytes after the 32 masks go back as zeros
    for (std::size_t k = 0; k < 32; ++k) mask[k] = static_cast<std::uint8_t>(k % 3);
    board.WritePage(0xFD, mask);
    board::EmulatedBoard::Page global = board.ReadPage(0xF9);
    std::fill(global.begin() + 27, global.end(), 0x5A);
    board.WritePage(0xF9, global);
  }
};

TEST_F(SettingSingleTest, OpensWithTheBoardPagesAndTheGlobalBlock) {
  auto dialog = OpenDialog(kSingleBoardType);
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("基准值参数设定"));
  const GridCell& cell = Preview(*dialog);
  EXPECT_EQ(Values(cell.reference), Ramp(500, 3));
  EXPECT_EQ(Values(cell.thresholdHigh), Ramp(600, 3));
  EXPECT_EQ(Values(cell.thresholdLow), Ramp(400, 3));
  EXPECT_EQ(cell.mask[4].load(), 1);
  EXPECT_EQ(cell.mask[5].load(), 2);
  EXPECT_EQ(cell.viewMax.load(), 2000.0);
  EXPECT_EQ(Values(cell.data), Values(window->m_grid.m_cells[0][0].data));
  EXPECT_EQ(Text(*dialog, ids::kViewMax), "2000");
  EXPECT_EQ(Text(*dialog, ids::kViewMin), "0");
  EXPECT_EQ(Text(*dialog, ids::kPercentage), "10");
  EXPECT_EQ(Text(*dialog, ids::kLowerOffset), "100");
  EXPECT_EQ(Text(*dialog, ids::kUpperOffset), "100");
  EXPECT_TRUE(Chosen(*dialog, ids::kPercentageRule));
  EXPECT_FALSE(Chosen(*dialog, ids::kOffsetRule));
  EXPECT_TRUE(WritesIn(Board().ReceivedReports()).empty());
}

TEST_F(SettingSingleTest, ReadPutsTheNewestSampleOnTopTicked) {
  board::EmulatedBoard& board = Board();
  board.Touch(0, 7, 4321);
  ASSERT_TRUE(WaitUntil([&] { return window->m_grid.m_cells[0][0].data[7].load() == 4321; }));
  auto dialog = OpenDialog(kSingleBoardType);
  Click(*dialog, ids::kRead);
  board.Release(0, 7);
  ASSERT_TRUE(WaitUntil([&] { return window->m_grid.m_cells[0][0].data[7].load() != 4321; }));
  Click(*dialog, ids::kRead);

  ASSERT_EQ(dialog->m_sampleList->topLevelItemCount(), 2);
  const QTreeWidgetItem* newest = dialog->m_sampleList->topLevelItem(0);
  const QTreeWidgetItem* oldest = dialog->m_sampleList->topLevelItem(1);
  EXPECT_EQ(newest->text(0), "1");
  EXPECT_EQ(oldest->text(0), "0");
  EXPECT_EQ(oldest->text(8), "4321");
  EXPECT_EQ(newest->text(8), QString::number(window->m_grid.m_cells[0][0].data[7].load()));
  EXPECT_EQ(newest->checkState(0), Qt::Checked);
  EXPECT_EQ(oldest->checkState(0), Qt::Checked);
}

TEST_F(SettingSingleTest, OkWritesMaskLimitsReferenceThenTheGlobalBlock) {
  const board::EmulatedBoard::Page before = Board().ReadPage(0xF9);
  auto dialog = OpenDialog(kSingleBoardType);
  Type(*dialog, ids::kViewMax, "3000");
  Type(*dialog, ids::kViewMin, "-5");
  Type(*dialog, ids::kPercentage, "abc");
  Type(*dialog, ids::kLowerOffset, "7");
  Type(*dialog, ids::kUpperOffset, " 9x");
  Choose(*dialog, ids::kOffsetRule);
  Click(*dialog, ids::kOk);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);

  const std::vector<BoardWrite> writes = WritesOnceThere(5);
  ASSERT_EQ(writes.size(), 5u);
  std::vector<int> pages;
  for (const BoardWrite& write : writes) pages.push_back(write.target);
  EXPECT_EQ(pages, (std::vector<int>{0xFD, 0xFB, 0xFC, 0xFA, 0xF9}));
  std::array<std::uint8_t, 64> mask{};
  for (std::size_t k = 0; k < 32; ++k) mask[k] = static_cast<std::uint8_t>(k % 3);
  EXPECT_EQ(writes[0].data, mask);
  EXPECT_EQ(writes[1].data, WordBytes(Ramp(600, 3)));
  EXPECT_EQ(writes[2].data, WordBytes(Ramp(400, 3)));
  EXPECT_EQ(writes[3].data, WordBytes(Ramp(500, 3)));

  GlobalBlock expected;
  std::copy_n(before.begin(), GlobalBlock::kSize, expected.bytes.begin());
  expected.SetU16(GlobalBlock::VIEWDATARANGE_MAX, 3000);
  expected.SetU16(GlobalBlock::VIEWDATARANGE_MIN, 65531);
  expected.SetU8(GlobalBlock::TYPE, 0);
  expected.SetU16(GlobalBlock::PERCENTAGE, 0);
  expected.SetU16(GlobalBlock::ALLOWEDTHRES_LOW, 7);
  expected.SetU16(GlobalBlock::ALLOWEDTHRES_HIGH, 9);
  EXPECT_TRUE(std::equal(expected.bytes.begin(), expected.bytes.end(), writes[4].data.begin()));
  EXPECT_TRUE(std::all_of(writes[4].data.begin() + 27, writes[4].data.end(), [](auto b) { return b == 0x5A; }));
  EXPECT_EQ(window->m_device.GetGlobalBlock(), expected);
}

TEST_F(SettingSingleTest, OkWritesTheMaskAsEditedAndTheAveragedLimits) {
  auto dialog = OpenDialog(kSingleBoardType);
  Choose(*dialog, ids::kOffsetRule);
  Type(*dialog, ids::kLowerOffset, "10");
  Type(*dialog, ids::kUpperOffset, "20");
  AddSample(*dialog, "1000", true);
  Click(*dialog, ids::kAverage);
  Click(*dialog, ids::kCloseAll);
  Click(*dialog, ids::kOk);

  const std::vector<BoardWrite> writes = WritesOnceThere(5);
  ASSERT_EQ(writes.size(), 5u);
  std::array<std::uint8_t, 64> closed{};
  std::fill_n(closed.begin(), 32, MASK_CLOSED);
  EXPECT_EQ(writes[0].data, closed);
  EXPECT_EQ(writes[1].data, WordBytes(Ramp(1020, 0)));
  EXPECT_EQ(writes[2].data, WordBytes(Ramp(990, 0)));
  EXPECT_EQ(writes[3].data, WordBytes(Ramp(1000, 0)));
}

TEST_F(SettingSingleTest, CancelAndClosingWriteNothing) {
  for (const bool closeWindow : {false, true}) {
    SCOPED_TRACE(closeWindow ? "closed" : "cancelled");
    Board().ClearLog();
    auto dialog = OpenDialog(kSingleBoardType);
    Click(*dialog, ids::kRead);
    Click(*dialog, ids::kAverage);
    Click(*dialog, ids::kCloseAll);
    WhenShown<CSettingDlg>([closeWindow](CSettingDlg* shown) {
      if (closeWindow) shown->close();
      else Click(*shown, ids::kCancel);
    });
    EXPECT_EQ(dialog->exec(), QDialog::Rejected);
    EXPECT_TRUE(WritesAfterSettling().empty());
  }
}

TEST_F(SettingSingleTest, UnknownDeviceTypeLoadsAndWritesNothing) {
  auto dialog = OpenDialog(QStringLiteral("SOMETHINGELSE"));
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("基准值参数设定"));  // the template's caption
  EXPECT_EQ(Text(*dialog, ids::kViewMax), "");
  EXPECT_EQ(Preview(*dialog).reference[0].load(), 0);
  Click(*dialog, ids::kRead);
  EXPECT_EQ(dialog->m_sampleList->topLevelItemCount(), 0);
  Click(*dialog, ids::kOk);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(CommandCount(Board().ReceivedReports(), 0x21), 0);
  EXPECT_TRUE(WritesAfterSettling().empty());
}

// --- the expansion model --------------------------------------------------------------------

class SettingExpansionTest : public SettingFixture {
 protected:
  static constexpr int kCell = 5;  // row 1, column 2 of a 2 x 3 grid
  static constexpr std::uint16_t kBase = (kCell + 1) * 0x100;

  void SetUp() override {
    StartWith(board::BoardConfig::Expansion(2, 3));
    board::EmulatedBoard& board = Board();
    board.WriteMemory(kBase + 0x00, WordBytes(Ramp(700, 1)));
    board.WriteMemory(kBase + 0x40, WordBytes(Ramp(800, 1)));
    board.WriteMemory(kBase + 0x80, WordBytes(Ramp(600, 1)));
    std::array<std::uint8_t, 32> mask{};
    for (std::size_t k = 0; k < 32; ++k) mask[k] = static_cast<std::uint8_t>(k % 2);
    board.WriteMemory(kBase + 0xC0, mask);
    GlobalBlock settings;
    settings.SetU8(GlobalBlock::FLAGS, 0x0F);
    settings.SetU16(GlobalBlock::VIEWDATARANGE_MAX, 1500);
    settings.SetU16(GlobalBlock::VIEWDATARANGE_MIN, 100);
    settings.SetU8(GlobalBlock::TYPE, 0);
    settings.SetU16(GlobalBlock::PERCENTAGE, 12);
    settings.SetU16(GlobalBlock::ALLOWEDTHRES_HIGH, 33);
    settings.SetU16(GlobalBlock::ALLOWEDTHRES_LOW, 22);
    m_settings.assign(settings.bytes.begin(), settings.bytes.begin() + 15);
    board.WriteMemory(kBase + 0xE0, m_settings);
  }

  std::vector<std::uint8_t> m_settings;
};

TEST_F(SettingExpansionTest, OpensWithTheCellBlocksAndSettingsOfItsCell) {
  auto dialog = OpenDialog(kExpansionType, 1, 2);
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("第1行,第2列 基准值参数设定"));
  const GridCell& cell = Preview(*dialog);
  EXPECT_EQ(Values(cell.reference), Ramp(700, 1));
  EXPECT_EQ(Values(cell.thresholdHigh), Ramp(800, 1));
  EXPECT_EQ(Values(cell.thresholdLow), Ramp(600, 1));
  EXPECT_EQ(cell.mask[1].load(), 1);
  EXPECT_EQ(cell.mask[2].load(), 0);
  EXPECT_EQ(cell.viewMax.load(), 1500.0);
  EXPECT_EQ(cell.viewMin.load(), 100.0);
  EXPECT_EQ(Text(*dialog, ids::kViewMax), "1500");
  EXPECT_EQ(Text(*dialog, ids::kViewMin), "100");
  EXPECT_EQ(Text(*dialog, ids::kPercentage), "12");
  EXPECT_EQ(Text(*dialog, ids::kLowerOffset), "22");
  EXPECT_EQ(Text(*dialog, ids::kUpperOffset), "33");
  EXPECT_TRUE(Chosen(*dialog, ids::kOffsetRule));
}

TEST_F(SettingExpansionTest, ReadSamplesTheGridCellOfTheTableEntry) {
  Board().Touch(kCell, 7, 4321);
  ASSERT_TRUE(WaitUntil([&] { return window->m_grid.m_cells[2][1].data[7].load() == 4321; }));
  auto dialog = OpenDialog(kExpansionType, 1, 2);
  Click(*dialog, ids::kRead);
  ASSERT_EQ(dialog->m_sampleList->topLevelItemCount(), 1);
  EXPECT_EQ(dialog->m_sampleList->topLevelItem(0)->text(8), "4321");
  EXPECT_EQ(Preview(*dialog).data[7].load(), 4321);
}

TEST_F(SettingExpansionTest, OkWritesTheCellBlocksThenItsSettings) {
  auto dialog = OpenDialog(kExpansionType, 1, 2);
  Type(*dialog, ids::kPercentage, "25");
  Choose(*dialog, ids::kPercentageRule);
  Click(*dialog, ids::kOk);

  const std::vector<BoardWrite> writes = WritesOnceThere(5);
  ASSERT_EQ(writes.size(), 5u);
  std::vector<std::pair<int, int>> places;
  for (const BoardWrite& write : writes) places.emplace_back(write.target, write.length);
  EXPECT_EQ(places, (std::vector<std::pair<int, int>>{
                        {kBase + 0xC0, 32}, {kBase + 0x40, 64}, {kBase + 0x80, 64}, {kBase + 0x00, 64}, {kBase + 0xE0, 15}}));
  std::array<std::uint8_t, 64> mask{};
  for (std::size_t k = 0; k < 32; ++k) mask[k] = static_cast<std::uint8_t>(k % 2);
  EXPECT_EQ(writes[0].data, mask);
  EXPECT_EQ(writes[1].data, WordBytes(Ramp(800, 1)));
  EXPECT_EQ(writes[2].data, WordBytes(Ramp(600, 1)));
  EXPECT_EQ(writes[3].data, WordBytes(Ramp(700, 1)));
  std::array<std::uint8_t, 64> settings{};
  std::copy(m_settings.begin(), m_settings.end(), settings.begin());
  settings[GlobalBlock::TYPE] = 1;
  settings[GlobalBlock::PERCENTAGE] = 25;
  EXPECT_EQ(writes[4].data, settings);
}

TEST_F(SettingExpansionTest, CellNumberOutsideTheTableIsNeitherReadNorWritten) {
  for (const int row : {30, 100}) {  // cells 90 (past the table) and 300 (past one byte)
    SCOPED_TRACE(row);
    Board().ClearLog();
    auto dialog = OpenDialog(kExpansionType, row, 0);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("第%1行,第0列 基准值参数设定").arg(row));
    EXPECT_EQ(Text(*dialog, ids::kViewMax), "");
    Click(*dialog, ids::kRead);
    EXPECT_EQ(dialog->m_sampleList->topLevelItemCount(), 0);
    Click(*dialog, ids::kOk);
    EXPECT_TRUE(WritesAfterSettling().empty());
    EXPECT_EQ(CommandCount(Board().ReceivedReports(), 0x23), 0);
  }
}

// --- the main window's commands -------------------------------------------------------------

class SettingCommandsTest : public SettingFixture {};

TEST_F(SettingCommandsTest, EmptyGridShowsNoMenu) {
  StartWindow();
  ASSERT_EQ(window->m_grid.m_rows.load(), 0);
  EXPECT_EQ(RightClick(GridPoint(0.5, 0.5)), std::nullopt);
}

TEST_F(SettingCommandsTest, SingleBoardMenuEntryAndSettingsReloadCellZero) {
  StartWith({});
  EXPECT_EQ(RightClick(GridPoint(0.5, 0.5)), QStringLiteral("基准值参数设定"));

  QString title;
  WhenShown<CSettingDlg>([&](CSettingDlg* dialog) {
    title = dialog->windowTitle();
    Click(*dialog, ids::kCloseAll);
    Type(*dialog, ids::kViewMax, "2500");
    Click(*dialog, ids::kOk);
  });
  EXPECT_EQ(RightClick(GridPoint(0.5, 0.5), true), QStringLiteral("基准值参数设定"));
  EXPECT_EQ(title, QStringLiteral("基准值参数设定"));
  const GridCell& cell = window->m_grid.m_cells[0][0];
  for (const auto& mask : cell.mask) EXPECT_EQ(mask.load(), MASK_CLOSED);
  EXPECT_EQ(cell.viewMax.load(), 2500.0);
}

TEST_F(SettingCommandsTest, SettingsCommandReloadsOnlyWhenConfirmed) {
  StartWith({});
  for (const bool confirm : {false, true}) {
    SCOPED_TRACE(confirm ? "confirmed" : "cancelled");
    WhenShown<CSettingDlg>([confirm](CSettingDlg* dialog) {
      Click(*dialog, ids::kCloseAll);
      Click(*dialog, confirm ? ids::kOk : ids::kCancel);
    });
    window->OnCommand(resources::ID_EDIT_SETTINGS);
    EXPECT_EQ(window->m_grid.m_cells[0][0].mask[0].load(), confirm ? MASK_CLOSED : MASK_OPEN);
  }
}

TEST_F(SettingCommandsTest, ExpansionCellMenuNamesTheCellInTheGridsOwnCoordinates) {
  StartWith(board::BoardConfig::Expansion(2, 3));
  const QRect grid = window->m_grid.geometry();
  ASSERT_GT(grid.x(), 1);
  ASSERT_GT(grid.y(), 1);
  EXPECT_EQ(RightClick(GridPoint(2.5 / 3, 0.75)), QStringLiteral("1行2列参数设定"));
  // Just left of and above the corner of cell (1, 2): taken in the client's coordinates it
  // would fall into that cell.
  const double cw = (grid.width() - 1) / 3.0;
  const double ch = (grid.height() - 1) / 2.0;
  const QPoint nearCorner = grid.topLeft() + QPoint(static_cast<int>(2 * cw) - 1, static_cast<int>(ch) - 1);
  EXPECT_EQ(RightClick(nearCorner), QStringLiteral("0行1列参数设定"));
  // Below the last row there is no cell to edit.
  const QPoint below = grid.topLeft() + QPoint(grid.width() / 2, grid.height() + 2);
  EXPECT_EQ(MenuShownBy([&] { window->OnRButtonDown(Qt::RightButton, {}, below); }, false), std::nullopt);
}

TEST_F(SettingCommandsTest, ExpansionCellSettingsReloadExactlyThatCell) {
  StartWith(board::BoardConfig::Expansion(2, 3));
  QString title;
  WhenShown<CSettingDlg>([&](CSettingDlg* dialog) {
    title = dialog->windowTitle();
    Click(*dialog, ids::kCloseAll);
    Click(*dialog, ids::kOk);
  });
  EXPECT_EQ(RightClick(GridPoint(2.5 / 3, 0.75), true), QStringLiteral("1行2列参数设定"));
  EXPECT_EQ(title, QStringLiteral("第1行,第2列 基准值参数设定"));
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 3; ++col) {
      const std::uint8_t expected = row == 1 && col == 2 ? MASK_CLOSED : MASK_OPEN;
      EXPECT_EQ(window->m_grid.m_cells[col][row].mask[0].load(), expected) << row << "," << col;
    }
  }
  const std::vector<std::uint8_t> masks = Board().ReadMemory(6 * 0x100 + 0xC0, 32);
  EXPECT_TRUE(std::all_of(masks.begin(), masks.end(), [](auto m) { return m == MASK_CLOSED; }));
}

TEST_F(SettingCommandsTest, UnknownDeviceTypeShowsAnEmptyEntryAndReloadsNothing) {
  StartWith({});
  board::EmulatedBoard::Page identity = Board().ReadPage(0xFE);
  std::fill(identity.begin() + 48, identity.end(), 0);
  const char other[] = "OTHERTESTER";
  std::copy_n(other, sizeof other - 1, identity.begin() + 48);
  ASSERT_TRUE(Board().WritePage(0xFE, identity));
  const std::uint16_t shown = window->m_grid.m_cells[0][0].reference[0].load();
  Board().WritePage(0xFA, WordBytes(Ramp(static_cast<std::uint16_t>(shown + 100), 0)));

  bool opened = false;
  WhenShown<CSettingDlg>([&](CSettingDlg* dialog) {
    opened = true;
    Click(*dialog, ids::kOk);
  });
  EXPECT_EQ(RightClick(GridPoint(0.5, 0.5), true), QString());
  EXPECT_TRUE(opened);
  EXPECT_EQ(window->m_grid.m_cells[0][0].reference[0].load(), shown);
  EXPECT_TRUE(WritesAfterSettling().empty());
}

TEST_F(SettingCommandsTest, CheckMarksFollowTheBoardsFlagsEachTimeAMenuOpens) {
  StartWith({});
  QMenu* buzzer = qobject_cast<QMenu*>(window->MenuAction(resources::ID_BUZZER_ENABLE)->parent());
  QMenu* lamps = qobject_cast<QMenu*>(window->MenuAction(resources::ID_LED_ENABLE)->parent());
  for (const std::uint8_t flags : {0x0A, 0x05, 0x03}) {
    SCOPED_TRACE(flags);
    board::EmulatedBoard::Page global = Board().ReadPage(0xF9);
    global[0] = flags;
    Board().WritePage(0xF9, global);
    // The dialog's OK reloads the global block before it writes it back.
    WhenShown<CSettingDlg>([](CSettingDlg* dialog) { Click(*dialog, ids::kOk); });
    window->OnCommand(resources::ID_EDIT_SETTINGS);
    for (QMenu* menu : {buzzer, lamps}) {
      menu->popup(QPoint(0, 0));
      menu->close();
    }
    EXPECT_EQ(window->MenuAction(resources::ID_BUZZER_ENABLE)->isChecked(), (flags & 1) != 0);
    EXPECT_EQ(window->MenuAction(resources::ID_BUZZER_INVERT)->isChecked(), (flags & 2) != 0);
    EXPECT_EQ(window->MenuAction(resources::ID_LED_ENABLE)->isChecked(), (flags & 4) != 0);
    EXPECT_EQ(window->MenuAction(resources::ID_LED_INVERT)->isChecked(), (flags & 8) != 0);
  }
}

}  // namespace
