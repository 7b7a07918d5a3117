#pragma once
// Import profiles: a supplier's layout and the choices that go with it, saved under a name
// per company in the settings file, one section per profile. Names and texts are stored
// escaped, so no name or value can open a section or a key of its own.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/ImportState.h"
#include "import/PriceRule.h"

namespace imp {

struct ImportProfile {
  std::string Name;     // as the user typed it (blanks at the ends dropped)
  std::string Pattern;  // file-name pattern with * and ? ("Ferometal*.xls"), "" for none
  int IdColumn = 0, PriceColumn = 0, StartRow = 0;
  int PriceKindIndex = pkLei;
  int Identification = aiCodExtern;
  bool ProducerRestriction = false;
  std::string ProducerName;
  std::int16_t PriceCategoryCode = 0;
  std::string PriceCategoryName;
  PriceRule Rule;
  bool operator==(const ImportProfile&) const = default;
};

// Why a name cannot be a profile's, or "" when it can (not blank, at most 100 characters).
std::string ProfileNameProblem(std::string_view name);

// The company's profiles, in the order of their sections (a profile saved again goes last).
std::vector<ImportProfile> LoadProfiles(const std::string& company);
std::optional<ImportProfile> FindProfile(const std::string& company, std::string_view name);
// Stores the profile, replacing one of the same name (names compare without regard to case).
// Raises std::runtime_error for a bad name or when the file cannot be written.
void SaveProfile(const std::string& company, const ImportProfile& profile);
// False when the company has no profile of that name.
bool DeleteProfile(const std::string& company, std::string_view name);

// The choices of a profile and the window's or command line's state.
ImportProfile ProfileFromState(const TImportState& state, std::string name);
// Sets the columns, start row, currency, identification, producer restriction, price category
// and price rule. The category's item in the state's list is selected when it is there.
void ApplyProfile(const ImportProfile& profile, TImportState& state);

// Whether the file's name (without its folder) matches the pattern: "*" any run, "?" one
// character, letters compared without regard to ASCII case.
bool MatchesFilePattern(std::string_view pattern, std::string_view fileName);
// The first profile whose pattern matches the file's name, or nullptr.
const ImportProfile* ProfileForFile(const std::vector<ImportProfile>& profiles,
                                    const std::string& path);

// The escaping of stored texts, and back (exposed for tests).
std::string EscapeStoredText(std::string_view text);
std::string UnescapeStoredText(std::string_view text);

}  // namespace imp
