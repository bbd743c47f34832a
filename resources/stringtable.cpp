#include "resources/stringtable.h"

#include <map>

#include "resources/resourceids.h"

namespace resources {

QString String(int id) {
  static const std::map<int, QString> strings = {
      {IDS_ABOUTBOX, QStringLiteral("关于 VarnostellionPlusDlg(&A)...")},
      {IDS_PANE_0, QStringLiteral(">")},
      {IDS_SOCKETS_INIT_FAILED, QStringLiteral("Windows 套接字初始化失败。")},
      {IDS_PANE_1, QStringLiteral("请插入设备")},
      {IDS_PANE_2, QStringLiteral("请插入设备")},
  };
  const auto found = strings.find(id);
  return found != strings.end() ? found->second : QString();
}

QString VendorLine1() { return QStringLiteral("奥本卡电子 触摸屏测试系统"); }

QString VendorLine2() { return QStringLiteral("泰尔马斯科技 触摸屏测试系统"); }

QString GenericSystemTitle() { return QStringLiteral("电容式触摸屏测试系统"); }

}  // namespace resources
