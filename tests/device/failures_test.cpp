#include <QElapsedTimer>
#include <thread>

#include "tests/device/linkfixture.h"

namespace {

using namespace std::chrono_literals;

class FailureTest : public LinkFixture {
 protected:
  void SetUp() override {
    LinkFixture::SetUp();
    link.SetReadTimeout(200ms);
  }

  // Runs `command`, returning how long it took.
  template <class Command>
  qint64 Timed(Command&& command) {
    QElapsedTimer timer;
    timer.start();
    command();
    return timer.elapsed();
  }
};

TEST_F(FailureTest, SilentBoardTimesOutWithZerosAndIsCounted) {
  board.SetSilent(true);
  CUSBChannel::Block page;
  page.fill(0x77);
  const auto before = link.FailedExchanges();
  const qint64 took = Timed([&] { link.ReadPage(CUSBChannel::PAGE_IDENTITY, page); });
  EXPECT_GE(took, 150);
  EXPECT_LT(took, 2000);
  EXPECT_EQ(page, CUSBChannel::Block{});
  EXPECT_EQ(link.FailedExchanges(), before + 1);
}

TEST_F(FailureTest, LateReplyIsNotTakenForTheNextCommandsAnswer) {
  board.SetReplyDelay(400ms);
  CUSBChannel::Block page;
  link.ReadPage(CUSBChannel::PAGE_IDENTITY, page);  // gives up before the reply comes
  EXPECT_EQ(page, CUSBChannel::Block{});
  board.SetReplyDelay(0ms);
  std::this_thread::sleep_for(500ms);  // the late reply is waiting now
  const auto before = link.FailedExchanges();
  link.ReadPage(CUSBChannel::PAGE_REFERENCE, page);
  EXPECT_EQ(page, board.ReadPage(CUSBChannel::PAGE_REFERENCE));
  EXPECT_EQ(link.FailedExchanges(), before);
}

TEST_F(FailureTest, BoardVanishingMidCommandFailsPromptly) {
  board.VanishAfter(1);  // gone after the header of the next command
  CUSBChannel::Block page;
  page.fill(0x55);
  const auto before = link.FailedExchanges();
  const qint64 took = Timed([&] { link.ReadPage(CUSBChannel::PAGE_MASK, page); });
  EXPECT_LT(took, 1000);
  EXPECT_EQ(page, CUSBChannel::Block{});
  EXPECT_GT(link.FailedExchanges(), before);
  EXPECT_FALSE(board.IsPlugged());

  // Every later command returns at once, and is counted too.
  const auto afterVanish = link.FailedExchanges();
  const qint64 rest = Timed([&] {
    CUSBChannel::ChannelValues values;
    link.ReadChannelValues(values);
    link.SetOutput(CUSBChannel::OUTPUT_BUZZER, 1);
    link.LoadGlobalBlock();
  });
  EXPECT_LT(rest, 500);
  EXPECT_EQ(link.FailedExchanges(), afterVanish + 2 + 5 + 3);
}

TEST_F(FailureTest, PulledOutBoardWhileAnotherThreadLoopsNeverHangs) {
  std::atomic<bool> running{true};
  std::atomic<int> cycles{0};
  std::thread loop([&] {
    CUSBChannel::ChannelValues values;
    while (running) {
      link.ReadChannelValues(values);
      link.SetOutput(CUSBChannel::OUTPUT_LAMP_B, 1);
      ++cycles;
    }
  });
  WaitUntil([&] { return cycles > 10; });
  board.Unplug();
  const int atUnplug = cycles;
  EXPECT_TRUE(WaitUntil([&] { return cycles > atUnplug + 50; }, 5s));
  running = false;
  loop.join();
}

}  // namespace
