// Reading a table: an interrupted post is undone first, under the exclusive post lock; then the
// whole file is read under the shared one, so a reader never sees a post half written.
#include <algorithm>
#include <cstring>

#include "platform/Files.h"
#include "platform/db/DbError.h"
#include "platform/db/TableFile.h"
#include "platform/db/TableLocks.h"

namespace db {
namespace {

// A table file larger than this cannot be a Paradox table (65535 blocks of 32 KB at most).
constexpr std::uint64_t kMaxFileSize = std::uint64_t{65536} * 32768 + 65536;

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
  return c <= '9' ? c - '0' : c - 'A' + 10;
}

std::string Quoted(const std::filesystem::path& p) {
  return "\"" + p.filename().string() + "\"";
}

bool ReadAll(const platform::File& f, std::vector<std::uint8_t>& out) {
  const std::uint64_t size = f.Size();
  if (size > kMaxFileSize) return false;
  out.resize(static_cast<std::size_t>(size));
  return f.ReadAt(0, out.data(), out.size());
}

}  // namespace

bool TableFile::JournalHasContent() const {
  try {
    platform::File f(JournalPath(path_), platform::FileMode::Read);
    std::uint8_t head[8];
    return f.ReadAt(0, head, sizeof head) && JournalIsPending(head, sizeof head);
  } catch (const platform::FileError&) {
    return false;
  }
}

bool RestoreFromJournal(const std::filesystem::path& table, platform::File& data) {
  platform::File journal;
  try {
    journal = platform::File(JournalPath(table), platform::FileMode::ReadWrite);
  } catch (const platform::FileError& e) {
    if (e.code() == ENOENT) return false;
    throw;
  }
  std::vector<std::uint8_t> bytes;
  if (!ReadAll(journal, bytes) || !JournalIsPending(bytes.data(), bytes.size())) return false;
  Journal j;
  // A journal that is not whole was cut while being written: the post had not yet touched the
  // table, so there is nothing to put back.
  if (DecodeJournal(bytes.data(), bytes.size(), j)) RollBack(j, data, table.parent_path());
  const std::vector<std::uint8_t> done = JournalDone();
  journal.WriteAt(0, done.data(), done.size());
  journal.Sync();
  return true;
}

void TableFile::RestoreInterruptedPost() {
  platform::File data;
  try {
    data = platform::File(path_, platform::FileMode::ReadWrite);
  } catch (const platform::FileError& e) {
    throw DbError("Tabela " + Quoted(path_) +
                  " are o scriere intrerupta care trebuie anulata, dar nu poate fi deschisa "
                  "pentru scriere: " +
                  std::strerror(e.code()));
  }
  if (!data.Lock(kPostLockByte, platform::LockKind::Exclusive, LockWaitMilliseconds()))
    ThrowLocked();
  try {
    RestoreFromJournal(path_, data);
  } catch (const platform::FileError& e) {
    throw DbError("Scrierea intrerupta din tabela " + Quoted(path_) +
                  " nu poate fi anulata: " + e.what());
  }
}

void TableFile::Load() {
  for (int attempt = 0;; ++attempt) {
    platform::File f;
    try {
      f = platform::File(path_, platform::FileMode::Read);
    } catch (const platform::FileError& e) {
      throw DbError("Tabela " + Quoted(path_) +
                    " nu poate fi deschisa: " + std::strerror(e.code()));
    }
    if (!f.Lock(kPostLockByte, platform::LockKind::Shared, LockWaitMilliseconds())) ThrowLocked();
    if (JournalHasContent() && attempt < 3) {
      f.Close();
      RestoreInterruptedPost();
      continue;
    }
    std::vector<std::uint8_t> bytes;
    try {
      if (!ReadAll(f, bytes)) throw platform::FileError("", 0);
      statSize_ = static_cast<std::int64_t>(f.Size());
      statMtimeNs_ = f.ModifiedNs();
    } catch (const platform::FileError&) {
      throw DbError("Tabela " + Quoted(path_) + " nu poate fi citita");
    }
    LoadBytes(bytes);
    return;
  }
}

void TableFile::Reload() {
  std::vector<std::uint8_t> bytes;
  if (!ReadAll(data_, bytes)) throw DbError("Tabela " + Quoted(path_) + " nu poate fi citita");
  statSize_ = static_cast<std::int64_t>(data_.Size());
  statMtimeNs_ = data_.ModifiedNs();
  LoadBytes(bytes);
}

void TableFile::LoadBytes(const std::vector<std::uint8_t>& bytes) {
  px::Header h = px::ParseHeader(bytes.data(), bytes.size(), path_.filename().string());
  if (h.fileType == px::kPrimaryIndex)
    throw DbError("Fisierul " + Quoted(path_) + " nu este o tabela");
  const std::size_t recordSize = static_cast<std::size_t>(h.recordSize);
  const std::size_t blockSize = static_cast<std::size_t>(h.blockSize);
  // A last block may end early: the file stops after its last record. Such a block counts, and
  // each block's records are checked to lie inside the file.
  const std::size_t area = bytes.size() - h.headerSize;
  const std::size_t physical = std::min<std::size_t>((area + blockSize - 1) / blockSize, 65535);
  const int capacity = static_cast<int>((blockSize - px::kBlockHeader) / recordSize);

  std::vector<Block> blocks(physical + 1);
  std::vector<std::uint8_t> records;
  std::vector<std::uint32_t> order;
  std::vector<Location> where;
  std::vector<bool> seen(physical + 1, false);
  std::uint16_t prev = 0;
  for (std::size_t b = h.firstBlock; b != 0;) {
    if (b > physical)
      throw DbError("Tabela " + Quoted(path_) + " este deteriorata: bloc in afara fisierului");
    if (seen[b])
      throw DbError("Tabela " + Quoted(path_) + " este deteriorata: lantul de blocuri are o bucla");
    seen[b] = true;
    const std::size_t inFile = std::min(blockSize, area - (b - 1) * blockSize);
    if (inFile < px::kBlockHeader)
      throw DbError("Tabela " + Quoted(path_) + " este deteriorata: bloc in afara fisierului");
    const std::uint8_t* base = bytes.data() + h.headerSize + (b - 1) * blockSize;
    Block& block = blocks[b];
    block.next = px::Get16(base);
    block.prev = prev;  // the chain walked is the truth; a block written again gets this back link
    int last = static_cast<std::int16_t>(px::Get16(base + 4));
    int count = 0;
    if (last >= 0) {
      if (last % h.recordSize != 0)
        throw DbError("Tabela " + Quoted(path_) + " este deteriorata: antet de bloc gresit");
      count = last / h.recordSize + 1;
    }
    if (count > capacity)
      throw DbError("Tabela " + Quoted(path_) + " este deteriorata: bloc supraplin");
    if (px::kBlockHeader + static_cast<std::size_t>(count) * recordSize > inFile)
      throw DbError("Tabela " + Quoted(path_) + " este deteriorata: bloc in afara fisierului");
    for (int i = 0; i < count; ++i) {
      auto id = static_cast<std::uint32_t>(order.size());
      const std::uint8_t* rec = base + px::kBlockHeader + i * recordSize;
      records.insert(records.end(), rec, rec + recordSize);
      order.push_back(id);
      block.ids.push_back(id);
      where.push_back({static_cast<std::uint16_t>(b), static_cast<std::uint16_t>(i)});
    }
    prev = static_cast<std::uint16_t>(b);
    b = block.next;
  }
  // This program's posts never leave the counts behind the blocks (an interrupted one is undone
  // from its journal before the table is read), so a difference is damage, not a stopped write.
  if (order.size() != h.numRecords)
    throw DbError("Tabela " + Quoted(path_) + " este deteriorata: antetul numara " +
                  std::to_string(h.numRecords) + " inregistrari, lantul de blocuri " +
                  std::to_string(order.size()));

  // The counter never hands out a number already used, whatever the header says.
  for (const auto& f : h.fields) {
    if (f.type != FieldType::AutoInc) continue;
    for (std::size_t r = 0; r < order.size(); ++r) {
      const std::uint8_t* p = records.data() + r * recordSize + f.offset;
      if (px::IsBlank(p, 4)) continue;
      std::int64_t v = px::DecodeInt(p, 4);
      if (v > static_cast<std::int64_t>(h.autoInc)) h.autoInc = static_cast<std::uint32_t>(v);
    }
  }
  header_ = std::move(h);
  rawHeader_.assign(bytes.begin(), bytes.begin() + header_.headerSize);
  changeCount_ = px::Get16(rawHeader_.data() + px::kChangeCount);
  records_ = std::move(records);
  order_ = std::move(order);
  where_ = std::move(where);
  blocks_ = std::move(blocks);
  ++generation_;
}

void TableFile::FindSecondaryIndexes() {
  secondaryFiles_.clear();
  indexedFields_.assign(header_.fields.size(), false);
  const std::string stem = Upper(path_.stem().string());
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(path_.parent_path(), ec)) {
    const std::filesystem::path& p = entry.path();
    if (Upper(p.stem().string()) != stem) continue;
    std::string ext = Upper(p.extension().string());
    if (ext.size() != 4 || ext[0] != '.') continue;
    bool single = (ext[1] == 'X' || ext[1] == 'Y') && IsHex(ext[2]) && IsHex(ext[3]);
    bool composite = (ext[1] == 'X' || ext[1] == 'Y') && ext[2] == 'G' && IsHex(ext[3]);
    if (!single && !composite) continue;
    secondaryFiles_.push_back(p);
    if (ext[1] != 'X') continue;
    if (single) {
      int number = HexValue(ext[2]) * 16 + HexValue(ext[3]);
      if (number >= 1 && number <= static_cast<int>(indexedFields_.size()))
        indexedFields_[number - 1] = true;
      continue;
    }
    // A composite index names its fields in its own header; when that cannot be read, every
    // field counts as indexed, so nothing it might cover is changed behind its back.
    try {
      std::string content;
      if (!platform::ReadWholeFile(p, content)) throw DbError("");
      px::Header xh =
          px::ParseHeader(reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
      for (const auto& xf : xh.fields)
        for (std::size_t i = 0; i < header_.fields.size(); ++i)
          if (Upper(header_.fields[i].name) == Upper(xf.name)) indexedFields_[i] = true;
    } catch (const DbError&) {
      indexedFields_.assign(header_.fields.size(), true);
    }
  }
  std::sort(secondaryFiles_.begin(), secondaryFiles_.end());
}

}  // namespace db
