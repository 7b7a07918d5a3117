#include "ui/activecontrols/MRadioGroup.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

#include "ui/buttons/ControlPaint.h"

namespace ui {

TMGroupButton::TMGroupButton(TMCustomRadioGroup& group) : TMRadioButton(&group), m_group(group) {
  hide();
  setEnabled(group.isEnabled());
  OnClick = [this](QObject*) { m_group.ButtonClicked(*this); };
}

void TMGroupButton::Clicked() {
  if (m_group.CanModify()) TMRadioButton::Clicked();
}

void TMGroupButton::DoubleClicked() {
  if (m_group.CanModify()) TMRadioButton::DoubleClicked();
}

TMCustomRadioGroup::TMCustomRadioGroup(QWidget* parent) : QWidget(parent) {
  resize(185, 105);
}

TMCustomRadioGroup::~TMCustomRadioGroup() {
  SetButtonCount(0);
}

bool TMCustomRadioGroup::CanModify() {
  bool canModify = true;
  if (OnModify) OnModify(this, canModify);
  return canModify;
}

void TMCustomRadioGroup::SetColumns(int columns) {
  columns = std::clamp(columns, 1, 16);
  if (columns == m_columns) return;
  m_columns = columns;
  Arrange();
}

void TMCustomRadioGroup::SetItemIndex(int index) {
  if (m_reading) {
    m_itemIndex = index;
    return;
  }
  index = std::clamp(index, -1, ButtonCount() - 1);
  if (index == m_itemIndex) return;
  if (m_itemIndex >= 0 && m_itemIndex < ButtonCount()) m_buttons[m_itemIndex]->SetChecked(false);
  m_itemIndex = index;
  // Checking the button raises OnClick through ButtonClicked.
  if (index >= 0) m_buttons[index]->SetChecked(true);
}

void TMCustomRadioGroup::SetItems(const QStringList& items) {
  m_items = items;
  ItemsChanged();
}

void TMCustomRadioGroup::EndReading() {
  m_reading = false;
  // A saved index may lie beyond the saved items.
  m_itemIndex = std::clamp(m_itemIndex, -1, static_cast<int>(m_items.size()) - 1);
  Rebuild();
}

TMGroupButton* TMCustomRadioGroup::Button(int index) const {
  if (index < 0 || index >= ButtonCount()) return nullptr;
  return m_buttons[index].get();
}

void TMCustomRadioGroup::SetColor(TColor color) {
  if (color == m_color) return;
  m_color = color;
  for (auto& button : m_buttons) button->SetColor(color);
  update();
}

void TMCustomRadioGroup::ItemsChanged() {
  if (m_reading) return;
  if (m_itemIndex >= m_items.size()) m_itemIndex = static_cast<int>(m_items.size()) - 1;
  Rebuild();
}

void TMCustomRadioGroup::SetButtonCount(int count) {
  while (ButtonCount() < count) {
    m_buttons.push_back(std::make_unique<TMGroupButton>(*this));
    m_buttons.back()->SetColor(m_color);
  }
  while (ButtonCount() > count) {
    std::unique_ptr<TMGroupButton> last = std::move(m_buttons.back());
    m_buttons.pop_back();
  }
}

void TMCustomRadioGroup::Rebuild() {
  SetButtonCount(static_cast<int>(m_items.size()));
  for (int i = 0; i < ButtonCount(); ++i) m_buttons[i]->SetCaption(m_items[i]);
  if (m_itemIndex >= 0 && m_itemIndex < ButtonCount()) {
    m_updating = true;
    m_buttons[m_itemIndex]->SetChecked(true);
    m_updating = false;
  }
  Arrange();
}

void TMCustomRadioGroup::Arrange() {
  if (m_buttons.empty() || m_reading) return;
  const int count = ButtonCount();
  const int rows = (count + m_columns - 1) / m_columns;
  const int columnWidth = width() / m_columns;
  const int rowHeight = height() / rows;
  for (int i = 0; i < count; ++i) {
    m_buttons[i]->setGeometry((i / rows) * columnWidth, (i % rows) * rowHeight, columnWidth,
                              rowHeight);
    m_buttons[i]->show();
  }
}

void TMCustomRadioGroup::ButtonClicked(TMGroupButton& button) {
  if (m_updating) return;
  for (int i = 0; i < ButtonCount(); ++i)
    if (m_buttons[i].get() == &button) m_itemIndex = i;
  if (OnClick) OnClick(this);
}

void TMCustomRadioGroup::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  Arrange();
}

void TMCustomRadioGroup::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::FontChange) {
    Arrange();
  } else if (e->type() == QEvent::EnabledChange) {
    for (auto& button : m_buttons) button->setEnabled(isEnabled());
  }
}

void TMCustomRadioGroup::paintEvent(QPaintEvent*) {
  // No frame and no caption: only the background shows between the buttons.
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(m_color));
}

}  // namespace ui
