#pragma once
// Streaming XML through expat: the parts of a package are fed piece by piece, never held whole.
// Element and attribute names reach the handler without their prefix (so the transitional and
// the strict vocabularies, and prefixed writers, read alike); a prefixed attribute keeps a mark
// of it. Any document type declaration is refused, so no entity can expand.
#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "xlsx/Zip.h"

namespace xlsx {

// One attribute of a start tag as written: the full name ("r:id"), where its local part starts
// (0 when it has no prefix), and the value with references decoded and white space normalised.
// The views hold while the handler's Start runs.
struct XmlAttr {
  std::string_view name, value;
  std::size_t localAt = 0;
  std::string_view Local() const { return name.substr(localAt); }
  bool Prefixed() const { return localAt > 0; }
};

// The attributes of one start tag.
class XmlAttrs {
 public:
  XmlAttrs(const XmlAttr* a, std::size_t n) : a_(a), n_(n) {}
  // The value of the attribute without a prefix named `local`; empty when absent.
  std::optional<std::string_view> Get(std::string_view local) const;
  // The value of the prefixed attribute named `local` (r:id); empty when absent.
  std::optional<std::string_view> GetNs(std::string_view local) const;
  const XmlAttr* begin() const { return a_; }
  const XmlAttr* end() const { return a_ + n_; }

 private:
  const XmlAttr* a_;
  std::size_t n_;
};

// A name compared with a literal, the length first (the literal's bytes are compared inline).
template <std::size_t N>
inline bool NameIs(std::string_view name, const char (&lit)[N]) {
  return name.size() == N - 1 && std::memcmp(name.data(), lit, N - 1) == 0;
}

class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  virtual void Start(std::string_view name, const XmlAttrs& attrs) = 0;
  virtual void End(std::string_view name) = 0;
  // Character data; called only while `capture` is true, possibly in several pieces.
  virtual void Text(const char* s, std::size_t n) = 0;
  bool capture = false;

  // What a shortcut took: the bytes, and the element it left open (empty: none) or whether it
  // closed the innermost one.
  struct Taken {
    std::size_t used = 0;
    std::string_view opened;
    bool closed = false;
  };
  // A handler's own reading of the tags it sees most, offered while `shortcut` is true: the
  // sheet's own XML reader (never expat) calls it at each '<' of content with the bytes from
  // there on and the innermost open element's name as written. It takes a construct only when
  // it recognises every byte of it and has done exactly what the tag-by-tag calls would do;
  // anything else it leaves (used 0) to be read tag by tag from that point.
  virtual Taken Shortcut(const char*, std::size_t, std::string_view) { return {}; }
  bool shortcut = false;
};

// Parses the part `name` of the package; raises XlsxError when it is not well-formed or holds
// a document type declaration.
void ParseXmlPart(ZipPackage& zip, std::string_view name, XmlHandler& handler);
// The same over bytes in memory (the tests and the fuzz target).
void ParseXmlBytes(std::string_view bytes, XmlHandler& handler);

}  // namespace xlsx
