#pragma once
// Our reader of the Compound File Binary Format (versions 3 and 4): the header, the FAT with
// its DIFAT, the mini FAT and mini stream, and the directory tree. It offers what the workbook
// reader needs: the is-compound-file test, the names and sizes of the root storage's elements
// and reading one root-level stream. Every sector chain is checked for loops and for sectors
// outside the file, and every size is bounded by the file, so a damaged or hostile file gives
// a CfbError, never a crash, a hang or unbounded memory.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/cfb/Stream.h"

namespace platform::cfb {

struct ElementInfo {
  std::string Name;  // UTF-8
  std::uint64_t Size = 0;
  bool IsStream = false;
};

class CompoundFile {
 public:
  // True when the file exists and starts with the compound-file signature.
  static bool IsCompoundFile(const std::filesystem::path& path);

  // Opens the file read-only and reads its header, FAT and directory; raises CfbError.
  explicit CompoundFile(const std::filesystem::path& path);
  ~CompoundFile();
  CompoundFile(const CompoundFile&) = delete;
  CompoundFile& operator=(const CompoundFile&) = delete;

  // The elements directly inside the root storage, in directory order.
  const std::vector<ElementInfo>& RootElements() const { return rootElements_; }

  // Opens the root-level stream named exactly `name`; raises CfbError when there is none or its
  // sector chain is damaged. The stream stays valid after this object is destroyed.
  std::unique_ptr<Stream> OpenStream(const std::string& name) const;

  int MajorVersion() const { return majorVersion_; }

 private:
  struct DirEntry {
    std::string name;
    std::uint8_t type = 0;
    std::uint32_t left = 0, right = 0, child = 0, start = 0;
    std::uint64_t size = 0;
  };
  std::vector<std::uint32_t> Chain(std::uint32_t start, const std::vector<std::uint32_t>& fat,
                                   std::uint64_t limit, const char* what) const;
  void ReadFat(const std::uint8_t* header);
  void ReadDirectory(std::uint32_t firstDirSector);
  void ListRoot();

  std::shared_ptr<RandomAccessFile> file_;
  int majorVersion_ = 3;
  unsigned sectorShift_ = 9;
  std::uint32_t sectorSize_ = 512;
  std::uint64_t sectorCount_ = 0;  // sectors present in the file (the last may be partial)
  std::uint32_t miniCutoff_ = 4096;
  std::uint32_t firstMiniFatSector_ = 0;
  std::vector<std::uint32_t> fat_;
  std::vector<DirEntry> dir_;
  std::vector<std::uint32_t> rootChildren_;  // directory indexes
  std::vector<ElementInfo> rootElements_;
};

}  // namespace platform::cfb
