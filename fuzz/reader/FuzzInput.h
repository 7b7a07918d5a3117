#pragma once
// The reader opens workbooks by file name, so each fuzz input is written to one scratch file of
// this process (in /dev/shm when there is one, to keep the disk out of the loop).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace fuzzreader {

inline const std::string& ScratchPath() {
  static const std::string path = [] {
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(dir) + "/imppret-fuzz-" + std::to_string(getpid()) + ".xls";
  }();
  return path;
}

inline bool WriteScratch(const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(ScratchPath().c_str(), "wb");
  if (!f) return false;
  const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  std::fclose(f);
  return ok;
}

}  // namespace fuzzreader
