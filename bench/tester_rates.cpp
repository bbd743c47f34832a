// How the tester runs against a standalone emulated board with the default 1 ms wire time:
// the repaint period its grid achieves, its measurement cycles per second and its CPU use
// (the board runs in its own process, so only the tester's own CPU time is counted).
// Run it under Xvfb at 1920 x 1080 for figures comparable with a bench PC.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <sys/resource.h>

#include "app/varnostellionplusdlgdlg.h"
#include "platform/devicenotifier.h"
#include "platform/virtualbus.h"

namespace {

// Counts the grid's paints; the grid paints only when what it shows has changed.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the event loop, sleeping while there is nothing to do, as the program's own loop does.
void RunEvents(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

void BM_TesterRates(benchmark::State& state, const char* layout) {
  QTemporaryDir dir;
  QProcess board;
  QStringList arguments = {"--dir", dir.path()};
  if (QString(layout) != "single") arguments << "--model" << "expansion" << "--layout" << layout;
  board.start(VARNO_BOARD_PROGRAM, arguments);
  if (!board.waitForStarted(5000)) {
    state.SkipWithError("board program did not start");
    return;
  }
  plat::VirtualBus bus(dir.path().toStdString());
  plat::DeviceNotifier notifier(dir.path());
  RunEvents(500);  // the board's socket appears
  CVarnostellionPlusDlgDlg window(bus, &notifier);
  window.OnInitDialog();
  RunEvents(layout == std::string("9x9") ? 10000 : 2000);  // identification and parameter load

  PaintCounter counter;
  window.m_grid.installEventFilter(&counter);
  const int framesBefore = s_frameCount.load() + s_frameCountExpansion.load();
  const double cpuBefore = ProcessCpuSeconds();
  QElapsedTimer elapsed;
  for (auto _ : state) {
    elapsed.start();
    RunEvents(10000);
  }
  const double seconds = elapsed.elapsed() / 1000.0;
  const int frames = s_frameCount.load() + s_frameCountExpansion.load() - framesBefore;
  state.counters["repaint_ms"] = counter.paints > 0 ? 1000.0 * seconds / counter.paints : 0;
  state.counters["cycles_per_s"] = frames / seconds;
  state.counters["cpu_percent"] = 100.0 * (ProcessCpuSeconds() - cpuBefore) / seconds;
  window.m_grid.removeEventFilter(&counter);
  window.close();
  board.write("quit\n");
  board.waitForFinished(5000);
}

BENCHMARK_CAPTURE(BM_TesterRates, 9x9, "9x9")->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_TesterRates, single, "single")->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
