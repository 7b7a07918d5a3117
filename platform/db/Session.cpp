#include "platform/db/Session.h"

#include <cstdlib>

#include "platform/AsciiCase.h"
#include "platform/Files.h"
#include "platform/db/DbError.h"

namespace db {
namespace {

std::string Trim(std::string s) {
  std::size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  std::size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}
}  // namespace

std::filesystem::path AliasConfigPath() {
  if (const char* env = std::getenv("IMPPRET_ALIASES"); env && *env) return env;
  return platform::ProgramDataDir() / "aliases.ini";
}

std::vector<std::string> GetAliasParams(const std::string& alias) {
  std::string content;
  const std::filesystem::path path = AliasConfigPath();
  if (!platform::ReadWholeFile(path, content))
    throw DbError("Alias-ul \"" + alias + "\" nu este definit (fisierul " + path.string() +
                  " nu poate fi citit)");
  if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);
  std::vector<std::string> params;
  bool inAlias = false, found = false;
  std::size_t start = 0;
  while (start <= content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = Trim(content.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[') {
      std::size_t close = line.find(']');
      std::string name =
          Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      if (found && inAlias) break;  // the first section of that name counts
      inAlias = platform::EqualsNoCase(name, Trim(alias));
      found = found || inAlias;
      continue;
    }
    if (!inAlias) continue;
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    params.push_back(Trim(line.substr(0, eq)) + "=" + Trim(line.substr(eq + 1)));
  }
  if (!found) throw DbError("Alias-ul \"" + alias + "\" nu este definit in " + path.string());
  return params;
}

}  // namespace db
