#pragma once
// Runs a dialog modally the way the program's forms expect: the other visible forms are
// disabled (not merely blocked) while it is open, so their buttons are drawn disabled and a
// right press over them still reaches the right-press watch.
class QDialog;

namespace ui {

int RunModalOverForms(QDialog& dialog);

}  // namespace ui
