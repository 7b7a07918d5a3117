// Removing a record from a loaded table: the opposite of an insert, one post (blocks, the
// header's counters, the file's size and the primary index, journaled together).
#include <algorithm>
#include <cstring>

#include "platform/db/DbError.h"
#include "platform/db/TableFile.h"

namespace db {

void TableFile::Remove(std::uint32_t id) {
  const std::string name = "\"" + path_.filename().string() + "\"";
  if (!Writing()) throw DbError("Tabela nu este deschisa pentru scriere");
  if (id >= where_.size()) throw DbError("Inregistrarea nu mai exista");
  if (HasSecondaryIndexFiles())
    throw DbError("Tabela " + name + " are indexuri secundare (" + SecondaryIndexFileNames() +
                  ") pe care acest program nu le poate actualiza; nu se pot sterge inregistrari");
  auto pos = order_.end();
  if (Keyed()) {
    pos = std::lower_bound(
        order_.begin(), order_.end(), Record(id),
        [&](std::uint32_t x, const std::uint8_t* key) { return CompareKey(Record(x), key) < 0; });
    while (pos != order_.end() && *pos != id && CompareKey(Record(*pos), Record(id)) == 0) ++pos;
    if (pos != order_.end() && *pos != id) pos = order_.end();
  } else {
    pos = std::find(order_.begin(), order_.end(), id);
  }
  if (pos == order_.end()) throw DbError("Inregistrarea nu mai exista");

  const Location at = where_[id];
  Block& block = blocks_[at.block];
  block.ids.erase(block.ids.begin() + at.slot);
  for (std::size_t i = at.slot; i < block.ids.size(); ++i)
    where_[block.ids[i]].slot = static_cast<std::uint16_t>(i);
  order_.erase(pos);
  ++changeCount_;

  try {
    const std::uint16_t number = at.block;
    const bool dropBlock = block.ids.empty() && number == header_.fileBlocks &&
                           number + 1u == blocks_.size() && !order_.empty();
    if (!dropBlock) {
      WriteBlock(number);
    } else {
      // The newest block emptied (as after an insert past the end): unlink it, cut the file.
      const std::uint16_t prev = block.prev, next = block.next;
      if (prev) blocks_[prev].next = next;
      if (next) blocks_[next].prev = prev;
      if (header_.firstBlock == number) header_.firstBlock = next;
      blocks_.pop_back();
      const auto fileBlocks = static_cast<std::uint16_t>(number - 1);
      if (px::Get16(rawHeader_.data() + px::kMaxBlocks) == header_.fileBlocks)
        px::Put16(rawHeader_.data() + px::kMaxBlocks, fileBlocks);
      header_.fileBlocks = fileBlocks;
      header_.usedBlocks = std::max(header_.usedBlocks - 1, 0);
      if (header_.lastBlock == number) header_.lastBlock = fileBlocks;
      if (prev) WriteBlock(prev);
      if (next) WriteBlock(next);
    }
    WriteHeader();
    if (dropBlock)
      StageSize(kJournalData, static_cast<std::uint64_t>(header_.headerSize) +
                                  static_cast<std::uint64_t>(header_.fileBlocks) *
                                      static_cast<std::uint64_t>(header_.blockSize));
    if (Keyed() && (dropBlock || !StagePrimaryIndexEntry(number))) StagePrimaryIndex();
  } catch (...) {
    DiscardAndReload();
    throw;
  }
  Commit();
}

}  // namespace db
