#include "support/BiffWriter.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/Codepage.h"

namespace testbiff {

Body& Body::U8(std::uint8_t v) {
  bytes_.push_back(v);
  return *this;
}
Body& Body::U16(std::uint16_t v) {
  bytes_.push_back(static_cast<std::uint8_t>(v));
  bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
  return *this;
}
Body& Body::U32(std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  return *this;
}
Body& Body::F64(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, 8);
  for (int i = 0; i < 8; ++i) bytes_.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
  return *this;
}
Body& Body::Raw(const Bytes& b) {
  bytes_.insert(bytes_.end(), b.begin(), b.end());
  return *this;
}
Body& Body::Raw(std::string_view b) {
  bytes_.insert(bytes_.end(), b.begin(), b.end());
  return *this;
}
Body& Body::Zeros(std::size_t n) {
  bytes_.insert(bytes_.end(), n, 0);
  return *this;
}
Body& Body::Utf16(std::u16string_view units) {
  for (char16_t u : units) U16(static_cast<std::uint16_t>(u));
  return *this;
}

std::u16string Utf16FromUtf8(std::string_view s) {
  std::u16string out;
  for (std::size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    std::uint32_t cp;
    int extra;
    if (c < 0x80) {
      cp = c;
      extra = 0;
    } else if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F;
      extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F;
      extra = 2;
    } else {
      cp = c & 0x07;
      extra = 3;
    }
    if (i + static_cast<std::size_t>(extra) >= s.size())
      throw std::invalid_argument("truncated UTF-8 in test text");
    for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += 1 + extra;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

bool FitsLatin1(std::u16string_view units) {
  for (char16_t u : units)
    if (u > 0xFF) return false;
  return true;
}

std::string Latin1FromUtf16(std::u16string_view units) {
  std::string out;
  for (char16_t u : units) out.push_back(static_cast<char>(u));
  return out;
}

std::string CodepageFromUtf8(std::string_view utf8, int codepage) {
  std::string out;
  if (!platform::FromUtf8(utf8, codepage, out))
    throw std::invalid_argument("test text does not fit code page " + std::to_string(codepage));
  return out;
}

Bytes Biff8Text(std::string_view utf8, bool longCount, bool forceWide) {
  std::u16string u = Utf16FromUtf8(utf8);
  Body b;
  if (longCount)
    b.U16(static_cast<std::uint16_t>(u.size()));
  else
    b.U8(static_cast<std::uint8_t>(u.size()));
  if (!forceWide && FitsLatin1(u)) {
    b.U8(0).Raw(Latin1FromUtf16(u));
  } else {
    b.U8(1).Utf16(u);
  }
  return b.bytes();
}

// ---- RecordStream ----

std::size_t RecordStream::Add(std::uint16_t id, const Bytes& body) {
  if (body.size() > 0xFFFF) throw std::length_error("record body over 65535 bytes");
  return AddRaw(id, static_cast<std::uint16_t>(body.size()), body);
}

std::size_t RecordStream::AddRaw(std::uint16_t id, std::uint16_t length, const Bytes& body) {
  std::size_t at = data_.size();
  Body h;
  h.U16(id).U16(length);
  Append(h.bytes());
  Append(body);
  return at;
}

void RecordStream::Append(const Bytes& raw) {
  data_.insert(data_.end(), raw.begin(), raw.end());
}

void RecordStream::PatchU16(std::size_t at, std::uint16_t v) {
  data_.at(at) = static_cast<std::uint8_t>(v);
  data_.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}

void RecordStream::PatchU32(std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) data_.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

Bytes RecordStream::Text(std::string_view utf8, bool longCount) const {
  if (version_ == Biff::v8) return Biff8Text(utf8, longCount);
  std::string bytes = CodepageFromUtf8(utf8, codepage_);
  Body b;
  if (longCount)
    b.U16(static_cast<std::uint16_t>(bytes.size()));
  else
    b.U8(static_cast<std::uint8_t>(bytes.size()));
  b.Raw(bytes);
  return b.bytes();
}

std::size_t RecordStream::Bof(std::uint16_t type) {
  switch (version_) {
    case Biff::v2: return Add(0x0009, Body().U16(0x0002).U16(type));
    case Biff::v3: return Add(0x0209, Body().U16(0x0300).U16(type).U16(0x0DBB));
    case Biff::v4: return Add(0x0409, Body().U16(0x0400).U16(type).U16(0x0DBB));
    case Biff::v5: return Add(0x0809, Body().U16(0x0500).U16(type).U16(0x0DBB).U16(0x07CC));
    case Biff::v8:
      return Add(0x0809, Body().U16(0x0600).U16(type).U16(0x0DBB).U16(0x07CC).U32(0x41).U32(6));
  }
  return 0;
}

std::size_t RecordStream::BoundSheet(std::string_view name, std::uint8_t kind,
                                     std::uint32_t offset) {
  Body b;
  b.U32(offset).U8(0).U8(kind).Raw(Text(name, false));
  return Add(rec::kBoundSheet, b) + 4;
}

std::size_t RecordStream::Font(std::string_view name, std::uint16_t height) {
  Body b;
  b.U16(height).U16(0).U16(0x7FFF).U16(400).U16(0).U8(0).U8(0).U8(0).U8(0);
  b.Raw(Text(name, false));
  return Add(rec::kFont, b);
}

std::size_t RecordStream::Format(std::uint16_t number, std::string_view text) {
  Body b;
  switch (version_) {
    case Biff::v2:
    case Biff::v3: return Add(rec::kFormat2, Body().Raw(Text(text, false)));
    case Biff::v4:
    case Biff::v5: b.U16(number).Raw(Text(text, false)); break;
    case Biff::v8: b.U16(number).Raw(Text(text, true)); break;
  }
  return Add(rec::kFormat, b);
}

std::size_t RecordStream::Xf(std::uint16_t formatNumber, bool style) {
  Body b;
  std::uint16_t typeProt = style ? 0xFFF5 : 0x0001;
  if (version_ == Biff::v8) {
    b.U16(0).U16(formatNumber).U16(typeProt).U8(0x20).U8(0).U8(0).U8(style ? 0 : 0xF8);
    b.U32(0).U32(0).U16(0x20C0);
  } else {
    b.U16(0).U16(formatNumber).U16(typeProt).U16(0x0020).U32(0x000020C0).U32(0);
  }
  return Add(rec::kXf, b);
}

std::size_t RecordStream::Dimensions(std::uint32_t firstRow, std::uint32_t lastRowPlus1,
                                     std::uint16_t firstCol, std::uint16_t lastColPlus1) {
  Body b;
  if (version_ == Biff::v8) {
    b.U32(firstRow).U32(lastRowPlus1).U16(firstCol).U16(lastColPlus1).U16(0);
  } else {
    b.U16(static_cast<std::uint16_t>(firstRow)).U16(static_cast<std::uint16_t>(lastRowPlus1));
    b.U16(firstCol).U16(lastColPlus1);
    if (version_ == Biff::v2) return Add(rec::kDimensions2, b);
    b.U16(0);
  }
  return Add(rec::kDimensions, b);
}

namespace {
Body CellHead(std::uint16_t row, std::uint16_t col, std::uint16_t xf) {
  Body b;
  b.U16(row).U16(col).U16(xf);
  return b;
}
Bytes DefaultTokens() {
  return Body().U8(0x1E).U16(1).bytes();
}  // integer constant 1
}  // namespace

std::size_t RecordStream::Number(std::uint16_t row, std::uint16_t col, std::uint16_t xf, double v) {
  return Add(rec::kNumber, CellHead(row, col, xf).F64(v));
}

std::size_t RecordStream::Rk(std::uint16_t row, std::uint16_t col, std::uint16_t xf,
                             std::uint32_t rk) {
  return Add(rec::kRk, CellHead(row, col, xf).U32(rk));
}

std::size_t RecordStream::MulRk(std::uint16_t row, std::uint16_t firstCol,
                                const std::vector<std::pair<std::uint16_t, std::uint32_t>>& cells) {
  Body b;
  b.U16(row).U16(firstCol);
  for (auto [xf, rk] : cells) b.U16(xf).U32(rk);
  b.U16(static_cast<std::uint16_t>(firstCol + cells.size() - 1));
  return Add(rec::kMulRk, b);
}

std::size_t RecordStream::Label(std::uint16_t row, std::uint16_t col, std::uint16_t xf,
                                std::string_view utf8) {
  return Add(rec::kLabel, CellHead(row, col, xf).Raw(Text(utf8, true)));
}

std::size_t RecordStream::LabelSst(std::uint16_t row, std::uint16_t col, std::uint16_t xf,
                                   std::uint32_t index) {
  return Add(rec::kLabelSst, CellHead(row, col, xf).U32(index));
}

std::size_t RecordStream::RString(std::uint16_t row, std::uint16_t col, std::uint16_t xf,
                                  std::string_view text,
                                  const std::vector<std::pair<std::uint8_t, std::uint8_t>>& runs) {
  Body b = CellHead(row, col, xf);
  b.Raw(Text(text, true)).U8(static_cast<std::uint8_t>(runs.size()));
  for (auto [pos, font] : runs) b.U8(pos).U8(font);
  return Add(rec::kRString, b);
}

std::size_t RecordStream::BoolErr(std::uint16_t row, std::uint16_t col, std::uint16_t xf,
                                  std::uint8_t value, bool isError) {
  return Add(rec::kBoolErr, CellHead(row, col, xf).U8(value).U8(isError ? 1 : 0));
}

std::size_t RecordStream::Blank(std::uint16_t row, std::uint16_t col, std::uint16_t xf) {
  return Add(rec::kBlank, CellHead(row, col, xf));
}

std::size_t RecordStream::MulBlank(std::uint16_t row, std::uint16_t firstCol,
                                   const std::vector<std::uint16_t>& xfs) {
  Body b;
  b.U16(row).U16(firstCol);
  for (auto xf : xfs) b.U16(xf);
  b.U16(static_cast<std::uint16_t>(firstCol + xfs.size() - 1));
  return Add(rec::kMulBlank, b);
}

namespace {
// The formula record after its 8 result bytes, in the layout of each version.
void FormulaTail(Body& b, Biff v, const Bytes& tokens) {
  const Bytes& t = tokens.empty() ? DefaultTokens() : tokens;
  if (v == Biff::v5 || v == Biff::v8) {
    b.U16(0).U32(0).U16(static_cast<std::uint16_t>(t.size())).Raw(t);
  } else {
    b.U16(0).U16(static_cast<std::uint16_t>(t.size())).Raw(t);
  }
}
std::uint16_t FormulaId(Biff v) {
  if (v == Biff::v3) return rec::kFormula3;
  if (v == Biff::v4) return rec::kFormula4;
  return rec::kFormula;
}
}  // namespace

std::size_t RecordStream::FormulaNumber(std::uint16_t row, std::uint16_t col, std::uint16_t xf,
                                        double v, const Bytes& tokens) {
  Body b = CellHead(row, col, xf);
  b.F64(v);
  FormulaTail(b, version_, tokens);
  return Add(FormulaId(version_), b);
}

std::size_t RecordStream::FormulaSpecial(std::uint16_t row, std::uint16_t col, std::uint16_t xf,
                                         std::uint8_t type, std::uint8_t value,
                                         const Bytes& tokens) {
  Body b = CellHead(row, col, xf);
  b.U8(type).U8(0).U8(value).U8(0).U8(0).U8(0).U16(0xFFFF);
  FormulaTail(b, version_, tokens);
  return Add(FormulaId(version_), b);
}

std::size_t RecordStream::StringResult(std::string_view utf8) {
  return Add(rec::kString, Text(utf8, true));
}

std::size_t RecordStream::Row(std::uint16_t row, std::uint16_t firstCol, std::uint16_t lastColPlus1,
                              std::uint16_t height, std::uint16_t flags, std::uint16_t xf) {
  return Add(
      rec::kRow,
      Body().U16(row).U16(firstCol).U16(lastColPlus1).U16(height).U16(0).U16(0).U16(flags).U16(xf));
}

std::size_t RecordStream::ColInfo(std::uint16_t first, std::uint16_t last, std::uint16_t width,
                                  std::uint16_t xf) {
  return Add(rec::kColInfo, Body().U16(first).U16(last).U16(width).U16(xf).U16(0).U16(0));
}

std::size_t RecordStream::Index(std::uint32_t firstRow, std::uint32_t lastRowPlus1,
                                const std::vector<std::uint32_t>& dbcells) {
  Body b;
  b.U32(0);
  if (version_ == Biff::v8)
    b.U32(firstRow).U32(lastRowPlus1).U32(0);
  else
    b.U16(static_cast<std::uint16_t>(firstRow))
        .U16(static_cast<std::uint16_t>(lastRowPlus1))
        .U32(0);
  for (auto o : dbcells) b.U32(o);
  return Add(rec::kIndex, b);
}

std::size_t RecordStream::IndexOffsetsField(std::size_t indexHeader) const {
  return indexHeader + 4 + (version_ == Biff::v8 ? 16 : 12);
}

std::size_t RecordStream::DbCell(std::uint32_t backToFirstRow,
                                 const std::vector<std::uint16_t>& rowOffsets) {
  Body b;
  b.U32(backToFirstRow);
  for (auto o : rowOffsets) b.U16(o);
  return Add(rec::kDbCell, b);
}

std::size_t RecordStream::Integer2(std::uint16_t row, std::uint16_t col, std::uint16_t v) {
  return Add(rec::kInteger2, Body().U16(row).U16(col).Zeros(3).U16(v));
}
std::size_t RecordStream::Number2(std::uint16_t row, std::uint16_t col, double v) {
  return Add(rec::kNumber2, Body().U16(row).U16(col).Zeros(3).F64(v));
}
std::size_t RecordStream::Label2(std::uint16_t row, std::uint16_t col, std::string_view utf8) {
  return Add(rec::kLabel2, Body().U16(row).U16(col).Zeros(3).Raw(Text(utf8, false)));
}
std::size_t RecordStream::BoolErr2(std::uint16_t row, std::uint16_t col, std::uint8_t value,
                                   bool isError) {
  return Add(rec::kBoolErr2, Body().U16(row).U16(col).Zeros(3).U8(value).U8(isError ? 1 : 0));
}
std::size_t RecordStream::Formula2Number(std::uint16_t row, std::uint16_t col, double v) {
  Bytes t = DefaultTokens();
  return Add(rec::kFormula, Body()
                                .U16(row)
                                .U16(col)
                                .Zeros(3)
                                .F64(v)
                                .U8(0)
                                .U8(static_cast<std::uint8_t>(t.size()))
                                .Raw(t));
}

// ---- SstWriter ----

SstWriter::SstWriter(std::uint32_t total, std::uint32_t unique, std::size_t maxBody)
    : maxBody_(maxBody) {
  records_.emplace_back();
  Bytes head = Body().U32(total).U32(unique).bytes();
  Put(head.data(), head.size());
}

void SstWriter::Put(const std::uint8_t* p, std::size_t n) {
  Bytes& r = records_.back();
  r.insert(r.end(), p, p + n);
}

SstWriter& SstWriter::Raw(const Bytes& b) {
  Put(b.data(), b.size());
  return *this;
}

SstWriter& SstWriter::Break() {
  records_.emplace_back();
  return *this;
}

SstWriter& SstWriter::BreakWithOption(std::uint8_t option) {
  records_.emplace_back();
  records_.back().push_back(option);
  return *this;
}

void SstWriter::PutChars(const std::u16string& units, bool wide) {
  const std::size_t unit = wide ? 2 : 1;
  std::size_t i = 0;
  while (i < units.size()) {
    if (Room() < unit) BreakWithOption(wide ? 1 : 0);
    std::size_t n = std::min(units.size() - i, Room() / unit);
    for (std::size_t k = 0; k < n; ++k) {
      char16_t u = units[i + k];
      records_.back().push_back(static_cast<std::uint8_t>(u));
      if (wide) records_.back().push_back(static_cast<std::uint8_t>(u >> 8));
    }
    i += n;
  }
}

SstWriter& SstWriter::Add(const Str& s) {
  std::u16string units = Utf16FromUtf8(s.utf8);
  bool wide = s.wide || !FitsLatin1(units);
  std::uint8_t flags = wide ? 1 : 0;
  Body head;
  head.U16(static_cast<std::uint16_t>(units.size()));
  if (!s.runs.empty()) flags |= 0x08;
  if (!s.ext.empty()) flags |= 0x04;
  head.U8(flags);
  if (!s.runs.empty()) head.U16(static_cast<std::uint16_t>(s.runs.size()));
  if (!s.ext.empty()) head.U32(static_cast<std::uint32_t>(s.ext.size()));
  // The header and the first character stay together in one record.
  std::size_t need = head.Size() + (units.empty() ? 0 : (wide ? 2 : 1));
  if (Room() < need) Break();
  Raw(head.bytes());
  PutChars(units, wide);
  if (!s.runs.empty()) {
    Body runs;
    for (auto [pos, font] : s.runs) runs.U16(pos).U16(font);
    if (Room() < runs.Size()) Break();
    Raw(runs.bytes());
  }
  if (!s.ext.empty()) {
    if (Room() < s.ext.size()) Break();
    Raw(s.ext);
  }
  return *this;
}

void SstWriter::WriteTo(RecordStream& out) const {
  for (std::size_t i = 0; i < records_.size(); ++i)
    out.Add(i == 0 ? rec::kSst : rec::kContinue, records_[i]);
}

std::uint32_t RkFromInt(std::int32_t v, bool div100) {
  return (static_cast<std::uint32_t>(v) << 2) | 0x02 | (div100 ? 0x01 : 0x00);
}

std::uint32_t RkFromDoubleHigh(double v, bool div100) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, 8);
  return (static_cast<std::uint32_t>(bits >> 32) & ~0x3u) | (div100 ? 0x01 : 0x00);
}

}  // namespace testbiff
