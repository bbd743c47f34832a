#include "files/legacyexport.h"

#include "device/usbchannel.h"
#include "display/colorbar.h"
#include "display/statusbarex.h"
#include "files/configvalues.h"
#include "platform/operatorprompts.h"
#include "platform/profilefile.h"

namespace {

constexpr std::size_t kChannels = 32;

QString Number(std::int64_t value) { return QString::number(value); }

QString ChannelKey(std::size_t channel) { return QString::asprintf("CH%02d", static_cast<int>(channel)); }

std::uint16_t U16At(const CUSBChannel::CellSettings& settings, std::size_t offset) {
  return static_cast<std::uint16_t>(settings[offset] | (settings[offset + 1] << 8));
}

}  // namespace

void CLegacyExport::OnSaveLegacyConfigFile() {
  const std::optional<QString> path =
      plat::Prompts().AskSaveFile(m_context.owner, kConfigFileFilter, QStringLiteral(".txt"));
  if (!path) return;
  CUSBChannel& device = m_context.device;
  const std::uint64_t failuresBefore = device.FailedExchanges();
  const int rows = m_context.grid.m_rows.load();
  const int cols = m_context.grid.m_cols.load();
  const int cells = FileCellCount(rows, cols);
  plat::ProfileFile file = plat::ProfileFile::Open(*path);
  ShowProgress(cells);
  const QString global = QStringLiteral("GLOBAL");
  file.Write(global, QStringLiteral("FPCTEST"), Number(m_context.grid.m_overIndication.load()));
  file.Write(global, QStringLiteral("COL"), Number(cols));
  file.Write(global, QStringLiteral("ROW"), Number(rows));
  for (int cell = 0; cell < cells && device.FailedExchanges() == failuresBefore; ++cell) {
    ExportCell(file, cell);
    QProgressBar& progress = m_context.statusBar.m_progress;
    progress.setValue(std::min(progress.value() + 1, progress.maximum()));
  }
  HideProgress();
  const bool saved = device.FailedExchanges() == failuresBefore && file.Save(*path);
  if (saved) return;
  plat::Prompts().ShowMessage(m_context.owner, QStringLiteral("文件保存失败！"), QStringLiteral("参数保存"),
                              plat::MessageIcon::Warning, plat::MessageButtons::Ok);
}

void CLegacyExport::ExportCell(plat::ProfileFile& file, int cell) {
  CUSBChannel& device = m_context.device;
  auto section = [cell](const char* format) { return QString::asprintf(format, cell); };
  auto writeChannels = [&](const QString& name, CellBlockKind kind) {
    CUSBChannel::Block block{};
    device.ReadCellBlock(kind, cell, block);
    const configvalues::Words words = configvalues::WordsOf(block);
    for (std::size_t k = 0; k < kChannels; ++k) {
      file.Write(name, ChannelKey(k), Number(kind == CellBlockKind::MASK ? block[k] : words[k]));
    }
  };

  device.LoadCellSettings(cell);
  const CUSBChannel::CellSettings settings = device.GetCellSettings();
  const QString offset = section("PAGE%02d_OFFSET");
  file.Write(offset, section("PAGE%02d_OFFSETTYPE"), Number(settings[GlobalBlock::TYPE]));
  file.Write(offset, section("PAGE%02d_PERCENTAGE"), Number(U16At(settings, GlobalBlock::PERCENTAGE)));
  file.Write(offset, section("PAGE%02d_OFFSETUPPER"), Number(U16At(settings, GlobalBlock::ALLOWEDTHRES_HIGH)));
  file.Write(offset, section("PAGE%02d_OFFSETLOWER"), Number(U16At(settings, GlobalBlock::ALLOWEDTHRES_LOW)));
  writeChannels(section("PAGE%02d_REFDATA"), CellBlockKind::REFERENCE);
  writeChannels(section("PAGE%02d_THRESHOLDHIGH"), CellBlockKind::THRESHOLD_HIGH);
  writeChannels(section("PAGE%02d_THRESHOLDLOW"), CellBlockKind::THRESHOLD_LOW);
  // "DATARANG" without its final E is the section name of the older layout.
  file.Write(section("PAGE%02d_DATARANG"), QStringLiteral("MAX"), Number(U16At(settings, GlobalBlock::VIEWDATARANGE_MAX)));
  file.Write(section("PAGE%02d_DATARANGE"), QStringLiteral("MIN"), Number(U16At(settings, GlobalBlock::VIEWDATARANGE_MIN)));
  writeChannels(section("PAGE%02d_MASK"), CellBlockKind::MASK);
}

void CLegacyExport::ShowProgress(int cells) {
  CStatusBarEx& bar = m_context.statusBar;
  if (!bar.m_progressShown) {
    bar.m_progress.show();
    bar.m_progressShown = 1;
    bar.PlaceProgress(0, 1);
    bar.repaint();
  }
  bar.m_progress.setRange(0, cells);
  bar.m_progress.setValue(0);
}

void CLegacyExport::HideProgress() {
  CStatusBarEx& bar = m_context.statusBar;
  if (!bar.m_progressShown) return;
  bar.m_progress.hide();
  bar.m_progressShown = 0;
}
