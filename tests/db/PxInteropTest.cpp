// Tables written by pxlib, read by our engine: every field type a catalogue uses, blanks,
// negative numbers, Romanian text in two code pages, keyed and unkeyed, over many blocks.
extern "C" {
#include <paradox.h>
}

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "db/Catalogue.h"
#include "db/PxOracle.h"
#include "db/TestUtil.h"
#include "platform/Formats.h"
#include "platform/db/CreateTable.h"
#include "platform/db/ParadoxFormat.h"
#include "platform/db/Table.h"

namespace {

using pxo::Blank;
using pxo::Int;
using pxo::Num;
using pxo::Text;

constexpr long long kLeapDay = 738945;  // 2024-02-29, days from 0001-01-01 = 1
constexpr long long kTime = 3723000;    // 01:02:03 in milliseconds

std::vector<pxo::Column> CatalogueColumns() {
  return {{"Cod", pxfLong, 4},    {"Denumire", pxfAlpha, 30},  {"Mic", pxfShort, 2},
          {"Pret", pxfNumber, 8}, {"Bani", pxfCurrency, 8},    {"Data", pxfDate, 4},
          {"Ora", pxfTime, 4},    {"Moment", pxfTimestamp, 8}, {"Activ", pxfLogical, 1},
          {"Nr", pxfAutoInc, 4}};
}

std::vector<std::vector<pxo::Cell>> CatalogueRows() {
  std::vector<std::vector<pxo::Cell>> rows;
  rows.push_back({Int(-7), Text("Şurub ţeavă Ăîâ"), Int(-5), Num(-1.5), Num(12.25), Int(kLeapDay),
                  Int(kTime), Num(kLeapDay * 86400000.0 + kTime), Int(1), Int(1)});
  rows.push_back(
      {Int(0), Blank(), Blank(), Blank(), Blank(), Blank(), Blank(), Blank(), Blank(), Blank()});
  rows.push_back({Int(3), Text("O'Brien & fiii"), Int(32767), Num(0.0), Num(1e-5), Int(1), Int(0),
                  Num(86400000.0), Int(0), Int(3)});
  for (int i = 4; i < 700; ++i)
    rows.push_back({Int(i), Text("Articol " + std::to_string(i)), Int(i % 300 - 150), Num(i * 0.25),
                    Num(i * 100.0), Int(kLeapDay + i), Int(i * 1000), Num(i * 86400000.0),
                    Int(i % 2), Int(i)});
  return rows;
}

class PxInterop : public ::testing::Test {
 protected:
  void SetUp() override { platform::FixProgramFormats(); }
  dbtest::TempDir dir;
};

TEST_F(PxInterop, ReadsEveryFieldTypeWrittenByPxlib) {
  for (int codepage : {1250, 852}) {
    for (int keys : {1, 0}) {
      SCOPED_TRACE("codepage " + std::to_string(codepage) + " keys " + std::to_string(keys));
      std::string name = "T" + std::to_string(codepage) + "K" + std::to_string(keys);
      auto rows = CatalogueRows();
      pxo::Create(dir.path() / (name + ".DB"), CatalogueColumns(), keys, codepage, rows);

      db::Table t;
      t.TableName = name;
      t.DatabaseName = dir.path();
      t.Open();
      ASSERT_EQ(t.FieldCount(), 10);
      EXPECT_EQ(t.RecordCount(), static_cast<int>(rows.size()));
      EXPECT_EQ(t.Fields(1).DataType(), db::FieldType::Alpha);
      EXPECT_EQ(t.Fields(1).Size(), 30);
      EXPECT_EQ(t.Fields(4).DataType(), db::FieldType::Currency);
      EXPECT_EQ(t.Fields(7).DataType(), db::FieldType::Timestamp);
      EXPECT_EQ(t.Fields(9).DataType(), db::FieldType::AutoInc);

      t.First();
      EXPECT_EQ(t.Fields(0).AsInteger(), -7);
      EXPECT_EQ(t.FieldByName("denumire").AsString(), "Şurub ţeavă Ăîâ");
      EXPECT_EQ(t.FieldByName("Mic").AsInteger(), -5);
      EXPECT_EQ(t.FieldByName("Pret").AsFloat(), -1.5);
      EXPECT_EQ(t.FieldByName("Pret").AsString(), "-1,5");
      EXPECT_EQ(t.FieldByName("Bani").AsFloat(), 12.25);
      EXPECT_EQ(t.FieldByName("Data").AsString(), "29.02.2024");
      EXPECT_EQ(t.FieldByName("Ora").AsString(), "01:02:03");
      EXPECT_EQ(t.FieldByName("Moment").AsString(), "29.02.2024 01:02:03");
      EXPECT_TRUE(t.FieldByName("Activ").AsBoolean());
      EXPECT_EQ(t.FieldByName("Nr").AsInteger(), 1);

      t.Next();
      EXPECT_EQ(t.Fields(0).AsInteger(), 0);
      EXPECT_FALSE(t.Fields(0).IsNull());  // zero is a value, not a blank
      for (int f = 1; f < 10; ++f) {
        EXPECT_TRUE(t.Fields(f).IsNull()) << f;
        EXPECT_EQ(t.Fields(f).AsString(), "") << f;
      }
      EXPECT_EQ(t.FieldByName("Pret").AsFloat(), 0.0);

      t.Next();
      EXPECT_EQ(t.FieldByName("Denumire").AsString(), "O'Brien & fiii");
      EXPECT_EQ(t.FieldByName("Mic").AsInteger(), 32767);
      EXPECT_FALSE(t.FieldByName("Pret").IsNull());  // 0.0 differs from blank
      EXPECT_EQ(t.FieldByName("Pret").AsString(), "0");
      EXPECT_EQ(t.FieldByName("Bani").AsString(), "1E-5");
      EXPECT_EQ(t.FieldByName("Data").AsString(), "01.01.0001");
      EXPECT_EQ(t.FieldByName("Moment").AsString(), "01.01.0001 00:00:00");  // day 1 is 0001-01-01
      EXPECT_FALSE(t.FieldByName("Activ").AsBoolean());
      EXPECT_FALSE(t.FieldByName("Activ").IsNull());

      // Every later record, across block boundaries, in file order.
      int i = 4;
      for (t.Next(); !t.Eof(); t.Next(), ++i) {
        ASSERT_EQ(t.Fields(0).AsInteger(), i);
        ASSERT_EQ(t.Fields(1).AsString(), "Articol " + std::to_string(i));
        ASSERT_EQ(t.Fields(2).AsInteger(), i % 300 - 150);
        ASSERT_EQ(t.Fields(3).AsFloat(), i * 0.25);
        ASSERT_EQ(t.Fields(9).AsInteger(), i);
      }
      EXPECT_EQ(i, 700);
    }
  }
}

// Level 3 files have no extended header and no code page; level 4 has both with the narrow
// table-name area of level 5. Built byte by byte here.
std::vector<std::uint8_t> Level3Table() {
  using namespace db::px;
  std::vector<std::uint8_t> h(0x800, 0);
  const int recordSize = 10 + 8 + 2;  // A10, N, S
  Put16(&h[kRecordSize], recordSize);
  Put16(&h[kHeaderSize], 0x800);
  h[kFileType] = kUnkeyedData;
  h[kBlockSizeKB] = 1;
  Put32(&h[kNumRecords], 2);
  Put16(&h[kUsedBlocks], 1);
  Put16(&h[kFileBlocks], 1);
  Put16(&h[kFirstBlock], 1);
  Put16(&h[kLastBlock], 1);
  Put16(&h[kNumFields], 3);
  h[kVersion] = 3;
  std::size_t p = 0x58;
  for (auto [code, size] : {std::pair{1, 10}, std::pair{6, 8}, std::pair{3, 2}}) {
    h[p++] = static_cast<std::uint8_t>(code);
    h[p++] = static_cast<std::uint8_t>(size);
  }
  p += 4 + 3 * 4 + 79;
  for (const char* n : {"Nume", "Suma", "Cant"}) {
    std::size_t len = std::strlen(n);
    std::memcpy(&h[p], n, len);
    p += len + 1;
  }
  std::vector<std::uint8_t> block(1024, 0);
  Put16(&block[4], recordSize);  // two records
  std::uint8_t* r = &block[6];
  std::memcpy(r, "Caf\x82", 4);  // 'é' in code page 437
  EncodeDouble(2.5, r + 10);
  EncodeInt(-3, r + 18, 2);
  r += recordSize;
  std::memcpy(r, "Ceai", 4);
  EncodeInt(9, r + 18, 2);
  h.insert(h.end(), block.begin(), block.end());
  return h;
}

TEST_F(PxInterop, ReadsOlderLevels) {
  auto bytes = Level3Table();
  std::ofstream(dir.path() / "VECHI.DB", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  db::Table t;
  t.TableName = "vechi";
  t.DatabaseName = dir.path();
  t.Open();
  ASSERT_EQ(t.RecordCount(), 2);
  EXPECT_EQ(t.Fields(0).AsString(), "Café");
  EXPECT_EQ(t.Fields(1).AsFloat(), 2.5);
  EXPECT_EQ(t.Fields(2).AsInteger(), -3);
  t.Next();
  EXPECT_EQ(t.Fields(0).AsString(), "Ceai");
  EXPECT_TRUE(t.Fields(1).IsNull());

  // Level 4: a level 5 layout with the level 4 version byte.
  db::CreateTable(dir.path(), "NIV4",
                  {{"Cod", db::FieldType::Short}, {"Nume", db::FieldType::Alpha, 12}}, 1, 852, 5);
  {
    db::Table w;
    w.TableName = "NIV4";
    w.DatabaseName = dir.path();
    w.Open();
    w.Append();
    w.Fields(0).SetAsInteger(4);
    w.Fields(1).SetAsString("Ţară");
    w.Post();
  }
  std::fstream f(dir.path() / "NIV4.DB", std::ios::in | std::ios::out | std::ios::binary);
  f.seekp(db::px::kVersion);
  f.put(9);
  f.close();
  db::Table v;
  v.TableName = "niv4";
  v.DatabaseName = dir.path();
  v.Open();
  ASSERT_EQ(v.RecordCount(), 1);
  EXPECT_EQ(v.Fields(1).AsString(), "Ţară");
}

// A good catalogue table written by pxlib, its bytes, and a reader of damaged copies of them.
class DamagedTable : public PxInterop {
 protected:
  void SetUp() override {
    PxInterop::SetUp();
    pxo::Create(dir.path() / "BUN.DB", CatalogueColumns(), 1, 1250, CatalogueRows());
    std::ifstream in(dir.path() / "BUN.DB", std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    headerSize = static_cast<unsigned char>(bytes[2]) | static_cast<unsigned char>(bytes[3]) << 8;
  }
  // Opens the bytes as table RAU and reads every field of every record; the text's length.
  int openBytes(const std::vector<char>& b) {
    std::ofstream(dir.path() / "RAU.DB", std::ios::binary | std::ios::trunc)
        .write(b.data(), static_cast<std::streamsize>(b.size()));
    db::Table t;
    t.TableName = "RAU";
    t.DatabaseName = dir.path();
    t.Open();
    int n = 0;
    for (t.First(); !t.Eof(); t.Next())
      for (int f = 0; f < t.FieldCount(); ++f) n += static_cast<int>(t.Fields(f).AsString().size());
    return n;
  }
  std::vector<char> bytes;
  int headerSize = 0;
};

TEST_F(DamagedTable, TruncatedTablesNameTheTable) {
  EXPECT_GT(openBytes(bytes), 0);
  // Truncations anywhere give DbError naming the table.
  for (std::size_t cut : {std::size_t{0}, std::size_t{10}, std::size_t{0x57}, std::size_t{0x100}}) {
    try {
      openBytes(std::vector<char>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
      ADD_FAILURE() << "a table cut at " << cut << " was opened";
    } catch (const db::DbError& e) {
      EXPECT_NE(std::string(e.what()).find("Tabela \"RAU.DB\" este deteriorata"), std::string::npos)
          << e.what();
    }
  }
}

TEST_F(DamagedTable, ALoopInTheBlockChainOrAnOverfullBlock) {
  auto looped = bytes;
  looped[static_cast<std::size_t>(headerSize)] = 1;  // block 1 points back to itself
  looped[static_cast<std::size_t>(headerSize) + 1] = 0;
  EXPECT_THROW(openBytes(looped), db::DbError);
  auto overfull = bytes;
  overfull[static_cast<std::size_t>(headerSize) + 4] =
      0x7F;  // last-record offset far past the block
  overfull[static_cast<std::size_t>(headerSize) + 5] = 0x7F;
  EXPECT_THROW(openBytes(overfull), db::DbError);
}

TEST_F(DamagedTable, ALastBlockCutShort) {
  // A last block cut short after its last record is read whole; cut into that record, the
  // block lies outside the file.
  auto u16 = [&](std::size_t at) {
    return static_cast<std::size_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
  };
  const std::size_t lastBlock = static_cast<std::size_t>(headerSize) +
                                (u16(db::px::kFileBlocks) - 1) * 1024 *
                                    static_cast<unsigned char>(bytes[db::px::kBlockSizeKB]);
  const std::size_t end = lastBlock + db::px::kBlockHeader + u16(lastBlock + 4) + u16(0);
  ASSERT_LT(end, bytes.size());
  const auto cut = [&](std::size_t n) {
    return std::vector<char>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
  };
  EXPECT_EQ(openBytes(cut(end)), openBytes(bytes));
  try {
    openBytes(cut(end - 1));
    ADD_FAILURE() << "a record past the end of the file was read";
  } catch (const db::DbError& e) {
    EXPECT_NE(std::string(e.what()).find("\"RAU.DB\" este deteriorata: bloc in afara"),
              std::string::npos)
        << e.what();
  }
}

TEST_F(DamagedTable, AnUnknownFieldType) {
  auto badType = bytes;
  badType[0x78] = 0x42;  // unknown field type
  EXPECT_THROW(openBytes(badType), db::DbError);
}

TEST_F(DamagedTable, DamageNoInterruptedPostExplainsIsRefusedUnchanged) {
  // Damage that no interrupted post explains (a zeroed next-block link, a first block past the
  // start of the chain, a chain cut short) is refused by name, and not a byte of it changes.
  auto zeroedLink = bytes;
  zeroedLink[static_cast<std::size_t>(headerSize)] = 0;
  zeroedLink[static_cast<std::size_t>(headerSize) + 1] = 0;
  auto wrongFirst = bytes;
  wrongFirst[db::px::kFirstBlock] = 2;
  wrongFirst[db::px::kFirstBlock + 1] = 0;
  auto cutChain = bytes;
  cutChain.resize(static_cast<std::size_t>(headerSize) +
                  3 * 1024 * static_cast<unsigned char>(bytes[5]));
  for (const auto* damaged : {&zeroedLink, &wrongFirst, &cutChain}) {
    try {
      openBytes(*damaged);
      ADD_FAILURE() << "a damaged table was opened";
    } catch (const db::DbError& e) {
      EXPECT_NE(std::string(e.what()).find("Tabela \"RAU.DB\" este deteriorata"), std::string::npos)
          << e.what();
    }
    std::ifstream back(dir.path() / "RAU.DB", std::ios::binary);
    EXPECT_TRUE(std::vector<char>((std::istreambuf_iterator<char>(back)), {}) == *damaged);
  }
}

// A valid index is kept whatever its change counter says: with the .PX counter one below or
// one above the table's, an update in place leaves the .PX byte for byte.
TEST_F(PxInterop, IndexCounterOffByOneLeavesAValidIndexAlone) {
  for (int offset : {-1, 1}) {
    SCOPED_TRACE(offset);
    const std::string name = offset < 0 ? "JOS" : "SUS";
    db::CreateTable(dir.path(), name, dbtest::PretMFields(), 2);
    {
      db::Table t;
      dbtest::OpenTable(t, dir.path(), name);
      for (int r = 0; r < 200; ++r) {
        t.Append();
        t.Fields(0).SetAsInteger(r);
        t.Fields(1).SetAsInteger(1);
        t.Post();
      }
    }
    auto read = [&](const std::string& file) {
      std::ifstream in(dir.path() / file, std::ios::binary);
      return std::vector<char>((std::istreambuf_iterator<char>(in)), {});
    };
    const auto table = read(name + ".DB");
    const int counter = static_cast<unsigned char>(table[db::px::kChangeCount]) |
                        static_cast<unsigned char>(table[db::px::kChangeCount + 1]) << 8;
    {
      std::fstream f(dir.path() / (name + ".PX"), std::ios::in | std::ios::out | std::ios::binary);
      f.seekp(db::px::kChangeCount);
      f.put(static_cast<char>((counter + offset) & 0xFF));
      f.put(static_cast<char>(((counter + offset) >> 8) & 0xFF));
    }
    const auto index = read(name + ".PX");
    db::Table t;
    dbtest::OpenTable(t, dir.path(), name);
    ASSERT_TRUE(t.FindKey({db::KeyValue{std::int64_t{150}}, db::KeyValue{std::int64_t{1}}}));
    t.Edit();
    t.FieldByName("Lei").SetAsFloat(7.5);
    t.Post();
    t.Close();
    EXPECT_TRUE(read(name + ".PX") == index);
    EXPECT_FALSE(read(name + ".DB") == table);
  }
}

// Indexes of large tables, which need two levels whose upper entries count more records than
// one short integer holds when packed full: pxlib reads every row through them.
TEST_F(PxInterop, LargeTablesGetIndexesPxlibAccepts) {
  const std::vector<pxo::Column> columns = {{"CodArt", pxfLong, 4},
                                            {"IndexLocal", pxfShort, 2},
                                            {"CodPret", pxfShort, 2},
                                            {"Lei", pxfNumber, 8},
                                            {"Valuta", pxfNumber, 8}};
  auto readBack = [&](const std::string& name, int expected, int blockKB) {
    pxo::Contents read;
    std::string error;
    ASSERT_TRUE(pxo::Read(dir.path() / (name + ".DB"), dir.path() / (name + ".PX"), read, error))
        << error;
    EXPECT_EQ(read.blockKB, blockKB);
    ASSERT_EQ(static_cast<int>(read.rows.size()), expected);
    for (std::size_t r = 1; r < read.rows.size(); ++r)
      ASSERT_LT(read.rows[r - 1][0].i * 100 + read.rows[r - 1][1].i,
                read.rows[r][0].i * 100 + read.rows[r][1].i);
  };
  // Made by pxlib (2 KB blocks), then one insert by our engine, which writes the index anew.
  for (int rows : {100000, 300000}) {
    SCOPED_TRACE(rows);
    const std::string name = "P" + std::to_string(rows / 1000);
    std::vector<std::vector<pxo::Cell>> cells;
    for (int r = 0; r < rows; ++r) cells.push_back({Int(r + 1), Int(1), Int(1), Num(r), Num(0)});
    pxo::Create(dir.path() / (name + ".DB"), columns, 2, 1250, cells);
    db::Table t;
    t.TableName = name;
    t.DatabaseName = dir.path();
    t.Open();
    t.Append();
    t.Fields(0).SetAsInteger(rows / 2);
    t.Fields(1).SetAsInteger(2);
    t.Post();
    t.Close();
    readBack(name, rows + 1, 2);
  }
  // Ours with 4 KB blocks, filled by keyed appends in key order.
  db::CreateTable(dir.path(), "P4K", dbtest::PretMFields(), 2);
  {
    std::fstream f(dir.path() / "P4K.DB", std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(db::px::kBlockSizeKB);
    f.put(4);  // no block yet: any block size will do
  }
  db::Table t;
  t.TableName = "P4K";
  t.DatabaseName = dir.path();
  t.Open();
  for (int r = 0; r < 100000; ++r) {
    t.Append();
    t.Fields(0).SetAsInteger(r + 1);
    t.Fields(1).SetAsInteger(1);
    t.Post();
  }
  t.Close();
  readBack("P4K", 100000, 4);
}

}  // namespace
