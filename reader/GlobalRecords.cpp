// Workbook-global records: sheets, formats, XF records, fonts, palette, code page, names.
#include <cstdio>

#include "reader/Impl.h"

namespace reader {

void TXLSRead::Impl::RecordText(std::string& out, const detail::ByteText& bt,
                                const platform::ByteView& body, std::size_t offset,
                                std::size_t count, std::uint16_t id) const {
  out.clear();
  const std::size_t len = body.Size();
  if (offset >= len) {
    if (count == 0) return;
    detail::RecordTooShort(id, len);
  }
  const std::uint8_t* p = body.Data() + offset;
  if (*p == 0) {
    if (offset + 1 + count > len) detail::RecordTooShort(id, len);
    if (self.FBookVersion == 6)
      detail::AppendLatin1Fast(out, p + 1, count);
    else
      bt.Append(out, p + 1, count);
  } else if (self.FBookVersion == 6) {
    if (offset + 1 + 2 * count > len) detail::RecordTooShort(id, len);
    platform::AppendUtf16le(out, p + 1, count);
  } else {
    if (offset + count > len) detail::RecordTooShort(id, len);
    bt.Append(out, p, count);
  }
}

namespace {

// Cell, formula and format records name the workbook tables by 16-bit indexes, so no entry past
// the 65,536th can ever be used; a file of nothing but such records would only fill memory.
constexpr std::size_t kMaxTableEntries = 0x10000;

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
  if (TableEntries(id) < kMaxTableEntries) return {};
  char b[64];
  std::snprintf(b, sizeof b, "Too many %.4X records", static_cast<unsigned>(id));
  return b;
}

void TXLSRead::Impl::HandleGlobals(std::uint16_t id, std::uint16_t len) {
  TXLSRead& r = self;
  if (std::string full = TableFull(id); !full.empty()) throw EXLSError(full);
  const platform::ByteView b = detail::RecordBody(id, buf.data(), len);
  auto need = [&](std::size_t n) { detail::Need(b, n); };
  switch (id) {
    case rec::kBoundSheet: {  // BOUNDSHEET
      std::string name;
      if (r.FVersion == 6) {
        need(8);
        const std::size_t n = b.U8(6);
        if (b.U8(7) == 0) {
          need(8 + n);
          platform::AppendLatin1(name, b.Sub(8, n).Data(), n);
        } else {
          need(8 + 2 * n);
          detail::AppendUtf16Codepage(name, b.Sub(8, 2 * n).Data(), n, r.FCodepage);
        }
      } else if (workbook4) {
        // A BIFF4 workbook names its sheets here; where each starts, its SHEETHDR says.
        need(1);
        const std::size_t n = b.U8(0);
        need(1 + n);
        byteText.Append(name, b.Sub(1, n).Data(), n);
        r.FSheetNames.push_back(TSheetEntry{name, 0});
        fctx.SheetNames.push_back(std::move(name));
        break;
      } else {
        need(7);
        const std::size_t n = b.U8(6);
        need(7 + n);
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
      need(5);
      const std::size_t n = b.U8(4);
      need(5 + n);
      std::string name;
      byteText.Append(name, b.Sub(5, n).Data(), n);
      r.FSheetNames.push_back(TSheetEntry{name, at});
      fctx.SheetNames.push_back(std::move(name));
      break;
    }
    case rec::kFormat: {  // FORMAT
      need(3);
      std::string fmt;
      if (r.FBookVersion < 6) {
        const std::size_t n = b.U8(2);
        need(3 + n);
        byteText.Append(fmt, b.Sub(3, n).Data(), n);
      } else {
        need(5);
        RecordText(fmt, b, 4, b.U16(2), id);
      }
      masks::TExcelMask mask(fmt);
      // BIFF4 leaves the first two bytes unused: its formats are numbered in record order.
      mask.FormatIndex = r.FBookVersion <= 3 ? static_cast<int>(r.FFormats.size()) : b.U16(0);
      r.FFormats.push_back(std::move(mask));
      break;
    }
    case rec::kFormat2: {  // FORMAT of BIFF2-BIFF3: the string alone, numbered in record order
      need(1);
      const std::size_t n = b.U8(0);
      need(1 + n);
      std::string fmt;
      byteText.Append(fmt, b.Sub(1, n).Data(), n);
      masks::TExcelMask mask(fmt);
      mask.FormatIndex = static_cast<int>(r.FFormats.size());
      r.FFormats.push_back(std::move(mask));
      break;
    }
    case rec::kXf3:
    case rec::kXf4:   // XF of BIFF3 and BIFF4: the format number is the byte at offset 1
    case rec::kXf: {  // XF
      need(4);
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
      need(4);
      const std::uint16_t flags = b.U16(2);
      f.Size = b.U16(0) / 20;
      f.Italic = (flags & 0x0002) != 0;
      f.StrikeOut = (flags & 0x0008) != 0;
      if (id == rec::kFont3) {
        need(6);
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
        need(15);
        f.Color = b.U16(4);
        f.Bold = b.U16(6) >= 700;
        f.Underline = b.U8(10) != 0;
        f.Charset = b.U8(12);
      }
      need(lenAt + 1);
      RecordText(f.Name, b, nameAt, b.U8(lenAt), id);
      r.FFonts.push_back(std::move(f));
      if (r.FFonts.size() == 4) r.FFonts.push_back(r.FFonts[0]);
      break;
    }
    case rec::kPalette: {  // PALETTE
      need(2);
      const std::size_t n = b.U16(0);
      need(2 + 4 * n);
      r.FPalette.clear();
      for (std::size_t i = 0; i < n; ++i) r.FPalette.push_back(b.U32(2 + 4 * i));
      break;
    }
    case rec::kCodepage:  // CODEPAGE
      need(2);
      r.FFileCodepage = b.U16(0);
      byteText.SetCodepage(detail::TextCodepage(r.FFileCodepage));
      fctx.Codepage = byteText.Codepage();
      break;
    case rec::kName2:
    case rec::kName: {  // NAME
      need(4);
      const std::size_t n = b.U8(3);
      std::string name;
      RecordText(name, b, r.FBookVersion < 4 ? 6 : 14, n, id);
      r.FNames.push_back(TNameEntry{name, b.U16(0)});
      fctx.Names.push_back(std::move(name));
      break;
    }
    case rec::kExternName2:
    case rec::kExternName: {  // EXTERNNAME
      const std::size_t lenAt = r.FBookVersion < 4 ? 2 : 6;
      need(lenAt + 1);
      std::string name;
      RecordText(name, b, lenAt + 1, b.U8(lenAt), id);
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
