// Exchanges of the device link with an emulated board over the virtual bus.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <chrono>

#include "board/emulatedboard.h"
#include "device/usbchannel.h"
#include "platform/virtualbus.h"

namespace {

using namespace std::chrono_literals;

struct LinkedBoard {
  explicit LinkedBoard(std::chrono::nanoseconds reportPeriod) {
    board.SetReportPeriod(reportPeriod);
    board.Plug();
    ready = !link.Connect();
  }
  QTemporaryDir dir;
  board::EmulatedBoard board{dir.path().toStdString(), "bench", {}};
  plat::VirtualBus bus{dir.path().toStdString()};
  CUSBChannel link{bus};
  bool ready = false;
};

// Wire time of one report crossing in one direction.
constexpr auto kReportPeriod = 1ms;
// One cycle's reports: ReadChannels (1 out, 1 in) and three SetOutput, each ReadOutputs
// (1 out, 1 in) then WriteOutputs (2 out, 1 in).
constexpr int kReportsPerCycle = 2 + 3 * (2 + 3);

// False, with the benchmark marked as failed, when the board could not be reached.
bool Ready(const LinkedBoard& linked, benchmark::State& state) {
  if (!linked.ready) state.SkipWithError("no emulated board");
  return linked.ready;
}

void BM_ReadChannelValues(benchmark::State& state) {
  LinkedBoard linked(0ns);
  if (!Ready(linked, state)) return;
  CUSBChannel::ChannelValues values{};
  for (auto _ : state) {
    linked.link.ReadChannelValues(values);
    benchmark::DoNotOptimize(values);
  }
  state.SetItemsProcessed(state.iterations());
  if (linked.link.FailedExchanges() != 0) state.SkipWithError("exchanges failed");
}
BENCHMARK(BM_ReadChannelValues)->UseRealTime();

void BM_SingleBoardCycle(benchmark::State& state) {
  LinkedBoard linked(kReportPeriod);
  if (!Ready(linked, state)) return;
  CUSBChannel::ChannelValues values{};
  for (auto _ : state) {
    linked.link.ReadChannelValues(values);
    linked.link.SetOutput(CUSBChannel::OUTPUT_BUZZER, 0);
    linked.link.SetOutput(CUSBChannel::OUTPUT_LAMP_A, 0);
    linked.link.SetOutput(CUSBChannel::OUTPUT_LAMP_B, 1);
  }
  state.counters["wire_ms"] = std::chrono::duration<double, std::milli>(kReportPeriod).count() * kReportsPerCycle;
  if (linked.link.FailedExchanges() != 0) state.SkipWithError("exchanges failed");
}
BENCHMARK(BM_SingleBoardCycle)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
