#pragma once
// The byte layout of Paradox table files: the header of a data (.DB) file, its field
// descriptors, and the encodings of field values inside records.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/Field.h"

namespace db::px {

// Little-endian integers of headers and block headers.
inline std::uint16_t Get16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Get32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void Put16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Header offsets used by the engine.
enum : std::size_t {
  kRecordSize = 0x00,
  kHeaderSize = 0x02,
  kFileType = 0x04,
  kBlockSizeKB = 0x05,
  kNumRecords = 0x06,
  kUsedBlocks = 0x0A,
  kFileBlocks = 0x0C,
  kFirstBlock = 0x0E,
  kLastBlock = 0x10,
  kChangeCount = 0x12,
  kIndexRoot = 0x1E,
  kIndexLevels = 0x20,
  kNumFields = 0x21,
  kKeyFields = 0x23,
  kEncryption3 = 0x25,
  kSortOrder = 0x29,
  kVersion = 0x39,
  kMaxBlocks = 0x3A,
  kAutoInc = 0x49,
  kFirstFree = 0x4D,
  kHeaderUsed = 0x51,
  kFixedHeader = 0x58,
  kEncryption4 = 0x5C,
  kFieldsPlusOne = 0x64,
  kCodepage = 0x6A,
  kExtendedHeader = 0x78,
  kBlockHeader = 6
};

enum FileType : int { kKeyedData = 0, kPrimaryIndex = 1, kUnkeyedData = 2 };

struct FieldInfo {
  std::string name;  // UTF-8
  FieldType type = FieldType::Alpha;
  int code = 1;            // type code of the descriptor
  int descriptorSize = 0;  // size byte of the descriptor (decimals for BCD)
  int size = 0;            // bytes in the record
  int offset = 0;          // from the record start
};

struct Header {
  int recordSize = 0;
  int headerSize = 0;
  int fileType = 0;
  int blockSize = 0;
  std::uint32_t numRecords = 0;
  int usedBlocks = 0;
  int fileBlocks = 0;
  int firstBlock = 0;
  int lastBlock = 0;
  int version = 0;  // the version byte: 3 ... 0x0C
  int codepage = 0;
  int keyFields = 0;
  std::uint32_t autoInc = 0;
  std::string sortOrder;
  std::vector<FieldInfo> fields;

  bool Extended() const { return version >= 5; }
  int NameAreaSize() const { return version >= 0x0C ? 261 : 79; }
  int KeySize() const;
};

// Parses the header of a data file from its first bytes; raises DbError when damaged.
Header ParseHeader(const std::uint8_t* data, std::size_t size, const std::string& fileName = {});

// Type code <-> field type; size in the record for a descriptor.
// The number of the field named `name` (ASCII letter case ignored), or -1.
int FieldIndex(const Header& h, std::string_view name);
bool TypeFromCode(int code, FieldType& type);
int CodeFromType(FieldType type);
int RecordBytes(FieldType type, int descriptorSize);
const char* TypeName(FieldType type);

// Field values. A blank value is all zero bytes.
bool IsBlank(const std::uint8_t* p, int size);
// Integers (S, I, +, D, T): big-endian two's complement with the top bit flipped.
std::int64_t DecodeInt(const std::uint8_t* p, int size);
void EncodeInt(std::int64_t value, std::uint8_t* p, int size);
// Doubles (N, $, @): big-endian IEEE with the sign trick that makes bytes sort numerically.
double DecodeDouble(const std::uint8_t* p);
void EncodeDouble(double value, std::uint8_t* p);
// BCD (#): 17 bytes; decimals from the descriptor. Gives the number as decimal text with '.'.
std::string DecodeBcd(const std::uint8_t* p, int decimals);

// Calendar: days with 0001-01-01 = 1 (proleptic Gregorian).
std::int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(std::int64_t days, int& year, int& month, int& day);

}  // namespace db::px
