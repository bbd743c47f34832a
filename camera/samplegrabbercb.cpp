#include "camera/samplegrabbercb.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QVideoFrame>

#include "platform/operatorprompts.h"

CSampleGrabberCB s_grabberCallback;
std::atomic<bool> s_snapshotRequested{false};

namespace {

constexpr qint64 kHeadersSize = 14 + 40;

QByteArray BmpHeaders(const Rgb24Frame& frame) {
  QByteArray headers;
  QDataStream out(&headers, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  // File header.
  out << quint16{0x4D42} << static_cast<quint32>(frame.Bytes().size() + kHeadersSize)
      << quint16{0} << quint16{0} << static_cast<quint32>(kHeadersSize);
  // Info header: a positive height, so the rows run bottom-up as the frame holds them.
  out << quint32{40} << static_cast<qint32>(frame.Width()) << static_cast<qint32>(frame.Height())
      << quint16{1} << quint16{24};
  for (int field = 0; field < 6; ++field) out << quint32{0};
  return headers;
}

// Called from the frame thread; the message box belongs to the user-interface thread.
void ReportUnwritable(const QString& path) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return;
  QMetaObject::invokeMethod(
      app,
      [path] {
        plat::Prompts().ShowMessage(nullptr,
                                    QStringLiteral("无法保存照片：%1").arg(QDir::toNativeSeparators(path)),
                                    QString(), plat::MessageIcon::Warning, plat::MessageButtons::Ok);
      },
      Qt::QueuedConnection);
}

}  // namespace

void CSampleGrabberCB::BufferCB(const QVideoFrame& frame) {
  if (!s_snapshotRequested.load()) return;
  const QImage picture = frame.toImage();
  if (picture.isNull()) return;
  // Frames of several windows may race for one request; only one of them takes it.
  if (!s_snapshotRequested.exchange(false)) return;
  WriteSnapshot(Rgb24Frame::FromImage(picture));
}

bool CSampleGrabberCB::WriteSnapshot(const Rgb24Frame& frame) {
  const QString path = QStringLiteral("%1grab%2.bmp").arg(Directory()).arg(m_counter.fetch_add(1));
  QSaveFile file(path);
  const bool written = file.open(QIODevice::WriteOnly) && file.write(BmpHeaders(frame)) == kHeadersSize &&
                       file.write(frame.Bytes()) == frame.Bytes().size() && file.commit();
  if (!written) ReportUnwritable(path);
  return written;
}

void CSampleGrabberCB::SetDirectory(const QString& directory) {
  std::lock_guard lock(m_directoryLock);
  m_directory = QDir(directory).absolutePath() + QLatin1Char('/');
}

QString CSampleGrabberCB::Directory() {
  std::lock_guard lock(m_directoryLock);
  if (m_directory.isEmpty()) {
    m_directory = QDir(ChooseDirectory(QCoreApplication::applicationDirPath())).absolutePath() +
                  QLatin1Char('/');
  }
  return m_directory;
}

QString CSampleGrabberCB::ChooseDirectory(const QString& programDirectory) {
  const QFileInfo program(programDirectory);
  if (program.isDir() && program.isWritable()) return programDirectory;
  const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  QDir().mkpath(pictures);
  return pictures;
}
