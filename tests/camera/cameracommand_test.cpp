#include <QApplication>
#include <QPointer>

#include "camera/videodialog.h"
#include "tests/app/testerfixture.h"
#include "tests/camera/fakevideoinputs.h"

namespace {

class CameraCommandTest : public TesterFixture {
 protected:
  static QList<QPointer<CVideoDialog>> CameraWindows() {
    QList<QPointer<CVideoDialog>> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* window = qobject_cast<CVideoDialog*>(widget)) windows << window;
    }
    return windows;
  }
};

TEST_F(CameraCommandTest, EveryUseOpensOneMoreIndependentWindow) {
  FakeVideoInputs cameras({"Camera"});
  StartWindow();
  window->OnCommand(resources::ID_EDIT_CAMERA);
  window->OnCommand(resources::ID_EDIT_CAMERA);

  const QList<QPointer<CVideoDialog>> windows = CameraWindows();
  ASSERT_EQ(windows.size(), 2);
  for (const QPointer<CVideoDialog>& camera : windows) {
    EXPECT_TRUE(camera->isVisible());
    EXPECT_EQ(camera->parentWidget(), nullptr);
    EXPECT_EQ(camera->windowTitle(), QStringLiteral("视频窗口"));
  }
  windows[0]->close();
  EXPECT_TRUE(WaitUntil([&] { return windows[0].isNull(); }));
  EXPECT_FALSE(windows[1].isNull());
  windows[1]->close();
  EXPECT_TRUE(WaitUntil([&] { return windows[1].isNull(); }));
}

// Windows left open do not outlive the main window, and their cameras stop with them.
TEST_F(CameraCommandTest, OpenWindowsGoWithTheMainWindow) {
  FakeVideoInputs cameras({"Camera"});
  StartWindow();
  window->OnCommand(resources::ID_EDIT_CAMERA);
  const QList<QPointer<CVideoDialog>> windows = CameraWindows();
  ASSERT_EQ(windows.size(), 1);
  windows[0]->OnStartCamera();
  ASSERT_EQ(cameras.opened.size(), 1u);

  window.reset();
  EXPECT_TRUE(windows[0].isNull());
  EXPECT_FALSE(cameras.opened[0].alive);
}

}  // namespace
