#pragma once
// What a window manager needs to know about the program's windows beyond what the toolkit
// tells it: which window a dialog belongs to, that it is modal to it, and that it can be
// neither maximised, minimised nor resized.
class QWidget;

namespace ui {

// The window a dialog opened now is shown over: the active window of the program, else the
// active modal window, else the topmost visible form; none when nothing is shown. `except`
// (the dialog itself) is never the answer.
QWidget* DialogOwnerWindow(const QWidget* except);

// Before the dialog is shown: offers only "move" to the window manager (no maximise, minimise,
// resize or close through the frame). Does nothing off X11.
void PrepareDialogFrame(QWidget& dialog);

// After the dialog is shown: makes it belong to `owner` (transient for it, so the window
// manager keeps it above its owner and gives it the focus) and marks it modal. Given as X11
// properties, not through the toolkit, which would then block the owner and so drop the right press
// that answers the dialog. Does nothing off X11.
void MarkShownDialogModal(QWidget& dialog, QWidget* owner);

}  // namespace ui
