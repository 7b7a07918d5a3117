// Walks every workbook of the shared corpus: Read with all sheets and every event, then Open and
// GetCellValue on every number and text the events reported. No crash, no hang (a watchdog ends
// the run naming the file), bounded memory, and the values agree with the xlrd reference dump
// wherever both report a number or a text. Disagreements are failures unless the file is in
// allowlist.tsv with its reason.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

#include "reader/CellRecord.h"
#include "reader/RecordIds.h"
#include "support/MiniJson.h"
#include "support/ReaderHarness.h"

#if defined(__SANITIZE_ADDRESS__)
#define IMPPRET_CORPUS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define IMPPRET_CORPUS_SANITIZED 1
#endif
#endif

namespace {

namespace fs = std::filesystem;
using testreader::CellEvent;
using testreader::Kind;

const fs::path kCorpus = IMPPRET_CORPUS;
const fs::path kAllowList = fs::path(IMPPRET_TEST_DATA) / ".." / "reader_corpus" / "allowlist.tsv";

#ifdef IMPPRET_CORPUS_SANITIZED
constexpr int kSecondsPerFile = 120;
constexpr std::size_t kLookupsPerFile = 4000;  // spread evenly over the file's cells
constexpr long kMaxRssMiB = 3072;
#else
constexpr int kSecondsPerFile = 20;
constexpr std::size_t kLookupsPerFile = 1'000'000;
constexpr long kMaxRssMiB = 1024;
#endif

// Ends the process when one file takes longer than its bound: a hang must not stall CI.
class Watchdog {
 public:
  Watchdog() : thread_([this] { Run(); }) {}
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> l(m_);
      stop_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }
  void Arm(const std::string& file) {
    std::lock_guard<std::mutex> l(m_);
    file_ = file;
    deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(kSecondsPerFile);
    cv_.notify_all();
  }

 private:
  void Run() {
    std::unique_lock<std::mutex> l(m_);
    while (!stop_) {
      if (file_.empty()) {
        cv_.wait(l);
        continue;
      }
      if (cv_.wait_until(l, deadline_) == std::cv_status::timeout && !stop_ &&
          std::chrono::steady_clock::now() >= deadline_) {
        std::fprintf(stderr, "corpus walk: %s took more than %d s, giving up\n", file_.c_str(),
                     kSecondsPerFile);
        std::fflush(stderr);
        std::abort();
      }
    }
  }
  std::mutex m_;
  std::condition_variable cv_;
  std::string file_;
  std::chrono::steady_clock::time_point deadline_;
  bool stop_ = false;
  std::thread thread_;
};

struct ManifestRow {
  std::string file;  // relative to the corpus folder
  std::string xlrd;  // "ok", "ok after decryption ...", or xlrd's error
};

std::vector<ManifestRow> ReadManifest() {
  std::vector<ManifestRow> rows;
  std::ifstream in(kCorpus / "MANIFEST.tsv");
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::vector<std::string> cols;
    std::stringstream ss(line);
    std::string col;
    while (std::getline(ss, col, '\t')) cols.push_back(col);
    if (cols.size() >= 9) rows.push_back({cols[0], cols[8]});
  }
  return rows;
}

std::map<std::string, std::string> ReadAllowList() {
  std::map<std::string, std::string> out;
  std::ifstream in(kAllowList);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    auto tab = line.find('\t');
    if (tab == std::string::npos) continue;
    out[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return out;
}

struct Reference {
  bool isNumber;
  double number;
  std::string text;
};

bool SameNumber(double a, double b) {
  return a == b || (std::isnan(a) && std::isnan(b));
}

long PeakRssMiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024;
}

struct Figures {
  int files = 0, opened = 0, refused = 0, withMessages = 0, withReference = 0, encrypted = 0;
  long compared = 0, agreeing = 0, missing = 0, extra = 0;
  long lookups = 0, lookupAgreeing = 0;
  std::map<std::string, long> disagreements;  // by reason
  std::map<std::string, long> lookupProblems;
  std::vector<std::string> failures;
  std::vector<std::string> refusals;
  std::map<std::string, long> missingByFile;
};

void Walk(const ManifestRow& row, const std::map<std::string, std::string>& allow, Figures& f) {
  const std::string path = (kCorpus / row.file).string();
  ++f.files;
  testreader::ReadOptions o;
  o.errorLevel = reader::xelMessage;  // answers Yes: read on past damaged records
  testreader::Collected got = testreader::ReadAll(path, o);
  if (!got.openError.empty()) {
    ++f.refused;
    f.refusals.push_back(row.file + " (xlrd: " + row.xlrd.substr(0, 40) + "): " + got.openError);
    return;
  }
  ++f.opened;
  if (!got.messages.empty()) ++f.withMessages;
  auto allowed = allow.find(row.file);
  const std::string tag = allowed != allow.end() ? "allowed: " + allowed->second : "";
  auto note = [&](std::map<std::string, long>& where, const std::string& reason,
                  const std::string& detail) {
    const std::string key = tag.empty() ? reason : tag;
    if (where[key]++ == 0 || tag.empty())
      if (tag.empty()) f.failures.push_back(row.file + ": " + reason + " " + detail);
  };

  // Events by position; the first value event of a position counts, as for a lookup.
  std::map<std::tuple<int, int, int>, const CellEvent*> events;
  for (const CellEvent& e : got.cells) {
    if (e.kind == Kind::kFormula || e.kind == Kind::kBlank) continue;
    events.emplace(std::tuple{std::max(e.sheet, 0), e.row, e.col}, &e);
  }

  // Against the xlrd reference, where xlrd read the file without a password.
  const fs::path refPath =
      kCorpus / "xlrd" / (row.file.substr(std::string("files/").size()) + ".jsonl");
  if (row.xlrd.rfind("ok after decryption", 0) == 0) ++f.encrypted;
  if (row.xlrd == "ok" && fs::exists(refPath)) {
    ++f.withReference;
    std::ifstream in(refPath);
    std::string line;
    std::getline(in, line);
    std::map<std::tuple<int, int, int>, bool> referenced;
    while (std::getline(in, line)) {
      testjson::Value c = testjson::Parse(line);
      const std::string& ctype = c["ctype"].String();
      std::tuple<int, int, int> k{static_cast<int>(c["sheet"].Number()),
                                  static_cast<int>(c["row"].Number()),
                                  static_cast<int>(c["col"].Number())};
      referenced[k] = true;
      if (ctype != "number" && ctype != "date" && ctype != "text") continue;
      auto it = events.find(k);
      std::string where = "sheet " + std::to_string(std::get<0>(k)) + " row " +
                          std::to_string(std::get<1>(k)) + " col " + std::to_string(std::get<2>(k));
      if (it == events.end()) {
        ++f.missing;
        ++f.missingByFile[row.file];
        continue;
      }
      const CellEvent& e = *it->second;
      const bool ours = e.kind == Kind::kNumber || e.kind == Kind::kDateTime;
      const bool oursText = e.kind == Kind::kString || e.kind == Kind::kRich;
      if (!ours && !oursText) continue;  // a Boolean here: not a number or a text on both sides
      ++f.compared;
      if (ctype == "text") {
        if (!oursText) {
          note(f.disagreements, "number where the reference has text", where);
        } else if (e.text != c["value"].String()) {
          note(f.disagreements, "different text",
               where + ": \"" + e.text + "\" vs \"" + c["value"].String() + "\"");
        } else {
          ++f.agreeing;
        }
      } else {
        double ref = c["value"].IsString() ? std::strtod(c["value"].String().c_str(), nullptr)
                                           : c["value"].Number();
        if (!ours) {
          note(f.disagreements, "text where the reference has a number",
               where + ": \"" + e.text + "\"");
        } else if (!SameNumber(e.number, ref)) {
          char buf[96];
          std::snprintf(buf, sizeof buf, ": %.17g vs %.17g", e.number, ref);
          note(f.disagreements, "different number", where + buf);
        } else {
          ++f.agreeing;
        }
      }
    }
    for (const auto& [k, e] : events)
      if (!referenced.count(k) && (e->kind == Kind::kNumber || e->kind == Kind::kDateTime ||
                                   e->kind == Kind::kString || e->kind == Kind::kRich))
        ++f.extra;
  }

  // The lookup answers what the events said, for every number and text of a record it takes
  // a value from (the reader's own rule, for the version the file declares).
  const bool anyValue = std::any_of(events.begin(), events.end(), [](const auto& entry) {
    const Kind k = entry.second->kind;
    return k == Kind::kNumber || k == Kind::kDateTime || k == Kind::kString || k == Kind::kRich;
  });
  if (!anyValue) return;
  reader::TXLSRead r;
  r.FileName = path;
  r.ErrorLevel = reader::xelIgnore;
  r.MessageHook = [](const std::string&, bool) { return true; };
  try {
    r.Read();
    r.Open();
  } catch (const std::exception& ex) {
    note(f.lookupProblems, "open for lookups raised", ex.what());
    return;
  }
  std::vector<const CellEvent*> todo;
  for (const auto& [k, e] : events) {
    const bool number = e->kind == Kind::kNumber || e->kind == Kind::kDateTime;
    const bool text = e->kind == Kind::kString || e->kind == Kind::kRich;
    if ((number || text) && reader::detail::LookupTakesValue(e->record, r.Version()))
      todo.push_back(e);
  }
  if (todo.empty()) return;
  const std::size_t step = std::max<std::size_t>(1, todo.size() / kLookupsPerFile);
  for (std::size_t i = 0; i < todo.size(); i += step) {
    const CellEvent& e = *todo[i];
    std::string where = "sheet " + std::to_string(e.sheet) + " row " + std::to_string(e.row) +
                        " col " + std::to_string(e.col);
    ++f.lookups;
    reader::TCellValue v;
    bool found = false;
    try {
      found = r.GetCellValue(testreader::ListPosition(got, e.sheet), e.col, e.row, v);
    } catch (const std::exception& ex) {
      note(f.lookupProblems, "lookup raised", where + ": " + ex.what());
      break;  // the stream position is undefined after an error
    }
    if (!found) {
      note(f.lookupProblems, "lookup found nothing", where);
    } else if (e.kind == Kind::kNumber || e.kind == Kind::kDateTime) {
      if (!std::holds_alternative<double>(v) || !SameNumber(std::get<double>(v), e.number))
        note(f.lookupProblems, "lookup gave another value", where + ": " + testreader::Describe(v));
      else
        ++f.lookupAgreeing;
    } else if (!std::holds_alternative<std::string>(v) || std::get<std::string>(v) != e.text) {
      note(f.lookupProblems, "lookup gave another value",
           where + ": " + testreader::Describe(v) + " vs \"" + e.text + "\"");
    } else {
      ++f.lookupAgreeing;
    }
  }
  r.Close();
}

TEST(ReaderCorpus, EveryFileReadsCleanlyAndAgreesWithTheReference) {
  if (!fs::exists(kCorpus / "MANIFEST.tsv")) GTEST_SKIP() << "no corpus at " << kCorpus;
  const auto rows = ReadManifest();
  const auto allow = ReadAllowList();
  ASSERT_GT(rows.size(), 300u);
  Figures f;
  Watchdog watchdog;
  const auto start = std::chrono::steady_clock::now();
  for (const auto& row : rows) {
    watchdog.Arm(row.file);
    Walk(row, allow, f);
    EXPECT_LT(PeakRssMiB(), kMaxRssMiB) << "memory after " << row.file;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::printf(
      "corpus: %d files, %d read, %d refused at open, %d with record errors, %d encrypted\n",
      f.files, f.opened, f.refused, f.withMessages, f.encrypted);
  std::printf(
      "against xlrd (%d files): %ld cells compared, %ld agree; %ld reference cells without "
      "an event, %ld events without a reference cell\n",
      f.withReference, f.compared, f.agreeing, f.missing, f.extra);
  for (const auto& [reason, n] : f.disagreements)
    std::printf("  disagreement: %s: %ld\n", reason.c_str(), n);
  std::printf("lookups: %ld, %ld agree with the events\n", f.lookups, f.lookupAgreeing);
  for (const auto& [reason, n] : f.lookupProblems)
    std::printf("  lookup: %s: %ld\n", reason.c_str(), n);
  std::printf("time %.1f s, peak memory %ld MiB\n", seconds, PeakRssMiB());
  for (const auto& r : f.refusals) std::printf("  refused: %s\n", r.c_str());
  for (const auto& [file, n] : f.missingByFile)
    std::printf("  reference cells without an event: %s: %ld\n", file.c_str(), n);
  for (std::size_t i = 0; i < f.failures.size() && i < 60; ++i) ADD_FAILURE() << f.failures[i];
  EXPECT_TRUE(f.failures.empty()) << f.failures.size() << " unexplained disagreements";
}

// A "Book" stream that holds BIFF8 (written by some programs): the events read its shared
// strings, and the lookup must find them too rather than raise on the first text cell.
TEST(ReaderCorpus, LookupInABookStreamHoldingBiff8) {
  const fs::path file = kCorpus / "files" / "poi" / "46904.xls";
  if (!fs::exists(file)) GTEST_SKIP() << "corpus file missing";
  testreader::Collected got = testreader::ReadAll(file.string());
  ASSERT_EQ(got.openError, "");
  const CellEvent* text = nullptr;
  for (const CellEvent& e : got.cells)
    if (e.kind == Kind::kString && e.record == reader::rec::kLabelSst) {
      text = &e;
      break;
    }
  ASSERT_NE(text, nullptr);
  reader::TXLSRead r;
  r.FileName = file.string();
  r.Read();
  r.Open();
  reader::TCellValue v;
  try {
    ASSERT_TRUE(
        r.GetCellValue(testreader::ListPosition(got, text->sheet), text->col, text->row, v));
    ASSERT_TRUE(std::holds_alternative<std::string>(v));
    EXPECT_EQ(std::get<std::string>(v), text->text);
  } catch (const std::exception& e) {
    ADD_FAILURE() << "lookup raised: " << e.what();
  }
  r.Close();
}

}  // namespace
