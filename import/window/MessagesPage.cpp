// Page "&2.Mesaje sesiune import": the error lines of the last run and saving them.
#include "import/ErrorList.h"
#include "import/window/MainImportPret.h"
#include "import/window/WindowBuilders.h"
#include "ui/store/Fonts.h"

namespace imp {

using window::S;

void TEMainImportPret::BuildMessagesPage(QWidget* page) {
  saveErrorsButton_ = new ui::TNiceButton(page);
  saveErrorsButton_->setObjectName("MSaveErr");
  saveErrorsButton_->SetKind(ui::mkSave);
  saveErrorsButton_->SetCaption("Salveaza lista erori");
  saveErrorsButton_->setGeometry(6, 6, 220, 34);
  saveErrorsButton_->hide();
  errorMemo_ = new QPlainTextEdit(page);
  errorMemo_->setObjectName("MErori");
  errorMemo_->setReadOnly(true);
  errorMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  errorMemo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  errorMemo_->setFont(ui::FontByName("MS Sans Serif", 13, true));
  window::SetColor(errorMemo_, QPalette::Text, Qt::red);
  errorMemo_->setGeometry(6, 44, 645, 446);
}

void TEMainImportPret::MSaveErrClick() {
  if (errorMemo_->document()->isEmpty()) return;
  std::vector<std::string> lines;
  for (const QString& line : errorMemo_->toPlainText().split('\n')) lines.push_back(S(line));
  const std::filesystem::path file = ErrorListPath();
  SaveErrorLines(file, lines);
  ShowMessage(ErrorListSavedMessage(file), MessageKind::dkInformation);
}

void TEMainImportPret::TBNChange(int newPage) {
  if (newPage == kMessagesPage) saveErrorsButton_->setVisible(ErrorLineCount() > 0);
}

void TEMainImportPret::ClearErrorLines() {
  errorMemo_->clear();
  errorLines_ = 0;
}

void TEMainImportPret::AddErrorLine(const std::string& line) {
  errorMemo_->appendPlainText(window::Q(line));
  ++errorLines_;
}

int TEMainImportPret::ErrorLineCount() const {
  return errorLines_;
}

void TEMainImportPret::ShowPage(int page) {
  notebook_->setCurrentIndex(page);
  TBNChange(page);  // also when the page was already showing
}

}  // namespace imp
