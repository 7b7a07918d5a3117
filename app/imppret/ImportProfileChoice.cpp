#include "app/imppret/ImportProfileChoice.h"

#include <cstdio>
#include <exception>
#include <filesystem>

#include "import/HeaderDetect.h"
#include "import/NumberText.h"
#include "import/Profiles.h"

namespace imppret {

bool ApplyProfileChoices(const std::string& company, const std::optional<std::string>& profile,
                         const ChoiceOptions& choices, bool detect, imp::TImportState& state,
                         bool& applied) {
  applied = false;
  if (company.empty()) return true;  // the checks refuse the run
  if (profile) {
    std::optional<imp::ImportProfile> p = imp::FindProfile(company, *profile);
    if (!p) {
      std::fprintf(stderr, " Profilul %s nu exista pentru firma %s \n", profile->c_str(),
                   company.c_str());
      return false;
    }
    imp::ApplyProfile(*p, state);
    applied = true;
    return true;
  }
  if (detect || choices.idCol || choices.priceCol || choices.startRow || state.FileName.empty())
    return true;
  const std::vector<imp::ImportProfile> all = imp::LoadProfiles(company);
  if (const imp::ImportProfile* p = imp::ProfileForFile(all, state.FileName.string())) {
    std::fprintf(stderr, "Profil ales dupa numele fisierului: %s\n", p->Name.c_str());
    imp::ApplyProfile(*p, state);
    applied = true;
  }
  return true;
}

bool DetectMissingChoices(bool identificationGiven, imp::TImportState& state) {
  std::error_code ec;
  if (state.FileName.empty() || !std::filesystem::is_regular_file(state.FileName, ec) ||
      state.CompanyFolder.empty() || !std::filesystem::is_directory(state.CompanyFolder, ec))
    return true;
  imp::LayoutProposal p;
  try {
    p = imp::DetectLayoutInFile(state.FileName.string(), state.CompanyFolder.string());
  } catch (const std::exception&) {
    return true;  // the run reports a workbook it cannot open
  }
  if (!p.Found) {
    std::fprintf(stderr, "%s\n", imp::ProposalMessage(p).c_str());
    return false;
  }
  std::fprintf(stderr, "%s\n", imp::ProposalMessage(p).c_str());
  if (state.IdColumn == 0) state.IdColumn = p.IdColumn;
  if (state.PriceColumn == 0) state.PriceColumn = p.PriceColumn;
  if (state.StartRow == 0) state.StartRow = p.StartRow;
  if (!identificationGiven && p.IdentificationTried) state.Identification = p.Identification;
  return true;
}

std::string ReadValueNote(const imp::PlannedChange& c) {
  if (c.ReadValue == c.Value) return "";
  return " (din fisier " + imp::FormatGeneral(c.ReadValue) + ")";
}

}  // namespace imppret
