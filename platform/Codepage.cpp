#include "platform/Codepage.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <string>

namespace platform {
namespace {

// The iconv name of a Windows code page number; empty for UTF-8 (handled without iconv).
std::string IconvName(int codepage) {
  switch (codepage) {
    case 0:
    case 65001: return {};
    case 1200: return "UTF-16LE";
    case 1201: return "UTF-16BE";
    case 367:
    case 20127: return "CP1252";  // ASCII: lenient, as Windows is
    case 10000:
    case 32768: return "MACINTOSH";
    case 10029: return "MAC-CENTRALEUROPE";
    case 32769: return "CP1252";  // BIFF2-BIFF4 "Windows code page 1252"
    case 28591: return "ISO-8859-1";
    case 28592: return "ISO-8859-2";
    case 20866: return "KOI8-R";
    default: return "CP" + std::to_string(codepage);
  }
}

// iconv descriptors are costly to open; keep one per direction and code page.
struct Converters {
  std::mutex mutex;
  std::map<std::pair<int, bool>, iconv_t> open;
  ~Converters() {
    for (auto& [key, cd] : open)
      if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }
};
Converters& AllConverters() {
  static Converters converters;
  return converters;
}

// Runs `fn(cd)` with the descriptor for codepage -> UTF-8 (toUtf8) or UTF-8 -> codepage.
template <typename Fn>
bool WithConverter(int codepage, bool toUtf8, Fn&& fn) {
  auto& all = AllConverters();
  std::lock_guard lock(all.mutex);
  auto key = std::make_pair(codepage, toUtf8);
  auto it = all.open.find(key);
  if (it == all.open.end()) {
    std::string name = IconvName(codepage);
    iconv_t cd = toUtf8 ? iconv_open("UTF-8", name.c_str()) : iconv_open(name.c_str(), "UTF-8");
    it = all.open.emplace(key, cd).first;
  }
  if (it->second == reinterpret_cast<iconv_t>(-1)) return false;
  iconv(it->second, nullptr, nullptr, nullptr, nullptr);  // reset shift state
  fn(it->second);
  return true;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

// Decodes one UTF-8 sequence; invalid bytes come back as U+FFFD, one byte consumed.
std::uint32_t NextCodepoint(std::string_view s, std::size_t& i) {
  auto c = static_cast<unsigned char>(s[i]);
  int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (len == 0 || i + len > s.size()) {
    ++i;
    return 0xFFFD;
  }
  std::uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
  for (int k = 1; k < len; ++k) {
    auto cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (cc & 0x3F);
  }
  i += len;
  return cp;
}

// Feeds `in` through `cd` into `out`. On a character the target cannot take (or an input
// byte that is not defined) `onInvalid(src, left)` decides: it may skip input and return true
// to go on, or return false to stop. Returns false when stopped or, when `strict`, as soon as
// the conversion was only approximate (glibc counts those in iconv's result).
template <typename OnInvalid>
bool Convert(iconv_t cd, std::string& in, std::string& out, bool strict, OnInvalid&& onInvalid) {
  char* src = in.data();
  std::size_t left = in.size();
  char buffer[1024];
  while (left > 0) {
    char* dst = buffer;
    std::size_t room = sizeof buffer;
    std::size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buffer, dst - buffer);
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      if (!onInvalid(src, left)) return false;
    } else if (strict && r > 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

void AppendCodepoint(std::string& out, std::uint32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendLatin1(std::string& out, const unsigned char* p, std::size_t n) {
  out.reserve(out.size() + n);
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char c = p[i];
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
}

void AppendUtf16le(std::string& out, const unsigned char* p, std::size_t units) {
  out.reserve(out.size() + units);
  for (std::size_t i = 0; i < units; ++i) {
    std::uint32_t u = p[2 * i] | (p[2 * i + 1] << 8);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      std::uint32_t lo = p[2 * i + 2] | (p[2 * i + 3] << 8);
      if (lo >= 0xDC00 && lo <= 0xDFFF) {
        AppendCodepoint(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendCodepoint(out, u);  // lone surrogates become U+FFFD there
  }
}

bool IsKnownCodepage(int codepage) {
  if (IconvName(codepage).empty()) return true;
  return WithConverter(codepage, true, [](iconv_t) {});
}

std::string ToUtf8(std::string_view bytes, int codepage) {
  std::string out;
  if (IconvName(codepage).empty()) {
    // Already UTF-8: keep valid sequences, replace broken ones.
    for (std::size_t i = 0; i < bytes.size();) AppendCodepoint(out, NextCodepoint(bytes, i));
    return out;
  }
  if (codepage != 1200 && codepage != 1201 && IsAscii(bytes)) return std::string(bytes);
  std::string in(bytes);
  bool ok = WithConverter(codepage, true, [&](iconv_t cd) {
    Convert(cd, in, out, false, [&](char*& src, std::size_t& left) {
      // An undefined byte (or a truncated sequence): take it as the character of its number.
      AppendCodepoint(out, static_cast<unsigned char>(*src));
      ++src;
      --left;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      return true;
    });
  });
  if (!ok) {  // unknown code page: read it as Latin-1 rather than fail
    out.clear();
    AppendLatin1(out, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  }
  return out;
}

bool FromUtf8(std::string_view utf8, int codepage, std::string& out) {
  out.clear();
  if (IconvName(codepage).empty()) {
    out.assign(utf8);
    return true;
  }
  if (codepage != 1200 && codepage != 1201 && IsAscii(utf8)) {
    out.assign(utf8);
    return true;
  }
  // The comma-below letters fold to the cedilla letters first; the code page gets the chance to
  // hold the comma-below form only when it has one (no 8-bit Windows code page does).
  std::string folded;
  folded.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    std::uint32_t cp = NextCodepoint(utf8, i);
    switch (cp) {
      case 0x0218: cp = 0x015E; break;  // Ș -> Ş
      case 0x0219: cp = 0x015F; break;  // ș -> ş
      case 0x021A: cp = 0x0162; break;  // Ț -> Ţ
      case 0x021B: cp = 0x0163; break;  // ț -> ţ
      default: break;
    }
    AppendCodepoint(folded, cp);
  }
  bool complete = true;
  bool ok = WithConverter(codepage, false, [&](iconv_t cd) {
    complete = Convert(cd, folded, out, true, [](char*&, std::size_t&) { return false; });
  });
  return ok && complete;
}

}  // namespace platform
