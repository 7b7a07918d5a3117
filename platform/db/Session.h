#pragma once
// Aliases of the table engine, from "aliases.ini" (found like the settings file, or named by the
// environment variable IMPPRET_ALIASES): each section is an alias, each line a parameter.
#include <filesystem>
#include <string>
#include <vector>

namespace db {

// The parameters of `alias` as "NAME=value" lines; raises DbError for an unknown alias.
std::vector<std::string> GetAliasParams(const std::string& alias);

// Where the alias configuration is read from (and where `imppret demo` writes it).
std::filesystem::path AliasConfigPath();

}  // namespace db
