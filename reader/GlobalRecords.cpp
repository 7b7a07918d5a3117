// Workbook-global records: sheets, formats, XF records, fonts, palette, code page, names.
#include "reader/Impl.h"

namespace reader {

bool TXLSRead::Impl::RecordText(std::string& out, const detail::ByteText& bt,
                                const platform::ByteView& body, std::size_t offset,
                                std::size_t count, std::uint16_t id) {
  out.clear();
  const std::size_t len = body.Size();
  if (offset >= len) return count == 0 || TooShort(id, len);
  const std::uint8_t* p = body.Data() + offset;
  if (*p == 0) {
    if (offset + 1 + count > len) return TooShort(id, len);
    if (self.FBookVersion == 6)
      detail::AppendLatin1Fast(out, p + 1, count);
    else
      bt.Append(out, p + 1, count);
  } else if (self.FBookVersion == 6) {
    if (offset + 1 + 2 * count > len) return TooShort(id, len);
    platform::AppendUtf16le(out, p + 1, count);
  } else {
    if (offset + count > len) return TooShort(id, len);
    bt.Append(out, p, count);
  }
  return true;
}

bool TXLSRead::Impl::TooShort(std::uint16_t id, std::size_t len) {
  detail::TooShortText(faultText, id, len);
  faulted = true;
  return false;
}

void TXLSRead::Impl::RaiseFault() {
  faulted = false;
  throw EXLSError(faultText);
}

namespace {

// Cell, formula and format records name the workbook tables by 16-bit indexes, so no entry past
// the 65,536th can ever be used; a file of nothing but such records would only fill memory.
constexpr std::size_t kMaxTableEntries = 0x10000;

// A format text is kept unparsed; one the mask refuses (over 255 characters) is refused here
// with the mask's own error. No text of 255 bytes or fewer can be refused.
void CheckMaskLength(const std::string& text) {
  if (text.size() > masks::TExcelMask::MaxMaskLength) masks::TExcelMask().SetMask(text);
}

}  // namespace

std::size_t TXLSRead::Impl::TableEntries(std::uint16_t id) const {
  const TXLSRead& r = self;
  switch (id) {
    case rec::kBoundSheet: return r.FSheetNames.size();
    case rec::kSheetHeader4: return sheetHeaders;
    case rec::kFormat:
    case rec::kFormat2: return r.FFormats.size();
    case rec::kXf:
    case rec::kXf3:
    case rec::kXf4: return r.FXFRecords.size();
    case rec::kFont:
    case rec::kFont3: return r.FFonts.size();
    case rec::kName:
    case rec::kName2: return r.FNames.size();
    case rec::kExternName:
    case rec::kExternName2: return r.FExternNames.size();
    case rec::kSupBook: return fctx.SupBooks.size();
    case rec::kExternSheet: return fctx.ExternSheets.size();
    default: return 0;
  }
}

std::string TXLSRead::Impl::TableFull(std::uint16_t id) const {
  // A FORMAT record after a worksheet BOF costs a rebuild of the renumbering: taken only while
  // the file has paid for it (FormatRenumbering::Affords).
  const bool format = id == rec::kFormat || id == rec::kFormat2;
  if (TableEntries(id) < kMaxTableEntries &&
      (!format ||
       renumbering.Affords(self.FXFRecords.size(), self.FFormats.size(), stream->Position())))
    return {};
  std::string text = "Too many ";
  detail::AppendRecordId(text, id);
  text += " records";
  return text;
}

void TXLSRead::Impl::FormatAdded() {
  const std::size_t at = self.FFormats.size() - 1;
  const int number = self.FFormats[at].FormatIndex;
  if (number >= 0 && number < 256 &&
      firstSmallFormat[static_cast<std::size_t>(number)] == kNoFormat)
    firstSmallFormat[static_cast<std::size_t>(number)] = static_cast<std::uint32_t>(at);
}

void TXLSRead::Impl::HandleGlobals(std::uint16_t id, std::uint16_t len) {
  TXLSRead& r = self;
  if (std::string full = TableFull(id); !full.empty()) throw EXLSError(full);
  const platform::ByteView b = detail::RecordBody(id, buf.data(), len);
  // True, with the error noted for the record loop, when the body is shorter than n bytes.
  auto shortOf = [&](std::size_t n) {
    if (len >= n) return false;
    TooShort(id, len);
    return true;
  };
  switch (id) {
    case rec::kBoundSheet: {  // BOUNDSHEET
      std::string name;
      if (r.FVersion == 6) {
        if (shortOf(8)) return;
        const std::size_t n = b.U8(6);
        if (b.U8(7) == 0) {
          if (shortOf(8 + n)) return;
          platform::AppendLatin1(name, b.Sub(8, n).Data(), n);
        } else {
          if (shortOf(8 + 2 * n)) return;
          detail::AppendUtf16Codepage(name, b.Sub(8, 2 * n).Data(), n, r.FCodepage);
        }
      } else if (workbook4) {
        // A BIFF4 workbook names its sheets here; where each starts, its SHEETHDR says.
        if (shortOf(1)) return;
        const std::size_t n = b.U8(0);
        if (shortOf(1 + n)) return;
        byteText.Append(name, b.Sub(1, n).Data(), n);
        r.FSheetNames.push_back(TSheetEntry{name, 0});
        fctx.SheetNames.push_back(std::move(name));
        break;
      } else {
        if (shortOf(7)) return;
        const std::size_t n = b.U8(6);
        if (shortOf(7 + n)) return;
        byteText.Append(name, b.Sub(7, n).Data(), n);
      }
      r.FSheetNames.push_back(TSheetEntry{name, b.U32(0)});
      fctx.SheetNames.push_back(std::move(name));
      break;
    }
    case rec::kSheetHeader4: {  // SHEETHDR of a BIFF4 workbook: the sheet's BOF follows it
      const std::size_t k = sheetHeaders++;
      const auto at = static_cast<std::uint32_t>(std::min<std::uint64_t>(stream->Position(), ~0u));
      if (k < r.FSheetNames.size()) {
        r.FSheetNames[k].Offset = at;
        break;
      }
      // No BOUNDSHEET named it: its own name serves.
      if (shortOf(5)) return;
      const std::size_t n = b.U8(4);
      if (shortOf(5 + n)) return;
      std::string name;
      byteText.Append(name, b.Sub(5, n).Data(), n);
      r.FSheetNames.push_back(TSheetEntry{name, at});
      fctx.SheetNames.push_back(std::move(name));
      break;
    }
    case rec::kFormat: {  // FORMAT
      if (shortOf(3)) return;
      std::string fmt;
      if (r.FBookVersion < 6) {
        const std::size_t n = b.U8(2);
        if (shortOf(3 + n)) return;
        byteText.Append(fmt, b.Sub(3, n).Data(), n);
      } else {
        if (shortOf(5)) return;
        if (!RecordText(fmt, b, 4, b.U16(2), id)) return;
      }
      CheckMaskLength(fmt);
      // BIFF4 leaves the first two bytes unused: its formats are numbered in record order.
      r.FFormats.emplace_back(std::move(fmt),
                              r.FBookVersion <= 3 ? static_cast<int>(r.FFormats.size()) : b.U16(0));
      FormatAdded();
      break;
    }
    case rec::kFormat2: {  // FORMAT of BIFF2-BIFF3: the string alone, numbered in record order
      if (shortOf(1)) return;
      const std::size_t n = b.U8(0);
      if (shortOf(1 + n)) return;
      std::string fmt;
      byteText.Append(fmt, b.Sub(1, n).Data(), n);
      CheckMaskLength(fmt);
      r.FFormats.emplace_back(std::move(fmt), static_cast<int>(r.FFormats.size()));
      FormatAdded();
      break;
    }
    case rec::kXf3:
    case rec::kXf4:   // XF of BIFF3 and BIFF4: the format number is the byte at offset 1
    case rec::kXf: {  // XF
      if (shortOf(4)) return;
      TXFRecord xf;
      xf.Size = static_cast<std::uint8_t>(r.FBookVersion == 6 ? 20 : 16);
      const platform::ByteView kept = b.Sub(0, std::min<std::size_t>(len, xf.Size));
      std::copy(kept.Data(), kept.Data() + kept.Size(), xf.Data.begin());
      r.FXFRecords.push_back(xf);
      break;
    }
    case rec::kFont:
    case rec::kFont3: {  // FONT
      // Each generation keeps the name at its own place; reading a BIFF2-BIFF4 font with the
      // later layout would take name bytes for the weight.
      TXLSFont f;
      std::size_t nameAt = 15, lenAt = 14;
      if (shortOf(4)) return;
      const std::uint16_t flags = b.U16(2);
      f.Size = b.U16(0) / 20;
      f.Italic = (flags & 0x0002) != 0;
      f.StrikeOut = (flags & 0x0008) != 0;
      if (id == rec::kFont3) {
        if (shortOf(6)) return;
        f.Color = b.U16(4);
        lenAt = 6;
        nameAt = 7;
        f.Bold = (flags & 0x0001) != 0;
        f.Underline = (flags & 0x0004) != 0;
      } else if (r.FBookVersion <= 3) {
        lenAt = 4;
        nameAt = 5;
        f.Bold = (flags & 0x0001) != 0;
        f.Underline = (flags & 0x0004) != 0;
      } else {
        if (shortOf(15)) return;
        f.Color = b.U16(4);
        f.Bold = b.U16(6) >= 700;
        f.Underline = b.U8(10) != 0;
        f.Charset = b.U8(12);
      }
      if (shortOf(lenAt + 1)) return;
      if (!RecordText(f.Name, b, nameAt, b.U8(lenAt), id)) return;
      r.FFonts.push_back(std::move(f));
      if (r.FFonts.size() == 4) r.FFonts.push_back(r.FFonts[0]);
      break;
    }
    case rec::kPalette: {  // PALETTE
      if (shortOf(2)) return;
      const std::size_t n = b.U16(0);
      if (shortOf(2 + 4 * n)) return;
      r.FPalette.clear();
      for (std::size_t i = 0; i < n; ++i) r.FPalette.push_back(b.U32(2 + 4 * i));
      break;
    }
    case rec::kCodepage:  // CODEPAGE
      if (shortOf(2)) return;
      r.FFileCodepage = b.U16(0);
      byteText.SetCodepage(detail::TextCodepage(r.FFileCodepage));
      fctx.Codepage = byteText.Codepage();
      break;
    case rec::kName2:
    case rec::kName: {  // NAME
      if (shortOf(4)) return;
      const std::size_t n = b.U8(3);
      std::string name;
      if (!RecordText(name, b, r.FBookVersion < 4 ? 6 : 14, n, id)) return;
      r.FNames.push_back(TNameEntry{name, b.U16(0)});
      fctx.Names.push_back(std::move(name));
      break;
    }
    case rec::kExternName2:
    case rec::kExternName: {  // EXTERNNAME
      const std::size_t lenAt = r.FBookVersion < 4 ? 2 : 6;
      if (shortOf(lenAt + 1)) return;
      std::string name;
      if (!RecordText(name, b, lenAt + 1, b.U8(lenAt), id)) return;
      r.FExternNames.push_back(name);
      fctx.ExternNames.push_back(std::move(name));
      if (r.FBookVersion == 6 && !fctx.SupBooks.empty()) ++fctx.SupBooks.back().ExternNameCount;
      break;
    }
    case rec::kSupBook: {  // SUPBOOK: only what formula text needs
      if (r.FBookVersion != 6) break;
      formula::TSupBook sb;
      sb.FirstExternName = fctx.ExternNames.size();
      if (len >= 4 && b.U16(2) == 0x0401) {
        sb.Kind = formula::TSupBook::sbkSelf;
      } else if (len >= 4 && b.U16(2) == 0x3A01) {
        sb.Kind = formula::TSupBook::sbkAddIn;
      } else if (len >= 5) {
        // Document name and sheet names, each a BIFF8 string with a 16-bit count.
        sb.Kind = formula::TSupBook::sbkExternal;
        const std::size_t sheets = b.U16(0);
        // A name cut short by the record's end ends the list (no hook: nothing is raised).
        platform::ByteCursor c(platform::ByteView(b.Data(), len));
        c.Skip(2);
        auto readString = [&c](std::string& out) {
          if (!c.Has(3)) return false;
          const std::size_t n = c.U16();
          const bool wide = c.U8() & 1;
          const std::size_t bytes = wide ? 2 * n : n;
          if (!c.Has(bytes)) return false;
          const platform::ByteView chars = c.Take(bytes);
          if (wide)
            platform::AppendUtf16le(out, chars.Data(), n);
          else
            platform::AppendLatin1(out, chars.Data(), n);
          return true;
        };
        if (readString(sb.FileName)) {
          for (std::size_t i = 0; i < sheets; ++i) {
            std::string s;
            if (!readString(s)) break;
            sb.SheetNames.push_back(std::move(s));
          }
        }
      }
      fctx.SupBooks.push_back(std::move(sb));
      break;
    }
    case rec::kExternSheet: {  // EXTERNSHEET (BIFF8 XTI entries within this record)
      if (r.FBookVersion != 6 || len < 2) break;
      const std::size_t n = std::min<std::size_t>(b.U16(0), (len - 2) / 6);
      for (std::size_t i = 0; i < n; ++i) {
        const std::size_t e = 2 + 6 * i;
        fctx.ExternSheets.push_back(formula::TExternSheet{b.U16(e), b.U16(e + 2), b.U16(e + 4)});
      }
      break;
    }
    default: break;
  }
}

void TXLSRead::Impl::ApplyPalette() {
  // The default colours of indexes 8 to 63 (0x00BBGGRR); 0 to 7 repeat the first eight.
  static constexpr std::uint32_t kDefault[56] = {
      0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00,
      0x000080, 0x008000, 0x800000, 0x008080, 0x800080, 0x808000, 0xC0C0C0, 0x808080,
      0xFF9999, 0x663399, 0xCCFFFF, 0xFFFFCC, 0x660066, 0x8080FF, 0xCC6600, 0xFFCCCC,
      0x800000, 0xFF00FF, 0x00FFFF, 0xFFFF00, 0x800080, 0x000080, 0x808000, 0xFF0000,
      0xFFCC00, 0xFFFFCC, 0xCCFFCC, 0x99FFFF, 0xFFCC99, 0xCC99FF, 0xFF99CC, 0x99CCFF,
      0xFF6633, 0xCCCC33, 0x00CC99, 0x00CCFF, 0x0099FF, 0x0066FF, 0x996666, 0x969696,
      0x663300, 0x669933, 0x003300, 0x003333, 0x003399, 0x663399, 0x993333, 0x333333};
  TXLSRead& r = self;
  for (auto& f : r.FFonts) {
    const std::uint32_t index = f.Color;
    std::uint32_t rgb = 0;
    if (index < 8) {
      rgb = kDefault[index];
    } else if (index < 64) {
      const std::size_t k = index - 8;
      rgb = k < r.FPalette.size() ? (r.FPalette[k] & 0xFFFFFF) : kDefault[k];
    }
    f.Color = rgb;
  }
}

}  // namespace reader
