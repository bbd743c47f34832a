#include "app/varnostellionplusdlgapp.h"

#include <QApplication>
#include <QDateTime>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/demoboard.h"
#include "app/varnostellionplusdlgdlg.h"
#include "platform/combinedbus.h"
#include "platform/devicenotifier.h"
#include "platform/hidapibus.h"
#include "platform/operatorprompts.h"
#include "platform/singleinstance.h"
#include "platform/virtualbus.h"

namespace {

void ReportFirstPaint(CVarnostellionPlusDlgDlg& window) {
  QObject::connect(
      &window.m_grid, &CColorBar::FramePresented, &window,
      [] {
        std::fprintf(stderr, "first grid painted at %lld\n",
                     static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
      },
      Qt::SingleShotConnection);
}

void ScheduleScreenshot(CVarnostellionPlusDlgDlg& window, const QString& file, int delayMs) {
  QTimer::singleShot(delayMs, &window, [&window, file] {
    const bool written = window.grab().save(file, "PNG");
    std::fprintf(written ? stdout : stderr, "%s %s\n",
                 written ? "screenshot written to" : "could not write the screenshot",
                 file.toLocal8Bit().constData());
    window.close();
  });
}

}  // namespace

int CVarnostellionPlusDlgApp::InitInstance(const ProgramOptions& options) {
  if (!options.error.isEmpty()) {
    std::fprintf(stderr, "%s\n", options.error.toLocal8Bit().constData());
    return 2;
  }
  const plat::SingleInstance instance(QString::fromLatin1(kInstanceName));
  if (instance.IsAnotherRunning()) {
    plat::Prompts().ShowMessage(nullptr,
                                QStringLiteral("已经运行了一个程序，禁止同时开启两个相同的程序!"),
                                QString(), plat::MessageIcon::Information, plat::MessageButtons::Ok);
    return 0;
  }

  std::unique_ptr<DemoBoard> demo;
  QString boardDirectory = options.boardDirectory;
  if (options.simulate) {
    demo = std::make_unique<DemoBoard>(*options.simulate);
    if (boardDirectory.isEmpty()) boardDirectory = demo->Directory();
  }
  if (boardDirectory.isEmpty()) boardDirectory = QString::fromStdString(plat::VirtualBus::DefaultDirectory());

  std::vector<std::unique_ptr<plat::HidBus>> buses;
  buses.push_back(std::make_unique<plat::HidapiBus>());
  buses.push_back(std::make_unique<plat::VirtualBus>(boardDirectory.toStdString()));
  plat::CombinedBus bus(std::move(buses));
  plat::DeviceNotifier notifier(boardDirectory);

  CVarnostellionPlusDlgDlg window(bus, &notifier);
  if (options.reportFirstPaint) ReportFirstPaint(window);
  window.OnInitDialog();
  if (!options.screenshot.isEmpty()) ScheduleScreenshot(window, options.screenshot, options.screenshotDelayMs);
  window.exec();
  return 0;
}
