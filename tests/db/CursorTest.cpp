// The table operations as the import uses them: secondary index and key search, the producer
// filter, the range of one article's prices with its last row, locate, edit and append.
#include <gtest/gtest.h>

#include "db/Catalogue.h"
#include "db/TestUtil.h"
#include "platform/Formats.h"
#include "platform/db/FieldValue.h"

namespace {

using db::KeyValue;

class Cursor : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::FixProgramFormats();
    db::CreateTable(dir.path(), "NART", dbtest::NartFields(), 1, 1250);
    db::Table t;
    dbtest::OpenTable(t, dir.path(), "Nart");
    const char* producers[] = {"Bosch", "O'Neil", "Arctic"};
    // Codes inserted out of order; names repeat so that the index needs its tie-break.
    for (int i = 0; i < 60; ++i) {
      int code = 1000 + (i * 37) % 60;
      t.Append();
      t.FieldByName("Cod").SetAsInteger(code);
      t.FieldByName("CodExtern").SetAsString("X" + std::to_string(code));
      t.FieldByName("CodIntern").SetAsString(std::to_string(code % 7));
      t.FieldByName("Denumire")
          .SetAsString(code == 1005 ? "Șurub cu țeavă" : "Articol " + std::to_string(code % 10));
      t.FieldByName("PretVanzare").SetAsFloat(code / 10.0);
      t.FieldByName("TipPret").SetAsString(code % 3 == 0 ? "M" : "");
      t.FieldByName("Producator").SetAsString(producers[code % 3]);
      t.Post();
    }
    db::CreateTable(dir.path(), "PRETM", dbtest::PretMFields(), 2, 1250);
    db::Table m;
    dbtest::OpenTable(m, dir.path(), "PretM");
    for (int art : {1003, 1006, 1009})
      for (int idx = 1; idx <= art % 10; ++idx) {
        m.Append();
        m.Fields(0).SetAsInteger(art);
        m.Fields(1).SetAsInteger(idx);
        m.Fields(2).SetAsInteger(idx * 10);
        m.Fields(3).SetAsFloat(idx + 0.5);
        m.Post();
      }
  }
  dbtest::TempDir dir;
};

TEST_F(Cursor, PrimaryOrderNavigationAndFields) {
  db::Table t;
  dbtest::OpenTable(t, dir.path(), "nart");
  EXPECT_EQ(t.RecordCount(), 60);
  int expected = 1000;
  for (t.First(); !t.Eof(); t.Next()) EXPECT_EQ(t.Fields(0).AsInteger(), expected++);
  EXPECT_EQ(expected, 1060);
  t.Last();
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.Fields(0).AsInteger(), 1059);
  t.Prior();
  EXPECT_EQ(t.Fields(0).AsInteger(), 1058);
  t.First();
  EXPECT_TRUE(t.Bof());
  t.Prior();
  EXPECT_TRUE(t.Bof());
  EXPECT_EQ(t.Fields(0).AsInteger(), 1000);
  EXPECT_EQ(t.FieldByName("PretVanzare").AsString(), "100");
  t.Next();
  EXPECT_EQ(t.FieldByName("PretVanzare").AsString(), "100,1");
  EXPECT_THROW(t.FieldByName("CodExtern").AsInteger(), db::DbError) << "X1001 is not an integer";
}

TEST_F(Cursor, FieldErrors) {
  db::Table t;
  dbtest::OpenTable(t, dir.path(), "Nart");
  EXPECT_THROW(t.FieldByName("Nimic"), db::DbError);
  EXPECT_EQ(t.FindField("Nimic"), nullptr);
  EXPECT_THROW(t.Fields(8), db::DbError);
  EXPECT_THROW(t.FieldByName("PretVanzare").SetAsFloat(1), db::DbError) << "not in edit state";
  t.First();
  EXPECT_THROW(t.FieldByName("Denumire").AsInteger(), db::DbError);
  db::Table missing;
  missing.TableName = "Lipsa";
  missing.DatabaseName = dir.path();
  EXPECT_THROW(missing.Open(), db::DbError);
}

TEST_F(Cursor, SecondaryIndexKeySearch) {
  db::Table t;
  dbtest::OpenTable(t, dir.path(), "Nart");
  EXPECT_THROW(t.SetIndexName("Nimic"), db::DbError);
  t.SetIndexName("CodExtern");
  ASSERT_TRUE(t.FindKey({KeyValue{std::string("X1042")}}));
  EXPECT_EQ(t.Fields(0).AsInteger(), 1042);
  EXPECT_FALSE(t.FindKey({KeyValue{std::string("X99")}}));
  EXPECT_EQ(t.Fields(0).AsInteger(), 1042) << "a failed search keeps the position";
  EXPECT_FALSE(t.FindKey({KeyValue{std::string("x1042")}})) << "the match is exact";

  // Duplicates: the first in primary-key order, then the others follow in key order.
  t.SetIndexName("CodIntern");
  ASSERT_TRUE(t.FindKey({KeyValue{std::string("3")}}));
  EXPECT_EQ(t.Fields(0).AsInteger(), 1004);
  t.Next();
  EXPECT_EQ(t.Fields(0).AsInteger(), 1011);

  // The comma-below letters find the cedilla letters stored; a text the code page cannot hold
  // finds nothing.
  t.SetIndexName("Denumire");
  ASSERT_TRUE(t.FindKey({KeyValue{std::string("Șurub cu țeavă")}}));
  EXPECT_EQ(t.Fields(0).AsInteger(), 1005);
  EXPECT_EQ(t.FieldByName("Denumire").AsString(), "Şurub cu ţeavă");
  EXPECT_FALSE(t.FindKey({KeyValue{std::string("Șurub 日本")}}));

  // Primary index: a numeric key searched by text converts; letters for a number raise.
  t.SetIndexName("");
  ASSERT_TRUE(t.FindKey({KeyValue{std::string("1001")}}));
  EXPECT_EQ(t.FieldByName("CodExtern").AsString(), "X1001");
  EXPECT_THROW(t.FindKey({KeyValue{std::string("abc")}}), db::DbError);
}

TEST_F(Cursor, ProducerFilter) {
  db::Table t;
  dbtest::OpenTable(t, dir.path(), "Nart");
  t.SetIndexName("CodExtern");
  t.SetFilter("Producator = 'O''Neil'");
  t.SetFiltered(true);
  EXPECT_EQ(t.RecordCount(), 20);
  EXPECT_TRUE(t.FindKey({KeyValue{std::string("X1000")}}));   // 1000 % 3 == 1: O'Neil
  EXPECT_FALSE(t.FindKey({KeyValue{std::string("X1002")}}));  // Bosch: hidden
  for (t.First(); !t.Eof(); t.Next()) EXPECT_EQ(t.FieldByName("Producator").AsString(), "O'Neil");
  t.SetFiltered(false);
  EXPECT_TRUE(t.FindKey({KeyValue{std::string("X1002")}}));

  for (const char* bad : {"Producator like 'x'", "Producator = x", "Producator = 'x' and Cod = '1'",
                          "Producator = 'unterminated", "= 'x'"})
    EXPECT_THROW(t.SetFilter(bad), db::DbError) << bad;
  t.SetFilter("Nimic = 'x'");
  EXPECT_THROW(t.SetFiltered(true), db::DbError);
}

TEST_F(Cursor, EditPostsAtOnceAndKeepsOtherFields) {
  {
    db::Table t;
    dbtest::OpenTable(t, dir.path(), "Nart");
    t.SetIndexName("CodExtern");
    ASSERT_TRUE(t.FindKey({KeyValue{std::string("X1010")}}));
    t.Edit();
    EXPECT_EQ(t.State(), db::TableState::Edit);
    double price = 0;
    ASSERT_TRUE(db::value::ParseNumber("12,5", price));
    t.FieldByName("PretVanzare").SetAsFloat(price);
    t.Post();
    EXPECT_EQ(t.State(), db::TableState::Browse);
    // Seen at once by another reader, while this table is still open.
    db::Table other;
    dbtest::OpenTable(other, dir.path(), "Nart");
    ASSERT_TRUE(other.FindKey({KeyValue{std::int64_t{1010}}}));
    EXPECT_EQ(other.FieldByName("PretVanzare").AsFloat(), 12.5);
    EXPECT_EQ(other.FieldByName("PretValuta").IsNull(), true);
    EXPECT_EQ(other.FieldByName("Denumire").AsString(), "Articol 0");
    // Cancel leaves the record as it was.
    t.Edit();
    t.FieldByName("PretVanzare").SetAsFloat(99);
    t.Cancel();
    EXPECT_EQ(t.FieldByName("PretVanzare").AsFloat(), 12.5);
  }
  db::Table t;
  dbtest::OpenTable(t, dir.path(), "Nart");
  ASSERT_TRUE(t.FindKey({KeyValue{std::int64_t{1010}}}));
  EXPECT_EQ(t.FieldByName("PretVanzare").AsFloat(), 12.5);
  t.Edit();
  EXPECT_THROW(t.FieldByName("Denumire").SetAsString("日本"), db::DbError);
  EXPECT_THROW(t.FieldByName("TipPret").SetAsString("MM"), db::DbError);
  t.FieldByName("Cod").SetAsInteger(5);
  EXPECT_THROW(t.Post(), db::DbError) << "the key of a keyed table stays";
}

// UpdateMultiPrice: locate the article's row of the category, or append after its last row.
TEST_F(Cursor, MultiPriceRangeLastLocateAppend) {
  db::Table m;
  dbtest::OpenTable(m, dir.path(), "PretM");
  auto lastIndexLocal = [&](int art) {
    m.SetRange({KeyValue{std::int64_t{art}}}, {KeyValue{std::int64_t{art}}});
    int n = 0;
    if (m.RecordCount() > 0) {
      m.Last();
      n = static_cast<std::int16_t>(m.FieldByName("IndexLocal").AsInteger());
    }
    m.CancelRange();
    return n;
  };
  EXPECT_EQ(lastIndexLocal(1003), 3);
  EXPECT_EQ(lastIndexLocal(1009), 9);
  EXPECT_EQ(lastIndexLocal(1004), 0);
  EXPECT_EQ(m.RecordCount(), 18);

  EXPECT_TRUE(
      m.Locate("CodArt;CodPret", {KeyValue{std::int64_t{1006}}, KeyValue{std::int64_t{40}}}));
  EXPECT_EQ(m.FieldByName("IndexLocal").AsInteger(), 4);
  EXPECT_FALSE(
      m.Locate("CodArt;CodPret", {KeyValue{std::int64_t{1006}}, KeyValue{std::int64_t{70}}}));
  EXPECT_THROW(m.Locate("CodArt;Nimic", {KeyValue{std::int64_t{1}}, KeyValue{std::int64_t{1}}}),
               db::DbError);

  // A row for a category the article lacks goes after its last running number.
  int n = lastIndexLocal(1006) + 1;
  m.Append();
  m.FieldByName("CodArt").SetAsInteger(1006);
  m.FieldByName("IndexLocal").SetAsInteger(n);
  m.FieldByName("CodPret").SetAsInteger(70);
  m.FieldByName("Valuta").SetAsFloat(3.25);
  m.Post();
  EXPECT_EQ(m.FieldByName("IndexLocal").AsInteger(), 7) << "positioned on the new row";
  EXPECT_EQ(lastIndexLocal(1006), 7);
  EXPECT_TRUE(
      m.Locate("CodArt;CodPret", {KeyValue{std::int64_t{1006}}, KeyValue{std::int64_t{70}}}));
  EXPECT_TRUE(m.FieldByName("Lei").IsNull()) << "the other price is not set";
  EXPECT_EQ(m.FieldByName("Valuta").AsFloat(), 3.25);
  // An article with no rows yet starts at 1; the same key twice is refused.
  n = lastIndexLocal(1004) + 1;
  m.Append();
  m.Fields(0).SetAsInteger(1004);
  m.Fields(1).SetAsInteger(n);
  m.Post();
  EXPECT_EQ(lastIndexLocal(1004), 1);
  m.Append();
  m.Fields(0).SetAsInteger(1004);
  m.Fields(1).SetAsInteger(1);
  EXPECT_THROW(m.Post(), db::DbError);
  m.Cancel();
  EXPECT_EQ(m.RecordCount(), 20);
}

}  // namespace
