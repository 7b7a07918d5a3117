// One post's writes: staged while the post is worked out, then made in one go. The old bytes
// of every region they change go to the journal first; the journal is emptied after the last
// write. A write that fails puts the old bytes back and reloads the table before the error
// goes on, so the caller sees the table as it was before the post.
#include <algorithm>
#include <cstring>

#include "platform/db/DbError.h"
#include "platform/db/TableFile.h"
#include "platform/db/TableLocks.h"

namespace db {
namespace {

std::string Quoted(const std::filesystem::path& p) {
  return "\"" + p.filename().string() + "\"";
}

}  // namespace

void TableFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  staged_.push_back({kJournalData, offset, std::vector<std::uint8_t>(p, p + size)});
}

void TableFile::StageIndex(std::uint64_t offset, const std::uint8_t* data, std::size_t size) {
  staged_.push_back({kJournalIndex, offset, std::vector<std::uint8_t>(data, data + size)});
}

void TableFile::StageSize(std::uint8_t target, std::uint64_t size) {
  stagedSize_[target] = static_cast<std::int64_t>(size);
}

void TableFile::Discard() {
  staged_.clear();
  stagedSize_[0] = stagedSize_[1] = -1;
}

void TableFile::DiscardAndReload() {
  Discard();
  ReadIndexImage();
  Reload();
}

void TableFile::ReadIndexImage() {
  pxImage_.clear();
  pxSlots_ = {};
  if (!index_.IsOpen()) return;
  const std::uint64_t size = index_.Size();
  if (size >= (std::uint64_t{1} << 30)) return;
  pxImage_.resize(static_cast<std::size_t>(size));
  if (!index_.ReadAt(0, pxImage_.data(), pxImage_.size())) pxImage_.clear();
}

Journal TableFile::BuildJournal() const {
  Journal j;
  j.dataSize = data_.Size();
  j.indexExisted = index_.IsOpen();
  j.indexSize = index_.IsOpen() ? index_.Size() : 0;
  j.indexName = pxPath_.filename().string();
  const std::uint64_t sizes[2] = {j.dataSize, j.indexSize};
  auto save = [&](std::uint8_t target, std::uint64_t offset, std::uint64_t end) {
    end = std::min(end, sizes[target]);
    if (offset >= end) return;  // past the old end: restoring the size takes it away
    JournalRegion r;
    r.target = target;
    r.offset = offset;
    r.bytes.resize(static_cast<std::size_t>(end - offset));
    const platform::File& f = target == kJournalData ? data_ : index_;
    if (!f.ReadAt(offset, r.bytes.data(), r.bytes.size()))
      throw platform::FileError(f.Path().filename().string() + ": read", EIO);
    j.regions.push_back(std::move(r));
  };
  for (const Staged& s : staged_) {
    if (s.target == kJournalIndex && !index_.IsOpen()) continue;
    save(s.target, s.offset, s.offset + s.bytes.size());
  }
  for (std::uint8_t t = 0; t < 2; ++t)
    if (stagedSize_[t] >= 0) save(t, static_cast<std::uint64_t>(stagedSize_[t]), sizes[t]);
  return j;
}

void TableFile::Commit() {
  if (staged_.empty() && stagedSize_[0] < 0 && stagedSize_[1] < 0) return;
  if (!data_.Lock(kPostLockByte, platform::LockKind::Exclusive, LockWaitMilliseconds())) {
    Discard();
    Reload();
    ThrowLocked();
  }
  if (staged_.size() == 1 && stagedSize_[0] < 0 && stagedSize_[1] < 0 &&
      staged_[0].target == kJournalData && staged_[0].bytes.size() <= 512) {
    CommitOneRecord();
    return;
  }
  Journal journal;
  bool touched = false;
  try {
    journal = BuildJournal();
    const std::vector<std::uint8_t> image = EncodeJournal(journal);
    journal_.WriteAt(0, image.data(), image.size());
    touched = true;
    const bool indexWrites = stagedSize_[kJournalIndex] >= 0 ||
                             std::any_of(staged_.begin(), staged_.end(),
                                         [](const Staged& s) { return s.target == kJournalIndex; });
    if (indexWrites && !index_.IsOpen())
      index_ = platform::File(pxPath_, platform::FileMode::ReadWriteCreate);
    for (const Staged& s : staged_)
      (s.target == kJournalData ? data_ : index_).WriteAt(s.offset, s.bytes.data(), s.bytes.size());
    for (std::uint8_t t = 0; t < 2; ++t)
      if (stagedSize_[t] >= 0)
        (t == kJournalData ? data_ : index_).Truncate(static_cast<std::uint64_t>(stagedSize_[t]));
    journal_.WriteAt(0, done_.data(), done_.size());
  } catch (const std::exception& e) {
    const auto* fe = dynamic_cast<const platform::FileError*>(&e);
    const std::string why = fe && fe->code() ? std::strerror(fe->code()) : e.what();
    Discard();
    try {
      if (touched) {
        RollBack(journal, data_, path_.parent_path());
        journal_.WriteAt(0, done_.data(), done_.size());
      }
      if (!journal.indexExisted) index_.Close();
      ReadIndexImage();
      Reload();
    } catch (const std::exception& again) {
      broken_ = true;
      data_.Unlock(kPostLockByte);
      throw DbError("Scrierea in tabela " + Quoted(path_) + " a esuat: " + why +
                    "; tabela nu a putut fi refacuta acum (" + again.what() +
                    ") si va fi refacuta la urmatoarea deschidere");
    }
    data_.Unlock(kPostLockByte);
    throw DbError("Scrierea in tabela " + Quoted(path_) + " a esuat: " + why +
                  "; tabela a ramas asa cum era inaintea acestei scrieri");
  }
  Discard();
  data_.Unlock(kPostLockByte);
}

// A post of one record in place is one write of at most 512 bytes inside its block: a stop
// leaves it made or not made, so it needs no journal. When the write fails, the old bytes go
// back before the error does.
void TableFile::CommitOneRecord() {
  const Staged s = std::move(staged_[0]);
  Discard();
  std::vector<std::uint8_t> old(s.bytes.size());
  try {
    if (!data_.ReadAt(s.offset, old.data(), old.size()))
      throw platform::FileError(path_.filename().string() + ": read", EIO);
    data_.WriteAt(s.offset, s.bytes.data(), s.bytes.size());
  } catch (const platform::FileError& e) {
    const std::string why = e.code() ? std::strerror(e.code()) : e.what();
    try {
      data_.WriteAt(s.offset, old.data(), old.size());
      Reload();
    } catch (const std::exception& again) {
      broken_ = true;
      data_.Unlock(kPostLockByte);
      throw DbError("Scrierea in tabela " + Quoted(path_) + " a esuat: " + why +
                    "; inregistrarea nu a putut fi refacuta (" + again.what() + ")");
    }
    data_.Unlock(kPostLockByte);
    throw DbError("Scrierea in tabela " + Quoted(path_) + " a esuat: " + why +
                  "; tabela a ramas asa cum era inaintea acestei scrieri");
  }
  data_.Unlock(kPostLockByte);
}

}  // namespace db
