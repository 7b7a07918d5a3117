#include "import/DemoSettings.h"

#include <algorithm>

#include "import/Settings.h"

namespace imp {
namespace {

// The sample list of local-currency prices by external code: codes in column 1, prices in
// column 3, a header on row 1.
constexpr const char* kSampleList = "Preturi furnizor.xls";

}  // namespace

bool WriteDemoSettings(const std::vector<std::string>& companies,
                       const std::vector<std::filesystem::path>& workbooks) {
  if (companies.empty() || !ReadSetting(kGeneralSection, "FirmaCurenta").empty()) return false;
  std::vector<std::string> sorted = companies;
  std::sort(sorted.begin(), sorted.end());
  const std::string& company = sorted.front();  // the first of the sorted company list
  const auto sample = std::find_if(workbooks.begin(), workbooks.end(),
                                   [](const auto& p) { return p.filename() == kSampleList; });
  WriteSetting(kGeneralSection, "FirmaCurenta", company);
  WriteSetting(kGeneralSection, "ColCodArt", "1");
  WriteSetting(kGeneralSection, "ColPret", "3");
  WriteSetting(kGeneralSection, "RandStart", "2");
  WriteSetting(kGeneralSection, "TipPret", "0");
  WriteSetting(kGeneralSection, "ArtIdentif", "0");
  if (sample != workbooks.end()) WriteSetting(company, "FisierImport", sample->string());
  return true;
}

}  // namespace imp
