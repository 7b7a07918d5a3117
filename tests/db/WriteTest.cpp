// What our engine writes, read back by pxlib: keyed inserts in any order (splitting blocks),
// a new primary index, in-place updates, auto-increment; refusals that keep files intact; the
// writer's lock.
extern "C" {
#include <paradox.h>
}

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <random>

#include "db/Catalogue.h"
#include "db/PxOracle.h"
#include "db/TestUtil.h"
#include "platform/Formats.h"
#include "platform/db/TableFile.h"

namespace {

using db::KeyValue;

std::string FileBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

class Write : public ::testing::Test {
 protected:
  void SetUp() override { platform::FixProgramFormats(); }
  dbtest::TempDir dir;
};

TEST_F(Write, KeyedInsertsSplitBlocksAndPxlibReadsThemInKeyOrder) {
  for (int level : {7, 5}) {
    SCOPED_TRACE("level " + std::to_string(level));
    std::string name = "PRETM" + std::to_string(level);
    db::CreateTable(dir.path(), name, dbtest::PretMFields(), 2, 1250, level);
    std::map<std::pair<int, int>, double> expected;
    std::mt19937 rng(level);
    {
      db::Table m;
      dbtest::OpenTable(m, dir.path(), name);
      // 20000 rows of 24 bytes: hundreds of 2 KB blocks and a two-level index.
      while (expected.size() < 20000) {
        int art = static_cast<int>(rng() % 20000) - 5000;
        int idx = static_cast<int>(rng() % 5) + 1;
        if (expected.count({art, idx})) continue;
        double lei = static_cast<double>(rng() % 100000) / 100;
        m.Append();
        m.FieldByName("CodArt").SetAsInteger(art);
        m.FieldByName("IndexLocal").SetAsInteger(idx);
        m.FieldByName("Lei").SetAsFloat(lei);
        m.Post();
        expected[{art, idx}] = lei;
      }
      // In-place updates of a non-key field.
      for (int k = 0; k < 500; ++k) {
        auto it = std::next(expected.begin(), static_cast<std::ptrdiff_t>(rng() % expected.size()));
        ASSERT_TRUE(m.FindKey(
            {KeyValue{std::int64_t{it->first.first}}, KeyValue{std::int64_t{it->first.second}}}));
        m.Edit();
        m.FieldByName("Lei").SetAsFloat(-k - 0.5);
        m.Post();
        it->second = -k - 0.5;
      }
    }
    pxo::Contents read;
    std::string error;
    ASSERT_TRUE(pxo::Read(dir.path() / (name + ".DB"), dir.path() / (name + ".PX"), read, error))
        << error;
    EXPECT_EQ(read.codepage, 1250);
    ASSERT_EQ(read.rows.size(), expected.size());
    auto it = expected.begin();
    for (const auto& row : read.rows) {
      ASSERT_EQ(row[0].i, it->first.first);
      ASSERT_EQ(row[1].i, it->first.second);
      ASSERT_EQ(row[3].d, it->second);
      ASSERT_TRUE(row[4].blank);
      ++it;
    }
    // Our own reader agrees, and its header counters match the blocks.
    db::TableFile file(dir.path() / (name + ".DB"));
    EXPECT_EQ(file.Header().numRecords, expected.size());
    EXPECT_EQ(file.FileOrder().size(), expected.size());
    EXPECT_GT(file.Header().fileBlocks, 200);
  }
}

TEST_F(Write, InsertsIntoATableWrittenByPxlib) {
  std::vector<pxo::Column> cols = {
      {"Cod", pxfLong, 4}, {"Nume", pxfAlpha, 20}, {"Nr", pxfAutoInc, 4}};
  std::vector<std::vector<pxo::Cell>> rows;
  for (int i = 0; i < 300; ++i)
    rows.push_back({pxo::Int(i * 10), pxo::Text("N" + std::to_string(i)), pxo::Int(i + 1)});
  pxo::Create(dir.path() / "PX.DB", cols, 1, 852, rows);
  {
    db::Table t;
    dbtest::OpenTable(t, dir.path(), "px");
    for (int i : {5, 2995, -1, 1234, 15}) {
      t.Append();
      t.Fields(0).SetAsInteger(i);
      t.Fields(1).SetAsString("Ţ" + std::to_string(i));
      t.Post();
    }
  }
  pxo::Contents read;
  std::string error;
  ASSERT_TRUE(pxo::Read(dir.path() / "PX.DB", dir.path() / "PX.PX", read, error)) << error;
  ASSERT_EQ(read.rows.size(), 305u);
  for (std::size_t r = 1; r < read.rows.size(); ++r)
    ASSERT_LT(read.rows[r - 1][0].i, read.rows[r][0].i);
  std::map<long long, pxo::Cell> byCode, autoinc;
  for (const auto& row : read.rows) byCode[row[0].i] = row[1], autoinc[row[0].i] = row[2];
  EXPECT_EQ(byCode[1234].s, "Ţ1234");
  EXPECT_EQ(byCode[-1].s, "Ţ-1");
  EXPECT_EQ(byCode[2990].s, "N299");
  // Blank auto-increment fields take the numbers after the highest one used.
  EXPECT_EQ(autoinc[5].i, 301);
  EXPECT_EQ(autoinc[2995].i, autoinc[5].i + 1);
  EXPECT_EQ(autoinc[15].i, autoinc[5].i + 4);
}

TEST_F(Write, UnkeyedAppendGoesLastAndPxlibReadsIt) {
  db::CreateTable(dir.path(), "NCATPRET",
                  {{"COD", db::FieldType::Short},
                   {"DENUMIRE", db::FieldType::Alpha, 30},
                   {"TIP", db::FieldType::Short}},
                  0);
  {
    db::Table t;
    dbtest::OpenTable(t, dir.path(), "NCATPRET");
    for (int i = 0; i < 500; ++i) {
      t.Append();
      t.Fields(0).SetAsInteger(500 - i);
      t.Fields(1).SetAsString("Categorie " + std::to_string(i));
      t.Post();
    }
    EXPECT_EQ(t.RecordCount(), 500);
  }
  pxo::Contents read;
  std::string error;
  ASSERT_TRUE(pxo::Read(dir.path() / "NCATPRET.DB", {}, read, error)) << error;
  ASSERT_EQ(read.rows.size(), 500u);
  for (int i = 0; i < 500; ++i) {
    ASSERT_EQ(read.rows[static_cast<std::size_t>(i)][0].i, 500 - i);
    ASSERT_TRUE(read.rows[static_cast<std::size_t>(i)][2].blank);
  }
}

TEST_F(Write, SecondaryIndexFilesAllowOnlyUncoveredUpdates) {
  db::CreateTable(dir.path(), "NART", dbtest::NartFields(), 1);
  {
    db::Table t;
    dbtest::OpenTable(t, dir.path(), "NART");
    for (int i = 1; i <= 3; ++i) {
      t.Append();
      t.Fields(0).SetAsInteger(i);
      t.Fields(1).SetAsString("E" + std::to_string(i));
      t.Post();
    }
  }
  // An index on CodExtern (field 2) beside the table, as another program keeps it.
  std::ofstream(dir.path() / "NART.X02") << "x";
  std::ofstream(dir.path() / "NART.Y02") << "y";
  const std::string before = FileBytes(dir.path() / "NART.DB");
  db::Table t;
  dbtest::OpenTable(t, dir.path(), "Nart");
  ASSERT_TRUE(t.FindKey({KeyValue{std::int64_t{2}}}));
  t.Edit();
  t.FieldByName("CodExtern").SetAsString("E9");
  EXPECT_THROW(t.Post(), db::DbError);
  t.Cancel();
  t.Append();
  t.Fields(0).SetAsInteger(4);
  EXPECT_THROW(t.Post(), db::DbError);
  t.Cancel();
  EXPECT_EQ(FileBytes(dir.path() / "NART.DB"), before) << "refusals change nothing";
  t.Edit();
  t.FieldByName("PretVanzare").SetAsFloat(7.25);
  t.Post();
  db::Table check;
  dbtest::OpenTable(check, dir.path(), "NART");
  ASSERT_TRUE(check.FindKey({KeyValue{std::int64_t{2}}}));
  EXPECT_EQ(check.FieldByName("PretVanzare").AsFloat(), 7.25);
  EXPECT_EQ(check.RecordCount(), 3);
}

TEST_F(Write, SecondWriterWaitsThenFailsAndSeesTheFirstOnesChanges) {
  db::CreateTable(dir.path(), "PRETM", dbtest::PretMFields(), 2);
  db::Table a, b;
  dbtest::OpenTable(a, dir.path(), "PRETM");
  a.Append();
  a.Fields(0).SetAsInteger(1);
  a.Fields(1).SetAsInteger(1);
  a.Post();
  dbtest::OpenTable(b, dir.path(), "PRETM");  // reads the table as it is now
  a.Edit();
  a.FieldByName("Lei").SetAsFloat(2.5);
  a.Post();
  db::SetLockWaitMilliseconds(300);
  auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(b.Edit(), db::DbError);
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(250));
  EXPECT_LT(waited, std::chrono::milliseconds(2000));
  a.Close();  // releases the lock
  b.Edit();
  EXPECT_EQ(b.FieldByName("Lei").AsFloat(), 2.5) << "the second writer works on the current file";
  b.FieldByName("Valuta").SetAsFloat(1);
  b.Post();
  db::SetLockWaitMilliseconds(5000);
}

}  // namespace
