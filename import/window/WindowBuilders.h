#pragma once
// Small builders shared by the files that lay out the main window's controls.
#include <QFrame>
#include <QPalette>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <filesystem>
#include <string>

#include "import/window/ColumnSpinEdit.h"
#include "ui/activecontrols/MRadioGroup.h"
#include "ui/fmtlabel/FmtLabel.h"

namespace imp::window {

inline QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
inline std::string S(const QString& s) {
  return s.toStdString();
}

inline bool FolderExists(const std::filesystem::path& p) {
  std::error_code ec;
  return !p.empty() && std::filesystem::is_directory(p, ec);
}

// A widget that paints its background in `color` (role Window) or its text (role Text).
inline void SetColor(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(role, color);
  widget->setPalette(palette);
  if (role == QPalette::Window) widget->setAutoFillBackground(true);
}

inline QFrame* Group(QWidget* page, const QRect& geometry) {
  auto* frame = new QFrame(page);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  frame->setGeometry(geometry);
  return frame;
}

inline ui::TFmtLabel* Markup(QWidget* parent, const char* name, const QString& caption, int x,
                             int y) {
  auto* label = new ui::TFmtLabel(parent);
  label->setObjectName(name);
  label->SetTransparent(true);
  label->SetCaption(caption);
  label->move(x, y);
  return label;
}

inline TColumnSpinEdit* Spin(QWidget* parent, const char* name, int x, int y) {
  auto* spin = new TColumnSpinEdit(parent);
  spin->setObjectName(name);
  spin->setRange(0, 100);
  spin->setValue(0);
  spin->setGeometry(x, y, 56, 22);
  return spin;
}

inline ui::TMRadioGroup* Radio(QWidget* parent, const char* name, const QStringList& items,
                               int columns, const QRect& geometry) {
  auto* group = new ui::TMRadioGroup(parent);
  group->setObjectName(name);
  group->BeginReading();
  group->SetColumns(columns);
  group->SetItems(items);
  group->SetItemIndex(0);
  group->EndReading();
  group->setGeometry(geometry);
  return group;
}

}  // namespace imp::window
