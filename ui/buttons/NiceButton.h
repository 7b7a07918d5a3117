#pragma once
// TNiceButton: the skinned push button. Its face is drawn from the nine-cell ButtonFace
// picture (normal, hot and pressed ends and middles), it tracks the mouse (one hot button in
// the whole program at a time), is click-through beside its skin, and flashes its pressed face
// for 20 ms when clicked from the keyboard or by the program.

#include <QTimer>

#include "ui/buttons/KindButton.h"

namespace ui {

class TNiceButton : public TKindButton {
  Q_OBJECT

 public:
  // 100 by 28, kind mkCustom, modal result 0, empty caption, window colour.
  explicit TNiceButton(QWidget* parent = nullptr);
  ~TNiceButton() override;

  // Same kind: nothing. An unpinned caption and modal result take the kind's.
  void SetKind(TMButtonKind kind) override;

  // Setting the caption pins it: later kind changes leave it alone.
  void SetCaption(const QString& caption);
  bool CaptionPinned() const { return m_captionPinned; }

  // Shows the pressed face; turned on while the mouse is not pressed, it turns itself off
  // after 20 ms.
  bool ForcedDown() const { return m_forcedDown; }
  void SetForcedDown(bool down);

  bool Hot() const { return m_hot; }
  // The one hot skinned button of the program, or nullptr.
  static TNiceButton* HotButton();

  // The glyph drawn: the own glyph for mkCustom, else the kind's picture (may be empty).
  QImage EffectiveGlyph() const;
  // The width the caption is centred in, between the glyph area and the skin's rounded ends;
  // a caption wider than this is squeezed or cut.
  int CaptionRoom() const;
  // Whether `pos` (client coordinates) belongs to the button; elsewhere it is click-through.
  bool HitTest(QPoint pos) const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  bool hitButton(const QPoint& pos) const override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void changeEvent(QEvent* e) override;
  void Click() override;
  void SetToolbarEntry(TMToolbar& toolbar, TMButtonKind kind, bool set) override;

 private:
  struct Geometry;
  Geometry Layout() const;
  void SetHot(bool hot);
  void BecomeHotFromMouse();

  bool m_captionPinned = false;
  bool m_forcedDown = false;
  bool m_hot = false;
  bool m_mousePressed = false;
  bool m_clickFromMouse = false;
  mutable int m_glyphCellWidth = 0;  // last drawn, for the hit test
  mutable int m_glyphCellHeight = 0;
  QTimer* m_forcedDownTimer = nullptr;
};

}  // namespace ui
