#pragma once

#include <QString>
#include <cstdint>

#include "device/usbchannel.h"
#include "files/filecommandcontext.h"

namespace plat {
class ProfileFile;
}

// Saving the attached board's parameters to a configuration file and loading them back into
// a board of the same device type. Both run on the user-interface thread.
//
// Either command ends with a message that says whether it worked: a file that could not be
// written, or a board exchange that failed on the way, is reported as a failure. A save whose
// board reads failed leaves the file as it was rather than store what a silent board gave.
class CConfigFile {
 public:
  explicit CConfigFile(FileCommandContext context) : m_context(std::move(context)) {}

  void OnSaveConfigFile();
  void OnLoadConfigFile();

 private:
  void SaveCommonSections(plat::ProfileFile& file, const QString& deviceType);
  void SaveBridgeBoard(plat::ProfileFile& file);
  void SaveCells(plat::ProfileFile& file, std::uint64_t failuresBefore);

  void LoadCommonSections(const plat::ProfileFile& file);
  void LoadBridgeBoard(const plat::ProfileFile& file);
  void LoadCells(const plat::ProfileFile& file, std::uint64_t failuresBefore);
  void LoadCellBlock(const QString& text, CellBlockKind kind, int cell);

  bool ExchangesFailedSince(std::uint64_t failuresBefore) const;
  void ShowOutcome(bool success, const QString& done, const QString& failed, const QString& caption);

  FileCommandContext m_context;
};
