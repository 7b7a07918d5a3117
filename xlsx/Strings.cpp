// The shared strings part, the _xHHHH_ escapes, and ISO dates of date cells.
#include <string>

#include "platform/Codepage.h"
#include "xlsx/Parts.h"
#include "xlsx/PlainTag.h"
#include "xlsx/XlsxError.h"
#include "xlsx/Xml.h"
#include "xlsx/XmlScan.h"

namespace xlsx {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// <si> items: the text of every <t> outside the phonetic runs, joined.
class SharedStringsHandler final : public XmlHandler {
 public:
  SharedStringsHandler(SharedStrings& out, bool shortcuts) : out_(out), shortcuts_(shortcuts) {
    shortcut = shortcuts;
  }
  void Start(std::string_view name, const XmlAttrs& a) override {
    StartTag(name, a);
    shortcut = shortcuts_ && phonetic_ == 0;
  }
  void End(std::string_view name) override {
    EndTag(name);
    shortcut = shortcuts_ && phonetic_ == 0;
  }
  void Text(const char* s, std::size_t n) override { raw_.append(s, n); }
  std::size_t taken = 0;  // the items the shortcut took

  // An item of one text as most writers put it, taken whole; offered outside phonetic runs,
  // where that is what Start, Text and End make of it.
  Taken Shortcut(const char* p, std::size_t n, std::string_view) override {
    constexpr std::string_view kItem = "<si><t>", kKeptBlanks = "<si><t xml:space=\"preserve\">";
    const PlainTag b(p, n);
    std::size_t j = 0;
    if (b.Is(0, kItem))
      j = kItem.size();
    else if (b.Is(0, kKeptBlanks))
      j = kKeptBlanks.size();
    else
      return {};
    std::optional<std::string_view> text;
    constexpr std::string_view kItemEnd = "</si>";
    if (!b.Text<true>(j, "</t>", text) || !b.Is(j, kItemEnd)) return {};
    item_.clear();
    AppendEscapedText(item_, *text);
    out_.Add(item_);
    raw_.clear();
    inItem_ = capture = false;
    ++taken;
    return {j + kItemEnd.size(), {}, false};
  }

 private:
  void StartTag(std::string_view name, const XmlAttrs&) {
    if (NameIs(name, "si")) {
      inItem_ = true;
      item_.clear();
      raw_.clear();
    } else if (NameIs(name, "rPh")) {
      ++phonetic_;
    } else if (NameIs(name, "t") && inItem_ && phonetic_ == 0) {
      capture = true;
    }
  }
  void EndTag(std::string_view name) {
    if (NameIs(name, "t")) {
      if (capture) AppendEscapedText(item_, raw_);
      raw_.clear();
      capture = false;
    } else if (NameIs(name, "rPh")) {
      if (phonetic_ > 0) --phonetic_;
    } else if (NameIs(name, "si") && inItem_) {
      out_.Add(item_);
      inItem_ = false;
    }
  }

  SharedStrings& out_;
  const bool shortcuts_;
  std::string item_, raw_;
  bool inItem_ = false;
  int phonetic_ = 0;
};

bool Digits(std::string_view s, std::size_t at, std::size_t n, int& out) {
  if (at + n > s.size()) return false;
  out = 0;
  for (std::size_t i = at; i < at + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    out = out * 10 + (s[i] - '0');
  }
  return true;
}

}  // namespace

void AppendEscapedText(std::string& out, std::string_view t) {
  std::size_t i = 0;
  while (i < t.size()) {
    const std::size_t at = t.find("_x", i);
    if (at == std::string_view::npos || at + 7 > t.size()) break;
    int v = 0;
    bool hex = t[at + 6] == '_';
    for (std::size_t k = at + 2; hex && k < at + 6; ++k) {
      const int d = HexDigit(t[k]);
      if (d < 0)
        hex = false;
      else
        v = v * 16 + d;
    }
    out.append(t.substr(i, at - i));
    if (hex) {
      platform::AppendCodepoint(out, static_cast<std::uint32_t>(v));
      i = at + 7;
    } else {
      out.append("_x");
      i = at + 2;
    }
  }
  out.append(t.substr(i));
}

namespace {

// The part read by the own XML reader, or again from the start by expat when that hands it
// over; the items the shortcut took (0 after expat).
template <class Scan, class Parse>
std::size_t Read(SharedStrings& out, bool shortcut, Scan&& scan, Parse&& parse) {
  {
    SharedStringsHandler h(out, shortcut);
    if (scan(h)) return h.taken;
  }
  out.Clear();
  SharedStringsHandler h(out, shortcut);
  parse(h);
  return 0;
}

}  // namespace

void ReadSharedStrings(ZipPackage& zip, std::string_view part, SharedStrings& out) {
  Read(
      out, true, [&](XmlHandler& h) { return ScanXmlPart(zip, part, h); },
      [&](XmlHandler& h) { ParseXmlPart(zip, part, h); });
}

std::size_t ReadSharedStringsBytes(std::string_view xml, SharedStrings& out, std::size_t piece,
                                   bool shortcut) {
  return Read(
      out, shortcut, [&](XmlHandler& h) { return ScanXmlBytes(xml, h, piece); },
      [&](XmlHandler& h) { ParseXmlBytes(xml, h); });
}

// An ISO duration of hours, minutes and seconds ("PT1H30M0.5S"), as strict files store the
// values of elapsed-time cells.
bool DurationToSerial(std::string_view s, double& serial) {
  if (s.size() < 3 || s.substr(0, 2) != "PT") return false;
  double total = 0, number = 0, scale = 0;
  bool digits = false;
  for (std::size_t i = 2; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      if (scale > 0)
        number += (c - '0') * scale, scale /= 10;
      else
        number = number * 10 + (c - '0');
      digits = true;
    } else if (c == '.' && scale == 0) {
      scale = 0.1;
    } else if ((c == 'H' || c == 'M' || c == 'S') && digits) {
      total += number * (c == 'H' ? 3600 : c == 'M' ? 60 : 1);
      number = 0, scale = 0, digits = false;
    } else {
      return false;
    }
    if (number > 1e12) return false;
  }
  if (digits) return false;
  serial = total / 86400.0;
  return true;
}

bool IsoToSerial(std::string_view s, double& serial) {
  if (DurationToSerial(s, serial)) return true;
  int y = 0, m = 0, d = 0, hh = 0, mm = 0, ss = 0;
  double frac = 0;
  std::size_t at = 0;
  if (s.size() >= 10 && s[4] == '-' && s[7] == '-') {
    if (!Digits(s, 0, 4, y) || !Digits(s, 5, 2, m) || !Digits(s, 8, 2, d)) return false;
    at = 10;
    if (at < s.size() && s[at] == 'T') ++at;
  } else {
    y = 1899, m = 12, d = 30;  // a time alone
  }
  if (at < s.size()) {
    if (!Digits(s, at, 2, hh) || at + 2 >= s.size() || s[at + 2] != ':' ||
        !Digits(s, at + 3, 2, mm))
      return false;
    at += 5;
    if (at < s.size() && s[at] == ':') {
      if (!Digits(s, at + 1, 2, ss)) return false;
      at += 3;
      if (at < s.size() && s[at] == '.') {
        double scale = 0.1;
        for (++at; at < s.size() && s[at] >= '0' && s[at] <= '9'; ++at, scale /= 10)
          frac += (s[at] - '0') * scale;
      }
    }
    if (at < s.size() && s[at] == 'Z') ++at;
    if (at != s.size()) return false;
  }
  if (m < 1 || m > 12 || d < 1 || d > 31 || hh > 23 || mm > 59 || ss > 59) return false;
  // Days from the civil date (proleptic Gregorian), then to the 1900 system whose day 60 is
  // the 29 February 1900 that never was.
  const int yy = m <= 2 ? y - 1 : y;
  const int era = (yy >= 0 ? yy : yy - 399) / 400;
  const int yoe = yy - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long days = static_cast<long>(era) * 146097 + doe - 719468;  // from 1970-01-01
  double day = static_cast<double>(days + 25569);                    // 1970-01-01 is 25569
  if (day < 61 && !(y == 1899 && m == 12 && d == 30)) day -= 1;
  if (day < 0) return false;
  serial = day + (hh * 3600 + mm * 60 + ss + frac) / 86400.0;
  return true;
}

}  // namespace xlsx
