// What the import run sees of the window: messages, the busy cursor, the progress line, the
// error list (MessagesPage.cpp) and the processing of pending messages after every row.
#include <QApplication>

#include "import/window/MainImportPret.h"
#include "ui/dialogs/MessageDlg.h"

namespace imp {
namespace {

// How often the progress line is repainted during a run: often enough to follow the rows,
// seldom enough that painting and laying out the label cost nothing next to the import.
constexpr qint64 kProgressIntervalMs = 100;

}  // namespace

void TEMainImportPret::ShowMessage(const std::string& markup, MessageKind kind) {
  ShowPendingProgress();
  // The summary of a check: the preview page says what the run would take over.
  if (checking_ && kind == MessageKind::dkInformation) return;
  ui::ShowMessageDlg(markup, std::nullopt, static_cast<ui::TDlgKind>(kind), ui::taCenter,
                     ui::MsgButtons({ui::mbtOK}), ui::mbtOK, 0);
}

void TEMainImportPret::SetBusyCursor(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else if (QApplication::overrideCursor())
    QApplication::restoreOverrideCursor();
}

void TEMainImportPret::ShowProgressPanel(bool visible) {
  if (visible) {
    progressPending_ = false;
    progressClock_.invalidate();
  } else {
    ShowPendingProgress();
  }
  progressPanel_->setVisible(visible);
  if (visible) progressPanel_->raise();
}

void TEMainImportPret::SetProgressCaption(const std::string& markup) {
  pendingProgress_ = QString::fromStdString(markup);
  progressPending_ = true;
  if (!progressClock_.isValid() || progressClock_.elapsed() >= kProgressIntervalMs)
    ShowPendingProgress();
}

// Puts the last progress text on the label; the label lays itself out and repaints then.
void TEMainImportPret::ShowPendingProgress() {
  if (!progressPending_) return;
  progressPending_ = false;
  progressLine_->SetCaption(pendingProgress_);
  progressClock_.start();
}

void TEMainImportPret::ProcessPendingMessages() {
  QCoreApplication::processEvents();
  if (OnRowProcessed) OnRowProcessed();
}

}  // namespace imp
