#include <QProcess>
#include <QSignalSpy>

#include "platform/devicenotice.h"
#include "platform/devicenotifier.h"
#include "tests/device/linkfixture.h"

namespace {

using Notice = std::pair<unsigned, unsigned>;

class NoticeRecorder {
 public:
  explicit NoticeRecorder(plat::DeviceNotifier& notifier) {
    QObject::connect(&notifier, &plat::DeviceNotifier::deviceChange,
                     [this](unsigned code, unsigned type) { notices.emplace_back(code, type); });
  }
  std::vector<Notice> notices;
};

const Notice kArrival{plat::DBT_DEVICEARRIVAL, plat::DBT_DEVTYP_DEVICEINTERFACE};
const Notice kRemoval{plat::DBT_DEVICEREMOVECOMPLETE, plat::DBT_DEVTYP_DEVICEINTERFACE};

TEST(NoticeTest, EmulatedBoardArrivalAndRemovalArriveOnThisThread) {
  QTemporaryDir dir;
  plat::DeviceNotifier notifier(dir.path());
  NoticeRecorder recorder(notifier);
  board::EmulatedBoard board(dir.path().toStdString());
  ASSERT_TRUE(board.Plug());
  ASSERT_TRUE(WaitUntil([&] { return recorder.notices.size() == 1; }));
  board.Unplug();
  ASSERT_TRUE(WaitUntil([&] { return recorder.notices.size() == 2; }));
  EXPECT_EQ(recorder.notices, (std::vector<Notice>{kArrival, kRemoval}));
}

TEST(NoticeTest, MissingBoardDirectoryIsCreatedAndWatched) {
  QTemporaryDir parent;
  const QString directory = parent.filePath("not/yet/there");
  plat::DeviceNotifier notifier(directory);
  NoticeRecorder recorder(notifier);
  board::EmulatedBoard board(directory.toStdString());
  ASSERT_TRUE(board.Plug());
  EXPECT_TRUE(WaitUntil([&] { return recorder.notices == std::vector<Notice>{kArrival}; }));
}

// The standalone board program plugs a board in for as long as it runs.
TEST(StandaloneBoardTest, IsFoundAnswersAndIsNoticedWhenItLeaves) {
  QTemporaryDir dir;
  plat::DeviceNotifier notifier(dir.path());
  NoticeRecorder recorder(notifier);
  QProcess program;
  program.start(VARNO_BOARD_PROGRAM, {"--dir", dir.path(), "--timing-ms", "0"});
  ASSERT_TRUE(program.waitForStarted(5000));
  ASSERT_TRUE(WaitUntil([&] { return !recorder.notices.empty(); }));
  EXPECT_EQ(recorder.notices.front(), kArrival);

  plat::VirtualBus bus(dir.path().toStdString());
  CUSBChannel link(bus);
  ASSERT_FALSE(link.Connect());
  CUSBChannel::Block identity{};
  link.ReadPage(CUSBChannel::PAGE_IDENTITY, identity);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(identity.data() + 48), 13), "VARNOSTELLION");

  program.write("quit\n");
  ASSERT_TRUE(program.waitForFinished(5000));
  ASSERT_TRUE(WaitUntil([&] { return recorder.notices.size() == 2; }));
  EXPECT_EQ(recorder.notices.back(), kRemoval);
  const auto before = link.FailedExchanges();
  link.ReadPage(CUSBChannel::PAGE_IDENTITY, identity);
  EXPECT_GT(link.FailedExchanges(), before);
  EXPECT_TRUE(link.Connect());  // nothing left to find
}

}  // namespace
