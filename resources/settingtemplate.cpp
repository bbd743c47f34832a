#include "resources/settingtemplate.h"

namespace resources {

DialogTemplate SettingTemplate() {
  using namespace setting;
  DialogTemplate dialog;
  dialog.id = kDialog;
  dialog.caption = QStringLiteral("基准值参数设定");
  dialog.width = 379;
  dialog.height = 351;
  dialog.fontFace = QStringLiteral("MS Shell Dlg");
  dialog.items = {
      {kSampleList, ItemKind::ListView, QString(), 6, 6, 366, 78},
      {kRead, ItemKind::PushButton, QStringLiteral("Read"), 6, 90, 50, 14},
      {kSave, ItemKind::PushButton, QStringLiteral("Save"), 270, 90, 50, 14},
      {kLoad, ItemKind::PushButton, QStringLiteral("Load"), 324, 90, 50, 14},
      {kAverageList, ItemKind::ListView, QString(), 6, 108, 366, 42},
      {kAverage, ItemKind::PushButton, QStringLiteral("Averange"), 6, 156, 50, 14},
      {kStaticId, ItemKind::GroupBox, QStringLiteral("坐标范围"), 6, 174, 180, 54},
      {kStaticId, ItemKind::Label, QStringLiteral("显示数值上限"), 18, 193, 42, 8},
      {kViewMax, ItemKind::Edit, QString(), 84, 186, 96, 14},
      {kStaticId, ItemKind::Label, QStringLiteral("显示数值下限"), 18, 210, 42, 8},
      {kViewMin, ItemKind::Edit, QString(), 84, 205, 96, 14},
      {kStaticId, ItemKind::GroupBox, QStringLiteral("上下限设定"), 192, 174, 180, 54},
      {kPercentageRule, ItemKind::RadioButton, QStringLiteral("按照百分比"), 204, 189, 50, 10},
      {kPercentage, ItemKind::Edit, QString(), 276, 186, 90, 14},
      {kOffsetRule, ItemKind::RadioButton, QStringLiteral("按照下上限"), 204, 209, 50, 10},
      {kLowerOffset, ItemKind::Edit, QString(), 276, 205, 42, 14},
      {kUpperOffset, ItemKind::Edit, QString(), 324, 205, 42, 14},
      {kPreview, ItemKind::BlackFrame, QString(), 6, 234, 306, 108},
      {kOpenAll, ItemKind::PushButton, QStringLiteral("全部打开"), 318, 234, 50, 14},
      {kCloseAll, ItemKind::PushButton, QStringLiteral("全部关闭"), 318, 253, 50, 14},
      {kOk, ItemKind::DefaultPushButton, QStringLiteral("确定"), 318, 313, 50, 14},
      {kCancel, ItemKind::PushButton, QStringLiteral("取消"), 318, 330, 50, 14},
  };
  return dialog;
}

}  // namespace resources
