#pragma once
// Text of workbook records turned into UTF-8.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace reader::detail {

// 8-bit text in a Windows code page, through a per-byte table for the single-byte code pages
// (the hot path of BIFF2-BIFF5 labels) and iconv for the double-byte ones.
//
// A BIFF5 file that declares code page 1200 (UTF-16) cannot keep its 8-bit strings in it. Its
// writers store a text of plain letters as single bytes and any other text as UTF-16LE code
// units, its count of "characters" being the count of bytes. Such a file reads each text by its
// bytes: an even count with a zero byte in a high-byte place is UTF-16LE (no text holds a NUL
// character), anything else 1252.
class ByteText {
 public:
  ByteText() { SetCodepage(1252); }
  // Unknown code pages fall back to 1252; 1200 reads as said above.
  void SetCodepage(int codepage);
  // The code page of the single-byte texts (1252 for a file that declares 1200).
  int Codepage() const { return codepage_; }
  void Append(std::string& out, const std::uint8_t* p, std::size_t n) const;

 private:
  int codepage_ = 0;
  bool declaredUtf16_ = false;
  bool multiByte_ = false;
  std::array<std::array<char, 4>, 256> utf8_{};
  std::array<std::uint8_t, 256> len_{};
};

// UTF-16LE code units to UTF-8, keeping only what `codepage` can hold (0: everything); the
// rest becomes '?', as a conversion into that code page would give.
void AppendUtf16Codepage(std::string& out, const std::uint8_t* p, std::size_t units, int codepage);

}  // namespace reader::detail
