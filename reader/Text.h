#pragma once
// Text of workbook records turned into UTF-8.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace reader::detail {

// 8-bit text in a Windows code page, through a per-byte table for the single-byte code pages
// (the hot path of BIFF2-BIFF5 labels) and iconv for the double-byte ones.
class ByteText {
 public:
  ByteText() { SetCodepage(1252); }
  // Unknown code pages fall back to 1252.
  void SetCodepage(int codepage);
  int Codepage() const { return codepage_; }
  void Append(std::string& out, const std::uint8_t* p, std::size_t n) const;

 private:
  int codepage_ = 0;
  bool multiByte_ = false;
  std::array<std::array<char, 4>, 256> utf8_{};
  std::array<std::uint8_t, 256> len_{};
};

// UTF-16LE code units to UTF-8, keeping only what `codepage` can hold (0: everything); the
// rest becomes '?', as a conversion into that code page would give.
void AppendUtf16Codepage(std::string& out, const std::uint8_t* p, std::size_t units, int codepage);

}  // namespace reader::detail
