#pragma once
// Hostile workbooks, each made of n units of one kind of record: what the reader's cost tests
// read at two sizes and what the hostile benchmark writes at the sizes of real attacks.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "BookBuilder.h"
#include "platform/cfb/Layout.h"

namespace testbiff::hostile {

inline Bytes Book(const RecordsFn& globals, const std::vector<HandSheet>& sheets) {
  return Biff8Book(globals, sheets);
}

inline HandSheet OneCellSheet(std::string name) {
  return {std::move(name), [](RecordStream& s) { s.Number(0, 0, 15, 1.0); }};
}

// ---- the hostile workbooks, each made of n units ---------------------------------------------

// `sheets` worksheets, `formats` FORMAT records and as many XFs naming them: every BOF
// renumbers the XFs.
inline Bytes SheetsOverFormats(std::size_t sheets, std::size_t formats) {
  std::vector<HandSheet> list;
  for (std::size_t k = 0; k < sheets; ++k) list.push_back(OneCellSheet("S" + std::to_string(k)));
  return Book(
      [formats](RecordStream& s) {
        for (std::size_t k = 0; k < formats; ++k)
          s.Format(static_cast<std::uint16_t>(164 + k), "0.0" + std::to_string(k % 10));
        StandardXfs(s);
        for (std::size_t k = 0; k < formats; ++k) s.Xf(static_cast<std::uint16_t>(164 + k));
      },
      list);
}
inline Bytes SheetsTimesFormats(std::size_t n) {
  return SheetsOverFormats(n, n);
}

// n worksheets; sheet k holds one number cell asking for XF k, then what `more` adds.
inline std::vector<HandSheet> CellPerSheet(
    std::size_t n, const std::function<void(RecordStream&, std::size_t)>& more = {}) {
  std::vector<HandSheet> sheets;
  for (std::size_t k = 0; k < n; ++k)
    sheets.push_back({"S" + std::to_string(k), [k, more](RecordStream& s) {
                        s.Number(0, 0, static_cast<std::uint16_t>(18 + k), 1.0);
                        if (more) more(s, k);
                      }});
  return sheets;
}

// n XFs over FORMAT numbers that swap at every BOF (50 and 51, through 49).
inline void SwappingFormats(RecordStream& s, std::size_t n) {
  s.Format(50, "0.0");
  s.Format(51, "dd.mm.yyyy");
  s.Format(49, "0.00");
  StandardXfs(s);
  for (std::size_t k = 0; k < n; ++k) s.Xf(k % 2 ? 51 : 50);
}

// `sheets` worksheets over `xfs` XFs of swapping formats: every BOF changes every XF.
inline Bytes SheetsOverSwappingFormats(std::size_t sheets, std::size_t xfs) {
  return Book([xfs](RecordStream& s) { SwappingFormats(s, xfs); }, CellPerSheet(sheets));
}
inline Bytes CyclingFormats(std::size_t n) {
  return SheetsOverSwappingFormats(n, n);
}

// As CyclingFormats, and each sheet adds a FORMAT record: every BOF meets a new FORMAT table.
inline Bytes FormatInEverySheet(std::size_t n) {
  return Book([n](RecordStream& s) { SwappingFormats(s, n); },
              CellPerSheet(n, [](RecordStream& s, std::size_t k) {
                s.Format(static_cast<std::uint16_t>(300 + k), "0.0");
              }));
}

// FORMAT k numbered 50 + k: each BOF moves every XF one step down a chain n long, and the
// cell of sheet k asks for XF k when it is k steps down.
inline Bytes ChainedFormats(std::size_t n) {
  return Book(
      [n](RecordStream& s) {
        for (std::size_t k = 0; k < n; ++k) s.Format(static_cast<std::uint16_t>(50 + k), "0");
        StandardXfs(s);
        for (std::size_t k = 0; k < n; ++k) s.Xf(static_cast<std::uint16_t>(49 + n));
      },
      CellPerSheet(n));
}

// n shared-string tables of one string each, its characters split into a CONTINUE record.
inline Bytes ManySstRecords(std::size_t n) {
  return Book(
      [n](RecordStream& s) {
        StandardXfs(s);
        for (std::size_t k = 0; k < n; ++k) {
          s.Add(rec::kSst, Body().U32(1).U32(1).U16(6).U8(0).Raw("abc"));
          s.Add(rec::kContinue, Body().U8(0).Raw("def"));
        }
      },
      {{"S", [](RecordStream& s) { s.LabelSst(0, 0, 15, 0); }}});
}

// n shared-string tables whose one string has option flags the reader cannot take: n errors.
inline Bytes FaultySstRecords(std::size_t n) {
  return Book(
      [n](RecordStream& s) {
        StandardXfs(s);
        for (std::size_t k = 0; k < n; ++k)
          s.Add(rec::kSst, Body().U32(1).U32(1).U16(1).U8(0x02).Raw("a"));
      },
      {OneCellSheet("S")});
}

// One table of n empty strings.
inline Bytes EmptyStrings(std::size_t n) {
  return Book(
      [n](RecordStream& s) {
        StandardXfs(s);
        SstWriter w(static_cast<std::uint32_t>(n), static_cast<std::uint32_t>(n));
        for (std::size_t k = 0; k < n; ++k) w.Add("");
        w.WriteTo(s);
      },
      {{"S", [](RecordStream& s) { s.LabelSst(0, 0, 15, 0); }}});
}

// n records of one workbook table, far more than its 16-bit indexes can name.
inline Bytes TableRecords(std::size_t n,
                          const std::function<void(RecordStream&, std::size_t)>& one) {
  return Book(
      [n, one](RecordStream& s) {
        StandardXfs(s);
        for (std::size_t k = 0; k < n; ++k) one(s, k);
      },
      {OneCellSheet("S")});
}

inline Bytes BoundSheets(std::size_t n) {
  return TableRecords(n, [](RecordStream& s, std::size_t k) {
    s.BoundSheet("B" + std::to_string(k % 1000), 0, 0);
  });
}
inline Bytes Formats(std::size_t n) {
  return TableRecords(n, [](RecordStream& s, std::size_t k) {
    s.Format(static_cast<std::uint16_t>(164 + k % 60000), "0.00");
  });
}
inline Bytes Names(std::size_t n) {
  return TableRecords(n, [](RecordStream& s, std::size_t) {
    s.Add(rec::kName, Body().U16(0).U8(0).U8(3).U16(0).U16(0).U16(0).Zeros(4).U8(0).Raw("Nom"));
  });
}
inline Bytes Fonts(std::size_t n) {
  return TableRecords(n, [](RecordStream& s, std::size_t) { s.Font("Arial"); });
}
inline Bytes Xfs(std::size_t n) {
  return TableRecords(n, [](RecordStream& s, std::size_t) { s.Xf(0); });
}

// BOUNDSHEET records of 4 bytes, too short for a name: n record errors.
inline Bytes ShortBoundSheets(std::size_t n) {
  return TableRecords(n,
                      [](RecordStream& s, std::size_t) { s.Add(rec::kBoundSheet, Body().U32(0)); });
}

// NUMBER records of 4 bytes, too short for a cell: n record errors in a sheet.
inline Bytes ShortCells(std::size_t n) {
  return Book(StandardXfs, {{"S", [n](RecordStream& s) {
                               for (std::size_t k = 0; k < n; ++k)
                                 s.Add(rec::kNumber, Body().U32(0));
                             }}});
}

// String formulas whose STRING record of one byte is too short for its count: n record errors.
inline Bytes ShortStringResults(std::size_t n) {
  return Book(StandardXfs, {{"S", [n](RecordStream& s) {
                               for (std::size_t k = 0; k < n; ++k) {
                                 s.FormulaSpecial(static_cast<std::uint16_t>(k % 60000), 0, 15, 0,
                                                  0);
                                 s.Add(rec::kString, Body().U8(0));
                               }
                             }}});
}

// A sheet that starts with an INDEX, followed by n DBCELL records; the lookup keeps where they
// are.
inline Bytes DbCells(std::size_t n) {
  return Book(StandardXfs, {{"S", [n](RecordStream& s) {
                               s.Index(0, 1, {});
                               s.Row(0, 0, 1);
                               s.Number(0, 0, 15, 1.0);
                               const std::vector<std::uint16_t> rows(16, 0);
                               for (std::size_t k = 0; k < n; ++k) s.DbCell(0, rows);
                             }}});
}

// n shared formulas, each over a range of 2^18 cells (1,024 rows of 256 columns) and used by
// the one FORMULA record at its first cell: read range by range that is n * 2^18 cells.
inline Bytes WideSharedFormulas(std::size_t n) {
  return Book(StandardXfs, {{"S", [n](RecordStream& s) {
                               for (std::size_t k = 0; k < n; ++k) {
                                 const auto row = static_cast<std::uint16_t>(k * 1024);
                                 const Bytes use = {0x01, static_cast<std::uint8_t>(row & 0xFF),
                                                    static_cast<std::uint8_t>(row >> 8), 0, 0};
                                 s.FormulaNumber(row, 0, 15, 1.0, use);
                                 // The cell to the left of each cell of the range.
                                 s.Add(rec::kShrFmla,
                                       Body()
                                           .U16(row)
                                           .U16(static_cast<std::uint16_t>(row + 1023))
                                           .U8(0)
                                           .U8(255)
                                           .U16(0)
                                           .U16(5)
                                           .U8(0x4C)
                                           .U16(0)
                                           .U16(0xC0FF));
                               }
                             }}});
}

// A small workbook whose "Workbook" stream lives in the mini stream and claims 4 GB, under a
// mini-stream cutoff of 4 GB: a reader that trusts the size asks for a 4 GB buffer.
inline Bytes MiniStreamClaimingFourGb() {
  Bytes f = Book(StandardXfs, {OneCellSheet("S")});
  const auto put32 = [&f](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
      f[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  namespace cfb = platform::cfb;
  put32(cfb::hdr::kMiniCutoff, 0xFFFFFFFF);
  // The directory entry named "Workbook" in UTF-16, wherever the directory sector is.
  const std::string name = "Workbook";
  for (std::size_t at = cfb::kHeaderSize; at + cfb::kDirEntrySize <= f.size();
       at += cfb::kDirEntrySize) {
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i)
      same = f[at + 2 * i] == static_cast<std::uint8_t>(name[i]) && f[at + 2 * i + 1] == 0;
    if (same) put32(at + cfb::dirent::kSize, 0xFFFFFFF0);
  }
  return f;
}

}  // namespace testbiff::hostile
