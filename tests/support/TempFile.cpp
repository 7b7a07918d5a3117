#include "support/TempFile.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <stdexcept>

namespace testbiff {

TempFile::TempFile(const Bytes& data, const std::string& suffix) {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("imppret-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + suffix);
  std::ofstream out(path_, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (!out) throw std::runtime_error("cannot write " + path_.string());
}

TempFile::~TempFile() {
  std::error_code ec;
  std::filesystem::remove(path_, ec);
}

}  // namespace testbiff
