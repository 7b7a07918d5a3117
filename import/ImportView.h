#pragma once
// What the import run needs from the window that hosts it. The run decides what to say and
// when; the view only shows it. The main window implements this with its own controls; the
// command-line tool and the tests implement it without a display.
#include <string>

namespace imp {

// Kinds of the message dialog, in the dialog's own order.
enum class MessageKind { dkWarning, dkError, dkInformation, dkConfirmation, dkCustom };

// Notebook pages of the main window.
inline constexpr int kSettingsPage = 0;  // "&1.Setari import"
inline constexpr int kMessagesPage = 1;  // "&2.Mesaje sesiune import"
inline constexpr int kPreviewPage = 2;   // "&3.Previzualizare"

class ImportView {
 public:
  virtual ~ImportView() = default;

  // A message in markup, shown centred with the caption of its kind and a single OK button;
  // returns when the user has closed it.
  virtual void ShowMessage(const std::string& markup, MessageKind kind) = 0;

  // The hour-glass cursor of database work (true) or the default cursor (false).
  virtual void SetBusyCursor(bool busy) = 0;

  // The progress panel `PInfoPrel` and its line `FLinia` (markup).
  virtual void ShowProgressPanel(bool visible) = 0;
  virtual void SetProgressCaption(const std::string& markup) = 0;

  // The error list `MErori`: plain text lines, in the order found.
  virtual void ClearErrorLines() = 0;
  virtual void AddErrorLine(const std::string& line) = 0;
  virtual int ErrorLineCount() const = 0;

  // Turns the notebook to `page` (one of the pages above).
  virtual void ShowPage(int page) = 0;

  // Lets the window repaint and stay responsive; called after every price row.
  virtual void ProcessPendingMessages() = 0;
};

}  // namespace imp
