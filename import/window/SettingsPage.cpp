// Page "&1.Setari import": the workbook's structure, how prices and articles are read, the
// price category, and the choice of the workbook file.
#include <QDir>
#include <exception>

#include "import/window/LayoutControls.h"
#include "import/window/MainImportPret.h"
#include "import/window/WindowBuilders.h"

namespace imp {

using window::Group;
using window::Markup;
using window::Radio;
using window::Spin;

void TEMainImportPret::BuildSettingsPage(QWidget* page) {
  // "Structura fisierului Excel": the three positions in the workbook.
  QFrame* structure = Group(page, QRect(6, 6, 651, 112));
  Markup(structure, "FmtLabel3", "%Structura fisierului Excel", 10, 6);
  Markup(structure, "FmtLabel4", "@9Identificatorul de Articol@0 se afla pe coloana", 20, 32);
  idColumnEdit_ = Spin(structure, "SCodArt", 400, 29);
  Markup(structure, "FmtLabel5", "@9Pretul@0 se afla pe coloana", 20, 58);
  priceColumnEdit_ = Spin(structure, "SPret", 400, 55);
  Markup(structure, "FmtLabel6", "Informatiile despre @9Preturi incep @0cu randul", 20, 84);
  startRowEdit_ = Spin(structure, "SRandStart", 400, 81);

  // How prices and articles are read, and which articles the update touches.
  QFrame* options = Group(page, QRect(6, 124, 651, 150));
  Markup(options, "FmtLabel7", "@9Pretul@0  importat se exprima in ", 10, 10);
  priceKindGroup_ = Radio(options, "MTipPret", {" LEI", " VALUTA"}, 2, QRect(300, 6, 240, 24));
  Markup(options, "FmtLabel8", "@9Articolele@0 se identifica prin", 10, 44);
  identifyGroup_ = Radio(options, "MArtIdentif", {"  CODEXTERN", "  CODINTERN", "  DENUMIRE"}, 3,
                         QRect(10, 64, 420, 24));
  Markup(options, "FmtLabel9", "Preturile vor actualiza nomenclatorul", 10, 98);
  producerGroup_ = Radio(options, "MProducator",
                         {"  Indiferent de producator", "  Doar pentru producatorul ..."}, 2,
                         QRect(10, 118, 450, 24));
  producerList_ = new TSortedComboBox(options);
  producerList_->setObjectName("LProducator");
  producerList_->setGeometry(466, 118, 176, 22);
  producerList_->hide();

  // The price category written for articles with several prices. The caption is nearly as
  // wide as the group: it starts close to the frame so that its ":" keeps clear of the other
  // side.
  QFrame* category = Group(page, QRect(6, 280, 651, 60));
  Markup(category, "FmtLabel10",
         "La articolele care au definite Preturi Multiple modificarea "
         "afecteaza categoria de pret :",
         6, 8);
  categoryList_ = new TSortedComboBox(category);
  categoryList_->setObjectName("LCatPret");
  categoryList_->setGeometry(10, 30, 300, 22);

  BuildFileSelection(page);
  Layout = new TLayoutControls(*this, page);
}

void TEMainImportPret::BuildFileSelection(QWidget* page) {
  // "Selectare fisier Excel": drive, folder, filter and file lists. The filter and drive lists
  // are wide enough for their whole texts ("Fisiere import (*.xls)").
  QFrame* files = Group(page, QRect(6, 346, 651, 146));
  Markup(files, "FmtLabel2", "%Selectare fisier Excel", 10, 6);
  fileList_ = new TFileListBox(files);
  fileList_->setObjectName("FileListBox1");
  fileList_->SetMask("*.xls");
  fileList_->setGeometry(10, 44, 220, 94);
  folderList_ = new TDirectoryListBox(files);
  folderList_->setObjectName("DirectoryListBox1");
  folderList_->setGeometry(240, 44, 190, 94);
  filterList_ = new TFilterComboBox(files);
  filterList_->setObjectName("FilterComboBox1");
  // The classic filter stays first and chosen at start, so the list shows what it always has;
  // every format the import reads is one choice away.
  filterList_->SetFilter(
      "Fisiere import (*.xls)|*.xls|"
      "Liste de preturi (*.xls;*.xlsx;*.xlsm;*.csv)|*.xls;*.xlsx;*.xlsm;*.csv");
  filterList_->setGeometry(440, 44, 202, 22);
  driveList_ = new TDriveComboBox(files);
  driveList_->setObjectName("DriveComboBox1");
  driveList_->setGeometry(440, 94, 202, 22);

  auto active = [files](const char* name, const QString& caption, QWidget* control, int x, int y) {
    auto* label = new ui::TActiveLabel(files);
    label->setObjectName(name);
    label->SetCaption(caption);
    label->SetFocusControl(control);
    label->SetAutosize(true);
    label->move(x, y);
    return label;
  };
  active("ActiveLabel1", "&Nume fisiere", fileList_, 10, 26);
  active("ActiveLabel2", "&Directoare", folderList_, 240, 26);
  active("ActiveLabel4", "&Filtru", filterList_, 440, 26);
  active("ActiveLabel3", "&Unitati disc", driveList_, 440, 76);
  // Like the classic folder list, the lists start in the current folder.
  const QString start = QDir::currentPath();
  driveList_->blockSignals(true);
  driveList_->SetDrive(RootOf(start, MountedRoots()));
  driveList_->blockSignals(false);
  try {
    folderList_->SetDirectory(start);
  } catch (const std::exception&) {
    // an unreadable current folder leaves the list empty until the user picks one
  }
}

}  // namespace imp
