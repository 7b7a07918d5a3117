#pragma once
// What the two push buttons with kinds share: the kind with its defaults, the modal result
// that pins when set explicitly, the cancel role (Escape presses the button), the click that
// closes a modal dialog and tells a toolbar parent, and keeping a toolbar parent's table of
// buttons by kind right.

#include <QImage>
#include <QPointer>
#include <QPushButton>
#include <functional>

#include "ui/buttons/ButtonKinds.h"
#include "ui/markup/Colors.h"

class QShortcut;

namespace ui {

class TMToolbar;

class TKindButton : public QPushButton {
  Q_OBJECT

 public:
  ~TKindButton() override;

  TMButtonKind Kind() const { return m_kind; }
  virtual void SetKind(TMButtonKind kind) = 0;

  // The result a modal dialog ends with when this button is clicked (0: none). Setting it
  // pins it: later kind changes leave it alone.
  int ModalResult() const { return m_modalResult; }
  void SetModalResult(int result);
  bool ModalResultPinned() const { return m_modalResultPinned; }

  // The caption as typed, "&" before the accelerator letter.
  QString Caption() const { return text(); }

  TColor Color() const { return m_color; }
  void SetColor(TColor color);

  bool CaptionVisible() const { return m_captionVisible; }
  void SetCaptionVisible(bool visible);

  // The button's own glyph; an empty image means "the kind's glyph" (see each class).
  const QImage& Glyph() const { return m_glyph; }
  void SetGlyph(const QImage& glyph);

  // Escape in the button's window clicks a visible, enabled cancel button.
  bool Cancel() const { return m_cancel != nullptr; }
  void SetCancel(bool cancel);

  // Raised on every click, after a modal dialog was given the modal result.
  std::function<void(QObject* Sender)> OnClick;

  // Called by a toolbar parent that is being destroyed: its tables are gone.
  void ForgetToolbar();

  // The button keeps the size it was given; layouts ask for exactly that.
  QSize sizeHint() const override { return size(); }
  QSize minimumSizeHint() const override { return {0, 0}; }

 protected:
  TKindButton(QWidget* parent, TColor color);

  // Stores the kind and, unless pinned, its modal result; moves the toolbar table entry.
  void ApplyKind(TMButtonKind kind);
  // Sets the caption without pinning it (kind defaults).
  void SetDefaultCaption(const QString& caption) { setText(caption); }

  // Every click: StandardClick, then NotifyToolbar.
  virtual void Click();
  // The modal result to a modal dialog, then OnClick.
  void StandardClick();
  // ButtonClick(Kind) of a toolbar parent.
  void NotifyToolbar();

  // Sets (button != nullptr) or clears this class's entry of `toolbar` for `kind`.
  virtual void SetToolbarEntry(TMToolbar& toolbar, TMButtonKind kind, bool set) = 0;
  // Derived constructors call this once the object is of their class (registration in a
  // toolbar parent needs it); derived destructors call UnregisterFromToolbar while it
  // still is.
  void RegisterInToolbar();
  void UnregisterFromToolbar();

  bool event(QEvent* e) override;

 private:
  void UpdateToolbarParent();
  void LeaveToolbar();

  TMButtonKind m_kind = mkCustom;
  int m_modalResult = mrNone;
  bool m_modalResultPinned = false;
  TColor m_color;
  bool m_captionVisible = true;
  QImage m_glyph;
  QShortcut* m_cancel = nullptr;
  QPointer<TMToolbar> m_toolbar;  // the toolbar parent this button is registered in
  bool m_registrationReady = false;
};

}  // namespace ui
