// imppret table FILE.DB: the header facts of a Paradox table, then every record in file order
// as one JSON object per line.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/imppret/Command.h"
#include "app/imppret/Json.h"
#include "platform/db/FieldValue.h"
#include "platform/db/TableFile.h"

namespace imppret {
namespace {

const char* LevelName(int version) {
  if (version <= 3) return "3.0";
  if (version == 4) return "3.5";
  if (version <= 9) return "4";
  if (version <= 0x0B) return "5";
  return "7";
}

void AppendDate(std::string& out, std::int64_t days) {
  int y, m, d;
  db::px::CivilFromDays(days, y, m, d);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
  out += buf;
}

void AppendTime(std::string& out, std::int64_t ms) {
  std::int64_t days;
  db::value::SplitMilliseconds(ms, days, ms);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", static_cast<int>(ms / 3600000),
                static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60));
  out += buf;
}

void AppendValue(std::string& out, const db::px::FieldInfo& f, const std::uint8_t* p,
                 int codepage) {
  using db::FieldType;
  if (db::value::IsBlankValue(f, p)) {
    out += "null";
    return;
  }
  switch (f.type) {
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::AutoInc: out += std::to_string(db::px::DecodeInt(p, f.size)); return;
    case FieldType::Number:
    case FieldType::Currency: AppendJsonNumber(out, db::px::DecodeDouble(p)); return;
    case FieldType::Logical: out += (p[0] & 0x7F) ? "true" : "false"; return;
    case FieldType::Date:
      out.push_back('"');
      AppendDate(out, db::px::DecodeInt(p, 4));
      out.push_back('"');
      return;
    case FieldType::Time:
      out.push_back('"');
      AppendTime(out, db::px::DecodeInt(p, 4));
      out.push_back('"');
      return;
    case FieldType::Timestamp: {
      std::int64_t ms, days, msOfDay;
      if (!db::value::TimestampMilliseconds(p, ms)) {
        out += "null";
        return;
      }
      db::value::SplitMilliseconds(ms, days, msOfDay);
      out.push_back('"');
      AppendDate(out, days);
      out.push_back('T');
      AppendTime(out, msOfDay);
      out.push_back('"');
      return;
    }
    case FieldType::Bcd:
      AppendJsonNumber(out, std::strtod(db::px::DecodeBcd(p, f.descriptorSize).c_str(), nullptr));
      return;
    case FieldType::Bytes: {
      static const char kHex[] = "0123456789abcdef";
      out.push_back('"');
      for (int i = 0; i < f.size; ++i) {
        out.push_back(kHex[p[i] >> 4]);
        out.push_back(kHex[p[i] & 15]);
      }
      out.push_back('"');
      return;
    }
    default: {
      std::string text = db::value::AsText(f, p, codepage);
      if (text.empty() && f.type != FieldType::Alpha) {
        out += "null";  // a blob kept in the memo file
        return;
      }
      AppendJsonString(out, text);
      return;
    }
  }
}

int TableCommand(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: imppret table FILE.DB\n");
    return 2;
  }
  db::TableFile table(args[0]);
  const auto& h = table.Header();
  std::string line = "{\"table\":";
  AppendJsonString(line, table.Path().filename().string());
  line += ",\"level\":\"";
  line += LevelName(h.version);
  line += "\",\"fields\":[";
  for (std::size_t i = 0; i < h.fields.size(); ++i) {
    const auto& f = h.fields[i];
    if (i) line.push_back(',');
    line += "{\"name\":";
    AppendJsonString(line, f.name);
    line += ",\"type\":\"";
    line += db::px::TypeName(f.type);
    line += "\",\"size\":" + std::to_string(f.size);
    if (f.type == db::FieldType::Bcd) line += ",\"decimals\":" + std::to_string(f.descriptorSize);
    line.push_back('}');
  }
  line += "],\"keyFields\":" + std::to_string(table.Keyed() ? h.keyFields : 0);
  line += ",\"records\":" + std::to_string(table.FileOrder().size());
  line += ",\"codepage\":" + std::to_string(h.codepage) + "}\n";
  std::fputs(line.c_str(), stdout);
  for (std::uint32_t id : table.FileOrder()) {
    const std::uint8_t* rec = table.Record(id);
    line = "{";
    for (std::size_t i = 0; i < h.fields.size(); ++i) {
      const auto& f = h.fields[i];
      if (i) line.push_back(',');
      AppendJsonString(line, f.name);
      line.push_back(':');
      AppendValue(line, f, rec + f.offset, h.codepage);
    }
    line += "}\n";
    std::fputs(line.c_str(), stdout);
  }
  return 0;
}

}  // namespace

IMPPRET_COMMAND("table", "table FILE.DB", TableCommand);

}  // namespace imppret
