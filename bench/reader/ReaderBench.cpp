// Reader benchmark. `reader_bench` alone generates price lists of 20k, 100k and 300k rows in a
// scratch folder and measures, on the same files and each in its own process (so that peak
// memory is the measured program's own): our event walk over every cell, our lookup of two
// cells of every row (what the import does), `imppret dump` with its output discarded, FreeXL
// and xlrd reading every cell. Prints one table. Other modes are the measured programs:
//   reader_bench walk FILE | lookup FILE | generate FILE ROWS
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchTools.h"
#include "bench/reader/PriceListWriter.h"
#include "bench/reader/XlsWalk.h"
#include "reader/TXLSRead.h"

namespace {

namespace fs = std::filesystem;

// As the import does: Read for the sheet list, Open, then for every sheet from row 1 the
// identifier and the price cell until a row lacks the identifier.
int Lookup(const std::string& path) {
  reader::TXLSRead r;
  r.FileName = path;
  r.Read();
  r.Open();
  std::size_t found = 0;
  for (int sheet = 0; sheet < static_cast<int>(r.SheetNames().size()); ++sheet) {
    for (int row = 1;; ++row) {
      reader::TCellValue id, price;
      if (!r.GetCellValue(sheet, 0, row, id)) break;
      found += 1 + r.GetCellValue(sheet, 2, row, price);
    }
  }
  r.Close();
  std::printf("%zu cells found\n", found);
  return found > 0 ? 0 : 1;
}

using Run = bench::ChildRun;

// Best of `repeat` runs (time); memory of the same run.
Run Best(const std::vector<std::string>& argv, int repeat) {
  Run best;
  for (int i = 0; i < repeat; ++i) {
    Run r = bench::RunChild(argv, true);
    if (r.status != 0) return r;
    if (i == 0 || r.wall < best.wall) best = r;
  }
  return best;
}

std::string Self() {
  return fs::read_symlink("/proc/self/exe").string();
}

int All(int argc, char** argv) {
  std::vector<int> sizes = {20000, 100000, 300000};
  int repeat = 3;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--quick") sizes = {20000}, repeat = 1;
  }
  const fs::path dir = fs::temp_directory_path() / ("imppret-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string self = Self();
  std::printf("%-8s %8s %8s | %-14s %9s %8s %9s | %s\n", "rows", "file MB", "SST MB", "reader",
              "seconds", "MB/s", "peak MiB", "vs FreeXL");
  for (int rows : sizes) {
    const std::string file = (dir / ("prices-" + std::to_string(rows) + ".xls")).string();
    // Generated in a child so the writer's memory is not counted anywhere.
    Run gen = bench::RunChild({self, "generate", file, std::to_string(rows)}, true);
    if (gen.status != 0) {
      std::fprintf(stderr, "cannot generate %s\n", file.c_str());
      return 1;
    }
    const double mb = static_cast<double>(fs::file_size(file)) / 1e6;
    // The SST text size, as the generator counts it, is printed by "generate" into a side file.
    double sstMb = 0;
    if (std::FILE* f = std::fopen((file + ".sst").c_str(), "r")) {
      if (std::fscanf(f, "%lf", &sstMb) != 1) sstMb = 0;
      std::fclose(f);
    }
    struct Row {
      const char* name;
      std::vector<std::string> argv;
    };
    std::vector<Row> runs = {{"events", {self, "walk", file}},
                             {"lookup 2/row", {self, "lookup", file}},
                             {"imppret dump", {IMPPRET_BENCH_IMPPRET, "dump", file}},
#ifdef IMPPRET_BENCH_FREEXL
                             {"FreeXL", {IMPPRET_BENCH_FREEXL, file}},
#endif
                             {"xlrd", {"/usr/bin/python3", IMPPRET_BENCH_XLRD, file}}};
    std::vector<Run> results;
    double freexl = -1;
    for (const auto& r : runs) {
      results.push_back(Best(r.argv, std::string(r.name) == "xlrd" ? 1 : repeat));
      if (std::string(r.name) == "FreeXL" && results.back().status == 0)
        freexl = results.back().wall;
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
      const Run& r = results[i];
      char ratio[32] = "";
      if (freexl > 0 && r.status == 0) std::snprintf(ratio, sizeof ratio, "%.2fx", freexl / r.wall);
      if (r.status != 0)
        std::printf("%-8d %8.1f %8.1f | %-14s %9s %8s %9s | exit %d\n", rows, mb, sstMb,
                    runs[i].name, "-", "-", "-", r.status);
      else
        std::printf("%-8d %8.1f %8.1f | %-14s %9.3f %8.1f %9.1f | %s\n", rows, mb, sstMb,
                    runs[i].name, r.wall, mb / r.wall, r.peakKiB / 1024.0, ratio);
    }
    std::fflush(stdout);
    fs::remove(file);
    fs::remove(file + ".sst");
  }
  fs::remove_all(dir);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::string mode = argc > 1 ? argv[1] : "all";
    if (mode == "walk" && argc == 3) return bench::WalkXls(argv[2]);
    if (mode == "lookup" && argc == 3) return Lookup(argv[2]);
    if (mode == "generate" && argc == 4) {
      bench::PriceListInfo info = bench::WritePriceList(argv[2], std::atoi(argv[3]));
      if (std::FILE* f = std::fopen((std::string(argv[2]) + ".sst").c_str(), "w")) {
        std::fprintf(f, "%.3f\n", static_cast<double>(info.sstTextBytes) / 1e6);
        std::fclose(f);
      }
      return 0;
    }
    if (mode == "all") return All(argc, argv);
    std::fprintf(
        stderr,
        "usage: reader_bench [all [--quick]] | walk FILE | lookup FILE | generate FILE ROWS\n");
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "reader_bench: %s\n", e.what());
    return 1;
  }
}
