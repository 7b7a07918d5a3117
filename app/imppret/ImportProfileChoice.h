#pragma once
// imppret import's profile and detection steps: the choices a profile or the workbook's own
// header row supply before the run.
#include <optional>
#include <string>

#include "app/imppret/ChoiceOptions.h"
#include "import/ImportRun.h"
#include "import/ImportState.h"

namespace imppret {

// Applies the named profile, or with no name and no column given (nor --detect) the profile
// whose pattern matches the file. False, with the message printed, for an unknown name.
bool ApplyProfileChoices(const std::string& company, const std::optional<std::string>& profile,
                         const ChoiceOptions& choices, bool detect, imp::TImportState& state,
                         bool& applied);

// Fills the columns and start row still 0, and the identification unless it was given, from
// the workbook's header row. False, with the reason printed, when nothing is found. A file or
// company the run's checks will refuse is left to them.
bool DetectMissingChoices(bool identificationGiven, imp::TImportState& state);

// " (din fisier X)" for a planned change whose written price differs from the cell's.
std::string ReadValueNote(const imp::PlannedChange& change);

}  // namespace imppret
