// imppret dump FILE: every worksheet through the reader's events, as JSON Lines.
#include <cstdio>
#include <string>
#include <vector>

#include "app/imppret/BookDump.h"
#include "app/imppret/Command.h"
#include "app/imppret/Json.h"
#include "reader/TXLSRead.h"

namespace imppret {
namespace {

class Dumper {
 public:
  explicit Dumper(reader::TXLSRead& r) : r_(r) {
    line_.reserve(256);
    r.OnSheet = [this](reader::TXLSRead&, const std::string& name, int index, bool& readIt) {
      readIt = true;
      line_.assign("{\"event\":\"sheet\",\"index\":");
      line_ += std::to_string(index);
      line_ += ",\"name\":";
      AppendJsonString(line_, name);
      line_ += "}\n";
      Emit();
    };
    r.OnNumberCell = [this](reader::TXLSRead&, int c, int row, int, double v, bool f) {
      Number(c, row, "number", v, f);
    };
    r.OnDateTimeCell = [this](reader::TXLSRead&, int c, int row, int, double v, bool f) {
      Number(c, row, "datetime", v, f);
    };
    r.OnStringCell = [this](reader::TXLSRead&, int c, int row, int, const std::string& v, bool f) {
      Text(c, row, "string", v, f);
    };
    r.OnRichCell = [this](reader::TXLSRead&, int c, int row, int, const std::string& v,
                          reader::PRecREFormatArray) { Text(c, row, "rich", v, false); };
    r.OnFormulaCell = [this](reader::TXLSRead&, int c, int row, const std::string& v) {
      Text(c, row, "formula", v, true);
    };
    r.OnBoolCell = [this](reader::TXLSRead&, int c, int row, int, bool v, bool f) {
      Start(c, row, "bool");
      line_ += v ? "true" : "false";
      Finish(f);
    };
    r.OnBlankCell = [this](reader::TXLSRead&, int c, int row, int) {
      Start(c, row, "blank");
      line_ += "null";
      Finish(false);
    };
  }

  void End() {
    line_.assign("{\"event\":\"end\",\"sheets\":[");
    bool first = true;
    for (const auto& s : r_.SheetNames()) {
      if (!first) line_ += ',';
      first = false;
      line_ += "{\"name\":";
      AppendJsonString(line_, s.Name);
      line_ += ",\"offset\":" + std::to_string(s.Offset) + "}";
    }
    line_ += "],\"firstRow\":" + std::to_string(r_.FirstRow()) +
             ",\"lastRow\":" + std::to_string(r_.LastRow()) +
             ",\"firstCol\":" + std::to_string(r_.FirstCol()) +
             ",\"lastCol\":" + std::to_string(r_.LastCol()) + "}\n";
    Emit();
  }

 private:
  void Start(int c, int row, const char* type) {
    line_.assign("{\"event\":\"cell\",\"sheet\":");
    line_ += std::to_string(r_.SheetIndex());
    line_ += ",\"row\":";
    line_ += std::to_string(row);
    line_ += ",\"col\":";
    line_ += std::to_string(c);
    line_ += ",\"type\":\"";
    line_ += type;
    line_ += "\",\"value\":";
  }
  void Finish(bool formula) {
    line_ += formula ? ",\"formula\":true}\n" : ",\"formula\":false}\n";
    Emit();
  }
  void Number(int c, int row, const char* type, double v, bool f) {
    Start(c, row, type);
    AppendJsonNumber(line_, v);
    Finish(f);
  }
  void Text(int c, int row, const char* type, const std::string& v, bool f) {
    Start(c, row, type);
    AppendJsonString(line_, v);
    Finish(f);
  }
  void Emit() { std::fwrite(line_.data(), 1, line_.size(), stdout); }

  reader::TXLSRead& r_;
  std::string line_;
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
