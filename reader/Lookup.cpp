// GetCellValue: single-cell lookup by position on a file left open by Open.
//
// A lookup replays one pass over the workbook globals (sheet offsets, shared strings) and then
// reads the wanted sheet. Both are expensive for a large workbook and the import asks for two
// cells of every row, so the pass over the globals is made once per Open and the sheet's cell
// positions once per sheet; every answer, error and final stream position stays what a fresh
// pass from the same starting position gives.
//
// The sheet's INDEX, DBCELL and ROW records are used when they agree with the cell records.
// Files written by other programs often carry index records that are missing, short or point
// at the wrong row; the lookup then goes by the cell records themselves.
#include <algorithm>

#include "reader/Impl.h"

namespace reader {

using detail::F64;
using detail::GlobalsPass;
using detail::SheetDirectory;
using detail::U16;
using detail::U32;

TXLSRead::Impl::~Impl() = default;

namespace {

bool IsCellRecord(std::uint16_t id, int version) {
  switch (id) {
    case 0x0006:
    case 0x007E:
    case 0x00BD:
    case 0x00D6:
    case 0x00FD:
    case 0x0203:
    case 0x0204:
    case 0x0206:
    case 0x027E:
    case 0x0406: return true;
    case 0x0002:
    case 0x0003:
    case 0x0004: return version < 4;  // BIFF2 cell records, found in BIFF2-BIFF4 files
    default: return false;
  }
}

// Columns a cell record covers; false when it is too short to say.
bool CellColumns(std::uint16_t id, const std::uint8_t* b, std::size_t len, int& c1, int& c2) {
  if (len < 4) return false;
  c1 = c2 = U16(b + 2);
  if (id == 0x00BD) {
    if (len < 6) return false;
    c2 = c1 + static_cast<int>((len - 6) / 6) - 1;
  }
  return true;
}

// Rows arrive mostly in order: grow by doubling instead of one row at a time.
void GrowRows(std::vector<SheetDirectory::Row>& rows, std::size_t row) {
  rows.resize(std::max(row + 1, std::min<std::size_t>(rows.size() * 2 + 64, 0x10000)));
}

}  // namespace

// One pass over the workbook globals from the current position up to their EOF.
static std::unique_ptr<GlobalsPass> PassGlobals(detail::RecordStream& s, int version,
                                                int maxRecordSize, int codepage) {
  auto g = std::make_unique<GlobalsPass>();
  g->start = s.Position();
  g->version = version;
  g->maxRecordSize = maxRecordSize;
  g->codepage = codepage;
  g->effectiveVersion = version;
  g->effectiveMaxRecordSize = maxRecordSize;
  std::uint8_t head[8];
  for (;;) {
    std::uint16_t id = 0, len = 0;
    if (!s.ReadHeader(id, len)) {
      g->events.push_back({GlobalsPass::Event::End, s.Position(), 0, 0, {}});
      return g;
    }
    if ((id & 0xFF) == 0x09 && len >= 2 && len <= maxRecordSize) {
      s.Read(head, 2);
      s.SeekBy(len - 2);
      if (U16(head) == 0x0600) {
        g->effectiveVersion = 6;
        maxRecordSize = g->effectiveMaxRecordSize = 8224;
      }
    } else if (id == 0x0085) {
      // A BOUNDSHEET body longer than the buffer keeps the offset of nothing: take it as 0.
      std::uint32_t offset = 0;
      if (len <= maxRecordSize && len >= 4) {
        s.Read(head, 4);
        offset = U32(head);
        s.SeekBy(len - 4);
      } else {
        s.SeekBy(len);
      }
      g->events.push_back({GlobalsPass::Event::Sheet, s.Position(), offset, 0, {}});
    } else if (id == 0x00FC) {
      try {
        detail::ReadSharedStrings(s, len, codepage, g->sst);
      } catch (const std::exception& e) {
        g->events.push_back({GlobalsPass::Event::Sst, s.Position(), 0, g->sst.Count(), e.what()});
        return g;  // no lookup from this start gets past this point
      }
      g->events.push_back({GlobalsPass::Event::Sst, s.Position(), 0, g->sst.Count(), {}});
    } else if (id == 0x000A) {
      g->events.push_back({GlobalsPass::Event::Eof, s.Position(), 0, 0, {}});
      g->globalsEnd = s.Position();
      return g;
    } else if (id == 0x0042 && len >= 2 && len <= maxRecordSize) {
      s.Read(head, 2);
      const int cp = U16(head);
      g->byteText.SetCodepage(cp == 1200 || cp == 32769 ? 1252 : cp);
      s.SeekBy(len - 2);
    } else {
      s.SeekBy(len);
    }
  }
}

// Pass over one sheet from `start` to its first EOF, noting where each row's cells lie, then
// check the sheet's index against them.
static std::unique_ptr<SheetDirectory> PassSheet(detail::RecordStream& s, std::uint64_t start,
                                                 int version, int maxRecordSize, bool readIndex) {
  auto d = std::make_unique<SheetDirectory>();
  d->start = start;
  d->version = version;
  d->maxRecordSize = maxRecordSize;
  s.SeekTo(start);
  std::vector<std::uint8_t> body(static_cast<std::size_t>(maxRecordSize));
  std::vector<std::uint64_t> dbcells;
  bool first = true;
  std::vector<std::uint32_t> indexOffsets;
  bool haveIndex = false;
  for (;;) {
    const std::uint64_t at = s.Position();
    std::uint16_t id = 0, len = 0;
    if (!s.ReadHeader(id, len) || id == 0x000A) break;
    if (first && readIndex && id == 0x020B && len <= maxRecordSize) {
      if (s.Read(body.data(), len) != len) break;
      const std::size_t fixed = version == 6 ? 16 : 12;
      if (len >= fixed) {
        haveIndex = true;
        if (version == 6) {
          d->indexFirstRow = U32(&body[4]);
          d->indexLastRow = static_cast<long long>(U32(&body[8])) - 1;
        } else {
          d->indexFirstRow = U16(&body[4]);
          d->indexLastRow = static_cast<long long>(U16(&body[6])) - 1;
        }
        for (std::size_t k = fixed; k + 4 <= len; k += 4) indexOffsets.push_back(U32(&body[k]));
      }
      first = false;
      continue;
    }
    first = false;
    if (id == 0x00D7) dbcells.push_back(at);
    if (IsCellRecord(id, version) && len <= maxRecordSize && len >= 4) {
      if (s.Read(body.data(), 4) != 4) break;
      int c1 = 0, c2 = 0;
      const std::uint16_t row = U16(&body[0]);
      std::uint8_t more[2] = {0, 0};
      if (id == 0x00BD) {
        if (len < 6) {
          s.SeekBy(len - 4);
          continue;
        }
        // The last column sits in the record's last two bytes.
        s.SeekBy(len - 6);
        s.Read(more, 2);
        c1 = U16(&body[2]);
        c2 = c1 + static_cast<int>((len - 6) / 6) - 1;
      } else {
        c1 = c2 = U16(&body[2]);
        s.SeekBy(len - 4);
      }
      if (c2 < c1) continue;
      if (d->rows.size() <= row) GrowRows(d->rows, row);
      auto& r = d->rows[row];
      if (r.first == SheetDirectory::kNone) r.first = at;
      r.last = at;
      r.minCol = static_cast<std::uint16_t>(std::min<int>(r.minCol, c1));
      r.maxCol = static_cast<std::uint16_t>(std::max<int>(r.maxCol, std::min(c2, 0xFFFF)));
    } else {
      s.SeekBy(len);
    }
  }
  if (!haveIndex) return d;

  // Follow INDEX -> DBCELL -> ROW as a lookup would, and keep what it says about each row.
  bool holds = true;
  std::size_t rowRecords = 0;
  std::vector<bool> seenRow;
  for (std::uint32_t off : indexOffsets) {
    s.SeekTo(off);
    std::uint16_t id = 0, len = 0;
    if (!s.ReadHeader(id, len) || id != 0x00D7 || len < 4 || len > maxRecordSize ||
        s.Read(body.data(), len) != len || U32(&body[0]) > off) {
      holds = false;
      break;
    }
    const std::size_t count = (len - 4) / 2;
    std::vector<std::int16_t> offsets(count);
    for (std::size_t j = 0; j < count; ++j)
      offsets[j] = static_cast<std::int16_t>(U16(&body[4 + 2 * j]));
    s.SeekTo(off - U32(&body[0]));
    std::uint64_t base = SheetDirectory::kNone;
    for (std::int16_t j : offsets) {
      if (++rowRecords > 4 * 65536 || !s.ReadHeader(id, len) || id != 0x0208 || len < 6 ||
          len > maxRecordSize || s.Read(body.data(), len) != len) {
        holds = false;
        break;
      }
      if (base == SheetDirectory::kNone) base = s.Position();
      if (j < 0 && static_cast<std::uint64_t>(-j) > base) {
        holds = false;
        break;
      }
      base += static_cast<std::uint64_t>(static_cast<std::int64_t>(j));
      const std::uint16_t row = U16(&body[0]);
      if (seenRow.size() <= row) seenRow.resize(static_cast<std::size_t>(row) + 1, false);
      if (seenRow[row]) {
        holds = false;  // two ROW records for one row: only a scan answers like the cells
        break;
      }
      seenRow[row] = true;
      if (d->rows.size() <= row) GrowRows(d->rows, row);
      auto& r = d->rows[row];
      r.indexBase = base;
      r.indexCol1 = U16(&body[2]);
      r.indexColEnd = U16(&body[4]);
    }
    if (!holds) break;
  }
  // The index holds when it leads to the first cell record of every row that has cells, covers
  // its columns, and no DBCELL cuts a row's cells apart.
  if (holds) {
    for (std::size_t row = 0; row < d->rows.size() && holds; ++row) {
      const auto& r = d->rows[row];
      if (r.first == SheetDirectory::kNone) continue;
      if (static_cast<long long>(row) < d->indexFirstRow ||
          static_cast<long long>(row) > d->indexLastRow || r.indexBase != r.first ||
          r.minCol < r.indexCol1 || r.maxCol >= r.indexColEnd)
        holds = false;
      auto it = std::upper_bound(dbcells.begin(), dbcells.end(), r.first);
      if (it != dbcells.end() && *it < r.last) holds = false;
    }
  }
  d->indexHolds = holds;
  return d;
}

// The stream position of the BOF of substream k after the globals, or kNone.
static std::uint64_t FindSubstream(detail::RecordStream& s, std::uint64_t globalsEnd, int k) {
  if (globalsEnd == 0 || k < 0) return SheetDirectory::kNone;
  s.SeekTo(globalsEnd);
  for (int i = 0;; ++i) {
    const std::uint64_t at = s.Position();
    std::uint16_t id = 0, len = 0;
    if (!s.ReadHeader(id, len) || (id & 0xFF) != 0x09) return SheetDirectory::kNone;
    if (i == k) return at;
    s.SeekBy(len);
    // Pass over the substream, with the charts it may hold.
    int depth = 0;
    for (;;) {
      if (!s.ReadHeader(id, len)) return SheetDirectory::kNone;
      s.SeekBy(len);
      if ((id & 0xFF) == 0x09) {
        ++depth;
      } else if (id == 0x000A) {
        if (depth == 0) break;
        --depth;
      }
    }
  }
}

bool TXLSRead::GetCellValue(int SheetIndex, int Col, int Row, TCellValue& Value) {
  if (!FImpl->stream) throw EXLSError("File is not open");
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

  // A single worksheet in a plain file has no sheet list to pass: read it like BIFF2-BIFF4.
  if (version >= 4 && !plainWorksheet) {
    if (!globals || globals->start != here || globals->version != version ||
        globals->maxRecordSize != mrs || globals->codepage != r.FCodepage)
      globals = PassGlobals(s, version, mrs, r.FCodepage);
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
        if (!ev.error.empty()) {
          s.SeekTo(ev.position);
          throw EXLSError(ev.error);
        }
        sstRead = true;
        available = ev.strings;
        if (seen) decided = true;
      } else if (ev.kind == E::Eof) {
        if (seen) {
          decided = true;
        } else {
          s.SeekTo(ev.position);
          throw EXLSError("Can not find the sheet");
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
      if (!s.ReadHeader(id, len) || (id & 0xFF) != 0x09) {
        // Some writers store a wrong offset: the sheets' substreams follow the globals in the
        // order of the sheet list, so count them from there.
        const std::uint64_t found = FindSubstream(s, globals->globalsEnd, sheetIndex);
        if (found == SheetDirectory::kNone) throw EXLSError("File has no data");
        s.SeekTo(found);
        s.ReadHeader(id, len);
        offset = static_cast<std::uint32_t>(found);
      }
      sheetStart = offset + 4 + static_cast<std::uint64_t>(len);
      sheetDir = PassSheet(s, sheetStart, version, mrs, true);
      sheetDir->sheetOffset = listed;
    }
  } else {
    sheetStart = here;
  }

  if (!sheetDir || sheetDir->start != sheetStart || sheetDir->version != version ||
      sheetDir->maxRecordSize != mrs)
    sheetDir = PassSheet(s, sheetStart, version, mrs, version >= 4 && !plainWorksheet);
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
      if (!s.ReadHeader(id, len) || id == 0x000A || (viaIndex && id == 0x00D7)) break;
      if (!IsCellRecord(id, version) || len > mrs) {
        s.SeekBy(len);
        continue;
      }
      if (s.Read(b, len) != len) break;
      int c1 = 0, c2 = 0;
      if (!CellColumns(id, b, len, c1, c2) || U16(b) != row || col < c1 || col > c2) continue;
      // A match: take its value.
      switch (id) {
        case 0x0203:
          if (len < 14) continue;
          value = F64(b + 6);
          break;
        case 0x007E:
        case 0x027E:
          if (len < 10) continue;
          value = DecodeRK(U32(b + 6));
          break;
        case 0x00BD: value = DecodeRK(U32(b + 6 + 6 * static_cast<std::size_t>(col - c1))); break;
        case 0x0204:
        case 0x00D6: {
          if (len < 8) detail::RecordTooShort(id, len);
          const detail::ByteText saved = byteText;
          byteText = *text8;
          try {
            RecordText(text, b, len, 8, U16(b + 6), id);
          } catch (...) {
            byteText = saved;
            throw;
          }
          byteText = saved;
          value = text;
          break;
        }
        case 0x00FD: {
          if (len < 10) detail::RecordTooShort(id, len);
          const std::uint32_t i = U32(b + 6);
          if (!strings || i >= available) throw EXLSError(detail::ListIndexError(i));
          value = std::string(strings->Get(i));
          break;
        }
        case 0x0002:
          if (len < 9) continue;
          value = static_cast<double>(U16(b + 7));
          break;
        case 0x0003:
          if (len < 15) continue;
          value = F64(b + 7);
          break;
        case 0x0004: {
          if (len < 8) detail::RecordTooShort(id, len);
          const detail::ByteText saved = byteText;
          byteText = *text8;
          try {
            RecordText(text, b, len, 8, b[7], id);
          } catch (...) {
            byteText = saved;
            throw;
          }
          byteText = saved;
          value = text;
          break;
        }
        default: {  // FORMULA: the cached result
          const std::size_t at6 = (id == 0x0006 && version == 1) ? 7 : 6;
          if (len < at6 + 8) continue;
          const std::uint8_t* res = b + at6;
          if (res[6] == 0xFF && res[7] == 0xFF) {
            switch (res[0]) {
              case 0: {
                std::string result;
                std::uint16_t sid = 0, slen = 0;
                bool got = s.ReadHeader(sid, slen);
                // A shared, array or table formula record may stand between the cell and its
                // STRING.
                if (got && (sid == 0x04BC || sid == 0x00BC || sid == 0x0221 || sid == 0x0236)) {
                  s.SeekBy(slen);
                  got = s.ReadHeader(sid, slen);
                }
                if (got && (sid == 0x0207 || (sid == 0x0007 && version == 1)) && slen <= mrs &&
                    s.Read(b, slen) == slen) {
                  const detail::ByteText saved = byteText;
                  byteText = *text8;
                  try {
                    const std::size_t count = slen >= 2 ? U16(b) : 0;
                    if (sid == 0x0207 && r.FBookVersion == 6 && slen >= 3 &&
                        3 + (b[2] != 0 ? 2 : 1) * count > slen)
                      LongStringResult(s, b, static_cast<std::size_t>(mrs), result, slen, count);
                    else if (sid == 0x0207 && slen >= 2)
                      RecordText(result, b, slen, 2, count, sid);
                    else if (sid == 0x0007 && slen >= 1)
                      RecordText(result, b, slen, 1, b[0], sid);
                  } catch (...) {
                    byteText = saved;
                    throw;
                  }
                  byteText = saved;
                }
                value = std::move(result);
                break;
              }
              case 1: value = r.BoolText(res[2]); break;
              case 2: value = r.ErrorText(res[2]); break;
              default: value = std::string(); break;
            }
          } else {
            value = F64(res);
          }
          break;
        }
      }
      found = true;
      break;
    }
  }
  s.SeekTo(0);
  return found;
}

}  // namespace reader
