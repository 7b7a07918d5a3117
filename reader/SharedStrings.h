#pragma once
// The shared-string table: all strings in one character arena with an end offset each, and the
// few formatting-run blocks kept apart, so that a table of a million strings costs little more
// than its text.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "reader/RecordStream.h"
#include "reader/TXLSRead.h"

namespace reader::detail {

class SharedStrings {
 public:
  void Clear();
  std::size_t Count() const { return starts_.size(); }
  std::string_view Get(std::size_t i) const {
    const std::uint32_t start = starts_[i];
    const std::size_t block = start >> kBlockBits;
    // A string ends where the next one starts, unless that one opened a new block.
    std::uint32_t end = block + 1 < blocks_.size()
                            ? ends_[block]
                            : static_cast<std::uint32_t>(used_ + (block << kBlockBits));
    if (i + 1 < starts_.size() && (starts_[i + 1] >> kBlockBits) == block) end = starts_[i + 1];
    return std::string_view(blocks_[block].get() + (start & (kBlockSize - 1)), end - start);
  }
  // The block of string i (entry 0 holds the run count), or null when it has none.
  PRecREFormatArray Runs(std::size_t i) const;

  void Add(std::string_view text);
  void AttachRuns(std::size_t i, const std::vector<TRecREFormat>& block);
  // Room for `strings` in all; grows by doubling, so a workbook of many SST records reserving
  // a little more each time costs no copy per record.
  void Reserve(std::size_t strings) {
    if (strings > starts_.capacity()) starts_.reserve(std::max(strings, 2 * starts_.capacity()));
  }

 private:
  // Text lives in 1 MiB blocks that never move, so growing the table copies nothing; a string
  // never crosses a block. Each string costs one 32-bit start (block and offset), so a table of
  // empty strings costs little more than its 3-byte entries in the file; 4,096 blocks at most.
  static constexpr unsigned kBlockBits = 20;
  static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
  static constexpr std::size_t kMaxBlocks = std::size_t{1} << (32 - kBlockBits);
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::vector<std::uint32_t> ends_;  // per block before the last: where its last string ends
  std::size_t used_ = kBlockSize;    // bytes used in the last block
  std::vector<std::uint32_t> starts_;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> rich_;  // (string, first entry), ascending
  std::vector<TRecREFormat> runs_;
};

// Reads an SST record whose header was just taken (body not read) together with its CONTINUE
// records, appending to `table`. UTF-16 text is kept as `codepage` allows (0: all). False with
// the table's message in `error` for a table that cannot be read (raises only for a failed
// stream or a full table); strings read before an error stay in the table.
[[nodiscard]] bool ReadSharedStrings(RecordStream& stream, std::uint16_t bodyLength, int codepage,
                                     SharedStrings& table, std::string& error);

}  // namespace reader::detail
