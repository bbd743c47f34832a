#include <algorithm>

#include "platform/profilefile.h"
#include "tests/files/filesfixture.h"

namespace {

using Page = board::EmulatedBoard::Page;

bool HasCommand(const std::vector<plat::Report>& log, std::uint8_t code) {
  return std::any_of(log.begin(), log.end(), [code](const plat::Report& r) {
    return r[1] == 0xAA && r[2] == 0x55 && r[3] == code;
  });
}

// Page numbers of every WritePage in the log.
std::vector<int> PagesWritten(const std::vector<plat::Report>& log) {
  std::vector<int> pages;
  for (std::size_t i = 0; i + 1 < log.size(); ++i) {
    if (log[i][1] == 0xAA && log[i][2] == 0x55 && log[i][3] == 0x20) pages.push_back(log[i + 1][1]);
  }
  return pages;
}

std::uint16_t WordAt(const Page& page, std::size_t k) {
  return static_cast<std::uint16_t>(page[2 * k] | (page[2 * k + 1] << 8));
}

class ConfigFileTest : public FilesFixture {};

// --- round trips --------------------------------------------------------------------------

struct RoundTripCase {
  const char* name;
  board::BoardConfig config;
};

class ConfigRoundTrip : public FilesFixture, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(ConfigRoundTrip, FreshBoardGetsEveryParameterTheSaveFound) {
  const board::BoardConfig config = GetParam().config;
  Attach(config);
  Scramble(7);
  const QString path = dir.filePath("saved.ini");
  Save(path);
  ASSERT_EQ(LastMessage().text, QStringLiteral("文件保存成功！"));
  EXPECT_EQ(LastMessage().caption, QStringLiteral("参数保存"));
  EXPECT_EQ(LastMessage().icon, plat::MessageIcon::Information);
  const BoardState saved = State();
  const int rows = grid.m_rows;
  const int cols = grid.m_cols;

  board->ResetToFactory(config);
  Page fresh = board->ReadPage(CUSBChannel::PAGE_GLOBAL);
  fresh[0] |= 0xF0;  // bits the file does not hold
  board->WritePage(CUSBChannel::PAGE_GLOBAL, fresh);
  link.LoadGlobalBlock();
  ASSERT_NE(State(), saved);
  grid.m_rows = 0;
  grid.m_cols = 0;

  Load(path);
  ASSERT_EQ(LastMessage().text, QStringLiteral("文件载入成功！"));
  EXPECT_EQ(LastMessage().caption, QStringLiteral("参数载入"));
  EXPECT_EQ(LastMessage().icon, plat::MessageIcon::Information);
  EXPECT_EQ(pauses, 1);
  EXPECT_EQ(resumes, 1);
  EXPECT_EQ(grid.m_rows, rows);
  EXPECT_EQ(grid.m_cols, cols);
  EXPECT_TRUE(HasCommand(board->ReceivedReports(), 0xFD));

  const BoardState loaded = State();
  const Page& savedGlobal = saved.pages[0];
  const Page& loadedGlobal = loaded.pages[0];
  EXPECT_EQ(loadedGlobal[0], savedGlobal[0] & 0x0F);
  EXPECT_TRUE(std::equal(savedGlobal.begin() + 4, savedGlobal.begin() + GlobalBlock::kSize, loadedGlobal.begin() + 4));
  if (config.model == board::Model::Single) {
    for (std::size_t page = 1; page <= 3; ++page) EXPECT_EQ(loaded.pages[page], saved.pages[page]) << page;
    EXPECT_TRUE(std::equal(saved.pages[4].begin(), saved.pages[4].begin() + 32, loaded.pages[4].begin()));
    return;
  }
  for (int cell = 0; cell < rows * cols; ++cell) {
    const auto entry = static_cast<std::ptrdiff_t>(4 * cell);
    EXPECT_TRUE(std::equal(saved.memory.begin() + entry, saved.memory.begin() + entry + 4, loaded.memory.begin() + entry))
        << "table entry " << cell;
    const auto block = static_cast<std::ptrdiff_t>((cell + 1) * 0x100);
    EXPECT_TRUE(std::equal(saved.memory.begin() + block, saved.memory.begin() + block + 0xE0, loaded.memory.begin() + block))
        << "cell block " << cell;
  }
}

INSTANTIATE_TEST_SUITE_P(Models, ConfigRoundTrip,
                         ::testing::Values(RoundTripCase{"SingleBoard", SingleBoard()},
                                           RoundTripCase{"Expansion2x3", board::BoardConfig::Expansion(2, 3)}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- refusal ------------------------------------------------------------------------------

struct RefusalCase {
  const char* name;
  board::BoardConfig config;
  QByteArray file;  // empty: no file at all
};

class ConfigRefusal : public FilesFixture, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ConfigRefusal, OtherDeviceTypeLeavesBoardAndStateAlone) {
  Attach(GetParam().config);
  const QString path = GetParam().file.isEmpty() ? dir.filePath("none.ini") : WriteFile("other.ini", GetParam().file);
  const BoardState before = State();
  const int rows = grid.m_rows;
  board->ClearLog();

  Load(path);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(LastMessage().text, QStringLiteral("设备类型与配置参数不符!"));
  EXPECT_EQ(LastMessage().caption, QString());
  EXPECT_EQ(LastMessage().icon, plat::MessageIcon::None);
  EXPECT_EQ(State(), before);
  EXPECT_EQ(grid.m_rows, rows);
  EXPECT_EQ(pauses, 0);
  EXPECT_EQ(resumes, 0);
  EXPECT_FALSE(HasCommand(board->ReceivedReports(), 0xFD));
}

const QByteArray kLoadLayout = "GUIROW=5\r\n[EXPANDBOARD]\r\nEXPANDBOARDCOL=1\r\nEXPANDBOARDROW=1\r\n";

INSTANTIATE_TEST_SUITE_P(
    Codes, ConfigRefusal,
    ::testing::Values(
        RefusalCase{"LowerCaseCode", board::BoardConfig::Expansion(1, 1), "[GLOBALPARAMETER]\r\nDEVICETYPE=varnostellionplu\r\n" + kLoadLayout},
        RefusalCase{"OtherModel", board::BoardConfig::Expansion(1, 1), "[GLOBALPARAMETER]\r\nDEVICETYPE=VARNOSTELLION\r\n" + kLoadLayout},
        RefusalCase{"NoCode", board::BoardConfig::Expansion(1, 1), "[GLOBALPARAMETER]\r\n" + kLoadLayout},
        RefusalCase{"NoFile", SingleBoard(), ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A board without a code takes a file without one: the common sections and nothing else.
TEST_F(ConfigFileTest, EmptyCodeMatchesOnlyAnEmptyCode) {
  board::BoardConfig config = SingleBoard();
  config.deviceType = "";
  Attach(config);
  const BoardState before = State();
  Load(WriteFile("blank.ini", "[GLOBALPARAMETER]\r\nGUIROW=3\r\n[BRIDGEBOARD_PARA]\r\nREFERENCE=1,2\r\n"));
  EXPECT_EQ(LastMessage().text, QStringLiteral("文件载入成功！"));
  EXPECT_EQ(grid.m_rows, 3);
  const BoardState after = State();
  EXPECT_EQ(after.pages[1], before.pages[1]);
  EXPECT_EQ(after.memory, before.memory);
}

// --- the common sections ------------------------------------------------------------------

TEST_F(ConfigFileTest, FlagsTakeOnlyTheirOwnBitAndUpperBitsAreCleared) {
  Attach(SingleBoard());
  const std::tuple<const char*, const char*, const char*, const char*, std::uint8_t> cases[] = {
      {"1", "2", "4", "8", 0x0F},
      {"1", "1", "0", "0", 0x01},  // a hand-written 1 does not invert the buzzer
      {"3", "3", "12", "9", 0x0F},
      {"0", "0", "5", "x", 0x04},
  };
  for (const auto& [buzzer, invert, led, ledInvert, expected] : cases) {
    Page global = board->ReadPage(CUSBChannel::PAGE_GLOBAL);
    global[0] = 0xF0;
    board->WritePage(CUSBChannel::PAGE_GLOBAL, global);
    // Hand-edited: names in another case, blanks around "=".
    const QByteArray file = QByteArray("[GlobalParameter]\r\n devicetype = VARNOSTELLION\r\nBuzzerEnable = ") + buzzer +
                            "\r\nBUZZERINVERT=" + invert + "\r\nLEDENABLE=" + led + "\r\nledinvert=" + ledInvert + "\r\n";
    Load(WriteFile("flags.ini", file));
    EXPECT_EQ(board->ReadPage(CUSBChannel::PAGE_GLOBAL)[0], expected) << buzzer << invert << led << ledInvert;
  }
}

TEST_F(ConfigFileTest, ThreeAddressesAndNoColumnsLoadTheBlockAndNoCell) {
  Attach(board::BoardConfig::Expansion(2, 2));
  const BoardState before = State();
  Load(WriteFile("layout.ini",
                 "[GLOBALPARAMETER]\r\nDEVICETYPE=VARNOSTELLIONPLU\r\n[EXPANDBOARD]\r\nEXPANDBOARDADDRESS=9,8,7\r\n"
                 "EXPANDBOARDCOL=0\r\nEXPANDBOARDROW=3\r\n[EXPANDBOARD_00_PARA]\r\nCOL=5\r\nREFERENCE=1,1\r\n"));
  EXPECT_EQ(LastMessage().text, QStringLiteral("文件载入成功！"));
  const Page global = board->ReadPage(CUSBChannel::PAGE_GLOBAL);
  const Page& old = before.pages[0];
  EXPECT_EQ(global[GlobalBlock::EXPANDBOARDADDRESS + 0], 9);
  EXPECT_EQ(global[GlobalBlock::EXPANDBOARDADDRESS + 1], 8);
  EXPECT_EQ(global[GlobalBlock::EXPANDBOARDADDRESS + 2], 7);
  for (std::size_t k = 3; k < 8; ++k) EXPECT_EQ(global[GlobalBlock::EXPANDBOARDADDRESS + k], old[GlobalBlock::EXPANDBOARDADDRESS + k]);
  EXPECT_EQ(global[GlobalBlock::EXPANDBOARDCOL], 0);
  EXPECT_EQ(global[GlobalBlock::EXPANDBOARDROW], 3);
  EXPECT_TRUE(std::equal(global.begin() + GlobalBlock::kSize, global.end(), old.begin() + GlobalBlock::kSize));
  EXPECT_EQ(State().memory, before.memory);
}

// --- lists --------------------------------------------------------------------------------

TEST_F(ConfigFileTest, BridgeBoardListsKeepWhatTheFileLeavesOut) {
  Attach(SingleBoard());
  Scramble(11);
  const BoardState before = State();
  QStringList many;
  for (int k = 0; k < 40; ++k) many << QString::number(1000 + k);
  board->ClearLog();
  Load(WriteFile("lists.ini", "[GLOBALPARAMETER]\r\nDEVICETYPE=VARNOSTELLION\r\n[BRIDGEBOARD_PARA]\r\n"
                              "REFERENCE=500\r\nTHRESHOLD_HIGH=1,2,3\r\nTHRESHOLD_LOW=" + many.join(',').toLatin1() +
                              "\r\nMASK=5,6\r\n"));
  const BoardState after = State();
  EXPECT_EQ(after.pages[1], before.pages[1]);  // no comma, no item
  for (std::size_t k = 0; k < 32; ++k) {
    EXPECT_EQ(WordAt(after.pages[2], k), k < 3 ? k + 1 : WordAt(before.pages[2], k)) << k;
    EXPECT_EQ(WordAt(after.pages[3], k), 1000 + k) << k;
  }
  EXPECT_EQ(after.pages[4][0], 5);
  EXPECT_EQ(after.pages[4][1], 6);
  EXPECT_TRUE(std::equal(before.pages[4].begin() + 2, before.pages[4].end(), after.pages[4].begin() + 2));
  const std::vector<int> written = PagesWritten(board->ReceivedReports());
  for (int page : {0xFA, 0xFB, 0xFC, 0xFD}) EXPECT_NE(std::find(written.begin(), written.end(), page), written.end()) << page;
}

TEST_F(ConfigFileTest, CellListsKeepWhatTheFileLeavesOut) {
  Attach(board::BoardConfig::Expansion(1, 2));
  Scramble(5);
  const BoardState before = State();
  QStringList many;
  for (int k = 0; k < 33; ++k) many << QString::number(2000 + k);
  Load(WriteFile("cells.ini", "[GLOBALPARAMETER]\r\nDEVICETYPE=VARNOSTELLIONPLU\r\n[EXPANDBOARD]\r\n"
                              "EXPANDBOARDCOL=1\r\nEXPANDBOARDROW=1\r\n[EXPANDBOARD_00_PARA]\r\nCOL=0\r\nROW=0\r\n"
                              "ADDRESS=1\r\nCHANNEL=3\r\nREFERENCE=1,2\r\nTHRESHOLD_HIGH=" + many.join(',').toLatin1() + "\r\n"));
  const std::vector<std::uint8_t> memory = State().memory;
  EXPECT_EQ(std::vector<std::uint8_t>(memory.begin(), memory.begin() + 4), (std::vector<std::uint8_t>{0, 0, 1, 3}));
  auto word = [](const std::vector<std::uint8_t>& bytes, std::size_t at) { return bytes[at] | (bytes[at + 1] << 8); };
  for (std::size_t k = 0; k < 32; ++k) {
    EXPECT_EQ(word(memory, 0x100 + 2 * k), k < 2 ? static_cast<int>(k + 1) : word(before.memory, 0x100 + 2 * k)) << k;
    EXPECT_EQ(word(memory, 0x140 + 2 * k), static_cast<int>(2000 + k)) << k;
  }
  // Threshold-low and mask were not in the file; the second cell was not loaded at all.
  EXPECT_TRUE(std::equal(before.memory.begin() + 0x180, before.memory.end(), memory.begin() + 0x180));
}

// --- saving -------------------------------------------------------------------------------

TEST_F(ConfigFileTest, SavingOverALargerFileKeepsWhatItDoesNotWrite) {
  Attach(board::BoardConfig::Expansion(1, 2));
  QByteArray older = "; older layout\r\n[GLOBALPARAMETER]\r\nDEVICETYPE=VARNOSTELLIONPLU\r\nGUIROW=2\r\n";
  for (int cell = 0; cell < 4; ++cell) {
    older += QString::asprintf("[EXPANDBOARD_%02d_PARA]\r\nCOL=%d\r\nREFERENCE=9,9\r\n", cell, cell).toLatin1();
  }
  const QByteArray keptTail = "[BRIDGEBOARD_PARA]\r\nMASK=1,1\r\n";
  older += keptTail;
  const QString path = WriteFile("older.ini", older);
  Save(path);
  EXPECT_EQ(LastMessage().text, QStringLiteral("文件保存成功！"));

  const QByteArray saved = FileBytes(path);
  EXPECT_TRUE(saved.startsWith("; older layout\r\n[GLOBALPARAMETER]\r\nDEVICETYPE=VARNOSTELLIONPLU\r\nGUIROW=1\r\n"));
  EXPECT_TRUE(saved.contains("[EXPANDBOARD_02_PARA]\r\nCOL=2\r\nREFERENCE=9,9\r\n[EXPANDBOARD_03_PARA]\r\nCOL=3\r\nREFERENCE=9,9\r\n" + keptTail));
  const plat::ProfileFile file = plat::ProfileFile::FromBytes(saved);
  EXPECT_EQ(file.Read("EXPANDBOARD_01_PARA", "COL"), "1");
  EXPECT_NE(file.Read("EXPANDBOARD_01_PARA", "REFERENCE"), "9,9");
  EXPECT_EQ(file.Read("EXPANDBOARD", "EXPANDBOARDCOL"), "2");
}

TEST_F(ConfigFileTest, SaveWrittenByTheStationFormsItsKeys) {
  Attach(SingleBoard());
  Page global = board->ReadPage(CUSBChannel::PAGE_GLOBAL);
  global[0] = 0xFF;
  board->WritePage(CUSBChannel::PAGE_GLOBAL, global);
  link.LoadGlobalBlock();
  const QString path = dir.filePath("flags.ini");
  Save(path);
  const plat::ProfileFile file = plat::ProfileFile::Open(path);
  EXPECT_EQ(file.Read("GLOBALPARAMETER", "BUZZERENABLE"), "1");
  EXPECT_EQ(file.Read("GLOBALPARAMETER", "BUZZERINVERT"), "2");
  EXPECT_EQ(file.Read("GLOBALPARAMETER", "LEDENABLE"), "4");
  EXPECT_EQ(file.Read("GLOBALPARAMETER", "LEDINVERT"), "8");
  EXPECT_EQ(file.Read("EXPANDBOARD", "EXPANDBOARDADDRESS").count(u','), 7);
  EXPECT_TRUE(FileBytes(path).startsWith("[GLOBALPARAMETER]\r\nDEVICETYPE=VARNOSTELLION\r\nGUIROW=1\r\nGUICOL=1\r\n"));
}

TEST_F(ConfigFileTest, FileThatCannotBeWrittenIsReportedAsFailure) {
  Attach(SingleBoard());
  Save(dir.filePath("no/such/dir/config.ini"));
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(LastMessage().text, QStringLiteral("文件保存失败！"));
  EXPECT_EQ(LastMessage().caption, QStringLiteral("参数保存"));
  EXPECT_EQ(LastMessage().icon, plat::MessageIcon::Warning);
}

// What a silent board gives is no parameter set: the file keeps what it held.
TEST_F(ConfigFileTest, BoardGoneDuringSaveLeavesTheFileAlone) {
  Attach(board::BoardConfig::Expansion(1, 1));
  const QString path = WriteFile("kept.ini", "[NOTES]\r\nx=1\r\n");
  board->Unplug();
  Save(path);
  EXPECT_EQ(LastMessage().text, QStringLiteral("文件保存失败！"));
  EXPECT_EQ(FileBytes(path), "[NOTES]\r\nx=1\r\n");
}

TEST_F(ConfigFileTest, CancelledDialogsDoNothing) {
  Attach(SingleBoard());
  board->ClearLog();
  for (auto command : {&CConfigFile::OnSaveConfigFile, &CConfigFile::OnLoadConfigFile}) {
    prompts.files.push_back(std::nullopt);
    CConfigFile file(Context());
    (file.*command)();
  }
  prompts.files.push_back(std::nullopt);
  CLegacyExport(Context()).OnSaveLegacyConfigFile();
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(pauses, 0);
  Settle();
  EXPECT_EQ(board->ReceivedReports().size(), 2u);  // only the settling read
  EXPECT_EQ(prompts.fileFilters, std::vector<QString>(3, QStringLiteral("配置文件(*.ini)|*.ini||")));
  EXPECT_EQ(prompts.fileExtensions, (std::vector<QString>{".ini", ".ini", ".txt"}));
}

}  // namespace
