#include "resources/menubuilder.h"

namespace resources {

void MenuBuilder::BuildBar(QMenuBar* bar, const std::vector<MenuEntry>& entries) {
  for (const MenuEntry& entry : entries) {
    QMenu* popup = BuildPopup(entry, bar);
    bar->addMenu(popup);
    m_topLevel.push_back(popup);
  }
}

QMenu* MenuBuilder::BuildPopup(const MenuEntry& popup, QWidget* parent) {
  auto* menu = new QMenu(popup.text, parent);
  AddEntries(menu, popup.entries);
  return menu;
}

void MenuBuilder::AddEntries(QMenu* menu, const std::vector<MenuEntry>& entries) {
  for (const MenuEntry& entry : entries) {
    switch (entry.kind) {
      case MenuEntry::Kind::Separator:
        menu->addSeparator();
        break;
      case MenuEntry::Kind::Popup:
        menu->addMenu(BuildPopup(entry, menu));
        break;
      case MenuEntry::Kind::Command: {
        QAction* action = menu->addAction(entry.text);
        action->setData(entry.id);
        action->setEnabled(!entry.greyed);
        action->setCheckable(entry.checked);
        action->setChecked(entry.checked);
        m_actions.insert(entry.id, action);
        break;
      }
    }
  }
}

}  // namespace resources
