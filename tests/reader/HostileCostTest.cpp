// What hostile workbooks cost: each is generated at two sizes, the larger twice the smaller,
// and read in a child process, whose CPU time and peak memory come from getrusage. Reading
// must cost time linear in the file (the ratio of the two times, not an absolute time) and
// memory a small multiple of the file, and a record error met a million times is reported a
// bounded number of times.
#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>

#include "HostileBooks.h"
#include "reader/TXLSRead.h"
#include "support/TempFile.h"

namespace {

using namespace testbiff;
using namespace testbiff::hostile;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// How a workbook is read: every sheet through the events, as `imppret dump` reads it, or the
// globals and then one lookup, as `imppret cell` does.
enum class Path { kEveryCell, kLookup };

struct Cost {
  double cpuSeconds = 0;
  long peakKiB = 0;
  long messages = -1;  // message-hook calls, -1 when the child failed
};

// Reads `path` in a child; the child reports its message count through a pipe.
Cost ReadInChild(const std::string& path, Path how) {
  // The files made so far were freed but may still be held by the allocator; a forked child
  // would count those pages in its peak.
  malloc_trim(0);
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    long messages = 0;
    reader::TXLSRead r;
    r.FileName = path;
    r.ErrorLevel = reader::xelMessage;
    r.MessageHook = [&](const std::string&, bool) {
      ++messages;
      return true;
    };
    long cells = 0;
    try {
      if (how == Path::kEveryCell) {
        r.SharedFormulasByCell = true;
        r.OnSheet = [](reader::TXLSRead&, const std::string&, int, bool& readIt) { readIt = true; };
        r.OnNumberCell = [&](reader::TXLSRead&, int, int, int, double, bool) { ++cells; };
        // Asks each number cell's XF for its format, as the import does.
        r.OnDateTimeCell = [&](reader::TXLSRead&, int, int, int, double, bool) { ++cells; };
        r.OnStringCell = [&](reader::TXLSRead&, int, int, int, const std::string&, bool) {
          ++cells;
        };
        r.Read();
      } else {
        r.Read();
        r.Open();
        reader::TCellValue v;
        r.GetCellValue(0, 0, 0, v);
        r.Close();
      }
    } catch (const std::exception&) {
      ++messages;  // refused: one message, as the commands print it
    }
    const ssize_t w = write(fds[1], &messages, sizeof messages);
    _exit(w == sizeof messages ? 0 : 1);
  }
  close(fds[1]);
  Cost c;
  long messages = -1;
  const bool got = read(fds[0], &messages, sizeof messages) == sizeof messages;
  close(fds[0]);
  int status = 0;
  rusage u{};
  if (pid < 0 || wait4(pid, &status, 0, &u) != pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0 || !got)
    return c;
  c.cpuSeconds = static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
                 static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
  c.peakKiB = u.ru_maxrss;
  c.messages = messages;
  return c;
}

// The best of a few runs: the machine is shared, so one run may be slowed by others.
Cost BestOf(const std::string& path, Path how, int tries) {
  Cost best;
  for (int i = 0; i < tries; ++i) {
    const Cost c = ReadInChild(path, how);
    if (c.messages < 0) return c;
    if (i == 0 || c.cpuSeconds < best.cpuSeconds) best.cpuSeconds = c.cpuSeconds;
    if (i == 0 || c.peakKiB < best.peakKiB) best.peakKiB = c.peakKiB;
    best.messages = c.messages;
  }
  return best;
}

struct Case {
  const char* name;
  std::function<Bytes(std::size_t)> make;
  std::size_t units;  // of the smaller file
  Path path;
};

// Reads each case at two sizes. The time ratio allows for noise over the exact 2; a cost
// growing with the square of the file gives 4.
TEST(ReaderHostile, CostGrowsWithTheFileAndMemoryStaysBounded) {
  const std::vector<Case> cases = {
      {"sheets x XF x FORMAT", SheetsTimesFormats, 12000, Path::kEveryCell},
      {"FORMAT numbers that cycle", CyclingFormats, 12000, Path::kEveryCell},
      {"FORMAT numbers in a chain", ChainedFormats, 12000, Path::kEveryCell},
      {"a FORMAT record in every sheet", FormatInEverySheet, 12000, Path::kEveryCell},
      {"SST and CONTINUE records", ManySstRecords, 60000, Path::kEveryCell},
      {"SST and CONTINUE records, lookup", ManySstRecords, 60000, Path::kLookup},
      {"SST of empty strings", EmptyStrings, 600000, Path::kEveryCell},
      {"SST records with an unknown string", FaultySstRecords, 150000, Path::kEveryCell},
      {"BOUNDSHEET records", BoundSheets, 120000, Path::kEveryCell},
      {"BOUNDSHEET records, lookup", BoundSheets, 120000, Path::kLookup},
      {"FORMAT records", Formats, 120000, Path::kEveryCell},
      {"NAME records", Names, 120000, Path::kEveryCell},
      {"FONT records", Fonts, 120000, Path::kEveryCell},
      {"XF records", Xfs, 120000, Path::kEveryCell},
      {"DBCELL records, lookup", DbCells, 60000, Path::kLookup},
      {"4-byte BOUNDSHEET records", ShortBoundSheets, 150000, Path::kEveryCell},
      {"4-byte BOUNDSHEET records, lookup", ShortBoundSheets, 150000, Path::kLookup},
      {"4-byte NUMBER records", ShortCells, 300000, Path::kEveryCell},
      {"1-byte STRING records", ShortStringResults, 150000, Path::kEveryCell},
  };
  // The sanitizer build reads a small file of each kind once: no crash, few messages.
  const int sizes = kSanitized ? 1 : 2;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Cost cost[2];
    std::uintmax_t bytes[2] = {0, 0};
    for (int k = 0; k < sizes; ++k) {
      const std::size_t units = kSanitized ? c.units / 20 : c.units << k;
      TempFile f(c.make(units));
      bytes[k] = std::filesystem::file_size(f.path());
      cost[k] = BestOf(f.path(), c.path, kSanitized ? 1 : 3);
      ASSERT_GE(cost[k].messages, 0) << "the child failed";
      // Every repeated error is reported once, with its count.
      EXPECT_LE(cost[k].messages, 8);
      std::printf("[ cost     ] %-36s %9ju bytes %7.3f s %7ld KiB\n", c.name, bytes[k],
                  cost[k].cpuSeconds, cost[k].peakKiB);
    }
    if (kSanitized) continue;
    // A floor of 20 ms keeps the timer's and the scheduler's grain out of the ratio: cases the
    // reader makes cheap read their smaller file in about 10 ms, and a loaded machine adds as
    // much to one run.
    const double ratio = cost[1].cpuSeconds / std::max(cost[0].cpuSeconds, 0.020);
    EXPECT_LE(ratio, 2.6) << cost[0].cpuSeconds << " s, then " << cost[1].cpuSeconds << " s";
    for (int k = 0; k < 2; ++k) {
      // The file read through its 64 KiB window, the tables it fills and the test program.
      const long boundKiB = static_cast<long>(2 * bytes[k] / 1024) + 24 * 1024;
      EXPECT_LE(cost[k].peakKiB, boundKiB) << bytes[k] << " bytes";
      EXPECT_LT(cost[k].peakKiB, 256 * 1024);
    }
  }
}

// The renumbering of a worksheet BOF as the rule states it: every XF against every FORMAT, in
// record order, at every BOF.
void RenumberAsTheRuleSays(std::vector<std::uint16_t>& xfs,
                           const std::vector<std::uint16_t>& formats) {
  for (auto& xf : xfs)
    for (std::size_t k = 0; k < formats.size(); ++k)
      if (xf == formats[k]) xf = static_cast<std::uint16_t>(49 + k);
}

// Workbooks whose FORMAT numbers meet the renumbered values (49 + position) in every way the
// reader makes cheap: cycles, chains, repeated numbers, FORMAT and XF records inside sheets.
// After every BOF each XF holds the rule's number, seen through XFRecords in OnSheet and
// through a cell's date test alike, and after Read too.
TEST(ReaderHostile, RenumberedFormatsFollowTheRuleInEveryOrder) {
  std::mt19937 rng(20261209);
  auto below = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  for (int book = 0; book < 300; ++book) {
    SCOPED_TRACE(book);
    // A step appends a FORMAT (its number; odd positions are dates) or an XF (its number).
    struct Step {
      bool format;
      std::uint16_t number;
    };
    auto steps = [&](int most, bool oneXf) {
      std::vector<Step> out;
      for (int k = below(most + 1); k > 0; --k) {
        const auto number = static_cast<std::uint16_t>(below(8) == 0 ? 164 : 45 + below(16));
        out.push_back({below(2) == 0, number});
      }
      if (oneXf) out.push_back({false, static_cast<std::uint16_t>(45 + below(16))});
      return out;
    };
    const std::vector<Step> globals = steps(14, true);
    std::vector<std::vector<Step>> sheetSteps(static_cast<std::size_t>(1 + below(9)));
    for (auto& sh : sheetSteps) sh = steps(below(3) == 0 ? 3 : 0, false);

    // The rule's state after each BOF, and the XF each sheet's cell names.
    std::vector<std::uint16_t> formats, xfs;
    auto apply = [&](const std::vector<Step>& add) {
      for (const Step& st : add) (st.format ? formats : xfs).push_back(st.number);
    };
    auto isDate = [&](std::uint16_t m) {
      if (m <= 49) return m >= 14 && m <= 22;
      return static_cast<std::size_t>(m - 49) < formats.size() && (m - 49) % 2 == 1;
    };
    std::vector<std::vector<std::uint16_t>> atBof;
    std::vector<std::uint16_t> cellXf;
    std::vector<bool> cellDate;
    apply(globals);
    for (const auto& sh : sheetSteps) {
      RenumberAsTheRuleSays(xfs, formats);
      atBof.push_back(xfs);
      cellXf.push_back(static_cast<std::uint16_t>(below(static_cast<int>(xfs.size()))));
      cellDate.push_back(isDate(xfs[cellXf.back()]));
      apply(sh);
    }

    auto write = [](RecordStream& s, const std::vector<Step>& add, std::size_t& formatCount) {
      for (const Step& st : add) {
        if (!st.format) {
          s.Xf(st.number);
        } else {
          s.Format(st.number, formatCount % 2 == 1 ? "dd.mm.yyyy" : "0.00");
          ++formatCount;
        }
      }
    };
    // Format positions count on across the sheets: the FORMAT table is the workbook's.
    std::size_t formatCount = 0;
    std::vector<HandSheet> sheets;
    for (std::size_t k = 0; k < sheetSteps.size(); ++k)
      sheets.push_back({"S" + std::to_string(k), [&, k](RecordStream& s) {
                          s.Number(0, 0, cellXf[k], 1.0);
                          write(s, sheetSteps[k], formatCount);
                        }});
    TempFile f(Book([&](RecordStream& s) { write(s, globals, formatCount); }, sheets));

    reader::TXLSRead r;
    r.FileName = f.path();
    r.ErrorLevel = reader::xelException;
    std::vector<std::vector<std::uint16_t>> seen;
    std::vector<bool> dates;
    r.OnSheet = [&](reader::TXLSRead& rd, const std::string&, int, bool& readIt) {
      readIt = true;
      std::vector<std::uint16_t> now;
      for (std::size_t i = 0; i < rd.XFRecords().size(); ++i)
        now.push_back(rd.XFRecords()[i].FormatNumber());
      seen.push_back(std::move(now));
    };
    r.OnNumberCell = [&](reader::TXLSRead&, int, int, int, double, bool) {
      dates.push_back(false);
    };
    r.OnDateTimeCell = [&](reader::TXLSRead&, int, int, int, double, bool) {
      dates.push_back(true);
    };
    // The cell's date test comes first in half the books: an XF read at a cell, then by OnSheet.
    if (book % 2 == 1)
      r.OnSheet = [&](reader::TXLSRead&, const std::string&, int, bool& readIt) { readIt = true; };
    r.Read();
    if (book % 2 == 0) {
      EXPECT_EQ(seen, atBof);
    }
    EXPECT_EQ(dates, cellDate);
    std::vector<std::uint16_t> after;
    for (std::size_t i = 0; i < r.XFRecords().size(); ++i)
      after.push_back(r.XFRecords()[i].FormatNumber());
    EXPECT_EQ(after, xfs);
  }
}

}  // namespace
