// GetCellValue: single-cell lookup by position on a file left open by Open.
//
// A lookup replays one pass over the workbook globals (sheet offsets, shared strings) and then
// reads the wanted sheet. Both are expensive for a large workbook and the import asks for two
// cells of every row, so the pass over the globals is made once per Open (GlobalsPass.cpp) and
// the sheet's cell positions once per sheet (SheetDirectory.cpp); every answer, error and final
// stream position stays what a fresh pass from the same starting position gives.
#include "reader/Impl.h"
#include "reader/Messages.h"

namespace reader {

using detail::GlobalsPass;
using detail::SheetDirectory;
using detail::ValueCell;

TXLSRead::Impl::~Impl() = default;

// The string result of a formula whose record was just read: its STRING record follows, with
// perhaps the record of a shared, array or table formula in between. A missing or unreadable
// STRING gives an empty text, as a lookup answers for the cell without raising.
std::string TXLSRead::Impl::FormulaStringResult(int version, int mrs,
                                                const detail::ByteText& text8) {
  detail::RecordStream& s = *stream;
  std::string result;
  std::uint16_t sid = 0, slen = 0;
  bool got = s.ReadHeader(sid, slen);
  if (got && detail::StandsBeforeStringResult(sid)) {
    s.SeekBy(slen);
    got = s.ReadHeader(sid, slen);
  }
  const bool string = got && (sid == rec::kString || (sid == rec::kString2 && version == 1));
  if (string && slen <= mrs && s.Read(buf.data(), slen) == slen &&
      slen >= (sid == rec::kString ? 2 : 1) &&
      !StringResultText(s, sid, buf.data(), static_cast<std::size_t>(mrs), slen, text8, result))
    RaiseFault();
  return result;
}

bool TXLSRead::GetCellValue(int SheetIndex, int Col, int Row, TCellValue& Value) {
  if (!FImpl->stream) throw EXLSError(msg::kFileNotOpen);
  // Past the encryption record every cell would be read from ciphertext.
  if (IsEncrypted()) throw EXLSError(detail::kEncryptedMessage);
  return FImpl->Lookup(SheetIndex, Col, Row, Value);
}

bool TXLSRead::Impl::Lookup(int sheetIndex, int col, int row, TCellValue& value) {
  TXLSRead& r = self;
  detail::RecordStream& s = *stream;
  int version = r.FVersion;
  int mrs = r.FMaxRecordSize;
  const std::uint64_t here = s.Position();
  const detail::SharedStrings* strings = nullptr;
  std::size_t available = 0;
  const detail::ByteText* text8 = &byteText;
  std::uint64_t sheetStart = 0;

  // A single worksheet in a plain file has no sheet list to pass: read it like BIFF2-BIFF4. A
  // BIFF4 workbook lists its sheets as BIFF5 and later do.
  if ((version >= 4 && !plainWorksheet) || workbook4) {
    if (!globals || globals->start != here || globals->version != version ||
        globals->maxRecordSize != mrs || globals->codepage != r.FCodepage)
      globals = detail::PassGlobals(s, version, mrs, r.FCodepage, workbook4);
    version = globals->effectiveVersion;
    mrs = globals->effectiveMaxRecordSize;
    // Replay the decisions of a pass that looks for this sheet.
    long long toPass = sheetIndex;
    bool seen = false, sstRead = false, decided = false;
    std::uint32_t offset = 0;
    for (const auto& ev : globals->events) {
      using E = GlobalsPass::Event;
      if (ev.kind == E::Sheet) {
        if (toPass >= 0 && --toPass < 0) {
          seen = true;
          offset = ev.offset;
          if (version < 6 || sstRead) decided = true;
        }
      } else if (ev.kind == E::Sst) {
        if (ev.failed) {
          s.SeekTo(ev.position);
          throw EXLSError(globals->error);
        }
        sstRead = true;
        available = static_cast<std::size_t>(ev.strings);
        if (seen) decided = true;
      } else if (ev.kind == E::Eof) {
        if (seen) {
          decided = true;
        } else {
          s.SeekTo(ev.position);
          throw EXLSError(msg::kSheetNotFound);
        }
      } else {
        s.SeekTo(0);
        return false;
      }
      if (decided) break;
    }
    if (!decided) {
      s.SeekTo(0);
      return false;
    }
    strings = &globals->sst;
    text8 = &globals->byteText;
    if (sheetDir && sheetDir->sheetOffset == offset && sheetDir->version == version &&
        sheetDir->maxRecordSize == mrs) {
      sheetStart = sheetDir->start;  // its BOF was checked when the sheet was first read
    } else {
      // The sheet must start with a BOF record.
      const std::uint32_t listed = offset;
      s.SeekTo(offset);
      std::uint16_t id = 0, len = 0;
      if (!s.ReadHeader(id, len) || !rec::IsBof(id)) {
        // Some writers store a wrong offset: the sheets' substreams follow the globals in the
        // order of the sheet list, so count them from there.
        const std::uint64_t found = detail::FindSubstream(s, globals->globalsEnd, sheetIndex);
        if (found == SheetDirectory::kNone) throw EXLSError(msg::kNoData);
        s.SeekTo(found);
        s.ReadHeader(id, len);
        offset = static_cast<std::uint32_t>(found);
      }
      sheetStart = offset + 4 + static_cast<std::uint64_t>(len);
      sheetDir = detail::PassSheet(s, sheetStart, version, mrs, version >= 4);
      sheetDir->sheetOffset = listed;
    }
  } else {
    sheetStart = here;
  }

  if (!sheetDir || sheetDir->start != sheetStart || sheetDir->version != version ||
      sheetDir->maxRecordSize != mrs)
    sheetDir = detail::PassSheet(s, sheetStart, version, mrs, version >= 4 && !plainWorksheet);
  const SheetDirectory& d = *sheetDir;

  // Where to read: from the row's first cell record, as far as its last one (or, through the
  // index, to the end of the row's block).
  std::uint64_t from = SheetDirectory::kNone, to = 0;
  bool viaIndex = false;
  if (row >= 0 && static_cast<std::size_t>(row) < d.rows.size()) {
    const auto& e = d.rows[static_cast<std::size_t>(row)];
    if (d.indexHolds) {
      if (row >= d.indexFirstRow && row <= d.indexLastRow && e.indexBase != SheetDirectory::kNone &&
          col >= e.indexCol1 && col < e.indexColEnd) {
        from = e.indexBase;
        viaIndex = true;
      }
    } else if (e.first != SheetDirectory::kNone) {
      from = e.first;
      to = e.last;
    }
  }
  bool found = false;
  if (from != SheetDirectory::kNone) {
    s.SeekTo(from);
    if (buf.size() < static_cast<std::size_t>(mrs)) buf.assign(static_cast<std::size_t>(mrs), 0);
    std::uint8_t* b = buf.data();
    for (;;) {
      const std::uint64_t at = s.Position();
      if (!viaIndex && at > to) break;
      std::uint16_t id = 0, len = 0;
      if (!s.ReadHeader(id, len) || id == rec::kEof || (viaIndex && id == rec::kDbCell)) break;
      if (!detail::LookupTakesValue(id, version) || len > mrs) {
        s.SeekBy(len);
        continue;
      }
      if (s.Read(b, len) != len) break;
      const platform::ByteView body = detail::RecordBody(id, b, len);
      int cellRow = 0, c1 = 0, c2 = 0;
      if (!detail::CellPosition(id, body, len, version, cellRow, c1, c2) || cellRow != row ||
          col < c1 || col > c2)
        continue;
      // A match: take its value.
      if (id == rec::kMulRk) {
        value = DecodeRK(detail::MulRkValue(body, static_cast<std::size_t>(col - c1)));
        found = true;
        break;
      }
      ValueCell cell;
      if (!detail::DecodeValueCell(id, body, version, cell)) {
        // A text record too short for its fixed part is an error, as in the record walk; a
        // short number or formula is passed over as holding no value.
        if (cell.kind == ValueCell::Text || cell.kind == ValueCell::SharedString)
          detail::RecordTooShort(id, len);
        continue;
      }
      switch (cell.kind) {
        case ValueCell::Number: value = cell.number; break;
        case ValueCell::Text:
          if (!RecordText(text, *text8, body, cell.textAt, cell.textCount, id)) RaiseFault();
          value = text;
          break;
        case ValueCell::SharedString:
          if (!strings || cell.index >= available)
            throw EXLSError(detail::ListIndexError(cell.index));
          value = std::string(strings->Get(cell.index));
          break;
        case ValueCell::Formula:  // the cached result
          if (!cell.nonNumeric) {
            value = cell.number;
          } else if (cell.resultType == 0) {
            value = FormulaStringResult(version, mrs, *text8);
          } else if (cell.resultType == 1) {
            value = r.BoolText(cell.resultValue);
          } else if (cell.resultType == 2) {
            value = r.ErrorText(cell.resultValue);
          } else {
            value = std::string();
          }
          break;
      }
      found = true;
      break;
    }
  }
  s.SeekTo(0);
  return found;
}

}  // namespace reader
