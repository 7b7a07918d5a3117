#include "reader/Text.h"

#include <algorithm>

#include "platform/Codepage.h"

namespace reader::detail {

namespace {

bool LooksUtf16le(const std::uint8_t* p, std::size_t n) {
  if (n < 2 || n % 2 != 0) return false;
  for (std::size_t i = 1; i < n; i += 2)
    if (p[i] == 0) return true;
  return false;
}

}  // namespace

void ByteText::SetCodepage(int codepage) {
  declaredUtf16_ = codepage == 1200;
  if (codepage == 0 || declaredUtf16_ || !platform::IsKnownCodepage(codepage)) codepage = 1252;
  if (codepage == codepage_) return;
  codepage_ = codepage;
  multiByte_ =
      codepage == 932 || codepage == 936 || codepage == 949 || codepage == 950 || codepage == 1361;
  if (multiByte_) return;
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    const std::string u =
        b < 0x80 ? std::string(1, c) : platform::ToUtf8(std::string_view(&c, 1), codepage);
    len_[b] = static_cast<std::uint8_t>(std::min<std::size_t>(u.size(), 4));
    for (std::size_t i = 0; i < len_[b]; ++i) utf8_[b][i] = u[i];
  }
}

void ByteText::Append(std::string& out, const std::uint8_t* p, std::size_t n) const {
  if (declaredUtf16_ && LooksUtf16le(p, n)) {
    platform::AppendUtf16le(out, p, n / 2);
    return;
  }
  if (multiByte_) {
    out += platform::ToUtf8(std::string_view(reinterpret_cast<const char*>(p), n), codepage_);
    return;
  }
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t b = p[i];
    if (b < 0x80)
      out.push_back(static_cast<char>(b));
    else
      out.append(utf8_[b].data(), len_[b]);
  }
}

void AppendUtf16Codepage(std::string& out, const std::uint8_t* p, std::size_t units, int codepage) {
  if (codepage == 0 || !platform::IsKnownCodepage(codepage)) {
    platform::AppendUtf16le(out, p, units);
    return;
  }
  std::string one, narrow;
  for (std::size_t i = 0; i < units; ++i) {
    const unsigned u = static_cast<unsigned>(p[2 * i] | (p[2 * i + 1] << 8));
    if (u < 0x80) {
      out.push_back(static_cast<char>(u));
      continue;
    }
    one.clear();
    std::size_t take = 1;
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
      const unsigned lo = static_cast<unsigned>(p[2 * i + 2] | (p[2 * i + 3] << 8));
      if (lo >= 0xDC00 && lo < 0xE000) take = 2;
    }
    platform::AppendUtf16le(one, p + 2 * i, take);
    i += take - 1;
    narrow.clear();
    if (platform::FromUtf8(one, codepage, narrow))
      out += platform::ToUtf8(narrow, codepage);
    else
      out.push_back('?');
  }
}

}  // namespace reader::detail
