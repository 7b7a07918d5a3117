// expat behind the package reader: namespace-stripped names, no DTDs.
#include "xlsx/Xml.h"

#include <expat.h>

#include <cstring>
#include <memory>
#include <vector>

#include "xlsx/XlsxError.h"

namespace xlsx {
namespace {

// Names are taken without their prefix ("x:c" is "c"). Expat's namespace processing would
// build "URI name" strings for every element of a sheet, which costs more than the rest of
// the parse; the vocabulary is told by local names alone anyway.
std::string_view Local(const char* name) {
  const char* colon = std::strrchr(name, ':');
  return colon ? std::string_view(colon + 1) : std::string_view(name);
}

struct Parse {
  XML_Parser p = nullptr;
  std::vector<XmlAttr> attrs;
  XmlHandler* h = nullptr;
  bool refusedDtd = false;
  std::string handlerError;
  FailReason handlerReason = FailReason::Damaged;
};

// No exception may cross expat's C frames: it is kept and raised again after the parse stops.
template <class F>
void Guard(Parse& ps, F&& f) {
  try {
    f();
  } catch (const XlsxError& e) {
    ps.handlerError = e.what();
    ps.handlerReason = e.Reason();
    XML_StopParser(ps.p, XML_FALSE);
  } catch (const std::exception& e) {
    ps.handlerError = e.what();
    ps.handlerReason = FailReason::Limit;
    XML_StopParser(ps.p, XML_FALSE);
  }
}

void OnStart(void* ud, const XML_Char* name, const XML_Char** attrs) {
  auto& ps = *static_cast<Parse*>(ud);
  Guard(ps, [&] {
    ps.attrs.clear();
    for (const XML_Char** a = attrs; *a; a += 2) {
      const char* colon = std::strrchr(a[0], ':');
      ps.attrs.push_back({a[0], a[1], colon ? static_cast<std::size_t>(colon + 1 - a[0]) : 0});
    }
    ps.h->Start(Local(name), XmlAttrs(ps.attrs.data(), ps.attrs.size()));
  });
}

void OnEnd(void* ud, const XML_Char* name) {
  auto& ps = *static_cast<Parse*>(ud);
  Guard(ps, [&] { ps.h->End(Local(name)); });
}

void OnText(void* ud, const XML_Char* s, int len) {
  auto& ps = *static_cast<Parse*>(ud);
  if (ps.h->capture && len > 0) Guard(ps, [&] { ps.h->Text(s, static_cast<std::size_t>(len)); });
}

void OnDoctype(void* ud, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  auto& ps = *static_cast<Parse*>(ud);
  ps.refusedDtd = true;
  XML_StopParser(ps.p, XML_FALSE);
}

void OnEntity(void* ud, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
              const XML_Char*, const XML_Char*, const XML_Char*) {
  auto& ps = *static_cast<Parse*>(ud);
  ps.refusedDtd = true;
  XML_StopParser(ps.p, XML_FALSE);
}

class Parser {
 public:
  explicit Parser(XmlHandler& h) {
    ps_.p = XML_ParserCreate(nullptr);
    if (!ps_.p) throw XlsxError(FailReason::Limit, "Out of memory for the XML parser");
    ps_.h = &h;
    XML_SetUserData(ps_.p, &ps_);
    XML_SetElementHandler(ps_.p, OnStart, OnEnd);
    XML_SetCharacterDataHandler(ps_.p, OnText);
    XML_SetStartDoctypeDeclHandler(ps_.p, OnDoctype);
    XML_SetEntityDeclHandler(ps_.p, OnEntity);
    XML_SetParamEntityParsing(ps_.p, XML_PARAM_ENTITY_PARSING_NEVER);
  }
  ~Parser() { XML_ParserFree(ps_.p); }
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  void Feed(const char* data, std::size_t size, bool last) {
    if (done_) return;
    while (size > 0 || last) {
      const int piece = static_cast<int>(size > (1u << 30) ? (1u << 30) : size);
      const bool final = last && static_cast<std::size_t>(piece) == size;
      if (XML_Parse(ps_.p, data, piece, final) != XML_STATUS_OK) Fail();
      data += piece;
      size -= static_cast<std::size_t>(piece);
      if (final) break;
    }
  }

 private:
  [[noreturn]] void Fail() {
    done_ = true;
    if (!ps_.handlerError.empty()) throw XlsxError(ps_.handlerReason, ps_.handlerError);
    if (ps_.refusedDtd)
      throw XlsxError(FailReason::Limit,
                      "The XML holds a document type declaration: refused, entities could expand");
    const XML_Error code = XML_GetErrorCode(ps_.p);
    const FailReason reason =
        code == XML_ERROR_AMPLIFICATION_LIMIT_BREACH ? FailReason::Limit : FailReason::Damaged;
    throw XlsxError(reason, std::string("The XML is damaged: ") + XML_ErrorString(code) +
                                " (line " + std::to_string(XML_GetCurrentLineNumber(ps_.p)) + ")");
  }

  Parse ps_;
  bool done_ = false;
};

}  // namespace

std::optional<std::string_view> XmlAttrs::Get(std::string_view local) const {
  for (const XmlAttr& a : *this)
    if (!a.Prefixed() && a.name == local) return a.value;
  return std::nullopt;
}

std::optional<std::string_view> XmlAttrs::GetNs(std::string_view local) const {
  for (const XmlAttr& a : *this)
    if (a.Prefixed() && a.Local() == local) return a.value;
  return std::nullopt;
}

void ParseXmlPart(ZipPackage& zip, std::string_view name, XmlHandler& handler) {
  Parser parser(handler);
  zip.Read(name, [&](const char* d, std::size_t n) { parser.Feed(d, n, false); });
  parser.Feed("", 0, true);
}

void ParseXmlBytes(std::string_view bytes, XmlHandler& handler) {
  Parser parser(handler);
  parser.Feed(bytes.data(), bytes.size(), true);
}

}  // namespace xlsx
