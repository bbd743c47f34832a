// Dialog 108: the device information dialog.
#include "resources/resourceids.h"
#include "resources/useraboutemplate.h"

namespace resources {

DialogTemplate UserAboutTemplate() {
  using namespace userabout;
  DialogTemplate about;
  about.id = kDialog;
  about.caption = QStringLiteral("关于本程序");
  about.width = 426;
  about.height = 339;
  about.fontFace = QStringLiteral("MS Shell Dlg");
  const auto label = [](const char* text, int x, int y, int width) {
    return DialogItem{kStaticId, ItemKind::Label, QString::fromUtf8(text), x, y, width, 8};
  };
  const auto readOnly = [](int id, int x, int y) {
    return DialogItem{id, ItemKind::Edit, QString(), x, y, 90, 14};
  };
  about.items = {
      {kOk, ItemKind::DefaultPushButton, QStringLiteral("确定"), 318, 318, 50, 14},
      {kCancel, ItemKind::PushButton, QStringLiteral("取消"), 372, 318, 50, 14},
      {kStaticId, ItemKind::Icon, QString(), 12, 12, 20, 20, false, false, IDR_MAINFRAME},
      label("VarnostellionPlus", 40, 12, 114),
      label("触摸面板测试站 设备信息", 40, 24, 114),
      {kStaticId, ItemKind::GroupBox, QStringLiteral("固件信息"), 6, 36, 156, 90},
      label("固件类型", 18, 55, 28),
      readOnly(kFirmwareType, 61, 48),
      label("固件版本", 18, 72, 28),
      readOnly(kFirmwareVersion, 61, 66),
      label("固件日期", 18, 91, 28),
      readOnly(kFirmwareDate, 61, 84),
      label("Bootloader", 18, 109, 35),
      readOnly(kBootloaderVersion, 61, 102),
      {kStaticId, ItemKind::GroupBox, QStringLiteral("软件信息"), 6, 192, 156, 119},
      label("软件版本", 18, 209, 28),
      readOnly(kProgramVersion, 61, 203),
      {kHistoryList, ItemKind::ListView, QString(), 18, 222, 132, 84},
      {kStaticId, ItemKind::GroupBox, QStringLiteral("LOGO"), 168, 6, 252, 306},
      {kLogo, ItemKind::Picture, QString(), 174, 18, 240, 288},
  };
  return about;
}

}  // namespace resources
