#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/varnostellionplusdlgapp.h"
#include "platform/singleinstance.h"
#include "tests/support/scriptedprompts.h"

namespace {

// The lock lives in the runtime directory; a private one keeps real copies of the program,
// and tests running beside this one, out of the way.
class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = qgetenv("XDG_RUNTIME_DIR");
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  }
  void TearDown() override { qputenv("XDG_RUNTIME_DIR", saved); }

  QTemporaryDir runtime;
  QByteArray saved;
};

TEST_F(SingleInstanceTest, SecondCopyShowsTheMessageAndEndsWhileTheFirstKeepsItsLock) {
  const plat::SingleInstance first(QString::fromLatin1(CVarnostellionPlusDlgApp::kInstanceName));
  ASSERT_FALSE(first.IsAnotherRunning());
  ScriptedPrompts prompts;
  CVarnostellionPlusDlgApp second;
  EXPECT_EQ(second.InitInstance(ProgramOptions::Parse({"varnostellion"})), 0);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, QStringLiteral("已经运行了一个程序，禁止同时开启两个相同的程序!"));
  EXPECT_TRUE(prompts.messages[0].caption.isEmpty());
  EXPECT_EQ(prompts.messages[0].icon, plat::MessageIcon::Information);
  // The first copy still holds the lock: a third is refused as well.
  EXPECT_TRUE(plat::SingleInstance(QString::fromLatin1(CVarnostellionPlusDlgApp::kInstanceName)).IsAnotherRunning());
}

TEST_F(SingleInstanceTest, LockIsFreeAgainOnceItsHolderEnds) {
  const QString name = QStringLiteral("varnostellion-test-lock");
  { const plat::SingleInstance holder(name); EXPECT_FALSE(holder.IsAnotherRunning()); }
  EXPECT_FALSE(plat::SingleInstance(name).IsAnotherRunning());
}

struct OptionCase {
  QStringList arguments;
  bool valid;
  int rows, cols;  // of the simulated board, -1 when none
};

TEST(ProgramOptionsTest, SimulationAndScreenshotOptions) {
  const OptionCase cases[] = {
      {{"p"}, true, -1, -1},
      {{"p", "--simulate", "single"}, true, 1, 1},
      {{"p", "--simulate", "expansion:3x4"}, true, 3, 4},
      {{"p", "--simulate", "expansion:9x9"}, true, 9, 9},
      {{"p", "--simulate", "expansion:10x1"}, false, -1, -1},
      {{"p", "--simulate", "double"}, false, -1, -1},
      {{"p", "--screenshot-after", "soon"}, false, -1, -1},
      {{"p", "--bogus"}, false, -1, -1},
      {{"p", "--report-first-paint"}, true, -1, -1},
  };
  for (const OptionCase& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const ProgramOptions options = ProgramOptions::Parse(c.arguments);
    EXPECT_EQ(options.error.isEmpty(), c.valid) << options.error.toStdString();
    EXPECT_TRUE(options.help.isEmpty());
    if (c.rows < 0) {
      if (c.valid) {
        EXPECT_FALSE(options.simulate.has_value());
      }
      continue;
    }
    ASSERT_TRUE(options.simulate.has_value());
    EXPECT_EQ(options.simulate->CellCount(), c.rows * c.cols);
  }
}

TEST(ProgramOptionsTest, HelpListsTheOptions) {
  const ProgramOptions options = ProgramOptions::Parse({"p", "--help"});
  EXPECT_TRUE(options.help.contains("--simulate"));
  EXPECT_TRUE(options.help.contains("--report-first-paint"));
}

}  // namespace
