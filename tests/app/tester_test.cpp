#include <QKeyEvent>
#include <QProgressBar>

#include "app/identity.h"
#include "resources/stringtable.h"
#include "tests/app/testerfixture.h"

namespace {

using resources::ID_EDIT_SETTINGS;
using resources::ID_EXPANSION_SETTINGS;

// The buzzer byte of every WriteOutputs report in the log, oldest first.
std::vector<int> BuzzerWrites(const std::vector<plat::Report>& log) {
  std::vector<int> levels;
  for (std::size_t i = 0; i + 1 < log.size(); ++i) {
    if (log[i][1] == 0xAA && log[i][2] == 0x55 && log[i][3] == 0x25) levels.push_back(log[i + 1][1 + 8]);
  }
  return levels;
}

// The start of the board's log as output writes, each named by the byte it changed
// ("byte=value", or "unchanged"), and status queries.
std::vector<std::string> PulseOf(const std::vector<plat::Report>& log) {
  std::vector<std::string> steps;
  std::array<std::uint8_t, 64> outputs{};
  for (std::size_t i = 0; i + 1 < log.size() && steps.size() < 6; ++i) {
    if (log[i][1] != 0xAA || log[i][2] != 0x55) continue;
    if (log[i][3] == 0x1C) steps.push_back("status");
    if (log[i][3] != 0x25) continue;
    std::string step = "unchanged";
    for (std::size_t b = 0; b < 64; ++b) {
      if (log[i + 1][1 + b] != outputs[b]) {
        step = std::to_string(b) + "=" + std::to_string(log[i + 1][1 + b]);
        break;
      }
    }
    steps.push_back(step);
    std::copy_n(log[i + 1].begin() + 1, 64, outputs.begin());
  }
  return steps;
}

// The buzzer was switched on and then off again.
bool HasBeep(const std::vector<int>& buzzer) {
  const auto on = std::find(buzzer.begin(), buzzer.end(), 1);
  return on != buzzer.end() && std::find(on, buzzer.end(), 0) != buzzer.end();
}

int CountCommands(const std::vector<plat::Report>& log, std::uint8_t code) {
  int count = 0;
  for (const plat::Report& report : log) {
    if (report[1] == 0xAA && report[2] == 0x55 && report[3] == code) ++count;
  }
  return count;
}

class TesterTest : public TesterFixture {};

TEST_F(TesterTest, StartsWithoutBoardThenIdentifiesOneThatIsPluggedIn) {
  StartWindow();
  EXPECT_EQ(Title(), QStringLiteral("设备已经断开"));
  EXPECT_TRUE(AllTopLevel(false));
  EXPECT_EQ(Pane(0), QStringLiteral("设备未插入"));
  EXPECT_EQ(Pane(2), QStringLiteral("设备未插入"));
  EXPECT_EQ(window->m_grid.m_rows.load(), 0);

  int progressShows = 0;
  int progressHides = 0;
  QProgressBar& progress = window->m_statusBar.m_progress;
  struct Filter : QObject {
    int& shows;
    int& hides;
    Filter(int& s, int& h) : shows(s), hides(h) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Show) ++shows;
      if (event->type() == QEvent::Hide) ++hides;
      return false;
    }
  } filter(progressShows, progressHides);
  progress.installEventFilter(&filter);

  board::EmulatedBoard& board = AddBoard();
  ASSERT_TRUE(board.Plug());
  ASSERT_TRUE(WaitIdentified());
  ASSERT_TRUE(WaitForFrames(3));
  progress.removeEventFilter(&filter);

  const qsizetype plugged = titles.indexOf(QStringLiteral("USB设备已经插入"));
  ASSERT_GE(plugged, 1);
  EXPECT_EQ(titles.at(plugged - 1), QStringLiteral("设备已经断开"));
  ASSERT_GT(titles.size(), plugged + 1);
  EXPECT_TRUE(titles.at(plugged + 1).startsWith(QStringLiteral("当前帧=")));
  // Frame titles count up; a coalesced title may skip numbers, never go back.
  int previous = -1;
  for (const QString& title : titles.mid(plugged + 1)) {
    const int frame = title.mid(4).toInt();
    EXPECT_GT(frame, previous) << title.toStdString();
    previous = frame;
  }
  EXPECT_EQ(PulseOf(board.ReceivedReports()),
            (std::vector<std::string>{"9=1", "8=1", "status", "1=1", "unchanged", "8=0"}));

  EXPECT_EQ(progressShows, 1);
  EXPECT_EQ(progressHides, 1);
  EXPECT_EQ(window->m_statusBar.m_progressShown, 0);
  EXPECT_EQ(Pane(0), QStringLiteral("设备已经插入"));
  EXPECT_EQ(window->m_statusBar.m_paneBackColor[0], QColor(0, 255, 0));
  EXPECT_EQ(Pane(1), identity::DeviceIdText(board.ReadPage(CUSBChannel::PAGE_IDENTITY)));
  EXPECT_EQ(Pane(2), resources::VendorLine1());
  EXPECT_EQ(window->m_statusBar.m_paneAlign[2], TEXT_RIGHT);
  EXPECT_TRUE(AllTopLevel(true));
  EXPECT_TRUE(window->MenuAction(ID_EDIT_SETTINGS)->isEnabled());
  EXPECT_FALSE(window->MenuAction(ID_EXPANSION_SETTINGS)->isEnabled());

  EXPECT_EQ(window->m_grid.m_rows.load(), 1);
  EXPECT_EQ(window->m_grid.m_cols.load(), 1);
  const auto reference = board.ReadPage(CUSBChannel::PAGE_REFERENCE);
  const auto high = board.ReadPage(CUSBChannel::PAGE_THRESHOLD_HIGH);
  const GridCell& cell = window->m_grid.m_cells[0][0];
  for (int k = 0; k < 32; ++k) {
    EXPECT_EQ(cell.reference[k].load(), reference[2 * k] | (reference[2 * k + 1] << 8));
    EXPECT_EQ(cell.thresholdHigh[k].load(), high[2 * k] | (high[2 * k + 1] << 8));
  }
  const auto global = board.ReadPage(CUSBChannel::PAGE_GLOBAL);
  EXPECT_EQ(cell.viewMax.load(), global[4] | (global[5] << 8));
  EXPECT_EQ(cell.viewMin.load(), global[6] | (global[7] << 8));
}

TEST_F(TesterTest, BoardPresentAtStartIsIdentifiedWithoutANotice) {
  AddBoard(board::BoardConfig::Expansion(2, 3)).Plug();
  StartWindow();
  EXPECT_EQ(Title(), QStringLiteral("USB设备已经插入"));
  ASSERT_TRUE(WaitIdentified());
  EXPECT_EQ(window->m_grid.m_rows.load(), 2);
  EXPECT_EQ(window->m_grid.m_cols.load(), 3);
  EXPECT_FALSE(window->MenuAction(ID_EDIT_SETTINGS)->isEnabled());
  EXPECT_TRUE(window->MenuAction(ID_EXPANSION_SETTINGS)->isEnabled());
}

struct IndicationCase {
  const char* name;
  board::BoardConfig config;
  std::vector<int> failingCells;
  std::uint8_t buzzer, lampA, lampB;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const IndicationCase& c, std::ostream* out) { *out << c.name; }

class IndicationTest : public TesterFixture, public ::testing::WithParamInterface<IndicationCase> {};

TEST_P(IndicationTest, FailingCellsDriveBuzzerAndLamps) {
  const IndicationCase& c = GetParam();
  board::EmulatedBoard& board = AddBoard(c.config);
  board.Plug();
  StartWindow();
  ASSERT_TRUE(WaitIdentified());
  ASSERT_TRUE(WaitAllPass());
  for (int cell : c.failingCells) ASSERT_TRUE(board.Touch(cell, 5));
  EXPECT_TRUE(WaitUntil([&] {
    return Output(CUSBChannel::OUTPUT_BUZZER) == c.buzzer && Output(CUSBChannel::OUTPUT_LAMP_A) == c.lampA &&
           Output(CUSBChannel::OUTPUT_LAMP_B) == c.lampB;
  })) << int(Output(8)) << " " << int(Output(6)) << " " << int(Output(7));
  EXPECT_EQ(window->m_grid.m_failCount.load(), static_cast<int>(c.failingCells.size()))
      << "grid " << window->m_grid.m_rows.load() << "x" << window->m_grid.m_cols.load() << " title "
      << Title().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IndicationTest,
    ::testing::Values(IndicationCase{"AllPass", {}, {}, 0, 0, 1},
                      IndicationCase{"OneFailingChannel", {}, {0}, 1, 1, 0},
                      IndicationCase{"ThreeFailingCellsCarryTheCount", board::BoardConfig::Expansion(2, 2), {0, 1, 3}, 3, 3, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TesterTest, FlagTogglesChangeTheBoardAndTakeEffectNextCycle) {
  board::EmulatedBoard& board = AddBoard();
  board.Plug();
  StartWindow();
  ASSERT_TRUE(WaitIdentified());
  ASSERT_TRUE(WaitAllPass());
  board.Touch(0, 3);
  ASSERT_TRUE(WaitUntil([&] { return Output(CUSBChannel::OUTPUT_LAMP_A) == 1; }));

  QAction* invert = window->MenuAction(resources::ID_LED_INVERT);
  window->OnInitMenuPopup(qobject_cast<QMenu*>(invert->parent()));
  EXPECT_FALSE(invert->isChecked());

  window->OnCommand(resources::ID_LED_INVERT);
  EXPECT_EQ(board.ReadPage(CUSBChannel::PAGE_GLOBAL)[0] & GlobalBlock::LEDINVERT, GlobalBlock::LEDINVERT);
  EXPECT_TRUE(WaitUntil([&] {
    return Output(CUSBChannel::OUTPUT_LAMP_A) == 0 && Output(CUSBChannel::OUTPUT_LAMP_B) == 1;
  }));
  window->OnInitMenuPopup(qobject_cast<QMenu*>(invert->parent()));
  EXPECT_TRUE(invert->isChecked());

  window->OnCommand(resources::ID_BUZZER_ENABLE);
  EXPECT_EQ(board.ReadPage(CUSBChannel::PAGE_GLOBAL)[0] & GlobalBlock::BUZZERENABLE, 0);
  EXPECT_TRUE(WaitUntil([&] { return Output(CUSBChannel::OUTPUT_BUZZER) == 0; }));
  QAction* buzzer = window->MenuAction(resources::ID_BUZZER_ENABLE);
  window->OnInitMenuPopup(qobject_cast<QMenu*>(buzzer->parent()));
  EXPECT_FALSE(buzzer->isChecked());

  const std::uint8_t overd = board.ReadPage(CUSBChannel::PAGE_GLOBAL)[15];
  window->OnCommand(resources::ID_EDIT_INDICATION);
  // A page write has no reply: the board takes it once its reports have crossed the wire.
  EXPECT_TRUE(WaitUntil([&] { return board.ReadPage(CUSBChannel::PAGE_GLOBAL)[15] == (overd == 0 ? 1 : 0); }));
  EXPECT_EQ(window->m_grid.m_overIndication.load(), overd == 0 ? 1 : 0);
}

TEST_F(TesterTest, ExpansionCellsAreFilledWhereTheTableSaysWhateverItsOrder) {
  board::EmulatedBoard& board = AddBoard(board::BoardConfig::Expansion(2, 3));
  // Reverse the table: entry k maps the position of entry 5 - k.
  std::vector<std::uint8_t> table = board.ReadMemory(0, 24);
  std::vector<std::uint8_t> reversed(24);
  for (int k = 0; k < 6; ++k) {
    std::copy_n(table.begin() + 4 * (5 - k), 2, reversed.begin() + 4 * k);      // ROW, COL
    std::copy_n(table.begin() + 4 * k + 2, 2, reversed.begin() + 4 * k + 2);    // same group
  }
  board.WriteMemory(0, reversed);
  board.SetNoise(0);
  for (int cell = 0; cell < 6; ++cell) ASSERT_TRUE(board.Touch(cell, 0, static_cast<std::uint16_t>(700 + cell)));
  board.Plug();
  StartWindow();
  ASSERT_TRUE(WaitIdentified());
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 3; ++col) {
      const int cell = 3 * row + col;
      EXPECT_TRUE(WaitUntil([&] { return window->m_grid.m_cells[col][row].data[0].load() == 700 + cell; }))
          << "row " << row << " col " << col << " shows " << window->m_grid.m_cells[col][row].data[0].load();
    }
  }
}

TEST_F(TesterTest, EmptyLayoutPollsNoGroupAndOversizedLayoutIsRefused) {
  board::EmulatedBoard& board = AddBoard(board::BoardConfig::Expansion(2, 2));
  auto global = board.ReadPage(CUSBChannel::PAGE_GLOBAL);
  global[26] = 0;  // EXPANDBOARDROW
  board.WritePage(CUSBChannel::PAGE_GLOBAL, global);
  board.Plug();
  StartWindow();
  ASSERT_TRUE(WaitIdentified());
  ASSERT_TRUE(WaitForFrames(3));
  EXPECT_EQ(window->m_grid.m_rows.load(), 0);
  EXPECT_EQ(CountCommands(board.ReceivedReports(), 0x50), 0);

  window.reset();
  titles.clear();
  board.Unplug();
  global[26] = 10;
  global[25] = 1;
  board.WritePage(CUSBChannel::PAGE_GLOBAL, global);
  board.ClearLog();
  board.Plug();
  StartWindow();
  ASSERT_TRUE(WaitIdentified());
  EXPECT_TRUE(titles.contains(QStringLiteral("参数设置有误，请重新设置参数！")));
  EXPECT_EQ(window->m_grid.m_rows.load(), 0);  // keeps the size it had
  // Lamp A went on before the loop drove the outputs from the verdicts.
  const auto log = board.ReceivedReports();
  bool lampOn = false;
  for (std::size_t i = 0; i + 1 < log.size(); ++i) {
    if (log[i][3] == 0x25 && log[i][1] == 0xAA && log[i + 1][1 + 6] == 1) lampOn = true;
  }
  EXPECT_TRUE(lampOn);
}

TEST_F(TesterTest, RemovalOfAnotherDeviceShowsNotConnectedAndItsReturnIdentifiesAgain) {
  board::EmulatedBoard& board = AddBoard();
  board::EmulatedBoard& mouse = AddBoard({}, "mouse");
  plat::VirtualHandshake other = mouse.Identity();
  other.vendorId = 0x046D;
  other.productId = 0xC077;
  mouse.SetIdentity(other);
  board.Plug();
  mouse.Plug();
  StartWindow();
  ASSERT_TRUE(WaitIdentified());

  mouse.Unplug();
  ASSERT_TRUE(WaitUntil([&] { return Title() == QStringLiteral("设备已经断开"); }));
  EXPECT_TRUE(AllTopLevel(false));
  EXPECT_EQ(Pane(0), QStringLiteral("设备未插入"));
  EXPECT_EQ(window->m_grid.m_rows.load(), 0);
  // The board still works: the loop keeps exchanging with it.
  const auto received = board.ReportsReceived();
  EXPECT_TRUE(WaitUntil([&] { return board.ReportsReceived() > received + 20; }));

  board.ClearLog();
  mouse.Plug();
  EXPECT_TRUE(WaitUntil([&] { return HasBeep(BuzzerWrites(board.ReceivedReports())); }));  // a second beep
  EXPECT_TRUE(WaitUntil([&] { return Pane(0) == QStringLiteral("设备已经插入") && window->m_grid.m_rows.load() == 1; }));
}

TEST_F(TesterTest, PullingTheBoardKeepsTheLoopRunningAndItsReturnIsPickedUp) {
  board::EmulatedBoard& board = AddBoard();
  board.Plug();
  StartWindow();
  ASSERT_TRUE(WaitIdentified());
  board.Unplug();
  ASSERT_TRUE(WaitUntil([&] { return Pane(0) == QStringLiteral("设备未插入"); }));
  ASSERT_TRUE(WaitForFrames(5));  // the counter keeps rising without a board

  board.ClearLog();
  board.Plug();
  ASSERT_TRUE(WaitUntil([&] { return Pane(0) == QStringLiteral("设备已经插入"); }));
  const int frame = Frame();
  ASSERT_TRUE(WaitForFrames(5));
  EXPECT_GT(Frame(), frame);
  EXPECT_GT(CountCommands(board.ReceivedReports(), 0x30), 3);  // the old loop reads the new board
}

struct IdentityCase {
  const char* name;
  std::string brand;
  std::optional<std::string> deviceType;
  QString vendor;
  bool menusEnabled;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const IdentityCase& c, std::ostream* out) { *out << c.name; }

class IdentityTest : public TesterFixture, public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(IdentityTest, BrandAndTypeChooseVendorLineAndMenus) {
  const IdentityCase& c = GetParam();
  board::BoardConfig config;
  config.brand = c.brand;
  config.deviceType = c.deviceType;
  AddBoard(config).Plug();
  StartWindow();
  ASSERT_TRUE(WaitUntil([&] { return Pane(2) == c.vendor; }));
  ASSERT_TRUE(WaitUntil([&] { return !window->m_statusBar.m_progressShown; }));
  EXPECT_TRUE(AllTopLevel(c.menusEnabled));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IdentityTest,
    ::testing::Values(IdentityCase{"LowerCaseBrand", "orbenka", std::nullopt, resources::VendorLine1(), true},
                      IdentityCase{"SecondBrand", "TELMARS", std::nullopt, resources::VendorLine2(), true},
                      IdentityCase{"OtherBrand", "ACME", std::nullopt, resources::GenericSystemTitle(), true},
                      IdentityCase{"UnrecognisedType", "ORBENKA", std::string("GADGET"), resources::VendorLine1(), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TesterTest, ClosingSwitchesTheOutputsOffAndNoCycleFollows) {
  board::EmulatedBoard& board = AddBoard();
  board.Plug();
  StartWindow();
  ASSERT_TRUE(WaitIdentified());
  ASSERT_TRUE(WaitAllPass());
  board.Touch(0, 1);
  ASSERT_TRUE(WaitUntil([&] { return Output(CUSBChannel::OUTPUT_BUZZER) == 1; }));
  window->close();
  const auto outputs = board.Outputs();
  for (int byte : {8, 6, 5, 7, 1}) EXPECT_EQ(outputs[static_cast<std::size_t>(byte)], 0) << byte;
  EXPECT_EQ(outputs[9], 1);
  const auto received = board.ReportsReceived();
  QThread::msleep(100);
  EXPECT_EQ(board.ReportsReceived(), received);
}

TEST_F(TesterTest, EnterAndEscapeDoNotEndTheWindow) {
  StartWindow();
  for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &press);
  }
  EXPECT_TRUE(window->isVisible());
}

}  // namespace
