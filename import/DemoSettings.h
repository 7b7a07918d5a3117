#pragma once
// The remembered choices that let a first start of the window begin on a fresh demo data root:
// its first company chosen, its first sample price list shown in the file and folder lists,
// and the columns of the sample lists set, so "&Start import" runs at once.
#include <filesystem>
#include <string>
#include <vector>

namespace imp {

// Writes the demo choices into the settings file unless it already names a current company
// (the user's own choices are never replaced). `companies` are the demo's short names and
// `workbooks` the sample lists copied into the data root. Returns whether anything was written.
bool WriteDemoSettings(const std::vector<std::string>& companies,
                       const std::vector<std::filesystem::path>& workbooks);

}  // namespace imp
