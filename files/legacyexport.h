#pragma once

#include <cstdint>

#include "files/filecommandcontext.h"

namespace plat {
class ProfileFile;
}

// The write-only export of the per-cell parameters in the older layout: one group of
// sections per cell, one key per channel, with the status bar's progress control running.
// It closes with no message when it worked and with "文件保存失败！" when the file could not
// be written or a board read failed (the file is then left as it was).
class CLegacyExport {
 public:
  explicit CLegacyExport(FileCommandContext context) : m_context(std::move(context)) {}

  void OnSaveLegacyConfigFile();

 private:
  void ExportCell(plat::ProfileFile& file, int cell);
  void ShowProgress(int cells);
  void HideProgress();

  FileCommandContext m_context;
};
