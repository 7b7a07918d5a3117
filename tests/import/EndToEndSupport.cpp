// The helpers of the end-to-end tests.
#include <sys/wait.h>

#include <cmath>
#include <cstdio>

extern "C" {
#include <paradox.h>
}

#include "EndToEnd.h"

namespace e2e {

PxTable ReadWithPxlib(const fs::path& file) {
  PxTable out;
  pxdoc_t* doc = PX_new();
  if (!doc) return out;
  if (PX_open_file(doc, file.c_str()) < 0) {
    PX_delete(doc);
    ADD_FAILURE() << "pxlib cannot open " << file;
    return out;
  }
  const int fieldCount = PX_get_num_fields(doc);
  pxfield_t* fields = PX_get_fields(doc);
  std::vector<char> record(static_cast<std::size_t>(doc->px_head->px_recordsize));
  for (int r = 0; r < PX_get_num_records(doc); ++r) {
    if (!PX_get_record(doc, r, record.data())) {
      ADD_FAILURE() << "pxlib cannot read record " << r << " of " << file;
      break;
    }
    std::map<std::string, std::string> texts;
    std::map<std::string, double> numbers;
    int offset = 0;
    for (int f = 0; f < fieldCount; ++f) {
      const pxfield_t& field = fields[f];
      char* data = record.data() + offset;
      switch (field.px_ftype) {
        case pxfAlpha: {
          char* value = nullptr;
          if (PX_get_data_alpha(doc, data, field.px_flen, &value) > 0 && value) {
            texts[field.px_fname] = value;
            doc->free(doc, value);
          } else {
            texts[field.px_fname] = "";
          }
          break;
        }
        case pxfLong: {
          long v = 0;
          numbers[field.px_fname] = PX_get_data_long(doc, data, field.px_flen, &v) > 0 ? v : 0;
          break;
        }
        case pxfShort: {
          short v = 0;
          numbers[field.px_fname] = PX_get_data_short(doc, data, field.px_flen, &v) > 0 ? v : 0;
          break;
        }
        case pxfNumber: {
          double v = 0;
          numbers[field.px_fname] = PX_get_data_double(doc, data, field.px_flen, &v) > 0 ? v : 0;
          break;
        }
        default: break;
      }
      offset += field.px_flen;
    }
    out.textRows.push_back(std::move(texts));
    out.numberRows.push_back(std::move(numbers));
  }
  PX_close(doc);
  PX_delete(doc);
  return out;
}

double SupplierPrice(int n) {
  return std::round((4.5 + (n * 37) % 480 + (n % 100) / 100.0) * 100.0) / 100.0;
}
double DemoPrice(int n) {
  return std::round(SupplierPrice(n) * 0.95 * 100.0) / 100.0;
}

ToolRun Imppret(const std::string& arguments) {
  ToolRun run;
  std::string command = std::string("\"") + IMPPRET_EXE + "\" " + arguments + " 2>/dev/null";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) run.out.append(buf, n);
  int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string Quote(const fs::path& p) {
  return "\"" + p.string() + "\"";
}

}  // namespace e2e
