#include "reader/SharedStrings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/ByteView.h"
#include "platform/Codepage.h"
#include "reader/Impl.h"
#include "reader/Messages.h"
#include "reader/Text.h"

namespace reader::detail {

void SharedStrings::Clear() {
  blocks_.clear();
  ends_.clear();
  used_ = kBlockSize;
  starts_.clear();
  starts_.shrink_to_fit();
  rich_.clear();
  runs_.clear();
}

void SharedStrings::Add(std::string_view text) {
  // A string is at most 32767 UTF-16 units, so it always fits one block; longer input (never
  // produced by the table reader) is cut rather than spilled. A block is never filled to its
  // last byte, so every start names its own block.
  if (text.size() > kBlockSize / 2) text = text.substr(0, kBlockSize / 2);
  if (blocks_.empty() || used_ + text.size() >= kBlockSize) {
    if (blocks_.size() >= kMaxBlocks) throw EXLSError("Too many strings in SST");
    if (!blocks_.empty())
      ends_.push_back(static_cast<std::uint32_t>(((blocks_.size() - 1) << kBlockBits) + used_));
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
    used_ = 0;
  }
  if (!text.empty()) std::memcpy(blocks_.back().get() + used_, text.data(), text.size());
  starts_.push_back(static_cast<std::uint32_t>(((blocks_.size() - 1) << kBlockBits) + used_));
  used_ += text.size();
}

PRecREFormatArray SharedStrings::Runs(std::size_t i) const {
  if (rich_.empty()) return nullptr;
  auto it = std::lower_bound(rich_.begin(), rich_.end(), i,
                             [](const auto& e, std::size_t key) { return e.first < key; });
  if (it == rich_.end() || it->first != i) return nullptr;
  return runs_.data() + it->second;
}

void SharedStrings::AttachRuns(std::size_t i, const std::vector<TRecREFormat>& block) {
  rich_.emplace_back(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(runs_.size()));
  runs_.insert(runs_.end(), block.begin(), block.end());
}

namespace {

std::string Hex2(unsigned v) {
  char b[8];
  std::snprintf(b, sizeof b, "%.2X", v & 0xFFu);
  return b;
}

// Walks the SST body and its CONTINUE records. `remain` is what is left of the current record.
class SstCursor {
 public:
  SstCursor(RecordStream& s, std::uint16_t len, int codepage)
      : s_(s), remain_(len), codepage_(codepage) {}

  std::uint32_t Remain() const { return remain_; }

  void Take(std::uint8_t* dst, std::uint32_t n) {
    if (remain_ < n) throw EXLSError(msg::kSstOverflowStart + std::to_string(n) + ")");
    if (s_.Read(dst, n) != n) throw EXLSError("Unexpected end of the stream in SST");
    remain_ -= n;
  }
  std::uint32_t TakeU16() {
    std::uint8_t b[2];
    Take(b, 2);
    return platform::LoadU16(b);
  }
  std::uint32_t TakeU32() {
    std::uint8_t b[4];
    Take(b, 4);
    return platform::LoadU32(b);
  }

  // Leftover bytes of the current record cannot start a field: step over them to the next
  // record boundary, which must be a CONTINUE record.
  // When the next record is not a CONTINUE, the stream is left at its header, so that the
  // record loop goes on at a record boundary.
  void NextRecord() {
    if (!TryNextRecord()) throw EXLSError(msg::kContinueMissing);
  }
  bool TryNextRecord() {
    if (remain_ > 0) s_.SeekBy(remain_);
    remain_ = 0;
    // Some writers leave empty CONTINUE records behind: they hold nothing to read.
    do {
      std::uint16_t id = 0, len = 0;
      if (!s_.ReadHeader(id, len)) return false;
      if (id != 0x003C) {
        s_.SeekBy(-4);
        return false;
      }
      remain_ = len;
    } while (remain_ == 0);
    return true;
  }

  // Characters of one string: b bytes in the given mode, continued in later records after an
  // option byte that may switch the mode.
  void ReadChars(std::string& out, std::uint32_t b, bool wide) {
    for (;;) {
      std::uint32_t take = std::min(b, remain_);
      if (wide) take &= ~1u;
      Piece(out, take, wide);
      b -= take;
      if (b == 0) return;
      NextRecord();
      std::uint8_t g = 0;
      Take(&g, 1);
      const std::uint32_t units = wide ? b / 2 : b;  // characters still due
      if (g == 0) {
        wide = false;
        b = units;
      } else if (g == 1) {
        wide = true;
        b = units * 2;
      } else {
        throw EXLSError(msg::kUnknownStringStart + Hex2(g) + "] in SST");
      }
    }
  }

  // Bytes that carry no text (runs split over records, extended data): no option byte at a
  // record boundary.
  void ReadRaw(std::uint8_t* dst, std::uint32_t n) {
    while (n > 0) {
      if (remain_ == 0) NextRecord();
      const std::uint32_t take = std::min(n, remain_);
      if (dst) {
        Take(dst, take);
        dst += take;
      } else {
        s_.SeekBy(take);
        remain_ -= take;
      }
      n -= take;
    }
  }

 private:
  void Piece(std::string& out, std::uint32_t n, bool wide) {
    if (n == 0) return;
    scratch_.resize(n);
    Take(scratch_.data(), n);
    if (wide)
      AppendUtf16Codepage(out, scratch_.data(), n / 2, codepage_);
    else
      AppendLatin1Fast(out, scratch_.data(), n);
  }

  RecordStream& s_;
  std::uint32_t remain_;
  int codepage_;
  std::vector<std::uint8_t> scratch_;
};

void ReadStrings(SstCursor& c, RecordStream& stream, SharedStrings& table);

}  // namespace

void ReadSharedStrings(RecordStream& stream, std::uint16_t bodyLength, int codepage,
                       SharedStrings& table) {
  SstCursor c(stream, bodyLength, codepage);
  try {
    ReadStrings(c, stream, table);
  } catch (const EXLSError&) {
    // Leave the stream at a record boundary so that what follows is read as records.
    if (c.Remain() > 0) stream.SeekBy(c.Remain());
    throw;
  }
}

namespace {

void ReadStrings(SstCursor& c, RecordStream& stream, SharedStrings& table) {
  c.TakeU32();  // total count, unused
  const std::uint32_t unique = c.TakeU32();
  // Each string needs at least 3 bytes: never trust the count for more than the rest of the
  // stream holds.
  const std::uint64_t rest = stream.Size() - std::min(stream.Size(), stream.Position());
  table.Reserve(table.Count() + std::min<std::uint64_t>(unique, rest / 3 + 1));
  std::string text;
  std::vector<TRecREFormat> block;
  std::vector<std::uint8_t> runBytes;
  for (std::uint32_t k = 0; k < unique; ++k) {
    // A unique-string count larger than the strings stored (a known writer fault) ends the
    // table at the last whole string instead of failing.
    if (c.Remain() < 3 && !c.TryNextRecord()) return;
    const std::uint32_t count = c.TakeU16();
    std::uint8_t flags = 0;
    {
      std::uint8_t f;
      c.Take(&f, 1);
      flags = f;
    }
    text.clear();
    const bool wide = (flags & 0x01) != 0;
    const std::uint32_t bytes = wide ? count * 2 : count;
    if (flags == 0x00 || flags == 0x01) {
      c.ReadChars(text, bytes, wide);
      table.Add(text);
    } else if (flags & 0x08) {
      if (c.Remain() < 2) c.NextRecord();
      const std::uint32_t runs = c.TakeU16();
      std::uint32_t ext = 0;
      if (flags & 0x04) ext = c.TakeU32();
      c.ReadChars(text, bytes, wide);
      table.Add(text);
      runBytes.resize(static_cast<std::size_t>(runs) * 4);
      if (runs > 0) c.ReadRaw(runBytes.data(), runs * 4);
      block.assign(1, TRecREFormat{0, static_cast<std::uint16_t>(runs)});
      for (std::uint32_t r = 0; r < runs; ++r) {
        const std::uint8_t* p = &runBytes[4 * r];
        block.push_back(TRecREFormat{platform::LoadU16(p), platform::LoadU16(p + 2)});
      }
      table.AttachRuns(table.Count() - 1, block);
      if (ext > 0) c.ReadRaw(nullptr, ext);
    } else if (flags & 0x04) {
      const std::uint32_t ext = c.TakeU32();
      c.ReadChars(text, bytes, wide);
      table.Add(text);
      if (ext > 0) c.ReadRaw(nullptr, ext);
    } else {
      throw EXLSError(msg::kUnhandledSstStart + Hex2(flags) + "]");
    }
  }
  // The stream stands after the last string; bytes the SST record still holds past it are
  // stepped over so the next header is read at a record boundary.
  if (c.Remain() > 0) stream.SeekBy(c.Remain());
}

}  // namespace

}  // namespace reader::detail
