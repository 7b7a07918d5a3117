#include "platform/db/TableFile.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Files.h"
#include "platform/db/DbError.h"
#include "platform/db/TableLocks.h"

namespace db {
namespace {

int g_lockWaitMs = 5000;

std::string Quoted(const std::filesystem::path& p) {
  return "\"" + p.filename().string() + "\"";
}

}  // namespace

void SetLockWaitMilliseconds(int ms) {
  g_lockWaitMs = ms < 0 ? 0 : ms;
}
int LockWaitMilliseconds() {
  return g_lockWaitMs;
}

TableFile::TableFile(std::filesystem::path dbPath) : path_(std::move(dbPath)) {
  Load();
  FindSecondaryIndexes();
}

TableFile::~TableFile() {
  if (!Writing()) return;
  // The writer's lock is still held: a journal of finished posts is no one else's, and goes.
  std::error_code ec;
  if (journal_.IsOpen() && !broken_ && !JournalHasContent())
    std::filesystem::remove(JournalPath(path_), ec);
}

void TableFile::ThrowLocked() const {
  throw DbError(
      "Tabela " + Quoted(path_) +
      " este modificata acum de alt program; inchideti-l sau incercati din nou mai tarziu");
}

bool TableFile::FieldInSecondaryIndex(int field) const {
  return field >= 0 && field < static_cast<int>(indexedFields_.size()) && indexedFields_[field];
}

std::string TableFile::SecondaryIndexFileNames() const {
  std::string names;
  for (const auto& p : secondaryFiles_)
    names += (names.empty() ? "" : ", ") + p.filename().string();
  return names;
}

int TableFile::CompareKey(const std::uint8_t* a, const std::uint8_t* b) const {
  // Key fields come first in the record, so the key is one byte string.
  return std::memcmp(a, b, static_cast<std::size_t>(header_.KeySize()));
}

bool TableFile::ChangedSinceRead() const {
  try {
    return static_cast<std::int64_t>(data_.Size()) != statSize_ ||
           data_.ModifiedNs() != statMtimeNs_;
  } catch (const platform::FileError&) {
    return true;
  }
}

void TableFile::BeginWrite() {
  if (Writing()) return;
  if (broken_)
    throw DbError("Tabela " + Quoted(path_) +
                  " are o scriere neterminata; redeschideti-o ca sa fie refacuta");
  if (header_.fileType != px::kKeyedData && header_.fileType != px::kUnkeyedData)
    throw DbError("Fisierul " + Quoted(path_) + " este un index si nu poate fi modificat direct");
  platform::File data;
  try {
    data = platform::File(path_, platform::FileMode::ReadWrite);
  } catch (const platform::FileError& e) {
    throw DbError("Tabela " + Quoted(path_) +
                  " nu poate fi deschisa pentru scriere: " + std::strerror(e.code()));
  }
  if (!data.Lock(kWriterLockByte, platform::LockKind::Exclusive, g_lockWaitMs)) ThrowLocked();
  if (!data.Lock(kPostLockByte, platform::LockKind::Exclusive, g_lockWaitMs)) ThrowLocked();
  bool restored = false;
  try {
    restored = RestoreFromJournal(path_, data);
    journal_ = platform::File(JournalPath(path_), platform::FileMode::ReadWriteCreate);
    if (Keyed()) {
      // The primary index must be writable before the first post changes anything.
      pxPath_ = platform::FindFileNoCase(path_.parent_path(), path_.stem().string() + ".PX");
      pxImage_.clear();
      if (!pxPath_.empty()) {
        index_ = platform::File(pxPath_, platform::FileMode::ReadWrite);
        ReadIndexImage();
      } else {
        std::string ext = path_.extension().string();
        bool lower = ext.size() == 3 && ext[1] == 'd';
        pxPath_ = path_.parent_path() / (path_.stem().string() + (lower ? ".px" : ".PX"));
      }
    }
  } catch (const platform::FileError& e) {
    journal_.Close();
    index_.Close();
    throw DbError("Tabela " + Quoted(path_) + " nu poate fi deschisa pentru scriere: " + e.what());
  }
  data_ = std::move(data);
  try {
    if (restored || ChangedSinceRead()) Reload();
  } catch (...) {
    data_.Close();
    journal_.Close();
    index_.Close();
    throw;
  }
  data_.Unlock(kPostLockByte);
  // An index left stale by another program is rebuilt before the first post relies on it.
  if (Keyed() && !pxImage_.empty() && !PrimaryIndexCurrent()) WritePrimaryIndex();
}

void TableFile::CheckWritable(const std::vector<int>& fields, bool inserts) const {
  if (header_.fileType != px::kKeyedData && header_.fileType != px::kUnkeyedData)
    throw DbError("Fisierul " + Quoted(path_) + " este un index si nu poate fi modificat direct");
  if (inserts && HasSecondaryIndexFiles())
    throw DbError("Tabela " + Quoted(path_) + " are indexuri secundare (" +
                  SecondaryIndexFileNames() +
                  ") pe care acest program nu le poate actualiza; nu se pot adauga inregistrari");
  for (int i : fields) {
    if (Keyed() && i < header_.keyFields)
      throw DbError("Campul \"" + header_.fields[i].name + "\" face parte din cheia tabelei " +
                    Quoted(path_) + " si nu poate fi modificat");
    if (FieldInSecondaryIndex(i))
      throw DbError("Campul \"" + header_.fields[i].name +
                    "\" face parte dintr-un index secundar al tabelei " + Quoted(path_) + " (" +
                    SecondaryIndexFileNames() + ") pe care acest program nu il poate actualiza");
  }
  if (Writing()) return;
  try {
    platform::File data(path_, platform::FileMode::ReadWrite);
    if (!data.Lock(kWriterLockByte, platform::LockKind::Exclusive, g_lockWaitMs)) ThrowLocked();
    const std::filesystem::path journal = JournalPath(path_);
    if (std::filesystem::exists(journal))
      platform::File(journal, platform::FileMode::ReadWrite);
    else if (::access(path_.parent_path().empty() ? "." : path_.parent_path().c_str(), W_OK) != 0)
      throw platform::FileError(path_.parent_path().string(), errno);
    if (Keyed()) {
      const auto px = platform::FindFileNoCase(path_.parent_path(), path_.stem().string() + ".PX");
      if (!px.empty()) platform::File(px, platform::FileMode::ReadWrite);
    }
  } catch (const platform::FileError& e) {
    throw DbError("Tabela " + Quoted(path_) + " nu poate fi deschisa pentru scriere: " +
                  (e.code() ? std::strerror(e.code()) : e.what()));
  }
}

void TableFile::Flush() {
  if (!Writing()) return;
  try {
    data_.Sync();
    if (index_.IsOpen()) index_.Sync();
    platform::SyncFolder(path_.parent_path());
  } catch (const platform::FileError& e) {
    throw DbError("Tabela " + Quoted(path_) + " nu poate fi scrisa pe disc: " + e.what());
  }
}

void TableFile::WriteBlock(std::uint16_t block) {
  const Block& b = blocks_[block];
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(header_.blockSize), 0);
  px::Put16(bytes.data(), b.next);
  px::Put16(bytes.data() + 2, b.prev);
  int last = (static_cast<int>(b.ids.size()) - 1) * header_.recordSize;
  px::Put16(bytes.data() + 4, static_cast<std::uint16_t>(static_cast<std::int16_t>(last)));
  for (std::size_t i = 0; i < b.ids.size(); ++i)
    std::memcpy(bytes.data() + px::kBlockHeader + i * header_.recordSize, Record(b.ids[i]),
                static_cast<std::size_t>(header_.recordSize));
  WriteAt(header_.headerSize + std::uint64_t{block - 1u} * header_.blockSize, bytes.data(),
          bytes.size());
}

void TableFile::WriteHeader() {
  std::uint8_t* h = rawHeader_.data();
  px::Put32(h + px::kNumRecords, static_cast<std::uint32_t>(order_.size()));
  px::Put16(h + px::kUsedBlocks, static_cast<std::uint32_t>(header_.usedBlocks));
  px::Put16(h + px::kFileBlocks, static_cast<std::uint32_t>(header_.fileBlocks));
  px::Put16(h + px::kFirstBlock, static_cast<std::uint32_t>(header_.firstBlock));
  px::Put16(h + px::kLastBlock, static_cast<std::uint32_t>(header_.lastBlock));
  px::Put16(h + px::kChangeCount, changeCount_);
  for (const auto& f : header_.fields)
    if (f.type == FieldType::AutoInc) px::Put32(h + px::kAutoInc, header_.autoInc);
  header_.numRecords = static_cast<std::uint32_t>(order_.size());
  // The counters live in the fixed part: one write changes them together.
  WriteAt(0, h, px::kFixedHeader);
}

std::uint16_t TableFile::NewBlock() {
  if (blocks_.size() > 65535) throw DbError("Tabela " + Quoted(path_) + " a atins marimea maxima");
  auto number = static_cast<std::uint16_t>(blocks_.size());
  blocks_.emplace_back();
  if (px::Get16(rawHeader_.data() + px::kMaxBlocks) == header_.fileBlocks)
    px::Put16(rawHeader_.data() + px::kMaxBlocks, number);
  header_.fileBlocks = number;
  header_.usedBlocks = std::min(header_.usedBlocks + 1, 65535);
  header_.lastBlock = number;
  return number;
}

void TableFile::Update(std::uint32_t id, const std::uint8_t* record) {
  if (!Writing()) throw DbError("Tabela nu este deschisa pentru scriere");
  if (id >= order_.size()) throw DbError("Inregistrarea nu mai exista");
  std::uint8_t* old = records_.data() + std::size_t{id} * header_.recordSize;
  for (std::size_t i = 0; i < header_.fields.size(); ++i) {
    const auto& f = header_.fields[i];
    if (std::memcmp(old + f.offset, record + f.offset, static_cast<std::size_t>(f.size)) == 0)
      continue;
    if (Keyed() && static_cast<int>(i) < header_.keyFields)
      throw DbError("Campul \"" + f.name + "\" face parte din cheia tabelei " + Quoted(path_) +
                    " si nu poate fi modificat");
    if (FieldInSecondaryIndex(static_cast<int>(i)))
      throw DbError("Campul \"" + f.name + "\" face parte dintr-un index secundar al tabelei " +
                    Quoted(path_) + " (" + SecondaryIndexFileNames() +
                    ") pe care acest program nu il poate actualiza");
  }
  std::memcpy(old, record, static_cast<std::size_t>(header_.recordSize));
  const Location& at = where_[id];
  WriteAt(header_.headerSize + std::uint64_t{at.block - 1u} * header_.blockSize + px::kBlockHeader +
              std::uint64_t{at.slot} * header_.recordSize,
          old, static_cast<std::size_t>(header_.recordSize));
  Commit();
}

}  // namespace db
