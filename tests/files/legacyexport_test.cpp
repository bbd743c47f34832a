#include "platform/profilefile.h"
#include "tests/files/filesfixture.h"

namespace {

class LegacyExportTest : public FilesFixture {};

int WordIn(const std::vector<std::uint8_t>& bytes, std::size_t at) { return bytes[at] | (bytes[at + 1] << 8); }

// The single board's cell is cell 0 of board memory, not its pages 0xFA..0xFD.
TEST_F(LegacyExportTest, SingleBoardExportsCellZeroOfBoardMemory) {
  Attach(SingleBoard());
  std::vector<std::uint8_t> block(0x100);
  for (std::size_t k = 0; k < block.size(); ++k) block[k] = static_cast<std::uint8_t>(k * 7 + 3);
  board->WriteMemory(0x0100, block);
  grid.m_overIndication = 1;
  statusBar.m_progress.show();
  statusBar.m_progressShown = 1;

  const QString path = dir.filePath("legacy.txt");
  Export(path);
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_TRUE(statusBar.m_progress.isHidden());
  EXPECT_EQ(statusBar.m_progressShown, 0);
  EXPECT_EQ(statusBar.m_progress.maximum(), 1);
  EXPECT_EQ(statusBar.m_progress.value(), 1);

  const QByteArray bytes = FileBytes(path);
  EXPECT_TRUE(bytes.startsWith("[GLOBAL]\r\nFPCTEST=1\r\nCOL=1\r\nROW=1\r\n[PAGE00_OFFSET]\r\nPAGE00_OFFSETTYPE="));
  // "MAX" and "MIN" live in two sections whose names differ by a final E.
  const QByteArray ranges = QString::asprintf("[PAGE00_DATARANG]\r\nMAX=%d\r\n[PAGE00_DATARANGE]\r\nMIN=%d\r\n[PAGE00_MASK]\r\n",
                                              WordIn(block, 0xE4), WordIn(block, 0xE6)).toLatin1();
  EXPECT_TRUE(bytes.contains(ranges)) << bytes.toStdString();

  const plat::ProfileFile file = plat::ProfileFile::FromBytes(bytes);
  EXPECT_EQ(file.Read("PAGE00_OFFSET", "PAGE00_OFFSETTYPE").toInt(), block[0xE8]);
  EXPECT_EQ(file.Read("PAGE00_OFFSET", "PAGE00_PERCENTAGE").toInt(), WordIn(block, 0xE9));
  EXPECT_EQ(file.Read("PAGE00_OFFSET", "PAGE00_OFFSETUPPER").toInt(), WordIn(block, 0xEB));
  EXPECT_EQ(file.Read("PAGE00_OFFSET", "PAGE00_OFFSETLOWER").toInt(), WordIn(block, 0xED));
  for (std::size_t k = 0; k < 32; ++k) {
    const QString key = QString::asprintf("CH%02d", static_cast<int>(k));
    EXPECT_EQ(file.Read("PAGE00_REFDATA", key).toInt(), WordIn(block, 2 * k)) << k;
    EXPECT_EQ(file.Read("PAGE00_THRESHOLDHIGH", key).toInt(), WordIn(block, 0x40 + 2 * k)) << k;
    EXPECT_EQ(file.Read("PAGE00_THRESHOLDLOW", key).toInt(), WordIn(block, 0x80 + 2 * k)) << k;
    EXPECT_EQ(file.Read("PAGE00_MASK", key).toInt(), block[0xC0 + k]) << k;
  }
}

TEST_F(LegacyExportTest, GridWithoutCellsExportsOnlyGlobal) {
  Attach(SingleBoard());
  grid.m_rows = 5;
  grid.m_cols = 0;
  board->ClearLog();
  const QString path = dir.filePath("empty.txt");
  Export(path);
  EXPECT_EQ(FileBytes(path), "[GLOBAL]\r\nFPCTEST=0\r\nCOL=0\r\nROW=5\r\n");
  EXPECT_TRUE(board->ReceivedReports().empty());
  EXPECT_TRUE(statusBar.m_progress.isHidden());
}

TEST_F(LegacyExportTest, ExportOverAnotherFileKeepsItsSections) {
  Attach(board::BoardConfig::Expansion(1, 1));
  const QString path = WriteFile("shared.txt", "[GLOBALPARAMETER]\r\nDEVICETYPE=VARNOSTELLIONPLU\r\n[PAGE07_MASK]\r\nCH00=1\r\n");
  Export(path);
  const QByteArray bytes = FileBytes(path);
  EXPECT_TRUE(bytes.startsWith("[GLOBALPARAMETER]\r\nDEVICETYPE=VARNOSTELLIONPLU\r\n[PAGE07_MASK]\r\nCH00=1\r\n[GLOBAL]\r\n"));
  EXPECT_TRUE(bytes.contains("[PAGE00_MASK]\r\nCH00="));
}

TEST_F(LegacyExportTest, FailedWriteIsReported) {
  Attach(SingleBoard());
  Export(dir.filePath("missing/legacy.txt"));
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(LastMessage().text, QStringLiteral("文件保存失败！"));
  EXPECT_EQ(LastMessage().icon, plat::MessageIcon::Warning);
  EXPECT_TRUE(statusBar.m_progress.isHidden());
}

}  // namespace
