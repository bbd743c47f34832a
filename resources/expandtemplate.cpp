// Dialog 107: the expansion-board set-up.
#include "resources/expandtemplate.h"

namespace resources {

DialogTemplate ExpandTemplate() {
  using namespace expand;
  DialogTemplate dialog;
  dialog.id = kDialog;
  dialog.caption = QStringLiteral("扩展板参数设定");
  dialog.width = 378;
  dialog.height = 303;
  dialog.fontFace = QStringLiteral("MS Shell Dlg");
  const auto edit = [](int id, int x, int y, int width) {
    return DialogItem{id, ItemKind::Edit, QString(), x, y, width, 14};
  };
  const auto button = [](int id, const char* text, int x, int y) {
    return DialogItem{id, ItemKind::PushButton, QString::fromUtf8(text), x, y, 50, 14};
  };
  dialog.items = {
      {kStaticId, ItemKind::Picture, QString(), 6, 6, 150, 270, false, false, kPicture},
      {kStaticId, ItemKind::GroupBox, QStringLiteral("扩展板地址设定"), 162, 6, 210, 72},
      {kStaticId, ItemKind::Label, QStringLiteral("扩展板数量"), 174, 24, 35, 8},
      edit(kBoardCount, 228, 18, 138),
      {kStaticId, ItemKind::Label, QStringLiteral("扩展板地址"), 174, 42, 35, 8},
      edit(kBoardAddresses[0], 228, 36, 30),
      edit(kBoardAddresses[1], 264, 36, 30),
      edit(kBoardAddresses[2], 300, 36, 30),
      edit(kBoardAddresses[3], 336, 36, 30),
      edit(kBoardAddresses[4], 228, 54, 30),
      edit(kBoardAddresses[5], 264, 54, 30),
      edit(kBoardAddresses[6], 300, 54, 30),
      edit(kBoardAddresses[7], 336, 54, 30),
      {kStaticId, ItemKind::GroupBox, QStringLiteral("界面行列数设定"), 162, 84, 210, 54},
      {kStaticId, ItemKind::Label, QStringLiteral("行数"), 174, 102, 15, 8},
      {kStaticId, ItemKind::Label, QStringLiteral("列数"), 174, 120, 15, 8},
      edit(kRows, 228, 96, 66),
      edit(kCols, 228, 114, 66),
      button(kReadLayout, "Read", 312, 96),
      button(kWriteLayout, "Write", 312, 114),
      {kStaticId, ItemKind::GroupBox, QStringLiteral("通道数映射关系"), 162, 144, 210, 132},
      {kMappingList, ItemKind::ListView, QString(), 168, 156, 198, 96},
      button(kQuickInit, "快速初始化", 210, 258),
      button(kReadTable, "读取", 264, 258),
      button(kWriteTable, "写入", 318, 258),
      {kOk, ItemKind::DefaultPushButton, QStringLiteral("确定"), 270, 282, 50, 14},
      button(kCancel, "取消", 324, 282),
  };
  return dialog;
}

}  // namespace resources
