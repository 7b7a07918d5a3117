#pragma once
// "&Start import": the checks of the window's choices, then the run that reads every sheet of
// the workbook and writes the prices into the company's article and multiple-price tables.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "import/ImportState.h"
#include "import/ImportView.h"
#include "import/PriceWorkbook.h"
#include "import/plan/ChangeRow.h"

namespace imp {

// What a dry run would have written (no table is touched).
struct PlannedChange {
  std::int32_t ArticleCode = 0;
  std::string Field;     // "PretVanzare", "PretValuta", "PretM.Lei", "PretM.Valuta"
  double Value = 0;      // the price written
  double ReadValue = 0;  // the price read from the cell (differs under a price rule)
  bool NewMultiPriceRow = false;
  int IndexLocal = 0;  // of the new multiple-price row
};

struct RunOptions {
  bool DryRun = false;  // everything but the writes (tables and settings)
  std::function<void(const PlannedChange&)> OnPlannedChange;  // dry run only
  // Makes the workbook reader; the real reader when empty (tests put a stand-in here).
  std::function<std::unique_ptr<PriceWorkbook>()> MakeWorkbook;
  // Told about every value before it is written (dry run: instead of the write).
  ChangeObserver* Observer = nullptr;
  // When set, holds the counts of what the run did, also when it ends by a failure.
  struct ImportResult* Outcome = nullptr;
};

struct ImportResult {
  bool Ran = false;  // false: the workbook was refused before any table was opened
  int Imported = 0;
  int Errors = 0;
  int EmptyRows = 0;  // empty rows passed over between price lines
};

// The eight checks in order; the first that fails shows its message and gives false. When all
// pass, the file (and the chosen price category) are stored for the company and the state's
// price category code is brought up to date.
bool CheckImportSettings(TImportState& state, ImportView& view, const RunOptions& options = {});

// The run itself (the checks must have passed). Failures of the table engine or the workbook
// lookups end the run after its clean-up and summary, and propagate to the caller.
ImportResult RunImport(const TImportState& state, ImportView& view, const RunOptions& options = {});

// True while a run is in progress. The window processes its messages after every row, so a
// second press of "&Start import" can arrive meanwhile: RunImport then returns at once
// without doing anything, and the window may ignore the press itself.
bool IsImportRunning();

// The summary message of a run; a line on the empty rows passed over is added when there were.
std::string ImportSummaryText(int imported, int errors, int emptyRows = 0);

// The error lines of the run; the cell's text is put on one line.
std::string ArticleNotFoundLine(int sheet, int row, const std::string& identifier);
std::string BadPriceLine(int sheet, int row, const std::string& price);

}  // namespace imp
