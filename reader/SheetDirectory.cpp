// The lookup's directory of one sheet: where each row's cell records lie, from one pass over
// the sheet, and whether the sheet's INDEX, DBCELL and ROW records agree with them.
//
// Files written by other programs often carry index records that are missing, short or point
// at the wrong row; the index is used only when it leads to every row's first cell record.
// Record bodies are read into a buffer of the generation's maximum record size, and no field
// is taken before the record's length is checked to hold it.
#include <algorithm>

#include "platform/ByteView.h"
#include "reader/CellRecord.h"
#include "reader/LookupPasses.h"
#include "reader/RecordIds.h"

namespace reader::detail {

using platform::LoadU16;
using platform::LoadU32;

namespace {

// Rows arrive mostly in order: grow by doubling instead of one row at a time.
void GrowRows(std::vector<SheetDirectory::Row>& rows, std::size_t row) {
  rows.resize(std::max(row + 1, std::min<std::size_t>(rows.size() * 2 + 64, 0x10000)));
}

}  // namespace

// Pass over one sheet from `start` to its first EOF, noting where each row's cells lie, then
// check the sheet's index against them.
std::unique_ptr<SheetDirectory> PassSheet(RecordStream& s, std::uint64_t start, int version,
                                          int maxRecordSize, bool readIndex) {
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
    if (!s.ReadHeader(id, len) || id == rec::kEof) break;
    if (first && readIndex && id == rec::kIndex && len <= maxRecordSize) {
      if (s.Read(body.data(), len) != len) break;
      const std::size_t fixed = version == 6 ? 16 : 12;
      if (len >= fixed) {
        haveIndex = true;
        if (version == 6) {
          d->indexFirstRow = LoadU32(&body[4]);
          d->indexLastRow = static_cast<long long>(LoadU32(&body[8])) - 1;
        } else {
          d->indexFirstRow = LoadU16(&body[4]);
          d->indexLastRow = static_cast<long long>(LoadU16(&body[6])) - 1;
        }
        for (std::size_t k = fixed; k + 4 <= len; k += 4) indexOffsets.push_back(LoadU32(&body[k]));
      }
      first = false;
      continue;
    }
    first = false;
    // Only a sheet that starts with an index needs its DBCELL positions.
    if (id == rec::kDbCell && haveIndex) dbcells.push_back(at);
    if (LookupTakesValue(id, version) && len <= maxRecordSize && len >= 4) {
      if (s.Read(body.data(), 4) != 4) break;
      s.SeekBy(len - 4);
      int row = 0, c1 = 0, c2 = 0;
      if (!CellPosition(id, platform::ByteView(body.data(), 4), len, version, row, c1, c2))
        continue;
      if (c2 < c1) continue;
      const auto atRow = static_cast<std::size_t>(row);
      if (d->rows.size() <= atRow) GrowRows(d->rows, atRow);
      auto& r = d->rows[atRow];
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
    if (!s.ReadHeader(id, len) || id != rec::kDbCell || len < 4 || len > maxRecordSize ||
        s.Read(body.data(), len) != len || LoadU32(&body[0]) > off) {
      holds = false;
      break;
    }
    const std::size_t count = (len - 4) / 2;
    std::vector<std::int16_t> offsets(count);
    for (std::size_t j = 0; j < count; ++j)
      offsets[j] = static_cast<std::int16_t>(LoadU16(&body[4 + 2 * j]));
    s.SeekTo(off - LoadU32(&body[0]));
    std::uint64_t base = SheetDirectory::kNone;
    for (std::int16_t j : offsets) {
      if (++rowRecords > 4 * 65536 || !s.ReadHeader(id, len) || id != rec::kRow || len < 6 ||
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
      const std::uint16_t row = LoadU16(&body[0]);
      if (seenRow.size() <= row) seenRow.resize(static_cast<std::size_t>(row) + 1, false);
      if (seenRow[row]) {
        holds = false;  // two ROW records for one row: only a scan answers like the cells
        break;
      }
      seenRow[row] = true;
      if (d->rows.size() <= row) GrowRows(d->rows, row);
      auto& r = d->rows[row];
      r.indexBase = base;
      r.indexCol1 = LoadU16(&body[2]);
      r.indexColEnd = LoadU16(&body[4]);
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
std::uint64_t FindSubstream(RecordStream& s, std::uint64_t globalsEnd, int k) {
  if (globalsEnd == 0 || k < 0) return SheetDirectory::kNone;
  s.SeekTo(globalsEnd);
  for (int i = 0;; ++i) {
    const std::uint64_t at = s.Position();
    std::uint16_t id = 0, len = 0;
    if (!s.ReadHeader(id, len) || !rec::IsBof(id)) return SheetDirectory::kNone;
    if (i == k) return at;
    s.SeekBy(len);
    // Pass over the substream, with the charts it may hold.
    if (!SkipToSubstreamEnd(s)) return SheetDirectory::kNone;
  }
}

bool SkipToSubstreamEnd(RecordStream& s) {
  int depth = 0;
  for (;;) {
    std::uint16_t id = 0, len = 0;
    if (!s.ReadHeader(id, len)) return false;
    s.SeekBy(len);
    if (rec::IsBof(id)) {
      ++depth;
    } else if (id == rec::kEof) {
      if (depth == 0) return true;
      --depth;
    }
  }
}

}  // namespace reader::detail
