#pragma once
// File-system helpers shared by the program's parts.
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// The folder of the running executable.
std::filesystem::path ExecutableDir();

// Where the program keeps "ImpPretExcel.Ini", "Errori.txt" and "aliases.ini": the executable's
// folder when it is writable, otherwise $XDG_CONFIG_HOME/ImpPretExcel (default
// ~/.config/ImpPretExcel), created on demand. The environment variable IMPPRET_HOME, when set,
// names the folder instead (tests and automation use it).
std::filesystem::path ProgramDataDir();

// Writes `content` to `path` through a temporary file in the same folder and a rename, so a
// reader never sees a half-written file. Raises std::runtime_error on failure.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view content);

// Reads a whole file; returns false when it cannot be read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& content);

// The file in `folder` whose name matches `name` case-insensitively (ASCII), or empty.
std::filesystem::path FindFileNoCase(const std::filesystem::path& folder, std::string_view name);

}  // namespace platform
