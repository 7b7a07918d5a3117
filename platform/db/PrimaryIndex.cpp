// The primary index (.PX) of a keyed table, rebuilt from the block chain after every change of
// the blocks: one level-1 entry per data block (its first key, block number and record count),
// higher levels until one root block, the root in block 1. The file is replaced atomically, so
// a reader sees the old index or the new one, never a mixture.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Files.h"
#include "platform/db/DbError.h"
#include "platform/db/TableFile.h"

namespace db {
namespace {

struct Entry {
  const std::uint8_t* key;
  std::uint32_t child;  // block number (data block for level 1, index block above)
  std::uint32_t count;  // records under the entry
};

void PutShortValue(std::uint8_t* p, std::uint32_t v) {
  // Stored like a short integer field (the blocks are grouped so that no count passes it).
  px::EncodeInt(v > 32767 ? 32767 : static_cast<std::int64_t>(v), p, 2);
}

}  // namespace

std::vector<std::uint8_t> TableFile::BuildPrimaryIndex(IndexSlots& slots) const {
  const std::filesystem::path& pxPath = pxPath_;
  // Keep what another engine stored in the fixed part of an existing index header.
  std::vector<std::uint8_t> head(px::kFixedHeader, 0);
  int blockKB = header_.blockSize / 1024;
  std::string old;
  if (pxImage_.size() >= px::kFixedHeader)
    old.assign(reinterpret_cast<const char*>(pxImage_.data()), px::kFixedHeader);
  if (old.size() >= px::kFixedHeader &&
      static_cast<std::uint8_t>(old[px::kFileType]) == px::kPrimaryIndex) {
    std::memcpy(head.data(), old.data(), px::kFixedHeader);
    int kb = static_cast<std::uint8_t>(old[px::kBlockSizeKB]);
    if (kb == 1 || kb == 2 || kb == 3 || kb == 4 || kb == 8 || kb == 16 || kb == 32) blockKB = kb;
  } else {
    head[0x2C] = 0x66;
  }

  const int keyFields = header_.keyFields;
  const std::size_t keySize = static_cast<std::size_t>(header_.KeySize());
  const std::size_t entrySize = keySize + 6;
  std::size_t blockSize = static_cast<std::size_t>(blockKB) * 1024;
  while ((blockSize - px::kBlockHeader) / entrySize < 2 && blockSize < 32768) blockSize *= 2;
  const std::size_t capacity = (blockSize - px::kBlockHeader) / entrySize;
  if (capacity < 2) throw DbError("Cheia tabelei este prea lunga pentru index");

  // Level 1 from the chain, then levels above until one block holds them.
  std::vector<std::vector<Entry>> levels(1);
  for (int b = header_.firstBlock; b != 0; b = blocks_[b].next)
    if (!blocks_[b].ids.empty())
      levels[0].push_back({Record(blocks_[b].ids[0]), static_cast<std::uint32_t>(b),
                           static_cast<std::uint32_t>(blocks_[b].ids.size())});
  // An entry above level 1 counts the records of its whole block, stored like a short integer:
  // a block of entries closes before its records pass 32767 (or it is full). The level that fits
  // in one block is the root, which no entry counts.
  constexpr std::uint32_t kMaxCount = 32767;
  std::vector<std::vector<std::size_t>> starts;  // per level: first entry of each block
  for (;;) {
    const auto& level = levels.back();
    std::vector<std::size_t> first{0};
    if (level.size() <= capacity) {
      starts.push_back(std::move(first));
      break;
    }
    // Level-1 blocks keep a quarter free, so a split adds its entry where it belongs.
    const std::size_t fill =
        levels.size() == 1 ? std::max<std::size_t>(2, capacity - capacity / 4) : capacity;
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < level.size(); ++i) {
      if (i - first.back() == fill || (i > first.back() && sum + level[i].count > kMaxCount)) {
        first.push_back(i);
        sum = 0;
      }
      sum += level[i].count;
    }
    std::vector<Entry> up;
    for (std::size_t g = 0; g < first.size(); ++g) {
      const std::size_t end = g + 1 < first.size() ? first[g + 1] : level.size();
      std::uint32_t total = 0;
      for (std::size_t j = first[g]; j < end; ++j) total += level[j].count;
      up.push_back({level[first[g]].key, static_cast<std::uint32_t>(g), total});
    }
    starts.push_back(std::move(first));
    levels.push_back(std::move(up));
  }
  std::vector<std::size_t> blockCount;
  for (const auto& first : starts) blockCount.push_back(first.size());
  // Block numbers: the root is block 1, then each lower level in turn.
  const std::size_t depth = levels.size();
  std::vector<std::size_t> firstOfLevel(depth);
  std::size_t next = 1;
  for (std::size_t l = depth; l-- > 0;) {
    firstOfLevel[l] = next;
    next += blockCount[l];
  }
  const std::size_t totalBlocks = next - 1;
  if (totalBlocks > 65535) throw DbError("Indexul primar al tabelei ar depasi marimea maxima");
  slots.data.assign(blocks_.size(), {});
  slots.parent.assign(totalBlocks + 1, {});

  const std::size_t descriptorStart = px::kFixedHeader;
  const std::size_t used = descriptorStart + 2 * static_cast<std::size_t>(keyFields) + 4 +
                           static_cast<std::size_t>(header_.NameAreaSize());
  const std::size_t headerSize = (used + 0x7FF) / 0x800 * 0x800;
  std::vector<std::uint8_t> file(headerSize + totalBlocks * blockSize, 0);
  std::memcpy(file.data(), head.data(), px::kFixedHeader);
  std::uint8_t* h = file.data();
  std::uint32_t entries = 0;
  for (const auto& level : levels) entries += static_cast<std::uint32_t>(level.size());
  px::Put16(h + px::kRecordSize, static_cast<std::uint32_t>(entrySize));
  px::Put16(h + px::kHeaderSize, static_cast<std::uint32_t>(headerSize));
  h[px::kFileType] = px::kPrimaryIndex;
  h[px::kBlockSizeKB] = static_cast<std::uint8_t>(blockSize / 1024);
  px::Put32(h + px::kNumRecords, entries);
  px::Put16(h + px::kUsedBlocks, static_cast<std::uint32_t>(totalBlocks));
  px::Put16(h + px::kFileBlocks, static_cast<std::uint32_t>(totalBlocks));
  px::Put16(h + px::kFirstBlock, 1);
  px::Put16(h + px::kLastBlock, static_cast<std::uint32_t>(totalBlocks));
  px::Put16(h + px::kChangeCount, changeCount_);
  px::Put16(h + px::kIndexRoot, 1);
  h[px::kIndexLevels] = static_cast<std::uint8_t>(depth);
  px::Put16(h + px::kNumFields, static_cast<std::uint32_t>(keyFields));
  px::Put16(h + px::kKeyFields, 0);
  px::Put32(h + px::kEncryption3, 0);
  h[px::kSortOrder] = rawHeader_[px::kSortOrder];
  h[px::kVersion] = rawHeader_[px::kVersion];
  px::Put16(h + px::kMaxBlocks, static_cast<std::uint32_t>(totalBlocks));
  for (int i = 0; i < keyFields; ++i) {
    h[descriptorStart + 2 * i] = static_cast<std::uint8_t>(header_.fields[i].code);
    h[descriptorStart + 2 * i + 1] = static_cast<std::uint8_t>(header_.fields[i].descriptorSize);
  }
  std::string name = pxPath.filename().string();
  std::size_t nameAt = descriptorStart + 2 * static_cast<std::size_t>(keyFields) + 4;
  std::memcpy(h + nameAt, name.data(),
              std::min<std::size_t>(name.size(), header_.NameAreaSize() - 1));

  for (std::size_t l = 0; l < depth; ++l) {
    const auto& level = levels[l];
    for (std::size_t blk = 0; blk < blockCount[l]; ++blk) {
      std::size_t number = firstOfLevel[l] + blk;
      std::uint8_t* base = file.data() + headerSize + (number - 1) * blockSize;
      const std::size_t from = starts[l][blk];
      const std::size_t to = blk + 1 < starts[l].size() ? starts[l][blk + 1] : level.size();
      const std::size_t n = to > from ? to - from : 0;
      px::Put16(base, number < totalBlocks ? static_cast<std::uint32_t>(number + 1) : 0);
      px::Put16(base + 2, static_cast<std::uint32_t>(number - 1));
      int last = (static_cast<int>(n) - 1) * static_cast<int>(entrySize);
      px::Put16(base + 4, static_cast<std::uint16_t>(static_cast<std::int16_t>(last)));
      for (std::size_t i = 0; i < n; ++i) {
        const Entry& e = level[from + i];
        std::uint8_t* rec = base + px::kBlockHeader + i * entrySize;
        // Where each entry lives, so that a later post can change it alone.
        if (l == 0)
          slots.data[e.child] = {static_cast<std::uint32_t>(number), static_cast<std::uint16_t>(i)};
        if (l > 0)
          slots.parent[firstOfLevel[l - 1] + e.child] = {static_cast<std::uint32_t>(number),
                                                         static_cast<std::uint16_t>(i)};
        std::memcpy(rec, e.key, keySize);
        std::uint32_t child =
            l == 0 ? e.child : static_cast<std::uint32_t>(firstOfLevel[l - 1] + e.child);
        px::EncodeInt(child, rec + keySize, 2);
        PutShortValue(rec + keySize + 2, e.count);
        PutShortValue(rec + keySize + 4, 0);
      }
    }
  }
  return file;
}

// The new index over the old one, in place: only the blocks that changed are staged, with the
// header and the new size; the post's journal keeps the old ones.
void TableFile::StagePrimaryIndex() {
  IndexSlots slots;
  std::vector<std::uint8_t> image = BuildPrimaryIndex(slots);
  const std::size_t headerSize = px::Get16(image.data() + px::kHeaderSize);
  const std::size_t blockSize = static_cast<std::size_t>(image[px::kBlockSizeKB]) * 1024;
  const bool sameLayout = pxImage_.size() >= headerSize &&
                          px::Get16(pxImage_.data() + px::kHeaderSize) == headerSize &&
                          static_cast<std::size_t>(pxImage_[px::kBlockSizeKB]) * 1024 == blockSize;
  for (std::size_t at = headerSize; at < image.size(); at += blockSize) {
    std::size_t end = std::min(image.size(), at + blockSize);
    if (sameLayout && end <= pxImage_.size() &&
        std::memcmp(image.data() + at, pxImage_.data() + at, end - at) == 0)
      continue;
    StageIndex(at, image.data() + at, end - at);
  }
  if (pxImage_.size() > image.size()) StageSize(kJournalIndex, image.size());
  if (pxImage_.size() < headerSize || std::memcmp(image.data(), pxImage_.data(), headerSize) != 0)
    StageIndex(0, image.data(), headerSize);
  pxImage_ = std::move(image);
  pxSlots_ = std::move(slots);
}

// After a post that changed one data block's record count (and maybe its first key) but no
// block's place in the chain: that block's entry and the entries above it change in place, and
// only their index blocks are written. False when the change does not fit in place.
bool TableFile::StagePrimaryIndexEntry(std::uint16_t block) {
  if (block >= pxSlots_.data.size() || pxSlots_.data[block].block == 0 || pxImage_.empty() ||
      blocks_[block].ids.empty())
    return false;
  const std::size_t keySize = static_cast<std::size_t>(header_.KeySize());
  const std::size_t entrySize = keySize + 6;
  const std::size_t headerSize = px::Get16(pxImage_.data() + px::kHeaderSize);
  const std::size_t blockSize = static_cast<std::size_t>(pxImage_[px::kBlockSizeKB]) * 1024;
  auto entryAt = [&](IndexSlot s) {
    return pxImage_.data() + headerSize + std::size_t{s.block - 1} * blockSize + px::kBlockHeader +
           std::size_t{s.slot} * entrySize;
  };
  const std::uint8_t* key = Record(blocks_[block].ids[0]);
  const auto count = static_cast<std::int64_t>(blocks_[block].ids.size());
  IndexSlot at = pxSlots_.data[block];
  std::uint8_t* e = entryAt(at);
  const std::int64_t delta = count - px::DecodeInt(e + keySize + 2, 2);
  // Check the whole path before changing a byte of it.
  for (IndexSlot up = pxSlots_.parent[at.block]; up.block != 0; up = pxSlots_.parent[up.block])
    if (px::DecodeInt(entryAt(up) + keySize + 2, 2) + delta > 32767) return false;
  std::memcpy(e, key, keySize);
  PutShortValue(e + keySize + 2, static_cast<std::uint32_t>(count));
  bool first = at.slot == 0;
  std::vector<std::uint32_t> touched{at.block};
  for (IndexSlot up = pxSlots_.parent[at.block]; up.block != 0; up = pxSlots_.parent[up.block]) {
    std::uint8_t* p = entryAt(up);
    if (first) std::memcpy(p, key, keySize);
    PutShortValue(p + keySize + 2,
                  static_cast<std::uint32_t>(px::DecodeInt(p + keySize + 2, 2) + delta));
    first = first && up.slot == 0;
    touched.push_back(up.block);
  }
  for (std::uint32_t b : touched) {
    const std::size_t off = headerSize + std::size_t{b - 1} * blockSize;
    StageIndex(off, pxImage_.data() + off, blockSize);
  }
  px::Put16(pxImage_.data() + px::kChangeCount, changeCount_);
  StageIndex(0, pxImage_.data(), px::kFixedHeader);
  return true;
}

// After a split (or a new last block) that put `fresh` after `full` in the chain: a new entry
// goes in after the entry of `full`, in the same index block, when that block has room.
bool TableFile::StagePrimaryIndexSplit(std::uint16_t full, std::uint16_t fresh) {
  if (full >= pxSlots_.data.size() || pxSlots_.data[full].block == 0 || pxImage_.empty() ||
      blocks_[full].ids.empty() || blocks_[fresh].ids.empty())
    return false;
  const std::size_t keySize = static_cast<std::size_t>(header_.KeySize());
  const std::size_t entrySize = keySize + 6;
  const std::size_t headerSize = px::Get16(pxImage_.data() + px::kHeaderSize);
  const std::size_t blockSize = static_cast<std::size_t>(pxImage_[px::kBlockSizeKB]) * 1024;
  const std::size_t capacity = (blockSize - px::kBlockHeader) / entrySize;
  const IndexSlot at = pxSlots_.data[full];
  std::uint8_t* base = pxImage_.data() + headerSize + std::size_t{at.block - 1} * blockSize;
  const int last = static_cast<std::int16_t>(px::Get16(base + 4));
  if (last < 0) return false;
  const std::size_t n = static_cast<std::size_t>(last) / entrySize + 1;
  if (n >= capacity || at.slot >= n) return false;
  auto entryAt = [&](IndexSlot s) {
    return pxImage_.data() + headerSize + std::size_t{s.block - 1} * blockSize + px::kBlockHeader +
           std::size_t{s.slot} * entrySize;
  };
  for (IndexSlot up = pxSlots_.parent[at.block]; up.block != 0; up = pxSlots_.parent[up.block])
    if (px::DecodeInt(entryAt(up) + keySize + 2, 2) + 1 > 32767) return false;
  std::uint8_t* after = base + px::kBlockHeader + (std::size_t{at.slot} + 1) * entrySize;
  std::memmove(after + entrySize, after, (n - at.slot - 1) * entrySize);
  if (pxSlots_.data.size() <= fresh) pxSlots_.data.resize(std::size_t{fresh} + 1);
  for (std::size_t i = at.slot + 2u; i <= n; ++i) {
    const std::int64_t child = px::DecodeInt(base + px::kBlockHeader + i * entrySize + keySize, 2);
    if (child > 0 && static_cast<std::size_t>(child) < pxSlots_.data.size())
      pxSlots_.data[static_cast<std::size_t>(child)].slot = static_cast<std::uint16_t>(i);
  }
  auto put = [&](std::uint8_t* e, std::uint16_t block) {
    std::memcpy(e, Record(blocks_[block].ids[0]), keySize);
    px::EncodeInt(block, e + keySize, 2);
    PutShortValue(e + keySize + 2, static_cast<std::uint32_t>(blocks_[block].ids.size()));
    PutShortValue(e + keySize + 4, 0);
  };
  put(entryAt(at), full);
  put(after, fresh);
  pxSlots_.data[fresh] = {at.block, static_cast<std::uint16_t>(at.slot + 1)};
  px::Put16(base + 4, static_cast<std::uint32_t>(n * entrySize));
  std::vector<std::uint32_t> touched{at.block};
  bool first = at.slot == 0;
  for (IndexSlot up = pxSlots_.parent[at.block]; up.block != 0; up = pxSlots_.parent[up.block]) {
    std::uint8_t* p = entryAt(up);
    if (first) std::memcpy(p, Record(blocks_[full].ids[0]), keySize);
    PutShortValue(p + keySize + 2,
                  static_cast<std::uint32_t>(px::DecodeInt(p + keySize + 2, 2) + 1));
    first = first && up.slot == 0;
    touched.push_back(up.block);
  }
  for (std::uint32_t b : touched) {
    const std::size_t off = headerSize + std::size_t{b - 1} * blockSize;
    StageIndex(off, pxImage_.data() + off, blockSize);
  }
  px::Put32(pxImage_.data() + px::kNumRecords, px::Get32(pxImage_.data() + px::kNumRecords) + 1);
  px::Put16(pxImage_.data() + px::kChangeCount, changeCount_);
  StageIndex(0, pxImage_.data(), px::kFixedHeader);
  return true;
}

void TableFile::WritePrimaryIndex() {
  BeginWrite();
  try {
    StagePrimaryIndex();
  } catch (...) {
    Discard();
    ReadIndexImage();
    throw;
  }
  Commit();
}

}  // namespace db
