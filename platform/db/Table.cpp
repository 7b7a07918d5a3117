#include "platform/db/Table.h"

#include <algorithm>
#include <cstring>

#include "platform/AsciiCase.h"
#include "platform/Files.h"
#include "platform/db/TableImpl.h"

namespace db {

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
      t.fields.push_back(MakeTableField(t, static_cast<int>(i)));
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
    const int found = px::FieldIndex(t.H(), name);
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
  // A post whose write failed was undone and the table read again: the edit is dropped and the
  // cursor goes back to the first record before the error goes on.
  const std::uint64_t generation = t.file->Generation();
  auto undone = [&] {
    if (t.file->Generation() == generation) return;
    t.state = TableState::Browse;
    t.buffer.clear();
    t.RebuildViews();
    t.pos = t.lo;
    t.eof = t.bof = t.lo >= t.hi;
  };
  if (t.state == TableState::Edit) {
    std::vector<std::uint8_t> before(t.file->Record(t.editId),
                                     t.file->Record(t.editId) + t.H().recordSize);
    try {
      t.file->Update(t.editId, t.buffer.data());
    } catch (...) {
      undone();
      throw;
    }
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
    std::uint32_t id = 0;
    try {
      id = t.file->Insert(t.buffer);
    } catch (...) {
      undone();
      throw;
    }
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
  const std::uint64_t generation = t.file->Generation();
  try {
    t.file->Remove(t.View()[at]);
  } catch (...) {
    if (t.file->Generation() != generation) {
      t.RebuildViews();
      t.pos = t.lo;
      t.eof = t.bof = t.lo >= t.hi;
    }
    throw;
  }
  t.RebuildViews();
  t.pos = at < t.hi ? at : (t.hi > t.lo ? t.hi - 1 : t.lo);
  t.eof = t.bof = t.lo >= t.hi;
}

void Table::CheckWritable(const std::vector<std::string>& updated, bool inserts, bool hold) {
  auto& t = *impl_;
  t.RequireActive();
  t.CheckBrowseMode();
  std::vector<int> fields;
  for (const std::string& name : updated)
    if (const int i = px::FieldIndex(t.H(), name); i >= 0) fields.push_back(i);
  t.file->CheckWritable(fields, inserts);
  if (hold) t.BeginWrite();
}

void Table::Flush() {
  if (impl_->file) impl_->file->Flush();
}

}  // namespace db
