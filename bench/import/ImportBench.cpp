// The whole import run, every post included, of a large supplier price list into a large
// catalogue: 100,000 rows (half the identifiers numbers, half texts of the shared-string
// table) into 100,000 articles of which 20,000 have multiple prices; then twice the rows; the
// same run under a price rule; the change plan (the dry run), the run with its undo journal and
// change report beside the plain run, the undo of that run; and the detection of the list's
// layout.
//   import_bench [WORKDIR]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/BenchTools.h"
#include "bench/ImportFixture.h"
#include "import/HeaderDetect.h"
#include "import/ImportRun.h"
#include "import/plan/RecordedRun.h"
#include "import/plan/UndoJournal.h"
#include "platform/Formats.h"

namespace fs = std::filesystem;

namespace {

using bench::Clock;
using bench::kArticles;
using bench::kRowsPerSheet;
using bench::Seconds;

class QuietView : public imp::ImportView {
 public:
  void ShowMessage(const std::string&, imp::MessageKind) override {}
  void SetBusyCursor(bool) override {}
  void ShowProgressPanel(bool) override {}
  void SetProgressCaption(const std::string&) override {}
  void ClearErrorLines() override { lines = 0; }
  void AddErrorLine(const std::string&) override { ++lines; }
  int ErrorLineCount() const override { return lines; }
  void ShowPage(int) override {}
  void ProcessPendingMessages() override {}
  int lines = 0;
};

// A fresh copy of the catalogue `pristine` in `work`, and the state of a run of `book` into it.
imp::TImportState FreshRun(const fs::path& pristine, const fs::path& work, const fs::path& book) {
  fs::remove_all(work);
  fs::copy(pristine, work, fs::copy_options::recursive);
  imp::TImportState state;
  state.CurrentCompany = state.SelectedCompany = "BENCH";
  state.CompanyFolder = work;
  state.FileName = book;
  state.IdColumn = 1;
  state.PriceColumn = 2;
  state.StartRow = 2;
  state.PriceCategoryCode = 2;
  return state;
}

// The run with the undo journal as its only observer: what the journal alone costs.
double TimedJournalRun(const fs::path& pristine, const fs::path& work, const fs::path& book,
                       int rows) {
  const imp::TImportState state = FreshRun(pristine, work, book);
  QuietView view;
  const Clock clock;
  imp::ImportResult result;
  {
    imp::UndoJournalWriter journal(imp::UndoJournalPath(state.CurrentCompany), state.CurrentCompany,
                                   book.string(), work);
    imp::RunOptions options;
    options.Observer = &journal;
    result = imp::RunImport(state, view, options);
    journal.Finish();
  }
  const double seconds = clock.Wall(), cpu = clock.CpuTime();
  std::printf("  run with the journal alone, %d rows: %.3f s wall, %.3f s cpu%s\n", rows, seconds,
              cpu, result.Imported == rows ? "" : " UNEXPECTED COUNT");
  return cpu;
}

// The plan (a dry run), then the run with its record (journal and change report), then the
// undo of that run from its journal. Returns the recorded run's processor time.
double TimedRecordedRun(const fs::path& pristine, const fs::path& work, const fs::path& book,
                        int rows) {
  const imp::TImportState state = FreshRun(pristine, work, book);
  QuietView view;
  for (bool dry : {true, false}) {
    imp::RunOptions options;
    options.DryRun = dry;
    imp::RecordedRun run(state, options, 50);
    const Clock clock;
    const imp::ImportResult result = run.Run(view);
    const double seconds = clock.Wall(), cpu = clock.CpuTime();
    std::printf("  %s, %d rows: %.3f s wall, %.3f s cpu, %zu changes, %d with warnings%s\n",
                dry ? "plan (dry run)" : "run with journal and report", rows, seconds, cpu,
                run.Plan().Rows().size(), run.Plan().RowsWithWarnings(),
                result.Imported == rows ? "" : " UNEXPECTED COUNT");
    if (!dry) {
      const fs::path journalFile = imp::UndoJournalPath(state.CurrentCompany);
      std::printf("  journal %ju bytes, report %ju bytes\n",
                  static_cast<std::uintmax_t>(fs::file_size(journalFile)),
                  static_cast<std::uintmax_t>(fs::file_size(imp::ChangeReportPath())));
      const Clock undoClock;
      imp::UndoJournal journal;
      std::string error;
      if (!imp::ReadUndoJournal(journalFile, journal, error)) {
        std::printf("  UNREADABLE JOURNAL: %s\n", error.c_str());
        return cpu;
      }
      const imp::UndoResult undone = imp::UndoLastImport(work, journalFile, journal);
      std::printf("  undo: %.3f s wall, %.3f s cpu, %d restored, %zu left alone\n",
                  undoClock.Wall(), undoClock.CpuTime(), undone.Restored, undone.LeftAlone.size());
      return cpu;
    }
  }
  return 0;
}

double TimedRun(const fs::path& pristine, const fs::path& work, const fs::path& book, int rows,
                const imp::PriceRule& rule = {}) {
  imp::TImportState state = FreshRun(pristine, work, book);
  state.Rule = rule;
  QuietView view;
  const Clock clock;
  imp::ImportResult result = imp::RunImport(state, view);
  const double seconds = clock.Wall(), cpu = clock.CpuTime();
  std::printf("  %d rows: %.3f s wall, %.3f s cpu (%.2f us/row), imported %d, errors %d\n", rows,
              seconds, cpu, cpu * 1e6 / rows, result.Imported, result.Errors);
  if (result.Imported != rows || result.Errors != 0) std::printf("  UNEXPECTED COUNTS\n");
  return cpu;  // the ratio compares processor time, which other work on the machine does not
               // inflate
}

// The workbook's part of the run alone: the two lookups of every row.
void TimedLookups(const fs::path& book, int rows) {
  std::unique_ptr<imp::PriceWorkbook> wb = imp::MakeXlsWorkbook();
  const Clock clock;
  wb->Open(book);
  int found = 0;
  imp::CellValue v;
  for (int s = 0; s < wb->SheetCount(); ++s)
    for (int r = 1; wb->GetCellValue(s, 0, r, v) && wb->GetCellValue(s, 1, r, v); ++r) ++found;
  wb->Close();
  const double seconds = clock.Wall(), cpu = clock.CpuTime();
  std::printf("  lookups alone, %d rows: %.3f s wall, %.3f s cpu (%.2f us/row)%s\n", rows, seconds,
              cpu, cpu * 1e6 / rows, found == rows ? "" : " UNEXPECTED COUNT");
}

// Detection as "&Detecteaza" runs it: open the list, find the header, 50 catalogue lookups.
void TimedDetection(const fs::path& catalogue, const fs::path& book) {
  const Clock clock;
  const imp::LayoutProposal p = imp::DetectLayoutInFile(book.string(), catalogue.string());
  const double seconds = clock.Wall(), cpu = clock.CpuTime();
  std::printf("  detection: %.3f s wall, %.3f s cpu (limit 0.2 s): %s\n", seconds, cpu,
              imp::ProposalMessage(p).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  platform::FixProgramFormats();
  const fs::path dir =
      argc > 1 ? fs::path(argv[1])
               : fs::temp_directory_path() / ("import-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path pristine = dir / "catalogue";
  auto start = std::chrono::steady_clock::now();
  if (!fs::exists(pristine / "Nart.DB")) {
    fs::remove_all(pristine);
    bench::BuildCatalogue(pristine);
  }
  std::printf("catalogue of %d articles ready in %.1f s\n", kArticles, Seconds(start));
  start = std::chrono::steady_clock::now();
  const fs::path book100 = dir / "preturi-100k.xls", book200 = dir / "preturi-200k.xls";
  bench::WritePriceWorkbook(book100, 2);
  bench::WritePriceWorkbook(book200, 4);
  std::printf("workbooks written in %.1f s (%ju and %ju bytes)\n", Seconds(start),
              static_cast<std::uintmax_t>(fs::file_size(book100)),
              static_cast<std::uintmax_t>(fs::file_size(book200)));

  std::printf("workbook lookups:\n");
  TimedLookups(book100, 2 * kRowsPerSheet);
  TimedLookups(book200, 4 * kRowsPerSheet);
  std::printf("import run, every post included:\n");
  const double t100 = TimedRun(pristine, dir / "run", book100, 2 * kRowsPerSheet);
  const double t200 = TimedRun(pristine, dir / "run", book200, 4 * kRowsPerSheet);
  std::printf("ratio 200k/100k (cpu): %.2f\n", t200 / t100);
  // The same 100,000 rows as LibreOffice saves them as .xlsx, through the reader chosen by
  // content.
  const std::string convert = "soffice --headless -env:UserInstallation=file://" + dir.string() +
                              "/lo-profile --convert-to xlsx --outdir \"" + dir.string() + "\" \"" +
                              book100.string() + "\" >/dev/null 2>&1";
  const fs::path xlsx100 = dir / "preturi-100k.xlsx";
  if (std::system(convert.c_str()) == 0 && fs::exists(xlsx100)) {
    std::printf("import run from the .xlsx saved by LibreOffice:\n");
    const double x100 = TimedRun(pristine, dir / "run", xlsx100, 2 * kRowsPerSheet);
    std::printf("ratio .xlsx / .xls run (cpu): %.2f\n", x100 / t100);
  } else {
    std::printf("import run from .xlsx: LibreOffice (soffice) not found, left out\n");
  }
  std::printf("import run under a price rule (factor 1,19, to 0,05):\n");
  const double rule100 = TimedRun(pristine, dir / "run", book100, 2 * kRowsPerSheet,
                                  {true, 1.19, imp::PriceRounding::FiveCents});
  std::printf("ratio with rule / without (cpu): %.2f\n", rule100 / t100);
  std::printf("plan, recorded run and undo (settings folder %s):\n", (dir / "home").c_str());
  fs::create_directories(dir / "home");
  ::setenv("IMPPRET_HOME", (dir / "home").c_str(), 1);
  const double plain = TimedRun(pristine, dir / "run", book100, 2 * kRowsPerSheet);
  const double journal = TimedJournalRun(pristine, dir / "run", book100, 2 * kRowsPerSheet);
  const double recorded = TimedRecordedRun(pristine, dir / "run", book100, 2 * kRowsPerSheet);
  std::printf("ratio run with journal / plain run (cpu): %.2f\n", journal / plain);
  std::printf("ratio recorded run (plan, journal, report) / plain run (cpu): %.2f\n",
              recorded / plain);
  std::printf("layout detection, 100000-row list:\n");
  TimedDetection(pristine, book100);
  fs::remove_all(dir / "run");
  return 0;
}
