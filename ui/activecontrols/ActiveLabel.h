#pragma once
// TActiveLabel: a one-line caption whose accelerator letter is red; clicking it or pressing
// Alt with that letter hands the focus to its FocusControl, and the letter is underlined while
// that control has the focus. Disabled, the caption is engraved.

#include <QPointer>
#include <QWidget>
#include <functional>

#include "ui/fmtlabel/FmtLabel.h"
#include "ui/markup/Colors.h"

namespace ui {

class TActiveLabel : public QWidget {
  Q_OBJECT

 public:
  explicit TActiveLabel(QWidget* parent = nullptr);
  ~TActiveLabel() override;

  QString Caption() const { return m_caption; }
  void SetCaption(const QString& caption);

  // Font colour (the text colour when enabled); the font itself is the widget's font.
  TColor FontColor() const { return m_fontColor; }
  void SetFontColor(TColor color);
  TColor Color() const { return m_color; }
  void SetColor(TColor color);
  bool Transparent() const { return m_transparent; }
  void SetTransparent(bool transparent);
  TAlignment Alignment() const { return m_alignment; }
  void SetAlignment(TAlignment alignment);
  bool ShowAccelChar() const { return m_showAccelChar; }
  void SetShowAccelChar(bool show);

  // The control that takes the focus for this label.
  QWidget* FocusControl() const { return m_focusControl; }
  void SetFocusControl(QWidget* control);

  // Off by default; on, the label takes the width and height of its caption.
  bool Autosize() const { return m_autoSize; }
  void SetAutosize(bool autoSize);

  std::function<void(QObject* Sender)> OnClick;

  // OnClick, then the focus to FocusControl when it can take it.
  void Click();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  bool event(QEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void UpdateShortcut();
  void AdjustSize();

  QString m_caption;
  TColor m_fontColor = clWindowText;
  TColor m_color = clBtnFace;
  bool m_transparent = false;
  TAlignment m_alignment = taLeftJustify;
  bool m_showAccelChar = true;
  bool m_autoSize = false;
  QPointer<QWidget> m_focusControl;
  int m_shortcutId = 0;
};

}  // namespace ui
