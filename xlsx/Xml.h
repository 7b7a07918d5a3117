#pragma once
// Streaming XML through expat: the parts of a package are fed piece by piece, never held whole.
// Element and attribute names reach the handler without their prefix (so the transitional and
// the strict vocabularies, and prefixed writers, read alike); a prefixed attribute keeps a mark
// of it. Any document type declaration is refused, so no entity can expand.
#include <cstddef>
#include <string>
#include <string_view>

#include "xlsx/Zip.h"

namespace xlsx {

// The attributes of one start tag: expat's name/value pairs.
class XmlAttrs {
 public:
  explicit XmlAttrs(const char** a) : a_(a) {}
  // The value of the attribute without a prefix named `local`; null when absent.
  const char* Get(std::string_view local) const;
  // The value of the prefixed attribute named `local` (r:id); null when absent.
  const char* GetNs(std::string_view local) const;
  // expat's list: name, value, name, value, ..., null.
  const char** Raw() const { return a_; }

 private:
  const char** a_;
};

class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  virtual void Start(std::string_view name, const XmlAttrs& attrs) = 0;
  virtual void End(std::string_view name) = 0;
  // Character data; called only while `capture` is true, possibly in several pieces.
  virtual void Text(const char* s, std::size_t n) = 0;
  bool capture = false;
};

// Parses the part `name` of the package; raises XlsxError when it is not well-formed or holds
// a document type declaration.
void ParseXmlPart(ZipPackage& zip, std::string_view name, XmlHandler& handler);
// The same over bytes in memory (the tests and the fuzz target).
void ParseXmlBytes(std::string_view bytes, XmlHandler& handler);

}  // namespace xlsx
