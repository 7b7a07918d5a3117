#pragma once
// Where a compound file keeps what: the special sector numbers, the fixed sizes, and the
// offsets of the fields of the header and of a directory entry.
#include <cstddef>
#include <cstdint>

namespace platform::cfb {

constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSect = 0xFFFFFFFD;  // a sector of the FAT itself
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kDirEntrySize = 128;
constexpr std::uint32_t kMiniSectorSize = 64;

// Fields of the header, by offset.
namespace hdr {
constexpr std::size_t kMinorVersion = 0x18, kMajorVersion = 0x1A, kByteOrder = 0x1C,
                      kSectorShift = 0x1E, kMiniSectorShift = 0x20, kFatSectorCount = 0x2C,
                      kFirstDirSector = 0x30, kMiniCutoff = 0x38, kFirstMiniFatSector = 0x3C,
                      kFirstDifatSector = 0x44,
                      kDifat = 0x4C;  // the first 109 FAT sector numbers
constexpr int kDifatEntries = 109;
}  // namespace hdr

// Fields of a directory entry, by offset.
namespace dirent {
constexpr std::size_t kNameLength = 64, kType = 66, kLeft = 68, kRight = 72, kChild = 76,
                      kStart = 116, kSize = 120, kSizeHigh = 124;
}  // namespace dirent

}  // namespace platform::cfb
