#pragma once
// The rollback journal of one post: the bytes every region of the table (.DB) and its primary
// index (.PX) held before the post, and both files' sizes. It is written beside the table
// before the post's first write and marked done after its last, so a journal with content means a
// post that did not finish; putting its bytes back restores the table as it was before it.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/File.h"

namespace db {

enum JournalTarget : std::uint8_t { kJournalData = 0, kJournalIndex = 1 };

struct JournalRegion {
  std::uint8_t target = kJournalData;
  std::uint64_t offset = 0;
  std::vector<std::uint8_t> bytes;  // what the file held there before the post
};

struct Journal {
  std::uint64_t dataSize = 0;   // the .DB's size before the post
  bool indexExisted = false;    // whether the .PX existed before the post
  std::uint64_t indexSize = 0;  // its size then
  std::string indexName;        // its file name, beside the table
  std::vector<JournalRegion> regions;
};

// The journal file of a table: "NAME.DB" keeps its journal in "NAME.DB.JNL" (case following
// the table's extension).
std::filesystem::path JournalPath(const std::filesystem::path& table);

std::vector<std::uint8_t> EncodeJournal(const Journal& j);
// The checksum a journal's last 8 bytes hold, over the bytes before them.
std::uint64_t JournalChecksum(const std::uint8_t* p, std::size_t n);
// Whether the first bytes of a journal file belong to a post not yet finished; a finished post
// overwrites them with JournalDone() (the file keeps its size, so no post changes metadata).
bool JournalIsPending(const std::uint8_t* data, std::size_t size);
std::vector<std::uint8_t> JournalDone();
// False when the bytes are not a whole journal (a post stopped while writing its journal left
// the table untouched). Every read is bounds-checked.
bool DecodeJournal(const std::uint8_t* data, std::size_t size, Journal& out);

// Puts the old bytes back and restores both sizes (a .PX that did not exist is removed), then
// flushes what it wrote. `index` may be closed when the .PX exists: it is opened here.
void RollBack(const Journal& j, platform::File& data, const std::filesystem::path& folder);

}  // namespace db
