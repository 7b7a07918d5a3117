#pragma once
// The program's one message operation. ShowMessageDlg builds a TMessageForm (icon of the kind,
// the text painted by a TFmtLabel, a row of skinned buttons), runs it modally and returns the
// modal result of the button that closed it, or 0 when anything fails.
//
// Two process-wide modes, switched by pressing the icon three times: AutoCloseMsg (single-button
// messages close themselves after 600 ms) and AutoDefaultMsg (the default button presses
// itself).
#include <QDialog>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/buttons/ButtonKinds.h"
#include "ui/fmtlabel/FmtLabel.h"

class QFrame;
class QPushButton;

namespace ui {

enum TDlgKind : std::uint8_t { dkWarning, dkError, dkInformation, dkConfirmation, dkCustom };

enum TMsgButton {
  mbtYes,
  mbtNo,
  mbtOK,
  mbtCancel,
  mbtAbort,
  mbtRetry,
  mbtIgnore,
  mbtAll,
  mbtNoToAll,
  mbtYesToAll,
  mbtHelp
};

// A set of TMsgButton: bit n stands for slot n; bits 11 to 15 are ignored.
using TMsgButtons = std::uint16_t;
constexpr TMsgButtons MsgButtons(std::initializer_list<TMsgButton> list) {
  TMsgButtons set = 0;
  for (TMsgButton b : list) set |= TMsgButtons(1u << b);
  return set;
}

// The title of a kind: "Atentie !", "EROARE !", "Informatie...", "Confirmare..." or empty.
QString DlgKindCaption(TDlgKind kind);

// The dialog. Built and run by ShowMessageDlg; public for tests and the gallery.
class TMessageForm : public QDialog {
  Q_OBJECT
 public:
  explicit TMessageForm(QWidget* parent = nullptr);

  int ClickCount = 0;  // presses on the icon

  // Design names of the parts (also set as objectName): "Panel", "Bevel", "Message", "Image".
  QFrame* Panel = nullptr;
  QFrame* Bevel = nullptr;
  TFmtLabel* Message = nullptr;
  QWidget* Image = nullptr;
  QFrame* ButtonPanel = nullptr;
  std::vector<QPushButton*> Buttons;    // in slot order
  QPushButton* CancelButton = nullptr;  // pressed by Escape, or none

  // The form's tag: the timers act on their second tick.
  int Tag = 0;
  std::int32_t HelpContext = 0;

  // What the dialog answered: its modal result (0 while open).
  int ModalResult() const { return modalResult_; }
  // Ends the dialog with `result`.
  void SetModalResult(int result) { done(result); }
  void done(int result) override;

  // The mouse-press handler shared by the form, the panels, the label and the icon.
  void HandleMousePress(QObject* source, Qt::MouseButton button);
  // Clicks every default push button (right press, Enter posted from another form).
  void ClickDefaultButtons();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void ShowSystemMenu();
  int modalResult_ = 0;
};

// ShowMessageDlg. `Text` is markup (UTF-8); `Caption` none means the kind's caption.
std::uint16_t ShowMessageDlg(const std::string& Text, const std::optional<std::string>& Caption,
                             TDlgKind Kind, TAlignment Alignment, TMsgButtons Buttons,
                             TMsgButton DefaultButton, std::int32_t HelpContext);

// Builds the dialog exactly as ShowMessageDlg does, without showing it (tests, the gallery).
std::unique_ptr<TMessageForm> BuildMessageForm(const std::string& Text,
                                               const std::optional<std::string>& Caption,
                                               TDlgKind Kind, TAlignment Alignment,
                                               TMsgButtons Buttons, TMsgButton DefaultButton,
                                               std::int32_t HelpContext);

// For the program's other forms: a right press on them while a message dialog is the active
// modal window posts Enter to that dialog (which presses its default button). Returns true
// when there was such a dialog, so the press is consumed.
bool PostEnterToActiveMessageDlg();

// Process-wide modes (0 or 1), start at 0.
extern int AutoCloseMsg;
extern int AutoDefaultMsg;
// The dialog the timers act on, or none.
TMessageForm* ActiveMsgForm();
// The message dialog open now: the active window when it is one, else the last shown; none
// when no message dialog is open. A window manager may have made another window active for a
// moment (a click on the form under the dialog), so "open" rather than "active" counts.
TMessageForm* OpenMessageForm();

// Hooks. The runner replaces the modal loop (default: exec()); it gets the built, timed form
// and returns the modal result. The interceptor replaces the whole operation, no widgets at
// all (the command-line tool prints the text instead); it gets the plain arguments.
using MessageDlgRunner = std::function<int(TMessageForm& form)>;
void SetMessageDlgRunner(MessageDlgRunner runner);  // empty: back to exec()

struct MessageDlgRequest {
  std::string Text;
  std::optional<std::string> Caption;
  TDlgKind Kind;
  TAlignment Alignment;
  TMsgButtons Buttons;
  TMsgButton DefaultButton;
  std::int32_t HelpContext;
};
using MessageDlgInterceptor = std::function<std::uint16_t(const MessageDlgRequest& request)>;
void SetMessageDlgInterceptor(MessageDlgInterceptor interceptor);  // empty: none

}  // namespace ui
