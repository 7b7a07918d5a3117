#pragma once
// The scratch set-up of the main window's tests: a settings folder of their own under `base`
// and the demo data root at base/data, named by the alias file the window reads.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "import/DemoData.h"
#include "platform/db/Session.h"

namespace testwin {

inline std::filesystem::path MakeDemoRoot(const std::filesystem::path& base) {
  namespace fs = std::filesystem;
  fs::remove_all(base);
  fs::create_directories(base / "home");
  ::setenv("IMPPRET_HOME", (base / "home").c_str(), 1);
  ::unsetenv("IMPPRET_ALIASES");
  const fs::path root = base / "data";
  imp::CreateDemoDataRoot(root, fs::path(IMPPRET_TEST_DATA) / "demo");
  std::ofstream(db::AliasConfigPath()) << "[Tarvex]\r\nPATH=" << root.string() << "\r\n";
  return root;
}

}  // namespace testwin
