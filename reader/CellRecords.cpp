// Cell and layout records of a worksheet and the events they fire.
#include "reader/Impl.h"

namespace reader {

using detail::ValueCell;

void TXLSRead::Impl::NumberOrDate(int col, int row, int xf, double value, bool isFormula) {
  TXLSRead& r = self;
  if (r.OnDateTimeCell) {
    if (xf < 0 || static_cast<std::size_t>(xf) >= r.FXFRecords.size()) {
      Fault(detail::ListIndexError(xf));  // what IsDateTimeXF raises, without raising it
      return;
    }
    if (IsDateXf(static_cast<std::size_t>(xf))) {
      r.OnDateTimeCell(r, col, row, xf, value, isFormula);
      return;
    }
  }
  if (r.OnNumberCell) r.OnNumberCell(r, col, row, xf, value, isFormula);
}

bool TXLSRead::Impl::LongStringResult(detail::RecordStream& in, std::uint8_t* b,
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
    if (count == 0) return true;
    std::uint16_t id = 0, clen = 0;
    if (!in.ReadHeader(id, clen)) throw EXLSError("Unexpected end of the stream");
    if (id != rec::kContinue) {
      // The string result ends short of its count: the record that follows is read as usual.
      in.SeekBy(-4);
      return TooShort(rec::kString, len);
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

bool TXLSRead::Impl::StringResultText(detail::RecordStream& in, std::uint16_t id, std::uint8_t* b,
                                      std::size_t bufSize, std::uint16_t len,
                                      const detail::ByteText& bt, std::string& out) {
  const platform::ByteView body = detail::RecordBody(id, b, len);
  if (id == rec::kString) {
    if (Short(id, body, 2)) return false;
    const std::size_t count = body.U16(0);
    if (self.FBookVersion == 6 && len >= 3 && 3 + (b[2] != 0 ? 2 : 1) * count > len)
      return LongStringResult(in, b, bufSize, out, len, count);
    return RecordText(out, bt, body, 2, count, id);
  }
  if (Short(id, body, 1)) return false;
  return RecordText(out, bt, body, 1, body.U8(0), id);
}

bool TXLSRead::Impl::StringResultBody(std::uint16_t id, std::uint16_t len) {
  TXLSRead& r = self;
  if (len > r.FMaxRecordSize) {
    stream->SeekBy(len);
    throw EXLSError("STRING record is longer than the record buffer");
  }
  if (stream->Read(buf.data(), len) != len) throw EXLSError("Unexpected end of the stream");
  return StringResultText(*stream, id, buf.data(), static_cast<std::size_t>(r.FMaxRecordSize), len,
                          byteText, text);
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
      if (detail::StandsBeforeStringResult(id)) {
        between = stream->Position() - 4;
        stream->SeekBy(len);
        if (!stream->ReadHeader(id, len)) {
          stream->SeekTo(between);
          return;
        }
      }
      if (id != rec::kString && id != rec::kString2) {
        stream->SeekTo(stream->Position() - 4);
        if (between != detail::SheetDirectory::kNone) stream->SeekTo(between);
        return;
      }
      if (between != detail::SheetDirectory::kNone) {
        const std::uint64_t at = stream->Position() - 4;
        bool taken = false;
        try {
          taken = StringResultBody(id, len);
        } catch (...) {
          stream->SeekTo(between);
          throw;
        }
        if (!taken) {
          stream->SeekTo(between);  // the error is noted
          return;
        }
        skipFrom = at;
        skipTo = stream->Position();
        stream->SeekTo(between);
        if (r.OnStringCell) r.OnStringCell(r, col, row, xf, text, true);
        return;
      }
      if (!StringResultBody(id, len)) return;  // the error is noted
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
  const platform::ByteView body = detail::RecordBody(id, b, len);
  ValueCell cell;
  if (!detail::DecodeValueCell(id, body, r.FVersion, cell)) {
    TooShort(id, len);
    return;
  }
  auto decode = [&](std::size_t tokensAt, std::size_t tokenLen) {
    // Clamp the token count to what the record holds; the rest is array data.
    tokenLen = std::min<std::size_t>(tokenLen, len > tokensAt ? len - tokensAt : 0);
    const std::size_t extra = len > tokensAt + tokenLen ? len - tokensAt - tokenLen : 0;
    fctx.FuncArgSeparator = r.FuncArgSeparator;
    fctx.StrTRUE = r.StrTRUE;
    fctx.StrFALSE = r.StrFALSE;
    text2 = formula::DecodeFormula(fctx, b + std::min<std::size_t>(tokensAt, len), tokenLen, extra,
                                   0, 0);
    r.OnFormulaCell(r, cell.col, cell.row, text2);
  };

  if (detail::IsBiff2Formula(id, r.FVersion)) {
    if (r.OnFormulaCell) decode(17, body.U8(16));
    if (cell.nonNumeric)
      NonNumericResult(cell.col, cell.row, -1, cell.resultType, cell.resultValue);
    else if (r.OnNumberCell)
      r.OnNumberCell(r, cell.col, cell.row, -1, cell.number, true);
    return;
  }
  if (r.OnFormulaCell) {
    const std::size_t lenAt = id == rec::kFormula ? 20 : 16;
    const std::size_t tokensAt = lenAt + 2;
    // A first token 0x01 (BIFF5-BIFF8) marks a shared or array formula: its text comes from
    // the SHRFMLA record.
    const bool shared = id == rec::kFormula && len > tokensAt && b[tokensAt] == 0x01;
    if (!shared)
      decode(tokensAt, body.U16(lenAt));
    else if (r.SharedFormulasByCell && len >= tokensAt + 4)
      SharedFormulaCell(cell.col, cell.row, body.U16(tokensAt + 1), body.U8(tokensAt + 3));
  }
  if (cell.nonNumeric)
    NonNumericResult(cell.col, cell.row, cell.xf, cell.resultType, cell.resultValue);
  else
    NumberOrDate(cell.col, cell.row, cell.xf, cell.number, true);
}

// The value cells that are numbers or text, decoded as the lookup decodes them.
void TXLSRead::Impl::HandleValueCell(std::uint16_t id, const platform::ByteView& body) {
  TXLSRead& r = self;
  ValueCell cell;
  if (!detail::DecodeValueCell(id, body, r.FVersion, cell)) {
    TooShort(id, body.Size());
    return;
  }
  switch (cell.kind) {
    case ValueCell::Number:
      if (cell.xf >= 0)
        NumberOrDate(cell.col, cell.row, cell.xf, cell.number, false);
      else if (r.OnNumberCell)  // BIFF2 cells name no XF: never a date
        r.OnNumberCell(r, cell.col, cell.row, -1, cell.number, false);
      return;
    case ValueCell::SharedString: {
      if (cell.index >= sst.Count()) {
        Fault(detail::ListIndexError(cell.index));
        return;
      }
      PRecREFormatArray runs = sst.Runs(cell.index);
      if (runs && r.OnRichCell) {
        text.assign(sst.Get(cell.index));
        r.OnRichCell(r, cell.col, cell.row, cell.xf, text, runs);
      } else if (r.OnStringCell) {
        text.assign(sst.Get(cell.index));
        r.OnStringCell(r, cell.col, cell.row, cell.xf, text, false);
      }
      return;
    }
    case ValueCell::Text:
      if (id == rec::kRString) {
        if (!RecordText(text, body, cell.textAt, cell.textCount, id)) return;
        if (r.OnRichCell) {
          const std::size_t count = cell.textCount;
          if (Short(id, body, 9 + count)) return;
          const std::size_t runs = body.U8(8 + count);
          if (Short(id, body, 9 + count + 2 * runs)) return;
          std::vector<TRecREFormat> block(1, TRecREFormat{0, static_cast<std::uint16_t>(runs)});
          for (std::size_t k = 0; k < runs; ++k)
            block.push_back(TRecREFormat{body.U8(9 + count + 2 * k), body.U8(10 + count + 2 * k)});
          r.OnRichCell(r, cell.col, cell.row, cell.xf, text, block.data());
        } else if (r.OnStringCell) {
          r.OnStringCell(r, cell.col, cell.row, cell.xf, text, false);
        }
      } else if (r.OnStringCell) {
        if (!RecordText(text, body, cell.textAt, cell.textCount, id)) return;
        r.OnStringCell(r, cell.col, cell.row, cell.xf, text, false);
      }
      return;
    case ValueCell::Formula: return;  // HandleFormula
  }
}

void TXLSRead::Impl::HandleCell(std::uint16_t id, std::uint16_t len) {
  TXLSRead& r = self;
  const platform::ByteView b = detail::RecordBody(id, buf.data(), len);
  switch (id) {
    case rec::kNumber:
    case rec::kRkLegacy:
    case rec::kRk:
    case rec::kLabelSst:
    case rec::kLabel:
    case rec::kRString:
    case rec::kInteger2:
    case rec::kNumber2:
    case rec::kLabel2: HandleValueCell(id, b); return;
    case rec::kBlank:
      if (Short(id, b, 6)) return;
      if (r.OnBlankCell) r.OnBlankCell(r, b.U16(2), b.U16(0), b.U16(4));
      return;
    case rec::kBoolErr:
      if (Short(id, b, 8)) return;
      if (b.U8(7) == 0) {
        if (r.OnBoolCell) r.OnBoolCell(r, b.U16(2), b.U16(0), b.U16(4), b.U8(6) != 0, false);
      } else if (r.OnStringCell) {
        text = r.ErrorText(b.U8(6));
        r.OnStringCell(r, b.U16(2), b.U16(0), b.U16(4), text, false);
      }
      return;
    case rec::kMulBlank: {
      if (Short(id, b, 6)) return;
      if (!r.OnBlankCell) return;
      const int row = b.U16(0), first = b.U16(2);
      const std::size_t n = (len - 6) / 2;
      for (std::size_t k = 0; k < n; ++k)
        r.OnBlankCell(r, first + static_cast<int>(k), row, b.U16(4 + 2 * k));
      return;
    }
    case rec::kMulRk: {
      if (Short(id, b, 6)) return;
      // Also examined for an owner that takes only date/time cells.
      if (!r.OnNumberCell && !r.OnDateTimeCell) return;
      const int row = b.U16(0), first = b.U16(2);
      const std::size_t n = detail::MulRkCount(b);
      for (std::size_t k = 0; k < n && !faulted; ++k)  // the first error ends the record
        NumberOrDate(first + static_cast<int>(k), row, detail::MulRkXf(b, k),
                     DecodeRK(detail::MulRkValue(b, k)), false);
      return;
    }
    case rec::kFormula:
    case rec::kFormula3:
    case rec::kFormula4: HandleFormula(id, len); return;
    case rec::kShrFmla2:
    case rec::kShrFmla: {
      if (!r.OnFormulaCell) return;
      if (Short(id, b, 10)) return;
      if (r.SharedFormulasByCell) {
        KeepSharedFormula(b.Data(), len);  // its cells' FORMULA records give the texts
        return;
      }
      const int firstRow = b.U16(0), lastRow = b.U16(2), firstCol = b.U8(4), lastCol = b.U8(5);
      // A range of up to 16 million cells fits the record; one formula filled over more than
      // a quarter million cells is not a real workbook, and would keep the reader busy for long.
      if (lastRow >= firstRow && lastCol >= firstCol &&
          static_cast<long long>(lastRow - firstRow + 1) * (lastCol - firstCol + 1) > (1 << 18)) {
        Fault("Shared formula range is too large");
        return;
      }
      const std::size_t tokenLen = std::min<std::size_t>(b.U16(8), len - 10);
      const std::size_t extra = len - 10 - tokenLen;
      fctx.FuncArgSeparator = r.FuncArgSeparator;
      fctx.StrTRUE = r.StrTRUE;
      fctx.StrFALSE = r.StrFALSE;
      for (int row = firstRow; row <= lastRow; ++row)
        for (int col = firstCol; col <= lastCol; ++col) {
          text2 = formula::DecodeFormula(fctx, b.Data() + 10, tokenLen, extra, col, row);
          r.OnFormulaCell(r, col, row, text2);
        }
      return;
    }
    case rec::kBoolErr2:  // value byte at 7, error flag byte at 8
      if (Short(id, b, 9)) return;
      if (b.U8(8) == 0) {
        if (r.OnBoolCell) r.OnBoolCell(r, b.U8(2), b.U16(0), -1, b.U8(7) != 0, false);
      } else if (r.OnStringCell) {
        text = r.ErrorText(b.U8(7));
        r.OnStringCell(r, b.U8(2), b.U16(0), -1, text, false);
      }
      return;
    case rec::kColInfo:
      if (Short(id, b, 8)) return;
      if (r.OnCol) r.OnCol(r, b.U16(0), b.U16(2), b.U16(6), b.U16(4));
      return;
    case rec::kRow: {
      if (Short(id, b, 16)) return;
      if (!r.OnRow) return;
      const int xf = (b.U16(12) & 0x0080) ? (b.U16(14) & 0x0FFF) : -1;
      const int height = (b.U16(6) & 0x8000) ? -1 : b.U16(6);
      r.OnRow(r, b.U16(0), b.U16(2), b.U16(4) - 1, xf, height);
      return;
    }
    case rec::kDimensions:
      if (r.FVersion == 6) {
        if (Short(id, b, 12)) return;
        r.FFirstRow = static_cast<int>(b.U32(0));
        r.FLastRow = static_cast<int>(b.U32(4) - 1);
        r.FFirstCol = b.U16(8);
        r.FLastCol = b.U16(10) - 1;
      } else {
        if (Short(id, b, 8)) return;
        r.FFirstRow = b.U16(0);
        r.FLastRow = b.U16(2) - 1;
        r.FFirstCol = b.U16(4);
        r.FLastCol = b.U16(6) - 1;
      }
      return;
    default: return;
  }
}

bool TXLSRead::Impl::KeepSharedFormula(const std::uint8_t* b, std::size_t len) {
  if (len < 10) return false;
  const platform::ByteView v(b, len);
  const std::uint32_t key = static_cast<std::uint32_t>(v.U16(0)) << 8 | v.U8(4);
  if (sharedFormulas.count(key)) return true;
  SharedFormula f;
  f.firstRow = v.U16(0);
  f.lastRow = v.U16(2);
  f.firstCol = v.U8(4);
  f.lastCol = v.U8(5);
  f.tokenLen = std::min<std::size_t>(v.U16(8), len - 10);
  f.bytes.assign(b + 10, b + len);
  sharedFormulas.emplace(key, std::move(f));
  return true;
}

void TXLSRead::Impl::SharedFormulaCell(int col, int row, int anchorRow, int anchorCol) {
  TXLSRead& r = self;
  const std::uint32_t key = static_cast<std::uint32_t>(anchorRow) << 8 | (anchorCol & 0xFF);
  auto it = sharedFormulas.find(key);
  if (it == sharedFormulas.end() && anchorRow == row && anchorCol == col) {
    // The first cell of a shared formula comes before its SHRFMLA record: look ahead for it.
    const std::uint64_t here = stream->Position();
    std::uint16_t id = 0, len = 0;
    if (stream->ReadHeader(id, len) && (id == rec::kShrFmla || id == rec::kShrFmla2)) {
      std::vector<std::uint8_t> next(len);
      if (stream->Read(next.data(), len) == len && KeepSharedFormula(next.data(), len))
        it = sharedFormulas.find(key);
    }
    stream->SeekTo(here);
  }
  if (it == sharedFormulas.end()) return;
  const SharedFormula& f = it->second;
  if (row < f.firstRow || row > f.lastRow || col < f.firstCol || col > f.lastCol) return;
  fctx.FuncArgSeparator = r.FuncArgSeparator;
  fctx.StrTRUE = r.StrTRUE;
  fctx.StrFALSE = r.StrFALSE;
  text2 = formula::DecodeFormula(fctx, f.bytes.data(), f.tokenLen, f.bytes.size() - f.tokenLen, col,
                                 row);
  r.OnFormulaCell(r, col, row, text2);
}

}  // namespace reader
