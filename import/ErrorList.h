#pragma once
// Saving the error lines of the last run to "Errori.txt".
#include <filesystem>
#include <string>
#include <vector>

namespace imp {

inline constexpr const char* kErrorFileName = "Errori.txt";

std::filesystem::path ErrorListPath();

// Writes every line followed by CR LF, replacing an earlier file at once (atomically).
// Raises std::runtime_error when the file cannot be written.
void SaveErrorLines(const std::filesystem::path& file, const std::vector<std::string>& lines);

// The confirmation shown after a save (markup; the file name is escaped).
std::string ErrorListSavedMessage(const std::filesystem::path& file);

}  // namespace imp
