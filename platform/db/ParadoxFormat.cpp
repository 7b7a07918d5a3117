#include "platform/db/ParadoxFormat.h"

#include <cstring>

#include "platform/AsciiCase.h"
#include "platform/Codepage.h"
#include "platform/db/DbError.h"

namespace db::px {
namespace {

// "Tabela "NAME.DB" ", or "Tabela " when the caller gave no file name.
std::string Subject(const std::string& fileName) {
  return fileName.empty() ? "Tabela " : "Tabela \"" + fileName + "\" ";
}

[[noreturn]] void Damaged(const std::string& fileName, const std::string& why) {
  throw DbError(Subject(fileName) + "este deteriorata: " + why);
}

// The code page of tables that do not name one (level 3 files and code page 0).
constexpr int kDefaultCodepage = 437;

}  // namespace

int Header::KeySize() const {
  int size = 0;
  for (int i = 0; i < keyFields && i < static_cast<int>(fields.size()); ++i) size += fields[i].size;
  return size;
}

int FieldIndex(const Header& h, std::string_view name) {
  for (std::size_t i = 0; i < h.fields.size(); ++i)
    if (platform::EqualsNoCase(h.fields[i].name, name)) return static_cast<int>(i);
  return -1;
}

bool TypeFromCode(int code, FieldType& type) {
  switch (code) {
    case 0x01: type = FieldType::Alpha; return true;
    case 0x02: type = FieldType::Date; return true;
    case 0x03: type = FieldType::Short; return true;
    case 0x04: type = FieldType::Long; return true;
    case 0x05: type = FieldType::Currency; return true;
    case 0x06: type = FieldType::Number; return true;
    case 0x09: type = FieldType::Logical; return true;
    case 0x0C: type = FieldType::Memo; return true;
    case 0x0D: type = FieldType::Blob; return true;
    case 0x0E: type = FieldType::FmtMemo; return true;
    case 0x0F: type = FieldType::Ole; return true;
    case 0x10: type = FieldType::Graphic; return true;
    case 0x14: type = FieldType::Time; return true;
    case 0x15: type = FieldType::Timestamp; return true;
    case 0x16: type = FieldType::AutoInc; return true;
    case 0x17: type = FieldType::Bcd; return true;
    case 0x18: type = FieldType::Bytes; return true;
    default: return false;
  }
}

int CodeFromType(FieldType type) {
  switch (type) {
    case FieldType::Alpha: return 0x01;
    case FieldType::Date: return 0x02;
    case FieldType::Short: return 0x03;
    case FieldType::Long: return 0x04;
    case FieldType::Currency: return 0x05;
    case FieldType::Number: return 0x06;
    case FieldType::Logical: return 0x09;
    case FieldType::Memo: return 0x0C;
    case FieldType::Blob: return 0x0D;
    case FieldType::FmtMemo: return 0x0E;
    case FieldType::Ole: return 0x0F;
    case FieldType::Graphic: return 0x10;
    case FieldType::Time: return 0x14;
    case FieldType::Timestamp: return 0x15;
    case FieldType::AutoInc: return 0x16;
    case FieldType::Bcd: return 0x17;
    case FieldType::Bytes: return 0x18;
  }
  return 0;
}

int RecordBytes(FieldType type, int descriptorSize) {
  switch (type) {
    case FieldType::Date:
    case FieldType::Long:
    case FieldType::Time:
    case FieldType::AutoInc: return 4;
    case FieldType::Short: return 2;
    case FieldType::Currency:
    case FieldType::Number:
    case FieldType::Timestamp: return 8;
    case FieldType::Logical: return 1;
    case FieldType::Bcd: return 17;
    default: return descriptorSize;  // alpha, bytes and the blob types
  }
}

const char* TypeName(FieldType type) {
  switch (type) {
    case FieldType::Alpha: return "alpha";
    case FieldType::Date: return "date";
    case FieldType::Short: return "short";
    case FieldType::Long: return "long";
    case FieldType::Currency: return "money";
    case FieldType::Number: return "number";
    case FieldType::Logical: return "logical";
    case FieldType::Memo: return "memo";
    case FieldType::Blob: return "blob";
    case FieldType::FmtMemo: return "fmtmemo";
    case FieldType::Ole: return "ole";
    case FieldType::Graphic: return "graphic";
    case FieldType::Time: return "time";
    case FieldType::Timestamp: return "timestamp";
    case FieldType::AutoInc: return "autoinc";
    case FieldType::Bcd: return "bcd";
    case FieldType::Bytes: return "bytes";
  }
  return "?";
}

Header ParseHeader(const std::uint8_t* data, std::size_t size, const std::string& fileName) {
  if (size < kFixedHeader) Damaged(fileName, "antet prea scurt");
  Header h;
  h.recordSize = Get16(data + kRecordSize);
  h.headerSize = Get16(data + kHeaderSize);
  h.fileType = data[kFileType];
  int kb = data[kBlockSizeKB];
  h.numRecords = Get32(data + kNumRecords);
  h.usedBlocks = Get16(data + kUsedBlocks);
  h.fileBlocks = Get16(data + kFileBlocks);
  h.firstBlock = Get16(data + kFirstBlock);
  h.lastBlock = Get16(data + kLastBlock);
  h.version = data[kVersion];
  int numFields = Get16(data + kNumFields);
  h.keyFields = Get16(data + kKeyFields);
  h.autoInc = Get32(data + kAutoInc);

  if (h.fileType != kKeyedData && h.fileType != kUnkeyedData && h.fileType != 3 &&
      h.fileType != 5 && h.fileType != 6 && h.fileType != 8)
    Damaged(fileName, "nu este un fisier de date");
  if (kb != 1 && kb != 2 && kb != 3 && kb != 4 && kb != 8 && kb != 16 && kb != 32)
    Damaged(fileName, "marime de bloc necunoscuta");
  h.blockSize = kb * 1024;
  if (h.version < 3 || h.version > 0x0C) Damaged(fileName, "versiune necunoscuta");
  if (h.headerSize < static_cast<int>(kFixedHeader) ||
      static_cast<std::size_t>(h.headerSize) > size)
    Damaged(fileName, "marimea antetului");
  if (numFields < 1 || numFields > 1024) Damaged(fileName, "numarul de campuri");
  if (h.keyFields > numFields) Damaged(fileName, "numarul de campuri cheie");
  if (h.recordSize < 1 || h.recordSize > h.blockSize - static_cast<int>(kBlockHeader))
    Damaged(fileName, "marimea inregistrarii");

  const std::uint8_t* end = data + h.headerSize;
  std::size_t pos = h.Extended() ? kExtendedHeader : kFixedHeader;
  std::uint32_t encryption = Get32(data + kEncryption3);
  if (h.Extended()) {
    if (static_cast<std::size_t>(h.headerSize) < kExtendedHeader)
      Damaged(fileName, "marimea antetului");
    encryption = Get32(data + kEncryption4);
    h.codepage = Get16(data + kCodepage);
  }
  if (encryption != 0)
    throw DbError(Subject(fileName) +
                  "este criptata (protejata cu parola) si nu poate fi deschisa");
  if (h.codepage == 0) h.codepage = kDefaultCodepage;
  if (!platform::IsKnownCodepage(h.codepage)) h.codepage = kDefaultCodepage;

  auto need = [&](std::size_t n) {
    if (pos + n > static_cast<std::size_t>(h.headerSize)) Damaged(fileName, "antet trunchiat");
  };
  need(2 * static_cast<std::size_t>(numFields));
  int offset = 0;
  for (int i = 0; i < numFields; ++i) {
    FieldInfo f;
    f.code = data[pos + 2 * i];
    f.descriptorSize = data[pos + 2 * i + 1];
    if (!TypeFromCode(f.code, f.type)) Damaged(fileName, "tip de camp necunoscut");
    f.size = RecordBytes(f.type, f.descriptorSize);
    if (f.size < 1) Damaged(fileName, "marimea unui camp");
    if (f.type == FieldType::Bcd && f.descriptorSize > 32)
      Damaged(fileName, "zecimalele unui camp BCD");
    f.offset = offset;
    offset += f.size;
    h.fields.push_back(std::move(f));
  }
  if (offset != h.recordSize) Damaged(fileName, "marimea inregistrarii nu corespunde campurilor");
  pos += 2 * static_cast<std::size_t>(numFields);
  // Run-time pointers (table name, one per field), then the table name given at creation.
  need(4 + 4 * static_cast<std::size_t>(numFields) + h.NameAreaSize());
  pos += 4 + 4 * static_cast<std::size_t>(numFields) + h.NameAreaSize();
  for (int i = 0; i < numFields; ++i) {
    const std::uint8_t* start = data + pos;
    const void* nul = std::memchr(start, 0, end - start);
    if (!nul) Damaged(fileName, "numele campurilor");
    std::size_t len = static_cast<const std::uint8_t*>(nul) - start;
    h.fields[i].name =
        platform::ToUtf8(std::string(reinterpret_cast<const char*>(start), len), h.codepage);
    pos += len + 1;
  }
  // Field numbers, then the sort order name; both are informative only.
  if (pos + 2 * static_cast<std::size_t>(numFields) < static_cast<std::size_t>(h.headerSize)) {
    pos += 2 * static_cast<std::size_t>(numFields);
    const std::uint8_t* start = data + pos;
    const void* nul = std::memchr(start, 0, end - start);
    if (nul)
      h.sortOrder.assign(reinterpret_cast<const char*>(start),
                         static_cast<const std::uint8_t*>(nul) - start);
  }
  return h;
}

bool IsBlank(const std::uint8_t* p, int size) {
  for (int i = 0; i < size; ++i)
    if (p[i]) return false;
  return true;
}

std::int64_t DecodeInt(const std::uint8_t* p, int size) {
  std::uint64_t v = 0;
  for (int i = 0; i < size; ++i) v = (v << 8) | p[i];
  int bits = size * 8;
  v ^= std::uint64_t{1} << (bits - 1);
  // Sign-extend from `bits`.
  if (v & (std::uint64_t{1} << (bits - 1))) v |= ~std::uint64_t{0} << bits;
  return static_cast<std::int64_t>(v);
}

void EncodeInt(std::int64_t value, std::uint8_t* p, int size) {
  std::uint64_t v = static_cast<std::uint64_t>(value);
  v ^= std::uint64_t{1} << (size * 8 - 1);
  for (int i = size - 1; i >= 0; --i) {
    p[i] = static_cast<std::uint8_t>(v);
    v >>= 8;
  }
}

double DecodeDouble(const std::uint8_t* p) {
  std::uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
  if (v & (std::uint64_t{1} << 63))
    v &= ~(std::uint64_t{1} << 63);
  else
    v = ~v;
  double d;
  std::memcpy(&d, &v, 8);
  return d;
}

void EncodeDouble(double value, std::uint8_t* p) {
  if (value == 0) value = 0;  // -0.0 is stored as +0.0
  std::uint64_t v;
  std::memcpy(&v, &value, 8);
  if (v & (std::uint64_t{1} << 63))
    v = ~v;
  else
    v |= std::uint64_t{1} << 63;
  for (int i = 7; i >= 0; --i) {
    p[i] = static_cast<std::uint8_t>(v);
    v >>= 8;
  }
}

std::string DecodeBcd(const std::uint8_t* p, int decimals) {
  bool negative = !(p[0] & 0x80);
  // Writers that convert from a double leave junk nibbles after the significant digits: the
  // value ends at the first nibble that is no digit.
  std::string digits;
  for (int i = 0; i < 32; ++i) {
    int nibble = (i % 2 == 0) ? (p[1 + i / 2] >> 4) : (p[1 + i / 2] & 0x0F);
    if (negative) nibble = 15 - nibble;
    if (nibble > 9) {
      digits.append(static_cast<std::size_t>(32 - i), '0');
      break;
    }
    digits.push_back(static_cast<char>('0' + nibble));
  }
  if (decimals < 0) decimals = 0;
  if (decimals > 32) decimals = 32;
  std::string whole = digits.substr(0, 32 - decimals);
  std::string frac = digits.substr(32 - decimals);
  std::size_t nz = whole.find_first_not_of('0');
  whole = nz == std::string::npos ? "0" : whole.substr(nz);
  while (!frac.empty() && frac.back() == '0') frac.pop_back();
  std::string out = whole;
  if (!frac.empty()) out += "." + frac;
  if (negative && out != "0") out.insert(out.begin(), '-');
  return out;
}

// Civil calendar arithmetic over 400-year eras, shifted so that 0001-01-01 is day 1.
std::int64_t DaysFromCivil(int year, int month, int day) {
  std::int64_t y = year - (month <= 2);
  std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  std::int64_t yoe = y - era * 400;
  std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  std::int64_t unixDays = era * 146097 + doe - 719468;
  return unixDays + 719163;  // 1970-01-01 is day 719163
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
  std::int64_t z = days - 719163 + 719468;
  std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  std::int64_t doe = z - era * 146097;
  std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  std::int64_t y = yoe + era * 400;
  std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

}  // namespace db::px
