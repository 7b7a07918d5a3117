#include "platform/db/Table.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/AsciiCase.h"
#include "platform/Codepage.h"
#include "platform/Files.h"
#include "platform/db/FieldValue.h"
#include "platform/db/FilterExpr.h"
#include "platform/db/TableFile.h"

namespace db {
namespace {

using Key = std::vector<std::vector<std::uint8_t>>;

}  // namespace

class TableField;

struct Table::Impl {
  Table& owner;
  std::unique_ptr<TableFile> file;
  std::vector<std::unique_ptr<TableField>> fields;
  TableState state = TableState::Inactive;

  std::string indexName;
  std::vector<int> indexFields;  // fields the current order sorts by
  bool secondary = false;
  std::vector<std::uint32_t> secondaryOrder;

  std::string filterText;
  bool filtered = false;
  bool filterActive = false;
  int filterField = -1;
  std::vector<std::uint8_t> filterBytes;
  bool filterNeverMatches = false;
  std::vector<std::uint32_t> filteredOrder;

  bool rangeOn = false;
  bool rangeEmpty = false;
  Key rangeStart, rangeEnd;

  std::size_t lo = 0, hi = 0, pos = 0;
  bool eof = true, bof = true;

  std::vector<std::uint8_t> buffer;
  std::uint32_t editId = 0;

  explicit Impl(Table& t) : owner(t) {}

  const px::Header& H() const { return file->Header(); }
  int Codepage() const { return H().codepage; }

  const std::vector<std::uint32_t>& View() const {
    if (filterActive) return filteredOrder;
    if (secondary) return secondaryOrder;
    return file->FileOrder();
  }
  bool HasCurrent() const { return file && lo < hi && pos >= lo && pos < hi; }
  const std::uint8_t* Current() const {
    if (state == TableState::Edit || state == TableState::Insert) return buffer.data();
    return HasCurrent() ? file->Record(View()[pos]) : nullptr;
  }

  void RequireActive() const {
    if (!file) throw DbError("Tabela \"" + owner.TableName + "\" nu este deschisa");
  }

  // Order of the current index over its first key.size() fields; 0 when equal.
  int ComparePrefix(const std::uint8_t* rec, const Key& key) const {
    for (std::size_t i = 0; i < key.size() && i < indexFields.size(); ++i) {
      const auto& f = H().fields[indexFields[i]];
      int c = std::memcmp(rec + f.offset, key[i].data(), static_cast<std::size_t>(f.size));
      if (c) return c;
    }
    return 0;
  }
  int CompareRecords(const std::uint8_t* a, const std::uint8_t* b) const {
    for (int fi : indexFields) {
      const auto& f = H().fields[fi];
      int c = std::memcmp(a + f.offset, b + f.offset, static_cast<std::size_t>(f.size));
      if (c) return c;
    }
    return 0;
  }

  std::size_t LowerBound(const std::vector<std::uint32_t>& v, std::size_t from, std::size_t to,
                         const Key& key) const {
    auto it = std::lower_bound(
        v.begin() + static_cast<std::ptrdiff_t>(from), v.begin() + static_cast<std::ptrdiff_t>(to),
        0, [&](std::uint32_t id, int) { return ComparePrefix(file->Record(id), key) < 0; });
    return static_cast<std::size_t>(it - v.begin());
  }
  std::size_t UpperBound(const std::vector<std::uint32_t>& v, std::size_t from, std::size_t to,
                         const Key& key) const {
    auto it = std::upper_bound(
        v.begin() + static_cast<std::ptrdiff_t>(from), v.begin() + static_cast<std::ptrdiff_t>(to),
        0, [&](int, std::uint32_t id) { return ComparePrefix(file->Record(id), key) > 0; });
    return static_cast<std::size_t>(it - v.begin());
  }

  bool Matches(std::uint32_t id) const {
    if (filterNeverMatches) return false;
    const auto& f = H().fields[filterField];
    return std::memcmp(file->Record(id) + f.offset, filterBytes.data(),
                       static_cast<std::size_t>(f.size)) == 0;
  }

  // Encodes search values for the first fields of the current index; false when none can match.
  bool EncodeIndexKey(const std::vector<KeyValue>& values, Key& key) const {
    if (indexFields.empty())
      throw DbError("Tabela \"" + owner.TableName + "\" nu are index pentru cautare");
    if (values.size() > indexFields.size())
      throw DbError("Prea multe valori pentru cheia indexului tabelei \"" + owner.TableName + "\"");
    key.clear();
    bool ok = true;
    for (std::size_t i = 0; i < values.size(); ++i) {
      const auto& f = H().fields[indexFields[i]];
      key.emplace_back(static_cast<std::size_t>(f.size));
      if (!value::EncodeKey(f, values[i], Codepage(), key.back().data())) ok = false;
    }
    return ok;
  }

  void UpdateBounds() {
    const auto& v = View();
    lo = 0;
    hi = v.size();
    if (rangeOn) {
      if (rangeEmpty) {
        hi = 0;
      } else {
        lo = LowerBound(v, 0, v.size(), rangeStart);
        hi = UpperBound(v, lo, v.size(), rangeEnd);
        if (hi < lo) hi = lo;
      }
    }
  }

  void RebuildViews() {
    if (secondary) {
      secondaryOrder = file->FileOrder();
      std::stable_sort(secondaryOrder.begin(), secondaryOrder.end(),
                       [&](std::uint32_t a, std::uint32_t b) {
                         return CompareRecords(file->Record(a), file->Record(b)) < 0;
                       });
    } else {
      secondaryOrder.clear();
      secondaryOrder.shrink_to_fit();
    }
    filteredOrder.clear();
    if (filterActive) {
      const auto& base = secondary ? secondaryOrder : file->FileOrder();
      for (std::uint32_t id : base)
        if (Matches(id)) filteredOrder.push_back(id);
    }
    UpdateBounds();
  }

  // Where `id` stands in the current view, or npos.
  std::size_t Find(std::uint32_t id) const {
    const auto& v = View();
    if (!v.empty() && v.back() == id) return v.size() - 1;
    const std::uint8_t* rec = file->Record(id);
    auto it = std::lower_bound(v.begin(), v.end(), id, [&](std::uint32_t x, std::uint32_t) {
      return CompareRecords(file->Record(x), rec) < 0;
    });
    for (; it != v.end(); ++it) {
      if (*it == id) return static_cast<std::size_t>(it - v.begin());
      if (!indexFields.empty() && CompareRecords(file->Record(*it), rec) != 0) break;
    }
    return std::string::npos;
  }

  void PositionOn(std::uint32_t id) {
    std::size_t at = Find(id);
    if (at != std::string::npos && at >= lo && at < hi) {
      pos = at;
    } else if (pos >= hi) {
      pos = hi > lo ? hi - 1 : lo;
    }
    eof = bof = lo >= hi;
  }

  void CheckBrowseMode() {
    if (state == TableState::Edit || state == TableState::Insert) owner.Post();
  }

  // Takes the writer's lock; when another program changed the table meanwhile, the views are
  // rebuilt and the cursor finds its record again.
  void BeginWrite() {
    if (file->Writing()) return;
    std::vector<std::uint8_t> current;
    if (HasCurrent()) {
      const std::uint8_t* r = file->Record(View()[pos]);
      current.assign(r, r + H().recordSize);
    }
    std::uint64_t generation = file->Generation();
    file->BeginWrite();
    if (file->Generation() == generation) return;
    RebuildViews();
    pos = lo;
    eof = bof = lo >= hi;
    if (current.empty()) return;
    const auto& v = View();
    std::size_t keySize = file->Keyed() ? static_cast<std::size_t>(H().KeySize()) : current.size();
    for (std::size_t i = lo; i < hi; ++i)
      if (std::memcmp(file->Record(v[i]), current.data(), keySize) == 0) {
        pos = i;
        return;
      }
    throw DbError("Inregistrarea curenta a tabelei \"" + owner.TableName +
                  "\" a fost schimbata de alt program");
  }

  void ApplyFilter() {
    filterActive = false;
    filterField = -1;
    if (!filtered || filterText.empty() || !file) return;
    FilterExpr e = ParseFilter(filterText);
    for (std::size_t i = 0; i < H().fields.size(); ++i)
      if (platform::EqualsNoCase(H().fields[i].name, e.field)) filterField = static_cast<int>(i);
    if (filterField < 0)
      throw DbError("Campul \"" + e.field + "\" din filtru nu exista in tabela \"" +
                    owner.TableName + "\"");
    const auto& f = H().fields[filterField];
    filterBytes.assign(static_cast<std::size_t>(f.size), 0);
    filterNeverMatches = !value::EncodeKey(f, KeyValue{e.literal}, Codepage(), filterBytes.data());
    filterActive = true;
  }

  void ApplyIndex() {
    indexFields.clear();
    secondary = false;
    if (indexName.empty()) {
      if (file->Keyed())
        for (int i = 0; i < H().keyFields; ++i) indexFields.push_back(i);
      return;
    }
    for (std::size_t i = 0; i < H().fields.size(); ++i)
      if (platform::EqualsNoCase(H().fields[i].name, indexName)) {
        FieldType t = H().fields[i].type;
        if (value::IsBlobType(t)) break;
        indexFields.push_back(static_cast<int>(i));
        secondary = true;
        return;
      }
    throw DbError("Indexul \"" + indexName + "\" nu exista in tabela \"" + owner.TableName + "\"");
  }
};

class TableField final : public Field {
 public:
  TableField(Table::Impl& t, int index) : t_(t), index_(index), info_(t.H().fields[index]) {}

  const std::string& FieldName() const override { return info_.name; }
  FieldType DataType() const override { return info_.type; }
  int Size() const override { return info_.type == FieldType::Alpha ? info_.size : 0; }
  bool IsNull() const override {
    const std::uint8_t* p = Bytes();
    return !p || value::IsBlankValue(info_, p);
  }

  std::string AsString() const override {
    const std::uint8_t* p = Bytes();
    return p ? value::AsText(info_, p, t_.Codepage()) : std::string();
  }
  std::int32_t AsInteger() const override {
    const std::uint8_t* p = Bytes();
    if (!p || value::IsBlankValue(info_, p)) return 0;
    if (value::IsIntegral(info_.type))
      return static_cast<std::int32_t>(px::DecodeInt(p, info_.size));
    if (info_.type == FieldType::Logical) return p[0] & 0x7F ? 1 : 0;
    if (value::IsNumeric(info_.type)) {
      double d = px::DecodeDouble(p);
      if (d == std::floor(d) && std::fabs(d) <= 2147483647.0) return static_cast<std::int32_t>(d);
    } else if (info_.type == FieldType::Alpha) {
      std::int64_t v;
      if (value::ParseInteger(AsString(), v) && v >= INT32_MIN && v <= INT32_MAX)
        return static_cast<std::int32_t>(v);
    }
    throw DbError("'" + AsString() + "' nu este o valoare intreaga (campul \"" + info_.name +
                  "\")");
  }
  double AsFloat() const override {
    const std::uint8_t* p = Bytes();
    if (!p || value::IsBlankValue(info_, p)) return 0;
    if (value::IsNumeric(info_.type) || info_.type == FieldType::Timestamp)
      return px::DecodeDouble(p);
    if (value::IsIntegral(info_.type) || info_.type == FieldType::Date ||
        info_.type == FieldType::Time)
      return static_cast<double>(px::DecodeInt(p, info_.size));
    if (info_.type == FieldType::Logical) return p[0] & 0x7F ? 1 : 0;
    double d;
    if ((info_.type == FieldType::Alpha || info_.type == FieldType::Bcd) &&
        value::ParseNumber(AsString(), d))
      return d;
    throw DbError("'" + AsString() + "' nu este o valoare numerica (campul \"" + info_.name +
                  "\")");
  }
  bool AsBoolean() const override {
    const std::uint8_t* p = Bytes();
    if (!p || value::IsBlankValue(info_, p)) return false;
    if (info_.type == FieldType::Logical) return p[0] & 0x7F;
    return AsFloat() != 0;
  }

  void SetAsString(std::string_view v) override {
    std::uint8_t* p = Writable();
    if (value::EncodeText(info_, v, t_.Codepage(), p)) return;
    std::string bytes;
    if (!platform::FromUtf8(v, t_.Codepage(), bytes))
      throw DbError("Textul '" + std::string(v) +
                    "' contine caractere care nu exista in pagina de cod " +
                    std::to_string(t_.Codepage()) + " a tabelei (campul \"" + info_.name + "\")");
    throw DbError("Textul '" + std::string(v) + "' depaseste lungimea de " +
                  std::to_string(info_.size) + " a campului \"" + info_.name + "\"");
  }
  void SetAsInteger(std::int32_t v) override {
    value::EncodeInteger(info_, v, t_.Codepage(), Writable());
  }
  void SetAsFloat(double v) override { value::EncodeFloat(info_, v, t_.Codepage(), Writable()); }
  void SetAsBoolean(bool v) override {
    if (info_.type == FieldType::Logical) {
      Writable()[0] = v ? 0x81 : 0x80;
      return;
    }
    SetAsInteger(v ? 1 : 0);
  }
  void Clear() override { std::memset(Writable(), 0, static_cast<std::size_t>(info_.size)); }

 private:
  const std::uint8_t* Bytes() const {
    const std::uint8_t* r = t_.Current();
    return r ? r + info_.offset : nullptr;
  }
  std::uint8_t* Writable() {
    if (t_.state != TableState::Edit && t_.state != TableState::Insert)
      throw DbError("Tabela \"" + t_.owner.TableName + "\" nu este in modul de editare");
    if (value::IsBlobType(info_.type) || info_.type == FieldType::Bcd ||
        info_.type == FieldType::Bytes)
      throw DbError("Campul \"" + info_.name + "\" poate fi doar citit");
    return t_.buffer.data() + info_.offset;
  }

  Table::Impl& t_;
  [[maybe_unused]] int index_;
  px::FieldInfo info_;
};

Table::Table() : impl_(std::make_unique<Impl>(*this)) {}
Table::~Table() {
  Close();
}

void Table::Open() {
  if (impl_->file) return;
  std::string name = TableName;
  std::filesystem::path direct(name);
  if (direct.extension().empty()) name += ".DB";
  std::filesystem::path path = platform::FindFileNoCase(DatabaseName, name);
  if (path.empty())
    throw DbError("Tabela \"" + TableName + "\" nu exista in " + DatabaseName.string());
  auto& t = *impl_;
  t.file = std::make_unique<TableFile>(path);
  try {
    t.fields.clear();
    for (std::size_t i = 0; i < t.H().fields.size(); ++i)
      t.fields.push_back(std::make_unique<TableField>(t, static_cast<int>(i)));
    t.state = TableState::Browse;
    t.rangeOn = false;
    t.ApplyIndex();
    t.ApplyFilter();
    t.RebuildViews();
    First();
  } catch (...) {
    Close();
    throw;
  }
}

void Table::Close() {
  auto& t = *impl_;
  t.file.reset();
  t.fields.clear();
  t.secondaryOrder.clear();
  t.filteredOrder.clear();
  t.buffer.clear();
  t.state = TableState::Inactive;
  t.lo = t.hi = t.pos = 0;
  t.eof = t.bof = true;
  t.rangeOn = false;
}

bool Table::Active() const {
  return impl_->file != nullptr;
}
TableState Table::State() const {
  return impl_->state;
}

void Table::First() {
  auto& t = *impl_;
  t.RequireActive();
  t.CheckBrowseMode();
  t.pos = t.lo;
  t.bof = true;
  t.eof = t.lo >= t.hi;
}

void Table::Next() {
  auto& t = *impl_;
  t.RequireActive();
  t.CheckBrowseMode();
  if (t.pos + 1 < t.hi) {
    ++t.pos;
    t.bof = false;
  } else {
    t.eof = true;
  }
}

void Table::Prior() {
  auto& t = *impl_;
  t.RequireActive();
  t.CheckBrowseMode();
  if (t.pos > t.lo && t.pos < t.hi) {
    --t.pos;
    t.eof = false;
  } else {
    t.bof = true;
  }
}

void Table::Last() {
  auto& t = *impl_;
  t.RequireActive();
  t.CheckBrowseMode();
  t.pos = t.hi > t.lo ? t.hi - 1 : t.lo;
  t.eof = true;
  t.bof = t.lo >= t.hi;
}

bool Table::Eof() const {
  return impl_->eof;
}
bool Table::Bof() const {
  return impl_->bof;
}

int Table::RecordCount() const {
  const auto& t = *impl_;
  t.RequireActive();
  return static_cast<int>(t.hi - t.lo);
}

int Table::FieldCount() const {
  return static_cast<int>(impl_->fields.size());
}

Field& Table::Fields(int index) {
  auto& t = *impl_;
  t.RequireActive();
  if (index < 0 || index >= static_cast<int>(t.fields.size()))
    throw DbError("Tabela \"" + TableName + "\" nu are campul cu numarul " + std::to_string(index));
  return *t.fields[static_cast<std::size_t>(index)];
}

Field& Table::FieldByName(std::string_view name) {
  if (Field* f = FindField(name)) return *f;
  impl_->RequireActive();
  throw DbError("Campul \"" + std::string(name) + "\" nu exista in tabela \"" + TableName + "\"");
}

Field* Table::FindField(std::string_view name) {
  for (auto& f : impl_->fields)
    if (platform::EqualsNoCase(f->FieldName(), name)) return f.get();
  return nullptr;
}

void Table::SetIndexName(const std::string& name) {
  auto& t = *impl_;
  if (!t.file) {
    t.indexName = name;
    return;
  }
  t.CheckBrowseMode();
  std::string previous = t.indexName;
  t.indexName = name;
  try {
    t.ApplyIndex();
  } catch (...) {
    t.indexName = previous;
    t.ApplyIndex();
    throw;
  }
  t.rangeOn = false;
  t.RebuildViews();
  First();
}

const std::string& Table::IndexName() const {
  return impl_->indexName;
}

bool Table::FindKey(const std::vector<KeyValue>& values) {
  auto& t = *impl_;
  t.RequireActive();
  t.CheckBrowseMode();
  Key key;
  if (!t.EncodeIndexKey(values, key)) return false;
  const auto& v = t.View();
  std::size_t at = t.LowerBound(v, t.lo, t.hi, key);
  if (at >= t.hi || t.ComparePrefix(t.file->Record(v[at]), key) != 0) return false;
  t.pos = at;
  t.eof = t.bof = false;
  return true;
}

void Table::SetFilter(const std::string& text) {
  auto& t = *impl_;
  if (!text.empty()) ParseFilter(text);  // refuses any other form at once
  t.filterText = text;
  if (!t.file) return;
  t.CheckBrowseMode();
  t.ApplyFilter();
  t.RebuildViews();
  First();
}

const std::string& Table::Filter() const {
  return impl_->filterText;
}

void Table::SetFiltered(bool on) {
  auto& t = *impl_;
  if (t.filtered == on) return;
  t.filtered = on;
  if (!t.file) return;
  t.CheckBrowseMode();
  try {
    t.ApplyFilter();
  } catch (...) {
    t.filtered = false;
    t.filterActive = false;
    throw;
  }
  t.RebuildViews();
  First();
}

bool Table::Filtered() const {
  return impl_->filtered;
}

void Table::SetRange(const std::vector<KeyValue>& start, const std::vector<KeyValue>& end) {
  auto& t = *impl_;
  t.RequireActive();
  t.CheckBrowseMode();
  bool okStart = t.EncodeIndexKey(start, t.rangeStart);
  bool okEnd = t.EncodeIndexKey(end, t.rangeEnd);
  t.rangeEmpty = !okStart || !okEnd;
  t.rangeOn = true;
  t.UpdateBounds();
  First();
}

void Table::CancelRange() {
  auto& t = *impl_;
  t.RequireActive();
  t.CheckBrowseMode();
  t.rangeOn = false;
  t.UpdateBounds();
  First();
}

bool Table::Locate(const std::string& fieldList, const std::vector<KeyValue>& values) {
  auto& t = *impl_;
  t.RequireActive();
  t.CheckBrowseMode();
  std::vector<int> fieldIndexes;
  for (std::size_t start = 0; start <= fieldList.size();) {
    std::size_t semi = fieldList.find(';', start);
    if (semi == std::string::npos) semi = fieldList.size();
    std::string name = fieldList.substr(start, semi - start);
    while (!name.empty() && name.front() == ' ') name.erase(name.begin());
    while (!name.empty() && name.back() == ' ') name.pop_back();
    int found = -1;
    for (std::size_t i = 0; i < t.H().fields.size(); ++i)
      if (platform::EqualsNoCase(t.H().fields[i].name, name)) found = static_cast<int>(i);
    if (found < 0)
      throw DbError("Campul \"" + name + "\" nu exista in tabela \"" + TableName + "\"");
    fieldIndexes.push_back(found);
    start = semi + 1;
  }
  if (fieldIndexes.size() != values.size())
    throw DbError("Numarul valorilor cautate nu corespunde numarului de campuri (" + fieldList +
                  ")");
  Key wanted;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto& f = t.H().fields[fieldIndexes[i]];
    wanted.emplace_back(static_cast<std::size_t>(f.size));
    if (!value::EncodeKey(f, values[i], t.Codepage(), wanted.back().data())) return false;
  }
  // When the located fields begin with the current index's fields, a binary search narrows the
  // scan.
  std::size_t prefix = 0;
  while (prefix < fieldIndexes.size() && prefix < t.indexFields.size() &&
         fieldIndexes[prefix] == t.indexFields[prefix])
    ++prefix;
  const auto& v = t.View();
  std::size_t from = t.lo, to = t.hi;
  if (prefix > 0) {
    Key head(wanted.begin(), wanted.begin() + static_cast<std::ptrdiff_t>(prefix));
    from = t.LowerBound(v, t.lo, t.hi, head);
    to = t.UpperBound(v, from, t.hi, head);
  }
  for (std::size_t i = from; i < to; ++i) {
    const std::uint8_t* rec = t.file->Record(v[i]);
    bool all = true;
    for (std::size_t k = 0; k < fieldIndexes.size() && all; ++k) {
      const auto& f = t.H().fields[fieldIndexes[k]];
      all = std::memcmp(rec + f.offset, wanted[k].data(), static_cast<std::size_t>(f.size)) == 0;
    }
    if (all) {
      t.pos = i;
      t.eof = t.bof = false;
      return true;
    }
  }
  return false;
}

void Table::Edit() {
  auto& t = *impl_;
  t.RequireActive();
  if (t.state == TableState::Edit || t.state == TableState::Insert) return;
  if (!t.HasCurrent())
    throw DbError("Tabela \"" + TableName + "\" nu are o inregistrare curenta de modificat");
  t.BeginWrite();
  if (!t.HasCurrent())
    throw DbError("Tabela \"" + TableName + "\" nu are o inregistrare curenta de modificat");
  t.editId = t.View()[t.pos];
  const std::uint8_t* r = t.file->Record(t.editId);
  t.buffer.assign(r, r + t.H().recordSize);
  t.state = TableState::Edit;
}

void Table::Append() {
  auto& t = *impl_;
  t.RequireActive();
  t.CheckBrowseMode();
  t.BeginWrite();
  t.buffer.assign(static_cast<std::size_t>(t.H().recordSize), 0);
  t.state = TableState::Insert;
}

void Table::Post() {
  auto& t = *impl_;
  t.RequireActive();
  if (t.state == TableState::Edit) {
    std::vector<std::uint8_t> before(t.file->Record(t.editId),
                                     t.file->Record(t.editId) + t.H().recordSize);
    t.file->Update(t.editId, t.buffer.data());
    t.state = TableState::Browse;
    bool reorder = false;
    auto changed = [&](int fi) {
      const auto& f = t.H().fields[fi];
      return std::memcmp(before.data() + f.offset, t.buffer.data() + f.offset,
                         static_cast<std::size_t>(f.size)) != 0;
    };
    for (int fi : t.indexFields) reorder = reorder || changed(fi);
    if (t.filterActive) reorder = reorder || changed(t.filterField);
    if (reorder) {
      t.RebuildViews();
      t.PositionOn(t.editId);
    }
  } else if (t.state == TableState::Insert) {
    std::uint32_t id = t.file->Insert(t.buffer);
    t.state = TableState::Browse;
    const std::uint8_t* rec = t.file->Record(id);
    auto insertSorted = [&](std::vector<std::uint32_t>& v) {
      auto it = std::upper_bound(v.begin(), v.end(), id, [&](std::uint32_t, std::uint32_t x) {
        return t.CompareRecords(rec, t.file->Record(x)) < 0;
      });
      v.insert(it, id);
    };
    if (t.secondary) insertSorted(t.secondaryOrder);
    if (t.filterActive && t.Matches(id)) insertSorted(t.filteredOrder);
    t.UpdateBounds();
    t.PositionOn(id);
  }
  t.buffer.clear();
}

void Table::Cancel() {
  auto& t = *impl_;
  if (t.state == TableState::Edit || t.state == TableState::Insert) t.state = TableState::Browse;
  t.buffer.clear();
}

void Table::Delete() {
  auto& t = *impl_;
  t.RequireActive();
  t.CheckBrowseMode();
  if (!t.HasCurrent())
    throw DbError("Tabela \"" + TableName + "\" nu are o inregistrare curenta de sters");
  t.BeginWrite();
  if (!t.HasCurrent())
    throw DbError("Tabela \"" + TableName + "\" nu are o inregistrare curenta de sters");
  const std::size_t at = t.pos;
  t.file->Remove(t.View()[at]);
  t.RebuildViews();
  t.pos = at < t.hi ? at : (t.hi > t.lo ? t.hi - 1 : t.lo);
  t.eof = t.bof = t.lo >= t.hi;
}

}  // namespace db
