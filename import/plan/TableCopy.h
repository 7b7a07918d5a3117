#pragma once
// A copy of a table's files (data and primary index) kept beside the undo journal. Removing a
// row the run added gives the same records back but not the same bytes: the table's change
// counter has moved on, and a block split by the insert stays split. So before a run's first
// write to the multiple-price table its files are copied, and an undo that finds the table
// exactly as the run left it (same fingerprint) puts the copy back instead.
#include <filesystem>
#include <string>

namespace imp {

// Copies `table`.DB and `table`.PX of `folder` to `copyBase` + ".DB" / ".PX", flushed to disk.
// False (and no copy left) when the table has no such pair of files or a copy fails.
bool SaveTableCopy(const std::filesystem::path& folder, const std::string& table,
                   const std::filesystem::path& copyBase);

// Size and content hash of both files as one line of text; "" when they cannot be read.
std::string TableFingerprint(const std::filesystem::path& folder, const std::string& table);

// Puts the copy back over the table's files as one post of the table engine, when the table
// still has `expectedFingerprint` once its lock is held; false when it has not, or the copy is
// missing or cannot be read (the table is then left as it is). Raises DbError when the table
// cannot be written.
bool RestoreTableCopy(const std::filesystem::path& folder, const std::string& table,
                      const std::filesystem::path& copyBase,
                      const std::string& expectedFingerprint);

void RemoveTableCopy(const std::filesystem::path& copyBase);

}  // namespace imp
