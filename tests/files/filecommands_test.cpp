// The file commands as the main window runs them, with its dispatcher measuring meanwhile.
#include <thread>

#include "tests/app/testerfixture.h"

namespace {

using resources::ID_FILE_LOAD_CONFIG;
using resources::ID_FILE_LOAD_LEGACY;
using resources::ID_FILE_SAVE_CONFIG;
using resources::ID_FILE_SAVE_LEGACY;

class FileCommandsTest : public TesterFixture {
 protected:
  void StartWith(const board::BoardConfig& config) {
    AddBoard(config).SetReportPeriod({});
    ASSERT_TRUE(Board().Plug());
    StartWindow();
    ASSERT_TRUE(WaitIdentified());
  }
  std::vector<std::uint8_t> CellMemory(int cells) const {
    return boards.front()->ReadMemory(0, static_cast<std::size_t>((cells + 1) * 0x100));
  }
  QString LastText() const { return prompts.messages.empty() ? QString() : prompts.messages.back().text; }
};

TEST_F(FileCommandsTest, LegacyExportIsReachableOnceABoardIsIdentified) {
  AddBoard().SetReportPeriod({});
  StartWindow();
  EXPECT_FALSE(window->MenuAction(ID_FILE_SAVE_LEGACY)->isEnabled());
  ASSERT_TRUE(Board().Plug());
  ASSERT_TRUE(WaitIdentified());
  ASSERT_TRUE(WaitUntil([&] { return window->MenuAction(ID_FILE_SAVE_LEGACY)->isEnabled(); }));
  EXPECT_FALSE(window->MenuAction(ID_FILE_LOAD_LEGACY)->isEnabled());
  EXPECT_TRUE(window->MenuAction(ID_FILE_SAVE_CONFIG)->isEnabled());
  EXPECT_TRUE(window->MenuAction(ID_FILE_LOAD_CONFIG)->isEnabled());
}

TEST_F(FileCommandsTest, SavedFileLoadsIntoAFreshBoardWhileTheLoopGoesOn) {
  const board::BoardConfig config = board::BoardConfig::Expansion(2, 2);
  StartWith(config);
  std::vector<std::uint8_t> reference(64);
  for (std::size_t k = 0; k < reference.size(); ++k) reference[k] = static_cast<std::uint8_t>(200 - k);
  Board().WriteMemory(0x0300, reference);  // cell 1's references
  const std::vector<std::uint8_t> saved = CellMemory(4);

  const QString path = dir.filePath("station.ini");
  prompts.files.push_back(path);
  window->OnCommand(ID_FILE_SAVE_CONFIG);
  ASSERT_EQ(LastText(), QStringLiteral("文件保存成功！"));

  Board().ResetToFactory(config);
  ASSERT_NE(CellMemory(4), saved);
  prompts.files.push_back(path);
  window->OnCommand(ID_FILE_LOAD_CONFIG);
  ASSERT_EQ(LastText(), QStringLiteral("文件载入成功！"));
  EXPECT_TRUE(WaitForFrames(3));  // the dispatcher was resumed
  const std::vector<std::uint8_t> loaded = CellMemory(4);
  for (int cell = 0; cell < 4; ++cell) {
    const auto at = static_cast<std::ptrdiff_t>((cell + 1) * 0x100);
    EXPECT_TRUE(std::equal(saved.begin() + at, saved.begin() + at + 0xE0, loaded.begin() + at)) << cell;
  }
  EXPECT_TRUE(std::equal(saved.begin(), saved.begin() + 16, loaded.begin()));
}

TEST_F(FileCommandsTest, BoardPulledOutDuringLoadEndsInFailureAndMeasuringResumes) {
  StartWith(board::BoardConfig::Expansion(2, 2));
  const QString path = dir.filePath("station.ini");
  prompts.files.push_back(path);
  window->OnCommand(ID_FILE_SAVE_CONFIG);
  ASSERT_EQ(LastText(), QStringLiteral("文件保存成功！"));

  // A whole load of four cells takes about 720 ms of protocol pauses.
  std::thread puller([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Board().Unplug();
  });
  prompts.files.push_back(path);
  window->OnCommand(ID_FILE_LOAD_CONFIG);
  puller.join();
  ASSERT_EQ(LastText(), QStringLiteral("文件载入失败！"));
  EXPECT_EQ(prompts.messages.back().caption, QStringLiteral("参数载入"));
  EXPECT_EQ(prompts.messages.back().icon, plat::MessageIcon::Warning);

  ASSERT_TRUE(Board().Plug());
  EXPECT_TRUE(WaitForFrames(3));
}

}  // namespace
