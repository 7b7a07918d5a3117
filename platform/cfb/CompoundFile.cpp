#include "platform/cfb/CompoundFile.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/ByteView.h"
#include "platform/Codepage.h"
#include "platform/cfb/Layout.h"

namespace platform::cfb {
namespace {

// Every view below covers a buffer of the size it is read with (the header, one sector, one
// directory entry); a read past it would be a fault of this file, reported as damage.
void Overrun(const void*, std::size_t, std::size_t, std::size_t) {
  throw CfbError("Compound file structure read past its end");
}
ByteView View(const std::uint8_t* p, std::size_t n) {
  return ByteView(p, n, Overrun);
}

// A stream stored in regular sectors, read as runs of consecutive sectors so that a stream
// written in one piece costs one system read per request.
class SectorStream final : public Stream {
 public:
  struct Run {
    std::uint64_t streamOffset;
    std::uint64_t fileOffset;
    std::uint64_t length;
  };
  SectorStream(std::shared_ptr<RandomAccessFile> file, std::vector<Run> runs, std::uint64_t size)
      : file_(std::move(file)), runs_(std::move(runs)) {
    size_ = size;
  }

  std::size_t Read(void* dst, std::size_t n) override {
    auto* out = static_cast<std::uint8_t*>(dst);
    std::size_t done = 0;
    while (done < n && position_ < size_) {
      auto it =
          std::upper_bound(runs_.begin(), runs_.end(), position_,
                           [](std::uint64_t pos, const Run& r) { return pos < r.streamOffset; });
      if (it == runs_.begin()) break;
      const Run& run = *(it - 1);
      const std::uint64_t into = position_ - run.streamOffset;
      if (into >= run.length) break;
      std::uint64_t want = std::min<std::uint64_t>(n - done, run.length - into);
      want = std::min<std::uint64_t>(want, size_ - position_);
      const std::size_t got =
          file_->ReadAt(run.fileOffset + into, out + done, static_cast<std::size_t>(want));
      done += got;
      position_ += got;
      if (got < want) break;  // the file ends inside the stream's last sector
    }
    return done;
  }

 private:
  std::shared_ptr<RandomAccessFile> file_;
  std::vector<Run> runs_;
};

// A small stream (below the mini-stream cutoff) held in memory.
class MemoryStream final : public Stream {
 public:
  explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {
    size_ = bytes_.size();
  }
  std::size_t Read(void* dst, std::size_t n) override {
    if (position_ >= size_) return 0;
    const std::size_t got = static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - position_));
    std::memcpy(dst, bytes_.data() + position_, got);
    position_ += got;
    return got;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

bool CompoundFile::IsCompoundFile(const std::filesystem::path& path) {
  try {
    RandomAccessFile f(path);
    std::uint8_t sig[8];
    return f.ReadAt(0, sig, 8) == 8 && std::memcmp(sig, kSignature, 8) == 0;
  } catch (const CfbError&) {
    return false;
  }
}

CompoundFile::CompoundFile(const std::filesystem::path& path)
    : file_(std::make_shared<RandomAccessFile>(path)) {
  std::array<std::uint8_t, kHeaderSize> h{};
  if (file_->ReadAt(0, h.data(), h.size()) != h.size() || std::memcmp(h.data(), kSignature, 8) != 0)
    throw CfbError("Not a compound file");
  const ByteView hv = View(h.data(), h.size());
  majorVersion_ = hv.U16(hdr::kMajorVersion);
  if (majorVersion_ != 3 && majorVersion_ != 4)
    throw CfbError("Compound file version " + std::to_string(majorVersion_) + " is not supported");
  if (hv.U16(hdr::kByteOrder) != 0xFFFE)
    throw CfbError("Compound file has a wrong byte order mark");
  sectorShift_ = hv.U16(hdr::kSectorShift);
  if (sectorShift_ != 9 && sectorShift_ != 12)
    throw CfbError("Compound file has a wrong sector size");
  if (hv.U16(hdr::kMiniSectorShift) != 6)
    throw CfbError("Compound file has a wrong mini sector size");
  sectorSize_ = 1u << sectorShift_;
  // The header occupies the first sector-sized block; sector n starts at (n + 1) * size.
  sectorCount_ = file_->Size() <= sectorSize_
                     ? 0
                     : (file_->Size() - sectorSize_ + sectorSize_ - 1) / sectorSize_;
  miniCutoff_ = hv.U32(hdr::kMiniCutoff);
  firstMiniFatSector_ = hv.U32(hdr::kFirstMiniFatSector);
  ReadFat(h.data());
  ReadDirectory(hv.U32(hdr::kFirstDirSector));
  ListRoot();
}

CompoundFile::~CompoundFile() = default;

void CompoundFile::ReadFat(const std::uint8_t* header) {
  const ByteView hv = View(header, kHeaderSize);
  // Some writers overstate the FAT sector count; the file itself bounds it.
  const std::uint32_t fatSectors = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(hv.U32(hdr::kFatSectorCount), sectorCount_));
  std::vector<std::uint32_t> fatIds;
  fatIds.reserve(fatSectors);
  for (int i = 0; i < hdr::kDifatEntries && fatIds.size() < fatSectors; ++i) {
    const std::uint32_t s = hv.U32(hdr::kDifat + 4 * static_cast<std::size_t>(i));
    if (s == kFreeSect) break;
    fatIds.push_back(s);
  }
  // Further FAT sector numbers live in the DIFAT chain; its last entry links to the next one.
  std::uint32_t difat = hv.U32(hdr::kFirstDifatSector);
  std::vector<bool> seen(sectorCount_, false);
  const std::uint32_t perSector = sectorSize_ / 4 - 1;
  std::vector<std::uint8_t> buf(sectorSize_);
  while (fatIds.size() < fatSectors && difat != kEndOfChain && difat != kFreeSect) {
    if (difat >= sectorCount_) throw CfbError("Compound file DIFAT points outside the file");
    if (seen[difat]) throw CfbError("Compound file DIFAT chain has a loop");
    seen[difat] = true;
    if (file_->ReadAt((static_cast<std::uint64_t>(difat) + 1) << sectorShift_, buf.data(),
                      sectorSize_) != sectorSize_)
      throw CfbError("Compound file DIFAT sector is cut short");
    for (std::uint32_t i = 0; i < perSector && fatIds.size() < fatSectors; ++i) {
      const std::uint32_t s = View(buf.data(), buf.size()).U32(4 * std::size_t{i});
      if (s == kFreeSect) continue;
      fatIds.push_back(s);
    }
    difat = View(buf.data(), buf.size()).U32(4 * std::size_t{perSector});
  }
  fat_.reserve(fatIds.size() * (sectorSize_ / 4));
  for (std::uint32_t s : fatIds) {
    if (s >= sectorCount_) {
      // A FAT sector outside the file describes nothing: chains through it end as damaged.
      fat_.insert(fat_.end(), sectorSize_ / 4, kFreeSect);
      continue;
    }
    const std::size_t got =
        file_->ReadAt((static_cast<std::uint64_t>(s) + 1) << sectorShift_, buf.data(), sectorSize_);
    std::fill(buf.begin() + static_cast<std::ptrdiff_t>(got), buf.end(), 0xFF);
    const ByteView sector = View(buf.data(), buf.size());
    for (std::uint32_t i = 0; i < sectorSize_ / 4; ++i)
      fat_.push_back(sector.U32(4 * std::size_t{i}));
  }
}

std::vector<std::uint32_t> CompoundFile::Chain(std::uint32_t start,
                                               const std::vector<std::uint32_t>& table,
                                               std::uint64_t limit, const char* what) const {
  std::vector<std::uint32_t> chain;
  std::vector<bool> seen(table.size(), false);
  std::uint32_t s = start;
  while (chain.size() < limit && s != kEndOfChain && s != kFreeSect) {
    if (s >= table.size())
      throw CfbError(std::string("Compound file ") + what + " chain leaves the file");
    if (seen[s]) throw CfbError(std::string("Compound file ") + what + " chain has a loop");
    seen[s] = true;
    chain.push_back(s);
    s = table[s];
  }
  return chain;
}

void CompoundFile::ReadDirectory(std::uint32_t firstDirSector) {
  const auto chain = Chain(firstDirSector, fat_, sectorCount_, "directory");
  if (chain.empty()) throw CfbError("Compound file has no directory");
  std::vector<std::uint8_t> buf(sectorSize_);
  for (std::uint32_t s : chain) {
    if (s >= sectorCount_) throw CfbError("Compound file directory lies outside the file");
    const std::size_t got =
        file_->ReadAt((static_cast<std::uint64_t>(s) + 1) << sectorShift_, buf.data(), sectorSize_);
    for (std::size_t off = 0; off + kDirEntrySize <= got; off += kDirEntrySize) {
      const ByteView e = View(&buf[off], kDirEntrySize);
      DirEntry d;
      std::size_t nameBytes = std::min<std::size_t>(e.U16(dirent::kNameLength), 64);
      std::size_t units = nameBytes >= 2 ? nameBytes / 2 - 1 : 0;
      // Stop at an embedded terminator as well.
      for (std::size_t i = 0; i < units; ++i)
        if (e.U16(2 * i) == 0) {
          units = i;
          break;
        }
      platform::AppendUtf16le(d.name, e.Data(), units);
      d.type = e.U8(dirent::kType);
      d.left = e.U32(dirent::kLeft);
      d.right = e.U32(dirent::kRight);
      d.child = e.U32(dirent::kChild);
      d.start = e.U32(dirent::kStart);
      d.size = e.U32(dirent::kSize);
      // Version 3 files may hold garbage in the high half of the size.
      if (majorVersion_ == 4) d.size |= static_cast<std::uint64_t>(e.U32(dirent::kSizeHigh)) << 32;
      dir_.push_back(std::move(d));
    }
  }
  if (dir_.empty() || dir_[0].type != 5) throw CfbError("Compound file has no root entry");
}

void CompoundFile::ListRoot() {
  // In-order walk of the root's red-black tree; every entry may be visited once only.
  std::vector<bool> seen(dir_.size(), false);
  std::vector<std::uint32_t> stack;
  std::uint32_t node = dir_[0].child;
  while (node != kNoStream || !stack.empty()) {
    while (node != kNoStream) {
      if (node >= dir_.size()) throw CfbError("Compound file directory points outside itself");
      if (seen[node]) throw CfbError("Compound file directory has a loop");
      seen[node] = true;
      stack.push_back(node);
      node = dir_[node].left;
    }
    node = stack.back();
    stack.pop_back();
    const DirEntry& d = dir_[node];
    if (d.type == 1 || d.type == 2) {
      rootChildren_.push_back(node);
      rootElements_.push_back(ElementInfo{d.name, d.type == 2 ? d.size : 0, d.type == 2});
    }
    node = d.right;
  }
}

std::unique_ptr<Stream> CompoundFile::OpenStream(const std::string& name) const {
  const DirEntry* entry = nullptr;
  for (std::uint32_t i : rootChildren_)
    if (dir_[i].type == 2 && dir_[i].name == name) {
      entry = &dir_[i];
      break;
    }
  if (!entry) throw CfbError("Compound file has no stream " + name);

  std::uint64_t size = entry->size;
  if (size < miniCutoff_) {
    // Small streams live in the mini stream, itself stored in the root entry's chain.
    const DirEntry& root = dir_[0];
    const std::uint64_t miniCount = (root.size + kMiniSectorSize - 1) / kMiniSectorSize;
    const auto miniFatChain = Chain(firstMiniFatSector_, fat_, sectorCount_, "mini FAT");
    std::vector<std::uint32_t> miniFat;
    std::vector<std::uint8_t> buf(sectorSize_);
    for (std::uint32_t s : miniFatChain) {
      if (s >= sectorCount_) throw CfbError("Compound file mini FAT lies outside the file");
      const std::size_t got = file_->ReadAt((static_cast<std::uint64_t>(s) + 1) << sectorShift_,
                                            buf.data(), sectorSize_);
      std::fill(buf.begin() + static_cast<std::ptrdiff_t>(got), buf.end(), 0xFF);
      const ByteView sector = View(buf.data(), buf.size());
      for (std::uint32_t i = 0; i < sectorSize_ / 4; ++i)
        miniFat.push_back(sector.U32(4 * std::size_t{i}));
    }
    if (miniFat.size() > miniCount) miniFat.resize(static_cast<std::size_t>(miniCount));
    const auto chain =
        Chain(entry->start, miniFat, (size + kMiniSectorSize - 1) / kMiniSectorSize, "mini stream");
    const auto rootChain =
        Chain(root.start, fat_, (root.size + sectorSize_ - 1) / sectorSize_, "root");
    // The declared size is a field of the file: what the chains can hold bounds the memory.
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(
        std::min({size, static_cast<std::uint64_t>(chain.size()) * kMiniSectorSize,
                  static_cast<std::uint64_t>(rootChain.size()) * sectorSize_})));
    std::uint8_t mini[kMiniSectorSize];
    for (std::uint32_t m : chain) {
      const std::uint64_t at = static_cast<std::uint64_t>(m) * kMiniSectorSize;
      const std::uint64_t sectorIndex = at >> sectorShift_;
      if (sectorIndex >= rootChain.size() || rootChain[sectorIndex] >= sectorCount_)
        throw CfbError("Compound file mini stream lies outside the file");
      const std::uint64_t fileOffset =
          ((static_cast<std::uint64_t>(rootChain[sectorIndex]) + 1) << sectorShift_) +
          (at & (sectorSize_ - 1));
      const std::size_t got = file_->ReadAt(fileOffset, mini, kMiniSectorSize);
      const std::size_t take =
          static_cast<std::size_t>(std::min<std::uint64_t>(got, size - bytes.size()));
      bytes.insert(bytes.end(), mini, mini + take);
      if (got < kMiniSectorSize) break;
    }
    return std::make_unique<MemoryStream>(std::move(bytes));
  }

  // A size beyond what the file can hold is cut to the file; so is a chain that ends early.
  const std::uint64_t needed = (size + sectorSize_ - 1) / sectorSize_;
  const auto chain =
      Chain(entry->start, fat_, std::min<std::uint64_t>(needed, sectorCount_), "stream");
  size = std::min<std::uint64_t>(size, static_cast<std::uint64_t>(chain.size()) * sectorSize_);
  std::vector<SectorStream::Run> runs;
  std::uint64_t offset = 0;
  for (std::uint32_t s : chain) {
    if (s >= sectorCount_) throw CfbError("Compound file stream lies outside the file");
    const std::uint64_t fileOffset = (static_cast<std::uint64_t>(s) + 1) << sectorShift_;
    if (!runs.empty() && runs.back().fileOffset + runs.back().length == fileOffset)
      runs.back().length += sectorSize_;
    else
      runs.push_back({offset, fileOffset, sectorSize_});
    offset += sectorSize_;
  }
  return std::make_unique<SectorStream>(file_, std::move(runs), size);
}

}  // namespace platform::cfb
