// The test writers are only worth something if an independent reader agrees with what they
// write: these checks read their output back with xlrd.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/CompoundFileWriter.h"
#include "support/WorkbookWriter.h"

namespace {

namespace fs = std::filesystem;
using namespace testbiff;

const char* kPython = "/usr/bin/python3";

bool HaveXlrd() {
  return std::system((std::string(kPython) + " -c 'import xlrd' 2>/dev/null").c_str()) == 0;
}

fs::path WriteTemp(const std::string& name, const Bytes& data) {
  fs::path p =
      fs::temp_directory_path() / ("imppret-writer-" + std::to_string(::getpid()) + "-" + name);
  std::ofstream(p, std::ios::binary)
      .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  return p;
}

std::string RunPython(const std::string& script, const std::string& args) {
  fs::path py = WriteTemp("script.py", Bytes(script.begin(), script.end()));
  std::string cmd = std::string(kPython) + " " + py.string() + " " + args + " 2>&1";
  std::string out;
  if (FILE* f = ::popen(cmd.c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    ::pclose(f);
  }
  fs::remove(py);
  return out;
}

// One line per non-empty cell: sheet name, row, col, xlrd cell type, value.
const char* kDump = R"PY(
import sys, json, xlrd
book = xlrd.open_workbook(sys.argv[1])
for s in book.sheets():
    for r in range(s.nrows):
        for c in range(s.ncols):
            cell = s.cell(r, c)
            if cell.ctype in (0, 6):
                continue
            print(json.dumps([s.name, r, c, cell.ctype, cell.value], ensure_ascii=False))
)PY";

class WriterAgainstXlrd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveXlrd()) GTEST_SKIP() << "python3-xlrd is not installed";
  }
};

TEST_F(WriterAgainstXlrd, Biff8CellKindsDiacriticsAndDates) {
  WorkbookWriter w;
  SheetData& s = w.AddSheet("Prețuri");
  s.Text(0, 0, "Cod");
  s.Text(0, 1, "Denumire ăâîșț ĂÂÎȘȚ");
  s.Number(1, 0, 1234.5678);
  s.Rk(1, 1, RkFromInt(-7));
  s.MulRk(2, 0, {RkFromInt(1), RkFromInt(250, true), RkFromDoubleHigh(1.5)});
  s.Bool(3, 0, true);
  s.Error(3, 1, 0x07);
  s.FormulaNumber(4, 0, 42.25);
  s.FormulaString(4, 1, "rezultat");
  s.FormulaBool(4, 2, false);
  s.Number(5, 0, 45000, kXfDate);
  s.Blank(6, 0);
  s.MulBlank(6, 1, 3);
  w.AddSheet("Gol");
  fs::path p = WriteTemp("kinds.xls", w.File());
  std::string out = RunPython(kDump, p.string());
  fs::remove(p);
  EXPECT_EQ(out,
            "[\"Prețuri\", 0, 0, 1, \"Cod\"]\n"
            "[\"Prețuri\", 0, 1, 1, \"Denumire ăâîșț ĂÂÎȘȚ\"]\n"
            "[\"Prețuri\", 1, 0, 2, 1234.5678]\n"
            "[\"Prețuri\", 1, 1, 2, -7.0]\n"
            "[\"Prețuri\", 2, 0, 2, 1.0]\n"
            "[\"Prețuri\", 2, 1, 2, 2.5]\n"
            "[\"Prețuri\", 2, 2, 2, 1.5]\n"
            "[\"Prețuri\", 3, 0, 4, 1]\n"
            "[\"Prețuri\", 3, 1, 5, 7]\n"
            "[\"Prețuri\", 4, 0, 2, 42.25]\n"
            "[\"Prețuri\", 4, 1, 1, \"rezultat\"]\n"
            "[\"Prețuri\", 4, 2, 4, 0]\n"
            "[\"Prețuri\", 5, 0, 3, 45000.0]\n");
}

TEST_F(WriterAgainstXlrd, Biff8SharedStringsAcrossContinueRecords) {
  // 700 strings of 30+ characters, every tenth one UTF-16: about 25 KB of string data, so the
  // table runs over three CONTINUE records and several strings are split between records.
  WorkbookWriter w;
  SheetData& s = w.AddSheet("Lista");
  std::string expected;
  for (int i = 0; i < 700; ++i) {
    std::string t =
        "Articol numărul " + std::to_string(i) + (i % 10 == 0 ? " ș" : " x") + " ...........";
    s.Text(static_cast<std::uint16_t>(i), 0, t);
    expected += "[\"Lista\", " + std::to_string(i) + ", 0, 1, \"" + t + "\"]\n";
  }
  fs::path p = WriteTemp("sst.xls", w.File());
  std::string out = RunPython(kDump, p.string());
  fs::remove(p);
  EXPECT_EQ(out, expected);
}

TEST_F(WriterAgainstXlrd, Biff5CodePage1250) {
  WorkbookOptions o;
  o.version = Biff::v5;
  o.codepage = 1250;
  WorkbookWriter w(o);
  SheetData& s = w.AddSheet("Foaie ă");
  s.Text(0, 0, "ăâî ş ţ Ş Ţ");
  s.Number(0, 1, 3.25, kXfPrice);
  fs::path p = WriteTemp("b5.xls", w.File());
  std::string out = RunPython(kDump, p.string());
  fs::remove(p);
  EXPECT_EQ(out,
            "[\"Foaie ă\", 0, 0, 1, \"ăâî ş ţ Ş Ţ\"]\n"
            "[\"Foaie ă\", 0, 1, 2, 3.25]\n");
}

TEST_F(WriterAgainstXlrd, CompoundFileWithDifatAndMiniStream) {
  // A 7.5 MB stream needs more FAT sectors than the header can list; a small second stream
  // lives in the mini stream.
  Bytes big(7'500'000), small(1000);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7 + i / 4099);
  for (std::size_t i = 0; i < small.size(); ++i) small[i] = static_cast<std::uint8_t>(255 - i);
  Bytes file = WriteCompoundFile({{"Workbook", big}, {"Small", small}});
  fs::path p = WriteTemp("big.cfb", file), b = WriteTemp("big.bin", big),
           m = WriteTemp("small.bin", small);
  const char* check = R"PY(
import sys, io
from xlrd import compdoc
doc = compdoc.CompDoc(open(sys.argv[1], 'rb').read(), logfile=io.StringIO())
print(doc.get_named_stream('Workbook') == open(sys.argv[2], 'rb').read(),
      doc.get_named_stream('Small') == open(sys.argv[3], 'rb').read())
)PY";
  std::string out = RunPython(check, p.string() + " " + b.string() + " " + m.string());
  fs::remove(p);
  fs::remove(b);
  fs::remove(m);
  EXPECT_EQ(out, "True True\n");
  // Header: more than 109 FAT sectors, so at least one DIFAT sector.
  std::uint32_t fatSectors = file[44] | file[45] << 8 | file[46] << 16 | file[47] << 24;
  std::uint32_t difatSectors = file[72] | file[73] << 8;
  EXPECT_GT(fatSectors, 109u);
  EXPECT_GE(difatSectors, 1u);
}

}  // namespace
