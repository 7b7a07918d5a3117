#pragma once
// The byte-range locks of a table file, past any byte a table can have, so they lock no data:
// one writer at a time holds the writer's byte for its whole session; a post holds the post
// byte exclusively while it writes, and a reader holds it shared while it reads the file.
#include <cstdint>
#include <filesystem>

#include "platform/File.h"

namespace db {

constexpr std::uint64_t kWriterLockByte = 0x7FFFFFF0;
constexpr std::uint64_t kPostLockByte = 0x7FFFFFF1;

// Puts back what the table's journal holds, if anything, and empties the journal. The caller
// holds the post byte exclusively on `data`. True when the journal had content.
bool RestoreFromJournal(const std::filesystem::path& table, platform::File& data);

}  // namespace db
