// imppret dump and imppret cell: their JSON lines, stderr and exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/CompoundFileWriter.h"
#include "support/TempFile.h"
#include "support/WorkbookWriter.h"

namespace {

struct Result {
  std::vector<std::string> lines;
  int exitCode = -1;
};

Result RunTool(const std::string& args) {
  Result r;
  const std::string cmd = std::string(IMPPRET_EXE) + " " + args + " 2>/dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  std::string line;
  for (int c; (c = std::fgetc(p)) != EOF;) {
    if (c == '\n') {
      r.lines.push_back(line);
      line.clear();
    } else {
      line.push_back(static_cast<char>(c));
    }
  }
  const int status = pclose(p);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::unique_ptr<testbiff::TempFile> Sample() {
  testbiff::WorkbookWriter w;
  auto& a = w.AddSheet("Prețuri");
  a.Text(0, 0, "Șurub \"M6\"");
  a.Number(0, 1, 12.5);
  a.Number(1, 1, 45292, testbiff::kXfDate);
  a.FormulaBool(2, 0, true);
  a.Blank(3, 2);
  auto& b = w.AddSheet("Doi");
  b.Number(4, 3, -0.1);
  return std::make_unique<testbiff::TempFile>(w.File());
}

}  // namespace

TEST(Commands, DumpPrintsEveryWorksheetAsJsonLines) {
  auto file = Sample();
  const Result r = RunTool("dump " + file->path());
  ASSERT_EQ(r.exitCode, 0);
  ASSERT_GE(r.lines.size(), 9u);
  EXPECT_EQ(r.lines[0], R"({"event":"sheet","index":0,"name":"Prețuri"})");
  EXPECT_EQ(
      r.lines[1],
      R"({"event":"cell","sheet":0,"row":0,"col":0,"type":"string","value":"Șurub \"M6\"","formula":false})");
  EXPECT_EQ(
      r.lines[2],
      R"({"event":"cell","sheet":0,"row":0,"col":1,"type":"number","value":12.5,"formula":false})");
  EXPECT_EQ(
      r.lines[3],
      R"({"event":"cell","sheet":0,"row":1,"col":1,"type":"datetime","value":45292,"formula":false})");
  // The formula's text comes before its cached value.
  EXPECT_EQ(r.lines[4].rfind(
                R"({"event":"cell","sheet":0,"row":2,"col":0,"type":"formula","value":")", 0),
            0u)
      << r.lines[4];
  EXPECT_EQ(
      r.lines[5],
      R"({"event":"cell","sheet":0,"row":2,"col":0,"type":"bool","value":true,"formula":true})");
  EXPECT_EQ(
      r.lines[6],
      R"({"event":"cell","sheet":0,"row":3,"col":2,"type":"blank","value":null,"formula":false})");
  EXPECT_EQ(r.lines[7], R"({"event":"sheet","index":1,"name":"Doi"})");
  EXPECT_EQ(
      r.lines[8],
      R"({"event":"cell","sheet":1,"row":4,"col":3,"type":"number","value":-0.1,"formula":false})");
  const std::string& end = r.lines.back();
  EXPECT_EQ(end.rfind(R"({"event":"end","sheets":[{"name":"Prețuri","offset":)", 0), 0u) << end;
  EXPECT_NE(end.find(R"("firstRow":4,"lastRow":4,"firstCol":3,"lastCol":3})"), std::string::npos)
      << end;
}

TEST(Commands, DumpOfAMissingFileExitsWithOne) {
  EXPECT_EQ(RunTool("dump /nonexistent/book.xls").exitCode, 1);
}

TEST(Commands, CellAnswersOneLookup) {
  auto file = Sample();
  Result r = RunTool("cell " + file->path() + " 0 0 0");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.lines, std::vector<std::string>{R"({"found":true,"value":"Șurub \"M6\""})"});
  r = RunTool("cell " + file->path() + " 1 3 4");
  EXPECT_EQ(r.lines, std::vector<std::string>{R"({"found":true,"value":-0.1})"});
  r = RunTool("cell " + file->path() + " 0 0 2");
  EXPECT_EQ(r.lines, std::vector<std::string>{R"({"found":true,"value":"TRUE"})"});
  r = RunTool("cell " + file->path() + " 0 2 3");
  EXPECT_EQ(r.lines, std::vector<std::string>{R"({"found":false})"});
  EXPECT_EQ(r.exitCode, 0);
  r = RunTool("cell " + file->path() + " 5 0 0");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.lines.empty());
}

TEST(Commands, BothCommandsStopAtAnEncryptionRecord) {
  // Behind an encryption record all is ciphertext: both commands stop there and exit 1.
  testbiff::WorkbookWriter w;
  w.AddSheet("S").Number(0, 0, 1);
  testbiff::Bytes stream = w.Stream();
  const std::size_t afterBof = 4 + static_cast<std::size_t>(stream[2] | (stream[3] << 8));
  const testbiff::Bytes filePass = {0x2F, 0x00, 0x06, 0x00, 0x01, 0x00, 0x01, 0x00, 0x02, 0x00};
  stream.insert(stream.begin() + static_cast<std::ptrdiff_t>(afterBof), filePass.begin(),
                filePass.end());
  testbiff::TempFile locked(testbiff::WriteCompoundFile({{"Workbook", stream}}));
  for (const char* command : {"dump ", "cell "}) {
    const Result r = RunTool(command + locked.path() + (command[0] == 'c' ? " 0 0 0" : ""));
    EXPECT_EQ(r.exitCode, 1) << command;
    EXPECT_TRUE(r.lines.empty()) << command << r.lines.front();
  }
}

// The .xlsx and .csv lists go through the same commands with the same lines: a formula's text
// (as the file stores it) before its cached value, dates as serials of the 1900 system, the
// Boolean result of a formula as its text and a Boolean constant not found, as for .xls.
TEST(Commands, XlsxAndCsvKeepTheContract) {
  const std::string data = std::string(IMPPRET_TEST_DATA) + "/xlsx/";
  Result r = RunTool("dump " + data + "openpyxl_1904.xlsx");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(
      r.lines,
      (std::vector<std::string>{
          R"({"event":"sheet","index":0,"name":"Date 1904"})",
          R"({"event":"cell","sheet":0,"row":0,"col":0,"type":"datetime","value":1463,"formula":false})",
          R"({"event":"cell","sheet":0,"row":0,"col":1,"type":"formula","value":"A1+1","formula":true})",
          R"({"event":"cell","sheet":0,"row":1,"col":0,"type":"datetime","value":45351.5,"formula":false})",
          R"({"event":"cell","sheet":0,"row":1,"col":1,"type":"string","value":"Țară","formula":false})",
          R"({"event":"cell","sheet":0,"row":2,"col":0,"type":"datetime","value":36525.27083333334,"formula":false})",
          R"({"event":"end","sheets":[{"name":"Date 1904","offset":0}],"firstRow":0,"lastRow":2,"firstCol":0,"lastCol":1})"}));
  const std::string mixed = data + "libreoffice_mixed.xlsx";
  const std::vector<std::pair<std::string, std::string>> lookups = {
      {"1 0 1", R"({"found":true,"value":"TRUE"})"},
      {"1 1 1", R"({"found":true,"value":"#DIV/0!"})"},
      {"0 3 1", R"({"found":true,"value":45292})"},
      {"0 2 0", R"({"found":true,"value":"Preț LEI"})"}};
  for (const auto& [where, line] : lookups) {
    r = RunTool("cell " + mixed + " " + where);
    EXPECT_EQ(r.exitCode, 0) << where;
    EXPECT_EQ(r.lines, std::vector<std::string>{line}) << where;
  }
  // LibreOffice keeps a Boolean as the formula FALSE(); xlsxwriter writes the constant.
  r = RunTool("cell " + data + "xlsxwriter_mixed.xlsx 0 4 1");
  EXPECT_EQ(r.lines, std::vector<std::string>{R"({"found":false})"});
  r = RunTool("cell " + mixed + " 0 4 1");
  EXPECT_EQ(r.lines, std::vector<std::string>{R"({"found":true,"value":"FALSE"})"});
  const std::string csv = "Cod;Pret\r\n1001;12,50\r\n";
  testbiff::TempFile list(testbiff::Bytes(csv.begin(), csv.end()), ".csv");
  r = RunTool("cell " + list.path() + " 0 1 1");
  EXPECT_EQ(r.lines, std::vector<std::string>{R"({"found":true,"value":"12,50"})"});
  r = RunTool("dump " + list.path());
  ASSERT_EQ(r.lines.size(), 6u);
  EXPECT_EQ(
      r.lines[4],
      R"({"event":"cell","sheet":0,"row":1,"col":1,"type":"string","value":"12,50","formula":false})");
}
