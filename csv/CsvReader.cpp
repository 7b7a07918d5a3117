// Delimited text into the compact cell store, in one linear pass.
#include "csv/CsvReader.h"

#include <array>
#include <fstream>
#include <iterator>

#include "platform/Codepage.h"
#include "xlsx/CellRef.h"
#include "xlsx/XlsxError.h"

namespace csv {
namespace {

using xlsx::FailReason;
using xlsx::XlsxError;

bool ValidUtf8(std::string_view s) {
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    int len = 0;
    std::uint32_t cp = 0;
    if ((c & 0xE0) == 0xC0)
      len = 2, cp = c & 0x1F;
    else if ((c & 0xF0) == 0xE0)
      len = 3, cp = c & 0x0F;
    else if ((c & 0xF8) == 0xF0)
      len = 4, cp = c & 0x07;
    else
      return false;
    if (i + static_cast<std::size_t>(len) > n) return false;
    for (int k = 1; k < len; ++k) {
      const auto cc = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
        cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += static_cast<std::size_t>(len);
  }
  return true;
}

// Lines looked at for the delimiter.
constexpr int kSampleLines = 20;

}  // namespace

Encoding DetectEncoding(std::string_view b) {
  if (b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0xFF &&
      static_cast<unsigned char>(b[1]) == 0xFE)
    return Encoding::Utf16le;
  if (b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0xFE &&
      static_cast<unsigned char>(b[1]) == 0xFF)
    return Encoding::Utf16be;
  if (ValidUtf8(b)) return Encoding::Utf8;
  // Windows-1250 defines every byte but these five; text holding one of them is Latin-1.
  for (char ch : b) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == 0x81 || c == 0x83 || c == 0x88 || c == 0x90 || c == 0x98) return Encoding::Latin1;
  }
  return Encoding::Windows1250;
}

char DetectDelimiter(std::string_view s) {
  constexpr std::array<char, 3> kCandidates{';', '\t', ','};
  std::array<std::array<int, kSampleLines>, 3> counts{};
  int lines = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < s.size() && lines < kSampleLines; ++i) {
    const char c = s[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && (c == '\n' || c == '\r')) {
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
      ++lines;
    } else if (!quoted) {
      for (std::size_t k = 0; k < kCandidates.size(); ++k)
        if (c == kCandidates[k]) ++counts[k][static_cast<std::size_t>(lines)];
    }
  }
  if (lines < kSampleLines && !s.empty()) ++lines;  // the last line without a break
  // The candidate found on the most lines with the count of the first line wins; a tie goes
  // to the one with more fields, then to the order above.
  int best = -1, bestLines = 0, bestCount = 0;
  for (std::size_t k = 0; k < kCandidates.size(); ++k) {
    const int first = counts[k][0];
    if (first == 0) continue;
    int same = 0;
    for (int l = 0; l < lines; ++l)
      if (counts[k][static_cast<std::size_t>(l)] == first) ++same;
    if (same > bestLines || (same == bestLines && first > bestCount)) {
      best = static_cast<int>(k), bestLines = same, bestCount = first;
    }
  }
  return best < 0 ? ';' : kCandidates[static_cast<std::size_t>(best)];
}

bool LooksLikeText(std::string_view head) {
  if (head.size() >= 2 && ((static_cast<unsigned char>(head[0]) == 0xFF &&
                            static_cast<unsigned char>(head[1]) == 0xFE) ||
                           (static_cast<unsigned char>(head[0]) == 0xFE &&
                            static_cast<unsigned char>(head[1]) == 0xFF)))
    return true;
  if (head.empty()) return false;
  for (char ch : head) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A) return false;
  }
  return true;
}

void ParseCsv(std::string_view bytes, std::string_view name, xlsx::Book& book) {
  book = xlsx::Book();
  std::string text;
  switch (DetectEncoding(bytes)) {
    case Encoding::Utf8:
      if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
      text.assign(bytes);
      break;
    case Encoding::Utf16le:
    case Encoding::Utf16be: {
      const bool be = static_cast<unsigned char>(bytes[0]) == 0xFE;
      std::string le;
      le.reserve(bytes.size());
      for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        le += be ? bytes[i + 1] : bytes[i];
        le += be ? bytes[i] : bytes[i + 1];
      }
      platform::AppendUtf16le(text, reinterpret_cast<const unsigned char*>(le.data()),
                              le.size() / 2);
      if (text.substr(0, 3) == "\xEF\xBB\xBF") text.erase(0, 3);
      break;
    }
    case Encoding::Windows1250: text = platform::ToUtf8(bytes, 1250); break;
    case Encoding::Latin1:
      platform::AppendLatin1(text, reinterpret_cast<const unsigned char*>(bytes.data()),
                             bytes.size());
      break;
  }
  xlsx::Sheet& sheet = book.sheets.emplace_back();
  sheet.name = std::string(name);
  const char delim = DetectDelimiter(text);
  std::uint32_t row = 0, col = 0;
  std::string field;
  bool any = false;  // the current line holds something, a delimiter at least
  auto put = [&] {
    if (row >= xlsx::kMaxRows)
      throw XlsxError(FailReason::Limit, "The list has more rows than a sheet can hold");
    if (col >= xlsx::kMaxCols)
      throw XlsxError(FailReason::Limit, "A line has more fields than a sheet can hold");
    if (!field.empty())
      sheet.cells.AddText(row, static_cast<std::uint16_t>(col), field, xlsx::CellKind::Text, false);
    field.clear();
  };
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    char c = text[i];
    if (c == '"' && field.empty()) {
      // A quoted field, to the lone closing quote (or the end of a damaged file).
      any = true;
      for (++i; i < n; ++i) {
        if (text[i] != '"') {
          field += text[i];
        } else if (i + 1 < n && text[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          ++i;
          break;
        }
      }
      continue;
    }
    if (c == delim) {
      put();
      ++col;
      any = true;
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
      if (any || !field.empty()) put();
      ++row;
      col = 0;
      any = false;
    } else {
      field += c;
      any = true;
    }
    ++i;
  }
  if (any || !field.empty()) put();
  sheet.cells.Finish();
}

void ReadCsv(const std::filesystem::path& file, xlsx::Book& book) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw XlsxError(FailReason::NotAPackage, "Can not open the file");
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw XlsxError(FailReason::NotAPackage, "Can not read the file");
  ParseCsv(bytes, file.stem().string(), book);
}

}  // namespace csv
