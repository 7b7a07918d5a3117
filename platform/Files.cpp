#include "platform/Files.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "platform/AsciiCase.h"

namespace fs = std::filesystem;

namespace platform {

fs::path ExecutableDir() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path(ec);
  return exe.parent_path();
}

fs::path ProgramDataDir() {
  if (const char* home = std::getenv("IMPPRET_HOME"); home && *home) {
    std::error_code ec;
    fs::create_directories(home, ec);
    return home;
  }
  fs::path exeDir = ExecutableDir();
  if (access(exeDir.c_str(), W_OK) == 0) return exeDir;
  fs::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* h = std::getenv("HOME"); h && *h) {
    base = fs::path(h) / ".config";
  } else {
    base = fs::temp_directory_path();
  }
  fs::path dir = base / "ImpPretExcel";
  std::error_code ec;
  fs::create_directories(dir, ec);
  return dir;
}

void WriteFileAtomically(const fs::path& path, std::string_view content) {
  std::random_device rd;
  fs::path tmp = path;
  tmp += ".tmp" + std::to_string(rd() % 1000000);
  {
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) throw std::runtime_error("Nu pot scrie fisierul " + path.string());
    bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
    ok = std::fflush(f) == 0 && ok;
    ok = fsync(fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
      std::error_code ec;
      fs::remove(tmp, ec);
      throw std::runtime_error("Nu pot scrie fisierul " + path.string());
    }
  }
  std::error_code ec;
  fs::rename(tmp, path, ec);
  if (ec) {
    fs::remove(tmp, ec);
    throw std::runtime_error("Nu pot scrie fisierul " + path.string());
  }
}

bool ReadWholeFile(const fs::path& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  content = ss.str();
  return !in.bad();
}

fs::path FindFileNoCase(const fs::path& folder, std::string_view name) {
  auto lower = [](std::string_view s) { return LowerAscii(s); };
  std::error_code ec;
  fs::path exact = folder / fs::path(std::string(name));
  if (fs::exists(exact, ec)) return exact;
  std::string want = lower(name);
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (lower(it->path().filename().string()) == want) return it->path();
  }
  return {};
}

}  // namespace platform
