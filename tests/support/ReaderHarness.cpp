#include "support/ReaderHarness.h"

#include <sstream>

#include "reader/RecordIds.h"

namespace testreader {

const char* KindName(Kind k) {
  switch (k) {
    case Kind::kNumber: return "number";
    case Kind::kDateTime: return "datetime";
    case Kind::kString: return "string";
    case Kind::kBool: return "bool";
    case Kind::kBlank: return "blank";
    case Kind::kRich: return "rich";
    case Kind::kFormula: return "formula";
  }
  return "?";
}

Collected ReadAll(const std::string& path, const ReadOptions& options) {
  reader::TXLSRead r;
  r.FileName = path;
  return ReadAll(r, options);
}

Collected ReadAll(reader::TXLSRead& r, const ReadOptions& options) {
  Collected out;
  std::uint16_t current = 0;
  r.ErrorLevel = options.errorLevel;
  r.SetCodepage(options.codepage);
  r.MessageHook = [&](const std::string& text, bool) {
    out.messages.push_back(text);
    return options.answerYes;
  };
  auto add = [&](Kind k, int col, int row, int xf) -> CellEvent& {
    out.cells.push_back(CellEvent{k, r.SheetIndex(), col, row, xf});
    out.cells.back().record = current;
    return out.cells.back();
  };
  r.OnRecord = [&](reader::TXLSRead&, std::uint16_t id, int length, const std::uint8_t* data) {
    current = id;
    out.records.push_back(id);
    if (id == reader::rec::kBoundSheet) out.sheetKinds.push_back(data && length >= 6 ? data[5] : 0);
  };
  r.OnUnhandled = [&](reader::TXLSRead&, std::uint16_t id, int, const std::uint8_t*) {
    out.unhandled.push_back(id);
  };
  r.OnProgress = [&](reader::TXLSRead&, int v) { out.progress.push_back(v); };
  r.OnNumberCell = [&](reader::TXLSRead&, int c, int row, int xf, double v, bool f) {
    CellEvent& e = add(Kind::kNumber, c, row, xf);
    e.number = v;
    e.isFormulaValue = f;
  };
  if (options.hookDateTime) {
    r.OnDateTimeCell = [&](reader::TXLSRead&, int c, int row, int xf, double v, bool f) {
      CellEvent& e = add(Kind::kDateTime, c, row, xf);
      e.number = v;
      e.isFormulaValue = f;
    };
  }
  r.OnStringCell = [&](reader::TXLSRead&, int c, int row, int xf, const std::string& v, bool f) {
    CellEvent& e = add(Kind::kString, c, row, xf);
    e.text = v;
    e.isFormulaValue = f;
  };
  r.OnBoolCell = [&](reader::TXLSRead&, int c, int row, int xf, bool v, bool f) {
    CellEvent& e = add(Kind::kBool, c, row, xf);
    e.boolean = v;
    e.isFormulaValue = f;
  };
  r.OnBlankCell = [&](reader::TXLSRead&, int c, int row, int xf) { add(Kind::kBlank, c, row, xf); };
  r.OnRichCell = [&](reader::TXLSRead&, int c, int row, int xf, const std::string& v,
                     reader::PRecREFormatArray runs) {
    CellEvent& e = add(Kind::kRich, c, row, xf);
    e.text = v;
    if (runs) {
      std::size_t n = runs[0].FontIndex;
      e.runs.assign(runs, runs + n + 1);
    }
  };
  r.OnFormulaCell = [&](reader::TXLSRead&, int c, int row, const std::string& f) {
    add(Kind::kFormula, c, row, -1).text = f;
  };
  if (options.hookSheet) {
    r.OnSheet = [&](reader::TXLSRead&, const std::string& name, int index, bool& readIt) {
      out.sheetEvents.emplace_back(name, index);
      if (options.allSheets) readIt = true;
    };
  }
  try {
    r.Read();
  } catch (const std::exception& e) {
    out.openError = e.what();
  }
  out.sheetNames = r.SheetNames();
  return out;
}

int ListPosition(const Collected& c, int worksheet) {
  if (worksheet < 0) return 0;
  int seen = 0;
  for (std::size_t i = 0; i < c.sheetKinds.size(); ++i)
    if (c.sheetKinds[i] == 0 && seen++ == worksheet) return static_cast<int>(i);
  return worksheet;
}

std::string Describe(const reader::TCellValue& v) {
  std::ostringstream s;
  if (std::holds_alternative<double>(v)) {
    s.precision(17);
    s << "number " << std::get<double>(v);
  } else if (std::holds_alternative<std::string>(v)) {
    s << "text \"" << std::get<std::string>(v) << "\"";
  } else {
    s << "nothing";
  }
  return s.str();
}

}  // namespace testreader
