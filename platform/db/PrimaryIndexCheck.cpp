// Whether a primary index file still describes the blocks. Decided from its contents alone
// (the change counters of files written by other programs bear no fixed relation to the
// table's): walking the index from its root, the level-1 entries must name the non-empty data
// blocks of the chain in chain order, each with its first key and record count.
#include <cstring>
#include <vector>

#include "platform/ByteView.h"
#include "platform/Files.h"
#include "platform/db/TableFile.h"

namespace db {
namespace {

struct Level1 {
  std::vector<std::uint8_t> key;
  std::uint32_t block = 0, count = 0;
};

class IndexWalk {
 public:
  IndexWalk(platform::ByteView file, std::size_t keySize) : file_(file), keySize_(keySize) {}

  // Collects the level-1 entries under `block` (an index block `level` levels above the data);
  // false when the file is not a well-formed index.
  bool Walk(std::uint32_t block, int level, std::vector<Level1>& out) {
    if (block == 0 || block > blocks_ || visited_[block]) return false;
    visited_[block] = true;
    const std::size_t base = headerSize_ + std::size_t{block - 1} * blockSize_;
    if (!file_.Has(base, blockSize_)) return false;
    const int last = file_.I16(base + 4);
    const std::size_t entrySize = keySize_ + 6;
    if (last < 0) return true;  // an empty block
    if (static_cast<std::size_t>(last) % entrySize != 0) return false;
    const std::size_t n = static_cast<std::size_t>(last) / entrySize + 1;
    if (px::kBlockHeader + n * entrySize > blockSize_) return false;
    for (std::size_t i = 0; i < n; ++i) {
      const std::size_t at = base + px::kBlockHeader + i * entrySize;
      const std::int64_t child = px::DecodeInt(file_.Data() + at + keySize_, 2);
      const std::int64_t count = px::DecodeInt(file_.Data() + at + keySize_ + 2, 2);
      if (child <= 0 || count < 0) return false;
      if (level > 1) {
        if (!Walk(static_cast<std::uint32_t>(child), level - 1, out)) return false;
        continue;
      }
      Level1 e;
      e.key.assign(file_.Data() + at, file_.Data() + at + keySize_);
      e.block = static_cast<std::uint32_t>(child);
      e.count = static_cast<std::uint32_t>(count);
      out.push_back(std::move(e));
    }
    return true;
  }

  bool Start(std::uint32_t& root, int& levels) {
    if (!file_.Has(0, px::kFixedHeader)) return false;
    if (file_.U8(px::kFileType) != px::kPrimaryIndex) return false;
    if (file_.U16(px::kRecordSize) != keySize_ + 6) return false;
    headerSize_ = file_.U16(px::kHeaderSize);
    blockSize_ = std::size_t{file_.U8(px::kBlockSizeKB)} * 1024;
    if (blockSize_ == 0 || headerSize_ < px::kFixedHeader || headerSize_ > file_.Size())
      return false;
    blocks_ = (file_.Size() - headerSize_) / blockSize_;
    if (blocks_ > 65535) return false;
    visited_.assign(blocks_ + 1, false);
    root = file_.U16(px::kIndexRoot);
    levels = file_.U8(px::kIndexLevels);
    return levels >= 1 && levels <= 8;
  }

 private:
  platform::ByteView file_;
  std::size_t keySize_;
  std::size_t headerSize_ = 0, blockSize_ = 0, blocks_ = 0;
  std::vector<bool> visited_;
};

}  // namespace

bool TableFile::PrimaryIndexCurrent() const {
  if (!Keyed()) return true;
  std::string read;
  const std::uint8_t* data = pxImage_.data();
  std::size_t size = pxImage_.size();
  if (!Writing()) {
    std::filesystem::path px =
        platform::FindFileNoCase(path_.parent_path(), path_.stem().string() + ".PX");
    if (px.empty() || !platform::ReadWholeFile(px, read)) return false;
    data = reinterpret_cast<const std::uint8_t*>(read.data());
    size = read.size();
  }
  const auto keySize = static_cast<std::size_t>(header_.KeySize());
  IndexWalk walk(platform::ByteView(data, size), keySize);
  std::uint32_t root = 0;
  int levels = 0;
  std::vector<Level1> entries;
  if (!walk.Start(root, levels) || !walk.Walk(root, levels, entries)) return false;
  std::size_t i = 0;
  for (int b = header_.firstBlock; b != 0; b = blocks_[b].next) {
    const Block& block = blocks_[b];
    if (block.ids.empty()) continue;
    if (i >= entries.size()) return false;
    const Level1& e = entries[i++];
    if (e.block != static_cast<std::uint32_t>(b) || e.count != block.ids.size() ||
        std::memcmp(e.key.data(), Record(block.ids[0]), keySize) != 0)
      return false;
  }
  return i == entries.size();
}

}  // namespace db
