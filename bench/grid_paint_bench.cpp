// One complete grid paint (evaluation and drawing into the off-screen image) at the main
// window's size, every channel open, the values moving between paints as a live panel's do.
#include "display/colorbar.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1000;

void SetUpGrid(CColorBar& grid, int size) {
  grid.m_rows = size;
  grid.m_cols = size;
  grid.m_overIndication = 1;
  for (int c = 0; c < size; ++c) {
    for (int r = 0; r < size; ++r) {
      GridCell& cell = grid.m_cells[c][r];
      for (int k = 0; k < GRID_CHANNELS; ++k) {
        cell.reference[k] = 1000 + 7 * k;
        cell.thresholdHigh[k] = 1100 + 7 * k;
        cell.thresholdLow[k] = 900 + 7 * k;
        cell.mask[k] = MASK_OPEN;
      }
      cell.viewMin = 0;
      cell.viewMax = 2000;
    }
  }
}

// Each channel a base value with noise of +-15 counts.
void MoveValues(CColorBar& grid, int size, uint32_t& noise) {
  for (int c = 0; c < size; ++c) {
    for (int r = 0; r < size; ++r) {
      for (int k = 0; k < GRID_CHANNELS; ++k) {
        noise = noise * 1664525u + 1013904223u;
        const int delta = static_cast<int>((noise >> 16) % 31) - 15;
        grid.m_cells[c][r].data[k].store(static_cast<uint16_t>(1000 + 7 * k + delta), std::memory_order_relaxed);
      }
    }
  }
}

void BM_GridPaint(benchmark::State& state, int size) {
  CColorBar grid;
  SetUpGrid(grid, size);
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  uint32_t noise = 12345;
  for (auto _ : state) {
    state.PauseTiming();
    MoveValues(grid, size, noise);
    state.ResumeTiming();
    grid.Paint(image);
    benchmark::DoNotOptimize(image.constBits());
  }
}

BENCHMARK_CAPTURE(BM_GridPaint, 1x1, 1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_GridPaint, 3x3, 3)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_GridPaint, 9x9, 9)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);  // fonts need the application object
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
