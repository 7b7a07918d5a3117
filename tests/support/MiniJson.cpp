#include "support/MiniJson.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/Codepage.h"

namespace testjson {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view s) : s_(s) {}

  Value Document() {
    Value v = Any();
    Space();
    if (i_ != s_.size()) Fail("trailing text");
    return v;
  }

 private:
  [[noreturn]] void Fail(const char* what) {
    throw std::runtime_error(std::string("JSON: ") + what + " at " + std::to_string(i_));
  }
  void Space() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t'))
      ++i_;
  }
  bool Eat(char c) {
    Space();
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  void Expect(char c) {
    if (!Eat(c)) Fail("unexpected character");
  }
  bool Word(std::string_view w) {
    if (s_.substr(i_, w.size()) == w) {
      i_ += w.size();
      return true;
    }
    return false;
  }

  Value Any() {
    Space();
    if (i_ >= s_.size()) Fail("unexpected end");
    Value v;
    char c = s_[i_];
    if (c == '{') {
      ++i_;
      auto obj = std::make_shared<Object>();
      if (!Eat('}')) {
        do {
          Space();
          std::string key = Str();
          Expect(':');
          (*obj)[key] = Any();
        } while (Eat(','));
        Expect('}');
      }
      v.v = obj;
    } else if (c == '[') {
      ++i_;
      auto arr = std::make_shared<Array>();
      if (!Eat(']')) {
        do arr->push_back(Any());
        while (Eat(','));
        Expect(']');
      }
      v.v = arr;
    } else if (c == '"') {
      v.v = Str();
    } else if (Word("true")) {
      v.v = true;
    } else if (Word("false")) {
      v.v = false;
    } else if (Word("null")) {
      v.v = nullptr;
    } else {
      std::size_t start = i_;
      while (i_ < s_.size() &&
             std::string_view("+-0123456789.eE").find(s_[i_]) != std::string_view::npos)
        ++i_;
      double d = 0;
      auto [p, ec] = std::from_chars(s_.data() + start, s_.data() + i_, d);
      if (ec != std::errc() || p != s_.data() + i_) Fail("bad number");
      v.v = d;
    }
    return v;
  }

  unsigned Hex4() {
    if (i_ + 4 > s_.size()) Fail("short escape");
    unsigned u = 0;
    for (int k = 0; k < 4; ++k) {
      char h = s_[i_++];
      u <<= 4;
      if (h >= '0' && h <= '9')
        u |= h - '0';
      else if (h >= 'a' && h <= 'f')
        u |= h - 'a' + 10;
      else if (h >= 'A' && h <= 'F')
        u |= h - 'A' + 10;
      else
        Fail("bad escape");
    }
    return u;
  }

  std::string Str() {
    if (i_ >= s_.size() || s_[i_] != '"') Fail("string expected");
    ++i_;
    std::string out;
    while (true) {
      if (i_ >= s_.size()) Fail("unterminated string");
      char c = s_[i_++];
      if (c == '"') break;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (i_ >= s_.size()) Fail("unterminated escape");
      char e = s_[i_++];
      switch (e) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': {
          unsigned cp = Hex4();
          if (cp >= 0xD800 && cp < 0xDC00 && Word("\\u")) {
            unsigned lo = Hex4();
            if (lo >= 0xDC00 && lo < 0xE000)
              cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
            else
              cp = 0xFFFD;
          } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
          }
          platform::AppendCodepoint(out, cp);
          break;
        }
        default: out += e;
      }
    }
    return out;
  }

  std::string_view s_;
  std::size_t i_ = 0;
};

}  // namespace

const Value& Value::operator[](const std::string& key) const {
  static const Value kNull;
  if (!IsObject()) return kNull;
  auto it = Members().find(key);
  return it == Members().end() ? kNull : it->second;
}

Value Parse(std::string_view text) {
  return Parser(text).Document();
}

Value ParseFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::stringstream ss;
  ss << in.rdbuf();
  return Parse(ss.str());
}

}  // namespace testjson
