// The walk over real Paradox tables written by the original engine and by other programs: every
// table pxlib reads is read by our engine with the same header facts and the same values, field
// by field; the password-protected ones are refused as protected, naming the table; and no byte
// of any file of a table changes by opening and reading it.
extern "C" {
#include <paradox.h>
}

#include <gtest/gtest.h>
#include <iconv.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "db/PxOracle.h"
#include "platform/Formats.h"
#include "platform/db/Table.h"
#include "platform/db/TableFile.h"

namespace {

namespace fs = std::filesystem;

fs::path Root() {
  if (const char* env = std::getenv("IMPPRET_PARADOX_REAL")) return env;
  return IMPPRET_PARADOX_REAL;
}

struct Entry {
  std::string file, expect, notes;
  int records = 0;
};

std::vector<Entry> Manifest() {
  std::ifstream in(Root() / "MANIFEST.tsv");
  std::vector<Entry> out;
  std::string line;
  std::getline(in, line);  // column names
  while (std::getline(in, line)) {
    std::vector<std::string> cols;
    std::stringstream ss(line);
    for (std::string c; std::getline(ss, c, '\t');) cols.push_back(c);
    if (cols.size() < 15) continue;
    out.push_back(
        {cols[0], cols[14], cols.size() > 15 ? cols[15] : "", std::atoi(cols[12].c_str())});
  }
  return out;
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// Every file of the table (data, index, memo, validity, secondary indexes), by content hash.
std::map<fs::path, std::uint64_t> HashCompanions(const fs::path& db) {
  std::map<fs::path, std::uint64_t> out;
  for (const auto& e : fs::directory_iterator(db.parent_path())) {
    if (Upper(e.path().stem().string()) != Upper(db.stem().string())) continue;
    std::ifstream in(e.path(), std::ios::binary);
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (char c; in.get(c);) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    out[e.path()] = h;
  }
  return out;
}

// Field names come from pxlib in the table's code page; iconv, not our converter, makes them
// UTF-8.
std::string Utf8(const std::string& raw, int codepage) {
  iconv_t cd = iconv_open("UTF-8", ("CP" + std::to_string(codepage)).c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return raw;
  std::string out(raw.size() * 4 + 4, '\0');
  char* in = const_cast<char*>(raw.data());
  std::size_t inLeft = raw.size(), outLeft = out.size();
  char* o = out.data();
  iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

int VersionOf(int versionByte) {
  if (versionByte <= 3) return 30;
  if (versionByte == 4) return 35;
  if (versionByte <= 9) return 40;
  if (versionByte <= 0x0B) return 50;
  return 70;
}

// A day number (0001-01-01 = 1) as the program's short date, through pxlib's calendar. pxlib
// counts years before 1 historically (no year 0); the program astronomically (year 0 = 1 BC).
std::string DateText(long long days) {
  int y = 0, m = 0, d = 0;
  PX_SdnToGregorian(static_cast<long>(days + 1721425), &y, &m, &d);
  if (y < 0) ++y;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d, m, y);
  return buf;
}

std::string TimeText(long long ms) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", ms / 3600000, ms / 60000 % 60,
                ms / 1000 % 60);
  return buf;
}

// A timestamp holds milliseconds from day 0: the day is the floor of the division, so a moment
// before day 0 keeps a time of day between 0 and 24 hours (pxlib divides toward zero and
// prints a negative time of day).
std::string TimestampText(double ms) {
  auto whole = static_cast<long long>(std::floor(ms));
  long long days = whole / 86400000, rest = whole % 86400000;
  if (rest < 0) --days, rest += 86400000;
  return DateText(days) + " " + TimeText(rest);
}

bool IsBlob(char type) {
  return type == pxfMemoBLOb || type == pxfBLOb || type == pxfFmtMemoBLOb || type == pxfOLE ||
         type == pxfGraphic;
}

int Failures() {
  return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

class RealTables : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::FixProgramFormats();
    if (!fs::exists(Root() / "MANIFEST.tsv")) GTEST_SKIP() << "no tables at " << Root();
  }
};

// One table read exactly: header facts, then every value of every record.
void CompareWithPxlib(const Entry& e, int& disagreements) {
  const fs::path path = Root() / e.file;
  pxo::Contents px;
  std::string error;
  ASSERT_TRUE(pxo::Read(path, {}, px, error)) << error;
  EXPECT_EQ(px.records, e.records);

  db::TableFile file(path);
  const auto& h = file.Header();
  ASSERT_EQ(h.fields.size(), px.columns.size());
  EXPECT_EQ(static_cast<int>(file.FileOrder().size()), px.records);
  EXPECT_EQ(file.Keyed() ? h.keyFields : 0, px.keyFields);
  EXPECT_EQ(h.blockSize, px.blockKB * 1024);
  EXPECT_EQ(VersionOf(h.version), px.version);
  // Both readers take a table that names no code page (or code page 0) as code page 437.
  EXPECT_EQ(h.codepage, px.codepage == 0 ? 437 : px.codepage);
  for (std::size_t i = 0; i < h.fields.size(); ++i) {
    const auto& f = h.fields[i];
    const auto& c = px.columns[i];
    SCOPED_TRACE("field " + f.name);
    EXPECT_EQ(f.name, Utf8(c.name, h.codepage));
    EXPECT_EQ(f.code, static_cast<unsigned char>(c.type));
    if (c.type == pxfBCD) {
      EXPECT_EQ(f.descriptorSize, c.decimals);
    } else {
      EXPECT_EQ(f.size, c.len);
    }
  }

  db::Table t;
  t.TableName = path.filename().string();
  t.DatabaseName = path.parent_path();
  t.Open();
  ASSERT_EQ(t.RecordCount(), px.records);
  std::size_t r = 0;
  for (t.First(); !t.Eof(); t.Next(), ++r) {
    ASSERT_LT(r, px.rows.size());
    const std::uint8_t* raw = file.Record(file.FileOrder()[r]);
    for (std::size_t i = 0; i < h.fields.size(); ++i) {
      const auto& f = h.fields[i];
      const pxo::Cell& want = px.rows[r][i];
      db::Field& got = t.Fields(static_cast<int>(i));
      SCOPED_TRACE("record " + std::to_string(r) + " field " + f.name);
      switch (px.columns[i].type) {
        case pxfAlpha:
          // pxlib leaves the text of a table without a code page unconverted; such text is
          // code page 437, as for the engine.
          EXPECT_EQ(got.AsString(), want.blank ? "" : px.codepage ? want.s : Utf8(want.s, 437));
          break;
        case pxfShort:
        case pxfLong:
        case pxfAutoInc:
          EXPECT_EQ(got.IsNull(), want.blank);
          if (!want.blank) {
            EXPECT_EQ(got.AsInteger(), want.i);
          }
          break;
        case pxfDate: EXPECT_EQ(got.AsString(), want.blank ? "" : DateText(want.i)); break;
        case pxfTime: EXPECT_EQ(got.AsString(), want.blank ? "" : TimeText(want.i)); break;
        case pxfTimestamp:
          EXPECT_EQ(got.AsString(), want.blank ? "" : TimestampText(want.d));
          break;
        case pxfNumber:
        case pxfCurrency:
          EXPECT_EQ(got.IsNull(), want.blank);
          if (!want.blank) {
            EXPECT_EQ(got.AsFloat(), want.d);
          }
          break;
        case pxfLogical:
          EXPECT_EQ(got.IsNull(), want.blank);
          if (!want.blank) {
            EXPECT_EQ(got.AsBoolean(), want.i != 0);
          }
          break;
        case pxfBCD: {
          // Both sign markers (0xC0 positive, 0x40 negative, plus the decimals) carry the
          // not-blank bit 0x40; a first byte without it is blank, where pxlib decodes the rest
          // as a negative number of junk digits.
          if (!(raw[f.offset] & 0x40)) {
            EXPECT_TRUE(got.IsNull());
            disagreements += !want.blank;
            break;
          }
          EXPECT_EQ(got.IsNull(), want.blank);
          // pxlib prints nibbles above 9 as the characters after '9': its number ends there,
          // as the engine's does (writers converting from a double leave junk after the digits).
          if (!want.blank) {
            EXPECT_EQ(got.AsFloat(), std::strtod(want.s.c_str(), nullptr));
          }
          disagreements += !want.blank && want.s.find_first_of(":;<=>?") != std::string::npos;
          break;
        }
        case pxfBytes:
          if (!want.blank && want.s.find_first_not_of('\0') != std::string::npos) {
            EXPECT_EQ(got.AsString(), want.s);
          } else {
            EXPECT_TRUE(got.IsNull() || got.AsString() == want.s);
          }
          break;
        default:
          // Blob fields: the engine reads only values held whole in the record's leader.
          EXPECT_TRUE(IsBlob(px.columns[i].type));
          break;
      }
    }
  }
  EXPECT_EQ(r, px.rows.size());
}

TEST_F(RealTables, EveryTableReadAsItsBytesSayAndNoByteChanges) {
  int exact = 0, refused = 0, disagreements = 0;
  const auto entries = Manifest();
  ASSERT_FALSE(entries.empty());
  for (const Entry& e : entries) {
    SCOPED_TRACE(e.file);
    const fs::path path = Root() / e.file;
    const auto before = HashCompanions(path);
    ASSERT_FALSE(before.empty());
    if (e.expect == "safety") {
      // Password-protected: refused as protected, by name, never as damaged.
      try {
        db::Table t;
        t.TableName = path.filename().string();
        t.DatabaseName = path.parent_path();
        t.Open();
        ADD_FAILURE() << "a password-protected table was opened";
      } catch (const db::DbError& err) {
        const std::string m = err.what();
        EXPECT_NE(m.find("\"" + path.filename().string() + "\""), std::string::npos) << m;
        EXPECT_NE(m.find("protejata cu parola"), std::string::npos) << m;
        EXPECT_EQ(m.find("deteriorata"), std::string::npos) << m;
        ++refused;
      }
    } else {
      ASSERT_EQ(e.expect, "exact");
      const int failures = Failures();
      try {
        CompareWithPxlib(e, disagreements);
      } catch (const db::DbError& err) {
        ADD_FAILURE() << "refused: " << err.what();
      }
      exact += Failures() == failures;
    }
    EXPECT_EQ(HashCompanions(path), before) << "reading changed a file of the table";
  }
  std::printf(
      "paradox tables: %d read exactly, %d refused as protected, %d values where pxlib "
      "and the bytes differ\n",
      exact, refused, disagreements);
  EXPECT_EQ(exact + refused, static_cast<int>(entries.size()));
}

}  // namespace
