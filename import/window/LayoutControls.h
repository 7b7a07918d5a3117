#pragma once
// The supplier-layout controls of the first page: "&Detecteaza" beside the column fields, the
// "Profil" list with "Salveaza profil" and "Sterge profil", and the price rule. They work the
// window's own controls, so every value they set goes through its change handler and reaches
// the settings file as a typed value would.
#include <QObject>
#include <functional>
#include <optional>
#include <string>

#include "import/Profiles.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace ui {
class TNiceButton;
}

namespace imp {

class TEMainImportPret;
class TSortedComboBox;

class TLayoutControls : public QObject {
 public:
  TLayoutControls(TEMainImportPret& window, QWidget* settingsPage);

  ui::TNiceButton* BDetecteaza;
  QLabel* LabelProfil;
  TSortedComboBox* LProfil;
  ui::TNiceButton *BSalveazaProfil, *BStergeProfil;
  QCheckBox* CRegulaPret;
  QLineEdit* EFactor;
  QComboBox* LRotunjire;

  // What "Salveaza profil" asks: the name and the file pattern (empty: cancelled). Tests put a
  // stand-in here; the default is a small modal form.
  std::function<std::optional<std::pair<std::string, std::string>>(const std::string& name,
                                                                   const std::string& pattern)>
      AskProfile;
  // The confirmation before deleting; the default is the program's message dialog.
  std::function<bool(const std::string& markup)> Confirm;

  void DetecteazaClick();
  void LProfilChange();
  void SalveazaProfilClick();
  void StergeProfilClick();
  // The window's hooks: a company became current; the selected file changed.
  void CompanyChanged();
  void FileChanged();

 private:
  void FillProfiles(const std::string& select);
  void Apply(const ImportProfile& profile);
  void ShowRule(const PriceRule& rule);
  void RuleChanged();
  void AddMessageLine(const std::string& line);

  TEMainImportPret& w_;
  std::vector<ImportProfile> profiles_;
  bool filling_ = false;
};

}  // namespace imp
