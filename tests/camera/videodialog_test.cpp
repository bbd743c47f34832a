#include <gtest/gtest.h>

#include <QCameraDevice>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QMediaDevices>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

#include "camera/samplegrabbercb.h"
#include "camera/videodialog.h"
#include "camera/videoids.h"
#include "tests/camera/fakevideoinputs.h"
#include "tests/camera/frames.h"
#include "tests/support/scriptedprompts.h"
#include "tests/support/waituntil.h"

namespace {

using StartResult = VideoInput::StartResult;

class VideoDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    s_snapshotRequested.store(false);
    s_grabberCallback.SetDirectory(dir.path());
  }
  void TearDown() override { s_snapshotRequested.store(false); }

  // A shown window, destroyed when closed as the main window's command makes it.
  QPointer<CVideoDialog> OpenWindow() {
    auto* window = new CVideoDialog;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
  }
  // Closes the window and waits until it is gone, before the fake devices it uses go.
  static void CloseWindow(QPointer<CVideoDialog>& window) {
    window->close();
    EXPECT_TRUE(WaitUntil([&] { return window.isNull(); }));
  }
  static QPushButton* Button(CVideoDialog* window, const QString& text) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
      if (button->text() == text) return button;
    }
    return nullptr;
  }
  static void Click(CVideoDialog* window, const QString& text) {
    QPushButton* button = Button(window, text);
    ASSERT_NE(button, nullptr) << text.toStdString();
    button->click();
  }
  // Delivers a frame into `sink` from a thread of its own, as a capture framework does.
  static void Deliver(QVideoSink* sink, const QImage& picture) {
    std::thread capture([sink, frame = FrameOf(picture)] { sink->setVideoFrame(frame); });
    capture.join();
  }
  QStringList Snapshots() const { return QDir(dir.path()).entryList({"grab*.bmp"}, QDir::Files); }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
};

TEST_F(VideoDialogTest, WithoutCamerasTheButtonsChangeNothingVisible) {
  FakeVideoInputs none;
  QPointer<CVideoDialog> window = OpenWindow();
  EXPECT_EQ(window->m_cameraList->count(), 0);
  const QImage before = window->grab().toImage();

  Click(window, QStringLiteral("开启摄像头"));
  Click(window, QStringLiteral("拍照"));
  QCoreApplication::processEvents();

  EXPECT_EQ(window->grab().toImage(), before);
  EXPECT_EQ(window->m_capture.VideoWindow(), nullptr);
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_TRUE(none.opened.empty());
  EXPECT_TRUE(s_snapshotRequested.load()) << "the request waits for a frame";
  CloseWindow(window);
}

// The machine's own cameras through Qt Multimedia; with none attached (or no backend) the
// list is empty.
TEST_F(VideoDialogTest, ListsTheMachinesCamerasInEnumerationOrder) {
  QPointer<CVideoDialog> window = OpenWindow();
  QStringList expected;
  for (const QCameraDevice& device : QMediaDevices::videoInputs()) expected << device.description();
  QStringList listed;
  for (int i = 0; i < window->m_cameraList->count(); ++i) listed << window->m_cameraList->itemText(i);
  EXPECT_EQ(listed, expected);
  CloseWindow(window);
}

TEST_F(VideoDialogTest, ListKeepsTheOrderAndTheNthNameStartsTheNthDevice) {
  FakeVideoInputs cameras({"Zeta", "Alpha", "Mid"});
  QPointer<CVideoDialog> window = OpenWindow();
  ASSERT_EQ(window->m_cameraList->count(), 3);
  EXPECT_EQ(window->m_cameraList->itemText(0), "Zeta");
  EXPECT_EQ(window->m_cameraList->itemText(1), "Alpha");
  EXPECT_EQ(window->m_cameraList->itemText(2), "Mid");
  EXPECT_EQ(window->m_cameraList->currentIndex(), 0);

  window->m_cameraList->setCurrentIndex(2);
  Click(window, QStringLiteral("开启摄像头"));
  ASSERT_EQ(cameras.opened.size(), 1u);
  EXPECT_EQ(cameras.opened[0].index, 2);
  EXPECT_NE(cameras.opened[0].sink, nullptr);
  CloseWindow(window);
}

// A frame fed to the started capture's sink shows in the video area and, once asked for,
// lands in the next snapshot file.
TEST_F(VideoDialogTest, FramesShowInTheVideoAreaAndBecomeSnapshots) {
  FakeVideoInputs cameras({"Camera"});
  QPointer<CVideoDialog> window = OpenWindow();
  Click(window, QStringLiteral("开启摄像头"));
  ASSERT_EQ(cameras.opened.size(), 1u);
  QVideoSink* sink = cameras.opened[0].sink;
  ASSERT_NE(sink, nullptr);

  QWidget* video = window->m_capture.VideoWindow();
  ASSERT_NE(video, nullptr);
  EXPECT_TRUE(video->isVisible());
  EXPECT_EQ(video->parentWidget(), window->m_preview);
  EXPECT_EQ(video->geometry(), window->m_preview->contentsRect());

  QImage green(16, 12, QImage::Format_RGB32);
  green.fill(qRgb(0, 200, 0));
  Deliver(sink, green);
  const QPoint centre = window->m_preview->geometry().center();
  EXPECT_TRUE(WaitUntil([&] { return window->grab().toImage().pixel(centre) == qRgb(0, 200, 0); }));
  EXPECT_TRUE(Snapshots().isEmpty());

  Click(window, QStringLiteral("拍照"));
  const QImage picture = PatternImage(5, 3);
  Deliver(sink, picture);
  ASSERT_EQ(Snapshots().size(), 1);
  const QByteArray file = FileBytes(dir.filePath(Snapshots().constFirst()));
  // 5 pixels of blue, green, red make 15 bytes and one byte of padding; bottom row first.
  QByteArray rows;
  for (int y = 2; y >= 0; --y) {
    for (int x = 0; x < 5; ++x) {
      rows.append(char(x + y + 3)).append(char(20 * y + 2)).append(char(10 * x + 1));
    }
    rows.append('\0');
  }
  EXPECT_EQ(file.mid(54), rows);
  EXPECT_EQ(file.mid(18, 8), QByteArray::fromHex("0500000003000000"));
  EXPECT_FALSE(s_snapshotRequested.load());
  CloseWindow(window);
}

TEST_F(VideoDialogTest, SecondStartReleasesTheCaptureItReplaces) {
  FakeVideoInputs cameras({"First", "Second"});
  QPointer<CVideoDialog> window = OpenWindow();
  Click(window, QStringLiteral("开启摄像头"));
  window->m_cameraList->setCurrentIndex(1);
  Click(window, QStringLiteral("开启摄像头"));

  ASSERT_EQ(cameras.opened.size(), 2u);
  EXPECT_FALSE(cameras.opened[0].alive);
  EXPECT_TRUE(cameras.opened[1].alive);
  QCoreApplication::processEvents();
  EXPECT_EQ(window->m_preview->findChildren<QWidget*>().size(), 1) << "one video area";
  CloseWindow(window);
}

TEST_F(VideoDialogTest, StartWithoutSelectionKeepsTheRunningCapture) {
  FakeVideoInputs cameras({"Camera"});
  QPointer<CVideoDialog> window = OpenWindow();
  Click(window, QStringLiteral("开启摄像头"));
  window->m_cameraList->setCurrentIndex(-1);
  EXPECT_EQ(window->m_capture.StartCapture(-1, window->m_preview), CCaptureVideo::kNoDevice);
  EXPECT_EQ(window->m_capture.StartCapture(5, window->m_preview), CCaptureVideo::kNoDevice);
  ASSERT_EQ(cameras.opened.size(), 1u);
  EXPECT_TRUE(cameras.opened[0].alive);
  EXPECT_NE(window->m_capture.VideoWindow(), nullptr);
  CloseWindow(window);
}

TEST_F(VideoDialogTest, DeviceThatCannotStartIsReportedAndReleased) {
  struct Case {
    StartResult result;
    QString message;
    int status;
  };
  const Case cases[] = {
      {StartResult::NotConnected, QStringLiteral("Can’t build the graph"), CCaptureVideo::kGraphNotBuilt},
      {StartResult::NotRunning, QStringLiteral("Couldn’t run the graph!"), CCaptureVideo::kGraphNotRunning},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message.toStdString());
    FakeVideoInputs cameras({"Camera"});
    cameras.startResult = c.result;
    prompts.messages.clear();
    QPointer<CVideoDialog> window = OpenWindow();
    EXPECT_EQ(window->m_capture.StartCapture(0, window->m_preview), c.status);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, c.message);
    EXPECT_EQ(prompts.messages[0].caption, QString()) << "the application's title";
    EXPECT_EQ(window->m_capture.VideoWindow(), nullptr);
    ASSERT_EQ(cameras.opened.size(), 1u);
    EXPECT_FALSE(cameras.opened[0].alive);
    CloseWindow(window);
  }
}

TEST_F(VideoDialogTest, RunningDeviceThatFailsIsReported) {
  FakeVideoInputs cameras({"Camera"});
  QPointer<CVideoDialog> window = OpenWindow();
  EXPECT_EQ(window->m_capture.StartCapture(0, window->m_preview), CCaptureVideo::kStarted);
  EXPECT_TRUE(prompts.messages.empty());
  cameras.opened[0].input->Fail();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Couldn’t run the graph!"));
  CloseWindow(window);
}

// The close box, Esc and Enter all end the window; it is destroyed and its camera released.
TEST_F(VideoDialogTest, EndingTheWindowDestroysItAndStopsItsCamera) {
  const std::pair<const char*, std::function<void(CVideoDialog*)>> ways[] = {
      {"close box", [](CVideoDialog* w) { w->close(); }},
      {"Esc", [](CVideoDialog* w) { QTest::keyClick(w->m_cameraList, Qt::Key_Escape); }},
      {"Enter", [](CVideoDialog* w) { QTest::keyClick(w->m_cameraList, Qt::Key_Return); }},
  };
  for (const auto& [name, end] : ways) {
    SCOPED_TRACE(name);
    FakeVideoInputs cameras({"Camera"});
    QPointer<CVideoDialog> window = OpenWindow();
    Click(window, QStringLiteral("开启摄像头"));
    window->m_cameraList->setFocus();
    end(window);
    EXPECT_TRUE(WaitUntil([&] { return window.isNull(); }));
    ASSERT_EQ(cameras.opened.size(), 1u);
    EXPECT_FALSE(cameras.opened[0].alive);
  }
}

TEST_F(VideoDialogTest, ResizingMovesTheVideoAreaAndFitsThePicture) {
  FakeVideoInputs cameras({"Camera"});
  QPointer<CVideoDialog> window = OpenWindow();
  Click(window, QStringLiteral("开启摄像头"));
  // The window's outer rectangle in client coordinates: its frame reaches out by these margins.
  const QMargins frame(window->geometry().left() - window->frameGeometry().left(),
                       window->geometry().top() - window->frameGeometry().top(),
                       window->frameGeometry().right() - window->geometry().right(),
                       window->frameGeometry().bottom() - window->geometry().bottom());
  for (const QSize size : {QSize(800, 600), QSize(300, 200), window->size()}) {
    window->resize(size);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->m_preview->geometry(),
              QRect(20 - frame.left(), 75 - frame.top(), size.width() + frame.right() - 30,
                    size.height() + frame.bottom() - 60));
    EXPECT_EQ(window->m_capture.VideoWindow()->geometry(), window->m_preview->contentsRect());
  }
  window->showMaximized();
  QCoreApplication::processEvents();
  EXPECT_EQ(window->m_preview->width(), window->width() + frame.right() - 30);
  EXPECT_EQ(window->m_capture.VideoWindow()->geometry(), window->m_preview->contentsRect());
  CloseWindow(window);
}

TEST_F(VideoDialogTest, SnapshotNumbersContinueAcrossWindows) {
  FakeVideoInputs cameras({"Camera"});
  for (int n = 0; n < 2; ++n) {
    QPointer<CVideoDialog> window = OpenWindow();
    Click(window, QStringLiteral("开启摄像头"));
    Click(window, QStringLiteral("拍照"));
    Deliver(cameras.opened.back().sink, PatternImage(2, 2));
    CloseWindow(window);
  }
  std::vector<int> numbers;
  for (const QString& name : Snapshots()) numbers.push_back(name.mid(4).chopped(4).toInt());
  std::sort(numbers.begin(), numbers.end());
  ASSERT_EQ(numbers.size(), 2u);
  EXPECT_EQ(numbers[1], numbers[0] + 1);
}

}  // namespace
