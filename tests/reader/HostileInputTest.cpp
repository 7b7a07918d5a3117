// Damaged and hostile workbooks: every case ends with Read returning and nothing read outside
// a buffer (the sanitizer build runs these too).
#include <gtest/gtest.h>

#include "BookBuilder.h"
#include "ReadBytes.h"
#include "support/ReaderHarness.h"
#include "support/TempFile.h"

namespace {

using namespace testbiff;

// ---- hostile input -----------------------------------------------------------------------------

// Every case must end with Read returning and nothing read outside a buffer (the sanitizer build
// runs these too).
TEST(ReaderHostile, DamagedStreamsEndCleanly) {
  std::vector<Bytes> streams;
  Bytes good = BuildStream(Biff::v8, StandardXfs, {{"S", [](RecordStream& s) {
                                                      s.Number(0, 0, 15, 1.0);
                                                      s.Label(1, 0, 15, "text");
                                                    }}});
  for (std::size_t cut : {good.size() - 1, good.size() - 7, good.size() / 2, std::size_t{30}}) {
    Bytes b(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    streams.push_back(b);
  }
  // Records shorter than their fields.
  streams.push_back(BuildStream(
      Biff::v8, StandardXfs,
      {{"S", [](RecordStream& s) {
          s.Add(rec::kNumber, Body().U16(0).U16(0));
          s.Add(rec::kLabel, Body().U16(0).U16(0).U16(15).U16(500).U8(0).Raw("ab"));
          s.Add(rec::kMulRk, Body().U16(0).U16(0));
          s.Add(rec::kMulBlank, Body().U16(0));
          s.Add(rec::kRString, Body().U16(0).U16(0).U16(15).U16(2).U8(0).Raw("ab").U8(200));
          s.Add(rec::kFormula, Body().U16(0).U16(0).U16(15).U8(0).Zeros(5).U16(0xFFFF));
          s.Add(rec::kBoundSheet, Body().U32(0).U8(0));
          s.Add(rec::kRow, Body().U16(1));
          s.Add(rec::kDimensions, Body().U16(1));
        }}}));
  // A shared-string table that claims far more strings than it holds.
  streams.push_back(BuildStream(
      Biff::v8,
      [](RecordStream& s) {
        StandardXfs(s);
        s.Add(rec::kSst, Body().U32(0xFFFFFFFF).U32(0xFFFFFFFF).U16(0xFFFF).U8(1).Raw("ab"));
      },
      {{"S", [](RecordStream& s) { s.LabelSst(0, 0, 15, 0x7FFFFFFF); }}}));
  // A sheet offset pointing outside the stream, and a BOF as the last bytes.
  streams.push_back([] {
    RecordStream s(Biff::v8);
    s.Bof(kGlobals);
    s.BoundSheet("A", 0, 0x7FFFFFF0);
    s.BoundSheet("B", 0, 0x10);
    s.Eof();
    s.Bof(kWorksheet);
    return s.Data();
  }());
  for (std::size_t i = 0; i < streams.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    for (auto level : {reader::xelIgnore, reader::xelMessage, reader::xelException}) {
      ReadOptions o;
      o.errorLevel = level;
      const auto start = std::chrono::steady_clock::now();
      Collected c = ReadBytes(WriteCompoundFile({{"Workbook", streams[i]}}), o);
      const double seconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      EXPECT_EQ(c.openError, "");
      // A few hundred bytes of records: anything near a second is a runaway loop.
      EXPECT_LT(seconds, 1.0) << "error level " << level << ", " << c.messages.size()
                              << " messages";
    }
  }
}

// A shared formula whose token length runs far past its 14-byte record, over the widest range:
// a record shorter than its fields is an error, not 16 million formula events.
TEST(ReaderHostile, ShortSharedFormulaRecordIsAnError) {
  TempFile f(
      Biff8Book(StandardXfs, {{"S", [](RecordStream& s) {
                                 s.Add(rec::kShrFmla,
                                       Body().U16(0).U16(0xFFFF).U8(0).U8(255).U16(0).U16(900));
                                 s.Number(0, 0, 15, 1.0);
                               }}}));
  reader::TXLSRead r;
  r.FileName = f.path();
  r.ErrorLevel = reader::xelIgnore;
  std::size_t formulas = 0;
  std::vector<double> numbers;
  // The handler stops a runaway record after a thousand events (its error ends that record).
  r.OnFormulaCell = [&](reader::TXLSRead&, int, int, const std::string&) {
    if (++formulas >= 1000) throw std::runtime_error("too many formula events");
  };
  r.OnNumberCell = [&](reader::TXLSRead&, int, int, int, double v, bool) { numbers.push_back(v); };
  r.Read();
  EXPECT_EQ(formulas, 0u);
  EXPECT_EQ(numbers, std::vector<double>{1.0});  // the records after it are still read
}

TEST(ReaderHostile, DamagedCompoundFilesAreRefused) {
  Bytes good = Biff8Book(StandardXfs, {{"S", [](RecordStream& s) { s.Number(0, 0, 15, 1.0); }}});
  std::vector<Bytes> files;
  files.emplace_back(good.begin(), good.begin() + 700);  // cut inside the first sector
  Bytes loop = good;  // first FAT entry after the FAT points at itself
  loop[512 + 4] = 1;
  loop[512 + 5] = loop[512 + 6] = loop[512 + 7] = 0;
  files.push_back(loop);
  Bytes badDir = good;  // directory start far outside the file
  badDir[48] = badDir[49] = badDir[50] = 0x7F;
  files.push_back(badDir);
  Bytes badShift = good;
  badShift[30] = 40;
  files.push_back(badShift);
  for (std::size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    Collected c = ReadBytes(files[i]);
    // Either refused at Open or read to an end; never a crash or a hang.
    if (c.openError.empty()) {
      EXPECT_FALSE(c.progress.empty());
    }
  }
}

}  // namespace
