#include "app/imppret/DumpLines.h"

#include <cstdio>

#include "app/imppret/Json.h"

namespace imppret {

void DumpLines::Emit() {
  std::fwrite(line_.data(), 1, line_.size(), stdout);
}

void DumpLines::Sheet(int index, std::string_view name) {
  line_.assign("{\"event\":\"sheet\",\"index\":");
  line_ += std::to_string(index);
  line_ += ",\"name\":";
  AppendJsonString(line_, name);
  line_ += "}\n";
  Emit();
}

void DumpLines::Cell(int sheet, std::int64_t row, int col, const char* type) {
  line_.assign("{\"event\":\"cell\",\"sheet\":");
  line_ += std::to_string(sheet);
  line_ += ",\"row\":";
  line_ += std::to_string(row);
  line_ += ",\"col\":";
  line_ += std::to_string(col);
  line_ += ",\"type\":\"";
  line_ += type;
  line_ += "\",\"value\":";
}

void DumpLines::EndCell(bool formula) {
  line_ += formula ? ",\"formula\":true}\n" : ",\"formula\":false}\n";
  Emit();
}

void DumpLines::Number(int sheet, std::int64_t row, int col, const char* type, double v,
                       bool formula) {
  Cell(sheet, row, col, type);
  AppendJsonNumber(line_, v);
  EndCell(formula);
}

void DumpLines::Text(int sheet, std::int64_t row, int col, const char* type, std::string_view v,
                     bool formula) {
  Cell(sheet, row, col, type);
  AppendJsonString(line_, v);
  EndCell(formula);
}

void DumpLines::BeginEnd() {
  line_.assign("{\"event\":\"end\",\"sheets\":[");
  firstEntry_ = true;
}

void DumpLines::SheetEntry(std::string_view name, std::int64_t offset) {
  if (!firstEntry_) line_ += ',';
  firstEntry_ = false;
  line_ += "{\"name\":";
  AppendJsonString(line_, name);
  line_ += ",\"offset\":" + std::to_string(offset) + "}";
}

void DumpLines::EndEnd(std::int64_t firstRow, std::int64_t lastRow, std::int64_t firstCol,
                       std::int64_t lastCol) {
  line_ += "],\"firstRow\":" + std::to_string(firstRow) +
           ",\"lastRow\":" + std::to_string(lastRow) + ",\"firstCol\":" + std::to_string(firstCol) +
           ",\"lastCol\":" + std::to_string(lastCol) + "}\n";
  Emit();
}

void PrintCellAnswer(bool found, const std::variant<std::monostate, double, std::string>& value) {
  std::string out;
  if (!found) {
    out = "{\"found\":false}\n";
  } else {
    out = "{\"found\":true,\"value\":";
    if (const double* d = std::get_if<double>(&value))
      AppendJsonNumber(out, *d);
    else if (const std::string* s = std::get_if<std::string>(&value))
      AppendJsonString(out, *s);
    else
      out += "null";
    out += "}\n";
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace imppret
