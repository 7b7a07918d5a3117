#include "platform/db/Query.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <variant>
#include <vector>

#include "platform/Files.h"
#include "platform/db/FieldValue.h"
#include "platform/db/TableFile.h"

namespace db {
namespace {

using Value = std::variant<std::monostate, std::int64_t, double, std::string>;

struct Database {
  sqlite3* db = nullptr;
  ~Database() {
    if (db) sqlite3_close(db);
  }
  void Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      std::string message = error ? error : "eroare SQL";
      sqlite3_free(error);
      throw DbError(message);
    }
  }
};

struct Statement {
  sqlite3_stmt* stmt = nullptr;
  ~Statement() {
    if (stmt) sqlite3_finalize(stmt);
  }
};

// The double-quoted names of the SQL text, as written between the quotes.
std::vector<std::string> QuotedNames(const std::string& sql) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < sql.size(); ++i) {
    char c = sql[i];
    if (c == '\'') {  // skip string literals
      for (++i; i < sql.size(); ++i)
        if (sql[i] == '\'') {
          if (i + 1 < sql.size() && sql[i + 1] == '\'')
            ++i;
          else
            break;
        }
      continue;
    }
    if (c != '"') continue;
    std::string raw;
    for (++i; i < sql.size(); ++i) {
      if (sql[i] == '"') {
        if (i + 1 < sql.size() && sql[i + 1] == '"') {
          raw += "\"\"";
          ++i;
          continue;
        }
        break;
      }
      raw.push_back(sql[i]);
    }
    names.push_back(raw);
  }
  return names;
}

// The Paradox file a quoted name stands for ("<folder>/NART" or "<folder>\NART"), or empty.
std::filesystem::path TableFileFor(const std::string& raw) {
  std::string name;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '"' && i + 1 < raw.size() && raw[i + 1] == '"') ++i;
    name.push_back(raw[i] == '\\' ? '/' : raw[i]);
  }
  std::filesystem::path p(name);
  if (!p.has_parent_path() || !p.has_filename()) return {};
  std::string file = p.filename().string();
  if (p.extension().empty()) file += ".DB";
  return platform::FindFileNoCase(p.parent_path(), file);
}

std::string QuoteIdentifier(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    out.push_back(c);
    if (c == '"') out.push_back('"');
  }
  return out + "\"";
}

Value StoredValue(const px::FieldInfo& f, const std::uint8_t* p, int codepage) {
  if (value::IsBlankValue(f, p)) return {};
  switch (f.type) {
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::AutoInc: return px::DecodeInt(p, f.size);
    case FieldType::Number:
    case FieldType::Currency: return px::DecodeDouble(p);
    case FieldType::Logical: return std::int64_t{(p[0] & 0x7F) ? 1 : 0};
    case FieldType::Bcd: return std::strtod(px::DecodeBcd(p, f.descriptorSize).c_str(), nullptr);
    case FieldType::Date: {
      int y, m, d;
      px::CivilFromDays(px::DecodeInt(p, 4), y, m, d);
      char buf[32];
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
      return std::string(buf);
    }
    default: {
      std::string text = value::AsText(f, p, codepage);
      if (text.empty()) return {};
      return text;
    }
  }
}

const char* Affinity(FieldType t) {
  if (value::IsIntegral(t) || t == FieldType::Logical) return "INTEGER";
  if (value::IsNumeric(t) || t == FieldType::Bcd) return "REAL";
  return "TEXT";
}

void LoadTable(Database& db, const std::string& sqlName, const std::filesystem::path& path) {
  TableFile table(path);
  const auto& h = table.Header();
  std::string create = "CREATE TABLE " + QuoteIdentifier(sqlName) + " (";
  std::string insert = "INSERT INTO " + QuoteIdentifier(sqlName) + " VALUES (";
  for (std::size_t i = 0; i < h.fields.size(); ++i) {
    create +=
        (i ? ", " : "") + QuoteIdentifier(h.fields[i].name) + " " + Affinity(h.fields[i].type);
    insert += i ? ", ?" : "?";
  }
  db.Exec(create + ")");
  Statement st;
  if (sqlite3_prepare_v2(db.db, (insert + ")").c_str(), -1, &st.stmt, nullptr) != SQLITE_OK)
    throw DbError(sqlite3_errmsg(db.db));
  db.Exec("BEGIN");
  for (std::uint32_t id : table.FileOrder()) {
    const std::uint8_t* rec = table.Record(id);
    for (std::size_t i = 0; i < h.fields.size(); ++i) {
      const auto& f = h.fields[i];
      Value v = StoredValue(f, rec + f.offset, h.codepage);
      int col = static_cast<int>(i) + 1;
      if (auto* n = std::get_if<std::int64_t>(&v))
        sqlite3_bind_int64(st.stmt, col, *n);
      else if (auto* d = std::get_if<double>(&v))
        sqlite3_bind_double(st.stmt, col, *d);
      else if (auto* s = std::get_if<std::string>(&v))
        sqlite3_bind_text(st.stmt, col, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
      else
        sqlite3_bind_null(st.stmt, col);
    }
    if (sqlite3_step(st.stmt) != SQLITE_DONE) throw DbError(sqlite3_errmsg(db.db));
    sqlite3_reset(st.stmt);
  }
  db.Exec("COMMIT");
}

class QueryField final : public Field {
 public:
  QueryField(Query::Impl& q, int column, std::string name, FieldType type)
      : q_(q), column_(column), name_(std::move(name)), type_(type) {}
  const std::string& FieldName() const override { return name_; }
  FieldType DataType() const override { return type_; }
  int Size() const override { return 0; }
  bool IsNull() const override { return std::holds_alternative<std::monostate>(Get()); }
  std::string AsString() const override {
    const Value& v = Get();
    if (auto* n = std::get_if<std::int64_t>(&v)) return std::to_string(*n);
    if (auto* d = std::get_if<double>(&v)) return value::FormatNumber(*d);
    if (auto* s = std::get_if<std::string>(&v)) return *s;
    return {};
  }
  std::int32_t AsInteger() const override {
    const Value& v = Get();
    std::int64_t n = 0;
    if (auto* i = std::get_if<std::int64_t>(&v))
      n = *i;
    else if (auto* d = std::get_if<double>(&v)) {
      if (*d != std::floor(*d)) Refuse("intreaga");
      n = static_cast<std::int64_t>(*d);
    } else if (auto* s = std::get_if<std::string>(&v)) {
      if (!value::ParseInteger(*s, n)) Refuse("intreaga");
    }
    if (n < INT32_MIN || n > INT32_MAX) Refuse("intreaga");
    return static_cast<std::int32_t>(n);
  }
  double AsFloat() const override {
    const Value& v = Get();
    if (auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
    if (auto* d = std::get_if<double>(&v)) return *d;
    double d = 0;
    if (auto* s = std::get_if<std::string>(&v); s && !value::ParseNumber(*s, d)) Refuse("numerica");
    return d;
  }
  bool AsBoolean() const override { return AsFloat() != 0; }
  void SetAsString(std::string_view) override { ReadOnly(); }
  void SetAsInteger(std::int32_t) override { ReadOnly(); }
  void SetAsFloat(double) override { ReadOnly(); }
  void SetAsBoolean(bool) override { ReadOnly(); }
  void Clear() override { ReadOnly(); }

 private:
  const Value& Get() const;
  [[noreturn]] void Refuse(const char* kind) const {
    throw DbError("'" + AsString() + "' nu este o valoare " + kind + " (coloana \"" + name_ +
                  "\")");
  }
  [[noreturn]] void ReadOnly() const {
    throw DbError("Rezultatul unei interogari poate fi doar citit");
  }

  Query::Impl& q_;
  int column_;
  std::string name_;
  FieldType type_;
};

}  // namespace

struct Query::Impl {
  bool active = false;
  std::vector<std::unique_ptr<QueryField>> fields;
  std::vector<std::vector<Value>> rows;
  std::size_t row = 0;
  bool eof = true;
  Value null;
};

namespace {
const Value& QueryField::Get() const {
  if (!q_.active || q_.row >= q_.rows.size()) return q_.null;
  return q_.rows[q_.row][static_cast<std::size_t>(column_)];
}
}  // namespace

Query::Query() : impl_(std::make_unique<Impl>()) {}
Query::~Query() = default;

void Query::Open() {
  Close();
  Database db;
  if (sqlite3_open(":memory:", &db.db) != SQLITE_OK)
    throw DbError("Baza de date SQL nu poate fi creata");
  std::set<std::string> loaded;
  for (const std::string& raw : QuotedNames(SQL)) {
    std::string key = raw;
    for (char& c : key)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (loaded.count(key)) continue;
    std::filesystem::path path = TableFileFor(raw);
    if (path.empty()) continue;
    loaded.insert(key);
    std::string name;
    for (std::size_t i = 0; i < raw.size(); ++i) {
      name.push_back(raw[i]);
      if (raw[i] == '"') ++i;  // undouble
    }
    LoadTable(db, name, path);
  }
  Statement st;
  if (sqlite3_prepare_v2(db.db, SQL.c_str(), -1, &st.stmt, nullptr) != SQLITE_OK)
    throw DbError(std::string("Eroare in interogare: ") + sqlite3_errmsg(db.db));
  if (!st.stmt) throw DbError("Interogarea este goala");
  auto& q = *impl_;
  int columns = sqlite3_column_count(st.stmt);
  std::vector<std::unique_ptr<QueryField>> fields;
  for (int c = 0; c < columns; ++c) {
    const char* decl = sqlite3_column_decltype(st.stmt, c);
    std::string d = decl ? decl : "";
    FieldType t = d == "INTEGER" ? FieldType::Long
                  : d == "REAL"  ? FieldType::Number
                                 : FieldType::Alpha;
    const char* name = sqlite3_column_name(st.stmt, c);
    fields.push_back(std::make_unique<QueryField>(q, c, name ? name : "", t));
  }
  std::vector<std::vector<Value>> rows;
  for (;;) {
    int rc = sqlite3_step(st.stmt);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW)
      throw DbError(std::string("Eroare in interogare: ") + sqlite3_errmsg(db.db));
    std::vector<Value> row;
    for (int c = 0; c < columns; ++c) {
      switch (sqlite3_column_type(st.stmt, c)) {
        case SQLITE_INTEGER:
          row.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(st.stmt, c)));
          break;
        case SQLITE_FLOAT: row.emplace_back(sqlite3_column_double(st.stmt, c)); break;
        case SQLITE_NULL: row.emplace_back(); break;
        default: {
          const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st.stmt, c));
          row.emplace_back(std::string(text ? text : "",
                                       static_cast<std::size_t>(sqlite3_column_bytes(st.stmt, c))));
        }
      }
    }
    rows.push_back(std::move(row));
  }
  q.fields = std::move(fields);
  q.rows = std::move(rows);
  q.active = true;
  First();
}

void Query::Close() {
  auto& q = *impl_;
  q.active = false;
  q.fields.clear();
  q.rows.clear();
  q.row = 0;
  q.eof = true;
}

bool Query::Active() const {
  return impl_->active;
}

void Query::First() {
  impl_->row = 0;
  impl_->eof = impl_->rows.empty();
}

void Query::Next() {
  auto& q = *impl_;
  if (q.row + 1 < q.rows.size())
    ++q.row;
  else
    q.eof = true;
}

bool Query::Eof() const {
  return impl_->eof;
}
int Query::FieldCount() const {
  return static_cast<int>(impl_->fields.size());
}

Field& Query::Fields(int index) {
  auto& q = *impl_;
  if (!q.active) throw DbError("Interogarea nu este deschisa");
  if (index < 0 || index >= static_cast<int>(q.fields.size()))
    throw DbError("Interogarea nu are coloana cu numarul " + std::to_string(index));
  return *q.fields[static_cast<std::size_t>(index)];
}

}  // namespace db
