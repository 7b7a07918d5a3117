// Any bytes as a workbook: Read every sheet with every event assigned, under each error level.
// Errors are fine; crashes, hangs and reads outside buffers are not.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "fuzz/reader/FuzzInput.h"
#include "reader/TXLSRead.h"

namespace {

// A shared formula may legitimately cover every cell of a sheet; past this many events one
// input is only burning time, so the handler ends that record.
constexpr std::size_t kEventBudget = 200'000;
volatile std::size_t sink = 0;

void ReadAll(reader::TXLSErrorLevel level, bool sharedByCell) {
  reader::TXLSRead r;
  r.FileName = fuzzreader::ScratchPath();
  r.ErrorLevel = level;
  r.SharedFormulasByCell = sharedByCell;
  r.MessageHook = [](const std::string&, bool) { return true; };
  std::size_t events = 0, bytes = 0;
  auto count = [&] {
    if (++events > kEventBudget) throw std::runtime_error("event budget spent");
  };
  r.OnProgress = [&](reader::TXLSRead&, int) {};
  r.OnRecord = [&](reader::TXLSRead&, std::uint16_t, int length, const std::uint8_t* p) {
    if (p && length > 0) bytes += p[0] + p[length - 1];  // the bytes must be readable
  };
  r.OnUnhandled = [&](reader::TXLSRead&, std::uint16_t, int, const std::uint8_t*) {};
  r.OnBlankCell = [&](reader::TXLSRead&, int, int, int) { count(); };
  r.OnBoolCell = [&](reader::TXLSRead&, int, int, int, bool, bool) { count(); };
  r.OnNumberCell = [&](reader::TXLSRead&, int, int, int, double, bool) { count(); };
  r.OnDateTimeCell = [&](reader::TXLSRead&, int, int, int, double, bool) { count(); };
  r.OnStringCell = [&](reader::TXLSRead&, int, int, int, const std::string& v, bool) {
    count();
    bytes += v.size();
  };
  r.OnRichCell = [&](reader::TXLSRead&, int, int, int, const std::string& v,
                     reader::PRecREFormatArray f) {
    count();
    bytes += v.size();
    if (f) {
      for (std::size_t i = 0; i <= f[0].FontIndex; ++i) bytes += f[i].Position;
    }
  };
  r.OnFormulaCell = [&](reader::TXLSRead&, int, int, const std::string& v) {
    count();
    bytes += v.size();
  };
  r.OnCol = [&](reader::TXLSRead&, int, int, int, int) { count(); };
  r.OnRow = [&](reader::TXLSRead&, int, int, int, int, int) { count(); };
  r.OnSheet = [&](reader::TXLSRead&, const std::string& name, int, bool& readIt) {
    bytes += name.size();
    readIt = true;
  };
  try {
    r.Read();
  } catch (const std::exception&) {
    return;  // refused at open
  }
  for (const auto& s : r.SheetNames()) bytes += s.Name.size();
  sink = bytes;  // keeps the reads above from being optimised away
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzzreader::WriteScratch(data, size)) return 0;
  // Shared formulas by range under one level, by cell (as imppret dump reads) under the other.
  ReadAll(reader::xelIgnore, false);
  ReadAll(reader::xelMessage, true);
  return 0;
}
