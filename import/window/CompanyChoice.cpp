// The company being worked on: the company list, the remembered choices, and the producer and
// price-category lists of the current company.
#include <QDir>
#include <QFileInfo>

#include "import/CompanyData.h"
#include "import/Settings.h"
#include "import/window/LayoutControls.h"
#include "import/window/MainImportPret.h"
#include "import/window/WindowBuilders.h"

namespace imp {
namespace {

using window::FolderExists;
using window::Q;
using window::S;

constexpr int kRoleFillIndex = Qt::UserRole + 1;

}  // namespace

void TEMainImportPret::LoadCompanyList() {
  companyList_->clear();
  for (const std::string& name : imp::LoadCompanyList(state_.DataRoot))
    companyList_->AddSorted(Q(name));
  companyList_->setCurrentIndex(-1);
}

void TEMainImportPret::LoadSettings() {
  const GeneralSettings general = ReadGeneralSettings();
  if (!general.FirmaCurenta.empty() && !state_.DataRoot.empty() &&
      FolderExists(state_.DataRoot / general.FirmaCurenta)) {
    const int index = companyList_->findText(Q(general.FirmaCurenta));
    if (index >= 0) companyList_->setCurrentIndex(index);
    SelectCompany(general.FirmaCurenta);
    LoadCompanySettings();
  }
  // The spin edits hold their values to 0-100; a value they change is written back.
  idColumnEdit_->setValue(general.ColCodArt);
  priceColumnEdit_->setValue(general.ColPret);
  startRowEdit_->setValue(general.RandStart);
  if (general.TipPret >= 0 && general.TipPret < 2) priceKindGroup_->SetItemIndex(general.TipPret);
  if (general.ArtIdentif >= 0 && general.ArtIdentif < 3)
    identifyGroup_->SetItemIndex(general.ArtIdentif);
}

void TEMainImportPret::LFirmeChange() {
  const std::string name = S(companyList_->currentText());
  if (companyList_->currentIndex() < 0 || !FolderExists(state_.DataRoot / name)) return;
  WriteSetting(kGeneralSection, "FirmaCurenta", name);
  SelectCompany(name);
  LoadCompanySettings();
}

void TEMainImportPret::SelectCompany(const std::string& name) {
  if (name == state_.CurrentCompany) return;
  state_.CurrentCompany = name;
  state_.CompanyFolder = state_.DataRoot / name;
  // The lists of the previous company must not offer its producers and categories here.
  producerList_->clear();
  categoryList_->clear();
  const std::string stored = ReadSetting(name, "FisierImport");
  if (stored.empty()) return;
  const QString path = Q(stored);
  if (QDir::isAbsolutePath(path)) {
    programmaticDriveChange_ = true;
    try {
      driveList_->SetDrive(RootOf(path, MountedRoots()));
    } catch (...) {
      programmaticDriveChange_ = false;
      throw;
    }
    programmaticDriveChange_ = false;
  }
  const QFileInfo info(path);
  if (QFileInfo(info.absolutePath()).isDir()) folderList_->SetDirectory(info.absolutePath());
  if (info.isFile()) fileList_->SetFileName(info.absoluteFilePath());
}

void TEMainImportPret::LoadCompanySettings() {
  const CompanySettings company = ReadCompanySettings(S(companyList_->currentText()));
  state_.PriceCategoryCode = company.CodCatPret;
  state_.PriceCategoryName = company.DenCatPret;
  FillPriceCategories(company.CodCatPret);
  if (Layout) Layout->CompanyChanged();
}

void TEMainImportPret::FillPriceCategories(int codeToSelect) {
  const auto fill = LoadPriceCategories(state_.CurrentCompany, state_.CompanyFolder, codeToSelect);
  if (!fill.ErrorMessage.empty()) {
    ShowMessage(fill.ErrorMessage, MessageKind::dkError);
    return;
  }
  for (int i = 0; i < static_cast<int>(fill.Items.size()); ++i) {
    const int at = categoryList_->AddSorted(Q(fill.Items[i].Name), int(fill.Items[i].Code));
    categoryList_->setItemData(at, i, kRoleFillIndex);
  }
  int selected = -1;
  for (int i = 0; i < categoryList_->count(); ++i)
    if (fill.Selected >= 0 && categoryList_->itemData(i, kRoleFillIndex).toInt() == fill.Selected)
      selected = i;
  categoryList_->setCurrentIndex(selected);
}

void TEMainImportPret::LProducatorDropDown() {
  if (producerList_->count() > 0) return;
  const auto fill = LoadProducers(state_.CurrentCompany, state_.CompanyFolder);
  if (!fill.ErrorMessage.empty()) {
    ShowMessage(fill.ErrorMessage, MessageKind::dkError);
    return;
  }
  for (const std::string& name : fill.Items) producerList_->AddSorted(Q(name));
}

void TEMainImportPret::LCatPretDropDown() {
  if (categoryList_->count() == 0) FillPriceCategories(-1);
}

}  // namespace imp
