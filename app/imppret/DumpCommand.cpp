// imppret dump FILE: every worksheet through the reader's events, as JSON Lines.
#include <cstdio>
#include <string>
#include <vector>

#include "app/imppret/BookDump.h"
#include "app/imppret/Command.h"
#include "app/imppret/DumpLines.h"
#include "reader/TXLSRead.h"

namespace imppret {
namespace {

// The reader's events as dump lines.
class Dumper {
 public:
  explicit Dumper(reader::TXLSRead& r) : r_(r) {
    r.OnSheet = [this](reader::TXLSRead&, const std::string& name, int index, bool& readIt) {
      readIt = true;
      out_.Sheet(index, name);
    };
    r.OnNumberCell = [this](reader::TXLSRead&, int c, int row, int, double v, bool f) {
      out_.Number(r_.SheetIndex(), row, c, "number", v, f);
    };
    r.OnDateTimeCell = [this](reader::TXLSRead&, int c, int row, int, double v, bool f) {
      out_.Number(r_.SheetIndex(), row, c, "datetime", v, f);
    };
    r.OnStringCell = [this](reader::TXLSRead&, int c, int row, int, const std::string& v, bool f) {
      out_.Text(r_.SheetIndex(), row, c, "string", v, f);
    };
    r.OnRichCell = [this](reader::TXLSRead&, int c, int row, int, const std::string& v,
                          reader::PRecREFormatArray) {
      out_.Text(r_.SheetIndex(), row, c, "rich", v, false);
    };
    r.OnFormulaCell = [this](reader::TXLSRead&, int c, int row, const std::string& v) {
      out_.Text(r_.SheetIndex(), row, c, "formula", v, true);
    };
    r.OnBoolCell = [this](reader::TXLSRead&, int c, int row, int, bool v, bool f) {
      out_.Cell(r_.SheetIndex(), row, c, "bool");
      out_.Line() += v ? "true" : "false";
      out_.EndCell(f);
    };
    r.OnBlankCell = [this](reader::TXLSRead&, int c, int row, int) {
      out_.Cell(r_.SheetIndex(), row, c, "blank");
      out_.Line() += "null";
      out_.EndCell(false);
    };
  }

  void End() {
    out_.BeginEnd();
    for (const auto& s : r_.SheetNames()) out_.SheetEntry(s.Name, s.Offset);
    out_.EndEnd(r_.FirstRow(), r_.LastRow(), r_.FirstCol(), r_.LastCol());
  }

 private:
  reader::TXLSRead& r_;
  DumpLines out_;
};

int Dump(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: imppret dump FILE\n");
    return 2;
  }
  static char outBuf[1 << 16];
  std::setvbuf(stdout, outBuf, _IOFBF, sizeof outBuf);
  if (IsBookFile(args[0])) return DumpBook(args[0]);
  reader::TXLSRead r;
  r.FileName = args[0];
  r.ErrorLevel = reader::xelMessage;
  // A shared formula's text for the cells that use it, not for every cell its range names.
  r.SharedFormulasByCell = true;
  // Record errors are reported and reading goes on.
  r.MessageHook = PrintReaderMessage;
  Dumper d(r);
  try {
    r.Read();
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  // Reading stopped at the encryption record, which the hook reported.
  if (r.IsEncrypted()) {
    std::fflush(stdout);
    return 1;
  }
  d.End();
  std::fflush(stdout);
  return 0;
}

}  // namespace

IMPPRET_COMMAND("dump", "dump FILE", Dump);

}  // namespace imppret
