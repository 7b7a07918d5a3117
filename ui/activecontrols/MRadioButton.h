#pragma once
// TMRadioButton: a radio button drawn with the two-state Radio picture; its accelerator letter
// is red, and the whole caption turns red while it has the focus.

#include <QAbstractButton>
#include <functional>

#include "ui/fmtlabel/FmtLabel.h"
#include "ui/markup/Colors.h"

namespace ui {

class TMRadioButton : public QAbstractButton {
  Q_OBJECT

 public:
  // 113 by 17, caption right of the glyph, unchecked.
  explicit TMRadioButton(QWidget* parent = nullptr);

  // taRightJustify (the default): the caption is right of the glyph; taLeftJustify: the
  // glyph sits at the right edge and the caption is right-aligned before it.
  TAlignment Alignment() const { return m_alignment; }
  void SetAlignment(TAlignment alignment);

  QString Caption() const { return text(); }
  void SetCaption(const QString& caption);

  bool Checked() const { return m_checked; }
  // Unchanged: nothing. Otherwise stores it, takes the tab stop along, repaints and, when
  // checked, unchecks the other radio buttons of the same parent and raises OnClick.
  void SetChecked(bool checked);

  TColor Color() const { return m_color; }
  void SetColor(TColor color);
  TColor FontColor() const { return m_fontColor; }
  void SetFontColor(TColor color);

  std::function<void(QObject* Sender)> OnClick;
  std::function<void(QObject* Sender)> OnDblClick;

  QSize sizeHint() const override { return size(); }
  QSize minimumSizeHint() const override { return {0, 0}; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  bool event(QEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void nextCheckState() override {}
  // The platform's "clicked" notification: a mouse click, Space, or the accelerator.
  virtual void Clicked();
  virtual void DoubleClicked();

 private:
  void HandleClicked();

  TAlignment m_alignment = taRightJustify;
  bool m_checked = false;
  TColor m_color = clBtnFace;
  TColor m_fontColor = clWindowText;
};

}  // namespace ui
