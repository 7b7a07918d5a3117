#pragma once
// The ZIP container of a package, read through libzip (deflated entries inflated by ISA-L).
// Entry names are matched the way the writers in the wild need: backslashes as slashes, no
// leading slash, any letter case.
// Everything inflated is counted against one budget proportional to the file's size, and an
// entry that inflates to more or less than its directory says is refused.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

struct zip;

namespace xlsx {

class ZipPackage {
 public:
  // Inflated bytes allowed per byte of file, and a floor for small files. A spreadsheet's XML
  // shrinks 5 to 30 times in practice; past this it is a bomb, not a workbook.
  static constexpr std::uint64_t kRatio = 100;
  static constexpr std::uint64_t kFloor = 64ull << 20;

  // Opens the ZIP; raises XlsxError (NotAPackage when it is no ZIP at all).
  explicit ZipPackage(const std::filesystem::path& file);
  ~ZipPackage();
  ZipPackage(const ZipPackage&) = delete;
  ZipPackage& operator=(const ZipPackage&) = delete;

  bool Has(std::string_view name) const { return Index(name) >= 0; }
  // The inflated size the directory claims for the entry; 0 when there is none (a claim, not
  // a fact: Read checks it).
  std::uint64_t ClaimedSize(std::string_view name) const;
  // Streams the entry's inflated bytes to `sink` in pieces; raises XlsxError.
  using Sink = std::function<void(const char* data, std::size_t size)>;
  void Read(std::string_view name, const Sink& sink);
  std::uint64_t Budget() const { return budget_; }

 private:
  long long Index(std::string_view name) const;
  void ReadDeflated(std::uint64_t index, std::uint64_t size, std::uint32_t crc,
                    std::string_view name, const Sink& sink);

  zip* zip_ = nullptr;
  // Normalised name -> entry index; the exact letter case is looked up first.
  std::unordered_map<std::string, long long> names_, exactNames_;
  std::uint64_t budget_ = 0;  // inflated bytes still allowed
  std::uint64_t fileSize_ = 0;
};

// "xl/./worksheets/../a.xml" -> "xl/a.xml"; backslashes become slashes, leading slashes go,
// and letters are lowered unless `keepCase`.
std::string NormalisePartName(std::string_view name, bool keepCase = false);

}  // namespace xlsx
