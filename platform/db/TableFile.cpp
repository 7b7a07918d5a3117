#include "platform/db/TableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/Files.h"
#include "platform/db/DbError.h"

namespace db {
namespace {

int g_lockWaitMs = 5000;

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

bool ReadAll(int fd, std::vector<std::uint8_t>& out, std::uint64_t size) {
  out.resize(size);
  std::uint64_t done = 0;
  while (done < size) {
    ssize_t n = pread(fd, out.data() + done, size - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::uint64_t>(n);
  }
  return true;
}

std::int64_t MtimeNs(const struct stat& st) {
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
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
  if (pxFd_ >= 0) ::close(pxFd_);
  if (fd_ >= 0) ::close(fd_);  // closing the descriptor releases the lock
}

void TableFile::Load() {
  int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    throw DbError("Tabela " + Quoted(path_) + " nu poate fi deschisa: " + std::strerror(errno));
  struct stat st {};
  std::vector<std::uint8_t> bytes;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            static_cast<std::uint64_t>(st.st_size) <= kMaxFileSize &&
            ReadAll(fd, bytes, static_cast<std::uint64_t>(st.st_size));
  ::close(fd);
  if (!ok) throw DbError("Tabela " + Quoted(path_) + " nu poate fi citita");
  statSize_ = st.st_size;
  statMtimeNs_ = MtimeNs(st);
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
  bool repair = false;
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
  if (order.size() != h.numRecords) repair = true;  // a writer stopped between two writes

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
  needsRepair_ = repair;
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

bool TableFile::PrimaryIndexBehind() const {
  if (!Keyed()) return false;
  std::filesystem::path px =
      platform::FindFileNoCase(path_.parent_path(), path_.stem().string() + ".PX");
  if (px.empty()) return false;
  int fd = ::open(px.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::uint8_t head[px::kChangeCount + 2];
  bool read = ::pread(fd, head, sizeof head, 0) == static_cast<ssize_t>(sizeof head);
  ::close(fd);
  // Our index carries the table's change count; one behind means an insert stopped before
  // its index was replaced. Indexes kept by other programs are left as they are.
  return read && head[px::kFileType] == px::kPrimaryIndex &&
         px::Get16(head + px::kChangeCount) == static_cast<std::uint16_t>(changeCount_ - 1);
}

bool TableFile::ChangedSinceRead() const {
  struct stat st {};
  if (fstat(fd_, &st) != 0) return true;
  return st.st_size != statSize_ || MtimeNs(st) != statMtimeNs_;
}

void TableFile::BeginWrite() {
  if (fd_ >= 0) return;
  if (header_.fileType != px::kKeyedData && header_.fileType != px::kUnkeyedData)
    throw DbError("Fisierul " + Quoted(path_) + " este un index si nu poate fi modificat direct");
  int fd = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0)
    throw DbError("Tabela " + Quoted(path_) +
                  " nu poate fi deschisa pentru scriere: " + std::strerror(errno));
  // An open-file-description lock: held per table object, released when the descriptor closes.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(g_lockWaitMs);
  for (;;) {
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
#ifdef F_OFD_SETLK
    int rc = fcntl(fd, F_OFD_SETLK, &fl);
#else
    int rc = fcntl(fd, F_SETLK, &fl);
#endif
    if (rc == 0) break;
    if ((errno != EACCES && errno != EAGAIN) || std::chrono::steady_clock::now() >= deadline) {
      ::close(fd);
      throw DbError(
          "Tabela " + Quoted(path_) +
          " este modificata acum de alt program; inchideti-l sau incercati din nou mai tarziu");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  fd_ = fd;
  try {
    if (ChangedSinceRead()) {
      struct stat st {};
      std::vector<std::uint8_t> bytes;
      if (fstat(fd_, &st) != 0 || static_cast<std::uint64_t>(st.st_size) > kMaxFileSize ||
          !ReadAll(fd_, bytes, static_cast<std::uint64_t>(st.st_size)))
        throw DbError("Tabela " + Quoted(path_) + " nu poate fi citita");
      LoadBytes(bytes);
      statSize_ = st.st_size;
      statMtimeNs_ = MtimeNs(st);
    }
    if (!needsRepair_ && PrimaryIndexBehind()) WritePrimaryIndex();
    if (needsRepair_) {
      // A writer stopped between its writes: the blocks hold the truth; make the header's
      // counters and the primary index agree with them.
      WriteHeader();
      if (Keyed()) WritePrimaryIndex();
      needsRepair_ = false;
    }
  } catch (...) {
    ::close(fd_);
    fd_ = -1;
    throw;
  }
}

void TableFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    ssize_t n = pwrite(fd_, p, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      throw DbError("Scrierea in tabela " + Quoted(path_) + " a esuat: " + std::strerror(errno));
    p += n;
    size -= static_cast<std::size_t>(n);
    offset += static_cast<std::uint64_t>(n);
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
  if (fd_ < 0) throw DbError("Tabela nu este deschisa pentru scriere");
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
}

std::uint32_t TableFile::Insert(std::vector<std::uint8_t>& record) {
  if (fd_ < 0) throw DbError("Tabela nu este deschisa pentru scriere");
  if (record.size() != static_cast<std::size_t>(header_.recordSize))
    throw DbError("Inregistrare de marime gresita");
  if (HasSecondaryIndexFiles())
    throw DbError("Tabela " + Quoted(path_) + " are indexuri secundare (" +
                  SecondaryIndexFileNames() +
                  ") pe care acest program nu le poate actualiza; nu se pot adauga inregistrari");
  if (order_.size() >= 0x7FFFFFFF)
    throw DbError("Tabela " + Quoted(path_) + " a atins marimea maxima");

  for (const auto& f : header_.fields) {
    if (f.type != FieldType::AutoInc) continue;
    std::uint8_t* p = record.data() + f.offset;
    if (px::IsBlank(p, 4)) {
      if (header_.autoInc >= 0x7FFFFFFF)
        throw DbError("Contorul automat al tabelei a ajuns la capat");
      px::EncodeInt(++header_.autoInc, p, 4);
    } else {
      std::int64_t v = px::DecodeInt(p, 4);
      if (v > static_cast<std::int64_t>(header_.autoInc))
        header_.autoInc = static_cast<std::uint32_t>(v);
    }
  }

  std::size_t pos = order_.size();
  if (Keyed()) {
    auto it = std::lower_bound(
        order_.begin(), order_.end(), record.data(),
        [&](std::uint32_t id, const std::uint8_t* key) { return CompareKey(Record(id), key) < 0; });
    if (it != order_.end() && CompareKey(Record(*it), record.data()) == 0)
      throw DbError("Cheie duplicata: tabela " + Quoted(path_) +
                    " are deja o inregistrare cu aceeasi cheie");
    pos = static_cast<std::size_t>(it - order_.begin());
  }

  // Where the record goes: after its predecessor in file order, or first.
  std::uint16_t block;
  std::size_t slot;
  if (order_.empty()) {
    if (header_.firstBlock == 0) {
      block = NewBlock();
      header_.firstBlock = block;
    } else {
      block = static_cast<std::uint16_t>(header_.firstBlock);
    }
    slot = 0;
  } else if (pos > 0) {
    const Location& at = where_[order_[pos - 1]];
    block = at.block;
    slot = at.slot + 1u;
  } else {
    block = where_[order_[0]].block;
    slot = 0;
  }

  // Ids are never reused while the table is loaded: a removed record keeps its slot.
  auto id = static_cast<std::uint32_t>(where_.size());
  records_.insert(records_.end(), record.begin(), record.end());
  where_.push_back({});
  auto place = [&](std::uint16_t b, std::size_t from) {
    auto& ids = blocks_[b].ids;
    for (std::size_t i = from; i < ids.size(); ++i)
      where_[ids[i]] = {b, static_cast<std::uint16_t>(i)};
  };

  std::vector<std::uint16_t> toWrite;
  std::uint16_t relinked = 0;
  if (static_cast<int>(blocks_[block].ids.size()) < Capacity()) {
    auto& ids = blocks_[block].ids;
    ids.insert(ids.begin() + static_cast<std::ptrdiff_t>(slot), id);
    place(block, slot);
    toWrite.push_back(block);
  } else {
    std::uint16_t fresh = NewBlock();
    Block& full = blocks_[block];
    Block& added = blocks_[fresh];
    if (full.next == 0 && slot == full.ids.size()) {
      added.ids.push_back(id);  // past the end of the last block: start a new one
    } else {
      std::size_t half = full.ids.size() / 2;
      added.ids.assign(full.ids.begin() + static_cast<std::ptrdiff_t>(half), full.ids.end());
      full.ids.resize(half);
      if (slot <= half)
        full.ids.insert(full.ids.begin() + static_cast<std::ptrdiff_t>(slot), id);
      else
        added.ids.insert(added.ids.begin() + static_cast<std::ptrdiff_t>(slot - half), id);
    }
    added.prev = block;
    added.next = full.next;
    if (full.next) {
      blocks_[full.next].prev = fresh;
      relinked = full.next;
    }
    full.next = fresh;
    place(block, 0);
    place(fresh, 0);
    // The new block is written while still unlinked, so a reader never follows a link to it
    // before it holds its records.
    toWrite.push_back(fresh);
    toWrite.push_back(block);
  }
  order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(pos), id);
  ++changeCount_;

  // The blocks first (a new block while still unlinked), then the header's counters, then the
  // primary index: a writer stopped at any moment leaves at most one post half done, which
  // readers of this engine do not notice (they trust the block chain) and the next writer
  // repairs.
  try {
    for (std::uint16_t b : toWrite) WriteBlock(b);
    if (relinked) {
      std::uint8_t prev[2];
      px::Put16(prev, blocks_[relinked].prev);
      WriteAt(header_.headerSize + std::uint64_t{relinked - 1u} * header_.blockSize + 2, prev, 2);
    }
    WriteHeader();
    if (Keyed()) WritePrimaryIndex();
  } catch (...) {
    needsRepair_ = true;
    throw;
  }
  return id;
}

}  // namespace db
