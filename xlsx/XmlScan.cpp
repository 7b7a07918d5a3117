// The worksheet's own XML reader: one pass over the inflated bytes, a token at a time. A token
// cut by the end of a piece waits in `carry_` for the next piece; plain text goes to the handler
// at once. Whatever is not plainly well-formed UTF-8 XML without a document type is not ours.
#include "xlsx/XmlScan.h"

#include <array>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "platform/Codepage.h"
#include "xlsx/XlsxError.h"
#include "xlsx/XmlChars.h"

namespace xlsx {
namespace {

struct NotMine {};
[[noreturn]] void Hand() {
  throw NotMine{};
}

constexpr std::size_t kMore = xmlchars::kCut;  // the token goes on past the data
constexpr std::size_t kMaxPending = 4u << 20;  // a token longer goes to expat
constexpr std::size_t kMaxAttrs = 32;

using Byte = unsigned char;

bool IsSpace(Byte c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
using xmlchars::IsNameStart;
using xmlchars::kNameChar;
using xmlchars::kPlain;
using xmlchars::kValuePlain;
using xmlchars::Utf8Char;

bool NameStart(Byte c) {
  return IsNameStart(c);
}
bool NameChar(Byte c) {
  return kNameChar[c];
}
// Where the local part of a name starts: past its last colon, 0 when it has none.
std::size_t LocalAt(std::string_view name) {
  for (std::size_t i = name.size(); i > 0; --i)
    if (name[i - 1] == ':') return i;
  return 0;
}

// Every byte of [p, p + n) belongs to an XML character.
void CheckChars(const Byte* p, std::size_t n) {
  for (std::size_t i = 0; i < n;) {
    if (kPlain[p[i]] || p[i] == '\r' || p[i] == '<' || p[i] == '&' || p[i] == ']') {
      ++i;
      continue;
    }
    const std::size_t l = p[i] >= 0x80 ? Utf8Char(p + i, n - i) : 0;
    if (l == 0 || l == kMore) Hand();
    i += l;
  }
}

std::size_t Find(const Byte* p, std::size_t from, std::size_t n, const char* what) {
  const std::size_t w = std::strlen(what);
  for (std::size_t i = from; i + w <= n; ++i) {
    const void* hit = std::memchr(p + i, what[0], n - i);
    if (!hit) return kMore;
    i = static_cast<std::size_t>(static_cast<const Byte*>(hit) - p);
    if (i + w <= n && std::memcmp(p + i, what, w) == 0) return i;
  }
  return kMore;
}

// The reference at p ("&amp;", "&#233;", "&#xE9;") appended to `out`; its length or kMore.
std::size_t Reference(const Byte* p, std::size_t n, std::string& out) {
  constexpr std::size_t kLongest = 16;
  std::size_t end = 1;
  while (end < n && end < kLongest && p[end] != ';') ++end;
  if (end == n) return n < kLongest ? kMore : (Hand(), 0);
  if (p[end] != ';') Hand();
  const std::string_view body(reinterpret_cast<const char*>(p + 1), end - 1);
  if (body == "amp") {
    out += '&';
  } else if (body == "lt") {
    out += '<';
  } else if (body == "gt") {
    out += '>';
  } else if (body == "quot") {
    out += '"';
  } else if (body == "apos") {
    out += '\'';
  } else if (body.size() >= 2 && body[0] == '#') {
    const bool hex = body[1] == 'x';
    std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty()) Hand();
    std::uint32_t cp = 0;
    for (char ch : digits) {
      std::uint32_t d = 0;
      if (ch >= '0' && ch <= '9')
        d = static_cast<std::uint32_t>(ch - '0');
      else if (hex && ((ch | 0x20) >= 'a' && (ch | 0x20) <= 'f'))
        d = static_cast<std::uint32_t>((ch | 0x20) - 'a' + 10);
      else
        Hand();
      cp = cp * (hex ? 16 : 10) + d;
      if (cp > 0x10FFFF) Hand();
    }
    const bool ok = cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
                    (cp >= 0xE000 && cp <= 0xFFFD) || cp >= 0x10000;
    if (!ok) Hand();
    platform::AppendCodepoint(out, cp);
  } else {
    Hand();  // no entity but the predefined ones exists without a document type
  }
  return end + 1;
}

std::string_view Local(std::string_view name) {
  return name.substr(LocalAt(name));
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

class Scanner {
 public:
  explicit Scanner(XmlHandler& h) : h_(h) {}

  void Feed(const char* d, std::size_t n) {
    while (n > 0) {
      if (carry_.empty()) {
        const std::size_t used = Process(reinterpret_cast<const Byte*>(d), n);
        carry_.assign(d + used, n - used);
        if (carry_.size() > kMaxPending) Hand();
        return;
      }
      // The cut token is completed from the new piece; the piece's rest is read in place.
      const std::size_t old = carry_.size();
      const std::size_t take = n < old ? n : (old < 4096 ? (n < 4096 ? n : 4096) : old);
      carry_.append(d, take);
      const std::size_t used = Process(reinterpret_cast<const Byte*>(carry_.data()), carry_.size());
      if (used >= old) {
        const std::size_t off = used - old;
        carry_.clear();
        d += off;
        n -= off;
      } else {
        carry_.erase(0, used);
        if (carry_.size() > kMaxPending) Hand();
        d += take;
        n -= take;
      }
    }
  }

  void Finish() const {
    if (!carry_.empty() || state_ != State::After) Hand();
  }

 private:
  enum class State { Start, Prolog, Content, After };

  std::size_t Process(const Byte* p, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
      const std::size_t used = state_ == State::Content ? Content(p + i, n - i)
                               : state_ == State::Start ? Declaration(p + i, n - i)
                                                        : Misc(p + i, n - i);
      if (used == kMore) break;
      i += used;
    }
    return i;
  }

  // The byte order mark and the XML declaration: version 1.0, UTF-8, standalone or not.
  std::size_t Declaration(const Byte* p, std::size_t n) {
    if (p[0] == 0xEF && !bom_) {
      if (n < 3) return kMore;
      if (p[1] != 0xBB || p[2] != 0xBF) Hand();
      bom_ = true;
      return 3;
    }
    if (n < 6) return kMore;
    if (std::memcmp(p, "<?xml", 5) != 0 || !IsSpace(p[5])) {
      state_ = State::Prolog;
      return 0;
    }
    const std::size_t end = Find(p, 5, n, "?>");
    if (end == kMore) return kMore;
    state_ = State::Prolog;
    const std::string_view body(reinterpret_cast<const char*>(p + 5), end - 5);
    int field = 0;
    std::size_t j = 0;
    for (;;) {
      const std::size_t s = j;
      while (j < body.size() && IsSpace(static_cast<Byte>(body[j]))) ++j;
      if (j == body.size()) break;
      if (j == s) Hand();
      const std::size_t a = j;
      while (j < body.size() && body[j] >= 'a' && body[j] <= 'z') ++j;
      const std::string_view name = body.substr(a, j - a);
      while (j < body.size() && IsSpace(static_cast<Byte>(body[j]))) ++j;
      if (j == body.size() || body[j] != '=') Hand();
      ++j;
      while (j < body.size() && IsSpace(static_cast<Byte>(body[j]))) ++j;
      if (j == body.size() || (body[j] != '"' && body[j] != '\'')) Hand();
      const std::size_t close = body.find(body[j], j + 1);
      if (close == std::string_view::npos) Hand();
      const std::string_view value = body.substr(j + 1, close - j - 1);
      j = close + 1;
      std::string lower(value);
      for (char& ch : lower) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
      if (name == "version" && field == 0 && value == "1.0")
        field = 1;
      else if (name == "encoding" && field == 1 && lower == "utf-8")
        field = 2;
      else if (name == "standalone" && field >= 1 && field < 3 && (value == "yes" || value == "no"))
        field = 3;
      else
        Hand();
    }
    if (field == 0) Hand();
    return end + 2;
  }

  // Outside the root element: white space, comments, processing instructions; the root.
  std::size_t Misc(const Byte* p, std::size_t n) {
    std::size_t j = 0;
    while (j < n && IsSpace(p[j])) ++j;
    if (j > 0) return j;
    if (p[0] != '<') Hand();
    if (n < 4) return kMore;
    if (p[1] == '?') return Instruction(p, n);
    if (p[1] == '!') {
      if (p[2] != '-' || p[3] != '-') Hand();  // a document type or misplaced CDATA
      return Comment(p, n);
    }
    if (state_ == State::After) Hand();
    return StartTag(p, n);
  }

  std::size_t Content(const Byte* p, std::size_t n) {
    std::size_t j = 0;
    while (j < n) {
      if (kPlain[p[j]]) {
        ++j;
      } else if (p[j] >= 0x80) {
        const std::size_t l = Utf8Char(p + j, n - j);
        if (l == 0 || l == kMore) break;
        j += l;
      } else {
        break;
      }
    }
    if (j > 0) {
      if (h_.capture) h_.Text(reinterpret_cast<const char*>(p), j);
      return j;
    }
    const Byte c = p[0];
    if (c == '<') {
      if (h_.shortcut && !open_.empty()) {
        const std::size_t used = Shortcut(p, n);
        if (used > 0) return used;
      }
      if (n < 4) return kMore;
      if (p[1] == '/') return EndTag(p, n);
      if (p[1] == '?') return Instruction(p, n);
      if (p[1] == '!') {
        if (p[2] == '-' && p[3] == '-') return Comment(p, n);
        if (n < 9) return kMore;
        if (std::memcmp(p, "<![CDATA[", 9) == 0) return Cdata(p, n);
        Hand();
      }
      return StartTag(p, n);
    }
    if (c == '&') {
      piece_.clear();
      const std::size_t used = Reference(p, n, piece_);
      if (used != kMore && h_.capture) h_.Text(piece_.data(), piece_.size());
      return used;
    }
    if (c == '\r') {
      if (n < 2) return kMore;
      if (h_.capture) h_.Text("\n", 1);
      return p[1] == '\n' ? 2 : 1;
    }
    if (c == ']') {
      if (n < 3) return kMore;
      if (p[1] == ']' && p[2] == '>') Hand();
      if (h_.capture) h_.Text("]", 1);
      return 1;
    }
    if (c >= 0x80 && Utf8Char(p, n) == kMore) return kMore;
    Hand();
  }

  // The handler's own reading of what starts at p; the open elements kept as it says.
  std::size_t Shortcut(const Byte* p, std::size_t n) {
    const XmlHandler::Taken t = h_.Shortcut(reinterpret_cast<const char*>(p), n,
                                            std::string_view(names_).substr(open_.back()));
    if (t.used > n) Hand();
    if (!t.opened.empty()) {
      open_.push_back(names_.size());
      names_.append(t.opened);
    } else if (t.closed) {
      names_.resize(open_.back());
      open_.pop_back();
      if (open_.empty()) state_ = State::After;
    }
    return t.used;
  }

  std::size_t Comment(const Byte* p, std::size_t n) {
    const std::size_t dash = Find(p, 4, n, "--");
    if (dash == kMore || dash + 2 >= n) return kMore;
    if (p[dash + 2] != '>') Hand();
    CheckChars(p + 4, dash - 4);
    return dash + 3;
  }

  std::size_t Instruction(const Byte* p, std::size_t n) {
    if (!NameStart(p[2]) || p[2] == ':') Hand();
    std::size_t j = 3;
    while (j < n && NameChar(p[j]) && p[j] != ':') ++j;
    if (j == n) return kMore;
    if (j == 5 && (p[2] | 0x20) == 'x' && (p[3] | 0x20) == 'm' && (p[4] | 0x20) == 'l') Hand();
    // After the target comes white space or the end at once: "<?a?b ?>" is not well formed.
    if (p[j] == '?') {
      if (j + 1 == n) return kMore;
      if (p[j + 1] != '>') Hand();
    } else if (!IsSpace(p[j])) {
      Hand();
    }
    const std::size_t end = Find(p, j, n, "?>");
    if (end == kMore) return kMore;
    CheckChars(p + j, end - j);
    return end + 2;
  }

  std::size_t Cdata(const Byte* p, std::size_t n) {
    const std::size_t end = Find(p, 9, n, "]]>");
    if (end == kMore) return kMore;
    CheckChars(p + 9, end - 9);
    if (h_.capture) {
      piece_.assign(reinterpret_cast<const char*>(p + 9), end - 9);
      std::size_t w = 0;
      for (std::size_t r = 0; r < piece_.size(); ++r) {
        if (piece_[r] == '\r') {
          piece_[w++] = '\n';
          if (r + 1 < piece_.size() && piece_[r + 1] == '\n') ++r;
        } else {
          piece_[w++] = piece_[r];
        }
      }
      if (w > 0) h_.Text(piece_.data(), w);
    }
    return end + 3;
  }

  std::size_t EndTag(const Byte* p, std::size_t n) {
    if (!NameStart(p[2])) Hand();
    std::size_t j = 3;
    while (j < n && NameChar(p[j])) ++j;
    const std::string_view name(reinterpret_cast<const char*>(p + 2), j - 2);
    while (j < n && IsSpace(p[j])) ++j;
    if (j == n) return kMore;
    if (p[j] != '>' || open_.empty()) Hand();
    if (!SameName(std::string_view(names_).substr(open_.back()), name)) Hand();
    names_.resize(open_.back());
    open_.pop_back();
    if (open_.empty()) state_ = State::After;
    h_.End(Local(name));
    return j + 1;
  }

  std::size_t StartTag(const Byte* p, std::size_t n) {
    if (!NameStart(p[1])) Hand();
    std::size_t j = 2;
    while (j < n && NameChar(p[j])) ++j;
    const std::string_view name(reinterpret_cast<const char*>(p + 1), j - 1);
    // A value as written is viewed in place; one with references or white space to normalise
    // is decoded into decoded_ and viewed there once the tag is read (decoded_ may move).
    decoded_.clear();
    std::size_t count = 0;
    bool empty = false;
    for (;;) {
      const std::size_t s = j;
      while (j < n && IsSpace(p[j])) ++j;
      if (j == n) return kMore;
      if (p[j] == '>') {
        ++j;
        break;
      }
      if (p[j] == '/') {
        if (j + 1 == n) return kMore;
        if (p[j + 1] != '>') Hand();
        j += 2;
        empty = true;
        break;
      }
      if (j == s || !NameStart(p[j]) || count >= kMaxAttrs) Hand();
      const std::size_t a = j;
      bool colon = false;
      while (j < n && NameChar(p[j])) colon |= p[j++] == ':';
      const std::string_view attr(reinterpret_cast<const char*>(p + a), j - a);
      for (std::size_t k = 0; k < count; ++k)
        if (SameName(attrs_[k].name, attr)) Hand();
      while (j < n && IsSpace(p[j])) ++j;
      if (j == n) return kMore;
      if (p[j] != '=') Hand();
      ++j;
      while (j < n && IsSpace(p[j])) ++j;
      if (j == n) return kMore;
      const Byte q = p[j++];
      if (q != '"' && q != '\'') Hand();
      const std::size_t v = j;
      while (j < n && kValuePlain[p[j]]) ++j;
      if (j == n) return kMore;
      XmlAttr& out = attrs_[count];
      out.name = attr;
      out.localAt = colon ? LocalAt(attr) : 0;
      if (p[j] == q) {
        out.value = std::string_view(reinterpret_cast<const char*>(p + v), j - v);
        decodedAt_[count++] = kMore;
        ++j;
        continue;
      }
      decodedAt_[count] = decoded_.size();
      decoded_.append(reinterpret_cast<const char*>(p + v), j - v);
      const std::size_t used = Value(p + j, n - j, q);
      if (used == kMore) return kMore;
      j += used;
      decodedEnd_[count++] = decoded_.size();
    }
    for (std::size_t k = 0; k < count; ++k)
      if (decodedAt_[k] != kMore)
        attrs_[k].value =
            std::string_view(decoded_).substr(decodedAt_[k], decodedEnd_[k] - decodedAt_[k]);
    if (!empty) {
      open_.push_back(names_.size());
      names_.append(name);
    }
    state_ = empty && open_.empty() ? State::After : State::Content;
    const std::string_view local = Local(name);
    h_.Start(local, XmlAttrs(attrs_.data(), count));
    if (empty) h_.End(local);
    return j;
  }

  // The rest of an attribute value up to its closing quote, decoded into decoded_; the bytes
  // read.
  std::size_t Value(const Byte* p, std::size_t n, Byte q) {
    std::size_t j = 0;
    for (;;) {
      const std::size_t s = j;
      while (j < n && p[j] >= 0x20 && p[j] < 0x80 && p[j] != q && p[j] != '<' && p[j] != '&') ++j;
      decoded_.append(reinterpret_cast<const char*>(p + s), j - s);
      if (j == n) return kMore;
      const Byte c = p[j];
      if (c == q) return j + 1;
      if (c == '&') {
        const std::size_t used = Reference(p + j, n - j, decoded_);
        if (used == kMore) return kMore;
        j += used;
      } else if (c == '\t' || c == '\n') {
        decoded_ += ' ';
        ++j;
      } else if (c == '\r') {
        if (j + 1 == n) return kMore;
        decoded_ += ' ';
        j += p[j + 1] == '\n' ? 2 : 1;
      } else if (c >= 0x80) {
        const std::size_t l = Utf8Char(p + j, n - j);
        if (l == kMore) return kMore;
        if (l == 0) Hand();
        decoded_.append(reinterpret_cast<const char*>(p + j), l);
        j += l;
      } else {
        Hand();  // '<' or a control character
      }
    }
  }

  XmlHandler& h_;
  State state_ = State::Start;
  bool bom_ = false;
  std::string carry_;
  std::string names_;              // the open elements' names, one after the other
  std::vector<std::size_t> open_;  // where each starts in names_
  std::string decoded_, piece_;    // decoded attribute values of the tag being read; text
  std::array<XmlAttr, kMaxAttrs> attrs_;
  std::array<std::size_t, kMaxAttrs> decodedAt_{}, decodedEnd_{};  // kMore: viewed in place
};

template <class F>
bool Run(F&& f) {
  try {
    f();
    return true;
  } catch (const NotMine&) {
    return false;
  } catch (const XlsxError&) {
    throw;
  } catch (const std::exception& e) {
    throw XlsxError(FailReason::Limit, e.what());
  }
}

}  // namespace

bool ScanXmlPart(ZipPackage& zip, std::string_view name, XmlHandler& handler) {
  return Run([&] {
    Scanner s(handler);
    zip.Read(name, [&](const char* d, std::size_t n) { s.Feed(d, n); });
    s.Finish();
  });
}

bool ScanXmlBytes(std::string_view bytes, XmlHandler& handler, std::size_t piece) {
  return Run([&] {
    Scanner s(handler);
    if (piece == 0) piece = 1;
    for (std::size_t at = 0; at < bytes.size(); at += piece)
      s.Feed(bytes.data() + at, bytes.size() - at < piece ? bytes.size() - at : piece);
    s.Finish();
  });
}

}  // namespace xlsx
