#include "resources/dialogbuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "resources/artwork.h"

namespace resources {
namespace {

QFont TemplateFont(const DialogTemplate& dialogTemplate) {
  QFont font(dialogTemplate.fontFace);
  font.setPointSize(dialogTemplate.fontPoints);
  return font;
}

QWidget* CreatePicture(const DialogItem& item, QWidget* parent, QSize size) {
  auto* label = new QLabel(parent);
  const QPixmap picture = item.kind == ItemKind::Icon ? Icon(item.resource).pixmap(size)
                                                      : Bitmap(item.resource);
  label->setPixmap(picture);
  return label;
}

}  // namespace

DialogBuilder::DialogBuilder(const DialogTemplate& dialogTemplate)
    : m_template(dialogTemplate),
      m_font(TemplateFont(dialogTemplate)),
      m_units(plat::DialogUnits::ForFont(m_font)) {}

void DialogBuilder::Build(QWidget* dialog, QWidget* client) {
  QWidget* parent = client != nullptr ? client : dialog;
  dialog->setWindowTitle(m_template.caption);
  dialog->setFont(m_font);
  parent->resize(ClientSize());
  for (const DialogItem& item : m_template.items) {
    QWidget* control = CreateItem(item, parent);
    control->setGeometry(m_units.ToPixels(item.x, item.y, item.width, item.height));
    control->setEnabled(!item.disabled);
    control->setVisible(!item.hidden);
    if (item.id != kStaticId && !m_items.contains(item.id)) m_items.insert(item.id, control);
  }
}

QRect DialogBuilder::ItemRect(int id) const {
  for (const DialogItem& item : m_template.items) {
    if (item.id == id) return m_units.ToPixels(item.x, item.y, item.width, item.height);
  }
  return {};
}

QSize DialogBuilder::ClientSize() const {
  return {m_units.X(m_template.width), m_units.Y(m_template.height)};
}

QWidget* DialogBuilder::CreateItem(const DialogItem& item, QWidget* parent) const {
  switch (item.kind) {
    case ItemKind::PushButton:
      return new QPushButton(item.text, parent);
    case ItemKind::DefaultPushButton: {
      auto* button = new QPushButton(item.text, parent);
      button->setDefault(true);
      return button;
    }
    case ItemKind::Label:
      return new QLabel(item.text, parent);
    case ItemKind::BlackFrame: {
      auto* frame = new QFrame(parent);
      frame->setFrameShape(QFrame::Box);
      return frame;
    }
    case ItemKind::Icon:
    case ItemKind::Picture:
      return CreatePicture(item, parent,
                           m_units.ToPixels(0, 0, item.width, item.height).size());
    case ItemKind::GroupBox:
      return new QGroupBox(item.text, parent);
    case ItemKind::Edit:
      return new QLineEdit(item.text, parent);
    case ItemKind::RadioButton:
      return new QRadioButton(item.text, parent);
    case ItemKind::CheckBox:
      return new QCheckBox(item.text, parent);
    case ItemKind::ListView: {
      auto* list = new QTreeWidget(parent);
      list->setRootIsDecorated(false);
      return list;
    }
    case ItemKind::ComboBox:
      return new QComboBox(parent);
  }
  return new QWidget(parent);
}

}  // namespace resources
