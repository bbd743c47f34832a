// The real program under Xvfb against the standalone emulated board.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "tests/support/waituntil.h"

namespace {

using namespace std::chrono_literals;

const QColor kFailFill(255, 200, 200);
const QColor kPassFill(200, 255, 200);

// The verdict label of a 1 x 1 grid: the first label-coloured pixel met going up from the
// status bar, just inside the grid's left edge.
QColor LabelFill(const QImage& shot) {
  for (int y = shot.height() - 31; y > shot.height() / 2; --y) {
    const QColor pixel = shot.pixelColor(16, y);
    if (pixel == kFailFill || pixel == kPassFill) return pixel;
  }
  return {};
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    if (xvfb.isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    server.start(xvfb, {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
    ASSERT_TRUE(server.waitForStarted(5000));
    ASSERT_TRUE(WaitUntil([&] { return server.canReadLine(); }, 10s)) << "Xvfb gave no display";
    display = ":" + QString::fromLatin1(server.readLine()).trimmed();

    board.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    board.start(VARNO_BOARD_PROGRAM, {"--dir", dir.path()});
    ASSERT_TRUE(board.waitForStarted(5000));
    ASSERT_TRUE(WaitUntil([&] { return !QDir(dir.path()).entryList({"*.sock"}, QDir::System).isEmpty(); }, 10s));
    board.readAll();
  }

  void TearDown() override {
    if (board.state() == QProcess::Running) {
      board.write("quit\n");
      board.waitForFinished(5000);
    }
    if (server.state() == QProcess::Running) {
      server.terminate();
      server.waitForFinished(5000);
    }
  }

  // Runs the tester until it has taken its screenshot and closed; `during` runs meanwhile.
  void RunTester(const QString& screenshot, const std::function<void()>& during) {
    QProcess tester;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    // A runtime directory of its own: the single-instance lock of another copy must not matter.
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    tester.setProcessEnvironment(environment);
    tester.setProcessChannelMode(QProcess::ForwardedChannels);
    tester.start(VARNO_PROGRAM, {"--board-dir", dir.path(), "--screenshot", screenshot, "--screenshot-after", "4000"});
    ASSERT_TRUE(tester.waitForStarted(5000));
    during();
    ASSERT_TRUE(WaitUntil([&] { return tester.state() == QProcess::NotRunning; }, 30s));
    EXPECT_EQ(tester.exitCode(), 0);
  }

  // The board's answer line to `command`, skipping what it printed before.
  std::string BoardAnswer(const char* command) {
    board.write(command);
    QByteArray line;
    WaitUntil([&] {
      while (board.canReadLine()) {
        line = board.readLine().trimmed();
        if (line.startsWith("ok") || line.startsWith("error")) return true;
      }
      return false;
    }, 5s);
    return line.toStdString();
  }

  QTemporaryDir dir;
  QTemporaryDir runtime;
  QProcess server;
  QProcess board;
  QString display;
};

TEST_F(ProgramTest, PassingPanelThenATouchShowsFailAndClosingSwitchesOutputsOff) {
  const QString passing = dir.filePath("passing.png");
  RunTester(passing, [] {});
  const QImage passShot(passing);
  ASSERT_FALSE(passShot.isNull());
  EXPECT_EQ(LabelFill(passShot), kPassFill);

  const QString failing = dir.filePath("failing.png");
  RunTester(failing, [&] {
    WaitUntil([] { return false; }, 1500ms);
    EXPECT_EQ(BoardAnswer("touch 0 5\n").rfind("ok", 0), 0u);
  });
  const QImage failShot(failing);
  ASSERT_FALSE(failShot.isNull());
  EXPECT_EQ(LabelFill(failShot), kFailFill);

  // "outputs" prints the 64 bytes of the output block in hexadecimal.
  const std::string outputs = BoardAnswer("outputs\n");
  QStringList bytes = QString::fromStdString(outputs).split(' ', Qt::SkipEmptyParts);
  if (!bytes.isEmpty() && bytes.front() == "ok") bytes.removeFirst();
  ASSERT_EQ(bytes.size(), 64) << outputs;
  for (int index : {8, 6, 5, 7, 1}) EXPECT_EQ(bytes[index].toInt(nullptr, 16), 0) << "byte " << index;
  EXPECT_EQ(bytes[9].toInt(nullptr, 16), 1);
}

}  // namespace
