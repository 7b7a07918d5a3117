// A worksheet part in one streaming pass: each cell's value goes straight into the compact
// store, so memory follows the cells, never the XML.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include "xlsx/CellRef.h"
#include "xlsx/CellTags.h"
#include "xlsx/Parts.h"
#include "xlsx/XlsxError.h"
#include "xlsx/Xml.h"
#include "xlsx/XmlScan.h"

namespace xlsx {
namespace {

// Serial days between the 1900 and the 1904 date systems.
constexpr double k1904Offset = 1462;

[[noreturn]] void Bad(const std::string& what) {
  throw XlsxError(FailReason::Damaged, what);
}

class SheetHandler final : public XmlHandler {
 public:
  SheetHandler(const SheetContext& ctx, Sheet& sheet) : ctx_(ctx), sheet_(sheet) {}

  void Start(std::string_view name, const XmlAttrs& a) override {
    StartTag(name, a);
    shortcut = ctx_.shortcut && inData_ && !inCell_;
  }

  void End(std::string_view name) override {
    EndTag(name);
    shortcut = ctx_.shortcut && inData_ && !inCell_;
  }

  void Text(const char* s, std::size_t n) override { target_->append(s, n); }

  // Offered only between cells of the sheet's data, where a row's tags and a whole cell mean
  // what Start and End make of them there.
  Taken Shortcut(const char* p, std::size_t n, std::string_view innermost) override {
    const CellTag tag = tags_.Read(p, n);
    switch (tag.kind) {
      case CellTag::Kind::Row:
      case CellTag::Kind::EmptyRow:
        StartRow(tag.r);
        ++taken;
        return {tag.used, tag.kind == CellTag::Kind::Row ? "row" : "", false};
      case CellTag::Kind::RowEnd:
        if (innermost != "row") return {};
        ++taken;
        return {tag.used, {}, true};
      case CellTag::Kind::Cell:
        BeginCell(tag.r, tag.t ? TypeCode(*tag.t) : 'n', tag.s ? StyleIndex(*tag.s) : 0);
        if (tag.formula) {
          hasFormula_ = true;
          if (ctx_.keepFormulas) formula_.assign(*tag.formula);
        }
        if (tag.value) {
          sawValue_ = true;
          value_.assign(*tag.value);
        }
        EndCell();
        ++taken;
        return {tag.used, {}, false};
      case CellTag::Kind::None: break;
    }
    return {};
  }

  std::size_t taken = 0;  // the constructs the shortcut took

 private:
  void StartTag(std::string_view name, const XmlAttrs& a) {
    if (!inData_) {
      if (NameIs(name, "sheetData"))
        inData_ = true;
      else if (NameIs(name, "dimension") && sheet_.dimension.empty())
        if (auto ref = a.Get("ref")) {
          sheet_.dimension = *ref;
          ReserveFor(*ref);
        }
      return;
    }
    if (NameIs(name, "c")) {
      StartCell(a);
    } else if (!inCell_) {
      if (NameIs(name, "row")) StartRow(a.Get("r"));
    } else if (NameIs(name, "v")) {
      sawValue_ = true;
      Capture(value_);
    } else if (NameIs(name, "f")) {
      hasFormula_ = true;
      if (ctx_.keepFormulas) Capture(formula_);
    } else if (NameIs(name, "is")) {
      inInline_ = true;
    } else if (NameIs(name, "rPh")) {
      ++phonetic_;
    } else if (NameIs(name, "t") && inInline_ && phonetic_ == 0) {
      Capture(run_);
    }
  }

  void EndTag(std::string_view name) {
    if (!inData_) return;
    if (NameIs(name, "sheetData")) {
      inData_ = false;
      return;
    }
    if (!inCell_) return;
    if (NameIs(name, "c")) {
      EndCell();
    } else if (NameIs(name, "v") || NameIs(name, "f")) {
      capture = false;
    } else if (NameIs(name, "t")) {
      if (capture) AppendEscapedText(inlineText_, run_);
      capture = false;
    } else if (NameIs(name, "rPh")) {
      if (phonetic_ > 0) --phonetic_;
    } else if (NameIs(name, "is")) {
      inInline_ = false;
      hasInline_ = true;
    }
  }

  void Capture(std::string& into) {
    into.clear();
    target_ = &into;
    capture = true;
  }

  // Room for the cells the dimension names, as far as the part can hold them: a cell with a
  // value takes 15 bytes of XML at the least ("<c><v>1</v></c>"). Only a hint; a dimension that
  // lies costs a regrown store, never more memory than the part's own cells.
  void ReserveFor(std::string_view ref) {
    const std::size_t colon = ref.find(':');
    std::uint32_t r0 = 0, c0 = 0, r1 = 0, c1 = 0;
    if (ParseCellRef(ref.substr(0, colon), r0, c0) != RefResult::Ok) return;
    r1 = r0, c1 = c0;
    if (colon != std::string_view::npos &&
        ParseCellRef(ref.substr(colon + 1), r1, c1) != RefResult::Ok)
      return;
    if (r1 < r0 || c1 < c0) return;
    const std::uint64_t named = std::uint64_t{r1 - r0 + 1} * (c1 - c0 + 1);
    const std::uint64_t fits = ctx_.partSize / 15;
    const std::uint64_t n = std::min({named, fits, kMaxReserve});
    if (n > sheet_.cells.Cells().capacity()) sheet_.cells.Reserve(static_cast<std::size_t>(n));
  }

  void StartRow(std::optional<std::string_view> r) {
    if (r) {
      std::uint32_t row = 0;
      if (!ParseRowNumber(*r, row)) Bad("Row number out of range: " + std::string(*r));
      row_ = row;
    } else {
      row_ = nextRow_;
    }
    nextRow_ = row_ + 1;
    nextCol_ = 0;
  }

  void StartCell(const XmlAttrs& a) {
    std::optional<std::string_view> r;
    char type = 'n';
    std::uint32_t style = 0;
    for (const XmlAttr& at : a) {
      if (at.name.size() != 1) continue;  // only the one-letter attributes matter
      if (at.name[0] == 'r')
        r = at.value;
      else if (at.name[0] == 't')
        type = TypeCode(at.value);
      else if (at.name[0] == 's')
        style = StyleIndex(at.value);
    }
    BeginCell(r, type, style);
  }

  void BeginCell(std::optional<std::string_view> r, char type, std::uint32_t style) {
    inCell_ = true;
    hasFormula_ = hasInline_ = inInline_ = sawValue_ = false;
    phonetic_ = 0;
    value_.clear();
    inlineText_.clear();
    formula_.clear();
    type_ = type;
    style_ = style;
    if (r) {
      std::uint32_t row = 0, col = 0;
      const RefResult res = ParseCellRef(*r, row, col);
      if (res == RefResult::OutOfRange) Bad("Cell reference out of range: " + std::string(*r));
      if (res == RefResult::Malformed) Bad("Malformed cell reference: " + std::string(*r));
      row_ = row;
      col_ = col;
      nextRow_ = row + 1;
    } else {
      if (nextCol_ >= kMaxCols) Bad("Cell past the last column");
      col_ = nextCol_;
      if (row_ == kNoRow) row_ = 0, nextRow_ = 1;
    }
    nextCol_ = col_ + 1;
  }

  static char TypeCode(std::string_view t) {
    if (t == "s") return 's';
    if (t == "str") return 'f';
    if (t == "inlineStr") return 'i';
    if (t == "b") return 'b';
    if (t == "e") return 'e';
    if (t == "d") return 'd';
    return 'n';
  }
  static std::uint32_t StyleIndex(std::string_view s) {
    std::uint32_t v = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    return res.ec == std::errc() ? v : 0;
  }

  bool IsDateStyle() const {
    const auto& d = *ctx_.dateStyles;
    return style_ < d.size() && d[style_];
  }

  void EndCell() {
    inCell_ = false;
    capture = false;
    SheetCells& cells = sheet_.cells;
    const auto row = static_cast<std::uint32_t>(row_);
    const auto col = static_cast<std::uint16_t>(col_);
    if (hasFormula_ && ctx_.keepFormulas) cells.AddFormula(row, col, formula_);
    const bool f = hasFormula_;
    switch (type_) {
      case 'i':
        if (hasInline_) return cells.AddText(row, col, inlineText_, CellKind::Text, f);
        break;
      case 's': {
        if (value_.empty()) break;
        std::uint32_t index = 0;
        const auto res = std::from_chars(value_.data(), value_.data() + value_.size(), index);
        if (res.ec != std::errc() || res.ptr != value_.data() + value_.size())
          Bad("Bad shared string index: " + value_);
        // An index the workbook holds no string for leaves the cell without a value.
        if (index < ctx_.strings->Count()) return cells.AddShared(row, col, index, f);
        break;
      }
      case 'f':
        // A formula's text result may be empty; it is there as long as a <v> was written.
        if (sawValue_) {
          std::string text;
          AppendEscapedText(text, value_);
          return cells.AddText(row, col, text, CellKind::Text, f);
        }
        break;
      case 'b':
        if (value_ == "1" || value_ == "true") return cells.AddBool(row, col, true, f);
        if (value_ == "0" || value_ == "false") return cells.AddBool(row, col, false, f);
        break;
      case 'e':
        if (!value_.empty()) return cells.AddText(row, col, value_, CellKind::Error, f);
        break;
      case 'd': {
        double serial = 0;
        if (IsoToSerial(Trimmed(), serial))
          return cells.AddNumber(row, col, serial, CellKind::Date, f);
        if (!value_.empty()) return cells.AddText(row, col, value_, CellKind::Text, f);
        break;
      }
      default: {
        const std::string_view v = Trimmed();
        if (v.empty()) break;
        double d = 0;
        const auto res = std::from_chars(v.data(), v.data() + v.size(), d);
        if (res.ec != std::errc() || res.ptr != v.data() + v.size() || !std::isfinite(d)) break;
        if (IsDateStyle()) {
          if (ctx_.date1904) d += k1904Offset;
          return cells.AddNumber(row, col, d, CellKind::Date, f);
        }
        return cells.AddNumber(row, col, d, CellKind::Number, f);
      }
    }
    cells.NoteBlank(row, col);
  }

  std::string_view Trimmed() const {
    std::string_view v(value_);
    while (!v.empty() &&
           (v.front() == ' ' || v.front() == '\n' || v.front() == '\r' || v.front() == '\t'))
      v.remove_prefix(1);
    while (!v.empty() &&
           (v.back() == ' ' || v.back() == '\n' || v.back() == '\r' || v.back() == '\t'))
      v.remove_suffix(1);
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    return v;
  }

  static constexpr std::int64_t kNoRow = -1;
  static constexpr std::uint64_t kMaxReserve = 1u << 22;
  const SheetContext& ctx_;
  Sheet& sheet_;
  bool inData_ = false, inCell_ = false;
  bool hasFormula_ = false, hasInline_ = false, inInline_ = false, sawValue_ = false;
  int phonetic_ = 0;
  char type_ = 'n';
  std::uint32_t style_ = 0;
  std::int64_t row_ = kNoRow, nextRow_ = 0;
  std::uint32_t col_ = 0, nextCol_ = 0;
  std::string value_, formula_, run_, inlineText_;
  std::string* target_ = &value_;
  CellTagReader tags_;
};

// The sheet read by the own XML reader, or again from the start by expat when that hands it
// over; the constructs the shortcut took (0 after expat).
template <class Scan, class Parse>
std::size_t Read(const SheetContext& ctx, Sheet& sheet, Scan&& scan, Parse&& parse) {
  std::size_t taken = 0;
  bool scanned = false;
  {
    SheetHandler h(ctx, sheet);
    scanned = scan(h);
    taken = h.taken;
  }
  if (!scanned) {
    sheet.dimension.clear();
    sheet.cells = SheetCells();
    SheetHandler h(ctx, sheet);
    parse(h);
    taken = 0;
  }
  sheet.cells.Finish();
  return taken;
}

}  // namespace

void ReadSheet(ZipPackage& zip, std::string_view part, const SheetContext& ctx, Sheet& sheet) {
  Read(
      ctx, sheet, [&](XmlHandler& h) { return ScanXmlPart(zip, part, h); },
      [&](XmlHandler& h) { ParseXmlPart(zip, part, h); });
}

std::size_t ReadSheetBytes(std::string_view xml, const SheetContext& ctx, Sheet& sheet,
                           std::size_t piece) {
  return Read(
      ctx, sheet, [&](XmlHandler& h) { return ScanXmlBytes(xml, h, piece); },
      [&](XmlHandler& h) { ParseXmlBytes(xml, h); });
}

}  // namespace xlsx
