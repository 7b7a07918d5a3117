#include "reader/formula/FormulaDecoder.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/ByteView.h"
#include "platform/Codepage.h"
#include "platform/GeneralNumber.h"
#include "reader/Messages.h"
#include "reader/formula/EncodedPath.h"
#include "reader/formula/ExcelFunctions.h"

namespace formula {

EFormulaListError::EFormulaListError(long long index)
    : std::runtime_error("List index out of bounds (" + std::to_string(index) + ")") {}

void TFormulaContext::Reset() {
  SheetNames.clear();
  Names.assign(1, "<Np0>");
  ExternNames.assign(1, "<Ep0>");
  SupBooks.clear();
  ExternSheets.clear();
}

const char* ErrorText(std::uint8_t Code) {
  switch (Code) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    case 0x2A: return "#N/A";
    default: return "#???";
  }
}

std::string CellRefText(int Col, int Row, bool AbsCol, bool AbsRow) {
  std::string out;
  if (AbsCol) out.push_back('$');
  // Bijective base 26: A..Z, AA..ZZ, AAA..; the 256 columns of a sheet end at IV.
  char letters[8];
  int n = 0;
  long long c = (Col < 0 ? 0LL : static_cast<long long>(Col)) + 1;
  while (c > 0 && n < 8) {
    letters[n++] = static_cast<char>('A' + (c - 1) % 26);
    c = (c - 1) / 26;
  }
  while (n > 0) out.push_back(letters[--n]);
  if (AbsRow) out.push_back('$');
  out += std::to_string(static_cast<long long>(Row) + 1);
  return out;
}

namespace {

// Numeric constants of a formula: the general format, fixed down to 0.00001.
std::string NumberText(double value) {
  return platform::GeneralNumberText(value, -5);
}

constexpr const char* kBinaryOperators[] = {"+", "-",  "*", "/",  "^", "&",
                                            "<", "<=", "=", ">=", ">", "<>"};

// Token operands are read only after Has() said they lie inside the tokens.
using platform::LoadU16;
inline std::uint16_t U16(const std::uint8_t* p) {
  return LoadU16(p);
}

std::string HexId(const char* prefix, std::uint8_t id) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s[%.2X]", prefix, id);
  return buf;
}

// The decoding of one token string. Positions are offsets from Data; the tokens end at len_
// and the additional data (array values) runs from len_ to end_.
class Decoder {
 public:
  Decoder(const TFormulaContext& ctx, const std::uint8_t* data, std::size_t len, std::size_t extra,
          int baseCol, int baseRow)
      : ctx_(ctx),
        p_(data),
        len_(len),
        end_(len + extra),
        dataPos_(len),
        baseCol_(baseCol),
        baseRow_(baseRow),
        W_(ctx.BookVersion),
        S_(ctx.Version) {}

  std::string Run() {
    while (pos_ < len_) {
      if (!Token()) break;
    }
    return stack_.empty() ? std::string("[ERROR]") : std::move(stack_.back());
  }

 private:
  // --- operand access --------------------------------------------------------------------
  // True when `n` operand bytes follow the id at pos_; otherwise the token string was cut short.
  bool Has(std::size_t n) const { return len_ - pos_ - 1 >= n; }
  const std::uint8_t* Operands() const { return p_ + pos_ + 1; }

  bool Truncated(std::uint8_t id) {
    stack_.push_back(HexId("Truncated ptg", id));
    return false;
  }

  void Push(std::string s) { stack_.push_back(std::move(s)); }

  // Removes and returns the n topmost entries, deepest first; too few is a list-index error.
  std::vector<std::string> TakeArgs(std::size_t n) {
    if (n > stack_.size()) {
      throw EFormulaListError(static_cast<long long>(stack_.size()) - static_cast<long long>(n));
    }
    std::vector<std::string> args(std::make_move_iterator(stack_.end() - n),
                                  std::make_move_iterator(stack_.end()));
    stack_.resize(stack_.size() - n);
    return args;
  }

  std::string& Top() {
    if (stack_.empty()) throw EFormulaListError(-1);
    return stack_.back();
  }

  std::string Join(const std::vector<std::string>& args) const {
    std::string out;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (i) out.push_back(ctx_.FuncArgSeparator);
      out += args[i];
    }
    return out;
  }

  // Text stored as 8-bit characters in this file.
  std::string Text8(const std::uint8_t* s, std::size_t n) const {
    std::string out;
    if (W_ == 6) {
      platform::AppendLatin1(out, s, n);
    } else {
      out = platform::ToUtf8(std::string_view(reinterpret_cast<const char*>(s), n), ctx_.Codepage);
    }
    return out;
  }

  // --- the token table ---------------------------------------------------------------------
  // Decodes the token at pos_ and moves past it; false ends the decoding.
  bool Token() {
    const std::uint8_t id = p_[pos_];
    if (id == 0x00) return false;
    if (id == 0x01) {
      Push("<Shared>");
      return false;
    }
    if (id >= 0x03 && id <= 0x0E) return Binary(id);
    switch (id) {
      case 0x12:  // unary plus is not printed
        return Advance(0);
      case 0x13:
      case 0x14:
        if (stack_.empty()) {
          Push("<Val missing>");
        } else if (id == 0x13) {
          stack_.back().insert(0, 1, '-');
        } else {
          stack_.back().push_back('%');
        }
        return Advance(0);
      case 0x15: {
        std::string& top = Top();
        top.insert(0, 1, '(');
        top.push_back(')');
        return Advance(0);
      }
      case 0x16: Push(std::string()); return Advance(0);
      case 0x17: return String(id);
      case 0x19: return Attribute(id);
      case 0x1A:
        if (!Has(10)) return Truncated(id);
        externSheet_ = true;
        return Advance(10);
      case 0x1B:
        if (!Has(4)) return Truncated(id);
        externSheet_ = false;
        return Advance(4);
      case 0x1C:
        if (!Has(1)) return Truncated(id);
        Push(ErrorText(Operands()[0]));
        return Advance(1);
      case 0x1D:
        if (!Has(1)) return Truncated(id);
        Push(Operands()[0] ? ctx_.StrTRUE : ctx_.StrFALSE);
        return Advance(1);
      case 0x1E:
        if (!Has(2)) return Truncated(id);
        Push(std::to_string(U16(Operands())));
        return Advance(2);
      case 0x1F: {
        if (!Has(8)) return Truncated(id);
        double v;
        std::memcpy(&v, Operands(), 8);
        Push(NumberText(v));
        return Advance(8);
      }
      case 0x60: return Array(id);
      default: break;
    }
    if (id >= 0x20 && id < 0x60) return Operand(id, static_cast<std::uint8_t>(id & 0x1F));
    Push(HexId(reader::msg::kUnknownPtgStart, id));
    return false;
  }

  bool Advance(std::size_t operandBytes) {
    pos_ += 1 + operandBytes;
    return true;
  }

  bool Unknown(std::uint8_t id) {
    Push(HexId(reader::msg::kUnknownPtgStart, id));
    return false;
  }

  bool Binary(std::uint8_t id) {
    if (stack_.size() < 2) {
      Push("<Val missing>");
      return Advance(0);
    }
    std::string right = std::move(stack_.back());
    stack_.pop_back();
    std::string& left = stack_.back();
    left += kBinaryOperators[id - 0x03];
    left += right;
    return Advance(0);
  }

  bool String(std::uint8_t id) {
    if (!Has(1)) return Truncated(id);
    const std::size_t n = Operands()[0];
    std::size_t head = 1;
    bool wide = false;
    if (W_ == 6) {
      if (!Has(2)) return Truncated(id);
      wide = Operands()[1] != 0;
      head = 2;
    }
    const std::size_t bytes = wide ? 2 * n : n;
    if (!Has(head + bytes)) return Truncated(id);
    std::string text = "\"";
    if (wide) {
      platform::AppendUtf16le(text, Operands() + head, n);
    } else {
      text += Text8(Operands() + head, n);
    }
    text.push_back('"');
    Push(std::move(text));
    return Advance(head + bytes);
  }

  bool Attribute(std::uint8_t id) {
    // BIFF2 carries one data byte after the option byte, later versions two.
    const std::size_t dataBytes = S_ <= 1 ? 1 : 2;
    if (!Has(1 + dataBytes)) return Truncated(id);
    const std::uint8_t options = Operands()[0];
    std::size_t size = 1 + dataBytes;
    if (options & 0x04) {
      // CHOOSE: a jump table of (choices + 1) offsets follows; the choices come as tokens.
      const std::size_t choices = dataBytes == 1 ? Operands()[1] : U16(Operands() + 1);
      size += (choices + 1) * dataBytes;
      if (!Has(size)) return Truncated(id);
    } else if (options & 0x10) {
      std::string& top = Top();
      top.insert(0, "SUM(");
      top.push_back(')');
    }
    return Advance(size);
  }

  // Reference and value class tokens, by their low five bits.
  bool Operand(std::uint8_t id, std::uint8_t token) {
    switch (token) {
      case 0x00: return Array(id);
      case 0x01: return Function(id);
      case 0x02: return VarFunction(id);
      case 0x03: return Name(id);
      case 0x04: return Reference(id, false, false);
      case 0x05: return Reference(id, true, false);
      case 0x0A: return ErrorReference(id, false);
      case 0x0B: return ErrorReference(id, true);
      case 0x0C: return Reference(id, false, true);
      case 0x0D: return Reference(id, true, true);
      case 0x19: return NameX(id);
      case 0x1A: return Reference3d(id, false, false);
      case 0x1B: return Reference3d(id, true, false);
      case 0x1C: return Reference3d(id, false, true);
      case 0x1D: return Reference3d(id, true, true);
      default: return Unknown(id);
    }
  }

  // --- function calls ------------------------------------------------------------------------
  bool Function(std::uint8_t id) {
    const std::size_t size = S_ <= 2 ? 1 : 2;
    if (!Has(size)) return Truncated(id);
    const unsigned f = size == 1 ? Operands()[0] : U16(Operands());
    if (f < ExcelFunctionCount) {
      const TExcelFunctions& fn = ExcelFunctions[f];
      auto args = TakeArgs(fn.MinArgs);
      Push(std::string(fn.Name) + "(" + Join(args) + ")");
    } else {
      auto args = TakeArgs(1);
      Push("?<" + std::to_string(f) + ">?(" + args[0] + ")");
    }
    return Advance(size);
  }

  bool VarFunction(std::uint8_t id) {
    const std::size_t size = S_ <= 2 ? 2 : 3;
    if (!Has(size)) return Truncated(id);
    std::size_t n = Operands()[0] & 0x7F;
    unsigned f = Operands()[1];
    if (S_ >= 4) f = U16(Operands() + 1) & 0x7FFF;
    std::string name;
    if (f < ExcelFunctionCount) name = ExcelFunctions[f].Name;
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) {
      // Add-in and macro calls carry their name as the deepest argument.
      if (n == 0 || n > stack_.size()) {
        throw EFormulaListError(static_cast<long long>(stack_.size()) - static_cast<long long>(n));
      }
      name = std::move(stack_[stack_.size() - n]);
      stack_.erase(stack_.end() - static_cast<std::ptrdiff_t>(n));
      --n;
    }
    auto args = TakeArgs(n);
    Push(name + "(" + Join(args) + ")");
    return Advance(size);
  }

  // --- names ---------------------------------------------------------------------------------
  static const std::string& Entry(const std::vector<std::string>& list, std::size_t index) {
    if (index >= list.size()) throw EFormulaListError(static_cast<long long>(index));
    return list[index];
  }

  bool Name(std::uint8_t id) {
    const std::size_t size = W_ <= 3 ? 10 : W_ <= 5 ? 14 : 4;
    if (!Has(size)) return Truncated(id);
    const std::size_t index = U16(Operands());
    Push(Entry(W_ <= 3 && externSheet_ ? ctx_.ExternNames : ctx_.Names, index));
    return Advance(size);
  }

  bool NameX(std::uint8_t id) {
    const std::size_t size = W_ < 6 ? 24 : 6;
    if (!Has(size)) return Truncated(id);
    const std::size_t index = U16(Operands() + (W_ < 6 ? 10 : 2));
    if (W_ == 6) {
      // The index counts the EXTERNNAMEs of the workbook the XTI entry points at; for this
      // workbook itself it is a defined name.
      const std::size_t ixti = U16(Operands());
      if (const TSupBook* book = SupBookOf(ixti)) {
        if (book->Kind == TSupBook::sbkSelf) {
          Push(Entry(ctx_.Names, index));
        } else if (index == 0 || index > book->ExternNameCount) {
          throw EFormulaListError(static_cast<long long>(index));
        } else {
          Push(Entry(ctx_.ExternNames, book->FirstExternName + index - 1));
        }
        return Advance(size);
      }
    }
    Push(Entry(ctx_.ExternNames, index));
    return Advance(size);
  }

  const TSupBook* SupBookOf(std::size_t ixti) const {
    if (ixti >= ctx_.ExternSheets.size()) return nullptr;
    const std::size_t book = ctx_.ExternSheets[ixti].SupBook;
    return book < ctx_.SupBooks.size() ? &ctx_.SupBooks[book] : nullptr;
  }

  // --- references ----------------------------------------------------------------------------
  struct Cell {
    int col, row;
    bool absCol, absRow;
  };

  // Rows wrap at the sheet's size and columns at 256, as relative offsets do in the file.
  int WrapRow(long long r, bool biff8) const {
    const long long rows = biff8 ? 0x10000 : 0x4000;
    return static_cast<int>(((r % rows) + rows) % rows);
  }
  static int WrapCol(long long c) { return static_cast<int>(((c % 256) + 256) % 256); }

  // One cell from its row field and column field in the layout of BIFF8 (biff8) or earlier.
  Cell MakeCell(std::uint16_t rowField, std::uint16_t colField, bool biff8, bool relative) const {
    const std::uint16_t flags = biff8 ? colField : rowField;
    const bool relRow = flags & 0x8000, relCol = flags & 0x4000;
    Cell c{};
    c.absRow = !relRow;
    c.absCol = !relCol;
    if (biff8) {
      c.row = rowField;
      c.col = colField & 0x3FFF;
      if (relative && relRow) c.row = WrapRow(baseRow_ + static_cast<std::int16_t>(rowField), true);
      if (relative && relCol) c.col = WrapCol(baseCol_ + static_cast<std::int8_t>(colField & 0xFF));
      if (relative && !relCol) c.col = colField & 0xFF;
    } else {
      c.row = rowField & 0x3FFF;
      c.col = colField & 0xFF;
      if (relative && relRow) {
        // A 14-bit two's complement offset.
        const int offset = (rowField & 0x2000) ? (rowField & 0x3FFF) - 0x4000 : rowField & 0x3FFF;
        c.row = WrapRow(static_cast<long long>(baseRow_) + offset, false);
      }
      if (relative && relCol) c.col = WrapCol(baseCol_ + static_cast<std::int8_t>(colField & 0xFF));
    }
    return c;
  }

  static std::string Text(const Cell& c) { return CellRefText(c.col, c.row, c.absCol, c.absRow); }

  // The cell or area text from operand bytes q in the layout of BIFF8 (biff8) or earlier.
  std::string Coordinates(const std::uint8_t* q, bool area, bool biff8, bool relative) const {
    if (!area) {
      return Text(MakeCell(U16(q), biff8 ? U16(q + 2) : q[2], biff8, relative));
    }
    const std::uint16_t r1 = U16(q), r2 = U16(q + 2);
    const std::uint16_t c1 = biff8 ? U16(q + 4) : q[4];
    const std::uint16_t c2 = biff8 ? U16(q + 6) : q[5];
    return Text(MakeCell(r1, c1, biff8, relative)) + ":" + Text(MakeCell(r2, c2, biff8, relative));
  }

  static std::size_t CoordinateBytes(bool area, bool biff8) {
    return area ? (biff8 ? 8 : 6) : (biff8 ? 4 : 3);
  }

  bool Reference(std::uint8_t id, bool area, bool relative) {
    const bool biff8 = W_ == 6;
    const std::size_t size = CoordinateBytes(area, biff8);
    if (!Has(size)) return Truncated(id);
    Push(Coordinates(Operands(), area, biff8, relative));
    return Advance(size);
  }

  bool ErrorReference(std::uint8_t id, bool area) {
    const std::size_t size = CoordinateBytes(area, W_ == 6);
    if (!Has(size)) return Truncated(id);
    Push("#REF!");
    return Advance(size);
  }

  bool Reference3d(std::uint8_t id, bool area, bool error) {
    const bool biff8 = S_ == 6;
    const std::size_t head = biff8 ? 2 : 14;
    const std::size_t size = head + CoordinateBytes(area, biff8);
    if (!Has(size)) return Truncated(id);
    std::string text = biff8 ? SheetPart8(U16(Operands())) : SheetPart5(Operands());
    text.push_back('!');
    text += error ? std::string("#REF!") : Coordinates(Operands() + head, area, biff8, false);
    Push(std::move(text));
    return Advance(size);
  }

  static std::string SheetRange(const std::vector<std::string>& names, std::size_t first,
                                std::size_t last) {
    if (first == 0xFFFF || last == 0xFFFF || first == 0xFFFE || last == 0xFFFE) {
      return "[DELETED]";
    }
    if (first >= names.size() || last >= names.size()) return "<??? Ref3d>";
    return first == last ? names[first] : names[first] + ":" + names[last];
  }

  std::string SheetPart8(std::size_t ixti) const {
    if (ctx_.ExternSheets.empty()) {
      return ixti < ctx_.SheetNames.size() ? ctx_.SheetNames[ixti] : "<??? Ref3d>";
    }
    if (ixti >= ctx_.ExternSheets.size()) return "<??? Ref3d>";
    const TExternSheet& xti = ctx_.ExternSheets[ixti];
    const TSupBook* book = SupBookOf(ixti);
    if (!book || book->Kind == TSupBook::sbkSelf) {
      return SheetRange(ctx_.SheetNames, xti.FirstSheet, xti.LastSheet);
    }
    if (book->Kind == TSupBook::sbkExternal) {
      return ExternalBookText(book->FileName) +
             SheetRange(book->SheetNames, xti.FirstSheet, xti.LastSheet);
    }
    return "[EXTERN ???]";
  }

  std::string SheetPart5(const std::uint8_t* q) const {
    const auto external = static_cast<std::int16_t>(U16(q));
    const std::uint16_t first = U16(q + 10), last = U16(q + 12);
    std::string text = external >= 0 ? "[EXTERN ???]:" : "";
    if (first == 0xFFFF || last == 0xFFFF) return text + "[DELETED]";
    text += Entry(ctx_.SheetNames, first);
    if (first != last) text += ":" + Entry(ctx_.SheetNames, last);
    return text;
  }

  // --- array constants -----------------------------------------------------------------------
  bool Array(std::uint8_t id) {
    if (!Has(7)) return Truncated(id);
    Push(ArrayText());
    return Advance(7);
  }

  bool DataHas(std::size_t n) const { return end_ - dataPos_ >= n; }

  // One array constant at the data cursor. A one-column array lists its elements; an array of
  // several columns lists its rows, each row's elements in braces: {{1,2},{3,4}}.
  std::string ArrayText() {
    if (!DataHas(3)) return "Truncated array";
    // BIFF8 stores the column and row counts minus one; earlier versions store the counts
    // themselves, a column count of 0 meaning all 256 columns.
    std::size_t cols = p_[dataPos_];
    std::size_t rows = U16(p_ + dataPos_ + 1);
    if (W_ == 6) {
      ++cols;
      ++rows;
    } else if (cols == 0) {
      cols = 256;
    }
    dataPos_ += 3;
    const char sep = ctx_.FuncArgSeparator;
    std::string out = "{";
    for (std::size_t r = 0; r < rows; ++r) {
      if (r) out.push_back(sep);
      if (cols > 1) out.push_back('{');
      for (std::size_t c = 0; c < cols; ++c) {
        if (c) out.push_back(sep);
        if (!DataHas(1)) return "Truncated array";
        const std::uint8_t type = p_[dataPos_];
        if (type == 1) {
          if (!DataHas(9)) return "Truncated array";
          double v;
          std::memcpy(&v, p_ + dataPos_ + 1, 8);
          out += NumberText(v);
          dataPos_ += 9;
        } else if (type == 2 && W_ < 6) {
          // Before BIFF8: a byte string with an 8-bit length.
          if (!DataHas(2)) return "Truncated array";
          const std::size_t n = p_[dataPos_ + 1];
          if (!DataHas(2 + n)) return "Truncated array";
          out.push_back('"');
          out += Text8(p_ + dataPos_ + 2, n);
          out.push_back('"');
          dataPos_ += 2 + n;
        } else if (type == 2) {
          if (!DataHas(4)) return "Truncated array";
          const std::size_t n = U16(p_ + dataPos_ + 1);
          const bool wide = p_[dataPos_ + 3] != 0;
          const std::size_t bytes = wide ? 2 * n : n;
          if (!DataHas(4 + bytes)) return "Truncated array";
          out.push_back('"');
          if (wide) {
            platform::AppendUtf16le(out, p_ + dataPos_ + 4, n);
          } else {
            out += Text8(p_ + dataPos_ + 4, n);
          }
          out.push_back('"');
          dataPos_ += 4 + bytes;
        } else {
          return "Bad element ID#" + std::to_string(type) + " in array";
        }
      }
      if (cols > 1) out.push_back('}');
    }
    out.push_back('}');
    return out;
  }

  const TFormulaContext& ctx_;
  const std::uint8_t* p_;
  const std::size_t len_, end_;
  std::size_t pos_ = 0, dataPos_;
  const int baseCol_, baseRow_;
  const int W_, S_;
  bool externSheet_ = false;
  std::vector<std::string> stack_;
};

}  // namespace

std::string DecodeFormula(const TFormulaContext& Context, const std::uint8_t* Data, std::size_t Len,
                          std::size_t ExtraLen, int BaseCol, int BaseRow) {
  if (!Data) return "[ERROR]";
  return Decoder(Context, Data, Len, ExtraLen, BaseCol, BaseRow).Run();
}

}  // namespace formula
