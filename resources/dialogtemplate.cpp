#include "resources/dialogtemplate.h"

#include <map>

#include "resources/resourceids.h"
#include "resources/settingtemplate.h"
#include "resources/expandtemplate.h"
#include "resources/useraboutemplate.h"
#include "camera/videoids.h"

namespace resources {

DialogTemplate VideoWindowTemplate();  // in cameratemplate.cpp

namespace {

DialogTemplate MainWindow() {
  DialogTemplate main;
  main.id = IDD_MAIN;
  main.caption = QStringLiteral("VarnostellionPlus");
  main.width = 432;
  main.height = 305;
  main.fontFace = QStringLiteral("MS Shell Dlg");
  main.resizable = true;
  main.menu = IDR_MAIN_MENU;
  main.items = {
      {1, ItemKind::DefaultPushButton, QStringLiteral("确定"), 54, 54, 50, 14, true, true},
      {2, ItemKind::PushButton, QStringLiteral("取消"), 108, 54, 50, 14, true, false},
      {IDC_GRID, ItemKind::BlackFrame, QString(), 6, 6, 420, 294},
  };
  return main;
}

DialogTemplate AboutBox() {
  DialogTemplate about;
  about.id = IDD_ABOUTBOX;
  about.caption = QStringLiteral("关于 VarnostellionPlusDlg");
  about.width = 170;
  about.height = 62;
  about.fontFace = QStringLiteral("MS Shell Dlg");
  about.items = {
      {kStaticId, ItemKind::Icon, QString(), 14, 14, 20, 20, false, false, IDR_MAINFRAME},
      {kStaticId, ItemKind::Label, QStringLiteral("VarnostellionPlusDlg，1.0 版"), 42, 14, 114, 8},
      {kStaticId, ItemKind::Label, QStringLiteral("触摸面板测试站"), 42, 26, 114, 8},
      {1, ItemKind::DefaultPushButton, QStringLiteral("确定"), 113, 41, 50, 14},
  };
  return about;
}

}  // namespace

const DialogTemplate& Dialog(int id) {
  static const std::map<int, DialogTemplate> templates = {
      {IDD_MAIN, MainWindow()},
      {IDD_ABOUTBOX, AboutBox()},
      {setting::kDialog, SettingTemplate()},
      {expand::kDialog, ExpandTemplate()},
      {userabout::kDialog, UserAboutTemplate()},
      {camera::IDD_VIDEO, VideoWindowTemplate()},
  };
  static const DialogTemplate none;
  const auto found = templates.find(id);
  return found != templates.end() ? found->second : none;
}

}  // namespace resources
