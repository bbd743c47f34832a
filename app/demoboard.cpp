#include "app/demoboard.h"

namespace {

constexpr std::uint16_t kNoise = 6;
constexpr std::chrono::milliseconds kSweepStep{120};

}  // namespace

DemoBoard::DemoBoard(const board::BoardConfig& config) {
  if (!m_directory.isValid()) return;
  m_board = std::make_unique<board::EmulatedBoard>(m_directory.path().toStdString(), "demo", config);
  m_board->SetNoise(kNoise);
  m_board->StartSweep(kSweepStep, true);
  m_board->Plug();
}
