// The workbook file: the drive, folder, filter and file lists bound together, and the file
// panel that shows the chosen file.
#include <exception>

#include "import/window/LayoutControls.h"
#include "import/window/MainImportPret.h"
#include "import/window/WindowBuilders.h"
#include "ui/markup/Markup.h"

namespace imp {

using window::Q;
using window::S;

void TEMainImportPret::DriveComboBox1Change() {
  try {
    folderList_->SetDirectory(driveList_->Drive());
    ShowFileName();
  } catch (const std::exception&) {
    if (!programmaticDriveChange_)
      ShowMessage(" Nu pot accesa unitatea &12@15% " + ui::EscapeMarkup(S(driveList_->Drive())),
                  MessageKind::dkError);
  }
}

void TEMainImportPret::DirectoryListBox1Change() {
  fileList_->SetDirectory(folderList_->Directory());
  if (fileList_->count() > 0) fileList_->setCurrentRow(0);
  ShowFileName();
}

void TEMainImportPret::FilterComboBox1Change() {
  fileList_->SetMask(filterList_->Mask());
  fileList_->SetDirectory(folderList_->Directory());
  if (fileList_->count() > 0) fileList_->setCurrentRow(0);
  ShowFileName();
}

void TEMainImportPret::ShowFileName() {
  fileNameLabel_->SetCaption("%Fisier importat : " +
                             Q(ui::EscapeMarkup(S(fileList_->FileName().toLower()))));
  if (Layout) Layout->FileChanged();
}

// Files may have come or gone while the user was elsewhere: the list is read again, keeping
// the chosen file when it is still there.
void TEMainImportPret::RefreshFileList() {
  if (running_) return;
  const QString before = fileList_->FileName();
  fileList_->Refresh();
  if (fileList_->FileName() != before) ShowFileName();
}

}  // namespace imp
