// Cell and layout records of a worksheet and the events they fire.
#include "reader/Impl.h"

namespace reader {

using detail::F64;
using detail::U16;
using detail::U32;

void TXLSRead::Impl::NumberOrDate(int col, int row, int xf, double value, bool isFormula) {
  TXLSRead& r = self;
  if (r.OnDateTimeCell && r.IsDateTimeXF(xf))
    r.OnDateTimeCell(r, col, row, xf, value, isFormula);
  else if (r.OnNumberCell)
    r.OnNumberCell(r, col, row, xf, value, isFormula);
}

void TXLSRead::Impl::LongStringResult(detail::RecordStream& in, std::uint8_t* b,
                                      std::size_t bufSize, std::string& out, std::uint16_t len,
                                      std::size_t count) {
  // A BIFF8 string result longer than its STRING record runs on in CONTINUE records, each
  // starting with its own option byte (bit 0: 16-bit characters); a character is never split.
  out.clear();
  bool wide = b[2] != 0;
  std::size_t at = 3, have = len;
  for (;;) {
    const std::size_t width = wide ? 2 : 1;
    const std::size_t n = std::min(count, (have - at) / width);
    if (wide)
      platform::AppendUtf16le(out, b + at, n);
    else
      detail::AppendLatin1Fast(out, b + at, n);
    count -= n;
    if (count == 0) return;
    std::uint16_t id = 0, clen = 0;
    if (!in.ReadHeader(id, clen)) throw EXLSError("Unexpected end of the stream");
    if (id != 0x003C) {
      // The string result ends short of its count: the record that follows is read as usual.
      in.SeekBy(-4);
      detail::RecordTooShort(0x0207, len);
    }
    if (clen > bufSize) {
      in.SeekBy(clen);
      throw EXLSError("CONTINUE record is longer than the record buffer");
    }
    if (in.Read(b, clen) != clen) throw EXLSError("Unexpected end of the stream");
    have = clen;
    at = 0;
    if (clen == 0) continue;
    wide = (b[0] & 1) != 0;
    at = 1;
  }
}

void TXLSRead::Impl::StringResultBody(std::uint16_t id, std::uint16_t len) {
  TXLSRead& r = self;
  if (len > r.FMaxRecordSize) {
    stream->SeekBy(len);
    throw EXLSError("STRING record is longer than the record buffer");
  }
  if (stream->Read(buf.data(), len) != len) throw EXLSError("Unexpected end of the stream");
  if (id == 0x0207) {
    if (len < 2) detail::RecordTooShort(id, len);
    const std::size_t count = U16(buf.data());
    if (r.FBookVersion == 6 && len >= 3 && 3 + (buf[2] != 0 ? 2 : 1) * count > len)
      LongStringResult(*stream, buf.data(), static_cast<std::size_t>(r.FMaxRecordSize), text, len,
                       count);
    else
      RecordText(text, buf.data(), len, 2, count, id);
  } else {
    if (len < 1) detail::RecordTooShort(id, len);
    RecordText(text, buf.data(), len, 1, buf[0], id);
  }
}

void TXLSRead::Impl::NonNumericResult(int col, int row, int xf, std::uint8_t type,
                                      std::uint8_t value) {
  TXLSRead& r = self;
  switch (type) {
    case 0: {
      // The string result follows in its own STRING record, taken here.
      std::uint16_t id = 0, len = 0;
      if (!stream->ReadHeader(id, len)) return;
      // The first cell of a shared, array or table formula has that record between itself and
      // its STRING: the string is taken now and passed over when the loop comes to it, after
      // the record in between.
      std::uint64_t between = detail::SheetDirectory::kNone;
      if (id == 0x04BC || id == 0x00BC || id == 0x0221 || id == 0x0236) {
        between = stream->Position() - 4;
        stream->SeekBy(len);
        if (!stream->ReadHeader(id, len)) {
          stream->SeekTo(between);
          return;
        }
      }
      if (id != 0x0207 && id != 0x0007) {
        stream->SeekTo(stream->Position() - 4);
        if (between != detail::SheetDirectory::kNone) stream->SeekTo(between);
        return;
      }
      if (between != detail::SheetDirectory::kNone) {
        const std::uint64_t at = stream->Position() - 4;
        try {
          StringResultBody(id, len);
        } catch (...) {
          stream->SeekTo(between);
          throw;
        }
        skipFrom = at;
        skipTo = stream->Position();
        stream->SeekTo(between);
        if (r.OnStringCell) r.OnStringCell(r, col, row, xf, text, true);
        return;
      }
      StringResultBody(id, len);
      if (r.OnStringCell) r.OnStringCell(r, col, row, xf, text, true);
      return;
    }
    case 1:
      if (r.OnBoolCell) r.OnBoolCell(r, col, row, xf, value != 0, true);
      return;
    case 2:
      if (r.OnStringCell) {
        text = r.ErrorText(value);
        r.OnStringCell(r, col, row, xf, text, true);
      }
      return;
    default:
      if (r.OnStringCell) {
        text.clear();
        r.OnStringCell(r, col, row, xf, text, true);
      }
      return;
  }
}

void TXLSRead::Impl::HandleFormula(std::uint16_t id, std::uint16_t len) {
  TXLSRead& r = self;
  const std::uint8_t* b = buf.data();
  auto need = [&](std::size_t n) {
    if (len < n) detail::RecordTooShort(id, len);
  };
  auto decode = [&](std::size_t lenField, std::size_t tokensAt, std::size_t tokenLen, int col,
                    int row) {
    // Clamp the token count to what the record holds; the rest is array data.
    tokenLen = std::min<std::size_t>(tokenLen, len > tokensAt ? len - tokensAt : 0);
    const std::size_t extra = len > tokensAt + tokenLen ? len - tokensAt - tokenLen : 0;
    (void)lenField;
    fctx.FuncArgSeparator = r.FuncArgSeparator;
    fctx.StrTRUE = r.StrTRUE;
    fctx.StrFALSE = r.StrFALSE;
    text2 = formula::DecodeFormula(fctx, b + std::min<std::size_t>(tokensAt, len), tokenLen, extra,
                                   0, 0);
    r.OnFormulaCell(r, col, row, text2);
  };

  if (id == 0x0006 && r.FVersion == 1) {
    // BIFF2 layout: column byte at 2, result at 7, token count byte at 16, tokens at 17.
    need(17);
    const int row = U16(b), col = b[2];
    if (r.OnFormulaCell) decode(16, 17, b[16], col, row);
    if (b[13] == 0xFF && b[14] == 0xFF)
      NonNumericResult(col, row, -1, b[7], b[9]);
    else if (r.OnNumberCell)
      r.OnNumberCell(r, col, row, -1, F64(b + 7), true);
    return;
  }
  const std::size_t lenAt = id == 0x0006 ? 20 : 16;
  need(lenAt + 2);
  const int row = U16(b), col = U16(b + 2), xf = U16(b + 4);
  if (r.OnFormulaCell) {
    const std::size_t tokensAt = lenAt + 2;
    // A first token 0x01 (BIFF5-BIFF8) marks a shared or array formula: its text comes from
    // the SHRFMLA record.
    const bool shared = id == 0x0006 && len > tokensAt && b[tokensAt] == 0x01;
    if (!shared) decode(lenAt, tokensAt, U16(b + lenAt), col, row);
  }
  if (b[12] == 0xFF && b[13] == 0xFF)
    NonNumericResult(col, row, xf, b[6], b[8]);
  else
    NumberOrDate(col, row, xf, F64(b + 6), true);
}

void TXLSRead::Impl::HandleCell(std::uint16_t id, std::uint16_t len) {
  TXLSRead& r = self;
  const std::uint8_t* b = buf.data();
  auto need = [&](std::size_t n) {
    if (len < n) detail::RecordTooShort(id, len);
  };
  switch (id) {
    case 0x0203:  // NUMBER
      need(14);
      NumberOrDate(U16(b + 2), U16(b), U16(b + 4), F64(b + 6), false);
      return;
    case 0x007E:
    case 0x027E:  // RK
      need(10);
      NumberOrDate(U16(b + 2), U16(b), U16(b + 4), DecodeRK(U32(b + 6)), false);
      return;
    case 0x00FD: {  // LABELSST
      need(10);
      const std::uint32_t i = U32(b + 6);
      if (i >= sst.Count()) throw EXLSError(detail::ListIndexError(i));
      PRecREFormatArray runs = sst.Runs(i);
      if (runs && r.OnRichCell) {
        text.assign(sst.Get(i));
        r.OnRichCell(r, U16(b + 2), U16(b), U16(b + 4), text, runs);
      } else if (r.OnStringCell) {
        text.assign(sst.Get(i));
        r.OnStringCell(r, U16(b + 2), U16(b), U16(b + 4), text, false);
      }
      return;
    }
    case 0x0204:  // LABEL
      need(8);
      if (r.OnStringCell) {
        RecordText(text, b, len, 8, U16(b + 6), id);
        r.OnStringCell(r, U16(b + 2), U16(b), U16(b + 4), text, false);
      }
      return;
    case 0x00D6: {  // RSTRING
      need(8);
      const std::size_t count = U16(b + 6);
      RecordText(text, b, len, 8, count, id);
      if (r.OnRichCell) {
        need(9 + count);
        const std::size_t runs = b[8 + count];
        need(9 + count + 2 * runs);
        std::vector<TRecREFormat> block(1, TRecREFormat{0, static_cast<std::uint16_t>(runs)});
        for (std::size_t k = 0; k < runs; ++k)
          block.push_back(TRecREFormat{b[9 + count + 2 * k], b[10 + count + 2 * k]});
        r.OnRichCell(r, U16(b + 2), U16(b), U16(b + 4), text, block.data());
      } else if (r.OnStringCell) {
        r.OnStringCell(r, U16(b + 2), U16(b), U16(b + 4), text, false);
      }
      return;
    }
    case 0x0201:  // BLANK
      need(6);
      if (r.OnBlankCell) r.OnBlankCell(r, U16(b + 2), U16(b), U16(b + 4));
      return;
    case 0x0205:  // BOOLERR
      need(8);
      if (b[7] == 0) {
        if (r.OnBoolCell) r.OnBoolCell(r, U16(b + 2), U16(b), U16(b + 4), b[6] != 0, false);
      } else if (r.OnStringCell) {
        text = r.ErrorText(b[6]);
        r.OnStringCell(r, U16(b + 2), U16(b), U16(b + 4), text, false);
      }
      return;
    case 0x00BE: {  // MULBLANK
      need(6);
      if (!r.OnBlankCell) return;
      const int row = U16(b), first = U16(b + 2);
      const std::size_t n = (len - 6) / 2;
      for (std::size_t k = 0; k < n; ++k)
        r.OnBlankCell(r, first + static_cast<int>(k), row, U16(b + 4 + 2 * k));
      return;
    }
    case 0x00BD: {  // MULRK
      need(6);
      // Also examined for an owner that takes only date/time cells.
      if (!r.OnNumberCell && !r.OnDateTimeCell) return;
      const int row = U16(b), first = U16(b + 2);
      const std::size_t n = (len - 6) / 6;
      for (std::size_t k = 0; k < n; ++k)
        NumberOrDate(first + static_cast<int>(k), row, U16(b + 4 + 6 * k),
                     DecodeRK(U32(b + 6 + 6 * k)), false);
      return;
    }
    case 0x0006:
    case 0x0206:
    case 0x0406: HandleFormula(id, len); return;
    case 0x00BC:
    case 0x04BC: {  // SHRFMLA
      if (!r.OnFormulaCell) return;
      need(10);
      const int firstRow = U16(b), lastRow = U16(b + 2), firstCol = b[4], lastCol = b[5];
      // A range of up to 16 million cells fits the record; one formula filled over more than
      // a quarter million cells is not a real workbook, and would keep the reader busy for long.
      if (lastRow >= firstRow && lastCol >= firstCol &&
          static_cast<long long>(lastRow - firstRow + 1) * (lastCol - firstCol + 1) > (1 << 18))
        throw EXLSError("Shared formula range is too large");
      const std::size_t tokenLen = std::min<std::size_t>(U16(b + 8), len - 10);
      const std::size_t extra = len - 10 - tokenLen;
      fctx.FuncArgSeparator = r.FuncArgSeparator;
      fctx.StrTRUE = r.StrTRUE;
      fctx.StrFALSE = r.StrFALSE;
      for (int row = firstRow; row <= lastRow; ++row)
        for (int col = firstCol; col <= lastCol; ++col) {
          text2 = formula::DecodeFormula(fctx, b + 10, tokenLen, extra, col, row);
          r.OnFormulaCell(r, col, row, text2);
        }
      return;
    }
    case 0x0005:  // BOOLERR (BIFF2): value byte at 7, error flag byte at 8
      need(9);
      if (b[8] == 0) {
        if (r.OnBoolCell) r.OnBoolCell(r, b[2], U16(b), -1, b[7] != 0, false);
      } else if (r.OnStringCell) {
        text = r.ErrorText(b[7]);
        r.OnStringCell(r, b[2], U16(b), -1, text, false);
      }
      return;
    case 0x0002:  // INTEGER (BIFF2)
      need(9);
      if (r.OnNumberCell) r.OnNumberCell(r, b[2], U16(b), -1, U16(b + 7), false);
      return;
    case 0x0003:  // NUMBER (BIFF2)
      need(15);
      if (r.OnNumberCell) r.OnNumberCell(r, b[2], U16(b), -1, F64(b + 7), false);
      return;
    case 0x0004:  // LABEL (BIFF2)
      need(8);
      if (r.OnStringCell) {
        RecordText(text, b, len, 8, b[7], id);
        r.OnStringCell(r, b[2], U16(b), -1, text, false);
      }
      return;
    case 0x007D:  // COLINFO
      need(8);
      if (r.OnCol) r.OnCol(r, U16(b), U16(b + 2), U16(b + 6), U16(b + 4));
      return;
    case 0x0208: {  // ROW
      need(16);
      if (!r.OnRow) return;
      const int xf = (U16(b + 12) & 0x0080) ? (U16(b + 14) & 0x0FFF) : -1;
      const int height = (U16(b + 6) & 0x8000) ? -1 : U16(b + 6);
      r.OnRow(r, U16(b), U16(b + 2), U16(b + 4) - 1, xf, height);
      return;
    }
    case 0x0200:  // DIMENSIONS
      if (r.FVersion == 6) {
        need(12);
        r.FFirstRow = static_cast<int>(U32(b));
        r.FLastRow = static_cast<int>(U32(b + 4) - 1);
        r.FFirstCol = U16(b + 8);
        r.FLastCol = U16(b + 10) - 1;
      } else {
        need(8);
        r.FFirstRow = U16(b);
        r.FLastRow = U16(b + 2) - 1;
        r.FFirstCol = U16(b + 4);
        r.FLastCol = U16(b + 6) - 1;
      }
      return;
    default: return;
  }
}

}  // namespace reader
