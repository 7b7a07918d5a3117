#include "import/plan/TableCopy.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <system_error>

#include "platform/Files.h"
#include "platform/db/Table.h"

namespace fs = std::filesystem;

namespace imp {
namespace {

constexpr const char* kExtensions[] = {".DB", ".PX"};

fs::path CopyFile(const fs::path& copyBase, const char* extension) {
  return fs::path(copyBase.string() + extension);
}

bool TableFiles(const fs::path& folder, const std::string& table, fs::path (&files)[2]) {
  for (int i = 0; i < 2; ++i) {
    files[i] = platform::FindFileNoCase(folder, table + kExtensions[i]);
    if (files[i].empty()) return false;
  }
  return true;
}

bool SyncFile(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

// FNV-1a over the bytes: enough to tell whether anyone wrote to the table since the run.
std::uint64_t Hash(const std::string& bytes) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  return h;
}

}  // namespace

bool SaveTableCopy(const fs::path& folder, const std::string& table, const fs::path& copyBase) {
  fs::path files[2];
  if (!TableFiles(folder, table, files)) return false;
  for (int i = 0; i < 2; ++i) {
    const fs::path copy = CopyFile(copyBase, kExtensions[i]);
    std::error_code ec;
    if (!fs::copy_file(files[i], copy, fs::copy_options::overwrite_existing, ec) ||
        !SyncFile(copy)) {
      RemoveTableCopy(copyBase);
      return false;
    }
  }
  return true;
}

std::string TableFingerprint(const fs::path& folder, const std::string& table) {
  fs::path files[2];
  if (!TableFiles(folder, table, files)) return {};
  std::string text;
  for (const fs::path& file : files) {
    std::string bytes;
    if (!platform::ReadWholeFile(file, bytes)) return {};
    if (!text.empty()) text += ' ';
    text += std::to_string(bytes.size()) + ':' + std::to_string(Hash(bytes));
  }
  return text;
}

bool RestoreTableCopy(const fs::path& folder, const std::string& table, const fs::path& copyBase,
                      const std::string& expectedFingerprint) {
  fs::path files[2];
  std::string bytes[2];
  if (!TableFiles(folder, table, files)) return false;
  for (int i = 0; i < 2; ++i)
    if (!platform::ReadWholeFile(CopyFile(copyBase, kExtensions[i]), bytes[i])) return false;
  // Through the engine: under the table's lock (no other run writes meanwhile, no reader sees
  // it half made) and journaled (a stop in the middle leaves the table as the run left it).
  const std::vector<std::uint8_t> data(bytes[0].begin(), bytes[0].end());
  const std::vector<std::uint8_t> index(bytes[1].begin(), bytes[1].end());
  return db::ReplaceTableFiles(files[0], data, index, [&] {
    return TableFingerprint(folder, table) == expectedFingerprint;
  });
}

void RemoveTableCopy(const fs::path& copyBase) {
  for (const char* extension : kExtensions) {
    std::error_code ec;
    fs::remove(CopyFile(copyBase, extension), ec);
  }
}

}  // namespace imp
