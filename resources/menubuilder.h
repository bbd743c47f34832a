#pragma once

#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <vector>

#include "resources/menutemplate.h"

namespace resources {

// Creates Qt menus from a menu resource and keeps the action of every command id.
class MenuBuilder {
 public:
  // Fills `bar` with the resource's top-level popups.
  void BuildBar(QMenuBar* bar, const std::vector<MenuEntry>& entries);
  // A popup with the entries of one resource popup.
  QMenu* BuildPopup(const MenuEntry& popup, QWidget* parent);

  QAction* Action(int id) const { return m_actions.value(id); }
  // The top-level popups in resource order.
  const std::vector<QMenu*>& TopLevel() const { return m_topLevel; }

 private:
  void AddEntries(QMenu* menu, const std::vector<MenuEntry>& entries);

  QMap<int, QAction*> m_actions;
  std::vector<QMenu*> m_topLevel;
};

}  // namespace resources
