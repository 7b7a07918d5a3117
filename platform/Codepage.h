#pragma once
// Conversion between 8-bit text in a Windows code page and our UTF-8 strings.
// Code page 0 is the system encoding, which is UTF-8 here.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// 8-bit text stored in `codepage` to UTF-8. Bytes the code page does not define are taken as
// the Unicode character of the same number, as the native conversion does; never fails.
std::string ToUtf8(std::string_view bytes, int codepage);

// UTF-8 to `codepage`. Returns false when a character has no place in the code page (the
// output is then incomplete and must not be used). The Romanian comma-below letters map to
// the cedilla letters where the code page has those but not these.
bool FromUtf8(std::string_view utf8, int codepage, std::string& out);

// Latin-1 (BIFF8 "compressed" strings) to UTF-8, without iconv: this is a hot path.
void AppendLatin1(std::string& out, const unsigned char* p, std::size_t n);
// UTF-16LE code units as stored in a file to UTF-8; lone surrogates become U+FFFD.
void AppendUtf16le(std::string& out, const unsigned char* p, std::size_t units);
void AppendCodepoint(std::string& out, std::uint32_t cp);

// True for the code pages that ToUtf8/FromUtf8 can handle.
bool IsKnownCodepage(int codepage);

}  // namespace platform
