#pragma once
// Small hand-made BIFF8 workbooks for byte-exact cases: the caller writes the records of the
// globals and of each sheet; the builder adds BOF/EOF, the sheet list with patched offsets and
// the compound file around the stream.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/BiffWriter.h"
#include "support/CompoundFileWriter.h"
#include "support/TempFile.h"

namespace testbiff {

using RecordsFn = std::function<void(RecordStream&)>;

struct HandSheet {
  std::string name;
  RecordsFn records;
  std::uint8_t kind = 0;  // BOUNDSHEET sheet kind
  std::uint16_t bofType = kWorksheet;
};

// 15 style XFs, then cell XFs: 15 general, 16 format 14 (date), 17 format 46 (elapsed time).
inline void StandardXfs(RecordStream& out) {
  for (int i = 0; i < 15; ++i) out.Xf(0, true);
  out.Xf(0);
  out.Xf(14);
  out.Xf(46);
}

inline Bytes BuildStream(Biff version, const RecordsFn& globals,
                         const std::vector<HandSheet>& sheets, int codepage = 1252) {
  RecordStream out(version, codepage);
  out.Bof(kGlobals);
  if (globals) globals(out);
  std::vector<std::size_t> fields;
  for (const auto& s : sheets) fields.push_back(out.BoundSheet(s.name, s.kind));
  out.Eof();
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    out.PatchU32(fields[i], static_cast<std::uint32_t>(out.Size()));
    out.Bof(sheets[i].bofType);
    if (sheets[i].records) sheets[i].records(out);
    out.Eof();
  }
  return out.Data();
}

inline Bytes Biff8Book(const RecordsFn& globals, const std::vector<HandSheet>& sheets) {
  return WriteCompoundFile({{"Workbook", BuildStream(Biff::v8, globals, sheets)}});
}

// A BIFF8 stream in a temporary compound file, as its "Workbook" stream.
inline std::unique_ptr<TempFile> BookFile(const Bytes& stream) {
  return std::make_unique<TempFile>(WriteCompoundFile({{"Workbook", stream}}));
}

}  // namespace testbiff
