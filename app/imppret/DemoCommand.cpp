// imppret demo: a demo data root to try the program on (company list, two companies with
// articles, multiple prices and price categories, sample supplier price lists) and the alias
// configuration that points "Tarvex" at it.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/imppret/Command.h"
#include "import/DemoData.h"
#include "import/DemoSettings.h"
#include "import/IniFile.h"
#include "import/Settings.h"
#include "platform/Files.h"
#include "platform/db/Session.h"

namespace imppret {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage = "demo DIR [--workbooks DIR] [--settings]";

bool HoldsWorkbooks(const fs::path& dir) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec))
    if (entry.path().extension() == ".xls") return true;
  return false;
}

// The sample price lists ship in the source tree beside the script that writes them; an
// installed tool finds them in a "demo" folder beside itself.
fs::path FindSampleWorkbooks() {
  if (const char* env = std::getenv("IMPPRET_DEMO_WORKBOOKS"); env && *env) return env;
  const fs::path exeDir = platform::ExecutableDir();
  if (HoldsWorkbooks(exeDir / "demo")) return exeDir / "demo";
  fs::path dir = exeDir;
  for (int up = 0; up < 6 && !dir.empty(); ++up) {
    if (HoldsWorkbooks(dir / "tests" / "data" / "demo")) return dir / "tests" / "data" / "demo";
    if (dir == dir.parent_path()) break;
    dir = dir.parent_path();
  }
  return {};
}

// Points the alias "Tarvex" at `dataRoot`, keeping every other alias of the configuration.
fs::path WriteAlias(const fs::path& dataRoot) {
  const fs::path config = db::AliasConfigPath();
  std::string text;
  if (!platform::ReadWholeFile(config, text)) text.clear();
  imp::IniFile ini(text);
  ini.Set("Tarvex", "PATH", dataRoot.string());
  ini.Set("Tarvex", "DEFAULT DRIVER", "PARADOX");
  std::error_code ec;
  if (config.has_parent_path()) fs::create_directories(config.parent_path(), ec);
  platform::WriteFileAtomically(config, ini.Text());
  return config;
}

int RunDemoCommand(const std::vector<std::string>& args) {
  fs::path target, workbooks;
  bool haveWorkbooks = false;
  bool settings = false;  // also the window's first choices (the main job asks for them)
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--workbooks" && i + 1 < args.size()) {
      workbooks = args[++i];
      haveWorkbooks = true;
    } else if (args[i] == "--settings") {
      settings = true;
    } else if (target.empty() && !args[i].empty() && args[i][0] != '-') {
      target = args[i];
    } else {
      std::fprintf(stderr, "usage: imppret %s\n", kUsage);
      return 2;
    }
  }
  if (target.empty()) {
    std::fprintf(stderr, "usage: imppret %s\n", kUsage);
    return 2;
  }
  if (!haveWorkbooks) workbooks = FindSampleWorkbooks();
  const fs::path root = fs::absolute(target).lexically_normal();
  // The folder goes into the alias file as one line; a line break would add lines of its own.
  if (!imp::IsStorableIniValue(root.string())) {
    std::fprintf(stderr, "%s\n", imp::UnstorableValueMessage(root.string()).c_str());
    return 1;
  }
  imp::DemoReport report = imp::CreateDemoDataRoot(root, workbooks);
  const fs::path alias = WriteAlias(root);

  std::printf("Date demo create in %s\n", root.string().c_str());
  for (const std::string& company : report.Companies)
    std::printf("  firma %s: %s\n", company.c_str(), (root / company).string().c_str());
  std::printf("  %d articole, %d preturi multiple\n", report.Articles, report.MultiPrices);
  if (report.Workbooks.empty())
    std::fprintf(stderr, "  liste de preturi exemplu negasite (folositi --workbooks DIR)\n");
  for (const fs::path& book : report.Workbooks)
    std::printf("  lista de preturi: %s\n", book.string().c_str());
  std::printf("Aliasul Tarvex scris in %s\n", alias.string().c_str());
  if (settings && imp::WriteDemoSettings(report.Companies, report.Workbooks))
    std::printf("Setarile ferestrei scrise in %s\n", imp::SettingsPath().string().c_str());
  return 0;
}

}  // namespace

IMPPRET_COMMAND("demo", kUsage, RunDemoCommand);

}  // namespace imppret
