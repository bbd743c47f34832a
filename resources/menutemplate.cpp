#include "resources/menutemplate.h"

#include <map>

#include "resources/resourceids.h"

namespace resources {
namespace {

MenuEntry Command(const char* text, int id, bool greyed = false, bool checked = false) {
  return {MenuEntry::Kind::Command, QString::fromUtf8(text), id, greyed, checked, {}};
}

MenuEntry Separator() { return {MenuEntry::Kind::Separator, QString(), 0, false, false, {}}; }

MenuEntry Popup(const char* text, std::vector<MenuEntry> entries) {
  return {MenuEntry::Kind::Popup, QString::fromUtf8(text), 0, false, false, std::move(entries)};
}

std::vector<MenuEntry> MainMenu() {
  return {
      Popup("文件(&F)", {
                            Command("保存配置文件(&B)", ID_FILE_SAVE_CONFIG),
                            Command("载入配置文件(&Z)", ID_FILE_LOAD_CONFIG),
                            Separator(),
                            Command("保存为旧格式配置文件(&S)", ID_FILE_SAVE_LEGACY, true),
                            Command("载入旧格式配置文件(&L)", ID_FILE_LOAD_LEGACY, true),
                        }),
      Popup("编辑(&E)", {
                            Command("设置(&S)", ID_EDIT_SETTINGS),
                            Separator(),
                            Command("使能指示(&E)", ID_EDIT_INDICATION, false, true),
                            Command("清除指示(&C)", ID_EDIT_CLEAR_INDICATION),
                            Separator(),
                            Popup("使能蜂鸣器(&B)", {
                                                          Command("使能(&E)", ID_BUZZER_ENABLE, false, true),
                                                          Command("反转(&I)", ID_BUZZER_INVERT, false, true),
                                                      }),
                            Popup("使能指示灯(&L)", {
                                                          Command("使能(&E)", ID_LED_ENABLE, false, true),
                                                          Command("反转(&I)", ID_LED_INVERT, false, true),
                                                      }),
                            Separator(),
                            Command("摄像头", ID_EDIT_CAMERA),
                        }),
      Popup("扩展板设定(&X)", {Command("扩展设定(&E)", ID_EXPANSION_SETTINGS)}),
      Popup("帮助(&H)", {
                            Command("检查新版本(&O)", ID_HELP_CHECK_VERSION),
                            Command("关于(&A)", ID_HELP_ABOUT),
                        }),
  };
}

std::vector<MenuEntry> ContextMenu() {
  return {Popup("Popup", {Command("&Setting", ID_CELL_SETTINGS)})};
}

}  // namespace

const std::vector<MenuEntry>& Menu(int id) {
  static const std::map<int, std::vector<MenuEntry>> menus = {
      {IDR_MAIN_MENU, MainMenu()},
      {IDR_CONTEXT_MENU, ContextMenu()},
  };
  static const std::vector<MenuEntry> none;
  const auto found = menus.find(id);
  return found != menus.end() ? found->second : none;
}

}  // namespace resources
