#pragma once
// Small hand-built BIFF8 workbooks for the reader's unit tests, and a recorder of its events.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "reader/TXLSRead.h"
#include "support/BiffWriter.h"
#include "support/CompoundFileWriter.h"
#include "support/TempFile.h"

namespace readertest {

using testbiff::Biff;
using testbiff::Bytes;
using testbiff::RecordStream;
using Writer = std::function<void(RecordStream&)>;

// Globals (BOF, the caller's records, one BOUNDSHEET per sheet, EOF), then each sheet as
// BOF(type) + the caller's records + EOF, in a compound file's "Workbook" stream.
inline Bytes BookStream(const Writer& globals, const std::vector<Writer>& sheets,
                        const std::vector<std::uint16_t>& types = {}) {
  RecordStream s(Biff::v8);
  s.Bof(testbiff::kGlobals);
  if (globals) globals(s);
  std::vector<std::size_t> fields;
  for (std::size_t i = 0; i < sheets.size(); ++i)
    fields.push_back(s.BoundSheet("Foaia" + std::to_string(i + 1)));
  s.Eof();
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    const std::size_t bof = s.Bof(i < types.size() ? types[i] : testbiff::kWorksheet);
    s.PatchU32(fields[i], static_cast<std::uint32_t>(bof));
    if (sheets[i]) sheets[i](s);
    s.Eof();
  }
  return s.Data();
}

inline std::unique_ptr<testbiff::TempFile> BookFile(const Bytes& stream) {
  return std::make_unique<testbiff::TempFile>(testbiff::WriteCompoundFile({{"Workbook", stream}}));
}

// Every event as one line of text, in order.
struct Recorder {
  std::vector<std::string> log;
  std::vector<std::string> messages;
  std::vector<int> progress;
  bool answer = true;

  void Attach(reader::TXLSRead& r) {
    r.OnNumberCell = [this](reader::TXLSRead&, int c, int row, int xf, double v, bool f) {
      log.push_back("N " + Pos(c, row) + " " + std::to_string(xf) + " " + Num(v) + (f ? " F" : ""));
    };
    r.OnDateTimeCell = [this](reader::TXLSRead&, int c, int row, int xf, double v, bool f) {
      log.push_back("D " + Pos(c, row) + " " + std::to_string(xf) + " " + Num(v) + (f ? " F" : ""));
    };
    r.OnStringCell = [this](reader::TXLSRead&, int c, int row, int, const std::string& v, bool f) {
      log.push_back("S " + Pos(c, row) + " " + v + (f ? " F" : ""));
    };
    r.OnBoolCell = [this](reader::TXLSRead&, int c, int row, int, bool v, bool f) {
      log.push_back(std::string("B ") + Pos(c, row) + (v ? " 1" : " 0") + (f ? " F" : ""));
    };
    r.OnBlankCell = [this](reader::TXLSRead&, int c, int row, int xf) {
      log.push_back("E " + Pos(c, row) + " " + std::to_string(xf));
    };
    r.OnFormulaCell = [this](reader::TXLSRead&, int c, int row, const std::string& t) {
      log.push_back("F " + Pos(c, row) + " " + t);
    };
    r.OnSheet = nullptr;
    r.OnProgress = [this](reader::TXLSRead&, int v) { progress.push_back(v); };
    r.MessageHook = [this](const std::string& text, bool question) {
      messages.push_back(std::string(question ? "?" : "!") + text);
      return answer;
    };
  }
  static std::string Pos(int c, int r) { return std::to_string(c) + "," + std::to_string(r); }
  static std::string Num(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.15g", v);
    return b;
  }
};

}  // namespace readertest
