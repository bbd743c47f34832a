// A whole configuration save and a whole load against an emulated 8 x 8 expansion board, wire
// time off: what is left is the protocol's own pauses (20 ms before each cell-block transfer,
// 10 ms after each memory write) and the program's work around them.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <chrono>

#include "board/emulatedboard.h"
#include "device/usbchannel.h"
#include "display/colorbar.h"
#include "display/statusbarex.h"
#include "files/configfile.h"
#include "platform/virtualbus.h"
#include "tests/support/scriptedprompts.h"

namespace {

constexpr int kRows = 8;
constexpr int kCols = 8;
constexpr int kCells = kRows * kCols;
// Save per cell: settings read and four block reads, 20 ms before each.
constexpr double kSavePausesMs = kCells * 5 * 20.0;
// Load per cell: table rewrite (four memory writes), settings read, four block writes.
constexpr double kLoadPausesMs = kCells * (4 * 10.0 + 20.0 + 4 * (20.0 + 10.0));

struct Station {
  Station() {
    board::BoardConfig config;
    config.model = board::Model::Expansion;
    config.rows = kRows;
    config.cols = kCols;
    board.ResetToFactory(config);
    board.SetReportPeriod({});
    board.Plug();
    ready = !link.Connect();
    link.LoadGlobalBlock();
    link.LoadExpansionTable();
    grid.m_rows = kRows;
    grid.m_cols = kCols;
  }

  CConfigFile Commands() {
    return CConfigFile(FileCommandContext{.owner = nullptr,
                                          .device = link,
                                          .grid = grid,
                                          .statusBar = statusBar,
                                          .readDeviceType = [] { return QStringLiteral("VARNOSTELLIONPLU"); },
                                          .pauseDispatcher = [] {},
                                          .resumeDispatcher = [] {}});
  }

  // Succeeded when the last message is the one of success.
  bool Succeeded(const char* text) const {
    return !prompts.messages.empty() && prompts.messages.back().text == QString::fromUtf8(text);
  }

  QTemporaryDir dir;
  board::EmulatedBoard board{dir.path().toStdString(), "bench", {}};
  plat::VirtualBus bus{dir.path().toStdString()};
  CUSBChannel link{bus};
  CColorBar grid;
  CStatusBarEx statusBar;
  ScriptedPrompts prompts;
  QString path = dir.filePath("bench.ini");
  bool ready = false;
};

void BM_SaveConfig(benchmark::State& state) {
  Station station;
  if (!station.ready) {
    state.SkipWithError("no emulated board");
    return;
  }
  for (auto _ : state) {
    station.prompts.files.push_back(station.path);
    station.Commands().OnSaveConfigFile();
  }
  if (!station.Succeeded("文件保存成功！")) state.SkipWithError("save failed");
  state.counters["pauses_ms"] = kSavePausesMs;
}

void BM_LoadConfig(benchmark::State& state) {
  Station station;
  if (!station.ready) {
    state.SkipWithError("no emulated board");
    return;
  }
  station.prompts.files.push_back(station.path);
  station.Commands().OnSaveConfigFile();
  for (auto _ : state) {
    station.prompts.files.push_back(station.path);
    station.Commands().OnLoadConfigFile();
  }
  if (!station.Succeeded("文件载入成功！")) state.SkipWithError("load failed");
  state.counters["pauses_ms"] = kLoadPausesMs;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  for (auto [name, function] : {std::pair{"BM_SaveConfig/8x8", &BM_SaveConfig},
                                std::pair{"BM_LoadConfig/8x8", &BM_LoadConfig}}) {
    benchmark::RegisterBenchmark(name, function)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond)->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
