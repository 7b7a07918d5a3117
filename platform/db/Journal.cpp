#include "platform/db/Journal.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/ByteView.h"

namespace db {
namespace {

constexpr char kMagic[8] = {'P', 'O', 'S', 'T', 'J', 'R', 'N', '1'};
constexpr std::size_t kFixed = 8 + 8 + 8 + 1 + 8 + 2 + 4;  // magic, length, sizes, name, count
constexpr std::size_t kRegionHead = 1 + 8 + 4;
constexpr std::size_t kMaxRegion = std::size_t{1} << 27;  // no region of a table is this large

void Put64(std::vector<std::uint8_t>& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

std::uint64_t JournalChecksum(const std::uint8_t* p, std::size_t n) {
  std::uint64_t h = 0xCBF29CE484222325ull;  // 64-bit FNV-1a
  for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001B3ull;
  return h;
}

std::filesystem::path JournalPath(const std::filesystem::path& table) {
  const std::string ext = table.extension().string();
  const bool lower = ext.size() > 1 && ext[1] >= 'a' && ext[1] <= 'z';
  std::filesystem::path p = table;
  p += lower ? ".jnl" : ".JNL";
  return p;
}

std::vector<std::uint8_t> EncodeJournal(const Journal& j) {
  std::vector<std::uint8_t> out(kMagic, kMagic + sizeof kMagic);
  Put64(out, 0);  // the whole length, filled in below
  Put64(out, j.dataSize);
  out.push_back(j.indexExisted ? 1 : 0);
  Put64(out, j.indexSize);
  const auto nameSize = static_cast<std::uint16_t>(std::min<std::size_t>(j.indexName.size(), 255));
  out.push_back(static_cast<std::uint8_t>(nameSize));
  out.push_back(0);
  Put32(out, static_cast<std::uint32_t>(j.regions.size()));
  out.insert(out.end(), j.indexName.begin(), j.indexName.begin() + nameSize);
  for (const auto& r : j.regions) {
    out.push_back(r.target);
    Put64(out, r.offset);
    Put32(out, static_cast<std::uint32_t>(r.bytes.size()));
    out.insert(out.end(), r.bytes.begin(), r.bytes.end());
  }
  const std::uint64_t length = out.size() + 8;
  for (int i = 0; i < 8; ++i) out[8 + i] = static_cast<std::uint8_t>(length >> (8 * i));
  Put64(out, JournalChecksum(out.data(), out.size()));
  return out;
}

bool JournalIsPending(const std::uint8_t* data, std::size_t size) {
  return size >= sizeof kMagic && std::memcmp(data, kMagic, sizeof kMagic) == 0;
}

std::vector<std::uint8_t> JournalDone() {
  return std::vector<std::uint8_t>(sizeof kMagic, 0);
}

bool DecodeJournal(const std::uint8_t* data, std::size_t size, Journal& out) {
  out = Journal{};
  const platform::ByteView all(data, size);
  if (!all.Has(0, kFixed) || !JournalIsPending(data, size)) return false;
  // The file may be longer than this journal: an earlier, longer one left its tail.
  const std::uint64_t length = all.U64(8);
  if (length < kFixed + 8 || length > size) return false;
  const platform::ByteView v = all.Sub(0, static_cast<std::size_t>(length));
  const std::size_t end = v.Size() - 8;
  if (v.U64(end) != JournalChecksum(data, end)) return false;
  out.dataSize = v.U64(16);
  out.indexExisted = v.U8(24) != 0;
  out.indexSize = v.U64(25);
  const std::size_t nameSize = v.U16(33);
  const std::uint32_t count = v.U32(35);
  std::size_t at = kFixed;
  if (nameSize > 255 || !v.Has(at, nameSize) || at + nameSize > end) return false;
  out.indexName.assign(v.Chars(at, nameSize));
  at += nameSize;
  if (out.indexName.find('/') != std::string::npos ||
      out.indexName.find('\0') != std::string::npos || out.indexName == "." ||
      out.indexName == "..")
    return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!v.Has(at, kRegionHead) || at + kRegionHead > end) return false;
    JournalRegion r;
    r.target = v.U8(at);
    r.offset = v.U64(at + 1);
    const std::size_t n = v.U32(at + 9);
    at += kRegionHead;
    if (r.target > kJournalIndex || n > kMaxRegion || !v.Has(at, n) || at + n > end) return false;
    if (r.offset > (std::uint64_t{1} << 40)) return false;
    r.bytes.assign(data + at, data + at + n);
    at += n;
    out.regions.push_back(std::move(r));
  }
  return at == end;
}

void RollBack(const Journal& j, platform::File& data, const std::filesystem::path& folder) {
  platform::File index;
  const std::filesystem::path indexPath = folder / j.indexName;
  bool touchesIndex = !j.indexName.empty();
  for (const auto& r : j.regions) touchesIndex = touchesIndex || r.target == kJournalIndex;
  if (touchesIndex && j.indexExisted)
    index = platform::File(indexPath, platform::FileMode::ReadWrite);
  for (const auto& r : j.regions) {
    if (r.bytes.empty()) continue;
    if (r.target == kJournalData)
      data.WriteAt(r.offset, r.bytes.data(), r.bytes.size());
    else if (index.IsOpen())
      index.WriteAt(r.offset, r.bytes.data(), r.bytes.size());
  }
  if (data.Size() != j.dataSize) data.Truncate(j.dataSize);
  data.Sync();
  if (index.IsOpen()) {
    if (index.Size() != j.indexSize) index.Truncate(j.indexSize);
    index.Sync();
  } else if (touchesIndex && !j.indexExisted && !j.indexName.empty()) {
    if (::unlink(indexPath.c_str()) != 0 && errno != ENOENT)
      throw platform::FileError(j.indexName + ": unlink", errno);
  }
}

}  // namespace db
