// Walks every file of the shared .xlsx corpus, each in a child process with a time and memory
// limit: no crash, no hang, no runaway memory; encrypted packages refused as encrypted; and
// for the files openpyxl reads, the sheets and values compared with its dump. Every
// disagreement gets a reason; unexplained ones fail the test.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "support/MiniJson.h"
#include "xlsx/CellRef.h"
#include "xlsx/XlsxError.h"
#include "xlsx/XlsxReader.h"

#if defined(__SANITIZE_ADDRESS__)
#define IMPPRET_XLSX_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define IMPPRET_XLSX_SANITIZED 1
#endif
#endif

namespace {

namespace fs = std::filesystem;
const fs::path kCorpus = fs::path(IMPPRET_CORPUS).parent_path() / "corpus-xlsx";

#ifdef IMPPRET_XLSX_SANITIZED
constexpr unsigned kSecondsPerFile = 120;
#else
constexpr unsigned kSecondsPerFile = 10;
constexpr rlim_t kMemoryLimit = 1024ull << 20;
#endif

struct Row {
  std::string file, kind, openpyxl, notes;
};

std::vector<Row> Manifest() {
  std::vector<Row> rows;
  std::ifstream in(kCorpus / "MANIFEST.tsv");
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::vector<std::string> cols;
    std::stringstream ss(line);
    std::string col;
    while (std::getline(ss, col, '\t')) cols.push_back(col);
    if (cols.size() >= 10) rows.push_back({cols[0], cols[5], cols[6], cols[9]});
  }
  return rows;
}

// The reasons a value may differ from openpyxl's, each counted.
struct Tally {
  std::map<std::string, long> reasons;
  long compared = 0, agreed = 0;
  std::string firstFault;
  void Differ(const std::string& reason, const std::string& where) {
    ++reasons[reason];
    if (reason.rfind("fault", 0) == 0 && firstFault.empty()) firstFault = where;
  }
};

bool InMerged(const testjson::Value& sheetLine, std::uint32_t row, std::uint32_t col) {
  const testjson::Value& merged = sheetLine["merged"];
  if (!merged.IsArray()) return false;
  for (const testjson::Value& m : merged.Items()) {
    const std::string& ref = m.String();
    const auto colon = ref.find(':');
    if (colon == std::string::npos) continue;
    std::uint32_t r1, c1, r2, c2;
    if (xlsx::ParseCellRef(ref.substr(0, colon), r1, c1) != xlsx::RefResult::Ok ||
        xlsx::ParseCellRef(ref.substr(colon + 1), r2, c2) != xlsx::RefResult::Ok)
      continue;
    if (row >= r1 && row <= r2 && col >= c1 && col <= c2) return true;
  }
  return false;
}

void CompareCell(const xlsx::Book& book, const xlsx::Sheet& s, const testjson::Value& c,
                 bool date1904, Tally& t, const std::string& where) {
  const std::string& type = c["type"].String();
  const auto row = static_cast<std::uint32_t>(c["row"].Number());
  const auto col = static_cast<std::uint16_t>(c["col"].Number());
  const xlsx::Cell* got = s.cells.Find(row, col);
  const bool emptyText = got && (got->kind == xlsx::CellKind::Text) && s.cells.TextOf(*got).empty();
  if (type == "empty") {
    if (emptyText)
      t.Differ("limit: a cached empty text (<v></v>), no value for openpyxl", where);
    else if (got)
      t.Differ("fault: a value where the formula has no cached one", where);
    return;
  }
  ++t.compared;
  if (!got) return t.Differ("fault: cell missing", where);
  const bool text = got->kind == xlsx::CellKind::Text || got->kind == xlsx::CellKind::Shared;
  if (type == "number") {
    if (got->kind == xlsx::CellKind::Number && got->number == c["value"].Number())
      return void(++t.agreed);
    if (got->kind == xlsx::CellKind::Date)
      return t.Differ("limit: TExcelMask sees a date where openpyxl's format test does not", where);
    return t.Differ("fault: number differs", where);
  }
  if (type == "date") {
    const double serial = c["serial"].Number() + (date1904 ? 1462 : 0);
    if (got->kind == xlsx::CellKind::Date && std::fabs(got->number - serial) < 1e-9)
      return void(++t.agreed);
    if (got->kind == xlsx::CellKind::Number && std::fabs(got->number - c["serial"].Number()) < 1e-9)
      return t.Differ("limit: openpyxl's format test sees a date where TExcelMask does not", where);
    if (got->kind == xlsx::CellKind::Date && std::fabs(got->number - serial) < 1.0 / 86400)
      return t.Differ("limit: openpyxl keeps a time to the microsecond, the text holds more",
                      where);
    return t.Differ("fault: date differs", where);
  }
  if (type == "bool") {
    if (got->kind == xlsx::CellKind::Bool && (got->id != 0) == c["value"].Bool())
      return void(++t.agreed);
    return t.Differ("fault: Boolean differs", where);
  }
  if (type == "error" && c["date_out_of_range"].IsBool()) {
    if (got->kind == xlsx::CellKind::Date && got->number == c["serial"].Number())
      return t.Differ("limit: a date past Python's range, #VALUE! for openpyxl", where);
  }
  if (type == "error") {
    if (got->kind == xlsx::CellKind::Error && book.TextOf(s, *got) == c["value"].String())
      return void(++t.agreed);
    return t.Differ("fault: error differs", where);
  }
  if (type == "string") {
    if (!c["value"].IsString()) return void(++t.agreed);  // hashed long text: not compared
    const std::string want = c["value"].String();
    if (text && book.TextOf(s, *got) == want) return void(++t.agreed);
    if (text && (want.find("_x") != std::string::npos ||
                 book.TextOf(s, *got).find("_x") != std::string::npos))
      return t.Differ("limit: openpyxl leaves _xHHHH_ escapes undecoded", where);
    if (got->kind == xlsx::CellKind::Date && text == false)
      return t.Differ("limit: a t=\"d\" cell openpyxl keeps as text", where);
    return t.Differ("fault: text differs", where);
  }
  t.Differ("fault: unknown oracle type " + type, where);
}

// Runs in the child: reads the file, compares, prints one result line to `out`.
void Check(const Row& row, std::FILE* out) {
  xlsx::Book book;
  std::string refusal;
  bool encrypted = false, limit = false;
  try {
    xlsx::ReadXlsx(kCorpus / row.file, {}, book);
  } catch (const xlsx::XlsxError& e) {
    refusal = e.what();
    encrypted = e.Reason() == xlsx::FailReason::Encrypted;
    limit = e.Reason() == xlsx::FailReason::Limit;
  }
  Tally t;
  const bool oracleReads = row.openpyxl.rfind("ok", 0) == 0;
  if (row.kind == "encrypted" && !encrypted)
    t.Differ("fault: encrypted file not refused as such", row.file);
  if (!refusal.empty() && oracleReads && row.kind != "encrypted") {
    if (limit)
      t.Differ("limit: refused by a size or expansion limit", row.file);
    else if (refusal.find("out of range") != std::string::npos)
      t.Differ("limit: refused for a cell reference outside any sheet", row.file);
    else
      t.Differ("fault: refused", row.file + ": " + refusal);
  }
  if (refusal.empty() && oracleReads) {
    std::ifstream in(kCorpus / "openpyxl" / (row.file.substr(6) + ".jsonl"));
    std::string line;
    std::getline(in, line);
    const testjson::Value head = testjson::Parse(line);
    const bool date1904 = head["date1904"].IsBool() && head["date1904"].Bool();
    std::map<std::string, std::size_t> byName;
    for (std::size_t i = 0; i < book.sheets.size(); ++i) byName.emplace(book.sheets[i].name, i);
    const bool relaxed = row.notes.find("oracle:") != std::string::npos;
    testjson::Value sheetLine;
    const xlsx::Sheet* sheet = nullptr;
    std::set<std::pair<std::uint32_t, std::uint32_t>> listed;
    auto closeSheet = [&] {
      if (!sheet) return;
      // Values we hold that openpyxl has no line for.
      for (const xlsx::Cell& c : sheet->cells.Cells()) {
        if (listed.count({c.row, c.col})) continue;
        if (InMerged(sheetLine, c.row, c.col))
          t.Differ("limit: a value inside a merged range, dropped by openpyxl", row.file);
        else if (sheetLine["cells"].Number() == 0)
          t.Differ("limit: openpyxl reads no cell of the sheet (an older namespace)", row.file);
        else if (c.kind == xlsx::CellKind::Text && sheet->cells.TextOf(c).empty())
          t.Differ("limit: a cached empty text (<v></v>), no value for openpyxl", row.file);
        else if (relaxed)
          t.Differ("limit: a value the oracle's notes say openpyxl leaves out", row.file);
        else
          t.Differ("fault: a value openpyxl does not see", row.file + " " + sheet->name + " " +
                                                               std::to_string(c.row) + "," +
                                                               std::to_string(c.col));
      }
      listed.clear();
    };
    while (std::getline(in, line)) {
      const testjson::Value v = testjson::Parse(line);
      if (v["index"].IsNumber()) {
        closeSheet();
        sheetLine = v;
        auto it = byName.find(v["name"].String());
        sheet = it == byName.end() ? nullptr : &book.sheets[it->second];
        if (!sheet) {
          t.Differ("fault: sheet missing", row.file + " " + v["name"].String());
          continue;
        }
        const bool hidden = v["state"].String() != "visible";
        if ((sheet->state != xlsx::SheetState::Visible) != hidden)
          t.Differ("fault: sheet state differs", row.file + " " + v["name"].String());
        if ((sheet->type == xlsx::SheetType::Chartsheet) != (v["type"].String() == "chartsheet"))
          t.Differ("fault: sheet type differs", row.file + " " + v["name"].String());
        continue;
      }
      if (!sheet) continue;
      if (v["row"].Number() < 0) continue;  // openpyxl's row -1 for a reference in row 0
      const std::string where = row.file + " " + sheet->name + " " + line;
      CompareCell(book, *sheet, v, date1904, t, where);
      listed.insert({static_cast<std::uint32_t>(v["row"].Number()),
                     static_cast<std::uint32_t>(v["col"].Number())});
    }
    closeSheet();
  }
  std::fprintf(out, "%ld %ld", t.compared, t.agreed);
  for (const auto& [reason, n] : t.reasons) std::fprintf(out, "\t%s=%ld", reason.c_str(), n);
  std::fprintf(out, "\n#%s\n", t.firstFault.c_str());
}

TEST(XlsxCorpus, EveryFileReadOrRefusedCleanlyAndValuesAgreeWithOpenpyxl) {
  const std::vector<Row> rows = Manifest();
  if (rows.empty()) GTEST_SKIP() << "no corpus at " << kCorpus;
  long compared = 0, agreed = 0, refusedAll = 0;
  std::map<std::string, long> reasons;
  std::map<std::string, std::string> faultFiles;
  for (const Row& row : rows) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(fds[0]);
#ifndef IMPPRET_XLSX_SANITIZED
      rlimit lim{kMemoryLimit, kMemoryLimit};
      setrlimit(RLIMIT_AS, &lim);
#endif
      alarm(kSecondsPerFile);
      std::FILE* out = fdopen(fds[1], "w");
      Check(row, out);
      std::fclose(out);
      _exit(0);
    }
    close(fds[1]);
    std::string result;
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) result.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << row.file << ": ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    std::stringstream ss(result);
    std::string line, fault;
    std::getline(ss, line);
    std::getline(ss, fault);
    std::stringstream fields(line);
    long c = 0, a = 0;
    fields >> c >> a;
    compared += c;
    agreed += a;
    std::string item;
    std::getline(fields, item, '\t');
    while (std::getline(fields, item, '\t')) {
      const auto eq = item.rfind('=');
      reasons[item.substr(0, eq)] += std::stol(item.substr(eq + 1));
      if (item.rfind("fault", 0) == 0) faultFiles[row.file] = fault.substr(1);
      if (item.rfind("limit: refused", 0) == 0) ++refusedAll;
    }
  }
  std::printf("xlsx corpus: %zu files, %ld of %ld values compared agree (%.3f %%)\n", rows.size(),
              agreed, compared,
              compared ? 100.0 * static_cast<double>(agreed) / static_cast<double>(compared) : 0.0);
  for (const auto& [reason, n] : reasons) std::printf("  %6ld  %s\n", n, reason.c_str());
  for (const auto& [file, where] : faultFiles)
    std::printf("  fault in %s: %s\n", file.c_str(), where.c_str());
  EXPECT_TRUE(faultFiles.empty());
}

}  // namespace
