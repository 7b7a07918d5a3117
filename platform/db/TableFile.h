#pragma once
// One Paradox table held in memory: its header, its records in file (chain) order and the
// block layout they came from. Reads the whole data file at open, bounds-checking every byte;
// writes go to the file at once (a record in place, or an insert that touches the blocks it
// needs, the header and the primary index), under an operating-system lock on the table.
//
// A post that needs more than one write keeps the old bytes of every region it changes in a
// rollback journal beside the table first (Journal.h). When one of its writes fails, the old
// bytes go back before the error reaches the caller; when the process stops in the middle, the
// next open of the table, for reading or writing, puts them back before it reads anything.
// A table whose header and blocks disagree without such a journal is damaged and refused.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/db/Journal.h"
#include "platform/db/ParadoxFormat.h"

namespace db {

// How long a writer waits for another writer's lock before giving up.
void SetLockWaitMilliseconds(int ms);
int LockWaitMilliseconds();

class TableFile {
 public:
  explicit TableFile(std::filesystem::path dbPath);  // raises DbError
  ~TableFile();
  TableFile(const TableFile&) = delete;
  TableFile& operator=(const TableFile&) = delete;

  const px::Header& Header() const { return header_; }
  const std::filesystem::path& Path() const { return path_; }
  bool Keyed() const { return header_.fileType == px::kKeyedData && header_.keyFields > 0; }

  // Records by id; ids stay valid until the table is reloaded (Generation changes).
  const std::uint8_t* Record(std::uint32_t id) const {
    return records_.data() + std::size_t{id} * header_.recordSize;
  }
  // Ids in file order (the chain), which for a keyed table is key order.
  const std::vector<std::uint32_t>& FileOrder() const { return order_; }
  std::uint64_t Generation() const { return generation_; }

  // Primary key comparison of two records (memcmp of the key fields' bytes).
  int CompareKey(const std::uint8_t* a, const std::uint8_t* b) const;

  // Secondary index files beside the table, and the fields they cover.
  bool HasSecondaryIndexFiles() const { return !secondaryFiles_.empty(); }
  bool FieldInSecondaryIndex(int field) const;
  std::string SecondaryIndexFileNames() const;

  // Takes the writer's lock (bounded wait; raises DbError) and reloads the table when another
  // program changed it since it was read. Held until the table is released.
  void BeginWrite();
  bool Writing() const { return data_.IsOpen(); }

  // Overwrites one record in place (same key).
  void Update(std::uint32_t id, const std::uint8_t* record);
  // Adds a record: in key order for a keyed table, at the end otherwise. Fills a blank
  // auto-increment field. Raises DbError on a key violation. Returns the new id.
  std::uint32_t Insert(std::vector<std::uint8_t>& record);
  // Takes a record out of its block; a block left empty leaves the chain, and the file is cut
  // when it was the last one. The id stays unused until the table is reloaded.
  void Remove(std::uint32_t id);

  // Whether the primary index file agrees with the blocks: each of its entries names a data
  // block of the chain, in chain order, with that block's first key. False when it is missing.
  bool PrimaryIndexCurrent() const;

  // Rewrites the primary index file (.PX) from the blocks (takes the writer's lock).
  void WritePrimaryIndex();

  // Raises the refusal that a write changing `fields` (or, with `inserts`, adding a record)
  // would meet, without changing anything: see Table::CheckWritable.
  void CheckWritable(const std::vector<int>& fields, bool inserts) const;

  // Flushes what this table object wrote to stable storage.
  void Flush();

  // Puts whole images of the data file and the primary index (saved earlier from this table)
  // back as one post: under the writer's lock and journaled like any other, so a reader never
  // sees it half made and a stop in the middle leaves the table as it was. `unchanged` is asked
  // once the lock is held; when it says no, nothing is written and the answer is false.
  bool ReplaceContents(const std::vector<std::uint8_t>& data,
                       const std::vector<std::uint8_t>& index,
                       const std::function<bool()>& unchanged);

 private:
  struct Block {
    std::uint16_t next = 0, prev = 0;
    std::vector<std::uint32_t> ids;  // records in slot order
  };
  struct Location {
    std::uint16_t block = 0, slot = 0;
  };

  // Where the .PX holds each data block's entry and each index block's entry one level up.
  struct IndexSlot {
    std::uint32_t block = 0;  // .PX block number; 0: none
    std::uint16_t slot = 0;
  };
  struct IndexSlots {
    std::vector<IndexSlot> data;    // by data block number
    std::vector<IndexSlot> parent;  // by .PX block number; the root has none
  };

  struct Staged {
    std::uint8_t target;  // JournalTarget
    std::uint64_t offset;
    std::vector<std::uint8_t> bytes;
  };

  void Load();
  void LoadBytes(const std::vector<std::uint8_t>& bytes);
  // Puts back what an interrupted post's journal holds, under the exclusive post lock.
  void RestoreInterruptedPost();
  bool JournalHasContent() const;
  void Reload();  // from the writer's descriptor, after a post was undone
  [[noreturn]] void ThrowLocked() const;
  void FindSecondaryIndexes();
  int Capacity() const {
    return (header_.blockSize - static_cast<int>(px::kBlockHeader)) / header_.recordSize;
  }
  std::uint16_t NewBlock();
  // Writes are staged during a post and made by Commit: journal, writes, journal emptied.
  void WriteAt(std::uint64_t offset, const void* data, std::size_t size);
  void StageIndex(std::uint64_t offset, const std::uint8_t* data, std::size_t size);
  void StageSize(std::uint8_t target, std::uint64_t size);
  void Commit();
  void CommitOneRecord();
  void Discard();
  // A post that failed before Commit: its staged writes dropped, the file's image read again.
  void DiscardAndReload();
  Journal BuildJournal() const;
  void ReadIndexImage();
  void StagePrimaryIndex();
  void WriteBlock(std::uint16_t block);
  void WriteHeader();
  bool ChangedSinceRead() const;
  std::vector<std::uint8_t> BuildPrimaryIndex(IndexSlots& slots) const;
  bool StagePrimaryIndexEntry(std::uint16_t block);
  bool StagePrimaryIndexSplit(std::uint16_t full, std::uint16_t fresh);

  std::filesystem::path path_;
  px::Header header_;
  std::vector<std::uint8_t> rawHeader_;  // the first bytes of the file, patched on writes
  std::vector<std::uint8_t> records_;
  std::vector<std::uint32_t> order_;
  std::vector<Location> where_;
  std::vector<Block> blocks_;  // by block number; [0] unused
  std::uint16_t changeCount_ = 0;
  std::uint64_t generation_ = 0;
  std::vector<std::filesystem::path> secondaryFiles_;
  std::vector<bool> indexedFields_;
  platform::File data_;     // the writer's descriptor, holding the writer's lock
  platform::File index_;    // the primary index, kept open while writing
  platform::File journal_;  // the rollback journal, while writing
  const std::vector<std::uint8_t> done_ = JournalDone();
  std::vector<Staged> staged_;
  std::int64_t stagedSize_[2] = {-1, -1};
  bool broken_ = false;  // a failed post could not be undone: no more writes
  std::filesystem::path pxPath_;
  std::vector<std::uint8_t> pxImage_;  // what the primary index file holds
  IndexSlots pxSlots_;                 // of pxImage_ when this object wrote it, else empty
  // What the file looked like when read, to notice changes by other programs.
  std::int64_t statSize_ = -1;
  std::int64_t statMtimeNs_ = -1;
};

}  // namespace db
