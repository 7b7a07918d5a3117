#pragma once
// The shared-string table: all strings in one character arena with an end offset each, and the
// few formatting-run blocks kept apart, so that a table of a million strings costs little more
// than its text.
#include <cstdint>
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
  std::size_t Count() const { return ends_.size(); }
  std::string_view Get(std::size_t i) const {
    const std::uint64_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(chars_).substr(begin, ends_[i] - begin);
  }
  // The block of string i (entry 0 holds the run count), or null when it has none.
  PRecREFormatArray Runs(std::size_t i) const;

  void Add(std::string_view text) {
    chars_.append(text);
    ends_.push_back(chars_.size());
  }
  void AttachRuns(std::size_t i, const std::vector<TRecREFormat>& block);
  void Reserve(std::size_t strings) { ends_.reserve(strings); }

 private:
  std::string chars_;
  std::vector<std::uint64_t> ends_;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> rich_;  // (string, first entry), ascending
  std::vector<TRecREFormat> runs_;
};

// Reads an SST record whose header was just taken (body not read) together with its CONTINUE
// records, appending to `table`. UTF-16 text is kept as `codepage` allows (0: all). Raises
// EXLSError with the table's messages; strings read before an error stay in the table.
void ReadSharedStrings(RecordStream& stream, std::uint16_t bodyLength, int codepage, SharedStrings& table);

}  // namespace reader::detail
