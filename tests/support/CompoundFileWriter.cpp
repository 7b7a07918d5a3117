#include "support/CompoundFileWriter.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <stdexcept>

namespace testbiff {
namespace {

constexpr std::uint32_t kFree = 0xFFFFFFFF, kEnd = 0xFFFFFFFE, kFatSect = 0xFFFFFFFD,
                        kDifSect = 0xFFFFFFFC, kNoStream = 0xFFFFFFFF;
constexpr std::size_t kSector = 512, kMini = 64;

std::size_t Ceil(std::size_t a, std::size_t b) {
  return (a + b - 1) / b;
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Directory order: shorter names first, then by upper-case code units.
bool NameLess(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  for (std::size_t i = 0; i < a.size(); ++i) {
    int x = std::toupper(static_cast<unsigned char>(a[i]));
    int y = std::toupper(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y;
  }
  return false;
}

struct Entry {
  std::string name;
  std::uint8_t type;
  std::uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
  std::uint32_t start = kEnd;
  std::uint32_t size = 0;
};

// Balanced binary tree over sorted entry ids [lo, hi); returns the subtree root.
std::uint32_t BuildTree(std::vector<Entry>& e, const std::vector<std::uint32_t>& ids,
                        std::size_t lo, std::size_t hi) {
  if (lo >= hi) return kNoStream;
  std::size_t mid = (lo + hi) / 2;
  std::uint32_t id = ids[mid];
  e[id].left = BuildTree(e, ids, lo, mid);
  e[id].right = BuildTree(e, ids, mid + 1, hi);
  return id;
}

}  // namespace

Bytes WriteCompoundFile(const std::vector<CfbStream>& streams, const CfbOptions& options) {
  std::vector<Entry> entries;
  entries.push_back(Entry{"Root Entry", 5});
  for (const auto& s : streams) {
    if (s.name.size() > 31) throw std::invalid_argument("stream name too long");
    if (s.data.size() > 0xFFFFFFFFu) throw std::invalid_argument("stream too large");
    entries.push_back(Entry{s.name, 2});
    entries.back().size = static_cast<std::uint32_t>(s.data.size());
  }

  // Mini stream: small streams, each padded to whole mini sectors.
  std::vector<std::uint32_t> miniFat;
  Bytes miniStream;
  std::size_t bigSectors = 0;
  for (std::size_t i = 0; i < streams.size(); ++i) {
    const Bytes& d = streams[i].data;
    if (d.empty()) continue;
    if (d.size() < options.miniCutoff) {
      std::size_t first = miniFat.size(), n = Ceil(d.size(), kMini);
      entries[i + 1].start = static_cast<std::uint32_t>(first);
      for (std::size_t k = 0; k < n; ++k)
        miniFat.push_back(k + 1 < n ? static_cast<std::uint32_t>(first + k + 1) : kEnd);
      miniStream.insert(miniStream.end(), d.begin(), d.end());
      miniStream.resize(miniStream.size() + (n * kMini - d.size()), 0);
    } else {
      bigSectors += Ceil(d.size(), kSector);
    }
  }

  const std::size_t dirSectors = Ceil(entries.size(), 4);
  const std::size_t miniFatSectors = Ceil(miniFat.size(), kSector / 4);
  const std::size_t miniStreamSectors = Ceil(miniStream.size(), kSector);
  const std::size_t dataSectors = dirSectors + miniFatSectors + miniStreamSectors + bigSectors;
  std::size_t fatSectors = 1, difatSectors = 0;
  for (;;) {
    difatSectors = fatSectors > 109 ? Ceil(fatSectors - 109, 127) : 0;
    if (fatSectors * (kSector / 4) >= dataSectors + fatSectors + difatSectors) break;
    ++fatSectors;
  }
  const std::size_t total = fatSectors + difatSectors + dataSectors;
  std::vector<std::uint32_t> fat(fatSectors * (kSector / 4), kFree);
  Bytes file(kSector + total * kSector, 0);
  auto sectorAt = [](std::size_t s) { return kSector + s * kSector; };

  std::size_t next = 0;
  for (std::size_t k = 0; k < fatSectors; ++k) fat[next++] = kFatSect;
  const std::size_t firstDifat = next;
  for (std::size_t k = 0; k < difatSectors; ++k) fat[next++] = kDifSect;
  // Lays a chain of n sectors from `next` and returns its first sector.
  auto chain = [&](std::size_t n) -> std::uint32_t {
    if (n == 0) return kEnd;
    std::size_t first = next;
    for (std::size_t k = 0; k < n; ++k, ++next)
      fat[next] = k + 1 < n ? static_cast<std::uint32_t>(next + 1) : kEnd;
    return static_cast<std::uint32_t>(first);
  };
  const std::uint32_t dirStart = chain(dirSectors);
  const std::uint32_t miniFatStart = chain(miniFatSectors);
  const std::uint32_t miniStreamStart = chain(miniStreamSectors);
  entries[0].start = miniStream.empty() ? kEnd : miniStreamStart;
  entries[0].size = static_cast<std::uint32_t>(miniStream.size());
  for (std::size_t i = 0; i < streams.size(); ++i) {
    const Bytes& d = streams[i].data;
    if (d.size() < options.miniCutoff) continue;
    std::uint32_t first = chain(Ceil(d.size(), kSector));
    entries[i + 1].start = first;
    std::memcpy(&file[sectorAt(first)], d.data(), d.size());
  }
  if (!miniStream.empty())
    std::memcpy(&file[sectorAt(miniStreamStart)], miniStream.data(), miniStream.size());
  for (std::size_t k = 0; k < miniFatSectors * (kSector / 4); ++k)
    Put32(file, sectorAt(miniFatStart) + 4 * k, k < miniFat.size() ? miniFat[k] : kFree);

  // Directory tree: all streams are children of the root.
  std::vector<std::uint32_t> ids;
  for (std::uint32_t i = 1; i < entries.size(); ++i) ids.push_back(i);
  std::sort(ids.begin(), ids.end(),
            [&](auto a, auto b) { return NameLess(entries[a].name, entries[b].name); });
  entries[0].child = BuildTree(entries, ids, 0, ids.size());
  for (std::size_t i = 0; i < dirSectors * 4; ++i) {
    std::size_t at = sectorAt(dirStart) + 128 * i;
    if (i >= entries.size()) {
      Put32(file, at + 68, kNoStream);
      Put32(file, at + 72, kNoStream);
      Put32(file, at + 76, kNoStream);
      continue;
    }
    const Entry& e = entries[i];
    for (std::size_t c = 0; c < e.name.size(); ++c)
      Put16(file, at + 2 * c, static_cast<unsigned char>(e.name[c]));
    Put16(file, at + 64, static_cast<std::uint16_t>(2 * (e.name.size() + 1)));
    file[at + 66] = e.type;
    file[at + 67] = 1;  // black
    Put32(file, at + 68, e.left);
    Put32(file, at + 72, e.right);
    Put32(file, at + 76, e.child);
    Put32(file, at + 116, e.start);
    Put32(file, at + 120, e.size);
  }

  // FAT sectors, then the DIFAT: the header holds the first 109 FAT sector numbers.
  for (std::size_t k = 0; k < fat.size(); ++k) Put32(file, sectorAt(0) + 4 * k, fat[k]);
  const std::uint8_t sig[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::memcpy(file.data(), sig, 8);
  Put16(file, 24, 0x003E);
  Put16(file, 26, 0x0003);
  Put16(file, 28, 0xFFFE);
  Put16(file, 30, 9);
  Put16(file, 32, 6);
  Put32(file, 44, static_cast<std::uint32_t>(fatSectors));
  Put32(file, 48, dirStart);
  Put32(file, 56, static_cast<std::uint32_t>(options.miniCutoff));
  Put32(file, 60, miniFatSectors ? miniFatStart : kEnd);
  Put32(file, 64, static_cast<std::uint32_t>(miniFatSectors));
  Put32(file, 68, difatSectors ? static_cast<std::uint32_t>(firstDifat) : kEnd);
  Put32(file, 72, static_cast<std::uint32_t>(difatSectors));
  for (std::size_t k = 0; k < 109; ++k)
    Put32(file, 76 + 4 * k, k < fatSectors ? static_cast<std::uint32_t>(k) : kFree);
  for (std::size_t d = 0; d < difatSectors; ++d) {
    std::size_t at = sectorAt(firstDifat + d);
    for (std::size_t k = 0; k < 127; ++k) {
      std::size_t fatIndex = 109 + d * 127 + k;
      Put32(file, at + 4 * k, fatIndex < fatSectors ? static_cast<std::uint32_t>(fatIndex) : kFree);
    }
    Put32(file, at + 508,
          d + 1 < difatSectors ? static_cast<std::uint32_t>(firstDifat + d + 1) : kEnd);
  }
  return file;
}

}  // namespace testbiff
