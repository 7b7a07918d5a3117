#include "support/WorkbookWriter.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <unordered_map>

#include "support/CompoundFileWriter.h"

namespace testbiff {

SheetData::Item& SheetData::Push(Kind k, std::uint16_t row, std::uint16_t col, std::uint16_t xf) {
  items_.push_back(Item{k, row, col, col, xf});
  return items_.back();
}

void SheetData::Number(std::uint16_t row, std::uint16_t col, double v, std::uint16_t xf) {
  Push(Kind::kNumber, row, col, xf).number = v;
}
void SheetData::Rk(std::uint16_t row, std::uint16_t col, std::uint32_t rk, std::uint16_t xf) {
  Push(Kind::kRk, row, col, xf).rks = {rk};
}
void SheetData::MulRk(std::uint16_t row, std::uint16_t firstCol,
                      const std::vector<std::uint32_t>& rks, std::uint16_t xf) {
  if (rks.size() < 2) throw std::invalid_argument("MULRK needs two cells or more");
  Item& it = Push(Kind::kMulRk, row, firstCol, xf);
  it.rks = rks;
  it.lastCol = static_cast<std::uint16_t>(firstCol + rks.size() - 1);
}
void SheetData::Text(std::uint16_t row, std::uint16_t col, std::string text, std::uint16_t xf) {
  Push(Kind::kText, row, col, xf).text = std::move(text);
}
void SheetData::Bool(std::uint16_t row, std::uint16_t col, bool v) {
  Push(Kind::kBool, row, col, kXfGeneral).code = v ? 1 : 0;
}
void SheetData::Error(std::uint16_t row, std::uint16_t col, std::uint8_t code) {
  Push(Kind::kError, row, col, kXfGeneral).code = code;
}
void SheetData::Blank(std::uint16_t row, std::uint16_t col, std::uint16_t xf) {
  Push(Kind::kBlank, row, col, xf);
}
void SheetData::MulBlank(std::uint16_t row, std::uint16_t firstCol, std::uint16_t count) {
  if (count < 2) throw std::invalid_argument("MULBLANK needs two cells or more");
  Push(Kind::kMulBlank, row, firstCol, kXfGeneral).lastCol =
      static_cast<std::uint16_t>(firstCol + count - 1);
}
void SheetData::FormulaNumber(std::uint16_t row, std::uint16_t col, double v, std::uint16_t xf) {
  Push(Kind::kFNumber, row, col, xf).number = v;
}
void SheetData::FormulaString(std::uint16_t row, std::uint16_t col, std::string text) {
  Push(Kind::kFString, row, col, kXfGeneral).text = std::move(text);
}
void SheetData::FormulaBool(std::uint16_t row, std::uint16_t col, bool v) {
  Push(Kind::kFBool, row, col, kXfGeneral).code = v ? 1 : 0;
}
void SheetData::FormulaError(std::uint16_t row, std::uint16_t col, std::uint8_t code) {
  Push(Kind::kFError, row, col, kXfGeneral).code = code;
}

SheetData& WorkbookWriter::AddSheet(std::string name) {
  sheets_.emplace_back(std::move(name));
  return sheets_.back();
}

namespace {

void WriteGlobals(RecordStream& out, const WorkbookOptions& o) {
  if (o.codepageRecord)
    out.Codepage(o.version == Biff::v8 ? 1200 : static_cast<std::uint16_t>(o.codepage));
  for (int i = 0; i < 5; ++i) out.Font("Arial");  // index 4 is never used by cells
  for (std::size_t k = 0; k < o.formats.size(); ++k)
    out.Format(static_cast<std::uint16_t>(164 + k), o.formats[k]);
  for (int i = 0; i < 15; ++i) out.Xf(0, true);
  out.Xf(0);   // 15 general
  out.Xf(14);  // 16 date
  out.Xf(46);  // 17 elapsed time, a number to the reader
  out.Xf(4);   // 18 price
  for (std::size_t k = 0; k < o.formats.size(); ++k) out.Xf(static_cast<std::uint16_t>(164 + k));
}

}  // namespace

Bytes WorkbookWriter::Stream() const {
  if (options_.version != Biff::v5 && options_.version != Biff::v8)
    throw std::invalid_argument("WorkbookWriter writes BIFF5 and BIFF8 only");
  RecordStream out(options_.version, options_.codepage);
  out.Bof(kGlobals);
  WriteGlobals(out, options_);
  std::vector<std::size_t> sheetOffsetFields;
  for (const SheetData& s : sheets_) sheetOffsetFields.push_back(out.BoundSheet(s.name()));

  // Shared strings in order of first use, across all sheets.
  std::vector<std::vector<std::uint32_t>> sstIndexes(sheets_.size());
  if (options_.version == Biff::v8) {
    std::unordered_map<std::string, std::uint32_t> index;
    std::vector<const std::string*> unique;
    std::uint32_t total = 0;
    for (std::size_t s = 0; s < sheets_.size(); ++s) {
      for (const auto& it : sheets_[s].items()) {
        if (it.kind != SheetData::Kind::kText) continue;
        ++total;
        auto [pos, added] = index.emplace(it.text, static_cast<std::uint32_t>(unique.size()));
        if (added) unique.push_back(&pos->first);
        sstIndexes[s].push_back(pos->second);
      }
    }
    if (total > 0) {
      SstWriter sst(total, static_cast<std::uint32_t>(unique.size()), options_.sstMaxBody);
      for (const std::string* t : unique) sst.Add(*t);
      sst.WriteTo(out);
    }
  }
  out.Eof();

  for (std::size_t s = 0; s < sheets_.size(); ++s) {
    out.PatchU32(sheetOffsetFields[s], static_cast<std::uint32_t>(out.Size()));
    WriteSheet(out, sheets_[s], sstIndexes[s]);
  }
  return out.Data();
}

void WorkbookWriter::WriteSheet(RecordStream& out, const SheetData& sheet,
                                const std::vector<std::uint32_t>& sst) const {
  const bool rows = options_.rowRecords;
  const bool index = options_.indexRecords && rows;
  // Items grouped by row, in row order, keeping their order within a row.
  std::map<std::uint16_t, std::vector<std::size_t>> byRow;
  std::vector<std::size_t> sstOf(sheet.items().size(), 0);
  std::size_t nextSst = 0;
  for (std::size_t i = 0; i < sheet.items().size(); ++i) {
    const auto& it = sheet.items()[i];
    byRow[it.row].push_back(i);
    if (it.kind == SheetData::Kind::kText && options_.version == Biff::v8)
      sstOf[i] = sst.at(nextSst++);
  }
  std::uint32_t firstRow = 0, lastRow = 0;
  std::uint16_t firstCol = 0, lastCol = 0;
  if (!byRow.empty()) {
    firstRow = byRow.begin()->first;
    lastRow = static_cast<std::uint32_t>(byRow.rbegin()->first) + 1;
    firstCol = 0xFFFF;
    for (const auto& it : sheet.items()) {
      firstCol = std::min(firstCol, it.col);
      lastCol = std::max<std::uint16_t>(lastCol, static_cast<std::uint16_t>(it.lastCol + 1));
    }
  }

  out.Bof(kWorksheet);
  // Blocks of rows sharing row / 32, as Excel groups them.
  std::vector<std::vector<std::uint16_t>> blocks;
  for (const auto& [r, _] : byRow) {
    if (blocks.empty() || blocks.back().front() / 32 != r / 32) blocks.emplace_back();
    blocks.back().push_back(r);
  }
  std::size_t indexAt = 0;
  if (index) indexAt = out.Index(firstRow, lastRow, std::vector<std::uint32_t>(blocks.size(), 0));
  out.Dimensions(firstRow, lastRow, firstCol, lastCol);

  for (std::size_t b = 0; b < blocks.size(); ++b) {
    std::size_t firstRowRecord = out.Size();
    if (rows) {
      for (std::uint16_t r : blocks[b]) {
        std::uint16_t c1 = 0xFFFF, c2 = 0;
        for (std::size_t i : byRow[r]) {
          c1 = std::min(c1, sheet.items()[i].col);
          c2 =
              std::max<std::uint16_t>(c2, static_cast<std::uint16_t>(sheet.items()[i].lastCol + 1));
        }
        out.Row(r, c1, c2);
      }
    }
    std::vector<std::size_t> rowStarts;
    for (std::uint16_t r : blocks[b]) {
      rowStarts.push_back(out.Size());
      for (std::size_t i : byRow[r]) {
        const auto& it = sheet.items()[i];
        using K = SheetData::Kind;
        switch (it.kind) {
          case K::kNumber: out.Number(it.row, it.col, it.xf, it.number); break;
          case K::kRk: out.Rk(it.row, it.col, it.xf, it.rks[0]); break;
          case K::kMulRk: {
            std::vector<std::pair<std::uint16_t, std::uint32_t>> cells;
            for (auto v : it.rks) cells.emplace_back(it.xf, v);
            out.MulRk(it.row, it.col, cells);
            break;
          }
          case K::kText:
            if (options_.version == Biff::v8)
              out.LabelSst(it.row, it.col, it.xf, static_cast<std::uint32_t>(sstOf[i]));
            else
              out.Label(it.row, it.col, it.xf, it.text);
            break;
          case K::kBool: out.BoolErr(it.row, it.col, it.xf, it.code, false); break;
          case K::kError: out.BoolErr(it.row, it.col, it.xf, it.code, true); break;
          case K::kBlank: out.Blank(it.row, it.col, it.xf); break;
          case K::kMulBlank:
            out.MulBlank(it.row, it.col,
                         std::vector<std::uint16_t>(it.lastCol - it.col + 1u, it.xf));
            break;
          case K::kFNumber: out.FormulaNumber(it.row, it.col, it.xf, it.number); break;
          case K::kFString:
            out.FormulaSpecial(it.row, it.col, it.xf, 0, 0);
            out.StringResult(it.text);
            break;
          case K::kFBool: out.FormulaSpecial(it.row, it.col, it.xf, 1, it.code); break;
          case K::kFError: out.FormulaSpecial(it.row, it.col, it.xf, 2, it.code); break;
        }
      }
    }
    if (index) {
      // Offsets: from the end of the first ROW record to the first cell of the first row, then
      // from each row's first cell to the next row's.
      std::vector<std::uint16_t> offsets;
      std::size_t base = firstRowRecord + 20;
      for (std::size_t start : rowStarts) {
        offsets.push_back(static_cast<std::uint16_t>(start - base));
        base = start;
      }
      std::size_t dbcellAt = out.Size();
      out.DbCell(static_cast<std::uint32_t>(dbcellAt - firstRowRecord), offsets);
      out.PatchU32(out.IndexOffsetsField(indexAt) + 4 * b, static_cast<std::uint32_t>(dbcellAt));
    }
  }
  out.Eof();
}

Bytes WorkbookWriter::File() const {
  return WriteCompoundFile({{options_.version == Biff::v8 ? "Workbook" : "Book", Stream()}});
}

}  // namespace testbiff
