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
// A read that fails notes the table's message and returns false; the callers stop there, so a
// file of many faulty tables costs no exception each.
class SstCursor {
 public:
  SstCursor(RecordStream& s, std::uint16_t len, int codepage)
      : s_(s), remain_(len), codepage_(codepage) {}

  std::uint32_t Remain() const { return remain_; }
  std::string& Error() { return error_; }
  // The failures, out of the way of the reads that rarely meet them.
  [[gnu::cold, gnu::noinline]] bool Fail(std::string text) {
    error_ = std::move(text);
    return false;
  }
  [[gnu::cold, gnu::noinline]] bool Overflow(std::uint32_t n) {
    return Fail(msg::kSstOverflowStart + std::to_string(n) + ")");
  }
  [[gnu::cold, gnu::noinline]] bool StreamEnded() {
    return Fail("Unexpected end of the stream in SST");
  }

  [[nodiscard]] bool Take(std::uint8_t* dst, std::uint32_t n) {
    if (remain_ < n) [[unlikely]]
      return Overflow(n);
    if (s_.Read(dst, n) != n) [[unlikely]]
      return StreamEnded();
    remain_ -= n;
    return true;
  }
  [[nodiscard]] bool TakeU16(std::uint32_t& v) {
    std::uint8_t b[2];
    if (!Take(b, 2)) return false;
    v = platform::LoadU16(b);
    return true;
  }
  [[nodiscard]] bool TakeU32(std::uint32_t& v) {
    std::uint8_t b[4];
    if (!Take(b, 4)) return false;
    v = platform::LoadU32(b);
    return true;
  }

  // Leftover bytes of the current record cannot start a field: step over them to the next
  // record boundary, which must be a CONTINUE record.
  // When the next record is not a CONTINUE, the stream is left at its header, so that the
  // record loop goes on at a record boundary.
  [[nodiscard]] bool NextRecord() { return TryNextRecord() || Fail(msg::kContinueMissing); }
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
  [[nodiscard]] bool ReadChars(std::string& out, std::uint32_t b, bool wide) {
    for (;;) {
      std::uint32_t take = std::min(b, remain_);
      if (wide) take &= ~1u;
      if (!Piece(out, take, wide)) return false;
      b -= take;
      if (b == 0) return true;
      std::uint8_t g = 0;
      if (!NextRecord() || !Take(&g, 1)) return false;
      const std::uint32_t units = wide ? b / 2 : b;  // characters still due
      if (g == 0) {
        wide = false;
        b = units;
      } else if (g == 1) {
        wide = true;
        b = units * 2;
      } else {
        return Fail(msg::kUnknownStringStart + Hex2(g) + "] in SST");
      }
    }
  }

  // Bytes that carry no text (runs split over records, extended data): no option byte at a
  // record boundary.
  [[nodiscard]] bool ReadRaw(std::uint8_t* dst, std::uint32_t n) {
    while (n > 0) {
      if (remain_ == 0 && !NextRecord()) return false;
      const std::uint32_t take = std::min(n, remain_);
      if (dst) {
        if (!Take(dst, take)) return false;
        dst += take;
      } else {
        s_.SeekBy(take);
        remain_ -= take;
      }
      n -= take;
    }
    return true;
  }

 private:
  [[nodiscard]] bool Piece(std::string& out, std::uint32_t n, bool wide) {
    if (n == 0) return true;
    scratch_.resize(n);
    if (!Take(scratch_.data(), n)) return false;
    if (wide)
      AppendUtf16Codepage(out, scratch_.data(), n / 2, codepage_);
    else
      AppendLatin1Fast(out, scratch_.data(), n);
    return true;
  }

  RecordStream& s_;
  std::uint32_t remain_;
  int codepage_;
  std::vector<std::uint8_t> scratch_;
  std::string error_;
};

bool ReadStrings(SstCursor& c, RecordStream& stream, SharedStrings& table);

}  // namespace

bool ReadSharedStrings(RecordStream& stream, std::uint16_t bodyLength, int codepage,
                       SharedStrings& table, std::string& error) {
  SstCursor c(stream, bodyLength, codepage);
  bool read = false;
  try {
    read = ReadStrings(c, stream, table);
  } catch (const EXLSError&) {
    // Leave the stream at a record boundary so that what follows is read as records.
    if (c.Remain() > 0) stream.SeekBy(c.Remain());
    throw;
  }
  if (read) return true;
  if (c.Remain() > 0) stream.SeekBy(c.Remain());  // as above
  error = std::move(c.Error());
  return false;
}

namespace {

bool ReadStrings(SstCursor& c, RecordStream& stream, SharedStrings& table) {
  std::uint32_t total = 0, unique = 0;  // the total count is unused
  if (!c.TakeU32(total) || !c.TakeU32(unique)) return false;
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
    if (c.Remain() < 3 && !c.TryNextRecord()) return true;
    std::uint32_t count = 0;
    std::uint8_t flags = 0;
    if (!c.TakeU16(count) || !c.Take(&flags, 1)) return false;
    text.clear();
    const bool wide = (flags & 0x01) != 0;
    const std::uint32_t bytes = wide ? count * 2 : count;
    if (flags == 0x00 || flags == 0x01) {
      if (!c.ReadChars(text, bytes, wide)) return false;
      table.Add(text);
    } else if (flags & 0x08) {
      if (c.Remain() < 2 && !c.NextRecord()) return false;
      std::uint32_t runs = 0, ext = 0;
      if (!c.TakeU16(runs)) return false;
      if ((flags & 0x04) && !c.TakeU32(ext)) return false;
      if (!c.ReadChars(text, bytes, wide)) return false;
      table.Add(text);
      runBytes.resize(static_cast<std::size_t>(runs) * 4);
      if (runs > 0 && !c.ReadRaw(runBytes.data(), runs * 4)) return false;
      block.assign(1, TRecREFormat{0, static_cast<std::uint16_t>(runs)});
      for (std::uint32_t r = 0; r < runs; ++r) {
        const std::uint8_t* p = &runBytes[4 * r];
        block.push_back(TRecREFormat{platform::LoadU16(p), platform::LoadU16(p + 2)});
      }
      table.AttachRuns(table.Count() - 1, block);
      if (ext > 0 && !c.ReadRaw(nullptr, ext)) return false;
    } else if (flags & 0x04) {
      std::uint32_t ext = 0;
      if (!c.TakeU32(ext) || !c.ReadChars(text, bytes, wide)) return false;
      table.Add(text);
      if (ext > 0 && !c.ReadRaw(nullptr, ext)) return false;
    } else {
      return c.Fail(msg::kUnhandledSstStart + Hex2(flags) + "]");
    }
  }
  // The stream stands after the last string; bytes the SST record still holds past it are
  // stepped over so the next header is read at a record boundary.
  if (c.Remain() > 0) stream.SeekBy(c.Remain());
  return true;
}

}  // namespace

}  // namespace reader::detail
