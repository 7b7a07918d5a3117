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
  // Stored like a short integer field; counts above its range are clamped.
  px::EncodeInt(v > 32767 ? 32767 : static_cast<std::int64_t>(v), p, 2);
}

}  // namespace

std::vector<std::uint8_t> TableFile::BuildPrimaryIndex() const {
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
  std::vector<std::size_t> blockCount;
  for (;;) {
    const auto& level = levels.back();
    std::size_t blocks = level.empty() ? 1 : (level.size() + capacity - 1) / capacity;
    blockCount.push_back(blocks);
    if (blocks == 1) break;
    std::vector<Entry> up;
    for (std::size_t i = 0; i < level.size(); i += capacity) {
      std::uint32_t sum = 0;
      for (std::size_t j = i; j < level.size() && j < i + capacity; ++j) sum += level[j].count;
      up.push_back({level[i].key, static_cast<std::uint32_t>(i / capacity), sum});
    }
    levels.push_back(std::move(up));
  }
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
      std::size_t from = blk * capacity;
      std::size_t n = level.size() > from ? std::min(capacity, level.size() - from) : 0;
      px::Put16(base, number < totalBlocks ? static_cast<std::uint32_t>(number + 1) : 0);
      px::Put16(base + 2, static_cast<std::uint32_t>(number - 1));
      int last = (static_cast<int>(n) - 1) * static_cast<int>(entrySize);
      px::Put16(base + 4, static_cast<std::uint16_t>(static_cast<std::int16_t>(last)));
      for (std::size_t i = 0; i < n; ++i) {
        const Entry& e = level[from + i];
        std::uint8_t* rec = base + px::kBlockHeader + i * entrySize;
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
  std::vector<std::uint8_t> image = BuildPrimaryIndex();
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
