// Hostile-workbook benchmark: writes each kind of attack at the size it was seen at (a few MB
// for the costs in time, 100 MB for the tables in memory, a few KB for the output and the
// allocation), then runs `imppret dump` and `imppret cell FILE 0 0 0` on it, each in its own
// process, and prints processor and wall time, peak memory, bytes written to standard output
// and lines to standard error. Each run must end in under 2 s and 256 MiB; the exit status
// says whether all did. `hostile_bench quick` writes every file at a tenth of its size;
// `hostile_bench keep DIR` keeps the files in DIR (hostile-1.xls, ...) to be read again.
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchTools.h"
#include "reader/HostileBooks.h"

namespace {

namespace fs = std::filesystem;
using namespace testbiff;
using namespace testbiff::hostile;

constexpr double kMostSeconds = 2.0;
constexpr long kMostKiB = 256 * 1024;

struct Measured {
  bench::ChildRun run;
  std::uint64_t outBytes = 0;
  std::uint64_t errLines = 0;
};

// Runs argv with both output streams read here: standard output counted in bytes, standard
// error in lines.
Measured RunCounting(const std::vector<std::string>& argv) {
  Measured m;
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return m;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = bench::StartChild(argv, [&] {
    dup2(out[1], 1);
    dup2(err[1], 2);
    close(out[0]);
    close(err[0]);
  });
  close(out[1]);
  close(err[1]);
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open = 2;
  std::vector<char> buffer(1 << 16);
  while (open > 0 && poll(fds, 2, -1) > 0) {
    for (int k = 0; k < 2; ++k) {
      if (fds[k].fd < 0 || fds[k].revents == 0) continue;
      const ssize_t n = read(fds[k].fd, buffer.data(), buffer.size());
      if (n <= 0) {
        close(fds[k].fd);
        fds[k].fd = -1;
        --open;
      } else if (k == 0) {
        m.outBytes += static_cast<std::uint64_t>(n);
      } else {
        for (ssize_t i = 0; i < n; ++i) m.errLines += buffer[static_cast<std::size_t>(i)] == '\n';
      }
    }
  }
  m.run = bench::WaitChild(pid, start);
  return m;
}

struct Attack {
  const char* name;
  std::function<Bytes(double)> make;  // the file at the given fraction of its size
};

// A table of records grown to `bytes`: the units are found from two small files.
std::function<Bytes(double)> Filled(const std::function<Bytes(std::size_t)>& make, double bytes) {
  return [make, bytes](double scale) {
    const double per = static_cast<double>(make(2000).size() - make(1000).size()) / 1000.0;
    return make(static_cast<std::size_t>(bytes * scale / per));
  };
}

std::function<Bytes(double)> Scaled(const std::function<Bytes(std::size_t)>& make,
                                    std::size_t units) {
  return [make, units](double scale) {
    return make(static_cast<std::size_t>(static_cast<double>(units) * scale));
  };
}

}  // namespace

int main(int argc, char** argv) {
  const double scale = argc > 1 && std::strcmp(argv[1], "quick") == 0 ? 0.1 : 1.0;
  const std::string keep = argc > 2 && std::strcmp(argv[1], "keep") == 0 ? argv[2] : "";
  constexpr double kMB = 1e6;
  const std::vector<Attack> attacks = {
      {"40 sheets x 31k XF x 31k FORMAT",
       [](double s) { return SheetsOverFormats(40, static_cast<std::size_t>(31000 * s)); }},
      {"250 sheets x 65k FORMAT",
       [](double s) { return SheetsOverFormats(250, static_cast<std::size_t>(65000 * s)); }},
      {"250 sheets x 100k XF, swapping formats",
       [](double s) {
         return SheetsOverSwappingFormats(250, static_cast<std::size_t>(100000 * s));
       }},
      {"60k SST+CONTINUE", Scaled(ManySstRecords, 60000)},
      {"SST+CONTINUE, 10 MB", Filled(ManySstRecords, 10 * kMB)},
      {"BOUNDSHEET, 100 MB", Filled(BoundSheets, 100 * kMB)},
      {"FORMAT, 100 MB", Filled(Formats, 100 * kMB)},
      {"NAME, 100 MB", Filled(Names, 100 * kMB)},
      {"FONT, 100 MB", Filled(Fonts, 100 * kMB)},
      {"XF, 100 MB", Filled(Xfs, 100 * kMB)},
      {"SST of empty strings, 100 MB", Filled(EmptyStrings, 100 * kMB)},
      {"DBCELL, 100 MB", Filled(DbCells, 100 * kMB)},
      {"4-byte BOUNDSHEET, 100 MB", Filled(ShortBoundSheets, 100 * kMB)},
      {"4-byte NUMBER, 100 MB", Filled(ShortCells, 100 * kMB)},
      {"60 shared formulas x 2^18 cells", [](double) { return WideSharedFormulas(60); }},
      {"mini stream claiming 4 GB", [](double) { return MiniStreamClaimingFourGb(); }},
  };
  std::printf("%-40s %-5s %10s %7s %7s %8s %13s %9s %s\n", "file", "cmd", "bytes", "cpu s",
              "wall s", "peak MiB", "stdout bytes", "stderr", "");
  bool allWithin = true;
  int number = 0;
  for (const Attack& a : attacks) {
    ++number;
    // The file is made in a child, so that this program stays small: a child it forks starts
    // with this program's pages, which would count in the child's peak.
    const std::string path = ((keep.empty() ? fs::temp_directory_path() : fs::path(keep)) /
                              ("hostile-" + std::to_string(number) + ".xls"))
                                 .string();
    const pid_t maker = fork();
    if (maker == 0) {
      const Bytes bytes = a.make(scale);
      FILE* f = std::fopen(path.c_str(), "wb");
      const bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
      _exit(f && std::fclose(f) == 0 && written ? 0 : 1);
    }
    int made = -1;
    if (maker < 0 || waitpid(maker, &made, 0) != maker || made != 0) {
      std::printf("%-40s could not be written\n", a.name);
      return 1;
    }
    const auto size = fs::file_size(path);
    for (const bool dump : {true, false}) {
      std::vector<std::string> args = {IMPPRET_BENCH_IMPPRET, dump ? "dump" : "cell", path};
      if (!dump) args.insert(args.end(), {"0", "0", "0"});
      const Measured m = RunCounting(args);
      // Exit 1 is a refused file: a hostile workbook may well be refused.
      const bool ran = m.run.status == 0 || m.run.status == 1;
      const bool within = ran && m.run.wall < kMostSeconds && m.run.peakKiB < kMostKiB;
      allWithin = allWithin && within;
      std::printf("%-40s %-5s %10ju %7.3f %7.3f %8.1f %13ju %9ju %s\n", a.name,
                  dump ? "dump" : "cell", static_cast<std::uintmax_t>(size), m.run.cpu, m.run.wall,
                  static_cast<double>(m.run.peakKiB) / 1024.0,
                  static_cast<std::uintmax_t>(m.outBytes), static_cast<std::uintmax_t>(m.errLines),
                  within ? "ok" : (ran ? "OVER" : "FAILED"));
      std::fflush(stdout);
    }
    if (keep.empty()) fs::remove(path);
  }
  std::printf("%s\n", allWithin ? "every run within 2 s and 256 MiB"
                                : "some run over 2 s or 256 MiB, or failed");
  return allWithin ? 0 : 1;
}
