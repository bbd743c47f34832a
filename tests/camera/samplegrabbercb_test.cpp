#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <atomic>
#include <thread>
#include <vector>

#include "camera/samplegrabbercb.h"
#include "tests/camera/frames.h"
#include "tests/support/scriptedprompts.h"
#include "tests/support/waituntil.h"

namespace {

class SnapshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    s_snapshotRequested.store(false);
    grabber.SetDirectory(dir.path());
  }
  void TearDown() override { s_snapshotRequested.store(false); }

  QString Path(const QString& name) const { return dir.filePath(name); }
  QStringList Snapshots() const { return QDir(dir.path()).entryList({"*.bmp"}, QDir::Files, QDir::Name); }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  CSampleGrabberCB grabber;
};

quint32 Field(const QByteArray& file, int offset, int size) {
  const auto* at = reinterpret_cast<const uchar*>(file.constData()) + offset;
  return size == 2 ? qFromLittleEndian<quint16>(at) : qFromLittleEndian<quint32>(at);
}

// Every header field, for frames whose rows need 0 to 3 bytes of padding.
TEST_F(SnapshotTest, WritesTheBitmapHeadersAndTheFrameUnchanged) {
  for (const QSize size : {QSize(1, 1), QSize(2, 3), QSize(3, 2), QSize(4, 4), QSize(5, 2)}) {
    SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
    const Rgb24Frame frame = Rgb24Frame::FromImage(PatternImage(size.width(), size.height()));
    const QStringList before = Snapshots();
    ASSERT_TRUE(grabber.WriteSnapshot(frame));
    const QStringList after = Snapshots();
    ASSERT_EQ(after.size(), before.size() + 1);
    const QByteArray file = FileBytes(Path(QStringLiteral("grab%1.bmp").arg(before.size())));

    const qsizetype pixels = frame.Bytes().size();
    ASSERT_EQ(file.size(), pixels + 54);
    struct Expected {
      const char* field;
      int offset;
      int size;
      quint32 value;
    };
    const Expected fields[] = {
        {"signature", 0, 2, 0x4D42},
        {"file size", 2, 4, static_cast<quint32>(pixels + 54)},
        {"reserved 1", 6, 2, 0},
        {"reserved 2", 8, 2, 0},
        {"pixel offset", 10, 4, 54},
        {"header size", 14, 4, 40},
        {"width", 18, 4, static_cast<quint32>(size.width())},
        {"height", 22, 4, static_cast<quint32>(size.height())},
        {"planes", 26, 2, 1},
        {"bits per pixel", 28, 2, 24},
        {"compression", 30, 4, 0},
        {"image size", 34, 4, 0},
        {"x resolution", 38, 4, 0},
        {"y resolution", 42, 4, 0},
        {"colours used", 46, 4, 0},
        {"important colours", 50, 4, 0},
    };
    for (const Expected& expected : fields) {
      EXPECT_EQ(Field(file, expected.offset, expected.size), expected.value) << expected.field;
    }
    EXPECT_EQ(file.mid(54), frame.Bytes());
  }
}

// An independent reader sees the picture upright and in its colours.
TEST_F(SnapshotTest, SnapshotReadsBackAsThePicture) {
  const QImage picture = PatternImage(5, 3);
  ASSERT_TRUE(grabber.WriteSnapshot(Rgb24Frame::FromImage(picture)));
  const QImage read(Path("grab0.bmp"));
  ASSERT_EQ(read.size(), picture.size());
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) EXPECT_EQ(read.pixel(x, y), picture.pixel(x, y)) << x << "," << y;
  }
}

TEST_F(SnapshotTest, NamesCountUpAndReplaceFilesOfAnEarlierRun) {
  {
    QFile old(Path("grab0.bmp"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(1000, 'x'));
  }
  const Rgb24Frame frame(2, 2, QByteArray(16, '\x55'));
  for (int n = 0; n < 3; ++n) ASSERT_TRUE(grabber.WriteSnapshot(frame));
  EXPECT_EQ(Snapshots(), QStringList({"grab0.bmp", "grab1.bmp", "grab2.bmp"}));
  EXPECT_EQ(FileBytes(Path("grab0.bmp")).size(), 16 + 54);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(SnapshotTest, UnwritableSnapshotIsReportedAndTheCounterMovesOn) {
  const QString missing = Path("missing");
  grabber.SetDirectory(missing);
  EXPECT_FALSE(grabber.WriteSnapshot(Rgb24Frame(1, 1, {})));
  ASSERT_TRUE(WaitUntil([&] { return !prompts.messages.empty(); }));
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            QStringLiteral("无法保存照片：") + QDir::toNativeSeparators(missing + "/grab0.bmp"));
  EXPECT_FALSE(QFile::exists(missing));

  grabber.SetDirectory(dir.path());
  ASSERT_TRUE(grabber.WriteSnapshot(Rgb24Frame(1, 1, {})));
  EXPECT_EQ(Snapshots(), QStringList({"grab1.bmp"}));
}

TEST_F(SnapshotTest, DirectoryIsTheProgramsWhenWritableElseThePicturesFolder) {
  EXPECT_EQ(CSampleGrabberCB::ChooseDirectory(dir.path()), dir.path());
  EXPECT_EQ(CSampleGrabberCB::ChooseDirectory(Path("missing")),
            QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
  CSampleGrabberCB unset;
  EXPECT_EQ(unset.Directory(), QCoreApplication::applicationDirPath() + "/");
}

TEST_F(SnapshotTest, FramesWithoutRequestWriteNothing) {
  grabber.BufferCB(FrameOf(PatternImage(4, 4)));
  EXPECT_TRUE(Snapshots().isEmpty());
}

TEST_F(SnapshotTest, RequestWaitsForAFrameWithAPicture) {
  s_snapshotRequested.store(true);
  grabber.BufferCB(QVideoFrame());
  EXPECT_TRUE(Snapshots().isEmpty());
  EXPECT_TRUE(s_snapshotRequested.load());

  const QImage picture = PatternImage(3, 2);
  grabber.BufferCB(FrameOf(picture));
  EXPECT_FALSE(s_snapshotRequested.load());
  ASSERT_EQ(Snapshots(), QStringList({"grab0.bmp"}));
  EXPECT_EQ(FileBytes(Path("grab0.bmp")).mid(54), Rgb24Frame::FromImage(picture).Bytes());
}

TEST_F(SnapshotTest, TwoRequestsBeforeAFrameGiveOneFile) {
  s_snapshotRequested.store(true);
  s_snapshotRequested.store(true);
  grabber.BufferCB(FrameOf(PatternImage(2, 2)));
  grabber.BufferCB(FrameOf(PatternImage(2, 2)));
  EXPECT_EQ(Snapshots(), QStringList({"grab0.bmp"}));
}

// Several captures deliver frames at once on their own threads; each request is taken once.
TEST_F(SnapshotTest, ConcurrentFramesTakeEachRequestOnce) {
  constexpr int kRounds = 20;
  constexpr int kThreads = 4;
  for (int round = 0; round < kRounds; ++round) {
    s_snapshotRequested.store(true);
    std::atomic<bool> go{false};
    std::vector<std::thread> captures;
    for (int t = 0; t < kThreads; ++t) {
      captures.emplace_back([&, frame = FrameOf(PatternImage(8, 6))] {
        while (!go.load()) std::this_thread::yield();
        grabber.BufferCB(frame);
      });
    }
    go.store(true);
    for (std::thread& capture : captures) capture.join();
  }
  EXPECT_EQ(Snapshots().size(), kRounds);
}

}  // namespace
