#include "db/PxOracle.h"

extern "C" {
#include <paradox.h>
}

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace pxo {
namespace {

std::string g_lastError;

void OnError(pxdoc_t*, int, const char* msg, void*) {
  g_lastError = msg ? msg : "?";
}

void* Alloc(pxdoc_t*, size_t size, const char*) {
  return std::calloc(1, size ? size : 1);
}
void* Realloc(pxdoc_t*, void* mem, size_t size, const char*) {
  return std::realloc(mem, size);
}
void Free(pxdoc_t*, void* mem) {
  std::free(mem);
}

pxdoc_t* NewDoc() {
  g_lastError.clear();
  return PX_new2(OnError, Alloc, Realloc, Free);
}

// The integer types are decoded here from the bytes: pxlib's own reader mistakes blanks.
bool RawInt(const unsigned char* p, int size, long long& v) {
  bool blank = true;
  unsigned long long u = 0;
  for (int i = 0; i < size; ++i) {
    if (p[i]) blank = false;
    u = (u << 8) | p[i];
  }
  if (blank) return false;
  u ^= 1ull << (size * 8 - 1);
  if (u & (1ull << (size * 8 - 1))) u |= ~0ull << (size * 8);
  v = static_cast<long long>(u);
  return true;
}

}  // namespace

void Create(const std::filesystem::path& db, const std::vector<Column>& columns, int keys,
            int codepage, const std::vector<std::vector<Cell>>& rows) {
  pxdoc_t* doc = NewDoc();
  auto* fields =
      static_cast<pxfield_t*>(doc->malloc(doc, columns.size() * sizeof(pxfield_t), "fields"));
  for (std::size_t i = 0; i < columns.size(); ++i) {
    fields[i].px_fname = PX_strdup(doc, columns[i].name.c_str());
    fields[i].px_ftype = columns[i].type;
    fields[i].px_flen = columns[i].len;
    fields[i].px_fdc = 0;
  }
  FILE* fp = std::fopen(db.c_str(), "w+");
  if (!fp) throw std::runtime_error("cannot create " + db.string());
  if (PX_create_fp(doc, fields, static_cast<int>(columns.size()), fp,
                   keys > 0 ? pxfFileTypIndexDB : pxfFileTypNonIndexDB) < 0)
    throw std::runtime_error("PX_create_fp: " + g_lastError);
  if (keys > 0) PX_set_value(doc, "numprimkeys", static_cast<float>(keys));
  doc->px_head->px_doscodepage = codepage;
  std::string stem = db.stem().string();
  PX_set_tablename(doc, stem.c_str());
  std::string cp = "CP" + std::to_string(codepage);
  PX_set_inputencoding(doc, "UTF-8");
  PX_set_targetencoding(doc, cp.c_str());
  int recordSize = PX_get_recordsize(doc);
  std::vector<char> data(static_cast<std::size_t>(recordSize));
  for (const auto& row : rows) {
    std::fill(data.begin(), data.end(), 0);
    int offset = 0;
    for (std::size_t i = 0; i < columns.size() && i < row.size(); ++i) {
      const Column& c = columns[i];
      const Cell& v = row[i];
      char* p = data.data() + offset;
      offset += c.len;
      if (v.blank) continue;
      switch (c.type) {
        case pxfAlpha: PX_put_data_alpha(doc, p, c.len, const_cast<char*>(v.s.c_str())); break;
        case pxfShort: PX_put_data_short(doc, p, c.len, static_cast<short>(v.i)); break;
        case pxfLong:
        case pxfDate:
        case pxfTime:
        case pxfAutoInc: PX_put_data_long(doc, p, c.len, static_cast<int>(v.i)); break;
        case pxfNumber:
        case pxfCurrency:
        case pxfTimestamp: PX_put_data_double(doc, p, c.len, v.d); break;
        case pxfLogical: PX_put_data_byte(doc, p, c.len, static_cast<char>(v.i)); break;
        default: throw std::runtime_error("oracle: unsupported type");
      }
    }
    if (PX_put_record(doc, data.data()) < 0)
      throw std::runtime_error("PX_put_record: " + g_lastError);
  }
  if (keys > 0) {
    std::filesystem::path pxPath = db;
    pxPath.replace_extension(".PX");
    pxdoc_t* index = NewDoc();
    auto* keyFields = static_cast<pxfield_t*>(
        index->malloc(index, static_cast<std::size_t>(keys) * sizeof(pxfield_t), "k"));
    for (int i = 0; i < keys; ++i) {
      keyFields[i].px_fname = PX_strdup(index, columns[static_cast<std::size_t>(i)].name.c_str());
      keyFields[i].px_ftype = columns[static_cast<std::size_t>(i)].type;
      keyFields[i].px_flen = columns[static_cast<std::size_t>(i)].len;
      keyFields[i].px_fdc = 0;
    }
    FILE* ip = std::fopen(pxPath.c_str(), "w+");
    if (!ip || PX_create_fp(index, keyFields, keys, ip, pxfFileTypPrimIndex) < 0)
      throw std::runtime_error("PX_create_fp index: " + g_lastError);
    if (PX_write_primary_index(doc, index) < 0)
      throw std::runtime_error("PX_write_primary_index: " + g_lastError);
    PX_close(index);
    PX_delete(index);
    std::fclose(ip);
  }
  PX_close(doc);
  PX_delete(doc);
  std::fclose(fp);
}

bool Read(const std::filesystem::path& db, const std::filesystem::path& px, Contents& out,
          std::string& error) {
  out = {};
  pxdoc_t* doc = NewDoc();
  FILE* fp = std::fopen(db.c_str(), "rb");
  if (!fp || PX_open_fp(doc, fp) < 0) {
    error = "open: " + g_lastError;
    if (fp) std::fclose(fp);
    PX_delete(doc);
    return false;
  }
  pxdoc_t* index = nullptr;
  FILE* ip = nullptr;
  bool ok = true;
  if (!px.empty()) {
    index = NewDoc();
    ip = std::fopen(px.c_str(), "rb");
    if (!ip || PX_open_fp(index, ip) < 0 || PX_read_primary_index(index) < 0 ||
        PX_add_primary_index(doc, index) < 0) {
      error = "index: " + g_lastError;
      ok = false;
    }
  }
  out.codepage = doc->px_head->px_doscodepage;
  out.records = doc->px_head->px_numrecords;
  out.keyFields = doc->px_head->px_primarykeyfields;
  out.blockKB = doc->px_head->px_maxtablesize;
  out.version = doc->px_head->px_fileversion;
  PX_set_targetencoding(doc, "UTF-8");
  int n = PX_get_num_fields(doc);
  pxfield_t* fields = PX_get_fields(doc);
  for (int i = 0; i < n; ++i)
    out.columns.push_back(
        {fields[i].px_fname, fields[i].px_ftype, fields[i].px_flen, fields[i].px_fdc});
  std::vector<char> data(static_cast<std::size_t>(PX_get_recordsize(doc)));
  int records = PX_get_num_records(doc);
  for (int r = 0; ok && r < records; ++r) {
    if (!PX_get_record(doc, r, data.data())) {
      error = "record " + std::to_string(r) + ": " + g_lastError;
      ok = false;
      break;
    }
    std::vector<Cell> row;
    int offset = 0;
    for (const Column& c : out.columns) {
      char* p = data.data() + offset;
      offset += c.len;
      Cell cell;
      switch (c.type) {
        case pxfAlpha: {
          char* value = nullptr;
          if (PX_get_data_alpha(doc, p, c.len, &value) > 0 && value) {
            cell = Text(value);
            doc->free(doc, value);
          }
          break;
        }
        case pxfShort:
        case pxfLong:
        case pxfDate:
        case pxfTime:
        case pxfAutoInc: {
          long long v;
          if (RawInt(reinterpret_cast<unsigned char*>(p), c.len, v)) cell = Int(v);
          break;
        }
        case pxfNumber:
        case pxfCurrency:
        case pxfTimestamp: {
          double v;
          if (PX_get_data_double(doc, p, c.len, &v) > 0) cell = Num(v);
          break;
        }
        case pxfLogical: {
          char v;
          if (PX_get_data_byte(doc, p, c.len, &v) > 0) cell = Int(v);
          break;
        }
        case pxfBCD: {
          char* value = nullptr;
          if (PX_get_data_bcd(doc, reinterpret_cast<unsigned char*>(p), c.decimals, &value) > 0 &&
              value) {
            cell = Text(value);
            doc->free(doc, value);
          }
          break;
        }
        case pxfBytes: {
          char* value = nullptr;
          if (PX_get_data_bytes(doc, p, c.len, &value) > 0 && value) {
            cell = Text(std::string(value, static_cast<std::size_t>(c.len)));
            doc->free(doc, value);
          }
          break;
        }
        default: break;
      }
      row.push_back(cell);
    }
    out.rows.push_back(std::move(row));
  }
  if (index) {
    PX_close(index);
    PX_delete(index);
  }
  PX_close(doc);
  PX_delete(doc);
  std::fclose(fp);
  if (ip) std::fclose(ip);
  return ok;
}

}  // namespace pxo

// pxlib keeps some of its own allocations past PX_delete; they are not ours to report.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return "leak:libpx.so\nleak:PX_read_primary_index\n";
}
