#include "platform/db/FieldValue.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/Codepage.h"
#include "platform/Formats.h"
#include "platform/db/DbError.h"

namespace db::value {
namespace {

constexpr std::int64_t kMsPerDay = 86400000;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The number of one to `maxDigits` digits at `i` of `s`, `i` moved past it; false when there is
// no digit at `i`.
bool ReadNumber(std::string_view s, std::size_t& i, std::size_t maxDigits, int& v) {
  const std::size_t start = i;
  v = 0;
  while (i < s.size() && IsDigit(s[i]) && i - start < maxDigits) v = v * 10 + (s[i++] - '0');
  return i != start;
}

[[noreturn]] void NotAValue(const px::FieldInfo& f, std::string_view text) {
  throw DbError("'" + std::string(text) + "' nu este o valoare valida pentru campul \"" + f.name +
                "\"");
}

std::int64_t IntegerLimit(FieldType t) {
  return t == FieldType::Short ? 32767 : 2147483647;
}

void PutIntegral(const px::FieldInfo& f, std::int64_t v, std::uint8_t* out) {
  std::int64_t limit = IntegerLimit(f.type);
  if (v < -limit || v > limit)
    throw DbError("Valoarea " + std::to_string(v) + " nu incape in campul \"" + f.name + "\"");
  px::EncodeInt(v, out, f.size);
}

}  // namespace

bool IsNumeric(FieldType t) {
  return t == FieldType::Number || t == FieldType::Currency;
}

bool IsIntegral(FieldType t) {
  return t == FieldType::Short || t == FieldType::Long || t == FieldType::AutoInc;
}

bool IsBlobType(FieldType t) {
  return t == FieldType::Memo || t == FieldType::Blob || t == FieldType::FmtMemo ||
         t == FieldType::Ole || t == FieldType::Graphic;
}

bool IsBlankValue(const px::FieldInfo& f, const std::uint8_t* p) {
  if (f.type == FieldType::Bcd && !(p[0] & 0x40)) return true;
  return px::IsBlank(p, f.size);
}

void SplitMilliseconds(std::int64_t ms, std::int64_t& days, std::int64_t& msOfDay) {
  days = ms / kMsPerDay;
  msOfDay = ms % kMsPerDay;
  if (msOfDay < 0) {
    --days;
    msOfDay += kMsPerDay;
  }
}

bool TimestampMilliseconds(const std::uint8_t* p, std::int64_t& ms) {
  double v = px::DecodeDouble(p);
  if (!(std::fabs(v) < 1e18)) return false;
  ms = static_cast<std::int64_t>(std::floor(v));
  return true;
}

std::string FormatNumber(double v) {
  if (std::isnan(v) || std::isinf(v)) return v > 0 ? "INF" : (v < 0 ? "-INF" : "NAN");
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15G", v);
  std::string s = buf;
  // Split mantissa and exponent; drop trailing zeros; use the process-wide separator.
  std::string mantissa = s, exponent;
  if (auto e = s.find('E'); e != std::string::npos) {
    mantissa = s.substr(0, e);
    int ex = std::atoi(s.c_str() + e + 1);
    exponent = "E" + std::string(ex < 0 ? "-" : "") + std::to_string(std::abs(ex));
  }
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  for (char& c : mantissa)
    if (c == '.') c = platform::Formats().DecimalSeparator;
  if (mantissa == "-0") mantissa = "0";
  return mantissa + exponent;
}

bool ParseNumber(std::string_view text, double& out) {
  std::string_view s = Trim(text);
  std::string plain;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain.push_back(s[i++]);
  std::size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) plain.push_back(s[i++]), ++digits;
  if (i < s.size() && s[i] == platform::Formats().DecimalSeparator) {
    plain.push_back('.');
    ++i;
    while (i < s.size() && IsDigit(s[i])) plain.push_back(s[i++]), ++digits;
  }
  if (digits == 0 && plain.find('.') == std::string::npos) return false;
  if (digits == 0) plain += "0";
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    plain.push_back('e');
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain.push_back(s[i++]);
    std::size_t expDigits = 0;
    while (i < s.size() && IsDigit(s[i])) plain.push_back(s[i++]), ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != s.size()) return false;
  const char* begin = plain.data();
  if (*begin == '+') ++begin;
  double v = 0;
  auto [ptr, ec] = std::from_chars(begin, plain.data() + plain.size(), v);
  if (ec != std::errc() || ptr != plain.data() + plain.size() || std::isinf(v)) return false;
  out = v;
  return true;
}

bool ParseInteger(std::string_view text, std::int64_t& out) {
  std::string_view s = Trim(text);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && ptr == s.data() + s.size();
}

std::string FormatDate(std::int64_t days) {
  int y, m, d;
  px::CivilFromDays(days, y, m, d);
  const std::string& fmt = platform::Formats().ShortDateFormat;
  std::string out;
  for (std::size_t i = 0; i < fmt.size();) {
    char c = static_cast<char>(fmt[i] | 0x20);
    std::size_t run = 1;
    while (i + run < fmt.size() && static_cast<char>(fmt[i + run] | 0x20) == c) ++run;
    char buf[16];
    if (c == 'd') {
      std::snprintf(buf, sizeof buf, run >= 2 ? "%02d" : "%d", d);
      out += buf;
    } else if (c == 'm') {
      std::snprintf(buf, sizeof buf, run >= 2 ? "%02d" : "%d", m);
      out += buf;
    } else if (c == 'y') {
      std::snprintf(buf, sizeof buf, run >= 3 ? "%04d" : "%02d", run >= 3 ? y : y % 100);
      out += buf;
    } else {
      for (std::size_t k = 0; k < run; ++k)
        out += (fmt[i] == '/' || fmt[i] == '.' || fmt[i] == '-') ? platform::Formats().DateSeparator
                                                                 : fmt[i];
    }
    i += run;
  }
  return out;
}

bool ParseDate(std::string_view text, std::int64_t& days) {
  std::string_view s = Trim(text);
  int parts[3] = {0, 0, 0};
  int count = 0;
  std::size_t i = 0;
  while (count < 3) {
    if (!ReadNumber(s, i, 5, parts[count++])) return false;
    if (count < 3) {
      if (i >= s.size() || IsDigit(s[i])) return false;
      ++i;
    }
  }
  if (i != s.size()) return false;
  // Field order as in the short date format.
  int d = 0, m = 0, y = 0, k = 0;
  char seen[3] = {0, 0, 0};
  for (char c : platform::Formats().ShortDateFormat) {
    c = static_cast<char>(c | 0x20);
    if ((c == 'd' || c == 'm' || c == 'y') && (k == 0 || seen[k - 1] != c) && k < 3) seen[k++] = c;
  }
  if (k != 3) {
    seen[0] = 'd', seen[1] = 'm', seen[2] = 'y';
  }
  for (int j = 0; j < 3; ++j) (seen[j] == 'd' ? d : seen[j] == 'm' ? m : y) = parts[j];
  if (y < 100) y += y < 50 ? 2000 : 1900;
  if (m < 1 || m > 12 || d < 1 || y < 1 || y > 9999) return false;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (d > kDays[m - 1] + (m == 2 && leap ? 1 : 0)) return false;
  days = px::DaysFromCivil(y, m, d);
  return true;
}

std::string FormatTime(std::int64_t ms) {
  std::int64_t days;
  SplitMilliseconds(ms, days, ms);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", static_cast<int>(ms / 3600000),
                static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60));
  return buf;
}

bool ParseTime(std::string_view text, std::int64_t& ms) {
  std::string_view s = Trim(text);
  int parts[3] = {0, 0, 0};
  int count = 0;
  std::size_t i = 0;
  while (i < s.size() && count < 3) {
    if (!ReadNumber(s, i, 3, parts[count++])) return false;
    if (i < s.size()) {
      if (s[i] != ':') return false;
      ++i;
    }
  }
  if (count < 2 || i != s.size() || parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return false;
  ms = (parts[0] * 3600 + parts[1] * 60 + parts[2]) * std::int64_t{1000};
  return true;
}

std::string AsText(const px::FieldInfo& f, const std::uint8_t* p, int codepage) {
  if (IsBlankValue(f, p)) return {};
  switch (f.type) {
    case FieldType::Alpha: {
      const void* nul = std::memchr(p, 0, static_cast<std::size_t>(f.size));
      std::size_t len =
          nul ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - p) : f.size;
      return platform::ToUtf8(std::string_view(reinterpret_cast<const char*>(p), len), codepage);
    }
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::AutoInc: return std::to_string(px::DecodeInt(p, f.size));
    case FieldType::Number:
    case FieldType::Currency: return FormatNumber(px::DecodeDouble(p));
    case FieldType::Date: return FormatDate(px::DecodeInt(p, 4));
    case FieldType::Time: return FormatTime(px::DecodeInt(p, 4));
    case FieldType::Timestamp: {
      std::int64_t ms, days, msOfDay;
      if (!TimestampMilliseconds(p, ms)) return {};
      SplitMilliseconds(ms, days, msOfDay);
      return FormatDate(days) + " " + FormatTime(msOfDay);
    }
    case FieldType::Logical: return p[0] & 0x7F ? "True" : "False";
    case FieldType::Bcd: {
      std::string s = px::DecodeBcd(p, f.descriptorSize);
      for (char& c : s)
        if (c == '.') c = platform::Formats().DecimalSeparator;
      return s;
    }
    case FieldType::Bytes:
      return std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(f.size));
    default: {
      // Blob fields: the text the leader holds when the whole value fits in it.
      int leader = f.size - 10;
      if (leader <= 0) return {};
      std::uint32_t length = px::Get32(p + leader + 4);
      if (length > static_cast<std::uint32_t>(leader)) return {};
      if (f.type != FieldType::Memo && f.type != FieldType::FmtMemo) return {};
      return platform::ToUtf8(std::string_view(reinterpret_cast<const char*>(p), length), codepage);
    }
  }
}

bool EncodeText(const px::FieldInfo& f, std::string_view text, int codepage, std::uint8_t* out) {
  switch (f.type) {
    case FieldType::Alpha: {
      std::string bytes;
      if (!platform::FromUtf8(text, codepage, bytes)) return false;
      if (bytes.size() > static_cast<std::size_t>(f.size)) return false;
      std::memset(out, 0, static_cast<std::size_t>(f.size));
      std::memcpy(out, bytes.data(), bytes.size());
      return true;
    }
    default: break;
  }
  if (Trim(text).empty()) {
    std::memset(out, 0, static_cast<std::size_t>(f.size));
    return true;
  }
  switch (f.type) {
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::AutoInc: {
      std::int64_t v;
      if (!ParseInteger(text, v)) NotAValue(f, text);
      PutIntegral(f, v, out);
      return true;
    }
    case FieldType::Number:
    case FieldType::Currency: {
      double v;
      if (!ParseNumber(text, v)) NotAValue(f, text);
      px::EncodeDouble(v, out);
      return true;
    }
    case FieldType::Date: {
      std::int64_t days;
      if (!ParseDate(text, days)) NotAValue(f, text);
      px::EncodeInt(days, out, 4);
      return true;
    }
    case FieldType::Time: {
      std::int64_t ms;
      if (!ParseTime(text, ms)) NotAValue(f, text);
      px::EncodeInt(ms, out, 4);
      return true;
    }
    case FieldType::Timestamp: {
      std::string_view s = Trim(text);
      auto space = s.find(' ');
      std::int64_t days, ms = 0;
      if (!ParseDate(s.substr(0, space), days)) NotAValue(f, text);
      if (space != std::string_view::npos && !ParseTime(s.substr(space + 1), ms))
        NotAValue(f, text);
      px::EncodeDouble(static_cast<double>(days * kMsPerDay + ms), out);
      return true;
    }
    case FieldType::Logical: {
      std::string t(Trim(text));
      for (char& c : t) c = static_cast<char>(c | 0x20);
      if (t == "true" || t == "t" || t == "yes" || t == "da" || t == "1")
        out[0] = 0x81;
      else if (t == "false" || t == "f" || t == "no" || t == "nu" || t == "0")
        out[0] = 0x80;
      else
        NotAValue(f, text);
      return true;
    }
    default: throw DbError("Campul \"" + f.name + "\" nu poate fi scris de acest program");
  }
}

void EncodeInteger(const px::FieldInfo& f, std::int64_t v, int codepage, std::uint8_t* out) {
  if (IsIntegral(f.type)) return PutIntegral(f, v, out);
  if (IsNumeric(f.type)) return px::EncodeDouble(static_cast<double>(v), out);
  if (f.type == FieldType::Logical) {
    out[0] = v ? 0x81 : 0x80;
    return;
  }
  if (!EncodeText(f, std::to_string(v), codepage, out))
    throw DbError("Valoarea " + std::to_string(v) + " nu incape in campul \"" + f.name + "\"");
}

void EncodeFloat(const px::FieldInfo& f, double v, int codepage, std::uint8_t* out) {
  if (!std::isfinite(v))
    throw DbError("Valoare numerica invalida pentru campul \"" + f.name + "\"");
  if (IsNumeric(f.type)) return px::EncodeDouble(v, out);
  if (IsIntegral(f.type)) {
    if (v != std::floor(v)) NotAValue(f, FormatNumber(v));
    if (std::fabs(v) > 2147483647.0) NotAValue(f, FormatNumber(v));
    return PutIntegral(f, static_cast<std::int64_t>(v), out);
  }
  if (f.type == FieldType::Timestamp) return px::EncodeDouble(v, out);
  if (!EncodeText(f, FormatNumber(v), codepage, out))
    throw DbError("Valoarea " + FormatNumber(v) + " nu incape in campul \"" + f.name + "\"");
}

bool EncodeKey(const px::FieldInfo& f, const KeyValue& v, int codepage, std::uint8_t* out) {
  std::memset(out, 0, static_cast<std::size_t>(f.size));
  if (std::holds_alternative<std::monostate>(v)) return true;
  if (IsBlobType(f.type) || f.type == FieldType::Bcd || f.type == FieldType::Bytes)
    throw DbError("Campul \"" + f.name + "\" nu poate fi folosit la cautare");
  if (const auto* i = std::get_if<std::int64_t>(&v)) {
    if (IsIntegral(f.type) && (*i < -IntegerLimit(f.type) || *i > IntegerLimit(f.type)))
      return false;
    if (f.type == FieldType::Date) {
      px::EncodeInt(*i, out, 4);
      return true;
    }
    if (f.type == FieldType::Alpha) return EncodeText(f, std::to_string(*i), codepage, out);
    EncodeInteger(f, *i, codepage, out);
    return true;
  }
  if (const auto* d = std::get_if<double>(&v)) {
    if (IsIntegral(f.type) && (*d != std::floor(*d) || std::fabs(*d) > IntegerLimit(f.type)))
      return false;
    if (f.type == FieldType::Alpha) return EncodeText(f, FormatNumber(*d), codepage, out);
    EncodeFloat(f, *d, codepage, out);
    return true;
  }
  const std::string& text = std::get<std::string>(v);
  if (IsIntegral(f.type)) {
    std::int64_t n;
    if (!ParseInteger(text, n)) {
      if (Trim(text).empty()) return true;
      NotAValue(f, text);
    }
    if (n < -IntegerLimit(f.type) || n > IntegerLimit(f.type)) return false;
    px::EncodeInt(n, out, f.size);
    return true;
  }
  return EncodeText(f, text, codepage, out);
}

}  // namespace db::value
