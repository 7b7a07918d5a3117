// Adding a record: in key order for a keyed table (into the block of its predecessor, a full
// block split half and half, the last block of the chain followed by a new one), at the end
// otherwise.
#include <algorithm>
#include <cstring>

#include "platform/db/DbError.h"
#include "platform/db/TableFile.h"

namespace db {
namespace {

std::string Quoted(const std::filesystem::path& p) {
  return "\"" + p.filename().string() + "\"";
}

}  // namespace

std::uint32_t TableFile::Insert(std::vector<std::uint8_t>& record) {
  if (!Writing()) throw DbError("Tabela nu este deschisa pentru scriere");
  if (record.size() != static_cast<std::size_t>(header_.recordSize))
    throw DbError("Inregistrare de marime gresita");
  if (HasSecondaryIndexFiles())
    throw DbError("Tabela " + Quoted(path_) + " are indexuri secundare (" +
                  SecondaryIndexFileNames() +
                  ") pe care acest program nu le poate actualiza; nu se pot adauga inregistrari");
  if (order_.size() >= 0x7FFFFFFF)
    throw DbError("Tabela " + Quoted(path_) + " a atins marimea maxima");

  for (const auto& f : header_.fields) {
    if (f.type != FieldType::AutoInc) continue;
    std::uint8_t* p = record.data() + f.offset;
    if (px::IsBlank(p, 4)) {
      if (header_.autoInc >= 0x7FFFFFFF)
        throw DbError("Contorul automat al tabelei a ajuns la capat");
      px::EncodeInt(++header_.autoInc, p, 4);
    } else {
      std::int64_t v = px::DecodeInt(p, 4);
      if (v > static_cast<std::int64_t>(header_.autoInc))
        header_.autoInc = static_cast<std::uint32_t>(v);
    }
  }

  std::size_t pos = order_.size();
  if (Keyed()) {
    auto it = std::lower_bound(
        order_.begin(), order_.end(), record.data(),
        [&](std::uint32_t id, const std::uint8_t* key) { return CompareKey(Record(id), key) < 0; });
    if (it != order_.end() && CompareKey(Record(*it), record.data()) == 0)
      throw DbError("Cheie duplicata: tabela " + Quoted(path_) +
                    " are deja o inregistrare cu aceeasi cheie");
    pos = static_cast<std::size_t>(it - order_.begin());
  }

  // Where the record goes: after its predecessor in file order, or first.
  std::uint16_t block;
  std::size_t slot;
  if (order_.empty()) {
    if (header_.firstBlock == 0) {
      block = NewBlock();
      header_.firstBlock = block;
    } else {
      block = static_cast<std::uint16_t>(header_.firstBlock);
    }
    slot = 0;
  } else if (pos > 0) {
    const Location& at = where_[order_[pos - 1]];
    block = at.block;
    slot = at.slot + 1u;
  } else {
    block = where_[order_[0]].block;
    slot = 0;
  }

  // Ids are never reused while the table is loaded: a removed record keeps its slot.
  auto id = static_cast<std::uint32_t>(where_.size());
  records_.insert(records_.end(), record.begin(), record.end());
  where_.push_back({});
  auto place = [&](std::uint16_t b, std::size_t from) {
    auto& ids = blocks_[b].ids;
    for (std::size_t i = from; i < ids.size(); ++i)
      where_[ids[i]] = {b, static_cast<std::uint16_t>(i)};
  };

  std::vector<std::uint16_t> toWrite;
  std::uint16_t relinked = 0;
  if (static_cast<int>(blocks_[block].ids.size()) < Capacity()) {
    auto& ids = blocks_[block].ids;
    ids.insert(ids.begin() + static_cast<std::ptrdiff_t>(slot), id);
    place(block, slot);
    toWrite.push_back(block);
  } else {
    std::uint16_t fresh = NewBlock();
    Block& full = blocks_[block];
    Block& added = blocks_[fresh];
    if (full.next == 0 && slot == full.ids.size()) {
      added.ids.push_back(id);  // past the end of the last block: start a new one
    } else {
      std::size_t half = full.ids.size() / 2;
      added.ids.assign(full.ids.begin() + static_cast<std::ptrdiff_t>(half), full.ids.end());
      full.ids.resize(half);
      if (slot <= half)
        full.ids.insert(full.ids.begin() + static_cast<std::ptrdiff_t>(slot), id);
      else
        added.ids.insert(added.ids.begin() + static_cast<std::ptrdiff_t>(slot - half), id);
    }
    added.prev = block;
    added.next = full.next;
    if (full.next) {
      blocks_[full.next].prev = fresh;
      relinked = full.next;
    }
    full.next = fresh;
    place(block, 0);
    place(fresh, 0);
    // The new block is written while still unlinked, so a reader never follows a link to it
    // before it holds its records.
    toWrite.push_back(fresh);
    toWrite.push_back(block);
  }
  order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(pos), id);
  ++changeCount_;

  // The blocks (a new block while still unlinked), the header's counters and the primary
  // index, as one post: Commit journals the old bytes first.
  try {
    for (std::uint16_t b : toWrite) WriteBlock(b);
    if (relinked) {
      std::uint8_t prev[2];
      px::Put16(prev, blocks_[relinked].prev);
      WriteAt(header_.headerSize + std::uint64_t{relinked - 1u} * header_.blockSize + 2, prev, 2);
    }
    WriteHeader();
    // A record added to a block changes that block's index entry alone; a new block adds one
    // entry beside its neighbour's, or the index is laid out anew when that block is full.
    if (Keyed() && !(toWrite.size() == 1 ? StagePrimaryIndexEntry(block)
                                         : StagePrimaryIndexSplit(block, toWrite[0])))
      StagePrimaryIndex();
  } catch (...) {
    DiscardAndReload();
    throw;
  }
  Commit();
  return id;
}

}  // namespace db
