// The producer and price-category queries over Paradox tables named by quoted path, and the
// alias configuration.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "db/Catalogue.h"
#include "db/TestUtil.h"
#include "platform/Formats.h"
#include "platform/db/Query.h"
#include "platform/db/Session.h"

namespace {

std::vector<std::string> Column(db::Query& q, int column) {
  std::vector<std::string> out;
  for (q.First(); !q.Eof(); q.Next())
    out.push_back(q.Fields(column).IsNull() ? "<null>" : q.Fields(column).AsString());
  return out;
}

class QueryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::FixProgramFormats();
    db::CreateTable(dir.path(), "NART", dbtest::NartFields(), 1);
    db::Table t;
    dbtest::OpenTable(t, dir.path(), "Nart");
    int code = 1;
    for (const char* producer : {"Bosch", "", "   ", "Bosch", "O'Neil", "Arctic", "Țesătura"}) {
      t.Append();
      t.Fields(0).SetAsInteger(code++);
      t.FieldByName("Producator").SetAsString(producer);
      t.Post();
    }
    db::CreateTable(dir.path(), "NCATPRET",
                    {{"COD", db::FieldType::Short},
                     {"DENUMIRE", db::FieldType::Alpha, 30},
                     {"TIP", db::FieldType::Short}},
                    0);
    db::Table c;
    dbtest::OpenTable(c, dir.path(), "NCATPRET");
    struct Row {
      int cod;
      const char* name;
      int tip;
    };
    for (Row r : {Row{1, "Pret lista", 1}, Row{2, "Angro", 2}, Row{-3, "Angro", 1}, Row{4, "", 1},
                  Row{5, "Intern", 3}, Row{6, "  ", 2}}) {
      c.Append();
      c.Fields(0).SetAsInteger(r.cod);
      c.Fields(1).SetAsString(r.name);
      c.Fields(2).SetAsInteger(r.tip);
      c.Post();
    }
  }
  dbtest::TempDir dir;
};

TEST_F(QueryTest, ProducersDistinctAndOrdered) {
  db::Query q;
  q.SQL =
      "SELECT DISTINCT PRODUCATOR FROM \"" + dir.path().string() + "/NART\" ORDER BY PRODUCATOR";
  q.Open();
  EXPECT_EQ(q.FieldCount(), 1);
  std::vector<std::string> expected = {"<null>", "   ", "Arctic", "Bosch", "O'Neil", "Ţesătura"};
  EXPECT_EQ(Column(q, 0), expected);
  EXPECT_THROW(q.Fields(0).SetAsString("x"), db::DbError);
}

TEST_F(QueryTest, CategoriesOfTypeOneAndTwoWithBackslashPath) {
  db::Query q;
  q.SQL = "SELECT DENUMIRE, COD FROM \"" + dir.path().string() +
          "\\NCATPRET\" WHERE TIP IN (1, 2) ORDER BY DENUMIRE";
  q.Open();
  ASSERT_EQ(q.FieldCount(), 2);
  std::vector<std::string> names = Column(q, 0);
  std::vector<std::string> expected = {"<null>", "  ", "Angro", "Angro", "Pret lista"};
  EXPECT_EQ(names, expected);
  std::vector<int> codes;
  for (q.First(); !q.Eof(); q.Next())
    codes.push_back(static_cast<std::int16_t>(q.Fields(1).AsInteger()));
  EXPECT_EQ(codes.size(), 5u);
  EXPECT_EQ(codes[4], 1);
  EXPECT_TRUE((codes[2] == 2 && codes[3] == -3) || (codes[2] == -3 && codes[3] == 2));
}

TEST_F(QueryTest, ErrorsRaise) {
  db::Query q;
  q.SQL = "SELECT X FROM \"" + dir.path().string() + "/LIPSA\"";
  EXPECT_THROW(q.Open(), db::DbError);
  q.SQL = "SELECT NIMIC FROM \"" + dir.path().string() + "/NART\"";
  EXPECT_THROW(q.Open(), db::DbError);
  EXPECT_FALSE(q.Active());
}

TEST(Session, AliasParametersFromTheConfiguration) {
  dbtest::TempDir dir;
  std::filesystem::path ini = dir.path() / "aliases.ini";
  std::ofstream(ini)
      << "\xEF\xBB\xBF; alias-uri\r\n[Altul]\r\nPATH=/x\r\n[TARVEX]\r\nPATH = /date/Tarvex \r\n"
         "DEFAULT DRIVER=PARADOX\r\n\r\n[Gol]\r\n";
  setenv("IMPPRET_ALIASES", ini.c_str(), 1);
  EXPECT_EQ(db::AliasConfigPath(), ini);
  std::vector<std::string> expected = {"PATH=/date/Tarvex", "DEFAULT DRIVER=PARADOX"};
  EXPECT_EQ(db::GetAliasParams("Tarvex"), expected);
  EXPECT_TRUE(db::GetAliasParams("gol").empty());
  EXPECT_THROW(db::GetAliasParams("Nimic"), db::DbError);
  setenv("IMPPRET_ALIASES", (dir.path() / "lipsa.ini").c_str(), 1);
  EXPECT_THROW(db::GetAliasParams("Tarvex"), db::DbError);
  unsetenv("IMPPRET_ALIASES");
}

}  // namespace
