#pragma once
// A file in the temporary folder that lives as long as the object, for tests that hand the
// reader a file written in memory.
#include <filesystem>
#include <string>

#include "support/BiffWriter.h"

namespace testbiff {

class TempFile {
 public:
  explicit TempFile(const Bytes& data, const std::string& suffix = ".xls");
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  std::string path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace testbiff
