#pragma once
// An import run with its record: the change plan watches every value, a real run also keeps
// the undo journal of the company and leaves the change report beside the error list. The main
// window and imppret both run imports through here, so what they record is the same.
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "import/ImportRun.h"
#include "import/plan/ChangePlan.h"
#include "import/plan/ChangeReport.h"

namespace imp {

class RecordedRun {
 public:
  // `options.DryRun` decides whether the journal and the change report are kept; a report file
  // given here is written in either case (the plan of a dry run, the changes of a real one).
  RecordedRun(const TImportState& state, RunOptions options, double thresholdPercent,
              std::filesystem::path extraReport = {});

  // The run itself (the checks must have passed). A real run records every value in the
  // journal before it is written, and writes the change report also when the run is stopped
  // by a failure, since what it wrote stays; the failure is raised again after that.
  ImportResult Run(ImportView& view);

  // The plan, finished once Run has returned or raised.
  const ChangePlan& Plan() const { return plan_; }
  ChangePlan TakePlan() { return std::move(plan_); }
  const ReportContext& Context() const { return context_; }
  // What went wrong writing the record after the run itself failed ("" when nothing did).
  const std::string& RecordProblem() const { return recordProblem_; }

 private:
  void SaveRecord();

  const TImportState& state_;
  RunOptions options_;
  ChangePlan plan_;
  std::filesystem::path extraReport_;
  ReportContext context_;
  std::string recordProblem_;
};

}  // namespace imp
