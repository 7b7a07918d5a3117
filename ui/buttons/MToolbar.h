#pragma once
// TMToolbar: a panel that knows its buttons by kind and hears their clicks. Its buttons
// follow its enabled state.

#include <QPointer>
#include <QWidget>
#include <array>

#include "ui/buttons/ButtonKinds.h"

namespace ui {

class TMButton;
class TNiceButton;

class TMToolbar : public QWidget {
  Q_OBJECT

 public:
  // 100 wide, 210 high, opaque.
  explicit TMToolbar(QWidget* parent = nullptr);
  ~TMToolbar() override;

  // The button of a kind on this toolbar (the last one registered), or nullptr.
  TMButton* MButton(TMButtonKind kind) const;
  TNiceButton* NiceButton(TMButtonKind kind) const;

  // Called after a button of this toolbar was clicked; nothing in the base class.
  virtual void ButtonClick(TMButtonKind kind);

  // Maintained by the buttons themselves.
  void SetMButtonEntry(TMButtonKind kind, TMButton* button);
  void SetNiceButtonEntry(TMButtonKind kind, TNiceButton* button);

 protected:
  void changeEvent(QEvent* e) override;

 private:
  std::array<QPointer<TMButton>, ButtonKindCount> m_mbuttons;
  std::array<QPointer<TNiceButton>, ButtonKindCount> m_niceButtons;
};

}  // namespace ui
