// Decodes a table's rollback journal made of the input, as the next open of a table finds it
// on disk; then the same bytes sealed as a writer seals them (mark, length, checksum), so that
// the fields behind the checksum are reached. A journal that decodes must encode to bytes that
// decode to the same journal.
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/db/Journal.h"

namespace {

void Put64(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t v) {
  for (int i = 0; i < 8; ++i)
    b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool Same(const db::Journal& a, const db::Journal& b) {
  if (a.dataSize != b.dataSize || a.indexExisted != b.indexExisted || a.indexSize != b.indexSize ||
      a.indexName != b.indexName || a.regions.size() != b.regions.size())
    return false;
  for (std::size_t i = 0; i < a.regions.size(); ++i)
    if (a.regions[i].target != b.regions[i].target || a.regions[i].offset != b.regions[i].offset ||
        a.regions[i].bytes != b.regions[i].bytes)
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  db::Journal j;
  (void)db::DecodeJournal(data, size, j);
  const std::vector<std::uint8_t> mark = db::EncodeJournal(db::Journal{});
  if (size < mark.size() || size > (std::size_t{1} << 22)) return 0;
  std::vector<std::uint8_t> sealed(data, data + size);
  std::memcpy(sealed.data(), mark.data(), 8);
  Put64(sealed, 8, size);
  Put64(sealed, size - 8, db::JournalChecksum(sealed.data(), size - 8));
  if (!db::DecodeJournal(sealed.data(), sealed.size(), j)) return 0;
  const std::vector<std::uint8_t> again = db::EncodeJournal(j);
  db::Journal k;
  if (!db::DecodeJournal(again.data(), again.size(), k) || !Same(j, k)) __builtin_trap();
  return 0;
}
