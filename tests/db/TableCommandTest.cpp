// `imppret table FILE.DB`: the header line and one JSON object per record in file order.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "db/TestUtil.h"
#include "platform/Formats.h"
#include "platform/db/CreateTable.h"
#include "platform/db/Table.h"

namespace {

std::string RunCommand(const std::string& command, int& status) {
  std::string out;
  std::FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  status = pclose(p);
  return out;
}

TEST(TableCommand, HeaderThenRecordsInFileOrder) {
  platform::FixProgramFormats();
  dbtest::TempDir dir;
  db::CreateTable(dir.path(), "TOATE",
                  {{"Cod", db::FieldType::Long},
                   {"Nume", db::FieldType::Alpha, 12},
                   {"Mic", db::FieldType::Short},
                   {"Pret", db::FieldType::Currency},
                   {"Data", db::FieldType::Date},
                   {"Ora", db::FieldType::Time},
                   {"Moment", db::FieldType::Timestamp},
                   {"Ok", db::FieldType::Logical},
                   {"Nr", db::FieldType::AutoInc}},
                  1, 852, 5);
  {
    db::Table t;
    t.TableName = "TOATE";
    t.DatabaseName = dir.path();
    t.Open();
    t.Append();
    t.Fields(0).SetAsInteger(2);
    t.Fields(1).SetAsString("Ţară \"x\"");
    t.Fields(2).SetAsInteger(-3);
    t.Fields(3).SetAsFloat(0.1);
    t.Fields(4).SetAsString("29.02.2024");
    t.Fields(5).SetAsString("23:59:58");
    t.Fields(6).SetAsString("01.03.2024 10:00:05");
    t.Fields(7).SetAsBoolean(false);
    t.Post();
    t.Append();
    t.Fields(0).SetAsInteger(1);
    t.Post();
  }
  int status = -1;
  std::string out =
      RunCommand(std::string(IMPPRET_EXE) + " table " + (dir.path() / "TOATE.DB").string(), status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out,
            "{\"table\":\"TOATE.DB\",\"level\":\"5\",\"fields\":[{\"name\":\"Cod\",\"type\":"
            "\"long\",\"size\":4},"
            "{\"name\":\"Nume\",\"type\":\"alpha\",\"size\":12},{\"name\":\"Mic\",\"type\":"
            "\"short\",\"size\":2},"
            "{\"name\":\"Pret\",\"type\":\"money\",\"size\":8},{\"name\":\"Data\",\"type\":"
            "\"date\",\"size\":4},"
            "{\"name\":\"Ora\",\"type\":\"time\",\"size\":4},{\"name\":\"Moment\",\"type\":"
            "\"timestamp\",\"size\":8},"
            "{\"name\":\"Ok\",\"type\":\"logical\",\"size\":1},{\"name\":\"Nr\",\"type\":"
            "\"autoinc\",\"size\":4}],"
            "\"keyFields\":1,\"records\":2,\"codepage\":852}\n"
            "{\"Cod\":1,\"Nume\":null,\"Mic\":null,\"Pret\":null,\"Data\":null,\"Ora\":null,"
            "\"Moment\":null,"
            "\"Ok\":null,\"Nr\":2}\n"
            "{\"Cod\":2,\"Nume\":\"Ţară "
            "\\\"x\\\"\",\"Mic\":-3,\"Pret\":0.1,\"Data\":\"2024-02-29\",\"Ora\":\"23:59:58\","
            "\"Moment\":\"2024-03-01T10:00:05\",\"Ok\":false,\"Nr\":1}\n");
  RunCommand(
      std::string(IMPPRET_EXE) + " table " + (dir.path() / "LIPSA.DB").string() + " 2>/dev/null",
      status);
  EXPECT_NE(status, 0);
}

}  // namespace
