#include "import/plan/RecordedRun.h"

#include <ctime>
#include <exception>
#include <system_error>

#include "import/plan/UndoJournal.h"

namespace imp {

RecordedRun::RecordedRun(const TImportState& state, RunOptions options, double thresholdPercent,
                         std::filesystem::path extraReport)
    : state_(state),
      options_(std::move(options)),
      plan_(thresholdPercent),
      extraReport_(std::move(extraReport)),
      context_{RunTimeText(std::time(nullptr)), state.CurrentCompany, state.FileName.string()} {}

ImportResult RecordedRun::Run(ImportView& view) {
  std::unique_ptr<UndoJournalWriter> journal;
  ObserverList observers;
  observers.Add(&plan_);
  if (options_.Observer) observers.Add(options_.Observer);
  if (!options_.DryRun) {
    journal = std::make_unique<UndoJournalWriter>(UndoJournalPath(state_.CurrentCompany),
                                                  state_.CurrentCompany, state_.FileName.string(),
                                                  state_.CompanyFolder);
    observers.Add(journal.get());
  }
  RunOptions options = options_;
  options.Observer = &observers;
  ImportResult result;
  try {
    result = RunImport(state_, view, options);
  } catch (...) {
    try {
      if (journal) journal->Finish();
      SaveRecord();
    } catch (const std::exception& e) {
      recordProblem_ = e.what();
    }
    throw;
  }
  if (journal) journal->Finish();
  if (result.Ran) SaveRecord();
  return result;
}

void RecordedRun::SaveRecord() {
  plan_.Finish();
  if (!options_.DryRun) {
    SaveChangeReport(ChangeReportPath(), plan_, context_);
    // A run that wrote nothing leaves nothing to take back: the journal of an earlier run no
    // longer belongs to the last one.
    if (plan_.Rows().empty()) {
      std::error_code ec;
      std::filesystem::remove(UndoJournalPath(state_.CurrentCompany), ec);
    }
  }
  if (!extraReport_.empty()) SaveChangeReport(extraReport_, plan_, context_);
}

}  // namespace imp
