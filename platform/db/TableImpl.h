#pragma once
// The state behind a Table: its file, the current index's order, filter and range, the cursor
// and the record being edited.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/AsciiCase.h"
#include "platform/db/FieldValue.h"
#include "platform/db/FilterExpr.h"
#include "platform/db/Table.h"
#include "platform/db/TableFile.h"

namespace db {

using Key = std::vector<std::vector<std::uint8_t>>;

struct Table::Impl {
  Table& owner;
  std::unique_ptr<TableFile> file;
  std::vector<std::unique_ptr<Field>> fields;
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
    filterField = px::FieldIndex(H(), e.field);
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
    if (const int i = px::FieldIndex(H(), indexName);
        i >= 0 && !value::IsBlobType(H().fields[static_cast<std::size_t>(i)].type)) {
      indexFields.push_back(i);
      secondary = true;
      return;
    }
    throw DbError("Indexul \"" + indexName + "\" nu exista in tabela \"" + owner.TableName + "\"");
  }
};

// The field object for field `index` of the open table.
std::unique_ptr<Field> MakeTableField(Table::Impl& t, int index);

}  // namespace db
