#pragma once
// TMButton: the push button with a kind drawn like a bitmap button, either with the classic
// bevelled face or, as a "light" button, flat until the mouse or the focus is on it.

#include "ui/buttons/KindButton.h"

namespace ui {

enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TMButton : public TKindButton {
  Q_OBJECT

 public:
  // Height 40, the width of mkCustom (90), no caption, flat look.
  explicit TMButton(QWidget* parent = nullptr);
  ~TMButton() override;

  // Same kind: nothing. Navigation kinds hide the caption; an empty caption takes the kind's;
  // an unpinned modal result takes the kind's. The width stays as it is.
  void SetKind(TMButtonKind kind) override;

  void SetCaption(const QString& caption);

  bool LightButton() const { return m_lightButton; }
  void SetLightButton(bool light);
  TButtonStyle Style() const { return m_style; }
  void SetStyle(TButtonStyle style);
  int Delta() const { return m_delta; }  // kept with the button; never drawn
  void SetDelta(int delta) { m_delta = delta; }
  int Margin() const { return m_margin; }  // -1 centres glyph and caption
  void SetMargin(int margin);
  int Spacing() const { return m_spacing; }  // -1 spreads the free room
  void SetSpacing(int spacing);
  int NumGlyphs() const { return m_numGlyphs; }  // cells: normal, disabled, pressed
  void SetNumGlyphs(int count);
  TButtonLayout ButtonLayout() const { return m_layout; }
  void SetButtonLayout(TButtonLayout layout);

  // Mouse over or focused.
  bool Hot() const { return m_hot; }

  // The glyph drawn: the own glyph when set, else the kind's picture (may be empty).
  QImage EffectiveGlyph() const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void SetToolbarEntry(TMToolbar& toolbar, TMButtonKind kind, bool set) override;

 private:
  void SetHot(bool hot);

  bool m_lightButton = true;
  TButtonStyle m_style = bsAutoDetect;
  int m_delta = 0;
  int m_margin = -1;
  int m_spacing = 0;
  int m_numGlyphs = 3;
  TButtonLayout m_layout = blGlyphLeft;
  bool m_hot = false;
};

}  // namespace ui
