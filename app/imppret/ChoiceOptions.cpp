#include "app/imppret/ChoiceOptions.h"

#include <charconv>

#include "import/TextUtil.h"

namespace imppret {
namespace {

bool ParseInt(const std::string& text, int low, int high, int& out) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
    return false;
  out = value;
  return true;
}

}  // namespace

OptionParse ParseChoiceOption(const std::string& opt, const std::string& v, ChoiceOptions& c,
                              std::string& why) {
  auto bad = [&why](const char* text) {
    why = text;
    return OptionParse::Bad;
  };
  int n = 0;
  if (opt == "--id-col" || opt == "--price-col" || opt == "--start-row") {
    if (!ParseInt(v, 0, 100, n))
      return bad(opt == "--id-col"      ? "--id-col takes 0-100"
                 : opt == "--price-col" ? "--price-col takes 0-100"
                                        : "--start-row takes 0-100");
    (opt == "--id-col" ? c.idCol : opt == "--price-col" ? c.priceCol : c.startRow) = n;
  } else if (opt == "--category") {
    if (!ParseInt(v, -32768, 32767, n)) return bad("--category takes a 16-bit code");
    c.category = n;
  } else if (opt == "--producer") {
    c.producer = v;
  } else if (opt == "--currency") {
    const std::string u = imp::UpperAscii(v);
    if (u != "LEI" && u != "VALUTA") return bad("--currency takes lei or valuta");
    c.priceKind = u == "LEI" ? imp::pkLei : imp::pkValuta;
  } else if (opt == "--identify") {
    const std::string u = imp::UpperAscii(v);
    if (u == "CODEXTERN")
      c.identification = imp::aiCodExtern;
    else if (u == "CODINTERN")
      c.identification = imp::aiCodIntern;
    else if (u == "DENUMIRE")
      c.identification = imp::aiDenumire;
    else
      return bad("--identify takes codextern, codintern or denumire");
  } else if (opt == "--factor") {
    double f = 0;
    if (!imp::ParseFactor(v, f)) return bad("--factor takes a number above 0, at most 1000");
    c.factor = f;
  } else if (opt == "--round") {
    imp::PriceRounding r{};
    if (!imp::ParseRounding(v, r)) return bad("--round takes 0,01, 0,05, 0,10, 1 or 99");
    c.rounding = r;
  } else {
    return OptionParse::NotMine;
  }
  return OptionParse::Taken;
}

void ApplyChoices(const ChoiceOptions& c, imp::TImportState& s) {
  if (c.idCol) s.IdColumn = *c.idCol;
  if (c.priceCol) s.PriceColumn = *c.priceCol;
  if (c.startRow) s.StartRow = *c.startRow;
  if (c.priceKind) s.PriceKindIndex = *c.priceKind;
  if (c.identification) s.Identification = *c.identification;
  if (c.producer) {
    s.ProducerRestriction = true;
    s.ProducerName = *c.producer;
  }
  if (c.factor || c.rounding) {
    if (!s.Rule.On) s.Rule = imp::PriceRule{true, 1.0, imp::PriceRounding::None};
    if (c.factor) s.Rule.Factor = *c.factor;
    if (c.rounding) s.Rule.Rounding = *c.rounding;
  }
}

}  // namespace imppret
